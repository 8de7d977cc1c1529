#include "tools/checker/BookChecker.h"
#include "tools/checker/Mp3Frames.h"

#include "book/BookContract.h"
#include "book/BookNames.h"
#include "book/BookState.h"
#include "book/ReadAlongTable.h"
#include "engine/audio/Mp3Track.h"
#include "engine/audio/NarrationCheck.h"
#include "engine/base/CCAutoreleasePool.h"
#include "engine/base/CCDictionary.h"
#include "engine/base/CCLog.h"
#include "engine/base/CCString.h"
#include "engine/nodes/CCSpriteFrameCache.h"
#include "engine/platform/CCFileUtils.h"
#include "engine/render/CCTexture2D.h"
#include "engine/render/CCTextureCache.h"
#include "engine/text/CCLabelTTF.h"
#include "engine/text/ccTextWrap.h"
#include "engine/text/ccUTF8.h"
#include "gui/Layout.h"
#include "gui/LayoutObserver.h"
#include "gui/LayoutReader.h"
#include "gui/UIToolkit.h"

#include <json/json.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <optional>
#include <sstream>
#include <utility>

namespace fs = std::filesystem;
using namespace engine;

namespace checker {

namespace {

// Past this many pages a range is surely a typing slip; checking each would take ages.
constexpr int kMostPagesChecked = 10000;
// A page is 640 x 960 points; twice that in pixels is sharp on any screen the
// book is likely to meet. Larger pictures only cost memory.
constexpr int kPictureWidthNeeded = 2 * 640;
constexpr int kPictureHeightNeeded = 2 * 960;

// `text` with every byte that would not print as itself written \xNN: a
// control byte (a NUL ends a C string, an escape sequence drives the
// terminal) or a byte of broken UTF-8. Names come from the book's files.
std::string printable(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t start = pos;
        const char32_t cp = ccUTF8Next(text, pos);
        const bool broken = cp == 0xFFFD && text.compare(start, pos - start, "\xEF\xBF\xBD") != 0;
        if (cp >= 0x20 && !(cp >= 0x7F && cp < 0xA0) && !broken) {
            out.append(text, start, pos - start);
            continue;
        }
        for (std::size_t i = start; i < pos; ++i) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned char>(text[i]));
            out += escaped;
        }
    }
    return out;
}

std::string textOf(CCDictionary* dict, const std::string& key, bool& present) {
    auto* value = dict ? dynamic_cast<CCString*>(dict->objectForKey(key)) : nullptr;
    present = value != nullptr;
    return value ? value->getString() : std::string();
}

// The layout reader reports to standard output; the checker's own report goes
// there too, so the reader is quietened while it reads.
class QuietStdout {
public:
    QuietStdout() {
        std::fflush(stdout);
        m_saved = dup(STDOUT_FILENO);
        int null = open("/dev/null", O_WRONLY);
        if (null >= 0) {
            dup2(null, STDOUT_FILENO);
            close(null);
        }
    }
    ~QuietStdout() {
        std::fflush(stdout);
        if (m_saved >= 0) {
            dup2(m_saved, STDOUT_FILENO);
            close(m_saved);
        }
    }
    QuietStdout(const QuietStdout&) = delete;
    QuietStdout& operator=(const QuietStdout&) = delete;

private:
    int m_saved = -1;
};

// Collects the engine's log lines for as long as it lives.
class LogCapture {
public:
    LogCapture() {
        m_id = CCLogAddListener([this](const std::string& line) { lines.push_back(line); });
    }
    ~LogCapture() { CCLogRemoveListener(m_id); }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;
    std::vector<std::string> lines;

private:
    int m_id = 0;
};

// What the layout reader loads by name, and the options it passes over,
// while one layout is read.
struct NamedByLayout : gui::LayoutObserver {
    void resourceNamed(const gui::NamedResource& resource) override { resources.push_back(resource); }
    void optionsIgnored(const std::string& className) override { ignoredOptions.push_back(className); }
    std::vector<gui::NamedResource> resources;
    std::vector<std::string> ignoredOptions;
};

// Watches the shared layout reader for as long as it lives.
class ObservedRead {
public:
    explicit ObservedRead(gui::LayoutObserver& observer) {
        gui::LayoutReader::instance()->setObserver(&observer);
    }
    ~ObservedRead() {
        if (gui::LayoutReader::hasInstance()) gui::LayoutReader::instance()->setObserver(nullptr);
    }
    ObservedRead(const ObservedRead&) = delete;
    ObservedRead& operator=(const ObservedRead&) = delete;
};

// Why a file could not be read, from the log lines of the attempt: the file
// layer's refusal, or the archive's refusal or damage of the entry ("a CRC
// error"). Empty when no line says: an entry that the archive's index refused
// is not logged again (it was reported when the archive was opened).
std::string refusalIn(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        if (line.rfind("CCFileUtils: refusing '", 0) == 0) {
            auto reason = line.find("': ");
            return reason == std::string::npos ? line : line.substr(reason + 3);
        }
        const auto entry = line.rfind("BookArchive: ", 0) == 0 ? line.find("entry '") : std::string::npos;
        if (entry == std::string::npos) continue;
        const auto quote = line.find("'", entry + 7);
        if (quote == std::string::npos) return line;
        std::string reason = line.substr(quote + 1); // ": why" or " is damaged: why"
        return reason.substr(reason.find_first_not_of(": "));
    }
    return {};
}

// Whether a line of the layout reader only repeats what the checker reports
// on its own: a picture the layout names (checked once by checkImage, where
// the reader logs it once per widget), a line already given, or the font
// fallback of a font file whose refusal is given.
bool isEcho(const std::string& line, const std::vector<std::string>& given,
            const std::vector<gui::NamedResource>& resources) {
    if (std::find(given.begin(), given.end(), line) != given.end()) return true;
    const bool aboutAPicture = line.rfind("CCTextureCache", 0) == 0 ||
                               line.rfind("CCFileUtils: refusing", 0) == 0 ||
                               line.rfind("BookArchive: ", 0) == 0;
    if (aboutAPicture)
        for (const gui::NamedResource& resource : resources)
            if (resource.kind == gui::NamedResource::kPicture &&
                (line.find("'" + resource.name + "'") != std::string::npos ||
                 line.find(" " + resource.name + " ") != std::string::npos))
                return true;
    const std::string fallback = "CCFontCache: no font named \"";
    if (line.rfind(fallback, 0) == 0) {
        const std::string font =
            line.substr(fallback.size(), line.find('"', fallback.size()) - fallback.size());
        for (const std::string& earlier : given)
            if (earlier.find("refusing '" + font + "'") != std::string::npos ||
                earlier.find("entry '" + font + "'") != std::string::npos)
                return true;
    }
    return false;
}

// What follows the file's name and path in a texture cache line.
std::string reasonIn(const std::string& line) {
    auto reason = line.rfind("): ");
    return reason == std::string::npos ? line : line.substr(reason + 3);
}

// Text is laid out as the reader builds a screen but drawn only when shown:
// drawing each label's image here makes the reader say which text it would
// cut or refuse (its memory budget), as it would on screen.
void rasteriseText(CCNode* root) {
    std::vector<CCNode*> pending{root};
    while (!pending.empty()) {
        CCNode* node = pending.back();
        pending.pop_back();
        if (!node) continue;
        if (auto* label = dynamic_cast<CCLabelTTF*>(node)) label->updateTexture();
        pending.insert(pending.end(), node->getChildren().begin(), node->getChildren().end());
    }
}

} // namespace

// --- findings

void BookChecker::error(const std::string& file, const std::string& what, const std::string& fix) {
    m_problems.push_back({false, file, what, fix});
}

void BookChecker::warn(const std::string& file, const std::string& what, const std::string& fix) {
    m_problems.push_back({true, file, what, fix});
}

int BookChecker::errorCount() const {
    int count = 0;
    for (const Problem& p : m_problems)
        count += !p.warning;
    return count;
}

int BookChecker::warningCount() const {
    return static_cast<int>(m_problems.size()) - errorCount();
}

int BookChecker::exitStatus() const {
    if (m_unusable) return 2;
    return errorCount() > 0 ? 1 : 0;
}

std::string BookChecker::report() const {
    std::ostringstream out;
    for (const Problem& p : m_problems)
        out << (p.file.empty() ? "." : printable(p.file)) << ": " << (p.warning ? "warning" : "error") << ": "
            << printable(p.what) << "; fix: " << printable(p.fix) << "\n";
    out << "lirra-check: " << printable(m_root) << ": " << errorCount() << " error(s), " << warningCount()
        << " warning(s)";
    if (m_unusable)
        out << "; the book cannot be used";
    else if (m_problems.empty())
        out << "; the book is ready";
    out << "\n";
    return out.str();
}

// --- the whole book

bool BookChecker::check(const std::string& root) {
    // The checker must report on any book, however made: a library that
    // throws on input still gives a report, not an abort.
    try {
        return checkBook(root);
    } catch (const std::exception& exception) {
        m_unusable = true;
        error(root, std::string("the check stopped: ") + exception.what(),
              "mend the file named just above, or report this book to the program's makers");
    }
    return false;
}

bool BookChecker::checkBook(const std::string& root) {
    m_root = root;
    m_problems.clear();
    m_unusable = false;
    std::error_code ec;
    if (fs::is_directory(root, ec)) {
        CCFileUtils::sharedFileUtils()->setResourceRoot(root);
    } else if (fs::exists(root, ec)) {
        // A .lirra archive: each entry it refuses is a problem of the book.
        LogCapture refused;
        std::string why;
        if (!CCFileUtils::sharedFileUtils()->setResourceArchive(root, why)) {
            m_unusable = true;
            error(root, "the book file cannot be used: " + why,
                  "pack the book folder again: cd BOOKDIR && zip -qrX ../BOOK.lirra .");
            return false;
        }
        for (const std::string& line : refused.lines) {
            const size_t at = line.find(": refusing entry ");
            if (at != std::string::npos)
                error(root, line.substr(at + 2),
                      "pack only the book's own plain files, by their names in the book");
        }
    } else {
        m_unusable = true;
        error(root, "no such book folder or .lirra file",
              "give the folder that holds String.xml and " + book::bookDir + ", or a .lirra file of one");
        return false;
    }
    book::resetBookState();
    m_book = book::bookDir;
    if (!checkConfiguration()) {
        m_unusable = true;
        return false;
    }
    checkWordTexts();
    checkInterfaceTexts();
    checkFixedImages();
    checkScreen(book::kHomeLayoutFile,
                {std::begin(book::kHomeButtonNames), std::end(book::kHomeButtonNames)});
    checkScreen(book::kSettingsLayoutFile,
                {std::begin(book::kSettingsButtonNames), std::end(book::kSettingsButtonNames)});
    checkPages();
    checkSharedNames();
    checkReadAlong();
    CCAutoreleasePool::sharedPool()->drain();
    return true;
}

bool BookChecker::checkConfiguration() {
    const std::string file = book::configurationFile(m_book);
    CCDictionary* config = nullptr;
    {
        LogCapture quiet;
        config = CCDictionary::createWithContentsOfFile(file.c_str());
        if (!config) {
            error(file,
                  "the configuration is missing or not a property-list dictionary" +
                      (quiet.lines.empty() ? std::string() : " (" + quiet.lines.front() + ")"),
                  "write a <plist><dict> with lirraSubName, pageMin, pageMax, wordMin, wordMax, ispep and "
                  "textsize");
            return false;
        }
    }
    bool present = false;
    std::string sub = textOf(config, book::configKey::kSubName, present);
    if (!present)
        error(file, "no text for \"lirraSubName\"", "add <key>lirraSubName</key><string>folder</string>");
    using namespace book::configKey;
    for (const char* key : {kPageMin, kPageMax, kWordMin, kWordMax, kTextSize}) {
        std::string text = textOf(config, key, present);
        if (!present) {
            error(file, std::string("no text for \"") + key + "\"",
                  std::string("add <key>") + key + "</key><string>number</string>");
        } else if (text.find_first_of("0123456789") == std::string::npos) {
            error(file, std::string("\"") + key + "\" is \"" + text + "\", not a number",
                  "write a whole number in decimal digits");
        } else if (const int value = book::decimalValue(text);
                   std::string(key) != kTextSize &&
                   (value > book::kPageNumberLimit || value < -book::kPageNumberLimit)) {
            error(file,
                  std::string("\"") + key + "\" is " + std::to_string(value) + ", beyond the " +
                      std::to_string(book::kPageNumberLimit) + " pages a book can have",
                  "write the book's real page number");
        }
    }
    std::string ispep = textOf(config, kIspep, present);
    if (!present)
        error(file, "no text for \"ispep\"", "add <key>ispep</key><string>false</string>");
    else if (ispep != "true" && ispep != "false")
        warn(file, "\"ispep\" is \"" + ispep + "\"; only \"true\" turns it on", "write true or false");

    {
        LogCapture quiet;
        book::readBookConfiguration();
    }
    if (present && sub.empty()) {
        error(file, "\"lirraSubName\" is empty, so no page can be found",
              "name the folder of the page layouts");
    } else if (!sub.empty() && (sub.find('/') != std::string::npos || sub == "." || sub == "..")) {
        error(file, "\"lirraSubName\" \"" + sub + "\" is not a plain folder name",
              "name a folder inside " + m_book + " without \"/\"");
        book::subName.clear();
    }
    if (book::pageMin > book::pageMax)
        error(file,
              "pageMin " + std::to_string(book::pageMin) + " is above pageMax " +
                  std::to_string(book::pageMax),
              "set pageMin to the first page and pageMax to the last");
    if (book::pageMin < 1)
        error(file, "pageMin " + std::to_string(book::pageMin) + " is below 1", "pages are numbered from 1");
    if (book::wordMin >= 1 && (book::wordMin < book::pageMin || book::wordMin > book::pageMax))
        error(file,
              "wordMin " + std::to_string(book::wordMin) + " lies outside pages " +
                  std::to_string(book::pageMin) + " to " + std::to_string(book::pageMax),
              "set wordMin to the first page of word learning, or below 1 to hide it");
    if (book::textsize <= 0)
        error(file, "textsize " + std::to_string(book::textsize) + " is not a point size",
              "give the word label's size in points, such as 25");
    // The reader has brought it within the largest; the file's own number tells.
    bool sizeGiven = false;
    const std::string sizeText = textOf(config, kTextSize, sizeGiven);
    if (sizeGiven && book::decimalValue(sizeText) > book::kLargestTextSize)
        error(file,
              "textsize " + std::to_string(book::decimalValue(sizeText)) + " is beyond the largest of " +
                  std::to_string(book::kLargestTextSize) + " points",
              "give the word label's size in points, such as 25");
    return true;
}

void BookChecker::checkWordTexts() {
    const std::string file = book::wordTextsFile(m_book);
    const std::string fix = "write a <plist><dict> with one <key>strPPI</key><string>word</string> per word";
    // Without the table no word has its text: that is one finding, not one a word.
    m_wordTextsUsable = false;
    LogCapture log;
    CCFileUtils::ReadError readError = CCFileUtils::ReadError::None;
    if (!CCFileUtils::sharedFileUtils()->getFileData(file, &readError, CCFileUtils::FileKind::Dictionary)) {
        const std::string why = refusalIn(log.lines);
        if (readError == CCFileUtils::ReadError::Missing)
            error(file, "the word texts are missing", fix);
        else if (!why.empty() || readError != CCFileUtils::ReadError::Refused)
            error(file, "the word texts cannot be used: " + (why.empty() ? std::string("unreadable") : why),
                  fix);
        // else: an entry that the archive refused, reported with the archive
        return;
    }
    log.lines.clear();
    if (!CCDictionary::createWithContentsOfFile(file.c_str())) {
        error(file,
              "the word texts are not a property-list dictionary" +
                  (log.lines.empty() ? std::string() : " (" + log.lines.front() + ")"),
              fix);
        return;
    }
    m_wordTextsUsable = true;
}

void BookChecker::checkInterfaceTexts() {
    CCDictionary* texts = nullptr;
    std::string why;
    {
        LogCapture quiet;
        texts = CCDictionary::createWithContentsOfFile(book::kInterfaceTextsFile);
        why = refusalIn(quiet.lines);
    }
    if (!texts) {
        error(book::kInterfaceTextsFile,
              why.empty() ? "the interface texts are missing or not a property-list dictionary"
                          : "the interface texts cannot be used: " + why,
              "write a <plist><dict> with the interface texts");
        return;
    }
    for (const char* key : book::interfaceText::kAll) {
        bool present = false;
        const std::string text = textOf(texts, key, present);
        if (!present)
            error(book::kInterfaceTextsFile, std::string("no text for \"") + key + "\"",
                  std::string("add <key>") + key + "</key><string>...</string>");
        else if (const std::size_t length = ccUTF8Length(text); length > kLabelCharacterLimit)
            error(book::kInterfaceTextsFile,
                  std::string("\"") + key + "\" has " + std::to_string(length) +
                      " characters; a label shows only its first " + std::to_string(kLabelCharacterLimit),
                  "shorten the text");
    }
}

void BookChecker::checkFixedImages() {
    for (const std::string& image : book::pageControlImages(book::ispep))
        checkImage(image, image, "add the page scene's picture " + image);
    // The home page and the settings panel do not hold them.
    CCTextureCache::sharedTextureCache()->removeAllTextures();
}

// --- layouts

gui::UIWidget* BookChecker::readLayout(const std::string& file) {
    CCFileUtils::ReadError readError = CCFileUtils::ReadError::None;
    std::optional<std::string> text;
    {
        LogCapture refused;
        text = CCFileUtils::sharedFileUtils()->getFileData(file, &readError, CCFileUtils::FileKind::Layout);
        if (readError == CCFileUtils::ReadError::Refused) {
            // No reason logged: an entry the archive refused, reported with the archive.
            if (const std::string why = refusalIn(refused.lines); !why.empty())
                error(file, "the layout cannot be used: " + why,
                      "keep every file inside the book folder as a plain file of sensible size");
            return nullptr;
        }
    }
    if (readError == CCFileUtils::ReadError::Missing) {
        error(file, "the layout is missing",
              "add the layout file, made with the generator or a layout editor");
        return nullptr;
    }
    if (!text) {
        error(file, "the layout cannot be read", "make it a readable file");
        return nullptr;
    }
    Json::Value document;
    {
        Json::CharReaderBuilder builder;
        builder["stackLimit"] = gui::LayoutReader::kJsonNestingLimit; // as the reader reads it
        std::unique_ptr<Json::CharReader> parser(builder.newCharReader());
        std::string errors;
        bool parsed = false;
        try {
            parsed = parser->parse(text->data(), text->data() + text->size(), &document, &errors);
        } catch (const std::exception& exception) {
            // jsoncpp throws, rather than reports, nesting beyond its limit.
            errors = exception.what();
        }
        if (!parsed || !document.isObject()) {
            std::string first = errors.substr(0, errors.find('\n'));
            error(file, "the layout is not a JSON object" + (first.empty() ? "" : " (" + first + ")"),
                  "write the layout as one JSON object with a \"widgetTree\"");
            return nullptr;
        }
    }
    const Json::Value& tree = document["widgetTree"];
    if (!tree.isObject()) {
        error(file, "the layout has no \"widgetTree\" object", "put the root widget under \"widgetTree\"");
        return nullptr;
    }
    if (!(document["designWidth"].isNumeric() && document["designWidth"].asDouble() > 0 &&
          document["designHeight"].isNumeric() && document["designHeight"].asDouble() > 0))
        warn(file, "no positive \"designWidth\" and \"designHeight\"; the window size is used",
             "give the design size, 640 by 960");

    gui::UIWidget* root = nullptr;
    LogCapture log;
    NamedByLayout named;
    {
        QuietStdout quiet;
        gui::UIToolkit::getInstance();
        ObservedRead observed(named);
        root = gui::LayoutReader::instance()->readLayoutFile(file);
        if (root) rasteriseText(root->getRenderer());
    }
    std::vector<std::string> given;
    for (const std::string& line : log.lines) {
        if (!isEcho(line, given, named.resources))
            error(file, "the reader says: " + line, "mend the file the line names");
        given.push_back(line);
    }
    if (!dynamic_cast<gui::Layout*>(root)) {
        error(file, "the root widget is not a Layout (a \"Panel\")",
              "make the \"widgetTree\" node a \"Panel\" holding the screen");
        return nullptr;
    }
    for (const std::string& className : named.ignoredOptions)
        warn(file,
             "the \"options\" of a \"" + className +
                 "\" widget are not a JSON object; the reader uses its defaults",
             "write the widget's properties as one object under \"options\"");
    for (const gui::NamedResource& resource : named.resources)
        checkResource(file, resource);
    return root;
}

void BookChecker::checkResource(const std::string& layout, const gui::NamedResource& resource) {
    const std::string& key = resource.key;
    const std::string& name = resource.name;
    switch (resource.kind) {
    case gui::NamedResource::kSpriteFrame:
        if (!CCSpriteFrameCache::sharedSpriteFrameCache()->spriteFrameByName(name.c_str()))
            error(layout,
                  "\"" + key + "\" names the sprite frame \"" + name + "\", which no listed sheet holds",
                  "add the frame to a sheet in \"textures\", or list the sheet that has it");
        return;
    case gui::NamedResource::kPicture:
        checkImage(layout, name, "add " + name + " or correct \"" + key + "\"");
        return;
    case gui::NamedResource::kSpriteSheet:
    case gui::NamedResource::kBitmapFont: {
        LogCapture refused;
        if (!CCFileUtils::sharedFileUtils()->isFileExist(name)) {
            std::string why = refusalIn(refused.lines);
            error(layout,
                  "\"" + key + "\" names " + name +
                      (why.empty() ? ", which is missing" : ", refused: " + why),
                  "add " + name + " or correct \"" + key + "\"");
        }
        return;
    }
    }
}

void BookChecker::checkScreen(const std::string& layout, const std::vector<const char*>& buttons) {
    gui::UIWidget* root = readLayout(layout);
    if (root) {
        for (const char* name : buttons)
            if (!gui::UIToolkit::findWidgetByName(root, name))
                error(layout, std::string("no widget named \"") + name + "\"",
                      std::string("name the screen's button \"") + name + "\"");
    }
    gui::UIToolkit::purgeToolkit();
    CCSpriteFrameCache::purgeSharedSpriteFrameCache();
    CCTextureCache::sharedTextureCache()->removeAllTextures();
    CCAutoreleasePool::sharedPool()->drain();
}

void BookChecker::checkPages() {
    if (book::subName.empty() || book::pageMin > book::pageMax) return;
    int last = book::pageMax;
    if (static_cast<long>(book::pageMax) - book::pageMin >= kMostPagesChecked) {
        last = book::pageMin + kMostPagesChecked - 1;
        error(book::configurationFile(m_book),
              "pageMax " + std::to_string(book::pageMax) + " is more than " +
                  std::to_string(kMostPagesChecked) + " pages past pageMin; only pages up to " +
                  std::to_string(last) + " were checked",
              "set pageMax to the book's last page");
    }
    // A page's pictures share the decoded-picture budget with the controls
    // that the page scene shows over them (reported already).
    std::vector<CCTexture2D*> controls;
    {
        LogCapture quiet;
        for (const std::string& image : book::pageControlImages(book::ispep)) {
            if (CCTexture2D* texture = CCTextureCache::sharedTextureCache()->addImage(image)) {
                texture->retain();
                controls.push_back(texture);
            }
        }
    }
    // Runs of missing layouts make one line, not one line per page.
    int missingFrom = 0;
    auto closeRun = [&](int page) {
        if (!missingFrom) return;
        std::string first = book::pageLayoutPath(m_book, book::subName, missingFrom);
        if (page - 1 == missingFrom)
            error(first, "the layout of page " + std::to_string(missingFrom) + " is missing",
                  "add the page, or set pageMin and pageMax to the pages that exist");
        else
            error(first,
                  "the layouts of pages " + std::to_string(missingFrom) + " to " + std::to_string(page - 1) +
                      " are missing",
                  "add the pages, or set pageMin and pageMax to the pages that exist");
        missingFrom = 0;
    };
    for (int page = book::pageMin; page >= book::pageMin && page <= last; ++page) {
        std::string file = book::pageLayoutPath(m_book, book::subName, page);
        // A layout that is there but refused is checked (and its refusal
        // named) rather than counted as missing.
        if (!CCFileUtils::sharedFileUtils()->hasName(file)) {
            if (!missingFrom) missingFrom = page;
            continue;
        }
        closeRun(page);
        checkPage(page);
    }
    closeRun(last + 1);
    for (CCTexture2D* texture : controls)
        texture->release();
    CCTextureCache::sharedTextureCache()->removeAllTextures();
}

void BookChecker::checkPage(int page) {
    const std::string layout = book::pageLayoutPath(m_book, book::subName, page);
    gui::UIWidget* root = readLayout(layout);
    if (root) m_pageHotspots[page];
    for (int index = 1; root && index <= book::kLastHotspotIndex; ++index) {
        const std::string name = book::hotspotName(page, index);
        if (!gui::UIToolkit::findWidgetByName(root, name)) continue;
        m_pageHotspots[page].insert(index);
        const int tag = book::hotspotTag(page, index);
        const std::string key = book::textKey(tag, page);
        const std::string sound = book::soundName(tag, page);
        const std::string word =
            "hotspot " + name + " (page " + std::to_string(page) + " word " + std::to_string(index) + ")";
        m_soundUsers[key + "\", narration name \"" + sound].push_back("page " + std::to_string(page) +
                                                                      " word " + std::to_string(index));
        if (!m_wordTexts.count(key)) {
            LogCapture quiet;
            std::optional<std::string> text = book::readWordText(key);
            if (text) m_wordTexts.insert(key);
            if (text && text->size() >= book::kLongestShownText)
                error(book::wordTextsFile(m_book),
                      "the text \"" + key + "\" of the " + word + " has " + std::to_string(text->size()) +
                          " bytes; a word's bubble shows at most " +
                          std::to_string(book::kLongestShownText - 1) + ", so it shows nothing",
                      "shorten the text");
        }
        if (!m_wordTexts.count(key) && m_wordTextsUsable)
            error(book::wordTextsFile(m_book), "no text \"" + key + "\" for the " + word,
                  "add <key>" + key + "</key><string>the word</string>");
        checkNarration(layout, book::narrationPath(m_book, sound), word + ", sound name " + sound);
    }
    gui::UIToolkit::purgeToolkit();
    CCSpriteFrameCache::purgeSharedSpriteFrameCache();
    CCAutoreleasePool::sharedPool()->drain();
    // The page controls, held by checkPages, stay: the next page shows them too.
    CCTextureCache::sharedTextureCache()->removeUnusedTextures();
}

void BookChecker::checkSharedNames() {
    for (const auto& [names, users] : m_soundUsers) {
        if (users.size() < 2) continue;
        std::string list;
        for (const std::string& user : users)
            list += (list.empty() ? "" : " and ") + user;
        warn(book::wordTextsFile(m_book), list + " share the text key \"" + names + "\"",
             "give one of these words another place, since the naming rules cannot tell them apart");
    }
}

// --- read-along

void BookChecker::checkReadAlong() {
    // Taken, so that the next check of this checker finds its own.
    const std::map<int, std::set<int>> pages = std::exchange(m_pageHotspots, {});
    const std::string file = book::readAlongFile(m_book);
    std::string problem;
    std::optional<book::ReadAlongTable> table;
    {
        LogCapture quiet; // the dictionary reader's own line says less than the finding
        table = book::ReadAlongTable::read(m_book, &problem);
    }
    if (!table) return; // the table is optional
    if (!problem.empty()) {
        error(file, "the read-along table cannot be used: " + problem,
              "write a <plist><dict> of <key>pgPP</key> and <key>rdPPI</key> entries with <string> values");
        return;
    }
    for (const auto& [page, hotspots] : pages) {
        if (!table->hasPage(page)) continue;
        const std::string sound = book::pageRecordingName(page);
        const size_t before = m_problems.size();
        // The recording is judged as every narration is, in the same words.
        checkNarration(file, book::narrationPath(m_book, sound),
                       "recording of page " + std::to_string(page) + ", sound name " + sound);
        const bool recordingNamed = m_problems.size() != before;
        std::vector<book::ReadAlongFault> faults;
        {
            LogCapture quiet;
            table->entry(m_book, page, hotspots, faults);
        }
        for (const book::ReadAlongFault& fault : faults)
            if (!fault.aboutRecording || !recordingNamed)
                error(file, "page " + std::to_string(page) + ": " + fault.what, fault.fix);
    }
    const int last = std::min(book::pageMax, book::pageMin + kMostPagesChecked - 1);
    for (const std::string& key : table->strayKeys(book::pageMin, last))
        warn(file, "\"" + key + "\" belongs to no page's read-along entry",
             "remove it, or count its word in its page's word count \"pgPP\"");
}

// --- single files

void BookChecker::checkImage(const std::string& from, const std::string& image, const std::string& fix) {
    if (!m_checkedImages.insert(image).second) return;
    // The reader's own texture cache, so that every rule it applies (format,
    // size, budget, files) is applied here alike.
    LogCapture log;
    CCFileUtils::ReadError readError = CCFileUtils::ReadError::None;
    CCFileUtils::sharedFileUtils()->pathForReading(image, CCFileUtils::FileKind::Picture, &readError);
    if (readError == CCFileUtils::ReadError::Refused) {
        std::string why = refusalIn(log.lines);
        error(from, "the picture " + image + " cannot be used: " + why, "name a plain file inside the book");
        return;
    }
    if (readError == CCFileUtils::ReadError::Missing) {
        error(from, "the picture " + image + " is missing", fix);
        return;
    }
    CCTexture2D* texture = CCTextureCache::sharedTextureCache()->addImage(image);
    if (!texture) {
        std::string line = log.lines.empty() ? std::string() : log.lines.back();
        if (line.find("refusing image file") != std::string::npos)
            error(from, "the picture " + image + " is refused: " + reasonIn(line),
                  "make the pictures of one screen smaller");
        else
            error(from, "the picture " + image + " does not decode (" + reasonIn(line) + ")",
                  "save it again as PNG or JPEG");
        return;
    }
    const int width = texture->getPixelsWide(), height = texture->getPixelsHigh();
    if (width > kPictureWidthNeeded || height > kPictureHeightNeeded)
        warn(from,
             "the picture " + image + " is " + std::to_string(width) + " x " + std::to_string(height) +
                 " pixels, more than a page needs (" + std::to_string(kPictureWidthNeeded) + " x " +
                 std::to_string(kPictureHeightNeeded) + " at most); it takes " +
                 std::to_string(static_cast<long long>(width) * height * 4 / (1024 * 1024)) + " MB decoded",
             "scale it down to the size it is shown at");
}

void BookChecker::checkNarration(const std::string& from, const std::string& file, const std::string& word) {
    // Judged on the bytes the reader would play, from a folder or an archive alike.
    CCFileUtils::ReadError readError = CCFileUtils::ReadError::None;
    std::optional<std::string> bytes;
    std::string why;
    {
        LogCapture refused;
        bytes = CCFileUtils::sharedFileUtils()->getFileData(file, &readError, CCFileUtils::FileKind::Sound);
        why = refusalIn(refused.lines);
        if (readError == CCFileUtils::ReadError::Refused) {
            // An empty reason: an entry the archive refused, reported with the archive.
            if (!why.empty())
                error(from, "the narration " + file + " of the " + word + " cannot be used: " + why,
                      "save the recording as a plain MP3 file inside the book");
            return;
        }
    }
    if (readError == CCFileUtils::ReadError::Missing) {
        error(from, "no narration " + file + " for the " + word,
              "record the word and save it as " + file + " (MD5 of the sound name)");
        return;
    }
    if (!bytes) {
        error(from,
              "the narration " + file + " of the " + word + " cannot be read" +
                  (why.empty() ? "" : ": " + why),
              "copy or record it again");
        return;
    }
    // The reader's own decoder: what it cannot open, the reader cannot play.
    engine::Mp3Track track;
    std::string decodeError;
    if (!track.open(std::make_shared<const std::string>(*bytes), decodeError)) {
        error(from, "the narration " + file + " of the " + word + " does not decode (" + decodeError + ")",
              "encode it again as MP3");
        return;
    }
    const double duration = track.seconds();
    if (duration <= 0) {
        error(from, "the narration " + file + " of the " + word + " has no duration",
              "encode it again as MP3 with the spoken word in it");
        return;
    }
    // The reader's own test: a decoder resyncs on a WAV under an MP3 name too.
    if (std::string problem = narrationProblemInBytes(*bytes); !problem.empty()) {
        error(from, "the narration " + file + " of the " + word + " is " + problem,
              "encode the recording again as MP3, at a level that does not clip");
        return;
    }
    // The decoder plays what is there of a file cut short; its last frame tells.
    Mp3Frames walk = walkMp3Frames(*bytes);
    if (walk.missingBytes > 0)
        error(from,
              "the narration " + file + " of the " + word + " is cut short: its frame " +
                  std::to_string(walk.frames + 1) + " lacks " + std::to_string(walk.missingBytes) + " bytes",
              "copy or encode it again");
}

} // namespace checker
