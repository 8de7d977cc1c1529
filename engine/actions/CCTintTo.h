#pragma once
// Tints the target to a colour. Targets without colour are left alone.
#include "engine/actions/CCActionInterval.h"
#include "engine/base/ccTypes.h"

namespace engine {

class CCRGBAProtocol;

class CCTintTo : public CCActionInterval {
public:
    static CCTintTo* create(float duration, GLubyte red, GLubyte green, GLubyte blue);
    bool initWithDuration(float duration, const ccColor3B& color);

    void startWithTarget(CCNode* target) override;
    void update(float time) override;

private:
    CCRGBAProtocol* rgbaTarget() const;

    ccColor3B m_to = ccWHITE;
    ccColor3B m_from = ccWHITE;
};

} // namespace engine
