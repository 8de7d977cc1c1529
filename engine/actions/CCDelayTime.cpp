#include "engine/actions/CCDelayTime.h"

namespace engine {

CCDelayTime* CCDelayTime::create(float duration) {
    auto* action = new CCDelayTime();
    return autoreleasedIf(action->initWithDuration(duration), action);
}

} // namespace engine
