#include "engine/nodes/CCNodeRGBA.h"

namespace engine {

namespace {
GLubyte multiply(GLubyte a, GLubyte b) { return static_cast<GLubyte>(a * b / 255); }
} // namespace

CCNodeRGBA* CCNodeRGBA::create() {
    auto* node = new CCNodeRGBA();
    if (!node->init()) {
        delete node;
        return nullptr;
    }
    node->autorelease();
    return node;
}

ccColor3B CCNodeRGBA::parentDisplayedColor() const {
    auto* parent = dynamic_cast<CCRGBAProtocol*>(m_parent);
    return parent && parent->isCascadeColorEnabled() ? parent->getDisplayedColor() : ccWHITE;
}

GLubyte CCNodeRGBA::parentDisplayedOpacity() const {
    auto* parent = dynamic_cast<CCRGBAProtocol*>(m_parent);
    return parent && parent->isCascadeOpacityEnabled() ? parent->getDisplayedOpacity() : 255;
}

void CCNodeRGBA::setColor(const ccColor3B& color) {
    m_realColor = color;
    updateDisplayedColor(parentDisplayedColor());
}

void CCNodeRGBA::setOpacity(GLubyte opacity) {
    m_realOpacity = opacity;
    updateDisplayedOpacity(parentDisplayedOpacity());
}

void CCNodeRGBA::updateDisplayedColor(const ccColor3B& parentColor) {
    m_displayedColor = {multiply(m_realColor.r, parentColor.r), multiply(m_realColor.g, parentColor.g),
                        multiply(m_realColor.b, parentColor.b)};
    displayedColorChanged();
    if (!m_cascadeColor) return;
    for (CCNode* child : m_children)
        if (auto* rgba = dynamic_cast<CCRGBAProtocol*>(child)) rgba->updateDisplayedColor(m_displayedColor);
}

void CCNodeRGBA::updateDisplayedOpacity(GLubyte parentOpacity) {
    m_displayedOpacity = multiply(m_realOpacity, parentOpacity);
    displayedColorChanged();
    if (!m_cascadeOpacity) return;
    for (CCNode* child : m_children)
        if (auto* rgba = dynamic_cast<CCRGBAProtocol*>(child)) rgba->updateDisplayedOpacity(m_displayedOpacity);
}

void CCNodeRGBA::setCascadeColorEnabled(bool enabled) {
    m_cascadeColor = enabled;
    // Children go back to their own colour when cascading stops.
    for (CCNode* child : m_children)
        if (auto* rgba = dynamic_cast<CCRGBAProtocol*>(child))
            rgba->updateDisplayedColor(enabled ? m_displayedColor : ccWHITE);
}

void CCNodeRGBA::setCascadeOpacityEnabled(bool enabled) {
    m_cascadeOpacity = enabled;
    for (CCNode* child : m_children)
        if (auto* rgba = dynamic_cast<CCRGBAProtocol*>(child))
            rgba->updateDisplayedOpacity(enabled ? m_displayedOpacity : 255);
}

void CCNodeRGBA::addChild(CCNode* child, int zOrder, int tag) {
    CCNode::addChild(child, zOrder, tag);
    if (!child || child->getParent() != this) return;
    if (auto* rgba = dynamic_cast<CCRGBAProtocol*>(child)) {
        if (m_cascadeColor) rgba->updateDisplayedColor(m_displayedColor);
        if (m_cascadeOpacity) rgba->updateDisplayedOpacity(m_displayedOpacity);
    }
}

} // namespace engine
