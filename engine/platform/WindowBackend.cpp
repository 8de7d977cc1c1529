#include "engine/platform/WindowBackend.h"

#include "engine/base/CCLog.h"

#include <algorithm>

namespace engine {

WindowBackend::~WindowBackend() {
    if (m_renderer) SDL_DestroyRenderer(m_renderer);
    if (m_window) SDL_DestroyWindow(m_window);
    if (m_videoStarted) SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

bool WindowBackend::open(const std::string& title, int width, int height, bool fullscreen, std::string& why) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        why = std::string("no video (") + SDL_GetError() +
              "); is there a display? Headless runs need no display";
        return false;
    }
    m_videoStarted = true;
    if (!m_renderDriver.empty()) SDL_SetHint(SDL_HINT_RENDER_DRIVER, m_renderDriver.c_str());
    // On X11 SDL would back a software renderer's window with an OpenGL
    // texture, loading the whole OpenGL stack for one copy per frame; the
    // window's own surface shows the frame as well. (The environment may
    // still ask for it: this is set at normal priority.)
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    m_window = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                                SDL_WINDOW_SHOWN | SDL_WINDOW_ALLOW_HIGHDPI | SDL_WINDOW_RESIZABLE |
                                    (fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0));
    // SDL queues draw calls only when it chose the driver itself; it may
    // always: the engine never talks to the driver behind SDL's back.
    SDL_SetHint(SDL_HINT_RENDER_BATCHING, "1");
    if (m_window) {
        m_renderer = SDL_CreateRenderer(m_window, -1, 0);
        if (!m_renderer) m_renderer = SDL_CreateRenderer(m_window, -1, SDL_RENDERER_SOFTWARE);
    }
    if (m_renderer) {
        SDL_RendererInfo info;
        if (SDL_GetRendererInfo(m_renderer, &info) == 0) CCLog("view: renders with %s", info.name);
        // Any size the reader likes down to half the first one: the page
        // keeps its shape, between bars, at every size. (Set once the
        // renderer is made: SDL may make the window anew for it.)
        SDL_SetWindowMinimumSize(m_window, std::max(1, width / 2), std::max(1, height / 2));
        return true;
    }
    why = "cannot make a window of " + std::to_string(width) + " x " + std::to_string(height) + ": " +
          SDL_GetError();
    return false;
}

bool WindowBackend::changeFullscreen(bool fullscreen, std::string& why) {
    // Fullscreen on the desktop is asked of the window manager; without one
    // (a bare X server) nobody would act on it and the window would keep its
    // size while SDL took it for the whole screen. Then the window covers the
    // display itself.
    // A window manager shows itself by the frame it puts around the window.
    int top = 0, left = 0, bottom = 0, right = 0;
    const bool framed = SDL_GetWindowBordersSize(m_window, &top, &left, &bottom, &right) == 0 &&
                        top + left + bottom + right > 0;
    const bool managed = fullscreen ? framed : !m_coversDisplay;
    if (!managed) return coverDisplay(fullscreen, why);
    if (SDL_SetWindowFullscreen(m_window, fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) == 0) return true;
    why = SDL_GetError();
    return false;
}

bool WindowBackend::coverDisplay(bool cover, std::string& why) {
    if (cover) {
        SDL_Rect display;
        if (SDL_GetDisplayBounds(std::max(0, SDL_GetWindowDisplayIndex(m_window)), &display) != 0) {
            why = SDL_GetError();
            return false;
        }
        SDL_GetWindowPosition(m_window, &m_windowed.x, &m_windowed.y);
        SDL_GetWindowSize(m_window, &m_windowed.w, &m_windowed.h);
        SDL_SetWindowBordered(m_window, SDL_FALSE);
        SDL_SetWindowPosition(m_window, display.x, display.y);
        SDL_SetWindowSize(m_window, display.w, display.h);
        SDL_RaiseWindow(m_window);
    } else {
        SDL_SetWindowBordered(m_window, SDL_TRUE);
        SDL_SetWindowSize(m_window, m_windowed.w, m_windowed.h);
        SDL_SetWindowPosition(m_window, m_windowed.x, m_windowed.y);
    }
    m_coversDisplay = cover;
    CCLog("view: no window manager takes the window fullscreen; it %s",
          cover ? "covers the display itself" : "has its own place again");
    return true;
}

void WindowBackend::fitOntoDesktop(const std::function<void(float scale)>& shrink) {
    if (m_decorationsFitted) return;
    int top = 0, left = 0, bottom = 0, right = 0;
    // Unknown until the window manager has framed the window; without a
    // window manager there is nothing to fit.
    if (SDL_GetWindowBordersSize(m_window, &top, &left, &bottom, &right) != 0 ||
        top + left + bottom + right <= 0)
        return;
    m_decorationsFitted = true;
    SDL_Rect usable;
    int display = std::max(0, SDL_GetWindowDisplayIndex(m_window));
    if (SDL_GetDisplayUsableBounds(display, &usable) != 0) return;
    int width = 0, height = 0;
    SDL_GetWindowSize(m_window, &width, &height);
    const int roomW = usable.w - left - right, roomH = usable.h - top - bottom;
    if (roomW <= 0 || roomH <= 0 || width <= 0 || height <= 0) return;
    if (width > roomW || height > roomH) {
        float scale = std::min(static_cast<float>(roomW) / width, static_cast<float>(roomH) / height);
        CCLog("view: the window framed by the window manager (%d x %d with borders %d, %d, %d, %d) is larger "
              "than the desktop's usable %d x %d; it shrinks by %.3f",
              width, height, top, left, bottom, right, usable.w, usable.h, scale);
        shrink(scale);
        SDL_GetWindowSize(m_window, &width, &height);
    }
    int x = 0, y = 0;
    SDL_GetWindowPosition(m_window, &x, &y);
    int fittedX = std::max(usable.x + left, std::min(x, usable.x + usable.w - right - width));
    int fittedY = std::max(usable.y + top, std::min(y, usable.y + usable.h - bottom - height));
    if (fittedX != x || fittedY != y) SDL_SetWindowPosition(m_window, fittedX, fittedY);
}

} // namespace engine
