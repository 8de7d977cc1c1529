#pragma once
// Calls a member function of a target object when reached.
//
// Unlike other selector users the callback target is retained for the life
// of the action: a sequence may hold a call for seconds before it runs, and
// the object it calls must still be there. Actions are dropped when their
// node is cleaned up, which ends the retain.
#include "engine/actions/CCActionInstant.h"

namespace engine {

class CCCallFunc : public CCActionInstant {
public:
    ~CCCallFunc() override;
    static CCCallFunc* create(CCObject* selectorTarget, SEL_CallFunc selector);
    bool initWithTarget(CCObject* selectorTarget);


protected:
    void execute() override;

    CCRef<CCObject> m_selectorTarget;
    SEL_CallFunc m_callFunc = nullptr;
};

} // namespace engine
