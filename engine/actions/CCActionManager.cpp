#include "engine/actions/CCActionManager.h"

#include "engine/actions/CCAction.h"

#include <algorithm>

namespace engine {

namespace {
// Removed entries wait in the list until this many have gathered (and at
// least as many as live ones), so that removing one costs no shift of the rest.
constexpr size_t kCompactAfter = 32;
} // namespace

CCActionManager::~CCActionManager() {
    m_updating = false;
    removeAllActions();
    compact();
}

void CCActionManager::addAction(CCAction* action, CCNode* target, bool paused) {
    if (!action || !target) return;
    action->retain();
    m_entries.push_back(std::make_unique<Entry>(Entry{action, target, paused}));
    m_byTarget[target].push_back(m_entries.back().get());
    action->startWithTarget(target);
}

void CCActionManager::forget(const Entry& entry) {
    auto found = m_byTarget.find(entry.target);
    if (found == m_byTarget.end()) return;
    std::vector<Entry*>& own = found->second;
    auto at = std::find(own.begin(), own.end(), &entry);
    if (at != own.end()) own.erase(at);
    if (own.empty()) m_byTarget.erase(found);
}

// While update() walks the list, a removed action stays retained (it may be
// in the middle of its own step) and is released when the pass ends.
void CCActionManager::removeEntry(Entry& entry) {
    if (entry.removed) return;
    entry.removed = true;
    ++m_removedCount;
    forget(entry);
    // A removed action must not touch its target again: the target may be
    // dying, and the action may be in the middle of its own step.
    entry.action->stop();
    if (m_updating) return;
    CCAction* action = entry.action;
    entry.action = nullptr;
    action->release();
    if (m_removedCount >= kCompactAfter && m_removedCount * 2 >= m_entries.size()) compact();
}

void CCActionManager::compact() {
    std::vector<CCAction*> held;
    auto end = std::remove_if(m_entries.begin(), m_entries.end(), [&](const std::unique_ptr<Entry>& e) {
        if (e->removed && e->action) held.push_back(e->action);
        return e->removed;
    });
    m_entries.erase(end, m_entries.end());
    m_removedCount = 0;
    for (CCAction* action : held)
        action->release();
}

void CCActionManager::removeAction(CCAction* action) {
    for (auto& e : m_entries)
        if (e->action == action && !e->removed) {
            removeEntry(*e);
            return;
        }
}

void CCActionManager::removeActionByTag(int tag, const CCNode* target) {
    auto found = m_byTarget.find(target);
    if (found == m_byTarget.end()) return;
    for (Entry* e : found->second)
        if (e->action->getTag() == tag) {
            removeEntry(*e);
            return;
        }
}

void CCActionManager::removeAllActionsFromTarget(const CCNode* target) {
    auto found = m_byTarget.find(target);
    if (found == m_byTarget.end()) return;
    // Removing changes the index; the stop calls may even add actions.
    std::vector<Entry*> own = found->second;
    for (Entry* e : own)
        removeEntry(*e);
}

void CCActionManager::removeAllActions() {
    for (size_t i = m_entries.size(); i-- > 0;)
        if (i < m_entries.size()) removeEntry(*m_entries[i]);
}

CCAction* CCActionManager::getActionByTag(int tag, const CCNode* target) const {
    auto found = m_byTarget.find(target);
    if (found == m_byTarget.end()) return nullptr;
    for (const Entry* e : found->second)
        if (e->action->getTag() == tag) return e->action;
    return nullptr;
}

unsigned int CCActionManager::numberOfRunningActionsInTarget(const CCNode* target) const {
    auto found = m_byTarget.find(target);
    return found == m_byTarget.end() ? 0u : static_cast<unsigned int>(found->second.size());
}

void CCActionManager::pauseTarget(const CCNode* target) {
    auto found = m_byTarget.find(target);
    if (found == m_byTarget.end()) return;
    for (Entry* e : found->second)
        e->paused = true;
}

void CCActionManager::resumeTarget(const CCNode* target) {
    auto found = m_byTarget.find(target);
    if (found == m_byTarget.end()) return;
    for (Entry* e : found->second)
        e->paused = false;
}

bool CCActionManager::hasRunningActions() const {
    return std::any_of(m_entries.begin(), m_entries.end(),
                       [](const auto& entry) { return !entry->removed && !entry->paused; });
}

void CCActionManager::update(float dt) {
    m_updating = true;
    // Actions added during this pass start stepping next frame.
    const size_t count = m_entries.size();
    for (size_t i = 0; i < count; ++i) {
        Entry* entry = m_entries[i].get();
        if (entry->removed || entry->paused) continue;
        CCRef<CCAction> running(entry->action);
        running->step(dt);
        if (!entry->removed && running->isDone()) {
            running->stop();
            entry->removed = true;
            ++m_removedCount;
            forget(*entry);
        }
    }
    m_updating = false;
    compact();
}

} // namespace engine
