#include "engine/actions/CCCallFunc.h"

namespace engine {

CCCallFunc::~CCCallFunc() = default;

CCCallFunc* CCCallFunc::create(CCObject* selectorTarget, SEL_CallFunc selector) {
    auto* action = new CCCallFunc();
    action->m_callFunc = selector;
    return autoreleasedIf(action->initWithTarget(selectorTarget), action);
}

bool CCCallFunc::initWithTarget(CCObject* selectorTarget) {
    m_selectorTarget = selectorTarget;
    return true;
}

void CCCallFunc::execute() {
    if (m_selectorTarget && m_callFunc) (m_selectorTarget.get()->*m_callFunc)();
}

} // namespace engine
