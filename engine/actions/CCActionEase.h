#pragma once
// Runs an inner action with its progress reshaped by an easing curve. The
// base class passes the progress through unchanged; kinds override `ease`.
// Eased values may leave [0, 1] (elastic curves overshoot), and the inner
// action receives them as they are.
#include "engine/actions/CCActionInterval.h"

namespace engine {

class CCActionEase : public CCActionInterval {
public:
    ~CCActionEase() override;
    static CCActionEase* create(CCActionInterval* action);
    bool initWithAction(CCActionInterval* action);

    void startWithTarget(CCNode* target) override;
    void stop() override;
    void update(float time) override;

    CCActionInterval* getInnerAction() const { return m_inner.get(); }

protected:
    virtual float ease(float time) const { return time; }

    CCRef<CCActionInterval> m_inner;
};

} // namespace engine
