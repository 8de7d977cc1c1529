#include "engine/platform/CCEGLView.h"

#include "engine/base/CCLog.h"
#include "engine/director/CCDirector.h"
#include "engine/director/CCKeyCodes.h"
#include "engine/director/CCKeyboardDispatcher.h"
#include "engine/director/CCTouchDispatcher.h"
#include "engine/platform/CCClock.h"
#include "engine/platform/OffscreenBackend.h"
#include "engine/platform/ViewEvents.h"
#include "engine/platform/WindowBackend.h"
#include "engine/render/CCSDLRenderer.h"
#include "engine/render/ccImageCodec.h"
#include "engine/text/CCIMEDispatcher.h"

#include <SDL.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace engine {

namespace {
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
    if (m_backend) m_backend->setTitle(m_viewName);
}

void CCEGLView::setFrameSize(float width, float height) {
    if (!(width > 0) || !(height > 0)) {
        CCLog("CCEGLView::setFrameSize: invalid size %g x %g", width, height);
        return;
    }
    m_frameSize = CCSize(width, height);
    if (m_backend && m_backend->hasFixedSize()) {
        close();
        open();
    } else if (m_backend) {
        m_backend->resize(roundedPixels(width), roundedPixels(height));
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
    if (m_backend) m_backend->windowSize(width, height);
}

void CCEGLView::updateMapping() {
    int outputW = roundedPixels(m_frameSize.width), outputH = roundedPixels(m_frameSize.height);
    if (m_backend) SDL_GetRendererOutputSize(m_backend->renderer(), &outputW, &outputH);
    int windowW = outputW, windowH = outputH;
    if (m_backend) m_backend->windowSize(windowW, windowH);
    m_pixelsPerWindowX = windowW > 0 ? static_cast<float>(outputW) / windowW : 1.0f;
    m_pixelsPerWindowY = windowH > 0 ? static_cast<float>(outputH) / windowH : 1.0f;
    // Where the frame lies on the output: the largest centred rectangle of
    // the frame's shape (all of a window of that shape; between bars in
    // fullscreen or in a window resized to another shape), in whole pixels
    // so that the bars have sharp edges.
    float areaX = 0, areaY = 0, areaW = static_cast<float>(outputW), areaH = static_cast<float>(outputH);
    if (std::fabs(areaW / areaH - m_frameSize.width / m_frameSize.height) * areaW >= 1.0f) {
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
    std::string why;
    if (m_backend && m_backend->hasFixedSize()) {
        // Made anew: the screen's size or the frame's.
        close();
        if (!open()) return false;
    } else if (m_backend && !m_backend->changeFullscreen(fullscreen, why)) {
        CCLog("CCEGLView::setFullscreen: the window system refused (%s)", why.c_str());
        m_fullscreen = !fullscreen;
        return false;
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
    SDL_GetRendererOutputSize(m_backend->renderer(), &outputW, &outputH);
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
    if (m_headless)
        m_backend = std::make_unique<OffscreenBackend>(m_headlessScreenW, m_headlessScreenH);
    else
        m_backend = std::make_unique<WindowBackend>(m_renderDriver);
    const int width = roundedPixels(m_frameSize.width), height = roundedPixels(m_frameSize.height);
    std::string why;
    if (!m_backend->open(m_viewName, width, height, m_fullscreen, why)) {
        CCLog("CCEGLView::open: %s", why.c_str());
        close();
        return false;
    }
    m_renderer = new CCSDLRenderer(m_backend->renderer());
    m_renderer->setPresenter([this] { present(); });
    // What the software renderer draws the screen into, for its own fills.
    m_renderer->setScreenSurface([this] { return m_backend->screenSurface(); });
    updateMapping();
    CCDirector::sharedDirector()->setRenderer(m_renderer);
    return true;
}

void CCEGLView::close() {
    CCDirector* director = CCDirector::sharedDirector();
    if (m_renderer && director->getRenderer() == m_renderer) director->setRenderer(nullptr);
    delete m_renderer;
    m_renderer = nullptr;
    m_backend.reset();
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
    ViewEvents events(*this);
    while (SDL_PollEvent(&event))
        events.handle(event);
}

bool CCEGLView::waitForEvent(double until) {
    if (!SDL_WasInit(SDL_INIT_EVENTS)) return false;
    // With no event to fill in, SDL leaves the event in the queue.
    for (;;) {
        double left = until - CCClock::now();
        if (!(left > 0)) return SDL_PollEvent(nullptr) == 1;
        // Whole milliseconds, rounded up so that the wait never ends early;
        // at most a second at a time, which costs nothing worth counting.
        int ms = static_cast<int>(std::ceil(std::min(left, 1.0) * 1000.0));
        if (SDL_WaitEventTimeout(nullptr, std::max(1, ms)) == 1) return true;
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

// --- frames

void CCEGLView::present() {
    if (!m_backend) return;
    if (m_capture && !m_backend->keepsFrameAfterPresent()) {
        if (!m_renderer->readPixels(m_captured, m_capturedWidth, m_capturedHeight)) m_captured.clear();
    }
    SDL_RenderPresent(m_backend->renderer());
}

bool CCEGLView::readPixels(std::vector<std::uint32_t>& argb, int& width, int& height) {
    if (!m_renderer) {
        CCLog("CCEGLView::readPixels: the view is not open");
        return false;
    }
    if (m_capture && !m_backend->keepsFrameAfterPresent() && !m_captured.empty()) {
        argb = m_captured;
        width = m_capturedWidth;
        height = m_capturedHeight;
        return true;
    }
    return m_renderer->readPixels(argb, width, height);
}

namespace {

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
    std::vector<unsigned char> png;
    std::string why;
    if (!ccEncodePng(pixels.data(), width, height, png, why)) {
        CCLog("CCEGLView::saveFrame: cannot make a PNG for %s: %s", pngPath.c_str(), why.c_str());
        return false;
    }
    if (!writeWholeFile(pngPath, png, why)) {
        CCLog("CCEGLView::saveFrame: cannot write %s: %s", pngPath.c_str(), why.c_str());
        return false;
    }
    return true;
}

bool CCEGLView::isKeyName(const std::string& keyName) {
    return SDL_GetKeyFromName(keyName.c_str()) != SDLK_UNKNOWN;
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

void CCEGLView::dispatchKeyPress(std::int32_t key, bool shift) {
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

void CCEGLView::setIMEKeyboardState(bool on) {
    if (on)
        SDL_StartTextInput();
    else
        SDL_StopTextInput();
}

} // namespace engine
