#include "engine/actions/CCCallFuncN.h"

namespace engine {

CCCallFuncN* CCCallFuncN::create(CCObject* selectorTarget, SEL_CallFuncN selector) {
    auto* action = new CCCallFuncN();
    action->m_callFuncN = selector;
    return autoreleasedIf(action->initWithTarget(selectorTarget), action);
}

void CCCallFuncN::execute() {
    if (m_selectorTarget && m_callFuncN) (m_selectorTarget.get()->*m_callFuncN)(m_target);
}

} // namespace engine
