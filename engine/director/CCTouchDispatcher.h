#pragma once
// Delivers touches to handlers. One-at-a-time handlers come first, in
// priority order (lower value first, then registration order); a handler
// that claims a touch at began receives its moved, ended and cancelled, and
// no other handler sees that touch again (not even once the claimer is
// removed: the rest of the touch is then dropped). Touches that nobody
// claimed go to the all-at-once handlers as a CCSet, also in priority order.
//
// Handlers are retained while registered (when they are CCObjects); adding
// or removing handlers during delivery takes effect after the current phase.
#include "engine/base/CCGeometry.h"
#include "engine/base/CCObject.h"

#include <map>
#include <set>
#include <vector>

namespace engine {

class CCTouch;
class CCTouchDelegate;

class CCTouchDispatcher : public CCObject {
public:
    ~CCTouchDispatcher() override;

    void addStandardDelegate(CCTouchDelegate* delegate, int priority);
    void addTargetedDelegate(CCTouchDelegate* delegate, int priority, bool swallowsTouches);
    void removeDelegate(CCTouchDelegate* delegate);
    void removeAllDelegates();
    bool hasDelegate(const CCTouchDelegate* delegate) const;

    // Off while a transition runs: touches are dropped, touches in progress
    // are cancelled.
    void setDispatchEvents(bool dispatch);
    bool isDispatchEvents() const { return m_dispatchEvents; }

    // Entry points for the platform layer and tests; points in design space.
    void touchBegan(int id, const CCPoint& point);
    void touchMoved(int id, const CCPoint& point);
    void touchEnded(int id, const CCPoint& point);
    void touchCancelled(int id, const CCPoint& point);
    // Cancels every touch in progress (window lost, scene gone).
    void cancelAllTouches();

    struct Handler;

private:
    enum class Phase { Began, Moved, Ended, Cancelled };
    void dispatch(Phase phase, CCTouch* touch);
    void applyPendingChanges();
    bool isInProgress(const CCTouch* touch) const;

    std::vector<Handler*> m_targeted;
    std::vector<Handler*> m_standard;
    std::vector<Handler*> m_pending;           // added during delivery
    std::map<int, CCTouch*> m_touches;         // touches in progress, retained
    std::set<const CCTouch*> m_sharedTouches;  // in progress, unclaimed: all-at-once handlers get them
    bool m_dispatchEvents = true;
    bool m_dispatching = false;
    bool m_needsCleanup = false;
    unsigned int m_registrationCounter = 0;
};

} // namespace engine
