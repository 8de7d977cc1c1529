#include "app/DesktopFrame.h"

#include "engine/base/CCLog.h"

#include <SDL.h>

#include <cstdlib>

namespace app {

engine::CCSize frameSizeForDesktopHeight(int desktopHeight) {
    double height = desktopHeight;
    double width = height * 1.11 / 1.4;
    return engine::CCSize(static_cast<float>(width), static_cast<float>(height * 0.97));
}

std::string displayProblem() {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return std::string("SDL has no video: ") + SDL_GetError();
    const char* driver = SDL_GetCurrentVideoDriver();
    std::string name = driver ? driver : "";
    if (name.empty() || name == "offscreen" || name == "dummy")
        return "SDL's video driver is '" + name + "', which draws into memory only";
    if (SDL_GetNumVideoDisplays() < 1) return "the " + name + " video driver finds no screen";
    return "";
}

std::string noDisplayAdvice(const std::string& problem) {
    const char* display = std::getenv("DISPLAY");
    return "lirra: no display to open a window on (" + problem + "; DISPLAY is " +
           (display && *display ? std::string("'") + display + "'" : std::string("not set")) +
           ").\n"
           "Run it in a virtual X server (Debian packages xvfb and xauth: sudo apt-get install xvfb xauth):\n"
           "    xvfb-run -a make run\n"
           "or without a window: lirra --headless (see lirra --help)\n";
}

int desktopUsableHeight() {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return 0;
    SDL_Rect usable;
    if (SDL_GetDisplayUsableBounds(0, &usable) != 0) {
        engine::CCLog("desktop: cannot read the display's usable size: %s", SDL_GetError());
        return 0;
    }
    return usable.h;
}

} // namespace app
