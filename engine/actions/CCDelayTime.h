#pragma once
// Waits: an interval action that changes nothing (a pause inside a sequence).
#include "engine/actions/CCActionInterval.h"

namespace engine {

class CCDelayTime : public CCActionInterval {
public:
    static CCDelayTime* create(float duration);
    void update(float /*time*/) override {}
};

} // namespace engine
