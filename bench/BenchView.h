#pragma once
// The headless 640 x 960 view that the widget benchmarks draw into, with a
// temporary resource folder holding a button's three pictures (normal,
// pressed, disabled) of the given size.
#include "engine/director/CCDirector.h"
#include "engine/platform/CCEGLView.h"
#include "engine/platform/CCFileUtils.h"
#include "engine/platform/HeadlessRun.h"
#include "engine/render/CCTextureCache.h"

#include <SDL.h>
#include <SDL_image.h>

#include <filesystem>
#include <string>

namespace benchview {

inline std::filesystem::path& resources() {
    static std::filesystem::path folder;
    return folder;
}

inline bool openView(const std::string& benchName, int buttonW, int buttonH) {
    using namespace engine;
    if (!HeadlessRun::openView({640, 960}, {640, 960})) return false;
    resources() = std::filesystem::temp_directory_path() /
                  ("lirra_" + benchName + "_" + std::to_string(SDL_GetTicks()));
    std::filesystem::create_directories(resources());
    const struct {
        const char* name;
        Uint32 argb;
    } images[] = {{"normal.png", 0xff3070c0}, {"pressed.png", 0xff2050a0}, {"disabled.png", 0xff808080}};
    for (const auto& image : images) {
        SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, buttonW, buttonH, 32, SDL_PIXELFORMAT_ARGB8888);
        SDL_FillRect(surface, nullptr, image.argb);
        IMG_SavePNG(surface, (resources() / image.name).string().c_str());
        SDL_FreeSurface(surface);
    }
    CCFileUtils::sharedFileUtils()->setResourceRoot(resources().string());
    return true;
}

inline void closeView() {
    using namespace engine;
    CCDirector::sharedDirector()->reset();
    CCTextureCache::sharedTextureCache()->removeAllTextures();
    CCEGLView::sharedOpenGLView()->close();
    std::error_code error;
    std::filesystem::remove_all(resources(), error);
}

} // namespace benchview
