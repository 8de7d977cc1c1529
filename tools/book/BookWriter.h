#pragma once
// Writes the whole book from its source: the three dictionaries, the home,
// page and settings layouts, the page pictures and word highlights (sprite
// sheets where a page asks for one), the interface images, and the list of
// narration files that make-book.sh speaks.
//
// Index: dictionaries | pictures from SVG | pages | home | settings |
//        interface images | narration list
#include "book/BookContract.h"
#include "engine/base/CCGeometry.h"
#include "tools/book/BookSource.h"

#include <memory>
#include <set>
#include <string>

namespace Json {
class Value;
}

namespace bookmaker {

class PagePainter;
class WordLayout;

// A property-list dictionary of <key>/<string> pairs, as the book's
// dictionaries are written.
bool writePlist(const std::string& path, const std::vector<std::pair<std::string, std::string>>& entries);

class BookWriter {
public:
    // `artFolder` holds library.svg and ui/; the book goes to `outFolder`
    // (the resource root); `workFolder` takes the intermediate pictures.
    BookWriter(const BookSource& book, std::string artFolder, std::string outFolder, std::string workFolder);
    // Lets go of the fonts the SVG drawing holds: they hold fontconfig's
    // caches, which the engine frees at exit.
    ~BookWriter();
    BookWriter(const BookWriter&) = delete;
    BookWriter& operator=(const BookWriter&) = delete;

    // The name its messages start with.
    static const char* kToolName;

    // Writes everything; false, with a message on standard error, at the
    // first thing that fails.
    bool writeAll();

    // The smallest size the bubble's text is made.
    static constexpr int kSmallestTextSize = 28;

    // Where a page prints its sentence (design points, y up): on the paper
    // below the picture, high enough above the page's buttons that the
    // bubble under a word of the second line clears them.
    static engine::CCRect textBox();

    // Where `page` prints its words, laid out as the page is made (needs an
    // open view at one pixel per point); hotspots as wide as their words.
    static std::unique_ptr<WordLayout> layOut(const BookSource& book, const PageSource& page, float fontSize = 0);
    // The smallest print a made book's sentence is shrunk to before it is
    // called too long for its page.
    static constexpr float kSmallestPrint = 36;

    // How wide "-word-" is in the bubble's face at `textSize` points, and the
    // width of hotspot that shows it on one line.
    static float bubbleTextWidth(const std::string& text, int textSize);
    static float hotspotWidthFor(const std::string& word, int textSize);

private:
    bool writeDictionaries();
    bool writePages(PagePainter& painter);
    bool writePage(PagePainter& painter, const PageSource& page, WordLayout& layout);
    bool writeHome();
    bool writeSettings();
    bool writeInterfaceImages();
    bool writeNarrationList();

    // An SVG template from art/ui with its {{KEY}} fields filled, drawn to `pngPath`.
    bool drawTemplate(const std::string& templateName,
                      const std::vector<std::pair<std::string, std::string>>& fields,
                      const std::string& pngPath, int width, int height);
    bool drawSvg(const std::string& svg, const std::string& pngPath, int width, int height);
    // Where a title of `family` (bold unless said) at `size` starts so
    // that, squeezed, it is centred on `centre`.
    std::string squeezedTextLeft(float centre, const std::string& text, int size,
                                 const std::string& family = "Andika", bool bold = true) const;
    // An SVG <image> of a made book's picture file, fitted whole into `area`
    // (x, y, width, height, y down) in its true shape on the reader's screen.
    bool fittedImage(const std::string& file, const engine::CCRect& area, std::string& svg);
    bool writeCover(const std::string& pngPath);
    const std::string& label(const std::string& name) const;
    std::string useElement(const Placement& placement) const;
    // How much narrower than designed the pictures are drawn.
    float squeeze() const { return 1.0f / m_book.stretchAcross; }
    bool writeJson(const Json::Value& value, const std::string& path);
    bool fail(const std::string& message);

    std::string bookPath() const { return m_out + "/" + m_book.bookFolder; }
    std::string pagesPath() const { return bookPath() + "/" + m_book.subName; }
    std::string homeLayoutPath() const { return m_out + "/" + book::kHomeLayoutFile; }
    std::string settingsLayoutPath() const { return m_out + "/" + book::kSettingsLayoutFile; }

    const BookSource& m_book;
    std::string m_art, m_out, m_work;
    std::string m_library; // the art library's <defs>
    int m_svgCount = 0;
    std::set<std::string> m_scenery; // art ids drawn as wide as designed
    // The size of the bubble's text: the story's, made smaller while
    // hotspots widened for it would run into each other.
    int m_textSize = 0;
    float m_fontSize = 0; // of the sentences: the book's, or smaller where a page needs it
};

} // namespace bookmaker
