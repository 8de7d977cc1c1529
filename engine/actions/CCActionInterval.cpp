#include "engine/actions/CCActionInterval.h"

#include <algorithm>

namespace engine {

bool CCActionInterval::initWithDuration(float duration) {
    // A negative duration would never end; treat it as instant.
    m_duration = std::max(0.0f, duration);
    m_elapsed = 0;
    m_firstTick = true;
    return true;
}

void CCActionInterval::startWithTarget(CCNode* target) {
    CCFiniteTimeAction::startWithTarget(target);
    m_elapsed = 0;
    m_firstTick = true;
}

float CCActionInterval::progress() const {
    if (m_duration <= 0) return 1.0f;
    return std::clamp(m_elapsed / m_duration, 0.0f, 1.0f);
}

void CCActionInterval::step(float dt) {
    if (m_firstTick) {
        m_firstTick = false;
        m_elapsed = 0;
    } else {
        m_elapsed += std::max(0.0f, dt);
    }
    update(progress());
}

} // namespace engine
