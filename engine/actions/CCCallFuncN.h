#pragma once
// Calls a member function of a target object with the node that runs the
// action (for example to remove that node once its animation is over).
#include "engine/actions/CCCallFunc.h"

namespace engine {

class CCCallFuncN : public CCCallFunc {
public:
    static CCCallFuncN* create(CCObject* selectorTarget, SEL_CallFuncN selector);

protected:
    void execute() override;

    SEL_CallFuncN m_callFuncN = nullptr;
};

} // namespace engine
