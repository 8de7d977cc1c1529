#pragma once
// Fades the target to an opacity (0 to 255). Targets without colour and
// opacity (plain nodes) are left alone.
#include "engine/actions/CCActionInterval.h"
#include "engine/base/ccTypes.h"

namespace engine {

class CCRGBAProtocol;

class CCFadeTo : public CCActionInterval {
public:
    static CCFadeTo* create(float duration, GLubyte opacity);
    bool initWithDuration(float duration, GLubyte opacity);

    void startWithTarget(CCNode* target) override;
    void update(float time) override;

private:
    CCRGBAProtocol* rgbaTarget() const;

    GLubyte m_toOpacity = 255;
    GLubyte m_fromOpacity = 255;
};

} // namespace engine
