#include "book/BookState.h"

#include "engine/base/CCDictionary.h"
#include "engine/base/CCLog.h"
#include "engine/base/CCPlistReader.h"
#include "engine/base/CCString.h"
#include "engine/platform/CCFileUtils.h"
#include "engine/text/CCFontCache.h"

#include <map>
#include <unordered_map>

using namespace engine;

namespace book {

BookState bookState;

std::string& bookDir = bookState.bookDir;
std::string& subName = bookState.subName;
int& pageMin = bookState.pageMin;
int& pageMax = bookState.pageMax;
int& wordMin = bookState.wordMin;
int& wordMax = bookState.wordMax;
bool& ispep = bookState.ispep;
int& textsize = bookState.textsize;
int& currentPage = bookState.currentPage;
bool& resumeAvailable = bookState.resumeAvailable;
int& readingMode = bookState.readingMode;
bool& menuStateSet = bookState.menuStateSet;
int& menuFirstPage = bookState.menuFirstPage;
int& menuNextPage = bookState.menuNextPage;
int& menuPreviousFirstPage = bookState.menuPreviousFirstPage;
bool& menuOnLastScreen = bookState.menuOnLastScreen;
bool& autoPlayOn = bookState.autoPlayOn;
bool& autoPlayPause = bookState.autoPlayPause;
int& nextWordIndex = bookState.nextWordIndex;
int& lastWordIndex = bookState.lastWordIndex;
int& turnDirection = bookState.turnDirection;
gui::UIWidget*& selectedWord = bookState.selectedWord;
gui::UIButton*& wordBubble = bookState.wordBubble;
CCLabelTTF*& wordLabel = bookState.wordLabel;
CCLabelTTF*& hintLabel = bookState.hintLabel;
gui::UIWidget*& settingsSelection = bookState.settingsSelection;

namespace {
void forgetTextTables();
}

void resetBookState() {
    bookState = BookState{};
    forgetTextTables();
}

int decimalValue(const std::string& text) {
    return CCString(text).intValue();
}

namespace {

// The string value of `key`, or none when the dictionary, the key or a
// string value is missing; a missing key or a value of another kind is
// logged (a missing file has been logged by the dictionary reader).
std::optional<std::string> stringFor(const CCDictionary* dictionary, const std::string& file,
                                     const std::string& key) {
    if (!dictionary) return std::nullopt;
    CCObject* value = dictionary->objectForKey(key);
    if (auto* text = dynamic_cast<CCString*>(value)) return text->getString();
    CCLog("book: %s has no text for \"%s\"", file.c_str(), key.c_str());
    return std::nullopt;
}

// Whether `text` reads as a decimal number: optional blanks and sign, then a digit.
bool startsWithNumber(const std::string& text) {
    size_t i = text.find_first_not_of(" \t\n");
    if (i != std::string::npos && (text[i] == '-' || text[i] == '+')) ++i;
    return i < text.size() && text[i] >= '0' && text[i] <= '9';
}

// A text dictionary's string values, kept while its file stays the same. A
// word table of tens of megabytes took over a second to parse, and it was
// parsed again for every word read.
struct TextTable {
    std::string root; // the resource root it was read under
    CCFileUtils::FileVersion version;
    std::unordered_map<std::string, std::string> texts;
};

std::map<std::string, TextTable>& textTables() {
    static std::map<std::string, TextTable> tables;
    return tables;
}

void forgetTextTables() {
    textTables().clear();
}

std::optional<std::string> readText(const std::string& file, const std::string& key) {
    const std::string& root = CCFileUtils::sharedFileUtils()->getResourceRoot();
    // Tells a file's versions apart without reading it: a table is read again
    // only when its file changed (or went).
    const std::optional<CCFileUtils::FileVersion> version = CCFileUtils::sharedFileUtils()->fileVersion(file);
    auto& tables = textTables();
    auto cached = tables.find(file);
    if (!version || cached == tables.end() || cached->second.root != root ||
        !(cached->second.version == *version)) {
        if (cached != tables.end()) tables.erase(cached);
        // A missing or broken file is read (and logged) on every request, as a
        // book maker who mends it expects.
        CCDictionary* dictionary = CCDictionary::createWithContentsOfFile(file.c_str());
        if (!dictionary || !version) return stringFor(dictionary, file, key);
        TextTable table{root, *version, {}};
        for (const auto& [name, value] : dictionary->entries())
            if (auto* text = dynamic_cast<CCString*>(value)) table.texts.emplace(name, text->getString());
        cached = tables.emplace(file, std::move(table)).first;
    }
    auto text = cached->second.texts.find(key);
    if (text != cached->second.texts.end()) return text->second;
    CCLog("book: %s has no text for \"%s\"", file.c_str(), key.c_str());
    return std::nullopt;
}

} // namespace

void readBookConfiguration() {
    std::string file = configurationFile(bookDir);
    CCDictionary* config = CCDictionary::createWithContentsOfFile(file.c_str());
    if (!config) CCLog("book: no configuration %s; the book keeps its earlier settings", file.c_str());

    if (auto text = stringFor(config, file, configKey::kSubName)) subName = *text;
    std::optional<std::string> texts[6];
    const char* keys[6] = {configKey::kPageMin, configKey::kPageMax, configKey::kWordMin,
                           configKey::kWordMax, configKey::kIspep,   configKey::kTextSize};
    for (int i = 0; i < 6; ++i)
        texts[i] = stringFor(config, file, keys[i]);

    if (texts[4] && *texts[4] == "true") ispep = true;
    int* targets[6] = {&pageMin, &pageMax, &wordMin, &wordMax, nullptr, &textsize};
    for (int i = 0; i < 6; ++i) {
        if (!targets[i] || !texts[i]) continue;
        *targets[i] = decimalValue(*texts[i]);
        // Kept as read, but a maker must learn why the book looks wrong.
        if (!startsWithNumber(*texts[i]))
            CCLog("book: %s: \"%s\" is \"%s\", not a number; it counts as %d", file.c_str(), keys[i],
                  texts[i]->c_str(), *targets[i]);
        if (i < 4 && (*targets[i] > kPageNumberLimit || *targets[i] < -kPageNumberLimit)) {
            const int kept = *targets[i] > 0 ? kPageNumberLimit : -kPageNumberLimit;
            CCLog("book: %s: \"%s\" is %d, beyond the %d pages a book can have; it counts as %d",
                  file.c_str(), keys[i], *targets[i], kPageNumberLimit, kept);
            *targets[i] = kept;
        }
    }
    if (textsize > kLargestTextSize) {
        CCLog("book: %s: \"textsize\" is %d, beyond the largest of %d points; it counts as %d", file.c_str(),
              textsize, kLargestTextSize, kLargestTextSize);
        textsize = kLargestTextSize;
    }
    if (pageMin > pageMax)
        CCLog("book: %s: pageMin %d is above pageMax %d; no page lies between them", file.c_str(), pageMin,
              pageMax);
    if (config && subName.empty())
        CCLog("book: %s: \"lirraSubName\" is empty; no page layout can be found", file.c_str());

    CCFileUtils* files = CCFileUtils::sharedFileUtils();
    CCFontCache::sharedFontCache()->setBookFont(files->isFileExist(kPrintFontFile) ? kPrintFontFile : "");

    const std::string pageMinText = texts[0].value_or(""), wordMinText = texts[2].value_or("");
    CCLog("-----------TestController----- %s -------------- !", subName.c_str());
    CCLog("-----------TestController----- %s ---------%d----- !", pageMinText.c_str(), pageMin);
    CCLog("-----------TestController----- %s -------------- !", wordMinText.c_str());
}

std::string bookConfigurationProblem() {
    const std::string file = configurationFile(bookDir);
    CCFileUtils* files = CCFileUtils::sharedFileUtils();
    CCFileUtils::ReadError error = CCFileUtils::ReadError::None;
    const std::optional<std::string> bytes =
        files->getFileData(file, &error, CCFileUtils::FileKind::Dictionary);
    if (!bytes)
        return error == CCFileUtils::ReadError::Missing ? "no " + file + " (the book's configuration)"
               : error == CCFileUtils::ReadError::Refused
                   ? "its configuration " + file + " is refused (the line above says why)"
                   : "its configuration " + file + ": " + files->describe(error);
    // Autoreleased: the first frame lets it go.
    CCObject* root = ccReadPlistData(bytes->data(), bytes->size(), file.c_str());
    if (!dynamic_cast<CCDictionary*>(root))
        return "its configuration " + file + " is not a property-list dictionary";
    return {};
}

std::optional<std::string> readInterfaceText(const std::string& key) {
    return readText(kInterfaceTextsFile, key);
}

std::optional<std::string> readWordText(const std::string& key) {
    return readText(wordTextsFile(bookDir), key);
}

} // namespace book
