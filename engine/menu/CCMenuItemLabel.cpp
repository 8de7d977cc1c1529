#include "engine/menu/CCMenuItemLabel.h"

#include "engine/base/CCLog.h"
#include "engine/nodes/CCNodeRGBA.h"
#include "engine/text/CCLabelProtocol.h"

namespace engine {

CCMenuItemLabel* CCMenuItemLabel::create(CCNode* label) {
    return create(label, nullptr, nullptr);
}

CCMenuItemLabel* CCMenuItemLabel::create(CCNode* label, CCObject* target, SEL_MenuHandler selector) {
    auto* item = new CCMenuItemLabel();
    return autoreleasedIf(item->initWithLabel(label, target, selector), item);
}

bool CCMenuItemLabel::initWithLabel(CCNode* label, CCObject* target, SEL_MenuHandler selector) {
    if (!initWithTarget(target, selector)) return false;
    setLabel(label);
    return true;
}

void CCMenuItemLabel::setLabel(CCNode* label) {
    if (label == m_label) return;
    if (label && label->getParent()) {
        CCLog("CCMenuItemLabel::setLabel: the label already has a parent; label not changed");
        return;
    }
    if (m_label) {
        // The old label leaves as it was given: its own colour and scale.
        if (auto* rgba = dynamic_cast<CCRGBAProtocol*>(m_label)) rgba->setColor(m_labelColour);
        m_label->setScaleX(m_labelScaleX);
        m_label->setScaleY(m_labelScaleY);
        removeChild(m_label, true);
    }
    m_label = label;
    if (m_label) {
        m_labelScaleX = m_label->getScaleX();
        m_labelScaleY = m_label->getScaleY();
        if (auto* rgba = dynamic_cast<CCRGBAProtocol*>(m_label)) m_labelColour = rgba->getColor();
        addChild(m_label);
        applyLabelColour();
        if (m_selected) selected();
    }
    fitToLabel();
}

void CCMenuItemLabel::fitToLabel() {
    if (!m_label) {
        setContentSize(CCSizeZero);
        return;
    }
    // The label's rectangle (before any selected growth) covers the item's.
    m_label->setPosition(m_label->isIgnoreAnchorPointForPosition() ? CCPointZero
                                                                   : m_label->getAnchorPointInPoints());
    const CCSize& size = m_label->getContentSize();
    setContentSize(CCSize(size.width * m_labelScaleX, size.height * m_labelScaleY));
}

void CCMenuItemLabel::setString(const char* text) {
    auto* label = dynamic_cast<CCLabelProtocol*>(m_label);
    if (!label) {
        CCLog("CCMenuItemLabel::setString: the item's label shows no text; text not changed");
        return;
    }
    label->setString(text);
    fitToLabel();
}

const char* CCMenuItemLabel::getString() const {
    auto* label = dynamic_cast<CCLabelProtocol*>(m_label);
    return label ? label->getString() : "";
}

void CCMenuItemLabel::applyLabelColour() {
    auto* rgba = dynamic_cast<CCRGBAProtocol*>(m_label);
    if (!rgba) return;
    rgba->setColor(m_enabled ? m_labelColour : m_disabledColor);
}

void CCMenuItemLabel::selected() {
    CCMenuItem::selected();
    if (!m_label) return;
    m_label->setScaleX(m_labelScaleX * kSelectedScale);
    m_label->setScaleY(m_labelScaleY * kSelectedScale);
}

void CCMenuItemLabel::unselected() {
    CCMenuItem::unselected();
    if (!m_label) return;
    m_label->setScaleX(m_labelScaleX);
    m_label->setScaleY(m_labelScaleY);
}

void CCMenuItemLabel::setEnabled(bool enabled) {
    if (enabled == m_enabled) return;
    auto* rgba = dynamic_cast<CCRGBAProtocol*>(m_label);
    // The label's colour may have been changed directly since it was taken
    // (a page recolours an unavailable button's layer): keep that colour.
    if (!enabled && rgba) m_labelColour = rgba->getColor();
    CCMenuItem::setEnabled(enabled);
    applyLabelColour();
}

} // namespace engine
