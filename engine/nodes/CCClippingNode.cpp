#include "engine/nodes/CCClippingNode.h"

#include "engine/nodes/CCDrawNode.h"
#include "engine/render/CCSDLRenderer.h"

#include <algorithm>
#include <cmath>

namespace engine {

namespace {

// Far enough out to cover any screen or render target; the renderer cuts
// each band to the clip already in force.
constexpr float kFar = 1.0e6f;

// Adds the world box of what `node` and its visible descendants draw.
void addCoverage(CCNode* node, const CCAffineTransform& parentWorld, float alphaThreshold, CCRect& box,
                 bool& any) {
    if (!node->isVisible()) return;
    CCAffineTransform world = CCAffineTransformConcat(node->nodeToParentTransform(), parentWorld);
    CCRect local;
    bool covers = false;
    if (auto* drawNode = dynamic_cast<CCDrawNode*>(node)) {
        covers = drawNode->getDrawnBounds(local, alphaThreshold);
    } else {
        const CCSize& size = node->getContentSize();
        covers = size.width > 0 && size.height > 0;
        local = CCRect(0, 0, size.width, size.height);
    }
    if (covers) {
        CCRect rect = CCRectApplyAffineTransform(local, world);
        box = any ? box.unionWithRect(rect) : rect;
        any = true;
    }
    for (CCNode* child : node->getChildren())
        addCoverage(child, world, alphaThreshold, box, any);
}

} // namespace

CCClippingNode::~CCClippingNode() = default;

CCClippingNode* CCClippingNode::create() {
    return create(nullptr);
}

CCClippingNode* CCClippingNode::create(CCNode* stencil) {
    auto* node = new CCClippingNode();
    return autoreleasedIf(node->init(stencil), node);
}

bool CCClippingNode::init() {
    return init(nullptr);
}

bool CCClippingNode::init(CCNode* stencil) {
    setStencil(stencil);
    m_alphaThreshold = 1.0f;
    m_inverted = false;
    return true;
}

void CCClippingNode::setStencil(CCNode* stencil) {
    if (stencil == m_stencil) return;
    // The old stencil lives until it has left the stage.
    CCRef<CCNode> old = m_stencil;
    m_stencil = stencil;
    if (m_running) {
        if (old) {
            old->onExitTransitionDidStart();
            old->onExit();
        }
        if (stencil) {
            stencil->onEnter();
            stencil->onEnterTransitionDidFinish();
        }
    }
}

void CCClippingNode::setAlphaThreshold(float threshold) {
    m_alphaThreshold = std::isfinite(threshold) ? std::clamp(threshold, 0.0f, 1.0f) : 1.0f;
}

void CCClippingNode::onEnter() {
    CCNode::onEnter();
    if (m_stencil) m_stencil->onEnter();
}

void CCClippingNode::onEnterTransitionDidFinish() {
    CCNode::onEnterTransitionDidFinish();
    if (m_stencil) m_stencil->onEnterTransitionDidFinish();
}

void CCClippingNode::onExitTransitionDidStart() {
    if (m_stencil) m_stencil->onExitTransitionDidStart();
    CCNode::onExitTransitionDidStart();
}

void CCClippingNode::onExit() {
    if (m_stencil) m_stencil->onExit();
    CCNode::onExit();
}

void CCClippingNode::cleanup() {
    if (m_stencil) m_stencil->cleanup();
    CCNode::cleanup();
}

bool CCClippingNode::getStencilWorldRect(CCRect& out) {
    if (!m_stencil) return false;
    bool any = false;
    addCoverage(m_stencil.get(), m_worldTransform, m_alphaThreshold, out, any);
    return any;
}

void CCClippingNode::drawContent() {
    visitChildren(true);
    draw();
    visitChildren(false);
}

void CCClippingNode::visit() {
    if (!m_visible) return;
    updateWorldTransform();
    CCRect box;
    if (!getStencilWorldRect(box)) {
        if (m_inverted) drawContent();
        return;
    }
    CCSDLRenderer* renderer = CCSDLRenderer::current();
    if (!renderer) return; // nothing can be drawn
    if (!m_inverted) {
        renderer->pushClipRect(box);
        drawContent();
        renderer->popClipRect();
        return;
    }
    // The outside of the box: full-height bands left and right of it, and
    // the parts below and above it between them.
    const CCRect bands[4] = {
        CCRect(-kFar, -kFar, box.getMinX() + kFar, 2 * kFar),
        CCRect(box.getMaxX(), -kFar, kFar - box.getMaxX(), 2 * kFar),
        CCRect(box.getMinX(), -kFar, box.size.width, box.getMinY() + kFar),
        CCRect(box.getMinX(), box.getMaxY(), box.size.width, kFar - box.getMaxY()),
    };
    for (const CCRect& band : bands) {
        renderer->pushClipRect(band);
        drawContent();
        renderer->popClipRect();
    }
}

} // namespace engine
