#include "engine/actions/CCEaseElasticOut.h"

#include "engine/base/CCLog.h"

#include <cmath>

namespace engine {

namespace {
constexpr float kDefaultPeriod = 0.3f;
constexpr float kTwoPi = static_cast<float>(2.0 * M_PI);
} // namespace

CCEaseElasticOut* CCEaseElasticOut::create(CCActionInterval* action) {
    return create(action, kDefaultPeriod);
}

CCEaseElasticOut* CCEaseElasticOut::create(CCActionInterval* action, float period) {
    auto* ease = new CCEaseElasticOut();
    return autoreleasedIf(ease->initWithAction(action, period), ease);
}

bool CCEaseElasticOut::initWithAction(CCActionInterval* action, float period) {
    if (!CCActionEase::initWithAction(action)) return false;
    setPeriod(period);
    return true;
}

void CCEaseElasticOut::setPeriod(float period) {
    // A period of 0 would divide by zero in the curve.
    if (!(period > 0)) {
        CCLog("CCEaseElasticOut: period %g is not positive; using %g", period, kDefaultPeriod);
        period = kDefaultPeriod;
    }
    m_period = period;
}

float CCEaseElasticOut::ease(float time) const {
    if (time <= 0.0f || time >= 1.0f) return time <= 0.0f ? 0.0f : 1.0f;
    float shift = m_period / 4.0f;
    return std::pow(2.0f, -10.0f * time) * std::sin((time - shift) * kTwoPi / m_period) + 1.0f;
}

} // namespace engine
