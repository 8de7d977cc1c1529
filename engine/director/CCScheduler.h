#pragma once
// Timers (a member callback every `interval` seconds) and per-frame updates
// (the target's `update(dt)`, ordered by priority, lower first).
//
// Scheduling and unscheduling from inside a callback is safe: removal during
// a tick only marks the entry, and entries added during a tick start counting
// on the next one. Targets are not retained; nodes unschedule themselves in
// `cleanup` and in their destructor.
//
// Every call about one target costs what that target has scheduled, not what
// the scheduler holds: a scene of N scheduled nodes goes down in O(N).
#include "engine/base/CCObject.h"

#include <climits>
#include <memory>
#include <unordered_map>
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
    // Seconds until the earliest live, unpaused timer is due (at least 0);
    // infinity when none is. Per-frame updates do not count: a loop that
    // sleeps runs them, with the time slept, when it wakes.
    double secondsUntilNextTimer() const;

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
    // The live entries of one target, timers in the order they were scheduled.
    struct TargetEntries {
        UpdateEntry* update = nullptr;
        std::vector<Timer*> timers;
    };
    TargetEntries* entriesOf(const CCObject* target);
    const TargetEntries* entriesOf(const CCObject* target) const;
    // Marked entries leave the lists at the next compaction.
    void removeTimer(Timer* timer);
    void removeUpdate(UpdateEntry* entry);
    void dropIfEmpty(const CCObject* target);
    // Compacts outside a tick once marked entries are as many as live ones,
    // so that a run of removals costs O(1) each.
    void compactIfWorthIt();
    void tickTimer(Timer& timer, float dt);
    void compact();

    std::vector<std::unique_ptr<Timer>> m_timers;
    std::vector<std::unique_ptr<UpdateEntry>> m_updates; // sorted by priority, stable
    std::unordered_map<const CCObject*, TargetEntries> m_byTarget;
    size_t m_removedTimers = 0;  // marked, still in m_timers
    size_t m_removedUpdates = 0; // marked, still in m_updates
    bool m_updating = false;
    bool m_needsSort = false; // updates appended during a tick
    float m_timeScale = 1.0f;
};

} // namespace engine
