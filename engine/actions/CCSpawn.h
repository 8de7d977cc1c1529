#pragma once
// Runs actions side by side. Its duration is the longest of theirs; a
// shorter action finishes (update(1) once) when its own time is up, and a
// zero-length one on the first update. Seeking backwards takes finished
// actions back to the point in their own time.
#include "engine/actions/CCActionInterval.h"
#include "engine/actions/ChildAction.h"

#include <vector>

namespace engine {

class CCArray;

class CCSpawn : public CCActionInterval {
public:
    // A null-terminated list of actions; none without a first action.
    static CCSpawn* create(CCFiniteTimeAction* first, ...);
    static CCSpawn* createWithTwoActions(CCFiniteTimeAction* one, CCFiniteTimeAction* two);
    // An empty array gives an empty spawn (zero length, changes nothing):
    // the UI animation builds one for a track without steps. Members that
    // are not actions are skipped; a missing array gives none.
    static CCSpawn* create(CCArray* actions);
    bool initWithActions(const std::vector<CCFiniteTimeAction*>& actions);

    void startWithTarget(CCNode* target) override;
    void stop() override;
    void update(float time) override;

    unsigned int getActionCount() const { return static_cast<unsigned int>(m_actions.size()); }

private:
    std::vector<ChildAction> m_actions;
};

} // namespace engine
