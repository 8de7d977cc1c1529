#include "engine/actions/CCSequence.h"

#include "engine/base/CCArray.h"
#include "engine/base/CCLog.h"

#include <algorithm>
#include <cstdarg>

namespace engine {

namespace {
CCSequence* createFrom(const std::vector<CCFiniteTimeAction*>& actions) {
    auto* sequence = new CCSequence();
    return autoreleasedIf(sequence->initWithActions(actions), sequence);
}
} // namespace

CCSequence* CCSequence::create(CCFiniteTimeAction* first, ...) {
    va_list args;
    va_start(args, first);
    std::vector<CCFiniteTimeAction*> actions = collectActions(first, args);
    va_end(args);
    return createFrom(actions);
}

CCSequence* CCSequence::createWithTwoActions(CCFiniteTimeAction* one, CCFiniteTimeAction* two) {
    if (!one || !two) {
        CCLog("CCSequence::createWithTwoActions: an action is missing");
        return nullptr;
    }
    return createFrom({one, two});
}

CCSequence* CCSequence::create(CCArray* actions) {
    return createFrom(actions ? collectActions(*actions, "CCSequence::create") : std::vector<CCFiniteTimeAction*>{});
}

bool CCSequence::initWithActions(const std::vector<CCFiniteTimeAction*>& actions) {
    if (actions.empty()) return false;
    float end = 0;
    m_steps.clear();
    m_ends.clear();
    for (CCFiniteTimeAction* action : actions) {
        m_steps.emplace_back(action);
        end += std::max(0.0f, action->getDuration());
        m_ends.push_back(end);
    }
    return CCActionInterval::initWithDuration(end);
}

void CCSequence::startWithTarget(CCNode* target) {
    CCActionInterval::startWithTarget(target);
    for (ChildAction& step : m_steps)
        step.reset();
}

void CCSequence::stop() {
    for (ChildAction& step : m_steps)
        step.stop();
    CCActionInterval::stop();
}

void CCSequence::update(float time) {
    if (!m_target) return;
    const size_t count = m_steps.size();
    float now = std::max(0.0f, time) * m_duration;
    // Steps [0, current) are over at `now`; step `current` (if any) runs.
    size_t current =
        time >= 1.0f
            ? count
            : static_cast<size_t>(std::upper_bound(m_ends.begin(), m_ends.end(), now) - m_ends.begin());
    // Each call below may run user code that stops this sequence (a callback
    // removing the node): then nothing more may touch the target.
    for (size_t i = count; i-- > current + 1;) {
        m_steps[i].rewind(m_target);
        if (!m_target) return;
    }
    for (size_t i = 0; i < current; ++i) {
        m_steps[i].driveTo(1.0f, m_target);
        if (!m_target) return;
    }
    if (current == count) return;
    float start = current == 0 ? 0.0f : m_ends[current - 1];
    m_steps[current].driveTo((now - start) / (m_ends[current] - start), m_target);
}

} // namespace engine
