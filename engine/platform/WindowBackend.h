#pragma once
// Frames shown in a desktop window through the renderer SDL picks (OpenGL
// under X), or the one named by the render driver (see RendererChoice).
#include "engine/platform/ViewBackend.h"

namespace engine {

class WindowBackend : public ViewBackend {
public:
    // `renderDriver`: SDL's name ("opengl", "software", ...); empty lets SDL choose.
    explicit WindowBackend(std::string renderDriver) : m_renderDriver(std::move(renderDriver)) {}
    ~WindowBackend() override;

    bool open(const std::string& title, int width, int height, bool fullscreen, std::string& why) override;
    SDL_Renderer* renderer() const override { return m_renderer; }
    SDL_Surface* screenSurface() const override { return SDL_GetWindowSurface(m_window); }
    void windowSize(int& width, int& height) const override { SDL_GetWindowSize(m_window, &width, &height); }
    bool hasFixedSize() const override { return false; }
    void resize(int width, int height) override { SDL_SetWindowSize(m_window, width, height); }
    bool changeFullscreen(bool fullscreen, std::string& why) override;
    void setTitle(const std::string& title) override { SDL_SetWindowTitle(m_window, title.c_str()); }
    bool keepsFrameAfterPresent() const override { return false; }
    void fitOntoDesktop(const std::function<void(float scale)>& shrink) override;

private:
    // Fullscreen without a window manager: the window covers the display, or
    // goes back to where it was.
    bool coverDisplay(bool cover, std::string& why);

    std::string m_renderDriver;
    bool m_videoStarted = false;
    bool m_decorationsFitted = false;
    SDL_Window* m_window = nullptr;
    SDL_Renderer* m_renderer = nullptr;
    bool m_coversDisplay = false; // fullscreen done by hand
    SDL_Rect m_windowed{};        // the window's place before that
};

} // namespace engine
