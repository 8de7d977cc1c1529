#pragma once
// Moves the target to a position; the offset is taken when the action starts.
#include "engine/actions/CCMoveBy.h"

namespace engine {

class CCMoveTo : public CCMoveBy {
public:
    static CCMoveTo* create(float duration, const CCPoint& position);
    bool initWithDuration(float duration, const CCPoint& position);

    void startWithTarget(CCNode* target) override;
    void update(float time) override;

private:
    CCPoint m_endPosition;
};

} // namespace engine
