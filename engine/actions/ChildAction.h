#pragma once
// One inner action of a sequence or spawn, with where it stands: not started,
// running, or finished. Driving it to a progress starts it when needed and
// finishes it (update(1), then stop) exactly once, so a call or a zero-length
// step inside acts once even if several end in one frame. Seeking backwards
// takes a finished action back with the start values it captured.
#include "engine/actions/CCAction.h"

#include <cstdarg>
#include <vector>

namespace engine {

class ChildAction {
public:
    explicit ChildAction(CCFiniteTimeAction* action) : m_action(action) {}

    CCFiniteTimeAction* action() const { return m_action.get(); }
    float duration() const { return m_action->getDuration(); }
    bool isStarted() const { return m_state != State::Idle; }

    // Forget the last run (the parent starts again).
    void reset() { m_state = State::Idle; }
    // Progress 1 or more finishes the action; below 1 it runs at that point.
    void driveTo(float progress, CCNode* target);
    // Sets a started action back to its start and forgets it: the next
    // driveTo starts it afresh from the target's state then.
    void rewind(CCNode* target);
    // Stops a running action (the parent was stopped part-way).
    void stop();

private:
    enum class State { Idle, Running, Finished };
    void attach(CCNode* target);

    CCRef<CCFiniteTimeAction> m_action;
    State m_state = State::Idle;
};

class CCArray;

// The inner actions of a composite, from a null-terminated argument list
// that starts with `first`.
std::vector<CCFiniteTimeAction*> collectActions(CCFiniteTimeAction* first, va_list rest);
// The actions among an array's members; each other member is skipped with a
// log line that names `creator`.
std::vector<CCFiniteTimeAction*> collectActions(const CCArray& array, const char* creator);

} // namespace engine
