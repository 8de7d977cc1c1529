#pragma once
// Elastic ease-out: the inner action shoots past its end and swings back,
// settling at the end. `period` sets the swing length (0.3 by default;
// larger periods swing less). Progress 0 and 1 map exactly to 0 and 1.
#include "engine/actions/CCActionEase.h"

namespace engine {

class CCEaseElasticOut : public CCActionEase {
public:
    static CCEaseElasticOut* create(CCActionInterval* action);
    static CCEaseElasticOut* create(CCActionInterval* action, float period);
    bool initWithAction(CCActionInterval* action, float period);

    float getPeriod() const { return m_period; }
    void setPeriod(float period);

protected:
    float ease(float time) const override;

private:
    float m_period = 0.3f;
};

} // namespace engine
