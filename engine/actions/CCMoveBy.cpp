#include "engine/actions/CCMoveBy.h"

#include "engine/nodes/CCNode.h"

namespace engine {

CCMoveBy* CCMoveBy::create(float duration, const CCPoint& delta) {
    auto* action = new CCMoveBy();
    return autoreleasedIf(action->initWithDuration(duration, delta), action);
}

bool CCMoveBy::initWithDuration(float duration, const CCPoint& delta) {
    CCActionInterval::initWithDuration(duration);
    m_delta = delta;
    return true;
}

void CCMoveBy::startWithTarget(CCNode* target) {
    CCActionInterval::startWithTarget(target);
    if (target) m_startPosition = target->getPosition();
}

void CCMoveBy::update(float time) {
    if (m_target) m_target->setPosition(m_startPosition + m_delta * time);
}

} // namespace engine
