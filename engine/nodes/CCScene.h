#pragma once
// The root of what the director shows; its size is the window's design size.
#include "engine/nodes/CCNode.h"

namespace engine {

class CCScene : public CCNode {
public:
    static CCScene* create();
    bool init() override;
    // Transition scenes answer true: the director lets them manage the
    // enter and exit calls of the scenes they join.
    virtual bool isTransition() const { return false; }
};

} // namespace engine
