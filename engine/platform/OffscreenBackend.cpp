#include "engine/platform/OffscreenBackend.h"

namespace engine {

OffscreenBackend::~OffscreenBackend() {
    if (m_renderer) SDL_DestroyRenderer(m_renderer);
    if (m_surface) SDL_FreeSurface(m_surface);
    if (m_eventsStarted) SDL_QuitSubSystem(SDL_INIT_EVENTS);
}

bool OffscreenBackend::open(const std::string&, int width, int height, bool fullscreen, std::string& why) {
    // Events only: no display is needed to draw into memory.
    m_eventsStarted = SDL_InitSubSystem(SDL_INIT_EVENTS) == 0;
    if (fullscreen) {
        width = m_screenW;
        height = m_screenH;
    }
    m_surface = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888);
    if (m_surface) m_renderer = SDL_CreateSoftwareRenderer(m_surface);
    if (m_renderer) return true;
    why = "cannot make an offscreen surface of " + std::to_string(width) + " x " + std::to_string(height) +
          ": " + SDL_GetError();
    return false;
}

void OffscreenBackend::windowSize(int& width, int& height) const {
    if (!m_surface) return;
    width = m_surface->w;
    height = m_surface->h;
}

} // namespace engine
