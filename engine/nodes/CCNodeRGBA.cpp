#include "engine/nodes/CCNodeRGBA.h"

namespace engine {

CCNodeRGBA* CCNodeRGBA::create() {
    auto* node = new CCNodeRGBA();
    if (!node->init()) {
        delete node;
        return nullptr;
    }
    node->autorelease();
    return node;
}

} // namespace engine
