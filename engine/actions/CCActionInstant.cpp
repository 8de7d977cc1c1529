#include "engine/actions/CCActionInstant.h"

namespace engine {

void CCActionInstant::step(float /*dt*/) {
    update(1.0f);
}

void CCActionInstant::update(float time) {
    if (time >= 1.0f) execute();
}

} // namespace engine
