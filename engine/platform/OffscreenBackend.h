#pragma once
// Frames drawn into memory by SDL's software renderer: no display is needed,
// and the same scene gives the same pixels on every machine.
#include "engine/platform/ViewBackend.h"

namespace engine {

class OffscreenBackend : public ViewBackend {
public:
    // The size a fullscreen offscreen view draws into: "the screen".
    OffscreenBackend(int screenWidth, int screenHeight) : m_screenW(screenWidth), m_screenH(screenHeight) {}
    ~OffscreenBackend() override;

    bool open(const std::string& title, int width, int height, bool fullscreen, std::string& why) override;
    SDL_Renderer* renderer() const override { return m_renderer; }
    SDL_Surface* screenSurface() const override { return m_surface; }
    void windowSize(int& width, int& height) const override;
    bool hasFixedSize() const override { return true; }
    bool keepsFrameAfterPresent() const override { return true; }

private:
    int m_screenW, m_screenH;
    bool m_eventsStarted = false;
    SDL_Surface* m_surface = nullptr;
    SDL_Renderer* m_renderer = nullptr;
};

} // namespace engine
