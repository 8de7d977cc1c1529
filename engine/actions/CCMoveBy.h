#pragma once
// Moves the target by a fixed offset from where it stood when the action
// started. Positions are set absolutely (start + offset × t), so seeking with
// update(t) in any order gives the same place for the same t.
#include "engine/actions/CCActionInterval.h"
#include "engine/base/CCGeometry.h"

namespace engine {

class CCMoveBy : public CCActionInterval {
public:
    static CCMoveBy* create(float duration, const CCPoint& delta);
    bool initWithDuration(float duration, const CCPoint& delta);

    void startWithTarget(CCNode* target) override;
    void update(float time) override;

    const CCPoint& getDelta() const { return m_delta; }

protected:
    CCPoint m_delta;
    CCPoint m_startPosition;
};

} // namespace engine
