#pragma once
// The process-wide book state: the book's configuration, the reader's
// position and choices, and the shared values of the page scenes. Plain
// globals, main thread only, lost when the process ends.
//
// Also the three dictionaries' readers: the configuration (StringConfig.xml
// in the book folder), the interface texts (String.xml at the resource root)
// and the word texts (Stringstr.xml in the book folder).
#include <cstddef>
#include <optional>
#include <string>

namespace engine {
class CCLabelTTF;
}
namespace gui {
class UIButton;
class UIWidget;
} // namespace gui

namespace book {

// --- book configuration (read by every home page)
extern std::string bookDir; // "testLirra"; nothing changes it
extern std::string subName; // the book's own sub-folder, "lirraSubName"
extern int pageMin;         // 1
extern int pageMax;         // 150
extern int wordMin;         // -1: first page of word learning; below 1 hides word learning
extern int wordMax;         // -1: kept, read by no screen
extern bool ispep;          // false; only ever turns true
extern int textsize;        // 25: point size of the word label

// --- reading position and choices
extern int currentPage;      // 0: the page a page scene builds
extern bool resumeAvailable; // false: a page was picked in the page menu
extern int readingMode;      // 3: 1 press words, 2 auto-play repeats the page, 3 auto-play turns pages

// --- page menu position (the page menu fills these when it first opens)
extern bool menuStateSet; // false until then
extern int menuFirstPage;
extern int menuNextPage;
extern int menuPreviousFirstPage;
extern bool menuOnLastScreen;

// --- page scenes
extern bool autoPlayOn;
extern bool autoPlayPause;
extern int nextWordIndex;
extern int lastWordIndex;
extern int turnDirection; // -1 backwards, +1 forwards, 0 before the first turn
// Not owning: each belongs to the page on screen and is cleared when it goes.
extern gui::UIWidget* selectedWord;
extern gui::UIButton* wordBubble;
extern engine::CCLabelTTF* wordLabel;
extern engine::CCLabelTTF* hintLabel;
// Not owning: the settings panel's button highlighted last.
extern gui::UIWidget* settingsSelection;

// Every value above back to its start, as at process start (tests).
void resetBookState();

// Decimal text as the book files write numbers: leading white space
// skipped, an optional sign, digits up to the first other character; no
// digits gives 0; out of range saturates.
int decimalValue(const std::string& text);

// The largest page or word number a configuration may give (either sign):
// names and tags join a page and a word index into one int, and the page
// menu counts past the last page, so far larger numbers would overflow.
constexpr int kPageNumberLimit = 999999;

// A word text of this many bytes or more is not shown at all: the bubble
// could not hold it (logged when a word is read; the checker names it).
constexpr std::size_t kLongestShownText = 1600;

// The largest "textsize", in points: a word label far wider than the page
// at that, and well within what a font can be drawn at.
constexpr int kLargestTextSize = 500;

// Reads bookDir/StringConfig.xml into the configuration and writes the three
// configuration log lines. A missing file or key is logged by name; the
// value keeps what it had (the defaults on a first read). Page and word
// numbers beyond kPageNumberLimit, and a textsize beyond kLargestTextSize,
// are logged and brought within them.
void readBookConfiguration();

// The two text dictionaries are read once and kept while their files stay
// the same (same size and modification time): a word looks its text up in
// memory, and a changed file is read again at the next request.
//
// The text of `key` in String.xml, or none. A missing key is logged by
// file and key; a missing file by the engine.
std::optional<std::string> readInterfaceText(const std::string& key);

// The text of `key` in bookDir/Stringstr.xml, or none when the file or the
// key is missing (logged).
std::optional<std::string> readWordText(const std::string& key);

} // namespace book
