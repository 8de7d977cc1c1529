#include "engine/actions/CCRepeatForever.h"

#include "engine/base/CCLog.h"

namespace engine {

namespace {
// A frame long enough to hold more rounds than this (a stall) drops the rest
// instead of replaying them all at once.
constexpr int kMaxRoundsPerStep = 100;
} // namespace

CCRepeatForever::~CCRepeatForever() = default;

CCRepeatForever* CCRepeatForever::create(CCActionInterval* action) {
    auto* repeat = new CCRepeatForever();
    return autoreleasedIf(repeat->initWithAction(action), repeat);
}

bool CCRepeatForever::initWithAction(CCActionInterval* action) {
    if (!action) {
        CCLog("CCRepeatForever: no inner action given");
        return false;
    }
    m_inner = action;
    return true;
}

void CCRepeatForever::startWithTarget(CCNode* target) {
    CCActionInterval::startWithTarget(target);
    m_inner->startWithTarget(target);
}

void CCRepeatForever::stop() {
    m_inner->stop();
    CCActionInterval::stop();
}

void CCRepeatForever::step(float dt) {
    if (!m_target) return;
    m_inner->step(dt);
    int rounds = 0;
    // m_target turns null when a callback inside stops this action.
    while (m_target && m_inner->isDone()) {
        float duration = m_inner->getDuration();
        float overshoot = m_inner->getElapsed() - duration;
        m_inner->startWithTarget(m_target);
        if (duration <= 0) return; // once per frame, no spinning
        m_inner->step(0.0f);       // the first tick of the new round
        if (++rounds >= kMaxRoundsPerStep) return;
        m_inner->step(overshoot);
    }
}

void CCRepeatForever::update(float time) {
    m_inner->setTarget(m_target);
    m_inner->update(time);
}

} // namespace engine
