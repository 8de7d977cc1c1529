#pragma once
// Rotates the target to an angle in degrees (clockwise), the shortest way
// round: from 350 to 10 it turns 20 degrees forward, not 340 back. The
// start angle is first brought into (-360, 360), so the node ends at an
// angle equal to the target modulo 360 (RotateTo 270 from 0 ends at -90).
#include "engine/actions/CCActionInterval.h"

namespace engine {

class CCRotateTo : public CCActionInterval {
public:
    static CCRotateTo* create(float duration, float degrees);
    bool initWithDuration(float duration, float degrees);

    void startWithTarget(CCNode* target) override;
    void update(float time) override;

private:
    float m_endAngle = 0;
    float m_startAngle = 0;
    float m_turn = 0;
};

} // namespace engine
