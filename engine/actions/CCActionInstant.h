#pragma once
// An action with no duration: it acts once, on its first step. Inside a
// sequence or spawn it acts when it is reached (update(1)); an update below
// 1, as a sequence rewinding past it sends, does nothing.
#include "engine/actions/CCAction.h"

namespace engine {

class CCActionInstant : public CCFiniteTimeAction {
public:
    bool isDone() const override { return true; }
    void step(float dt) override;
    void update(float time) final;

protected:
    // What the action does; runs once per update(1).
    virtual void execute() = 0;
};

} // namespace engine
