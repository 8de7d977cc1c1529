#pragma once
// An action that runs over a duration. `step` advances the elapsed time and
// calls `update` with the progress elapsed / duration, clamped to [0, 1].
//
// The first step after `startWithTarget` counts as time 0: the frame in which
// an action was started has mostly passed before it began. A zero-length
// action is updated with 1 on its first step and is then done.
#include "engine/actions/CCAction.h"

namespace engine {

class CCActionInterval : public CCFiniteTimeAction {
public:
    bool initWithDuration(float duration);

    void startWithTarget(CCNode* target) override;
    void step(float dt) override;
    bool isDone() const override { return m_elapsed >= m_duration; }

    float getElapsed() const { return m_elapsed; }

protected:
    float progress() const;

    float m_elapsed = 0;
    bool m_firstTick = true;
};

} // namespace engine
