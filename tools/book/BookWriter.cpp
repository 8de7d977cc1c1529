#include "tools/book/BookWriter.h"

#include "book/BookContract.h"
#include "engine/text/CCLabelTTF.h"
#include "tools/book/LayoutBuilder.h"
#include "tools/book/PagePainter.h"
#include "tools/book/SheetPacker.h"
#include "tools/book/WordLayout.h"
#include "tools/book/WordNames.h"

#include <SDL_image.h>
#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>
#include <json/json.h>
#include <librsvg/rsvg.h>
#include <pango/pangocairo.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>

namespace bookmaker {

const char* BookWriter::kToolName = "make-book";

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
// A made book's highlight is a highlighter's stroke: see-through yellow.
const ccColor4B kBandPale{255, 221, 60, 96};
const ccColor4B kBandBright{255, 200, 0, 128};
const ccColor4B kBandEdge{232, 150, 20, 170};

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

// The folder of a file's path, without its last "/".
std::string folderOf(const std::string& path) {
    return path.substr(0, path.rfind('/'));
}

std::string fmt(float value) {
    std::ostringstream out;
    out << value;
    return out.str();
}

// Width in pixels of `text` in `family` at `size` pixels, as the SVG art
// prints its titles; 0 when the font is missing.
float textWidth(const std::string& text, int size, const std::string& family, bool bold) {
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
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

std::string base64(const std::string& bytes) {
    static const char* const digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        unsigned value = static_cast<unsigned char>(bytes[i]) << 16;
        if (i + 1 < bytes.size()) value |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        if (i + 2 < bytes.size()) value |= static_cast<unsigned char>(bytes[i + 2]);
        out += digits[(value >> 18) & 63];
        out += digits[(value >> 12) & 63];
        out += i + 1 < bytes.size() ? digits[(value >> 6) & 63] : '=';
        out += i + 2 < bytes.size() ? digits[value & 63] : '=';
    }
    return out;
}

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// Where a made book's page shows its picture: above the paper (y down).
const engine::CCRect kPictureArea(0, 0, 640, 596);
// Where its home page shows the cover, under the title.
const engine::CCRect kCoverArea(60, 240, 520, 370);

} // namespace

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

const std::string& BookWriter::label(const std::string& name) const {
    static const std::string none;
    auto found = m_book.labels.find(name);
    return found == m_book.labels.end() ? none : found->second;
}

bool BookWriter::fittedImage(const std::string& file, const engine::CCRect& area, std::string& svg) {
    SDL_Surface* image = IMG_Load(file.c_str());
    if (!image) return fail("the picture " + file + " cannot be read (" + IMG_GetError() + ")");
    const float width = static_cast<float>(image->w), height = static_cast<float>(image->h);
    SDL_FreeSurface(image);
    std::string bytes = readBytes(file);
    // The area as the reader's screen shows it is stretchAcross times wider;
    // the picture is fitted whole into that, then drawn narrower again.
    const float scale = std::min(area.size.width * m_book.stretchAcross / width, area.size.height / height);
    const float shownWidth = width * scale / m_book.stretchAcross, shownHeight = height * scale;
    const bool jpeg = bytes.size() > 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
                      static_cast<unsigned char>(bytes[1]) == 0xD8;
    svg = "<image x=\"" + fmt(area.origin.x + (area.size.width - shownWidth) / 2) + "\" y=\"" +
          fmt(area.origin.y + (area.size.height - shownHeight) / 2) + "\" width=\"" + fmt(shownWidth) +
          "\" height=\"" + fmt(shownHeight) + "\" preserveAspectRatio=\"none\" xlink:href=\"data:image/" +
          (jpeg ? "jpeg" : "png") + ";base64," + base64(bytes) + "\"/>\n";
    return true;
}

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

BookWriter::~BookWriter() {
    pango_cairo_font_map_set_default(nullptr);
}

bool BookWriter::fail(const std::string& message) {
    std::cerr << kToolName << ": " << message << "\n";
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
        std::cerr << kToolName << ": the bubble's text is " << m_textSize
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
                         {{book::configKey::kTitle, m_book.title},
                          {book::configKey::kSubName, m_book.subName},
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
    GError* error = nullptr;
    RsvgHandle* handle = rsvg_handle_new_from_data(reinterpret_cast<const guint8*>(svg.data()), svg.size(), &error);
    if (!handle) {
        std::string why = error ? error->message : "unknown";
        if (error) g_error_free(error);
        return fail("an SVG picture for " + pngPath + " cannot be read: " + why);
    }
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_t* cairo = cairo_create(surface);
    RsvgRectangle viewport{0, 0, static_cast<double>(width), static_cast<double>(height)};
    const bool drawn = rsvg_handle_render_document(handle, cairo, &viewport, &error);
    cairo_destroy(cairo);
    g_object_unref(handle);
    const bool saved = drawn && cairo_surface_write_to_png(surface, pngPath.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    std::string why = error ? error->message : "";
    if (error) g_error_free(error);
    if (!drawn) return fail("the SVG picture for " + pngPath + " cannot be drawn: " + why);
    return saved || fail("cannot write " + pngPath);
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

std::string BookWriter::squeezedTextLeft(float centre, const std::string& text, int size,
                                         const std::string& family, bool bold) const {
    return fmt(centre - textWidth(text, size, family, bold) * squeeze() * 0.5f);
}

// --- pages

std::unique_ptr<WordLayout> BookWriter::layOut(const BookSource& book, const PageSource& page, float fontSize) {
    std::string printed;
    for (char c : page.text)
        printed += c == ' ' ? std::string(static_cast<std::size_t>(book.wordGap), ' ') : std::string(1, c);
    return std::make_unique<WordLayout>(printed, page.words, book.font, fontSize > 0 ? fontSize : book.fontSize,
                                        textBox(),
                                        1.0f / book.stretchAcross);
}

bool BookWriter::writePages(PagePainter& painter) {
    std::vector<std::unique_ptr<WordLayout>> layouts;
    // A made book's print shrinks, for the whole book, until every page's
    // sentence fits its text area.
    const bool made = !m_book.pages.empty() && !m_book.pages.front().pictureFile.empty();
    for (m_fontSize = m_book.fontSize;; m_fontSize -= 4) {
        layouts.clear();
        const PageSource* tooLong = nullptr;
        for (const PageSource& page : m_book.pages) {
            layouts.push_back(layOut(m_book, page, m_fontSize));
            if (!layouts.back()->ok())
                return fail("page " + std::to_string(page.number) + ": " + layouts.back()->error());
            if (!tooLong && layouts.back()->label()->getContentSize().height > textBox().size.height)
                tooLong = &page;
        }
        if (!tooLong) break;
        if (!made || m_fontSize - 4 < kSmallestPrint)
            return fail("page " + std::to_string(tooLong->number) + ": the text is too long for the page (\"" +
                        tooLong->text.substr(0, 60) + (tooLong->text.size() > 60 ? "..." : "") + "\")");
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
            << kToolName << ": warning: some widened hotspots run into their neighbours even with the bubble's text at "
            << m_textSize << " points; give the words more room (\"wordGap\")\n";
    for (std::size_t i = 0; i < m_book.pages.size(); ++i)
        if (!writePage(painter, m_book.pages[i], *layouts[i])) return false;
    return true;
}

bool BookWriter::writePage(PagePainter& painter, const PageSource& page, WordLayout& layout) {
    const std::string number = std::to_string(page.number);
    std::string picture;
    if (!page.pictureFile.empty() && !fittedImage(page.pictureFile, kPictureArea, picture)) return false;
    for (const Placement& placement : page.picture)
        picture += useElement(placement);
    std::string pictureName = "page_" + number + "_art.png";
    if (!drawTemplate("page.svg", {{"PICTURE", picture}}, m_work + "/" + pictureName, kWidth, kHeight))
        return false;

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
        const bool painted =
            page.pictureFile.empty()
                ? painter.paintHighlight(layout, i, kMarkerPale, kMarkerEdge, kHighlightInk,
                                         folder + "/" + base + ".png") &&
                      painter.paintHighlight(layout, i, kMarkerBright, kMarkerEdge, kHighlightInk,
                                             folder + "/" + base + "_on.png")
                : painter.paintBand(layout, i, kBandPale, kBandEdge, folder + "/" + base + ".png") &&
                      painter.paintBand(layout, i, kBandBright, kBandEdge, folder + "/" + base + "_on.png");
        if (!painted)
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
    const bool made = !m_book.pages.empty() && !m_book.pages.front().pictureFile.empty();
    if (made ? !writeCover(folder + "/title.png")
             : !drawTemplate("title.svg",
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
        {book::kHomeButtonNames[book::kWordLearningButton], label("read").c_str(), "read", "#f0823c", "#c8642a",
         420, 100, 46, 320, 290},
        {book::kHomeButtonNames[book::kPageMenuButton], label("pick").c_str(), "pages", "#4fa3d9", "#2f7fb3", 420, 86,
         40, 320, 180},
        {book::kHomeButtonNames[book::kContinueButton], label("go-on").c_str(), "goon", "#6cbf5a", "#4c9a3a", 420,
         86, 40, 320, 80},
        {book::kHomeButtonNames[book::kExitButton], label("bye").c_str(), "bye", "#b98ad9", "#8a5ab3", 96, 96, 30, 578, 880},
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

bool BookWriter::writeCover(const std::string& pngPath) {
    std::string cover;
    if (!fittedImage(m_book.pages.front().pictureFile, kCoverArea, cover)) return false;
    // The title is as large as fits across the page, down to a size that
    // still reads as a title.
    int size = 64;
    while (size > 30 && textWidth(m_book.title, size, m_book.font, true) * squeeze() > 600)
        size -= 2;
    if (textWidth(m_book.title, size, m_book.font, true) * squeeze() > 600)
        return fail("the title \"" + m_book.title + "\" is too long for the home page");
    return drawTemplate("cover.svg",
                        {{"COVER", cover},
                         {"TITLE", xmlEscape(m_book.title)},
                         {"SIZE", std::to_string(size)},
                         {"FONT", xmlEscape(m_book.font)},
                         {"TX", squeezedTextLeft(320, m_book.title, size, m_book.font)},
                         {"AUTHOR", xmlEscape(m_book.author)},
                         {"AX", squeezedTextLeft(320, m_book.author, 32, m_book.font, false)}},
                        pngPath, kWidth, kHeight);
}

// --- settings

bool BookWriter::writeSettings() {
    const std::string folder = folderOf(settingsLayoutPath());
    const std::string corner = fmt(18 * squeeze());
    const std::string title = label("how-to-read");
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
        {book::settingsButtonName(book::kSettingsPress), label("i-touch").c_str(), 320, 640, 500, 96},
        {book::settingsButtonName(book::kSettingsRepeatPage), label("read-again").c_str(), 320, 520, 500, 96},
        {book::settingsButtonName(book::kSettingsTurnPages), label("read-me").c_str(), 320, 400, 500, 96},
        {book::settingsButtonName(book::kSettingsOk), label("ok").c_str(), 200, 250, 220, 96},
        {book::settingsButtonName(book::kSettingsCancel), label("cancel").c_str(), 440, 250, 220, 96},
        {book::settingsButtonName(book::kSettingsHome), label("home-button").c_str(), 320, 130, 260, 84},
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
