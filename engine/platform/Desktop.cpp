#include "engine/platform/Desktop.h"

#include "engine/base/CCLog.h"

#include <SDL.h>

namespace engine {

std::string Desktop::displayProblem() {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return std::string("SDL has no video: ") + SDL_GetError();
    const char* driver = SDL_GetCurrentVideoDriver();
    std::string name = driver ? driver : "";
    if (name.empty() || name == "offscreen" || name == "dummy")
        return "SDL's video driver is '" + name + "', which draws into memory only";
    if (SDL_GetNumVideoDisplays() < 1) return "the " + name + " video driver finds no screen";
    return "";
}

int Desktop::usableHeight() {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return 0;
    SDL_Rect usable;
    if (SDL_GetDisplayUsableBounds(0, &usable) != 0) {
        CCLog("desktop: cannot read the display's usable size: %s", SDL_GetError());
        return 0;
    }
    return usable.h;
}

} // namespace engine
