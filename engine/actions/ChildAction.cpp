#include "engine/actions/ChildAction.h"

#include "engine/base/CCArray.h"
#include "engine/base/CCLog.h"

namespace engine {

void ChildAction::attach(CCNode* target) {
    if (m_state == State::Idle)
        m_action->startWithTarget(target);
    else
        m_action->setTarget(target); // keeps the start values of its run
}

void ChildAction::driveTo(float progress, CCNode* target) {
    if (progress >= 1.0f) {
        if (m_state == State::Finished) return;
        attach(target);
        m_state = State::Finished;
        m_action->update(1.0f);
        m_action->stop();
        return;
    }
    attach(target);
    m_state = State::Running;
    m_action->update(progress < 0.0f ? 0.0f : progress);
}

void ChildAction::rewind(CCNode* target) {
    if (m_state == State::Idle) return;
    m_action->setTarget(target);
    m_state = State::Idle;
    m_action->update(0.0f);
    m_action->stop();
}

void ChildAction::stop() {
    if (m_state == State::Running) m_action->stop();
}

std::vector<CCFiniteTimeAction*> collectActions(CCFiniteTimeAction* first, va_list rest) {
    std::vector<CCFiniteTimeAction*> actions;
    for (CCFiniteTimeAction* action = first; action; action = va_arg(rest, CCFiniteTimeAction*))
        actions.push_back(action);
    return actions;
}

std::vector<CCFiniteTimeAction*> collectActions(const CCArray& array, const char* creator) {
    std::vector<CCFiniteTimeAction*> actions;
    for (CCObject* object : array) {
        if (auto* action = dynamic_cast<CCFiniteTimeAction*>(object))
            actions.push_back(action);
        else
            CCLog("%s: skipping an array member that is not an action", creator);
    }
    return actions;
}

} // namespace engine
