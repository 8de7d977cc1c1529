#include "engine/director/CCDirector.h"

#include "engine/actions/CCActionManager.h"
#include "engine/base/CCAutoreleasePool.h"
#include "engine/base/CCLog.h"
#include "engine/director/CCKeyboardDispatcher.h"
#include "engine/director/CCScheduler.h"
#include "engine/director/CCTouchDispatcher.h"
#include "engine/nodes/CCScene.h"
#include "engine/platform/CCClock.h"
#include "engine/platform/CCEGLView.h"
#include "engine/render/CCRenderer.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace engine {

CCDirector* CCDirector::sharedDirector() {
    // Lives for the whole process, like the engine it stands for.
    static CCDirector* director = new CCDirector();
    return director;
}

CCDirector::CCDirector()
    : m_scheduler(new CCScheduler()), m_actionManager(new CCActionManager()),
      m_touchDispatcher(new CCTouchDispatcher()), m_keyboardDispatcher(new CCKeyboardDispatcher()) {}

CCDirector::~CCDirector() {
    reset();
    m_keyboardDispatcher->release();
    m_touchDispatcher->release();
    m_actionManager->release();
    m_scheduler->release();
}

void CCDirector::setOpenGLView(CCEGLView* view) {
    m_view = view;
}

void CCDirector::setRenderer(CCRenderer* renderer) {
    m_renderer = renderer;
    if (m_renderer) m_renderer->setRecording(m_drawOnlyOnChange);
    m_needsDraw = true;
}

void CCDirector::setDrawOnlyOnChange(bool on) {
    m_drawOnlyOnChange = on;
    if (m_renderer) m_renderer->setRecording(on);
    m_needsDraw = true;
}

void CCDirector::setAnimationInterval(double seconds) {
    if (seconds > 0) m_animationInterval = seconds;
}

void CCDirector::startAnimation() {
    m_animating = true;
    m_needsDraw = true;
    // The time spent stopped is not a frame's time.
    m_nextDeltaTimeZero = true;
}

void CCDirector::runWithScene(CCScene* scene) {
    if (!scene) {
        CCLog("CCDirector::runWithScene: no scene given");
        return;
    }
    if (m_ranFirstScene) {
        CCLog("CCDirector::runWithScene: a scene is already running; use replaceScene");
        return;
    }
    m_ranFirstScene = true;
    m_ended = false;
    m_nextScene = scene;
    startAnimation();
}

void CCDirector::replaceScene(CCScene* scene) {
    if (!scene) {
        CCLog("CCDirector::replaceScene: no scene given");
        return;
    }
    if (!m_ranFirstScene) {
        runWithScene(scene);
        return;
    }
    // A scene replaced again before it ever ran is dropped unseen.
    m_nextScene = scene;
}

void CCDirector::setNextScene() {
    // The outgoing scene is released last, once the incoming one has entered.
    CCRef<CCScene> outgoing = std::move(m_runningScene);
    // Set first: a transition that exits learns here whether the scene taking
    // over is the one it led to.
    m_runningScene = std::move(m_nextScene);
    CCScene* incoming = m_runningScene.get();
    // A transition scene takes charge of the outgoing scene's exit itself.
    if (outgoing && !incoming->isTransition()) {
        outgoing->onExitTransitionDidStart();
        outgoing->onExit();
        outgoing->cleanup();
    }
    // The scene a transition ends on has already entered.
    if (!incoming->isRunning()) {
        incoming->onEnter();
        incoming->onEnterTransitionDidFinish();
    }
    if (outgoing && !incoming->isTransition()) m_sceneLeft = true;
}

void CCDirector::mainLoop() {
    double now = CCClock::now();
    float dt = 0;
    if (m_nextDeltaTimeZero) {
        m_nextDeltaTimeZero = false;
    } else {
        dt = static_cast<float>(std::max(0.0, now - m_lastFrameTime));
    }
    m_lastFrameTime = now;
    drawScene(dt);
}

void CCDirector::stepFrame(float dt) {
    CCClock::advance(dt);
    m_lastFrameTime = CCClock::now();
    m_nextDeltaTimeZero = false;
    drawScene(dt);
}

void CCDirector::drawScene(float dt) {
    if (m_endRequested) {
        reset();
        m_endRequested = false;
        m_ended = true;
        return;
    }
    if (m_animating) {
        m_deltaTime = dt;
        m_scheduler->update(dt);
        m_actionManager->update(dt * m_scheduler->getTimeScale());
        if (m_nextScene) setNextScene();
        if (m_runningScene) {
            if (m_renderer)
                drawFrame();
            else
                m_runningScene->visit();
        }
        ++m_totalFrames;
    }
    CCAutoreleasePool::sharedPool()->drain();
    // Once the pool has let go of what the old scene left in it.
    if (m_sceneLeft) {
        m_sceneLeft = false;
        for (auto& listener : m_sceneLeftListeners)
            listener();
    }
}

void CCDirector::drawFrame() {
    const bool transition = m_runningScene->isTransition();
    bool draw = !m_drawOnlyOnChange || m_needsDraw || m_frameChanged || transition;
    if (!draw) {
        m_renderer->beginProbe();
        m_runningScene->visit();
        draw = m_renderer->endProbe();
    }
    if (!draw) {
        m_frameChanged = false;
        return;
    }
    m_needsDraw = false;
    m_renderer->beginFrame();
    m_runningScene->visit();
    m_renderer->endFrame();
    ++m_presentedFrames;
    m_frameChanged = transition || m_renderer->lastFrameChanged();
}

bool CCDirector::wantsNextFrame() const {
    if (m_endRequested || m_ended || m_nextScene) return true;
    if (!m_animating) return false;
    return m_frameChanged || m_needsDraw || (m_runningScene && m_runningScene->isTransition()) ||
           m_actionManager->hasRunningActions();
}

double CCDirector::secondsUntilNextTimer() const {
    const double none = std::numeric_limits<double>::infinity();
    float scale = m_scheduler->getTimeScale();
    if (!m_animating || !(scale > 0)) return none;
    return m_scheduler->secondsUntilNextTimer() / scale;
}

void CCDirector::catchUpAfterSleep() {
    if (!m_animating || m_nextDeltaTimeZero || m_endRequested) return;
    double slept = CCClock::now() - m_lastFrameTime - m_animationInterval;
    if (slept <= 0) return;
    m_lastFrameTime += slept;
    m_scheduler->update(static_cast<float>(slept));
}

CCPoint CCDirector::getVisibleOrigin() const {
    return m_view ? m_view->getVisibleOrigin() : CCPointZero;
}

CCSize CCDirector::getVisibleSize() const {
    return m_view ? m_view->getVisibleSize() : m_winSize;
}

void CCDirector::purgeCachedData() {
    for (auto& listener : m_purgeListeners)
        listener();
}

void CCDirector::reset() {
    m_touchDispatcher->cancelAllTouches();
    if (m_runningScene) {
        m_runningScene->onExitTransitionDidStart();
        m_runningScene->onExit();
        m_runningScene->cleanup();
        m_runningScene = nullptr;
    }
    m_nextScene = nullptr;
    m_scheduler->unscheduleAll();
    m_actionManager->removeAllActions();
    m_touchDispatcher->removeAllDelegates();
    m_keyboardDispatcher->removeAllDelegates();
    m_animating = false;
    m_ranFirstScene = false;
    m_endRequested = false;
    m_nextDeltaTimeZero = true;
    m_totalFrames = 0;
    m_presentedFrames = 0;
    setDrawOnlyOnChange(false);
    m_frameChanged = true;
    CCAutoreleasePool::sharedPool()->drain();
}

} // namespace engine
