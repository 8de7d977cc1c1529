#pragma once
// Scales the target to given factors, uniformly or per axis.
#include "engine/actions/CCActionInterval.h"

namespace engine {

class CCScaleTo : public CCActionInterval {
public:
    static CCScaleTo* create(float duration, float scale);
    static CCScaleTo* create(float duration, float scaleX, float scaleY);
    bool initWithDuration(float duration, float scaleX, float scaleY);

    void startWithTarget(CCNode* target) override;
    void update(float time) override;

private:
    float m_startScaleX = 1, m_startScaleY = 1;
    float m_endScaleX = 1, m_endScaleY = 1;
};

} // namespace engine
