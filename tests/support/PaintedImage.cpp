#include "support/PaintedImage.h"

#include <SDL.h>
#include <SDL_image.h>

namespace testsupport {

std::string writePng(const TempDir& dir, const std::string& name, int w, int h,
                     const std::vector<Block>& blocks) {
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888);
    if (!surface) return {};
    SDL_FillRect(surface, nullptr, 0);
    for (const Block& b : blocks) {
        SDL_Rect rect{b.x, b.y, b.w, b.h};
        SDL_FillRect(surface, &rect, b.argb);
    }
    std::string path = dir.write(name, ""); // makes the folders
    bool saved = IMG_SavePNG(surface, path.c_str()) == 0;
    SDL_FreeSurface(surface);
    return saved ? path : std::string();
}

std::string writePng(const TempDir& dir, const std::string& name, int w, int h, std::uint32_t left,
                     std::uint32_t right) {
    return writePng(dir, name, w, h, {{0, 0, w / 2, h, left}, {w / 2, 0, w - w / 2, h, right}});
}

std::vector<Block> columns(int cell, int h, const std::vector<std::uint32_t>& colours) {
    std::vector<Block> blocks;
    for (std::size_t i = 0; i < colours.size(); ++i)
        blocks.push_back({static_cast<int>(i) * cell, 0, cell, h, colours[i]});
    return blocks;
}

} // namespace testsupport
