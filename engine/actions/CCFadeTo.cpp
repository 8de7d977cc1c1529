#include "engine/actions/CCFadeTo.h"

#include "engine/nodes/CCNodeRGBA.h"

#include <algorithm>

namespace engine {

CCFadeTo* CCFadeTo::create(float duration, GLubyte opacity) {
    auto* action = new CCFadeTo();
    return autoreleasedIf(action->initWithDuration(duration, opacity), action);
}

bool CCFadeTo::initWithDuration(float duration, GLubyte opacity) {
    CCActionInterval::initWithDuration(duration);
    m_toOpacity = opacity;
    return true;
}

CCRGBAProtocol* CCFadeTo::rgbaTarget() const {
    return dynamic_cast<CCRGBAProtocol*>(m_target);
}

void CCFadeTo::startWithTarget(CCNode* target) {
    CCActionInterval::startWithTarget(target);
    if (CCRGBAProtocol* rgba = rgbaTarget()) m_fromOpacity = rgba->getOpacity();
}

void CCFadeTo::update(float time) {
    if (CCRGBAProtocol* rgba = rgbaTarget())
        // Eased progress may leave [0, 1]; opacity stays a byte.
        rgba->setOpacity(static_cast<GLubyte>(
            std::clamp(m_fromOpacity + (m_toOpacity - m_fromOpacity) * time, 0.0f, 255.0f)));
}

} // namespace engine
