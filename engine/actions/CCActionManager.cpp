#include "engine/actions/CCActionManager.h"

#include "engine/actions/CCAction.h"

#include <algorithm>

namespace engine {

CCActionManager::~CCActionManager() {
    m_updating = false;
    removeAllActions();
}

void CCActionManager::addAction(CCAction* action, CCNode* target, bool paused) {
    if (!action || !target) return;
    action->retain();
    m_entries.push_back(std::make_unique<Entry>(Entry{action, target, paused}));
    action->startWithTarget(target);
}

// While update() walks the list, removal only marks the entry; the list is
// compacted afterwards so that indices and the running action stay valid.
void CCActionManager::removeEntryAt(size_t index) {
    Entry& entry = *m_entries[index];
    if (entry.removed) return;
    entry.removed = true;
    // A removed action must not touch its target again: the target may be
    // dying, and the action may be in the middle of its own step.
    entry.action->stop();
    if (!m_updating) {
        CCAction* action = entry.action;
        m_entries.erase(m_entries.begin() + static_cast<long>(index));
        action->release();
    }
}

void CCActionManager::compact() {
    std::vector<CCAction*> dead;
    auto end = std::remove_if(m_entries.begin(), m_entries.end(), [&](const std::unique_ptr<Entry>& e) {
        if (e->removed) dead.push_back(e->action);
        return e->removed;
    });
    m_entries.erase(end, m_entries.end());
    for (CCAction* action : dead)
        action->release();
}

void CCActionManager::removeAction(CCAction* action) {
    for (size_t i = 0; i < m_entries.size(); ++i)
        if (m_entries[i]->action == action && !m_entries[i]->removed) {
            removeEntryAt(i);
            return;
        }
}

void CCActionManager::removeActionByTag(int tag, const CCNode* target) {
    for (size_t i = 0; i < m_entries.size(); ++i) {
        const Entry& e = *m_entries[i];
        if (!e.removed && e.target == target && e.action->getTag() == tag) {
            removeEntryAt(i);
            return;
        }
    }
}

void CCActionManager::removeAllActionsFromTarget(const CCNode* target) {
    for (size_t i = m_entries.size(); i-- > 0;)
        if (i < m_entries.size() && m_entries[i]->target == target) removeEntryAt(i);
}

void CCActionManager::removeAllActions() {
    for (size_t i = m_entries.size(); i-- > 0;)
        if (i < m_entries.size()) removeEntryAt(i);
}

CCAction* CCActionManager::getActionByTag(int tag, const CCNode* target) const {
    for (const auto& e : m_entries)
        if (!e->removed && e->target == target && e->action->getTag() == tag) return e->action;
    return nullptr;
}

unsigned int CCActionManager::numberOfRunningActionsInTarget(const CCNode* target) const {
    return static_cast<unsigned int>(std::count_if(m_entries.begin(), m_entries.end(), [&](const auto& e) {
        return !e->removed && e->target == target;
    }));
}

void CCActionManager::pauseTarget(const CCNode* target) {
    for (auto& e : m_entries)
        if (e->target == target) e->paused = true;
}

void CCActionManager::resumeTarget(const CCNode* target) {
    for (auto& e : m_entries)
        if (e->target == target) e->paused = false;
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
        }
    }
    m_updating = false;
    compact();
}

} // namespace engine
