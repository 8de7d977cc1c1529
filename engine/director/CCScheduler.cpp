#include "engine/director/CCScheduler.h"

#include <algorithm>
#include <limits>

namespace engine {

CCScheduler::~CCScheduler() {
    m_updating = false;
    unscheduleAll();
}

// --- per-target index

CCScheduler::TargetEntries* CCScheduler::entriesOf(const CCObject* target) {
    auto it = m_byTarget.find(target);
    return it == m_byTarget.end() ? nullptr : &it->second;
}

const CCScheduler::TargetEntries* CCScheduler::entriesOf(const CCObject* target) const {
    auto it = m_byTarget.find(target);
    return it == m_byTarget.end() ? nullptr : &it->second;
}

void CCScheduler::removeTimer(Timer* timer) {
    timer->removed = true;
    ++m_removedTimers;
    if (TargetEntries* entries = entriesOf(timer->target)) {
        std::erase(entries->timers, timer);
        dropIfEmpty(timer->target);
    }
}

void CCScheduler::removeUpdate(UpdateEntry* entry) {
    entry->removed = true;
    ++m_removedUpdates;
    if (TargetEntries* entries = entriesOf(entry->target)) {
        entries->update = nullptr;
        dropIfEmpty(entry->target);
    }
}

void CCScheduler::dropIfEmpty(const CCObject* target) {
    auto it = m_byTarget.find(target);
    if (it != m_byTarget.end() && !it->second.update && it->second.timers.empty()) m_byTarget.erase(it);
}

// --- timers

void CCScheduler::scheduleSelector(SEL_SCHEDULE selector, CCObject* target, float interval, unsigned int repeat,
                                   float delay, bool paused) {
    if (!selector || !target) return;
    TargetEntries& entries = m_byTarget[target];
    for (Timer* timer : entries.timers)
        if (timer->selector == selector) {
            timer->interval = interval;
            return;
        }
    m_timers.push_back(std::make_unique<Timer>(Timer{target, selector, std::max(0.0f, interval), repeat,
                                                     std::max(0.0f, delay), paused}));
    entries.timers.push_back(m_timers.back().get());
}

void CCScheduler::unscheduleSelector(SEL_SCHEDULE selector, CCObject* target) {
    TargetEntries* entries = entriesOf(target);
    if (!entries) return;
    for (Timer* timer : entries->timers)
        if (timer->selector == selector) {
            removeTimer(timer);
            break;
        }
    compactIfWorthIt();
}

bool CCScheduler::isScheduled(SEL_SCHEDULE selector, const CCObject* target) const {
    const TargetEntries* entries = entriesOf(target);
    return entries && std::any_of(entries->timers.begin(), entries->timers.end(),
                                  [&](const Timer* t) { return t->selector == selector; });
}

size_t CCScheduler::timerCount() const {
    return m_timers.size() - m_removedTimers;
}

double CCScheduler::secondsUntilNextTimer() const {
    double soonest = std::numeric_limits<double>::infinity();
    for (const auto& timer : m_timers) {
        if (timer->removed || timer->paused) continue;
        float due = timer->timesExecuted == 0 && timer->delay > 0 ? timer->delay : timer->interval;
        soonest = std::min(soonest, std::max(0.0, static_cast<double>(due) - timer->elapsed));
    }
    return soonest;
}

// --- per-frame updates

void CCScheduler::scheduleUpdateForTarget(CCObject* target, int priority, bool paused) {
    if (!target || isUpdateScheduled(target)) return;
    auto entry = std::make_unique<UpdateEntry>(UpdateEntry{target, priority, paused});
    m_byTarget[target].update = entry.get();
    // Inserting during a tick would shift entries under the walk; append
    // instead and sort once the tick is over.
    if (m_updating) {
        m_updates.push_back(std::move(entry));
        m_needsSort = true;
    } else {
        auto position =
            std::upper_bound(m_updates.begin(), m_updates.end(), priority,
                             [](int p, const std::unique_ptr<UpdateEntry>& e) { return p < e->priority; });
        m_updates.insert(position, std::move(entry));
    }
}

void CCScheduler::unscheduleUpdateForTarget(const CCObject* target) {
    TargetEntries* entries = entriesOf(target);
    if (!entries || !entries->update) return;
    removeUpdate(entries->update);
    compactIfWorthIt();
}

bool CCScheduler::isUpdateScheduled(const CCObject* target) const {
    const TargetEntries* entries = entriesOf(target);
    return entries && entries->update;
}

// --- both

void CCScheduler::unscheduleAllForTarget(const CCObject* target) {
    auto it = m_byTarget.find(target);
    if (it == m_byTarget.end()) return;
    for (Timer* timer : it->second.timers) {
        timer->removed = true;
        ++m_removedTimers;
    }
    if (UpdateEntry* entry = it->second.update) {
        entry->removed = true;
        ++m_removedUpdates;
    }
    m_byTarget.erase(it);
    compactIfWorthIt();
}

void CCScheduler::unscheduleAll() {
    for (auto& timer : m_timers) timer->removed = true;
    for (auto& entry : m_updates) entry->removed = true;
    m_removedTimers = m_timers.size();
    m_removedUpdates = m_updates.size();
    m_byTarget.clear();
    if (!m_updating) compact();
}

void CCScheduler::pauseTarget(const CCObject* target) {
    TargetEntries* entries = entriesOf(target);
    if (!entries) return;
    for (Timer* timer : entries->timers)
        timer->paused = true;
    if (entries->update) entries->update->paused = true;
}

void CCScheduler::resumeTarget(const CCObject* target) {
    TargetEntries* entries = entriesOf(target);
    if (!entries) return;
    for (Timer* timer : entries->timers)
        timer->paused = false;
    if (entries->update) entries->update->paused = false;
}

bool CCScheduler::isTargetPaused(const CCObject* target) const {
    const TargetEntries* entries = entriesOf(target);
    if (!entries) return false;
    if (!entries->timers.empty()) return entries->timers.front()->paused;
    return entries->update && entries->update->paused;
}

// --- ticking

void CCScheduler::tickTimer(Timer& timer, float dt) {
    timer.elapsed += dt;
    float due = timer.timesExecuted == 0 && timer.delay > 0 ? timer.delay : timer.interval;
    if (timer.elapsed < due) return;
    float elapsed = timer.elapsed;
    timer.elapsed = 0;
    ++timer.timesExecuted;
    bool last = timer.repeat != kCCRepeatForever && timer.timesExecuted > timer.repeat;
    // Remove before calling: the callback may schedule the same selector anew.
    if (last) removeTimer(&timer);
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

void CCScheduler::compactIfWorthIt() {
    if (m_updating) return;
    size_t removed = m_removedTimers + m_removedUpdates;
    size_t total = m_timers.size() + m_updates.size();
    if (removed >= 64 && removed * 2 >= total) compact();
}

void CCScheduler::compact() {
    if (m_removedTimers) std::erase_if(m_timers, [](const auto& t) { return t->removed; });
    if (m_removedUpdates) std::erase_if(m_updates, [](const auto& e) { return e->removed; });
    m_removedTimers = m_removedUpdates = 0;
    if (m_needsSort)
        std::stable_sort(m_updates.begin(), m_updates.end(),
                         [](const auto& a, const auto& b) { return a->priority < b->priority; });
    m_needsSort = false;
}

} // namespace engine
