#include "engine/actions/CCScaleTo.h"

#include "engine/nodes/CCNode.h"

namespace engine {

CCScaleTo* CCScaleTo::create(float duration, float scale) {
    return create(duration, scale, scale);
}

CCScaleTo* CCScaleTo::create(float duration, float scaleX, float scaleY) {
    auto* action = new CCScaleTo();
    return autoreleasedIf(action->initWithDuration(duration, scaleX, scaleY), action);
}

bool CCScaleTo::initWithDuration(float duration, float scaleX, float scaleY) {
    CCActionInterval::initWithDuration(duration);
    m_endScaleX = scaleX;
    m_endScaleY = scaleY;
    return true;
}

void CCScaleTo::startWithTarget(CCNode* target) {
    CCActionInterval::startWithTarget(target);
    if (!target) return;
    m_startScaleX = target->getScaleX();
    m_startScaleY = target->getScaleY();
}

void CCScaleTo::update(float time) {
    if (!m_target) return;
    m_target->setScaleX(m_startScaleX + (m_endScaleX - m_startScaleX) * time);
    m_target->setScaleY(m_startScaleY + (m_endScaleY - m_startScaleY) * time);
}

} // namespace engine
