#include "gui/RectClippingNode.h"

#include "engine/nodes/CCDrawNode.h"

namespace gui {

using engine::CCPoint;

RectClippingNode::~RectClippingNode() = default;

RectClippingNode* RectClippingNode::create() {
    auto* node = new RectClippingNode();
    return engine::autoreleasedIf(node->init(), node);
}

bool RectClippingNode::init() {
    m_rectStencil = engine::CCDrawNode::create();
    if (!m_rectStencil) return false;
    drawStencil();
    return engine::CCClippingNode::init(m_rectStencil);
}

void RectClippingNode::setClipSize(const engine::CCSize& size) {
    setContentSize(size);
    m_clipSize = size;
    drawStencil();
}

void RectClippingNode::drawStencil() {
    float w = m_clipSize.width, h = m_clipSize.height;
    m_corners[0] = CCPoint(0, 0);
    m_corners[1] = CCPoint(w, 0);
    m_corners[2] = CCPoint(w, h);
    m_corners[3] = CCPoint(0, h);
    const engine::ccColor4F green = engine::ccc4f(0, 1, 0, 1);
    m_rectStencil->clear();
    m_rectStencil->drawPolygon(m_corners, 4, green, 0, green);
}

void RectClippingNode::visit() {
    if (!m_enabled) return;
    if (m_clippingOn)
        engine::CCClippingNode::visit();
    else
        engine::CCNode::visit();
}

} // namespace gui
