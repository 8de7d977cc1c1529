#pragma once
// PNG files painted block by block, for tests that need to know which
// colour lies where in a texture.
#include "support/TestSupport.h"

#include <SDL.h>
#include <SDL_image.h>

#include <cstdint>
#include <initializer_list>
#include <string>

namespace rendertest {

struct Block {
    int x, y, w, h;     // pixels, y down from the top row
    std::uint32_t argb; // 0xAARRGGBB
};

// A `w` x `h` transparent image with the blocks painted in order; returns its path.
inline std::string writePaintedPng(const testsupport::TempDir& dir, const std::string& name, int w, int h,
                                   std::initializer_list<Block> blocks) {
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888);
    SDL_FillRect(surface, nullptr, 0);
    for (const Block& b : blocks) {
        SDL_Rect rect{b.x, b.y, b.w, b.h};
        SDL_FillRect(surface, &rect, b.argb);
    }
    std::string path = dir.write(name, ""); // makes the folders
    IMG_SavePNG(surface, path.c_str());
    SDL_FreeSurface(surface);
    return path;
}

} // namespace rendertest
