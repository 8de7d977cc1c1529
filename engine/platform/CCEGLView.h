#pragma once
// The window: its name and frame size, the design resolution drawn into it,
// the renderer that draws, and the events that come out of it.
//
// open() makes the output through its backend: a desktop window, or,
// headless, an offscreen surface of the frame's size drawn by SDL's software
// renderer (no display needed); and hands the renderer to the director. The design area is mapped
// onto the window's pixels by the resolution policy; exact fit stretches it
// over the whole window in both directions.
//
// Events: the left mouse button is touch 0 (down, drag while held, up); touch
// screen fingers are touches 1 and up (the mouse events SDL makes up for
// fingers are ignored). Closing the window ends the director; minimising
// calls the background handler, restoring the foreground handler. Text input
// goes to its handler. A window that was exposed, shown, resized or restored
// has the next frame drawn whatever the scene shows.
//
// Keys: a key press from SDL and one named by an automation script take the
// same path, dispatchKeyPress. F11 toggles fullscreen wherever the reader is;
// every other key goes to the key handler (the input method hooks in there)
// and then, as the engine's key code, to the director's keyboard dispatcher, which hands it to the
// running layers that enabled the keyboard. While a text field takes input,
// the keys that type or edit text stay with it.
//
// Fullscreen, and a window that the reader resized or maximised, keep the
// frame's aspect ratio: the frame is drawn as large as the screen or window
// allows, centred between black bars, and window positions are mapped to
// design points through those bars. Without a window manager to make the
// window fullscreen, it covers the display itself. Headless, "the screen" is
// an offscreen surface of the headless screen size.
//
// Index: name and sizes | open/close | coordinates | events | frames
#include "engine/base/CCGeometry.h"
#include "engine/render/CCScreenMapping.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace engine {

class CCSDLRenderer;
class ViewBackend;

enum ResolutionPolicy {
    kResolutionExactFit = 0, // stretched in both directions, no borders
    kResolutionNoBorder,     // uniform scale that fills the window; edges may be cut off
    kResolutionShowAll,      // uniform scale that shows everything; borders may appear
    kResolutionFixedHeight,  // uniform scale by height; the design width follows the window
    kResolutionFixedWidth,   // uniform scale by width; the design height follows the window
    kResolutionUnKnown,
};

class CCEGLView {
public:
    static CCEGLView* sharedOpenGLView();
    CCEGLView(const CCEGLView&) = delete;
    CCEGLView& operator=(const CCEGLView&) = delete;

    // --- name and sizes
    void setViewName(const char* name);
    const char* getViewName() const { return m_viewName.c_str(); }
    // In window units (the desktop's pixels); the window is the rounded size.
    // It stays what was set when the window is resized or made fullscreen:
    // its shape is the page's.
    void setFrameSize(float width, float height);
    const CCSize& getFrameSize() const { return m_frameSize; }
    // Also sets the director's window size. Until it is called the design
    // size is the frame size.
    void setDesignResolutionSize(float width, float height, ResolutionPolicy policy);
    ResolutionPolicy getResolutionPolicy() const { return m_policy; }
    // The part of the design area that the window shows.
    CCPoint getVisibleOrigin() const;
    CCSize getVisibleSize() const;
    // Frame units per design point.
    float getScaleX() const;
    float getScaleY() const;

    // --- open/close
    // Offscreen instead of a window; must be chosen before open().
    void setHeadless(bool headless);
    bool isHeadless() const { return m_headless; }
    // SDL render driver for the window ("opengl", "software", ...); empty lets
    // SDL choose. Headless always draws with the software renderer.
    void setRenderDriver(const std::string& driver) { m_renderDriver = driver; }
    // False, with a log line, when SDL cannot give a window or renderer.
    bool open();
    void close();
    bool isOpen() const { return m_renderer != nullptr; }
    CCSDLRenderer* getRenderer() const { return m_renderer; }
    // Before open() it only chooses how the view opens. False, with a log
    // line, when the window system refuses.
    bool setFullscreen(bool fullscreen);
    bool isFullscreen() const { return m_fullscreen; }
    void toggleFullscreen() { setFullscreen(!m_fullscreen); }
    // The output size a headless fullscreen view draws into.
    void setHeadlessScreenSize(int width, int height);

    // --- coordinates
    // Window coordinates (as SDL's mouse events give them) to design points and back.
    CCPoint convertWindowToDesign(float x, float y) const;
    CCPoint convertDesignToWindow(const CCPoint& point) const;
    // Design points on the output's pixels (more than window units on high-density screens).
    const CCScreenMapping& getScreenMapping() const { return m_mapping; }

    // --- events
    // Handles every pending event (tests push made-up SDL events and poll).
    void pollEvents();
    // Sleeps until an event comes (true; it waits for pollEvents) or the
    // clock reaches `until` (false); infinity waits for an event alone.
    bool waitForEvent(double until);
    void setLifecycleHandlers(std::function<void()> background, std::function<void()> foreground);
    // Key names are SDL's ("Return", "Escape", "A", ...).
    void setKeyHandler(std::function<void(const std::string& keyName)> handler);
    void setTextHandler(std::function<void(const std::string& utf8)> handler);
    const std::function<void(const std::string&)>& getKeyHandler() const { return m_onKey; }
    const std::function<void(const std::string&)>& getTextHandler() const { return m_onText; }
    // A key by its SDL name, in any letter case ("Right", "Space", "s",
    // "F11"): false, with a log line, for a name SDL does not know.
    bool dispatchKey(const std::string& keyName);
    // Whether dispatchKey knows the name.
    static bool isKeyName(const std::string& keyName);
    // Typed text, exactly as an SDL text event delivers it.
    void dispatchText(const std::string& utf8);
    // Whether typed text is wanted: on, the input method composes and the
    // text handler receives what is typed.
    void setIMEKeyboardState(bool on);
    bool isInBackground() const { return m_inBackground; }

    // --- frames
    // Shows the frame; the renderer calls it at the end of each frame.
    void present();
    // A window's back buffer is undefined after it is shown: with capture on,
    // each frame is copied just before, for readPixels and saveFrame. Headless
    // frames stay readable without it.
    void setFrameCapture(bool capture) { m_capture = capture; }
    // The last frame as drawn: each pixel 0xAARRGGBB (SDL_PIXELFORMAT_ARGB8888),
    // rows top to bottom, in output pixels.
    bool readPixels(std::vector<std::uint32_t>& argb, int& width, int& height);
    // The last frame as a PNG file; false, with a log line naming the file, on failure.
    bool saveFrame(const std::string& pngPath);

private:
    CCEGLView() = default;
    ~CCEGLView();
    CCSize effectiveDesignSize() const;
    // Frame units per design point across and down, by the policy.
    CCPoint policyScales() const;
    void updateMapping();
    void logPageArea() const;
    // The window's size in window units (the surface's, headless).
    void windowSize(int& width, int& height) const;
    void enterBackground();
    void enterForeground();
    // The one way in for key presses (see Keys above); `sdlKey` is an SDL keycode.
    void dispatchKeyPress(std::int32_t sdlKey, bool shift = false);
    // Turns SDL's events into touches, keys, text and window changes.
    friend class ViewEvents;

    std::string m_viewName = "lirra";
    CCSize m_frameSize{640, 960};
    CCSize m_designSize; // zero: follow the frame
    ResolutionPolicy m_policy = kResolutionExactFit;
    bool m_headless = false;
    bool m_fullscreen = false;
    int m_headlessScreenW = 1920, m_headlessScreenH = 1080;
    std::string m_renderDriver;

    std::unique_ptr<ViewBackend> m_backend; // while open
    CCSDLRenderer* m_renderer = nullptr;
    CCScreenMapping m_mapping;
    float m_pixelsPerWindowX = 1.0f, m_pixelsPerWindowY = 1.0f;

    std::function<void()> m_onBackground, m_onForeground;
    std::function<void(const std::string&)> m_onKey, m_onText;
    bool m_inBackground = false;
    bool m_mouseDown = false;
    std::map<std::int64_t, int> m_fingers; // SDL finger to touch id (1 and up)

    bool m_capture = false;
    std::vector<std::uint32_t> m_captured;
    int m_capturedWidth = 0, m_capturedHeight = 0;
};

} // namespace engine
