#include "engine/nodes/CCNodeRGBA.h"

namespace engine {

CCNodeRGBA* CCNodeRGBA::create() {
    auto* node = new CCNodeRGBA();
    return autoreleasedIf(node->init(), node);
}

} // namespace engine
