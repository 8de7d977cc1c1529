#include "engine/actions/CCActionEase.h"

#include "engine/base/CCLog.h"

namespace engine {

CCActionEase::~CCActionEase() = default;

CCActionEase* CCActionEase::create(CCActionInterval* action) {
    auto* ease = new CCActionEase();
    return autoreleasedIf(ease->initWithAction(action), ease);
}

bool CCActionEase::initWithAction(CCActionInterval* action) {
    if (!action) {
        CCLog("CCActionEase: no inner action given");
        return false;
    }
    CCActionInterval::initWithDuration(action->getDuration());
    m_inner = action;
    return true;
}

void CCActionEase::startWithTarget(CCNode* target) {
    CCActionInterval::startWithTarget(target);
    m_inner->startWithTarget(target);
}

void CCActionEase::stop() {
    m_inner->stop();
    CCActionInterval::stop();
}

void CCActionEase::update(float time) {
    // The inner action follows this one's target: after a stop it rests too,
    // and a sequence seeking back into it gives the target back to both.
    m_inner->setTarget(m_target);
    m_inner->update(ease(time));
}

} // namespace engine
