#pragma once
// Base of everything a node can run: `startWithTarget` binds the action to a
// node, `step` advances it by a frame's time, `update(t)` sets it to progress
// t in [0, 1] directly (the UI animation seeks with it).
#include "engine/base/CCObject.h"

namespace engine {

class CCNode;

enum { kCCActionTagInvalid = -1 };

class CCAction : public CCObject {
public:
    virtual bool isDone() const { return true; }
    virtual void startWithTarget(CCNode* target) {
        m_target = target;
    }
    // After stop the action no longer touches its target.
    virtual void stop() { m_target = nullptr; }
    virtual void step(float /*dt*/) {}
    virtual void update(float /*time*/) {}

    CCNode* getTarget() const { return m_target; }
    void setTarget(CCNode* target) { m_target = target; }
    int getTag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }

protected:
    CCNode* m_target = nullptr;         // not retained
    int m_tag = kCCActionTagInvalid;
};

// An action with a known duration in seconds.
class CCFiniteTimeAction : public CCAction {
public:
    float getDuration() const { return m_duration; }

protected:
    float m_duration = 0;
};

} // namespace engine
