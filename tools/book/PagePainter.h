#pragma once
// Draws the book's pictures with the engine, headless: a page's picture with
// its sentence printed by the engine's label, and the highlight that covers a
// word when it is read. One pixel per design point, so what is drawn here is
// what the book shows at its design size.
#include "engine/base/ccTypes.h"
#include "tools/book/WordLayout.h"

#include <cstdint>
#include <string>
#include <vector>

struct SDL_Surface;

namespace bookmaker {

class PagePainter {
public:
    // Opens a 640 x 960 headless view whose resource root is `workFolder`,
    // where the pictures to draw on lie.
    explicit PagePainter(const std::string& workFolder);
    ~PagePainter();
    PagePainter(const PagePainter&) = delete;
    PagePainter& operator=(const PagePainter&) = delete;
    bool isOpen() const { return m_open; }

    // The picture `pictureName` (a file under the work folder) with the
    // layout's sentence printed in `ink`, saved as `pngPath`.
    bool paintPage(const std::string& pictureName, WordLayout& layout, const engine::ccColor3B& ink,
                   const std::string& pngPath);
    // The highlight of word `index`: a rounded marker of `fill` as large as
    // the word's hotspot with the word printed again in `ink` exactly where
    // the page prints it.
    bool paintHighlight(const WordLayout& layout, std::size_t index, const engine::ccColor4B& fill,
                        const engine::ccColor4B& edge, const engine::ccColor3B& ink,
                        const std::string& pngPath);

    // A see-through marker band as large as word `index`'s hotspot, with no
    // text of its own: laid over the printed word it leaves the print
    // readable, and sliding over other words it never shows a wrong one.
    bool paintBand(const WordLayout& layout, std::size_t index, const engine::ccColor4B& fill,
                   const engine::ccColor4B& edge, const std::string& pngPath);

    // A rounded rectangle with an edge, anti-aliased; the caller frees it.
    // Corners and edge are `squeeze` times as wide as high.
    static SDL_Surface* roundedRect(int width, int height, float radius, float edgeWidth,
                                    const engine::ccColor4B& fill, const engine::ccColor4B& edge,
                                    float squeeze = 1);
    static bool savePng(const std::vector<std::uint32_t>& argb, int width, int height,
                        const std::string& path);

private:
    bool m_open = false;
    std::string m_savedRoot;
};

} // namespace bookmaker
