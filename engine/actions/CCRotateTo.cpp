#include "engine/actions/CCRotateTo.h"

#include "engine/nodes/CCNode.h"

#include <cmath>

namespace engine {

CCRotateTo* CCRotateTo::create(float duration, float degrees) {
    auto* action = new CCRotateTo();
    return autoreleasedIf(action->initWithDuration(duration, degrees), action);
}

bool CCRotateTo::initWithDuration(float duration, float degrees) {
    CCActionInterval::initWithDuration(duration);
    m_endAngle = degrees;
    return true;
}

void CCRotateTo::startWithTarget(CCNode* target) {
    CCActionInterval::startWithTarget(target);
    if (!target) return;
    m_startAngle = std::fmod(target->getRotation(), 360.0f);
    float turn = std::fmod(m_endAngle - m_startAngle, 360.0f);
    if (turn > 180.0f) turn -= 360.0f;
    if (turn < -180.0f) turn += 360.0f;
    m_turn = turn;
}

void CCRotateTo::update(float time) {
    if (m_target) m_target->setRotation(m_startAngle + m_turn * time);
}

} // namespace engine
