#pragma once
// Runs the scenes. Each frame: timers and per-frame updates, actions, the
// switch to a new scene if one was given, drawing, then the autorelease pool
// is drained. Frames are paced by the application's loop at the animation
// interval, or stepped one by one with a given time step (headless runs and
// tests, on the virtual clock).
//
// Drawing only on change (windows): a frame is drawn and shown only when it
// would look different from the last one shown. The renderer tells: a probe
// visits the scene with drawing off and compares its draw calls with those
// of the frame on screen. A frame right after a changed one, a transition's
// frames and frames after setNeedsDraw are drawn without asking. When
// nothing changed and no action runs, the loop may sleep until input or the
// next timer (wantsNextFrame, secondsUntilNextTimer, catchUpAfterSleep).
#include "engine/base/CCGeometry.h"
#include "engine/base/CCObject.h"

#include <functional>
#include <vector>

namespace engine {

class CCActionManager;
class CCEGLView;
class CCKeyboardDispatcher;
class CCRenderer;
class CCScene;
class CCScheduler;
class CCTouchDispatcher;

class CCDirector : public CCObject {
public:
    static CCDirector* sharedDirector();

    void setOpenGLView(CCEGLView* view);
    CCEGLView* getOpenGLView() const { return m_view; }
    // The renderer that nodes draw with; none means frames are only visited.
    void setRenderer(CCRenderer* renderer);
    CCRenderer* getRenderer() const { return m_renderer; }

    void setAnimationInterval(double seconds);
    double getAnimationInterval() const { return m_animationInterval; }
    // While stopped no frame runs: no timers, no actions, no drawing.
    void stopAnimation() { m_animating = false; }
    void startAnimation();
    bool isAnimating() const { return m_animating; }

    // The first scene; a second call is refused with a log line.
    void runWithScene(CCScene* scene);
    // The scene takes over at the start of the next frame; the old one gets
    // its exit calls then and is released.
    void replaceScene(CCScene* scene);
    CCScene* getRunningScene() const { return m_runningScene.get(); }
    CCScene* getNextScene() const { return m_nextScene.get(); }

    // Ends the director at the next frame: the running scene exits and the
    // application's loop returns.
    void end() { m_endRequested = true; }
    bool isEnded() const { return m_ended; }

    // One frame with the time passed since the last one.
    void mainLoop();
    // One frame with a given time step; the virtual clock moves by it too.
    void stepFrame(float dt);
    // Frames run (while animating), drawn or not.
    unsigned int getTotalFrames() const { return m_totalFrames; }
    // Frames drawn and shown.
    unsigned int getPresentedFrames() const { return m_presentedFrames; }
    float getDeltaTime() const { return m_deltaTime; }

    // --- drawing only on change (see above); off by default, as headless runs want
    void setDrawOnlyOnChange(bool on);
    bool isDrawOnlyOnChange() const { return m_drawOnlyOnChange; }
    // The next frame is drawn whatever it shows (the window lost its pixels).
    void setNeedsDraw() { m_needsDraw = true; }
    // After a frame: whether the next one should follow at the animation
    // interval (something moves or has just changed, a scene waits, the end
    // was asked for); otherwise nothing happens before input or a timer.
    bool wantsNextFrame() const;
    // Seconds after the last frame at which the next timer is due, in the
    // clock's time; infinity when none is (or the animation is stopped).
    double secondsUntilNextTimer() const;
    double getLastFrameTime() const { return m_lastFrameTime; }
    // After the loop slept: timers and per-frame updates are given the time
    // slept beyond one interval now, so that they keep time, while the next
    // frame's dt stays about one interval (an action started by the input
    // that woke the loop does not leap).
    void catchUpAfterSleep();

    // Design size; the view sets it with its design resolution.
    CCSize getWinSize() const { return m_winSize; }
    void setWinSize(const CCSize& size) { m_winSize = size; }
    CCPoint getVisibleOrigin() const;
    CCSize getVisibleSize() const;

    void setDepthTest(bool on) { m_depthTest = on; }
    bool isDepthTest() const { return m_depthTest; }

    // Drops cached data (textures) that nothing uses any more.
    void purgeCachedData();
    // Caches register what purgeCachedData should drop.
    void addPurgeListener(std::function<void()> listener) { m_purgeListeners.push_back(std::move(listener)); }
    // Called at the end of the frame in which a scene change has finished
    // (the scene it led to runs, the one it left is gone).
    void addSceneLeftListener(std::function<void()> listener) {
        m_sceneLeftListeners.push_back(std::move(listener));
    }

    CCScheduler* getScheduler() const { return m_scheduler; }
    CCActionManager* getActionManager() const { return m_actionManager; }
    CCTouchDispatcher* getTouchDispatcher() const { return m_touchDispatcher; }
    CCKeyboardDispatcher* getKeyboardDispatcher() const { return m_keyboardDispatcher; }

    // Leaves the running and next scenes (with their exit calls), drops every
    // timer, action, touch and key handler and drains the pool: a fresh director
    // that can run a new first scene. `end` does this at the next frame.
    void reset();

private:
    CCDirector();
    ~CCDirector() override;
    void drawScene(float dt);
    // Draws and shows the running scene, or only probes it (see above).
    void drawFrame();
    void setNextScene();

    CCEGLView* m_view = nullptr;
    CCRenderer* m_renderer = nullptr;
    CCScheduler* m_scheduler;
    CCActionManager* m_actionManager;
    CCTouchDispatcher* m_touchDispatcher;
    CCKeyboardDispatcher* m_keyboardDispatcher;
    CCRef<CCScene> m_runningScene;
    CCRef<CCScene> m_nextScene;
    double m_animationInterval = 1.0 / 60.0;
    bool m_animating = false;
    bool m_endRequested = false;
    bool m_ended = false;
    bool m_ranFirstScene = false;
    bool m_depthTest = false;
    bool m_nextDeltaTimeZero = true;
    double m_lastFrameTime = 0;
    float m_deltaTime = 0;
    unsigned int m_totalFrames = 0;
    unsigned int m_presentedFrames = 0;
    bool m_drawOnlyOnChange = false;
    bool m_needsDraw = true;
    bool m_frameChanged = true; // the last frame drawn differed from the one before
    CCSize m_winSize{640, 960};
    std::vector<std::function<void()>> m_purgeListeners;
    std::vector<std::function<void()>> m_sceneLeftListeners;
    bool m_sceneLeft = false;
};

} // namespace engine
