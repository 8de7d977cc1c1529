#pragma once
// The process-wide book state: the book's configuration, the reader's
// position and choices, and the shared values of the page scenes. One
// value, main thread only, lost when the process ends.
//
// Also the three dictionaries' readers: the configuration (StringConfig.xml
// in the book folder), the interface texts (String.xml at the resource root)
// and the word texts (Stringstr.xml in the book folder).
#include "book/BookContract.h"

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

// The reading modes: the values of readingMode.
enum ReadingMode : int {
    kReadByTouch = 1,         // the reader presses the words: no auto-play, no play item
    kAutoPlayRepeatsPage = 2, // auto-play reads the page, then again from word 1
    kAutoPlayTurnsPages = 3,  // auto-play reads the page and turns to the next (the initial mode)
};

struct BookState {
    // --- book configuration (read by every home page)
    std::string bookDir = "testLirra"; // nothing changes it
    std::string subName;               // the book's own sub-folder, "lirraSubName"
    int pageMin = 1;
    int pageMax = 150;
    int wordMin = -1;   // first page of word learning; below 1 hides word learning
    int wordMax = -1;   // kept, read by no screen
    bool ispep = false; // only ever turns true
    int textsize = 25;  // point size of the word label

    // --- reading position and choices
    int currentPage = 0;          // the page a page scene builds
    bool resumeAvailable = false; // a page was picked in the page menu
    int readingMode = kAutoPlayTurnsPages;

    // --- page menu position (the page menu fills these when it first opens)
    bool menuStateSet = false;
    int menuFirstPage = 0;
    int menuNextPage = 0;
    int menuPreviousFirstPage = 0;
    bool menuOnLastScreen = false;

    // --- page scenes
    bool autoPlayOn = false;
    bool autoPlayPause = false;
    int nextWordIndex = 0;
    int lastWordIndex = 0;
    int turnDirection = 0; // -1 backwards, +1 forwards, 0 before the first turn
    // Not owning: each belongs to the page on screen and is cleared when it goes.
    gui::UIWidget* selectedWord = nullptr;
    gui::UIButton* wordBubble = nullptr;
    engine::CCLabelTTF* wordLabel = nullptr;
    engine::CCLabelTTF* hintLabel = nullptr;
    // Not owning: the settings panel's button highlighted last.
    gui::UIWidget* settingsSelection = nullptr;

    // --- the keyboard's ring: moved by a key since the last touch, so the
    // next screen starts with its ring shown
    bool keyboardFocusInUse = false;
};

// The process's one book state; main thread only, lost when the process ends.
extern BookState bookState;

// Its values under their own names, as the screens use them.
extern std::string& bookDir;
extern std::string& subName;
extern int& pageMin;
extern int& pageMax;
extern int& wordMin;
extern int& wordMax;
extern bool& ispep;
extern int& textsize;
extern int& currentPage;
extern bool& resumeAvailable;
extern int& readingMode;
extern bool& menuStateSet;
extern int& menuFirstPage;
extern int& menuNextPage;
extern int& menuPreviousFirstPage;
extern bool& menuOnLastScreen;
extern bool& autoPlayOn;
extern bool& autoPlayPause;
extern int& nextWordIndex;
extern int& lastWordIndex;
extern int& turnDirection;
extern gui::UIWidget*& selectedWord;
extern gui::UIButton*& wordBubble;
extern engine::CCLabelTTF*& wordLabel;
extern engine::CCLabelTTF*& hintLabel;
extern gui::UIWidget*& settingsSelection;

// The book state back to its start, as at process start (tests).
void resetBookState();

// Decimal text as the book files write numbers: leading white space
// skipped, an optional sign, digits up to the first other character; no
// digits gives 0; out of range saturates.
int decimalValue(const std::string& text);

// Reads bookDir/StringConfig.xml into the configuration and writes the three
// configuration log lines. A missing file or key is logged by name; the
// value keeps what it had (the defaults on a first read). Page and word
// numbers beyond kPageNumberLimit, and a textsize beyond kLargestTextSize,
// are logged and brought within them.
void readBookConfiguration();

// Empty when the resource root holds a book, that is a configuration that
// reads as a property-list dictionary; otherwise what is missing, for one
// line before any window opens ("no testLirra/StringConfig.xml"). The
// reader's log line for a broken file is written as usual.
std::string bookConfigurationProblem();

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
