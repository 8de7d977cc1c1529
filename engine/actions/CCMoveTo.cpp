#include "engine/actions/CCMoveTo.h"

#include "engine/nodes/CCNode.h"

namespace engine {

CCMoveTo* CCMoveTo::create(float duration, const CCPoint& position) {
    auto* action = new CCMoveTo();
    return autoreleasedIf(action->initWithDuration(duration, position), action);
}

bool CCMoveTo::initWithDuration(float duration, const CCPoint& position) {
    CCActionInterval::initWithDuration(duration);
    m_endPosition = position;
    return true;
}

void CCMoveTo::startWithTarget(CCNode* target) {
    CCMoveBy::startWithTarget(target);
    m_delta = m_endPosition - m_startPosition;
}

void CCMoveTo::update(float time) {
    if (!m_target) return;
    // The end lands exactly, without the rounding of start + (end - start).
    m_target->setPosition(time == 1.0f ? m_endPosition : m_startPosition + m_delta * time);
}

} // namespace engine
