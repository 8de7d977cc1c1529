#include "engine/platform/ViewEvents.h"

#include "engine/director/CCDirector.h"
#include "engine/director/CCTouchDispatcher.h"
#include "engine/platform/ViewBackend.h"
#include "engine/render/CCTexture2D.h"

#include <algorithm>
#include <cmath>

namespace engine {

namespace {
enum { kBegan, kMoved, kEnded };

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

void ViewEvents::fitOntoDesktop() {
    if (!m_view.m_backend || m_view.m_fullscreen) return;
    CCEGLView& view = m_view;
    // Whole pixels of the smaller size, the frame's shape kept.
    m_view.m_backend->fitOntoDesktop([&view](float scale) {
        view.setFrameSize(std::floor(view.m_frameSize.width * scale),
                          std::floor(view.m_frameSize.height * scale));
    });
}

void ViewEvents::handle(const SDL_Event& event) {
    switch (event.type) {
    case SDL_QUIT:
        CCDirector::sharedDirector()->end();
        break;
    case SDL_WINDOWEVENT:
        fitOntoDesktop();
        if (lostPixels(event.window.event)) CCDirector::sharedDirector()->setNeedsDraw();
        switch (event.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
            CCDirector::sharedDirector()->end();
            break;
        case SDL_WINDOWEVENT_MINIMIZED:
            m_view.enterBackground();
            break;
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_MAXIMIZED:
            m_view.enterForeground();
            break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            // Resized, maximised or fullscreen: the frame keeps its shape,
            // drawn as large as the window allows between bars.
            m_view.updateMapping();
            m_view.logPageArea();
            break;
        default:
            break;
        }
        break;
    case SDL_RENDER_TARGETS_RESET:
    case SDL_RENDER_DEVICE_RESET:
        CCTexture2D::targetsLost();
        CCDirector::sharedDirector()->setNeedsDraw();
        break;
    case SDL_APP_DIDENTERBACKGROUND:
        m_view.enterBackground();
        break;
    case SDL_APP_WILLENTERFOREGROUND:
        m_view.enterForeground();
        break;
    case SDL_MOUSEBUTTONDOWN:
        if (event.button.which == SDL_TOUCH_MOUSEID || event.button.button != SDL_BUTTON_LEFT) break;
        if (m_view.m_mouseDown) break;
        m_view.m_mouseDown = true;
        dispatcher()->touchBegan(0, m_view.convertWindowToDesign(static_cast<float>(event.button.x),
                                                                 static_cast<float>(event.button.y)));
        break;
    case SDL_MOUSEMOTION:
        if (event.motion.which == SDL_TOUCH_MOUSEID || !m_view.m_mouseDown) break;
        dispatcher()->touchMoved(0, m_view.convertWindowToDesign(static_cast<float>(event.motion.x),
                                                                 static_cast<float>(event.motion.y)));
        break;
    case SDL_MOUSEBUTTONUP:
        if (event.button.which == SDL_TOUCH_MOUSEID || event.button.button != SDL_BUTTON_LEFT) break;
        if (!m_view.m_mouseDown) break;
        m_view.m_mouseDown = false;
        dispatcher()->touchEnded(0, m_view.convertWindowToDesign(static_cast<float>(event.button.x),
                                                                 static_cast<float>(event.button.y)));
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
        m_view.dispatchKeyPress(event.key.keysym.sym, (event.key.keysym.mod & KMOD_SHIFT) != 0);
        break;
    case SDL_TEXTINPUT:
        m_view.dispatchText(event.text.text);
        break;
    default:
        break;
    }
}

void ViewEvents::touchFromFinger(const SDL_TouchFingerEvent& finger, int phase) {
    // Finger positions are fractions of the window.
    int windowW, windowH;
    m_view.windowSize(windowW, windowH);
    CCPoint point = m_view.convertWindowToDesign(finger.x * windowW, finger.y * windowH);
    auto found = m_view.m_fingers.find(finger.fingerId);
    if (phase == kBegan) {
        if (found != m_view.m_fingers.end()) return;
        // The lowest free touch id from 1; 0 is the mouse.
        int id = 1;
        while (std::any_of(m_view.m_fingers.begin(), m_view.m_fingers.end(),
                           [id](const auto& e) { return e.second == id; }))
            ++id;
        m_view.m_fingers[finger.fingerId] = id;
        dispatcher()->touchBegan(id, point);
        return;
    }
    if (found == m_view.m_fingers.end()) return;
    int id = found->second;
    if (phase == kMoved) {
        dispatcher()->touchMoved(id, point);
    } else {
        m_view.m_fingers.erase(found);
        dispatcher()->touchEnded(id, point);
    }
}

} // namespace engine
