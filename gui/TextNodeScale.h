#pragma once
// How a text widget fits its one text node to the widget's size.
//
// Following its content, the widget shows the node unscaled and takes the
// node's size; otherwise the node is stretched over the widget's size. A
// node without extent (no text yet) stays unscaled rather than being
// divided by zero.
#include "engine/base/CCGeometry.h"

namespace engine {
class CCNode;
} // namespace engine

namespace gui {

// Answers the widget's size afterwards: the node's content size when
// `ignoreSize`, `widgetSize` otherwise.
engine::CCSize scaleTextNode(engine::CCNode* node, bool ignoreSize, const engine::CCSize& widgetSize);

} // namespace gui
