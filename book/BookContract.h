#pragma once
// The contract of a book folder: the files the reader opens, the widgets it
// looks for by name, the texts and pictures it needs, and the limits it
// holds a book to. The reader, the book checker and the book maker all take
// them from here, so a book that one of them accepts suits the others.
// How a word's names follow from its page and place is in BookNames.h.
#include <cstddef>
#include <string>
#include <vector>

namespace book {

// --- files, under the resource root
inline constexpr const char* kHomeLayoutFile = "mainpage/mainpage_1.json";
inline constexpr const char* kSettingsLayoutFile = "3age/pageset.json";
inline constexpr const char* kInterfaceTextsFile = "String.xml";
// The typeface the book prints with, when it ships one: the reader draws its
// own text in it wherever the font asked for is not installed.
inline constexpr const char* kPrintFontFile = "fonts/print.ttf";
// bookDir/StringConfig.xml, the book's configuration.
std::string configurationFile(const std::string& bookDir);
// bookDir/Stringstr.xml, the texts of the words.
std::string wordTextsFile(const std::string& bookDir);
// bookDir/StringReadAlong.xml, the read-along table (optional): for each page
// read from one recording, how many of its words have times (key
// readAlongPageKey, value "N"), and for each of those words its start and end
// in seconds of the page's recording (key readAlongWordKey, value
// "START END"). The recording itself is the narration file of
// pageRecordingName (BookNames.h). Times count from the first sample that
// the MP3 decodes to, so an encoder's delay at its start is part of them
// (LAME with its decoder: 1105 samples, 25 ms at 44.1 kHz).
std::string readAlongFile(const std::string& bookDir);

// --- the configuration's keys
namespace configKey {
inline constexpr const char* kSubName = "lirraSubName";
inline constexpr const char* kPageMin = "pageMin";
inline constexpr const char* kPageMax = "pageMax";
inline constexpr const char* kWordMin = "wordMin";
inline constexpr const char* kWordMax = "wordMax";
inline constexpr const char* kIspep = "ispep";
inline constexpr const char* kTextSize = "textsize";
// Optional: the title the shelf shows under the book's cover (without it,
// the book's file name).
inline constexpr const char* kTitle = "lirraTitle";
} // namespace configKey

// --- the home page's buttons, found by name
enum HomeButton { kContinueButton, kWordLearningButton, kPageMenuButton, kExitButton, kHomeButtonCount };
inline constexpr const char* kHomeButtonNames[kHomeButtonCount] = {"bngoon", "bnwordlean", "bnselect",
                                                                   "bnreturn"};

// --- the settings panel's buttons, found by name; the panel gives each its
// action tag, 1 to 6
enum SettingsButton {
    kSettingsHome = 1,
    kSettingsPress,
    kSettingsRepeatPage,
    kSettingsTurnPages,
    kSettingsOk,
    kSettingsCancel,
};
inline constexpr int kSettingsButtonCount = 6;
inline constexpr const char* kSettingsButtonNames[kSettingsButtonCount] = {"bnmain", "bnpres", "bnaotopage",
                                                                           "bnaoto", "bnok",   "bncancel"};
constexpr const char* settingsButtonName(SettingsButton button) {
    return kSettingsButtonNames[button - kSettingsHome];
}

// --- word hotspots: a page binds words 1 to this
inline constexpr int kLastHotspotIndex = 49;

// --- interface texts, keys of String.xml
namespace interfaceText {
inline constexpr const char* kHome = "main_page";           // the page's home item
inline constexpr const char* kSettings = "setmenu_set";     // the page's settings item
inline constexpr const char* kHint = "bntext";              // the hint label's first text
inline constexpr const char* kNoWordHere = "nopresenglish"; // the hint after repeated taps
inline constexpr const char* kPreviousPages = "up_page";    // the page menu's buttons
inline constexpr const char* kNextPages = "after_page";
inline constexpr const char* kAll[] = {kHome, kSettings, kHint, kNoWordHere, kPreviousPages, kNextPages};
} // namespace interfaceText

// --- the page scene's own pictures, under the resource root
namespace controlImage {
inline constexpr const char* kPrevious = "Images/up1.png";
inline constexpr const char* kPreviousPressed = "Images/up2.png";
inline constexpr const char* kNext = "Images/next1.png";
inline constexpr const char* kNextPressed = "Images/next2.png";
inline constexpr const char* kPlay = "Images/play_btn.png";
inline constexpr const char* kPause = "Images/pause_btn.png";
inline constexpr const char* kBubble = "Images/bnchback1.png";
// Under "ispep" the hotspots wear these.
inline constexpr const char* kHotspot = "Images/bnren1.png";
inline constexpr const char* kHotspotPressed = "Images/bnren2.png";
} // namespace controlImage
// The pictures every page shows, with the hotspots' when `ispep` is on.
std::vector<std::string> pageControlImages(bool ispep);

// --- the reader's screen
// How much wider than high a design point shows: the reader stretches the
// 640 x 960 design over a window (1.11 / 1.4) / 0.97 as wide as high. Books
// draw their pictures and print that much narrower, so they look right.
constexpr float kStretchAcross = 1.2261f;

// --- the speech bubble
// The font family the bubble's text names (SimSun, written in GBK).
inline constexpr const char* kBubbleFont = "\xCB\xCE\xCC\xE5";
// What the bubble shows for a word: "-word-".
std::string bubbleText(const std::string& word);

// --- read-along
// Once a page's recording has ended, auto-play stays on the page this long
// more, for the picture, before it turns or reads the page again.
constexpr float kReadAlongRestSeconds = 2.0f;
// The longest page recording a read-along entry may name (the maker warns
// past a minute; this is where the checker refuses it).
constexpr float kLongestPageRecordingSeconds = 600.0f;

// --- limits
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

} // namespace book
