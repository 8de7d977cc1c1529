#include "app/DesktopFrame.h"

#include "engine/base/CCLog.h"

#include <SDL.h>

namespace app {

engine::CCSize frameSizeForDesktopHeight(int desktopHeight) {
    double height = desktopHeight;
    double width = height * 1.11 / 1.4;
    return engine::CCSize(static_cast<float>(width), static_cast<float>(height * 0.97));
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
