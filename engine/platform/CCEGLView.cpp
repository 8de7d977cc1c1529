#include "engine/platform/CCEGLView.h"

#include "engine/base/CCLog.h"
#include "engine/director/CCDirector.h"
#include "engine/director/CCKeyCodes.h"
#include "engine/director/CCKeyboardDispatcher.h"
#include "engine/director/CCTouchDispatcher.h"
#include "engine/platform/CCClock.h"
#include "engine/render/CCSDLRenderer.h"
#include "engine/text/CCIMEDispatcher.h"

#include <SDL_image.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace engine {

namespace {
enum { kBegan, kMoved, kEnded };

int roundedPixels(float size) {
    return std::max(1, static_cast<int>(std::lround(size)));
}

// The engine's code of an SDL key: printable keys as their character, the
// named keys the program uses as their own codes, any other as unknown.
int engineKey(SDL_Keycode key, bool shift) {
    switch (key) {
    case SDLK_LEFT:
        return kKeyLeft;
    case SDLK_RIGHT:
        return kKeyRight;
    case SDLK_UP:
        return kKeyUp;
    case SDLK_DOWN:
        return kKeyDown;
    case SDLK_ESCAPE:
        return kKeyEscape;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        return kKeyReturn;
    case SDLK_TAB:
        return shift ? kKeyBackTab : kKeyTab;
    case SDLK_BACKSPACE:
        return kKeyBackspace;
    case SDLK_DELETE:
        return kKeyDelete;
    case SDLK_F11:
        return kKeyF11;
    default:
        return key >= ' ' && key <= '~' ? static_cast<int>(key) : kKeyUnknown;
    }
}

// Keys that type or edit text: while a text field takes input they are its alone.
bool typesText(SDL_Keycode key) {
    return (key >= ' ' && key <= '~') || key == SDLK_BACKSPACE || key == SDLK_RETURN ||
           key == SDLK_KP_ENTER || key == SDLK_DELETE || (key >= 0x80 && !(key & SDLK_SCANCODE_MASK));
}

// The window's pixels may be gone or stale after these.
bool lostPixels(Uint8 windowEvent) {
    return windowEvent == SDL_WINDOWEVENT_EXPOSED || windowEvent == SDL_WINDOWEVENT_SHOWN ||
           windowEvent == SDL_WINDOWEVENT_RESTORED || windowEvent == SDL_WINDOWEVENT_MAXIMIZED ||
           windowEvent == SDL_WINDOWEVENT_SIZE_CHANGED;
}

CCTouchDispatcher* dispatcher() {
    return CCDirector::sharedDirector()->getTouchDispatcher();
}
} // namespace

CCEGLView* CCEGLView::sharedOpenGLView() {
    // Lives for the whole process, like the window it stands for.
    static CCEGLView* view = new CCEGLView();
    return view;
}

CCEGLView::~CCEGLView() {
    close();
}

// --- name and sizes

void CCEGLView::setViewName(const char* name) {
    m_viewName = name ? name : "";
    if (m_window) SDL_SetWindowTitle(m_window, m_viewName.c_str());
}

void CCEGLView::setFrameSize(float width, float height) {
    if (!(width > 0) || !(height > 0)) {
        CCLog("CCEGLView::setFrameSize: invalid size %g x %g", width, height);
        return;
    }
    m_frameSize = CCSize(width, height);
    if (m_window) {
        SDL_SetWindowSize(m_window, roundedPixels(width), roundedPixels(height));
    } else if (m_surface) {
        // A new offscreen surface of the new size.
        close();
        open();
    }
    updateMapping();
}

void CCEGLView::setDesignResolutionSize(float width, float height, ResolutionPolicy policy) {
    if (!(width > 0) || !(height > 0) || policy == kResolutionUnKnown) {
        CCLog("CCEGLView::setDesignResolutionSize: invalid size %g x %g or policy %d", width, height,
              static_cast<int>(policy));
        return;
    }
    m_designSize = CCSize(width, height);
    m_policy = policy;
    updateMapping();
    CCDirector::sharedDirector()->setWinSize(effectiveDesignSize());
}

CCSize CCEGLView::getDesignResolutionSize() const {
    return effectiveDesignSize();
}

CCPoint CCEGLView::policyScales() const {
    CCSize design = m_designSize.width > 0 ? m_designSize : m_frameSize;
    float sx = m_frameSize.width / design.width, sy = m_frameSize.height / design.height;
    switch (m_policy) {
    case kResolutionNoBorder:
        return {std::max(sx, sy), std::max(sx, sy)};
    case kResolutionShowAll:
        return {std::min(sx, sy), std::min(sx, sy)};
    case kResolutionFixedHeight:
        return {sy, sy};
    case kResolutionFixedWidth:
        return {sx, sx};
    default:
        return {sx, sy}; // exact fit: stretched in both directions
    }
}

float CCEGLView::getScaleX() const {
    return policyScales().x;
}

float CCEGLView::getScaleY() const {
    return policyScales().y;
}

CCSize CCEGLView::effectiveDesignSize() const {
    if (!(m_designSize.width > 0)) return m_frameSize;
    // The fixed policies widen or heighten the design area to the window's shape.
    if (m_policy == kResolutionFixedHeight) return {m_frameSize.width / getScaleX(), m_designSize.height};
    if (m_policy == kResolutionFixedWidth) return {m_designSize.width, m_frameSize.height / getScaleY()};
    return m_designSize;
}

CCSize CCEGLView::getVisibleSize() const {
    if (m_policy == kResolutionNoBorder && m_designSize.width > 0)
        return {m_frameSize.width / getScaleX(), m_frameSize.height / getScaleY()};
    return effectiveDesignSize();
}

CCPoint CCEGLView::getVisibleOrigin() const {
    CCSize design = effectiveDesignSize(), visible = getVisibleSize();
    return {(design.width - visible.width) * 0.5f, (design.height - visible.height) * 0.5f};
}

void CCEGLView::windowSize(int& width, int& height) const {
    width = roundedPixels(m_frameSize.width);
    height = roundedPixels(m_frameSize.height);
    if (m_window)
        SDL_GetWindowSize(m_window, &width, &height);
    else if (m_surface) {
        width = m_surface->w;
        height = m_surface->h;
    }
}

void CCEGLView::updateMapping() {
    int outputW = roundedPixels(m_frameSize.width), outputH = roundedPixels(m_frameSize.height);
    if (m_sdlRenderer) SDL_GetRendererOutputSize(m_sdlRenderer, &outputW, &outputH);
    int windowW = outputW, windowH = outputH;
    if (m_window) SDL_GetWindowSize(m_window, &windowW, &windowH);
    m_pixelsPerWindowX = windowW > 0 ? static_cast<float>(outputW) / windowW : 1.0f;
    m_pixelsPerWindowY = windowH > 0 ? static_cast<float>(outputH) / windowH : 1.0f;
    // Where the frame lies on the output: all of it in a window; in
    // fullscreen the largest centred rectangle of the frame's shape, in whole
    // pixels so that the bars have sharp edges.
    float areaX = 0, areaY = 0, areaW = static_cast<float>(outputW), areaH = static_cast<float>(outputH);
    if (m_fullscreen) {
        float aspect = m_frameSize.width / m_frameSize.height;
        if (areaW / areaH > aspect)
            areaW = std::max(1.0f, std::round(areaH * aspect));
        else
            areaH = std::max(1.0f, std::round(areaW / aspect));
        areaX = std::floor((outputW - areaW) * 0.5f);
        areaY = std::floor((outputH - areaH) * 0.5f);
    }
    float pixelsPerFrameX = areaW / m_frameSize.width, pixelsPerFrameY = areaH / m_frameSize.height;
    CCSize design = effectiveDesignSize();
    float scaleX = getScaleX(), scaleY = getScaleY();
    if (m_policy == kResolutionExactFit || !(m_designSize.width > 0)) {
        // Exactly the whole area, whatever the rounding of the frame.
        m_mapping.scaleX = areaW / design.width;
        m_mapping.scaleY = areaH / design.height;
        m_mapping.offsetX = areaX;
        m_mapping.offsetY = areaY;
    } else {
        m_mapping.scaleX = scaleX * pixelsPerFrameX;
        m_mapping.scaleY = scaleY * pixelsPerFrameY;
        m_mapping.offsetX = areaX + (areaW - design.width * m_mapping.scaleX) * 0.5f;
        m_mapping.offsetY = areaY + (areaH - design.height * m_mapping.scaleY) * 0.5f;
    }
    m_mapping.designHeight = design.height;
    if (m_renderer) m_renderer->setScreenMapping(m_mapping);
}

bool CCEGLView::setFullscreen(bool fullscreen) {
    if (fullscreen == m_fullscreen) return true;
    m_fullscreen = fullscreen;
    if (m_window) {
        if (SDL_SetWindowFullscreen(m_window, fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) {
            CCLog("CCEGLView::setFullscreen: the window system refused (%s)", SDL_GetError());
            m_fullscreen = !fullscreen;
            return false;
        }
    } else if (m_surface) {
        // Headless: a new offscreen surface, the screen's size or the frame's.
        close();
        if (!open()) return false;
    }
    updateMapping();
    CCLog("view: fullscreen %s", fullscreen ? "on" : "off");
    logPageArea();
    return true;
}

void CCEGLView::logPageArea() const {
    if (!isOpen()) return;
    // Automated runs read where the page is drawn from this line.
    CCSize design = effectiveDesignSize();
    CCPoint low = m_mapping.toPixel({0, 0}), high = m_mapping.toPixel({design.width, design.height});
    int outputW = 0, outputH = 0;
    SDL_GetRendererOutputSize(m_sdlRenderer, &outputW, &outputH);
    CCLog("view: the page fills %.0f x %.0f pixels from (%.0f, %.0f) of %d x %d", high.x - low.x,
          low.y - high.y, low.x, high.y, outputW, outputH);
}

void CCEGLView::setHeadlessScreenSize(int width, int height) {
    if (width <= 0 || height <= 0) {
        CCLog("CCEGLView::setHeadlessScreenSize: invalid size %d x %d", width, height);
        return;
    }
    m_headlessScreenW = width;
    m_headlessScreenH = height;
}

void CCEGLView::fitDecoratedWindow() {
    if (!m_window || m_fullscreen || m_decorationsFitted) return;
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
        // Whole pixels of the smaller size, the frame's shape kept.
        setFrameSize(std::floor(m_frameSize.width * scale), std::floor(m_frameSize.height * scale));
        SDL_GetWindowSize(m_window, &width, &height);
    }
    int x = 0, y = 0;
    SDL_GetWindowPosition(m_window, &x, &y);
    int fittedX = std::max(usable.x + left, std::min(x, usable.x + usable.w - right - width));
    int fittedY = std::max(usable.y + top, std::min(y, usable.y + usable.h - bottom - height));
    if (fittedX != x || fittedY != y) SDL_SetWindowPosition(m_window, fittedX, fittedY);
}

// --- open/close

void CCEGLView::setHeadless(bool headless) {
    if (isOpen()) {
        CCLog("CCEGLView::setHeadless: the view is open already; close it first");
        return;
    }
    m_headless = headless;
}

bool CCEGLView::open() {
    if (isOpen()) return true;
    int width = roundedPixels(m_frameSize.width), height = roundedPixels(m_frameSize.height);
    if (m_headless && m_fullscreen) {
        width = m_headlessScreenW;
        height = m_headlessScreenH;
    }
    if (m_headless) {
        // Events only: no display is needed to draw into memory.
        Uint32 wanted = SDL_INIT_EVENTS;
        if (SDL_InitSubSystem(wanted) == 0) m_initialisedSubsystems = wanted;
        m_surface = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888);
        if (m_surface) m_sdlRenderer = SDL_CreateSoftwareRenderer(m_surface);
    } else {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
            CCLog("CCEGLView::open: no video (%s); is there a display? Headless runs need no display",
                  SDL_GetError());
            return false;
        }
        m_initialisedSubsystems = SDL_INIT_VIDEO;
        if (!m_renderDriver.empty()) SDL_SetHint(SDL_HINT_RENDER_DRIVER, m_renderDriver.c_str());
        m_window = SDL_CreateWindow(
            m_viewName.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
            SDL_WINDOW_SHOWN | SDL_WINDOW_ALLOW_HIGHDPI | (m_fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0));
        // SDL queues draw calls only when it chose the driver itself; it may
        // always: the engine never talks to the driver behind SDL's back.
        SDL_SetHint(SDL_HINT_RENDER_BATCHING, "1");
        if (m_window) {
            m_sdlRenderer = SDL_CreateRenderer(m_window, -1, 0);
            if (!m_sdlRenderer) m_sdlRenderer = SDL_CreateRenderer(m_window, -1, SDL_RENDERER_SOFTWARE);
        }
    }
    if (!m_sdlRenderer) {
        CCLog("CCEGLView::open: cannot make a %s of %d x %d: %s", m_headless ? "offscreen surface" : "window",
              width, height, SDL_GetError());
        close();
        return false;
    }
    m_renderer = new CCSDLRenderer(m_sdlRenderer);
    m_renderer->setPresenter([this] { present(); });
    // What the software renderer draws the screen into, for its own fills.
    m_renderer->setScreenSurface([this] { return m_surface ? m_surface : SDL_GetWindowSurface(m_window); });
    updateMapping();
    CCDirector::sharedDirector()->setRenderer(m_renderer);
    return true;
}

void CCEGLView::close() {
    m_decorationsFitted = false;
    CCDirector* director = CCDirector::sharedDirector();
    if (m_renderer && director->getRenderer() == m_renderer) director->setRenderer(nullptr);
    delete m_renderer;
    m_renderer = nullptr;
    if (m_sdlRenderer) SDL_DestroyRenderer(m_sdlRenderer);
    m_sdlRenderer = nullptr;
    if (m_window) SDL_DestroyWindow(m_window);
    m_window = nullptr;
    if (m_surface) SDL_FreeSurface(m_surface);
    m_surface = nullptr;
    if (m_initialisedSubsystems) SDL_QuitSubSystem(m_initialisedSubsystems);
    m_initialisedSubsystems = 0;
    m_fingers.clear();
    m_mouseDown = false;
    m_captured.clear();
}

// --- coordinates

CCPoint CCEGLView::convertWindowToDesign(float x, float y) const {
    return m_mapping.toDesign({x * m_pixelsPerWindowX, y * m_pixelsPerWindowY});
}

CCPoint CCEGLView::convertDesignToWindow(const CCPoint& point) const {
    CCPoint pixel = m_mapping.toPixel(point);
    return {pixel.x / m_pixelsPerWindowX, pixel.y / m_pixelsPerWindowY};
}

// --- events

void CCEGLView::setLifecycleHandlers(std::function<void()> background, std::function<void()> foreground) {
    m_onBackground = std::move(background);
    m_onForeground = std::move(foreground);
}

void CCEGLView::setKeyHandler(std::function<void(const std::string&)> handler) {
    m_onKey = std::move(handler);
}

void CCEGLView::setTextHandler(std::function<void(const std::string&)> handler) {
    m_onText = std::move(handler);
}

void CCEGLView::pollEvents() {
    if (!SDL_WasInit(SDL_INIT_EVENTS)) return;
    SDL_Event event;
    while (SDL_PollEvent(&event))
        handleEvent(event);
}

bool CCEGLView::waitForEvent(double until, SDL_Event& event) {
    if (!SDL_WasInit(SDL_INIT_EVENTS)) return false;
    for (;;) {
        double left = until - CCClock::now();
        if (!(left > 0)) return SDL_PollEvent(&event) == 1;
        // Whole milliseconds, rounded up so that the wait never ends early;
        // at most a second at a time, which costs nothing worth counting.
        int ms = static_cast<int>(std::ceil(std::min(left, 1.0) * 1000.0));
        if (SDL_WaitEventTimeout(&event, std::max(1, ms)) == 1) return true;
    }
}

void CCEGLView::enterBackground() {
    if (m_inBackground) return;
    m_inBackground = true;
    // A drag cut short by the window going away ends as cancelled.
    dispatcher()->cancelAllTouches();
    m_mouseDown = false;
    m_fingers.clear();
    if (m_onBackground) m_onBackground();
}

void CCEGLView::enterForeground() {
    if (!m_inBackground) return;
    m_inBackground = false;
    if (m_onForeground) m_onForeground();
}

void CCEGLView::handleEvent(const SDL_Event& event) {
    switch (event.type) {
    case SDL_QUIT:
        CCDirector::sharedDirector()->end();
        break;
    case SDL_WINDOWEVENT:
        fitDecoratedWindow();
        if (lostPixels(event.window.event)) CCDirector::sharedDirector()->setNeedsDraw();
        switch (event.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
            CCDirector::sharedDirector()->end();
            break;
        case SDL_WINDOWEVENT_MINIMIZED:
            enterBackground();
            break;
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_MAXIMIZED:
            enterForeground();
            break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            // The window manager has the last word on the size; in
            // fullscreen the frame keeps its windowed shape.
            if (!m_fullscreen)
                m_frameSize =
                    CCSize(static_cast<float>(event.window.data1), static_cast<float>(event.window.data2));
            updateMapping();
            logPageArea();
            break;
        default:
            break;
        }
        break;
    case SDL_RENDER_TARGETS_RESET:
    case SDL_RENDER_DEVICE_RESET:
        CCDirector::sharedDirector()->setNeedsDraw();
        break;
    case SDL_APP_DIDENTERBACKGROUND:
        enterBackground();
        break;
    case SDL_APP_WILLENTERFOREGROUND:
        enterForeground();
        break;
    case SDL_MOUSEBUTTONDOWN:
        if (event.button.which == SDL_TOUCH_MOUSEID || event.button.button != SDL_BUTTON_LEFT) break;
        if (m_mouseDown) break;
        m_mouseDown = true;
        dispatcher()->touchBegan(
            0, convertWindowToDesign(static_cast<float>(event.button.x), static_cast<float>(event.button.y)));
        break;
    case SDL_MOUSEMOTION:
        if (event.motion.which == SDL_TOUCH_MOUSEID || !m_mouseDown) break;
        dispatcher()->touchMoved(
            0, convertWindowToDesign(static_cast<float>(event.motion.x), static_cast<float>(event.motion.y)));
        break;
    case SDL_MOUSEBUTTONUP:
        if (event.button.which == SDL_TOUCH_MOUSEID || event.button.button != SDL_BUTTON_LEFT) break;
        if (!m_mouseDown) break;
        m_mouseDown = false;
        dispatcher()->touchEnded(
            0, convertWindowToDesign(static_cast<float>(event.button.x), static_cast<float>(event.button.y)));
        break;
    case SDL_FINGERDOWN:
        touchFromFinger(event.tfinger, kBegan);
        break;
    case SDL_FINGERMOTION:
        touchFromFinger(event.tfinger, kMoved);
        break;
    case SDL_FINGERUP:
        touchFromFinger(event.tfinger, kEnded);
        break;
    case SDL_KEYDOWN:
        // A held F11 would flicker between the two modes.
        if (event.key.repeat && event.key.keysym.sym == SDLK_F11) break;
        dispatchKeyPress(event.key.keysym.sym, (event.key.keysym.mod & KMOD_SHIFT) != 0);
        break;
    case SDL_TEXTINPUT:
        dispatchText(event.text.text);
        break;
    default:
        break;
    }
}

void CCEGLView::touchFromFinger(const SDL_TouchFingerEvent& finger, int phase) {
    // Finger positions are fractions of the window.
    int windowW, windowH;
    windowSize(windowW, windowH);
    CCPoint point = convertWindowToDesign(finger.x * windowW, finger.y * windowH);
    auto found = m_fingers.find(finger.fingerId);
    if (phase == kBegan) {
        if (found != m_fingers.end()) return;
        // The lowest free touch id from 1; 0 is the mouse.
        int id = 1;
        while (
            std::any_of(m_fingers.begin(), m_fingers.end(), [id](const auto& e) { return e.second == id; }))
            ++id;
        m_fingers[finger.fingerId] = id;
        dispatcher()->touchBegan(id, point);
        return;
    }
    if (found == m_fingers.end()) return;
    int id = found->second;
    if (phase == kMoved) {
        dispatcher()->touchMoved(id, point);
    } else {
        m_fingers.erase(found);
        dispatcher()->touchEnded(id, point);
    }
}

// --- frames

void CCEGLView::present() {
    if (!m_sdlRenderer) return;
    if (m_capture && !m_headless) {
        if (!m_renderer->readPixels(m_captured, m_capturedWidth, m_capturedHeight)) m_captured.clear();
    }
    SDL_RenderPresent(m_sdlRenderer);
}

bool CCEGLView::readPixels(std::vector<std::uint32_t>& argb, int& width, int& height) {
    if (!m_renderer) {
        CCLog("CCEGLView::readPixels: the view is not open");
        return false;
    }
    if (m_capture && !m_headless && !m_captured.empty()) {
        argb = m_captured;
        width = m_capturedWidth;
        height = m_capturedHeight;
        return true;
    }
    return m_renderer->readPixels(argb, width, height);
}

namespace {

// SDL_image writes a PNG to an SDL_RWops; this one grows a buffer in memory,
// so that the file itself is written (and every write checked) in one place.
struct PngBuffer {
    std::vector<unsigned char> bytes;
    std::size_t position = 0;
};

Sint64 bufferSize(SDL_RWops* rw) {
    return static_cast<Sint64>(static_cast<PngBuffer*>(rw->hidden.unknown.data1)->bytes.size());
}

Sint64 bufferSeek(SDL_RWops* rw, Sint64 offset, int whence) {
    auto* buffer = static_cast<PngBuffer*>(rw->hidden.unknown.data1);
    Sint64 base = whence == RW_SEEK_SET   ? 0
                  : whence == RW_SEEK_CUR ? static_cast<Sint64>(buffer->position)
                                          : static_cast<Sint64>(buffer->bytes.size());
    if (base + offset < 0) return SDL_SetError("seek before the start of a PNG buffer");
    buffer->position = static_cast<std::size_t>(base + offset);
    return base + offset;
}

size_t bufferRead(SDL_RWops*, void*, size_t, size_t) {
    return 0;
}

size_t bufferWrite(SDL_RWops* rw, const void* data, size_t size, size_t count) {
    auto* buffer = static_cast<PngBuffer*>(rw->hidden.unknown.data1);
    const std::size_t length = size * count;
    if (buffer->bytes.size() < buffer->position + length) buffer->bytes.resize(buffer->position + length);
    std::memcpy(buffer->bytes.data() + buffer->position, data, length);
    buffer->position += length;
    return count;
}

int bufferClose(SDL_RWops* rw) {
    SDL_FreeRW(rw);
    return 0;
}

// Writes `bytes` to `path`, checking every write, the flush and the close:
// a full disk must not leave a cut file behind that looks saved. A partial
// regular file is removed; a device (/dev/full) is left alone.
bool writeWholeFile(const std::string& path, const std::vector<unsigned char>& bytes, std::string& why) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        why = std::strerror(errno);
        return false;
    }
    int error = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) error = errno;
    if (std::fflush(file) != 0 && !error) error = errno;
    struct stat status {};
    const bool regular = ::fstat(fileno(file), &status) == 0 && S_ISREG(status.st_mode);
    if (regular && ::fsync(fileno(file)) != 0 && !error) error = errno;
    if (std::fclose(file) != 0 && !error) error = errno;
    if (!error) return true;
    why = std::strerror(error);
    if (regular) std::remove(path.c_str());
    return false;
}

} // namespace

bool CCEGLView::saveFrame(const std::string& pngPath) {
    std::vector<std::uint32_t> pixels;
    int width = 0, height = 0;
    if (!readPixels(pixels, width, height)) {
        CCLog("CCEGLView::saveFrame: no frame to save to %s", pngPath.c_str());
        return false;
    }
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(pixels.data(), width, height, 32, width * 4,
                                                              SDL_PIXELFORMAT_ARGB8888);
    PngBuffer png;
    SDL_RWops* rw = SDL_AllocRW();
    std::string why;
    bool encoded = false;
    if (surface && rw) {
        rw->size = bufferSize;
        rw->seek = bufferSeek;
        rw->read = bufferRead;
        rw->write = bufferWrite;
        rw->close = bufferClose;
        rw->hidden.unknown.data1 = &png;
        encoded = IMG_SavePNG_RW(surface, rw, 1) == 0; // frees rw
        rw = nullptr;
    }
    if (rw) SDL_FreeRW(rw);
    if (surface) SDL_FreeSurface(surface);
    if (!encoded) {
        CCLog("CCEGLView::saveFrame: cannot make a PNG for %s: %s", pngPath.c_str(), SDL_GetError());
        return false;
    }
    if (!writeWholeFile(pngPath, png.bytes, why)) {
        CCLog("CCEGLView::saveFrame: cannot write %s: %s", pngPath.c_str(), why.c_str());
        return false;
    }
    return true;
}

bool CCEGLView::dispatchKey(const std::string& keyName) {
    SDL_Keycode key = SDL_GetKeyFromName(keyName.c_str());
    if (key == SDLK_UNKNOWN) {
        CCLog("CCEGLView::dispatchKey: SDL knows no key named '%s'", keyName.c_str());
        return false;
    }
    dispatchKeyPress(key);
    return true;
}

void CCEGLView::dispatchKeyPress(SDL_Keycode key, bool shift) {
    if (key == SDLK_F11) {
        toggleFullscreen();
        return;
    }
    if (m_onKey) m_onKey(SDL_GetKeyName(key));
    if (CCIMEDispatcher::sharedDispatcher()->getAttachedDelegate() && typesText(key)) return;
    int code = engineKey(key, shift);
    if (code != kKeyUnknown) CCDirector::sharedDirector()->getKeyboardDispatcher()->dispatchKeyPressed(code);
}

void CCEGLView::dispatchText(const std::string& utf8) {
    if (m_onText) m_onText(utf8);
}

} // namespace engine
