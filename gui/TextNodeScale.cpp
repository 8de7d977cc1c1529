#include "gui/TextNodeScale.h"

#include "engine/nodes/CCNode.h"

namespace gui {

engine::CCSize scaleTextNode(engine::CCNode* node, bool ignoreSize, const engine::CCSize& widgetSize) {
    if (!node) return ignoreSize ? engine::CCSizeZero : widgetSize;
    const engine::CCSize& content = node->getContentSize();
    if (ignoreSize) {
        node->setScale(1.0f);
        return content;
    }
    if (content.width <= 0.0f || content.height <= 0.0f) {
        node->setScale(1.0f);
    } else {
        node->setScaleX(widgetSize.width / content.width);
        node->setScaleY(widgetSize.height / content.height);
    }
    return widgetSize;
}

} // namespace gui
