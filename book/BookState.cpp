#include "book/BookState.h"

#include "engine/base/CCDictionary.h"
#include "engine/base/CCLog.h"
#include "engine/base/CCString.h"

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

void resetBookState() {
    bookState = BookState{};
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

std::optional<std::string> readText(const std::string& file, const std::string& key) {
    CCDictionary* dictionary = CCDictionary::createWithContentsOfFile(file.c_str());
    return stringFor(dictionary, file, key);
}

} // namespace

void readBookConfiguration() {
    std::string file = bookDir + "/StringConfig.xml";
    CCDictionary* config = CCDictionary::createWithContentsOfFile(file.c_str());
    if (!config) CCLog("book: no configuration %s; the book keeps its earlier settings", file.c_str());

    if (auto text = stringFor(config, file, "lirraSubName")) subName = *text;
    std::optional<std::string> texts[6];
    const char* keys[6] = {"pageMin", "pageMax", "wordMin", "wordMax", "ispep", "textsize"};
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
    if (pageMin > pageMax)
        CCLog("book: %s: pageMin %d is above pageMax %d; no page lies between them", file.c_str(), pageMin,
              pageMax);
    if (config && subName.empty())
        CCLog("book: %s: \"lirraSubName\" is empty; no page layout can be found", file.c_str());

    const std::string pageMinText = texts[0].value_or(""), wordMinText = texts[2].value_or("");
    CCLog("-----------TestController----- %s -------------- !", subName.c_str());
    CCLog("-----------TestController----- %s ---------%d----- !", pageMinText.c_str(), pageMin);
    CCLog("-----------TestController----- %s -------------- !", wordMinText.c_str());
}

std::optional<std::string> readInterfaceText(const std::string& key) {
    return readText("String.xml", key);
}

std::optional<std::string> readWordText(const std::string& key) {
    return readText(bookDir + "/Stringstr.xml", key);
}

} // namespace book
