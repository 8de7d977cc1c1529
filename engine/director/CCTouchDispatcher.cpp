#include "engine/director/CCTouchDispatcher.h"

#include "engine/base/CCSet.h"
#include "engine/base/CCTouch.h"
#include "engine/director/CCTouchDelegate.h"

#include <algorithm>
#include <set>

namespace engine {

struct CCTouchDispatcher::Handler {
    CCTouchDelegate* delegate;
    CCObject* object; // the delegate as a CCObject, retained; may be null
    int priority;
    unsigned int order;
    bool targeted;
    bool swallows;
    bool removed = false;
    std::set<CCTouch*> claimed; // one at a time: the touches it took at began
};

namespace {
bool byPriority(const CCTouchDispatcher::Handler* a, const CCTouchDispatcher::Handler* b);
}

CCTouchDispatcher::~CCTouchDispatcher() {
    m_dispatching = false;
    removeAllDelegates();
    applyPendingChanges();
    for (auto& [id, touch] : m_touches) touch->release();
}

void CCTouchDispatcher::addStandardDelegate(CCTouchDelegate* delegate, int priority) {
    if (!delegate || hasDelegate(delegate)) return;
    auto* object = dynamic_cast<CCObject*>(delegate);
    if (object) object->retain();
    m_pending.push_back(new Handler{delegate, object, priority, m_registrationCounter++, false, false, false, {}});
    if (!m_dispatching) applyPendingChanges();
}

void CCTouchDispatcher::addTargetedDelegate(CCTouchDelegate* delegate, int priority, bool swallowsTouches) {
    if (!delegate || hasDelegate(delegate)) return;
    auto* object = dynamic_cast<CCObject*>(delegate);
    if (object) object->retain();
    m_pending.push_back(new Handler{delegate, object, priority, m_registrationCounter++, true, swallowsTouches, false, {}});
    if (!m_dispatching) applyPendingChanges();
}

bool CCTouchDispatcher::hasDelegate(const CCTouchDelegate* delegate) const {
    auto live = [&](const Handler* h) { return h->delegate == delegate && !h->removed; };
    return std::any_of(m_targeted.begin(), m_targeted.end(), live) ||
           std::any_of(m_standard.begin(), m_standard.end(), live) ||
           std::any_of(m_pending.begin(), m_pending.end(), live);
}

void CCTouchDispatcher::removeDelegate(CCTouchDelegate* delegate) {
    for (auto* list : {&m_targeted, &m_standard, &m_pending})
        for (Handler* h : *list)
            if (h->delegate == delegate) h->removed = true;
    m_needsCleanup = true;
    if (!m_dispatching) applyPendingChanges();
}

void CCTouchDispatcher::removeAllDelegates() {
    for (auto* list : {&m_targeted, &m_standard, &m_pending})
        for (Handler* h : *list) h->removed = true;
    m_needsCleanup = true;
    if (!m_dispatching) applyPendingChanges();
}

namespace {
bool byPriority(const CCTouchDispatcher::Handler* a, const CCTouchDispatcher::Handler* b) {
    return a->priority != b->priority ? a->priority < b->priority : a->order < b->order;
}
} // namespace

void CCTouchDispatcher::applyPendingChanges() {
    for (Handler* h : m_pending) (h->targeted ? m_targeted : m_standard).push_back(h);
    bool added = !m_pending.empty();
    m_pending.clear();
    if (!added && !m_needsCleanup) return;
    m_needsCleanup = false;
    for (auto* list : {&m_targeted, &m_standard}) {
        std::vector<Handler*> dead;
        std::erase_if(*list, [&](Handler* h) {
            if (h->removed) dead.push_back(h);
            return h->removed;
        });
        std::stable_sort(list->begin(), list->end(), byPriority);
        // Release last: a delegate's destructor may call back into us.
        for (Handler* h : dead) {
            CCObject* object = h->object;
            delete h;
            if (object) object->release();
        }
    }
}

void CCTouchDispatcher::setDispatchEvents(bool dispatch) {
    if (m_dispatchEvents && !dispatch) cancelAllTouches();
    m_dispatchEvents = dispatch;
}

bool CCTouchDispatcher::isInProgress(const CCTouch* touch) const {
    auto it = m_touches.find(touch->getID());
    return it != m_touches.end() && it->second == touch;
}

void CCTouchDispatcher::dispatch(Phase phase, CCTouch* touch) {
    bool outermost = !m_dispatching;
    m_dispatching = true;
    CCEvent event;
    // A handler may cancel touches in progress (setDispatchEvents(false)):
    // a touch cancelled that way gets nothing more of the began or moved
    // that was being delivered.
    auto live = [&] { return (phase != Phase::Began && phase != Phase::Moved) || isInProgress(touch); };

    // Lists only grow through m_pending while dispatching, so indices stay valid.
    bool claimed = false;
    for (size_t i = 0; i < m_targeted.size(); ++i) {
        Handler* h = m_targeted[i];
        if (h->removed) continue;
        if (phase == Phase::Began) {
            bool answer = h->delegate->ccTouchBegan(touch, &event);
            if (!live()) break;
            if (!answer) continue;
            // Claimed even by a handler removed meanwhile: the touch is then dropped.
            claimed = true;
            if (!h->removed) h->claimed.insert(touch);
            if (h->swallows) break;
            continue;
        }
        if (!h->claimed.count(touch)) continue;
        if (phase != Phase::Moved) h->claimed.erase(touch);
        switch (phase) {
        case Phase::Moved: h->delegate->ccTouchMoved(touch, &event); break;
        case Phase::Ended: h->delegate->ccTouchEnded(touch, &event); break;
        default: h->delegate->ccTouchCancelled(touch, &event); break;
        }
    }

    // All-at-once handlers get the touches that nobody claimed at began, and
    // only those: never part of a claimed touch, never the end of one whose
    // began they did not get.
    if (phase == Phase::Began && !claimed && live()) m_sharedTouches.insert(touch);
    if (m_sharedTouches.count(touch) && live()) {
        CCSet* set = new CCSet();
        set->addObject(touch);
        for (size_t i = 0; i < m_standard.size() && live(); ++i) {
            Handler* h = m_standard[i];
            if (h->removed) continue;
            switch (phase) {
            case Phase::Began: h->delegate->ccTouchesBegan(set, &event); break;
            case Phase::Moved: h->delegate->ccTouchesMoved(set, &event); break;
            case Phase::Ended: h->delegate->ccTouchesEnded(set, &event); break;
            case Phase::Cancelled: h->delegate->ccTouchesCancelled(set, &event); break;
            }
        }
        set->release();
    }
    if (phase == Phase::Ended || phase == Phase::Cancelled) m_sharedTouches.erase(touch);

    if (outermost) {
        m_dispatching = false;
        applyPendingChanges();
    }
}

void CCTouchDispatcher::touchBegan(int id, const CCPoint& point) {
    if (!m_dispatchEvents) return;
    // A second began for a live id means its end was lost: cancel it first.
    if (m_touches.count(id)) touchCancelled(id, m_touches[id]->getLocation());
    auto* touch = new CCTouch();
    touch->setTouchInfo(id, point.x, point.y);
    m_touches[id] = touch;
    // A handler may cancel the touch while it begins; keep it alive meanwhile.
    CCRef<CCTouch> hold(touch);
    dispatch(Phase::Began, touch);
}

void CCTouchDispatcher::touchMoved(int id, const CCPoint& point) {
    auto it = m_touches.find(id);
    if (!m_dispatchEvents || it == m_touches.end()) return;
    CCRef<CCTouch> touch(it->second);
    touch->setTouchInfo(id, point.x, point.y);
    dispatch(Phase::Moved, touch.get());
}

void CCTouchDispatcher::touchEnded(int id, const CCPoint& point) {
    auto it = m_touches.find(id);
    if (!m_dispatchEvents || it == m_touches.end()) return;
    CCTouch* touch = it->second;
    m_touches.erase(it);
    touch->setTouchInfo(id, point.x, point.y);
    dispatch(Phase::Ended, touch);
    touch->release();
}

void CCTouchDispatcher::touchCancelled(int id, const CCPoint& point) {
    auto it = m_touches.find(id);
    if (it == m_touches.end()) return;
    CCTouch* touch = it->second;
    m_touches.erase(it);
    touch->setTouchInfo(id, point.x, point.y);
    dispatch(Phase::Cancelled, touch);
    touch->release();
}

void CCTouchDispatcher::cancelAllTouches() {
    while (!m_touches.empty()) {
        auto it = m_touches.begin();
        touchCancelled(it->first, it->second->getLocation());
    }
}

} // namespace engine
