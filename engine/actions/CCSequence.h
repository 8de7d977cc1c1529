#pragma once
// Runs actions one after another. Its duration is the sum of theirs.
//
// update(t) may jump anywhere, forwards or backwards: every step that ends
// at or before the new time is finished (update(1) once, in order, however
// many a frame passes), the step under the new time runs at its own
// progress, and steps passed going backwards are set back to their start,
// latest first. A zero-length step ends where it starts: reaching its time
// finishes it.
#include "engine/actions/CCActionInterval.h"
#include "engine/actions/ChildAction.h"

#include <vector>

namespace engine {

class CCArray;

class CCSequence : public CCActionInterval {
public:
    // A null-terminated list of actions; none without a first action.
    static CCSequence* create(CCFiniteTimeAction* first, ...);
    static CCSequence* createWithTwoActions(CCFiniteTimeAction* one, CCFiniteTimeAction* two);
    // None for a missing or empty array; members that are not actions are skipped.
    static CCSequence* create(CCArray* actions);
    bool initWithActions(const std::vector<CCFiniteTimeAction*>& actions);

    void startWithTarget(CCNode* target) override;
    void stop() override;
    void update(float time) override;

    unsigned int getActionCount() const { return static_cast<unsigned int>(m_steps.size()); }

private:
    std::vector<ChildAction> m_steps;
    std::vector<float> m_ends; // the time each step ends, from the sequence's start
};

} // namespace engine
