#pragma once
// How a book names the things of a word: word i of page p is known by the
// decimal concatenation of p and i, with a prefix that carries a 0 on pages
// below 10 (page 3 word 5 is "bn035", tag 35, "mc035.mp3", "str035").
#include <string>

namespace book {

// The hotspot button of word `index` on `page`: "bn0"/"bn" + page + index.
std::string hotspotName(int page, int index);
// The action tag of that hotspot: page and index written one after the other.
int hotspotTag(int page, int index);
// The word index of a hotspot's tag on `page` (the inverse of hotspotTag for
// indexes up to 30 on pages of one or two digits, as books use them).
int indexFromTag(int tag, int page);
// "mc0"/"mc" + tag + ".mp3"; the prefix follows `page`, the page on screen.
std::string soundName(int tag, int page);
// "str0"/"str" + tag, the key of the word's text in Stringstr.xml.
std::string textKey(int tag, int page);
// The narration file of a sound name in the book folder: epc/<md5 hex of the name>.mp3.
std::string narrationFile(const std::string& soundName);
// The same under the resource root: bookDir/epc/<md5 hex of the name>.mp3.
std::string narrationPath(const std::string& bookDir, const std::string& soundName);
// The 32 lowercase hexadecimal digits of the MD5 digest of `bytes`.
std::string md5Hex(const std::string& bytes);
// The read-along table's keys (BookContract.h): "pg0"/"pg" + page, the
// number of timed words of the page; "rd0"/"rd" + tag, a word's "START END".
std::string readAlongPageKey(int page);
std::string readAlongWordKey(int tag, int page);
// The sound name of a page's whole recording, "pg0"/"pg" + page + ".mp3";
// its file follows the narration rule (epc/<md5 hex of the name>.mp3).
std::string pageRecordingName(int page);
// bookDir/subName/subName_page.json
std::string pageLayoutPath(const std::string& bookDir, const std::string& subName, int page);

} // namespace book
