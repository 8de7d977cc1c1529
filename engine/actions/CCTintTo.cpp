#include "engine/actions/CCTintTo.h"

#include "engine/nodes/CCNodeRGBA.h"

#include <algorithm>

namespace engine {

namespace {
// Eased progress may leave [0, 1]; a channel stays a byte.
GLubyte mix(GLubyte from, GLubyte to, float time) {
    return static_cast<GLubyte>(std::clamp(from + (to - from) * time, 0.0f, 255.0f));
}
} // namespace

CCTintTo* CCTintTo::create(float duration, GLubyte red, GLubyte green, GLubyte blue) {
    auto* action = new CCTintTo();
    return autoreleasedIf(action->initWithDuration(duration, ccc3(red, green, blue)), action);
}

bool CCTintTo::initWithDuration(float duration, const ccColor3B& color) {
    CCActionInterval::initWithDuration(duration);
    m_to = color;
    return true;
}

CCRGBAProtocol* CCTintTo::rgbaTarget() const {
    return dynamic_cast<CCRGBAProtocol*>(m_target);
}

void CCTintTo::startWithTarget(CCNode* target) {
    CCActionInterval::startWithTarget(target);
    if (CCRGBAProtocol* rgba = rgbaTarget()) m_from = rgba->getColor();
}

void CCTintTo::update(float time) {
    if (CCRGBAProtocol* rgba = rgbaTarget())
        rgba->setColor(
            {mix(m_from.r, m_to.r, time), mix(m_from.g, m_to.g, time), mix(m_from.b, m_to.b, time)});
}

} // namespace engine
