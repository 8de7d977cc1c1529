#pragma once
// The names the book reader derives from a page number p and a word number
// i (1 to 9): the word's hotspot, action tag, text key, sound name and
// narration file.
#include <string>

namespace bookmaker {

std::string hotspotName(int page, int word); // bn035, bn125
int actionTag(int page, int word);           // 35, 125
std::string textKey(int page, int word);     // str035, str125
std::string soundName(int page, int word);   // mc035.mp3, mc125.mp3
// "epc/" + the MD5 of the sound name in lowercase hex + ".mp3", relative to
// the book folder.
std::string narrationFile(int page, int word);
std::string md5Hex(const std::string& text);

} // namespace bookmaker
