#pragma once
// The application object: the program derives from it and the engine calls
// its three operations: launching finished, entering the background (the
// window was minimised) and returning to the foreground.
#include <functional>

namespace engine {

enum TargetPlatform { kTargetLinux = 0 };

class CCApplication {
public:
    CCApplication();
    virtual ~CCApplication();

    virtual bool applicationDidFinishLaunching() = 0;
    virtual void applicationDidEnterBackground() = 0;
    virtual void applicationWillEnterForeground() = 0;

    virtual void setAnimationInterval(double interval);
    virtual TargetPlatform getTargetPlatform() { return kTargetLinux; }
    // Opens the view, calls applicationDidFinishLaunching, then runs frames
    // at the director's animation interval until the director ends.
    // Returns the process's exit code.
    //
    // In a window a frame is drawn only when it would look different (see
    // CCDirector); while nothing moves the loop sleeps until the next input
    // event, the next timer (on the frame grid, so that it fires on the
    // frame it would have fired on anyway) or the next scripted input.
    // Headless runs and runs with a frame limit step every frame, as before.
    virtual int run();

    static CCApplication* sharedApplication();

    // Automation: stop after this many frames (0: no limit).
    void setFrameLimit(unsigned int frames) { m_frameLimit = frames; }
    // Called before each frame with the seconds since the first frame.
    void setFrameHook(std::function<void(double elapsed)> hook) { m_frameHook = std::move(hook); }
    // Called after each frame is drawn and shown.
    void setAfterFrameHook(std::function<void()> hook) { m_afterFrameHook = std::move(hook); }
    // When the frame hook next has something to do, in seconds since the
    // first frame (infinity: nothing more); the loop wakes for it.
    void setNextHookTime(std::function<double()> next) { m_nextHookTime = std::move(next); }
    unsigned int framesRun() const { return m_framesRun; }

private:
    unsigned int m_frameLimit = 0;
    unsigned int m_framesRun = 0;
    std::function<void(double)> m_frameHook;
    std::function<void()> m_afterFrameHook;
    std::function<double()> m_nextHookTime;

    // Sleeps until input, the next timer or the frame hook's next time.
    void sleepUntilDue(double start, double nextFrame);
};

} // namespace engine
