#pragma once
// Repeats an interval action until it is stopped; it is never done. The time
// by which a round overshoots its end is carried into the next round, so a
// loop keeps its pace whatever the frame rate. A zero-length inner action
// runs once per frame rather than spinning.
#include "engine/actions/CCActionInterval.h"

namespace engine {

class CCRepeatForever : public CCActionInterval {
public:
    ~CCRepeatForever() override;
    static CCRepeatForever* create(CCActionInterval* action);
    bool initWithAction(CCActionInterval* action);

    void startWithTarget(CCNode* target) override;
    void stop() override;
    void step(float dt) override;
    // Seeks within the current round.
    void update(float time) override;
    bool isDone() const override { return false; }

    CCActionInterval* getInnerAction() const { return m_inner.get(); }

private:
    CCRef<CCActionInterval> m_inner;
};

} // namespace engine
