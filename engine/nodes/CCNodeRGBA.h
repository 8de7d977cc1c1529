#pragma once
// A node with colour and opacity (see CCRGBAMixin for the cascading rules).
#include "engine/nodes/CCRGBAMixin.h"

namespace engine {

class CCNodeRGBA : public CCRGBAMixin<CCNode> {
public:
    static CCNodeRGBA* create();
};

} // namespace engine
