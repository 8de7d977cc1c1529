#include "engine/director/CCScheduler.h"

#include <algorithm>

namespace engine {

CCScheduler::~CCScheduler() {
    m_updating = false;
    unscheduleAll();
}

void CCScheduler::scheduleSelector(SEL_SCHEDULE selector, CCObject* target, float interval, unsigned int repeat,
                                   float delay, bool paused) {
    if (!selector || !target) return;
    for (auto& timer : m_timers)
        if (!timer->removed && timer->target == target && timer->selector == selector) {
            timer->interval = interval;
            return;
        }
    m_timers.push_back(std::make_unique<Timer>(Timer{target, selector, std::max(0.0f, interval), repeat,
                                                     std::max(0.0f, delay), paused}));
}

void CCScheduler::unscheduleSelector(SEL_SCHEDULE selector, CCObject* target) {
    for (auto& timer : m_timers)
        if (!timer->removed && timer->target == target && timer->selector == selector) {
            timer->removed = true;
            m_dirty = true;
            break;
        }
    if (!m_updating) compact();
}

bool CCScheduler::isScheduled(SEL_SCHEDULE selector, const CCObject* target) const {
    return std::any_of(m_timers.begin(), m_timers.end(), [&](const auto& t) {
        return !t->removed && t->target == target && t->selector == selector;
    });
}

void CCScheduler::scheduleUpdateForTarget(CCObject* target, int priority, bool paused) {
    if (!target || isUpdateScheduled(target)) return;
    auto position = std::upper_bound(m_updates.begin(), m_updates.end(), priority,
                                     [](int p, const std::unique_ptr<UpdateEntry>& e) { return p < e->priority; });
    // Inserting during a tick would shift entries under the walk; append
    // instead and sort once the tick is over.
    if (m_updating) {
        m_updates.push_back(std::make_unique<UpdateEntry>(UpdateEntry{target, priority, paused}));
        m_dirty = true;
    } else {
        m_updates.insert(position, std::make_unique<UpdateEntry>(UpdateEntry{target, priority, paused}));
    }
}

void CCScheduler::unscheduleUpdateForTarget(const CCObject* target) {
    for (auto& entry : m_updates)
        if (!entry->removed && entry->target == target) {
            entry->removed = true;
            m_dirty = true;
        }
    if (!m_updating) compact();
}

bool CCScheduler::isUpdateScheduled(const CCObject* target) const {
    return std::any_of(m_updates.begin(), m_updates.end(),
                       [&](const auto& e) { return !e->removed && e->target == target; });
}

void CCScheduler::unscheduleAllForTarget(const CCObject* target) {
    for (auto& timer : m_timers)
        if (timer->target == target) timer->removed = true;
    for (auto& entry : m_updates)
        if (entry->target == target) entry->removed = true;
    m_dirty = true;
    if (!m_updating) compact();
}

void CCScheduler::unscheduleAll() {
    for (auto& timer : m_timers) timer->removed = true;
    for (auto& entry : m_updates) entry->removed = true;
    m_dirty = true;
    if (!m_updating) compact();
}

void CCScheduler::pauseTarget(const CCObject* target) {
    for (auto& timer : m_timers)
        if (timer->target == target) timer->paused = true;
    for (auto& entry : m_updates)
        if (entry->target == target) entry->paused = true;
}

void CCScheduler::resumeTarget(const CCObject* target) {
    for (auto& timer : m_timers)
        if (timer->target == target) timer->paused = false;
    for (auto& entry : m_updates)
        if (entry->target == target) entry->paused = false;
}

bool CCScheduler::isTargetPaused(const CCObject* target) const {
    for (const auto& timer : m_timers)
        if (!timer->removed && timer->target == target) return timer->paused;
    for (const auto& entry : m_updates)
        if (!entry->removed && entry->target == target) return entry->paused;
    return false;
}

size_t CCScheduler::timerCount() const {
    return static_cast<size_t>(
        std::count_if(m_timers.begin(), m_timers.end(), [](const auto& t) { return !t->removed; }));
}

void CCScheduler::tickTimer(Timer& timer, float dt) {
    timer.elapsed += dt;
    float due = timer.timesExecuted == 0 && timer.delay > 0 ? timer.delay : timer.interval;
    if (timer.elapsed < due) return;
    float elapsed = timer.elapsed;
    timer.elapsed = 0;
    ++timer.timesExecuted;
    bool last = timer.repeat != kCCRepeatForever && timer.timesExecuted > timer.repeat;
    // Mark before calling: the callback may schedule the same selector anew.
    if (last) {
        timer.removed = true;
        m_dirty = true;
    }
    (timer.target->*timer.selector)(elapsed);
}

void CCScheduler::update(float dt) {
    dt *= m_timeScale;
    m_updating = true;
    // Entries added during the tick are past these counts and wait a frame.
    const size_t updateCount = m_updates.size();
    for (size_t i = 0; i < updateCount; ++i) {
        UpdateEntry* entry = m_updates[i].get();
        if (!entry->removed && !entry->paused) entry->target->update(dt);
    }
    const size_t timerCount = m_timers.size();
    for (size_t i = 0; i < timerCount; ++i) {
        Timer* timer = m_timers[i].get();
        if (!timer->removed && !timer->paused) tickTimer(*timer, dt);
    }
    m_updating = false;
    compact();
}

void CCScheduler::compact() {
    if (!m_dirty) return;
    m_dirty = false;
    std::erase_if(m_timers, [](const auto& t) { return t->removed; });
    std::erase_if(m_updates, [](const auto& e) { return e->removed; });
    std::stable_sort(m_updates.begin(), m_updates.end(),
                     [](const auto& a, const auto& b) { return a->priority < b->priority; });
}

} // namespace engine
