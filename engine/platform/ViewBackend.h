#pragma once
// Where the view's frames go: a desktop window (WindowBackend) or a surface
// in memory drawn by SDL's software renderer (OffscreenBackend, for headless
// runs and tests). The view keeps everything else (sizes, the design mapping,
// input, frame capture) and so behaves the same over either.
//
// SDL's types stay behind this seam: only engine/platform/ and
// engine/render/ include it.
#include <SDL.h>

#include <functional>
#include <string>

namespace engine {

class ViewBackend {
public:
    virtual ~ViewBackend() = default;

    // Makes the output, `width` x `height` window units, or the whole screen
    // when `fullscreen`; false, with SDL's reason in `why`, when it cannot.
    virtual bool open(const std::string& title, int width, int height, bool fullscreen, std::string& why) = 0;
    virtual SDL_Renderer* renderer() const = 0;
    // The surface that the software renderer draws the screen into.
    virtual SDL_Surface* screenSurface() const = 0;
    // The output's size in window units.
    virtual void windowSize(int& width, int& height) const = 0;
    // An output of fixed size (a surface in memory) is made anew for a new
    // size or for fullscreen instead of being changed in place.
    virtual bool hasFixedSize() const = 0;
    virtual void resize(int /*width*/, int /*height*/) {}
    // False, with the window system's reason in `why`, when it refuses.
    virtual bool changeFullscreen(bool /*fullscreen*/, std::string& /*why*/) { return true; }
    virtual void setTitle(const std::string& /*title*/) {}
    // Whether a shown frame can still be read back: a window's back buffer
    // is undefined once presented, memory is not.
    virtual bool keepsFrameAfterPresent() const = 0;
    // Once the window manager has framed a window, the frame (title bar
    // included) must lie on the desktop's usable area: `shrink` is called
    // with the factor when the window is too large, then it is moved.
    virtual void fitOntoDesktop(const std::function<void(float scale)>& /*shrink*/) {}
};

} // namespace engine
