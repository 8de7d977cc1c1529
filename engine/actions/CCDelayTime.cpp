#include "engine/actions/CCDelayTime.h"

namespace engine {

CCDelayTime* CCDelayTime::create(float duration) {
    auto* action = new CCDelayTime();
    action->initWithDuration(duration);
    action->autorelease();
    return action;
}

} // namespace engine
