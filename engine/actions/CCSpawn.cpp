#include "engine/actions/CCSpawn.h"

#include "engine/base/CCArray.h"
#include "engine/base/CCLog.h"

#include <algorithm>
#include <cstdarg>

namespace engine {

namespace {
CCSpawn* createFrom(const std::vector<CCFiniteTimeAction*>& actions) {
    auto* spawn = new CCSpawn();
    return autoreleasedIf(spawn->initWithActions(actions), spawn);
}
} // namespace

CCSpawn* CCSpawn::create(CCFiniteTimeAction* first, ...) {
    if (!first) {
        CCLog("CCSpawn::create: no action given");
        return nullptr;
    }
    va_list args;
    va_start(args, first);
    std::vector<CCFiniteTimeAction*> actions = collectActions(first, args);
    va_end(args);
    return createFrom(actions);
}

CCSpawn* CCSpawn::createWithTwoActions(CCFiniteTimeAction* one, CCFiniteTimeAction* two) {
    if (!one || !two) {
        CCLog("CCSpawn::createWithTwoActions: an action is missing");
        return nullptr;
    }
    return createFrom({one, two});
}

CCSpawn* CCSpawn::create(CCArray* actions) {
    if (!actions) {
        CCLog("CCSpawn::create: no array given");
        return nullptr;
    }
    return createFrom(collectActions(*actions, "CCSpawn::create"));
}

bool CCSpawn::initWithActions(const std::vector<CCFiniteTimeAction*>& actions) {
    float longest = 0;
    m_actions.clear();
    for (CCFiniteTimeAction* action : actions) {
        m_actions.emplace_back(action);
        longest = std::max(longest, action->getDuration());
    }
    return CCActionInterval::initWithDuration(longest);
}

void CCSpawn::startWithTarget(CCNode* target) {
    CCActionInterval::startWithTarget(target);
    for (ChildAction& action : m_actions)
        action.reset();
}

void CCSpawn::stop() {
    for (ChildAction& action : m_actions)
        action.stop();
    CCActionInterval::stop();
}

void CCSpawn::update(float time) {
    if (!m_target) return;
    float now = std::max(0.0f, time) * m_duration;
    for (ChildAction& action : m_actions) {
        float duration = action.duration();
        float progress = time >= 1.0f || duration <= now ? 1.0f : now / duration;
        action.driveTo(progress, m_target);
        // A callback may have stopped this spawn (its node removed).
        if (!m_target) return;
    }
}

} // namespace engine
