#pragma once
// Timers (a member callback every `interval` seconds) and per-frame updates
// (the target's `update(dt)`, ordered by priority, lower first).
//
// Scheduling and unscheduling from inside a callback is safe: removal during
// a tick only marks the entry, and entries added during a tick start counting
// on the next one. Targets are not retained; nodes unschedule themselves in
// `cleanup` and in their destructor.
#include "engine/base/CCObject.h"

#include <climits>
#include <memory>
#include <vector>

namespace engine {

inline constexpr unsigned int kCCRepeatForever = UINT_MAX - 1;

enum { kCCPrioritySystem = INT_MIN, kCCPriorityNonSystemMin = INT_MIN + 1 };

class CCScheduler : public CCObject {
public:
    ~CCScheduler() override;

    void update(float dt) override;

    // Calls target->*selector(elapsed) every `interval` seconds (0: every
    // frame), `repeat` + 1 times in all (kCCRepeatForever: until
    // unscheduled), the first time after `delay` when one is given. Scheduling a selector that
    // is already scheduled only changes its interval.
    void scheduleSelector(SEL_SCHEDULE selector, CCObject* target, float interval, unsigned int repeat,
                          float delay, bool paused);
    void scheduleSelector(SEL_SCHEDULE selector, CCObject* target, float interval, bool paused) {
        scheduleSelector(selector, target, interval, kCCRepeatForever, 0.0f, paused);
    }
    void unscheduleSelector(SEL_SCHEDULE selector, CCObject* target);
    bool isScheduled(SEL_SCHEDULE selector, const CCObject* target) const;

    // target->update(dt) once per frame; scheduling twice keeps the first.
    void scheduleUpdateForTarget(CCObject* target, int priority, bool paused);
    void unscheduleUpdateForTarget(const CCObject* target);
    bool isUpdateScheduled(const CCObject* target) const;

    void unscheduleAllForTarget(const CCObject* target);
    void unscheduleAll();

    void pauseTarget(const CCObject* target);
    void resumeTarget(const CCObject* target);
    bool isTargetPaused(const CCObject* target) const;

    // Multiplies every dt (1 is normal speed).
    void setTimeScale(float scale) { m_timeScale = scale; }
    float getTimeScale() const { return m_timeScale; }

    size_t timerCount() const;

private:
    struct Timer {
        CCObject* target;
        SEL_SCHEDULE selector;
        float interval;
        unsigned int repeat;
        float delay;
        bool paused;
        float elapsed = 0;
        unsigned int timesExecuted = 0;
        bool removed = false;
    };
    struct UpdateEntry {
        CCObject* target;
        int priority;
        bool paused;
        bool removed = false;
    };
    void tickTimer(Timer& timer, float dt);
    void compact();

    std::vector<std::unique_ptr<Timer>> m_timers;
    std::vector<std::unique_ptr<UpdateEntry>> m_updates; // sorted by priority, stable
    bool m_updating = false;
    bool m_dirty = false;
    float m_timeScale = 1.0f;
};

} // namespace engine
