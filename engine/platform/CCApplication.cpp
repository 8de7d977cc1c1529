#include "engine/platform/CCApplication.h"

#include "engine/base/CCLog.h"
#include "engine/director/CCDirector.h"
#include "engine/platform/CCClock.h"
#include "engine/platform/CCEGLView.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>

namespace engine {

namespace {
CCApplication* g_application = nullptr;
} // namespace

CCApplication::CCApplication() { g_application = this; }

CCApplication::~CCApplication() {
    if (g_application == this) g_application = nullptr;
}

CCApplication* CCApplication::sharedApplication() { return g_application; }

void CCApplication::setAnimationInterval(double interval) {
    CCDirector::sharedDirector()->setAnimationInterval(interval);
}

int CCApplication::run() {
    CCEGLView* view = CCEGLView::sharedOpenGLView();
    if (!view->open()) {
        CCLog("CCApplication: cannot open the window");
        return 1;
    }
    // The frame counts in these lines let automated runs see that drawing
    // stopped while in the background.
    view->setLifecycleHandlers(
        [this] {
            applicationDidEnterBackground();
            CCLog("application: entered the background at frame %u", CCDirector::sharedDirector()->getTotalFrames());
        },
        [this] {
            CCLog("application: back in the foreground at frame %u", CCDirector::sharedDirector()->getTotalFrames());
            applicationWillEnterForeground();
        });
    if (!applicationDidFinishLaunching()) {
        view->close();
        return 0;
    }

    CCDirector* director = CCDirector::sharedDirector();
    const bool headless = view->isHeadless();
    director->setDrawOnlyOnChange(!headless);
    const double start = CCClock::now();
    double nextFrame = start;
    while (!director->isEnded()) {
        view->pollEvents();
        if (m_frameHook) m_frameHook(CCClock::now() - start);
        // Headless frames follow the virtual clock, one interval each.
        if (headless)
            director->stepFrame(static_cast<float>(director->getAnimationInterval()));
        else
            director->mainLoop();
        ++m_framesRun;
        if (m_afterFrameHook) m_afterFrameHook();
        if (m_frameLimit && m_framesRun >= m_frameLimit) break;
        if (headless) continue;
        nextFrame += director->getAnimationInterval();
        if (!m_frameLimit && !director->wantsNextFrame()) {
            sleepUntilDue(start, nextFrame);
            nextFrame = CCClock::now();
            continue;
        }
        double wait = nextFrame - CCClock::now();
        if (wait > 0)
            SDL_Delay(static_cast<Uint32>(wait * 1000.0));
        else if (wait < -0.25)
            nextFrame = CCClock::now(); // fell far behind: do not race to catch up
    }
    director->reset();
    view->close();
    return 0;
}

void CCApplication::sleepUntilDue(double start, double nextFrame) {
    CCDirector* director = CCDirector::sharedDirector();
    CCEGLView* view = CCEGLView::sharedOpenGLView();
    const double interval = director->getAnimationInterval();
    double due = director->getLastFrameTime() + director->secondsUntilNextTimer();
    if (m_nextHookTime) due = std::min(due, start + m_nextHookTime());
    // On the frame grid: the first frame at or after the time due, the one
    // that would have run it had frames gone on every interval.
    double until = due;
    if (std::isfinite(due))
        until = nextFrame + std::max(0.0, std::ceil((due - nextFrame) / interval - 1e-6)) * interval;
    // An event that wakes the loop is handled by the next frame's poll.
    view->waitForEvent(until);
    director->catchUpAfterSleep();
}

} // namespace engine
