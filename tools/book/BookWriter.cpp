#include "tools/book/BookWriter.h"

#include "book/BookContract.h"
#include "engine/text/CCLabelTTF.h"
#include "tools/book/LayoutBuilder.h"
#include "tools/book/PagePainter.h"
#include "tools/book/SheetPacker.h"
#include "tools/book/WordLayout.h"
#include "tools/book/WordNames.h"

#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>
#include <json/json.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>

namespace bookmaker {

namespace fs = std::filesystem;
using engine::ccColor3B;
using engine::ccColor4B;

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 960;
const ccColor3B kInk{59, 42, 32};
const ccColor3B kHighlightInk{176, 40, 32};
const ccColor4B kMarkerPale{255, 241, 168, 255};
const ccColor4B kMarkerBright{255, 216, 77, 255};
const ccColor4B kMarkerEdge{232, 160, 40, 255};

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string xmlEscape(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string replaceAll(std::string text, const std::string& key, const std::string& value) {
    for (std::size_t at = text.find(key); at != std::string::npos; at = text.find(key, at + value.size()))
        text.replace(at, key.size(), value);
    return text;
}

bool writePlist(const std::string& path, const std::vector<std::pair<std::string, std::string>>& entries) {
    std::ofstream out(path);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
           "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
           "<plist version=\"1.0\">\n<dict>\n";
    for (const auto& [key, value] : entries)
        out << "    <key>" << xmlEscape(key) << "</key>\n    <string>" << xmlEscape(value) << "</string>\n";
    out << "</dict>\n</plist>\n";
    return static_cast<bool>(out);
}

// The folder of a file's path, without its last "/".
std::string folderOf(const std::string& path) {
    return path.substr(0, path.rfind('/'));
}

std::string fmt(float value) {
    std::ostringstream out;
    out << value;
    return out.str();
}

// Width in pixels of `text` in bold Andika at `size` pixels, as the SVG art
// prints its titles; 0 when the font is missing.
float boldTextWidth(const std::string& text, int size) {
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("Andika"));
    FcPatternAddInteger(pattern, FC_WEIGHT, FC_WEIGHT_BOLD);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    FcChar8* file = nullptr;
    int w = 0, h = 0;
    if (match && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
        if (TTF_Font* font = TTF_OpenFont(reinterpret_cast<const char*>(file), size)) {
            TTF_SizeUTF8(font, text.c_str(), &w, &h);
            TTF_CloseFont(font);
        }
    }
    if (match) FcPatternDestroy(match);
    return static_cast<float>(w);
}

} // namespace

std::string BookWriter::useElement(const Placement& p) const {
    float sx = p.scale, sy = p.scale < 0 ? -p.scale : p.scale;
    if (!m_scenery.count(p.art)) sx *= squeeze();
    return "<use xlink:href=\"#" + xmlEscape(p.art) + "\" transform=\"translate(" + fmt(p.x) + " " +
           fmt(p.y) + ") scale(" + fmt(sx) + " " + fmt(sy) + ")\"/>\n";
}

engine::CCRect BookWriter::textBox() {
    return engine::CCRect(40, 150, 560, 196);
}

BookWriter::BookWriter(const BookSource& book, std::string artFolder, std::string outFolder,
                       std::string workFolder)
    : m_book(book), m_art(std::move(artFolder)), m_out(std::move(outFolder)), m_work(std::move(workFolder)) {}

bool BookWriter::fail(const std::string& message) {
    std::cerr << "make-book: " << message << "\n";
    return false;
}

bool BookWriter::writeAll() {
    std::string library = readFile(m_art + "/library.svg");
    std::size_t begin = library.find("<defs>"), end = library.find("</defs>");
    if (begin == std::string::npos || end == std::string::npos)
        return fail(m_art + "/library.svg has no <defs>");
    m_library = library.substr(begin, end + 7 - begin);
    // Pieces that span the picture (skies, grounds, rivers) keep their width;
    // the others are drawn narrower for the stretching screen.
    const std::string marker = "class=\"scenery\"";
    for (std::size_t at = m_library.find(marker); at != std::string::npos;
         at = m_library.find(marker, at + 1)) {
        std::size_t tag = m_library.rfind("<g ", at), id = m_library.find("id=\"", tag);
        if (tag == std::string::npos || id == std::string::npos || id > at) continue;
        std::size_t idEnd = m_library.find('"', id + 4);
        m_scenery.insert(m_library.substr(id + 4, idEnd - id - 4));
    }

    std::error_code ec;
    for (const std::string& folder :
         {pagesPath() + "/words", bookPath() + "/epc", folderOf(m_out + "/" + book::controlImage::kPlay),
          folderOf(homeLayoutPath()), folderOf(settingsLayoutPath()), m_work})
        fs::create_directories(folder, ec);

    {
        PagePainter painter(m_work);
        if (!painter.isOpen()) return fail("cannot open a headless view");
        if (!writePages(painter)) return false;
    }
    if (m_textSize != m_book.wordTextSize)
        std::cerr << "make-book: the bubble's text is " << m_textSize
                  << " points, so that widened words do not run into their neighbours\n";
    return writeDictionaries() && writeInterfaceImages() && writeHome() && writeSettings() &&
           writeNarrationList();
}

float BookWriter::bubbleTextWidth(const std::string& text, int textSize) {
    auto* label = engine::CCLabelTTF::create(text.c_str(), book::kBubbleFont, static_cast<float>(textSize));
    return label->getContentSize().width;
}

float BookWriter::hotspotWidthFor(const std::string& word, int textSize) {
    // The reader wraps the bubble's text to the hotspot's width; the room
    // added covers the rounding of fonts rasterised for a larger window.
    return std::ceil(bubbleTextWidth(book::bubbleText(word), textSize) / 0.97f);
}

// --- dictionaries

bool BookWriter::writeDictionaries() {
    const int pageCount = static_cast<int>(m_book.pages.size());
    int firstWordPage = -1;
    for (const PageSource& page : m_book.pages)
        if (firstWordPage < 0 && !page.words.empty()) firstWordPage = page.number;
    bool ok = writePlist(m_out + "/" + book::configurationFile(m_book.bookFolder),
                         {{book::configKey::kSubName, m_book.subName},
                          {book::configKey::kPageMin, "1"},
                          {book::configKey::kPageMax, std::to_string(pageCount)},
                          {book::configKey::kWordMin, std::to_string(firstWordPage)},
                          {book::configKey::kWordMax, std::to_string(pageCount)},
                          // The hotspots carry their own highlights of each word.
                          {book::configKey::kIspep, "false"},
                          {book::configKey::kTextSize, std::to_string(m_textSize)}});
    std::vector<std::pair<std::string, std::string>> interface(m_book.interfaceTexts.begin(),
                                                               m_book.interfaceTexts.end());
    for (const char* key : book::interfaceText::kAll)
        if (!m_book.interfaceTexts.count(key)) return fail(std::string("\"interface\" lacks ") + key);
    ok = ok && writePlist(m_out + "/" + book::kInterfaceTextsFile, interface);

    std::vector<std::pair<std::string, std::string>> words;
    for (const PageSource& page : m_book.pages)
        for (std::size_t i = 0; i < page.words.size(); ++i)
            words.emplace_back(textKey(page.number, static_cast<int>(i) + 1), page.words[i].text);
    ok = ok && writePlist(m_out + "/" + book::wordTextsFile(m_book.bookFolder), words);
    return ok || fail("cannot write the dictionaries");
}

// --- pictures from SVG

bool BookWriter::drawSvg(const std::string& svg, const std::string& pngPath, int width, int height) {
    std::string svgPath = m_work + "/picture" + std::to_string(++m_svgCount) + ".svg";
    std::ofstream(svgPath) << svg;
    for (const std::string& path : {svgPath, pngPath})
        if (path.find('\'') != std::string::npos) return fail("a path holds a quote: " + path);
    std::string command = "rsvg-convert -w " + std::to_string(width) + " -h " + std::to_string(height) +
                          " -o '" + pngPath + "' '" + svgPath + "'";
    if (std::system(command.c_str()) != 0) return fail("rsvg-convert failed on " + svgPath);
    return true;
}

bool BookWriter::drawTemplate(const std::string& templateName,
                              const std::vector<std::pair<std::string, std::string>>& fields,
                              const std::string& pngPath, int width, int height) {
    std::string svg = readFile(m_art + "/ui/" + templateName);
    if (svg.empty()) return fail("cannot read the template " + templateName);
    svg = replaceAll(svg, "{{LIBRARY}}", m_library);
    for (const auto& [key, value] : fields)
        svg = replaceAll(svg, "{{" + key + "}}", value);
    svg = replaceAll(svg, "{{SQUEEZE}}", fmt(squeeze()));
    return drawSvg(svg, pngPath, width, height);
}

std::string BookWriter::squeezedTextLeft(float centre, const std::string& text, int size) const {
    return fmt(centre - boldTextWidth(text, size) * squeeze() * 0.5f);
}

// --- pages

std::unique_ptr<WordLayout> BookWriter::layOut(const BookSource& book, const PageSource& page) {
    std::string printed;
    for (char c : page.text)
        printed += c == ' ' ? std::string(static_cast<std::size_t>(book.wordGap), ' ') : std::string(1, c);
    return std::make_unique<WordLayout>(printed, page.words, book.font, book.fontSize, textBox(),
                                        1.0f / book.stretchAcross);
}

bool BookWriter::writePages(PagePainter& painter) {
    std::vector<std::unique_ptr<WordLayout>> layouts;
    for (const PageSource& page : m_book.pages) {
        layouts.push_back(layOut(m_book, page));
        if (!layouts.back()->ok())
            return fail("page " + std::to_string(page.number) + ": " + layouts.back()->error());
    }
    // Each hotspot is widened, centred on its word, until the bubble's text
    // fits it on one line; the text is made smaller while widened hotspots
    // would run into their neighbours.
    auto widenAll = [&](int textSize) {
        bool apart = true;
        for (auto& layout : layouts) {
            for (std::size_t i = 0; i < layout->words().size(); ++i)
                layout->widenHotspot(i, hotspotWidthFor(layout->words()[i].text, textSize));
            const std::vector<WordBox>& words = layout->words();
            for (std::size_t i = 1; i < words.size(); ++i)
                if (words[i].line == words[i - 1].line &&
                    words[i].hotspot.getMinX() < words[i - 1].hotspot.getMaxX())
                    apart = false;
        }
        return apart;
    };
    m_textSize = m_book.wordTextSize;
    bool apart = widenAll(m_textSize);
    while (!apart && m_textSize > kSmallestTextSize)
        apart = widenAll(--m_textSize);
    if (!apart)
        std::cerr
            << "make-book: some widened hotspots run into their neighbours even with the bubble's text at "
            << m_textSize << " points; give the words more room (\"wordGap\")\n";
    for (std::size_t i = 0; i < m_book.pages.size(); ++i)
        if (!writePage(painter, m_book.pages[i], *layouts[i])) return false;
    return true;
}

bool BookWriter::writePage(PagePainter& painter, const PageSource& page, WordLayout& layout) {
    const std::string number = std::to_string(page.number);
    std::string picture;
    for (const Placement& placement : page.picture)
        picture += useElement(placement);
    std::string pictureName = "page_" + number + "_art.png";
    if (!drawTemplate("page.svg", {{"PICTURE", picture}}, m_work + "/" + pictureName, kWidth, kHeight))
        return false;

    if (layout.label()->getLines().size() > 2)
        return fail("page " + number + ": the sentence needs more than two lines");
    std::string pageFile = "page_" + number + ".png";
    if (!painter.paintPage(pictureName, layout, kInk, pagesPath() + "/" + pageFile))
        return fail("page " + number + ": cannot paint the page");

    LayoutBuilder builder(page.olderFormat);
    Json::Value tree = builder.rootPanel("page" + number, kWidth, kHeight);
    tree["children"].append(
        builder.imageView("picture", Picture{pageFile, false}, kWidth / 2.0f, kHeight / 2.0f));

    SheetPacker sheet;
    std::vector<std::string> sheets;
    for (std::size_t i = 0; i < layout.words().size(); ++i) {
        const WordBox& word = layout.words()[i];
        const int index = static_cast<int>(i) + 1;
        std::string base = "p" + number + "w" + std::to_string(index);
        std::string folder = page.spriteSheet ? m_work : pagesPath() + "/words";
        if (!painter.paintHighlight(layout, i, kMarkerPale, kMarkerEdge, kHighlightInk,
                                    folder + "/" + base + ".png") ||
            !painter.paintHighlight(layout, i, kMarkerBright, kMarkerEdge, kHighlightInk,
                                    folder + "/" + base + "_on.png"))
            return fail("page " + number + ": cannot paint the highlight of \"" + word.text + "\"");
        Picture normal{base + ".png", page.spriteSheet}, pressed{base + "_on.png", page.spriteSheet};
        if (page.spriteSheet) {
            sheet.add(normal.name, folder + "/" + normal.name);
            sheet.add(pressed.name, folder + "/" + pressed.name);
        } else {
            normal.name = "words/" + normal.name;
            pressed.name = "words/" + pressed.name;
        }
        const engine::CCRect& area = word.hotspot;
        Json::Value hotspot = builder.button(hotspotName(page.number, index), area.getMidX(), area.getMidY(),
                                             area.size.width, area.size.height, normal, pressed, Picture{});
        tree["children"].append(hotspot);
    }
    if (page.spriteSheet && !layout.words().empty()) {
        std::string sheetName = "words_" + number + ".plist", error;
        if (!sheet.write(pagesPath() + "/" + sheetName, error)) return fail("page " + number + ": " + error);
        sheets.push_back(sheetName);
    }
    return writeJson(builder.document(tree, kWidth, kHeight, sheets),
                     pagesPath() + "/" + m_book.subName + "_" + number + ".json");
}

// --- home

bool BookWriter::writeHome() {
    const std::string folder = folderOf(homeLayoutPath());
    if (!drawTemplate("title.svg",
                      {{"TITLE", xmlEscape(m_book.title)}, {"TX", squeezedTextLeft(320, m_book.title, 64)}},
                      folder + "/title.png", kWidth, kHeight))
        return false;
    struct HomeButton {
        const char* name;
        const char* text;
        const char* file;
        const char* fill;
        const char* edge;
        int width, height, fontSize;
        float x, y;
    };
    // Word learning first and largest; continuing comes last, so that its
    // place stays empty at the bottom while it is hidden.
    const HomeButton buttons[] = {
        {book::kHomeButtonNames[book::kWordLearningButton], "Read the book", "read", "#f0823c", "#c8642a",
         420, 100, 46, 320, 290},
        {book::kHomeButtonNames[book::kPageMenuButton], "Pick a page", "pages", "#4fa3d9", "#2f7fb3", 420, 86,
         40, 320, 180},
        {book::kHomeButtonNames[book::kContinueButton], "Go on reading", "goon", "#6cbf5a", "#4c9a3a", 420,
         86, 40, 320, 80},
        {book::kHomeButtonNames[book::kExitButton], "Bye", "bye", "#b98ad9", "#8a5ab3", 96, 96, 30, 578, 880},
    };
    LayoutBuilder builder(false);
    Json::Value tree = builder.rootPanel("home", kWidth, kHeight);
    tree["children"].append(
        builder.imageView("title", Picture{"title.png", false}, kWidth / 2.0f, kHeight / 2.0f));
    for (const HomeButton& b : buttons) {
        for (bool down : {false, true}) {
            std::string file = folder + "/btn_" + b.file + (down ? "_down" : "") + ".png";
            // A round button stays round on screen: its face is narrower.
            bool round = b.width == b.height;
            int faceWidth = round ? static_cast<int>(std::lround((b.width - 8) * squeeze())) : b.width - 8;
            int radius = round ? (b.height - 12) / 2 : 30;
            if (!drawTemplate("wide-button.svg",
                              {{"W", std::to_string(b.width)},
                               {"H", std::to_string(b.height)},
                               {"X", fmt((b.width - faceWidth) / 2.0f)},
                               {"W4", std::to_string(faceWidth)},
                               {"H10", std::to_string(b.height - 12)},
                               {"R", std::to_string(radius)},
                               {"RX", fmt(radius * squeeze())},
                               {"TX", squeezedTextLeft(b.width / 2.0f, b.text, b.fontSize)},
                               {"TY", std::to_string((b.height - 12) / 2 + 4 + b.fontSize * 36 / 100)},
                               {"SIZE", std::to_string(b.fontSize)},
                               {"FILL", down ? b.edge : b.fill},
                               {"EDGE", b.edge},
                               {"TEXT", xmlEscape(b.text)}},
                              file, b.width, b.height))
                return false;
        }
        Picture normal{std::string("btn_") + b.file + ".png"},
            pressed{std::string("btn_") + b.file + "_down.png"};
        tree["children"].append(builder.button(b.name, b.x, b.y, static_cast<float>(b.width),
                                               static_cast<float>(b.height), normal, pressed, normal));
    }
    return writeJson(builder.document(tree, kWidth, kHeight, {}), homeLayoutPath());
}

// --- settings

bool BookWriter::writeSettings() {
    const std::string folder = folderOf(settingsLayoutPath());
    const std::string corner = fmt(18 * squeeze());
    const std::string title = "How shall we read?";
    if (!drawTemplate(
            "panel.svg",
            {{"TITLE", title}, {"TX", squeezedTextLeft(320, title, 50)}, {"RX", fmt(36 * squeeze())}},
            folder + "/panel.png", kWidth, kHeight) ||
        !drawTemplate("panel-button.svg", {{"FILL", "#ffffff"}, {"EDGE", "#9cc3e6"}, {"RX", corner}},
                      folder + "/button.png", 60, 60) ||
        !drawTemplate("panel-button.svg", {{"FILL", "#d6ebfa"}, {"EDGE", "#6c8fd6"}, {"RX", corner}},
                      folder + "/button_down.png", 60, 60) ||
        // The disabled look marks the chosen button.
        !drawTemplate("panel-button.svg", {{"FILL", "#ffe066"}, {"EDGE", "#e8a028"}, {"RX", corner}},
                      folder + "/button_on.png", 60, 60))
        return false;
    struct PanelButton {
        const char* name;
        const char* title;
        float x, y, width, height;
    };
    const PanelButton buttons[] = {
        {book::settingsButtonName(book::kSettingsPress), "I touch the words", 320, 640, 500, 96},
        {book::settingsButtonName(book::kSettingsRepeatPage), "Read this page again", 320, 520, 500, 96},
        {book::settingsButtonName(book::kSettingsTurnPages), "Read me the book", 320, 400, 500, 96},
        {book::settingsButtonName(book::kSettingsOk), "OK", 200, 250, 220, 96},
        {book::settingsButtonName(book::kSettingsCancel), "Cancel", 440, 250, 220, 96},
        {book::settingsButtonName(book::kSettingsHome), "Home", 320, 130, 260, 84},
    };
    LayoutBuilder builder(false);
    Json::Value tree = builder.rootPanel("settings", kWidth, kHeight);
    tree["children"].append(builder.imageView("panel", Picture{"panel.png"}, kWidth / 2.0f, kHeight / 2.0f));
    for (const PanelButton& b : buttons)
        tree["children"].append(builder.textButton(b.name, b.x, b.y, b.width, b.height, Picture{"button.png"},
                                                   Picture{"button_down.png"}, Picture{"button_on.png"},
                                                   b.title, "Arial", 36));
    return writeJson(builder.document(tree, kWidth, kHeight, {}), settingsLayoutPath());
}

// --- interface images

bool BookWriter::writeInterfaceImages() {
    namespace image = book::controlImage;
    const std::string root = m_out + "/";
    const std::string left = "<path d=\"M46 22 L28 39 L46 56\" fill=\"none\" stroke-width=\"9\"/>";
    const std::string right = "<path d=\"M34 22 L52 39 L34 56\" fill=\"none\" stroke-width=\"9\"/>";
    const std::string play = "<path d=\"M31 22 L57 39 L31 56 Z\" stroke-width=\"4\"/>";
    const std::string pause = "<rect x=\"27\" y=\"23\" width=\"9\" height=\"32\" rx=\"3\"/>"
                              "<rect x=\"44\" y=\"23\" width=\"9\" height=\"32\" rx=\"3\"/>";
    struct Icon {
        const char* file;
        const std::string& symbol;
        const char* fill;
        const char* edge;
    };
    const Icon icons[] = {
        {image::kPrevious, left, "#4fa3d9", "#2f7fb3"}, {image::kPreviousPressed, left, "#2f7fb3", "#1f5f8f"},
        {image::kNext, right, "#4fa3d9", "#2f7fb3"},    {image::kNextPressed, right, "#2f7fb3", "#1f5f8f"},
        {image::kPlay, play, "#f0823c", "#c8642a"},     {image::kPause, pause, "#f0823c", "#c8642a"},
    };
    for (const Icon& icon : icons)
        if (!drawTemplate("round-button.svg",
                          {{"SYMBOL", icon.symbol}, {"FILL", icon.fill}, {"EDGE", icon.edge}},
                          root + icon.file, 80, 80))
            return false;
    const std::string markerCorner = fmt(12 * squeeze());
    return drawTemplate("bubble.svg", {{"RX", fmt(16 * squeeze())}}, root + image::kBubble, 60, 60) &&
           drawTemplate("marker.svg", {{"FILL", "#fff1a8"}, {"EDGE", "#e8a028"}, {"RX", markerCorner}},
                        root + image::kHotspot, 60, 40) &&
           drawTemplate("marker.svg", {{"FILL", "#ffd84d"}, {"EDGE", "#e8a028"}, {"RX", markerCorner}},
                        root + image::kHotspotPressed, 60, 40);
}

// --- narration list

bool BookWriter::writeNarrationList() {
    std::ofstream out(m_work + "/narration.tsv");
    for (const PageSource& page : m_book.pages)
        for (std::size_t i = 0; i < page.words.size(); ++i)
            out << bookPath() << "/" << narrationFile(page.number, static_cast<int>(i) + 1) << "\t"
                << page.words[i].text << "\n";
    return static_cast<bool>(out) || fail("cannot write the narration list");
}

bool BookWriter::writeJson(const Json::Value& value, const std::string& path) {
    Json::StreamWriterBuilder builder;
    builder["indentation"] = "  ";
    std::ofstream out(path);
    out << Json::writeString(builder, value) << "\n";
    return static_cast<bool>(out) || fail("cannot write " + path);
}

} // namespace bookmaker
