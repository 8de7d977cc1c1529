#pragma once
// SDL's events, turned into what the view stands for: touches (the left
// mouse button is touch 0, fingers 1 and up), keys, typed text and changes
// of the window (see CCEGLView).
#include "engine/platform/CCEGLView.h"

#include <SDL.h>

namespace engine {

class ViewEvents {
public:
    explicit ViewEvents(CCEGLView& view) : m_view(view) {}
    void handle(const SDL_Event& event);

private:
    void touchFromFinger(const SDL_TouchFingerEvent& finger, int phase);
    // Once the window manager has framed the window, shrinks it (keeping its
    // shape) and moves it so that the frame, title bar included, lies on the
    // desktop's usable area.
    void fitOntoDesktop();

    CCEGLView& m_view;
};

} // namespace engine
