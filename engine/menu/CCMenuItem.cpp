#include "engine/menu/CCMenuItem.h"

namespace engine {

CCMenuItem* CCMenuItem::create() {
    return create(nullptr, nullptr);
}

CCMenuItem* CCMenuItem::create(CCObject* target, SEL_MenuHandler selector) {
    auto* item = new CCMenuItem();
    return autoreleasedIf(item->initWithTarget(target, selector), item);
}

bool CCMenuItem::initWithTarget(CCObject* target, SEL_MenuHandler selector) {
    setAnchorPoint(ccp(0.5f, 0.5f));
    m_cascadeColor = true;
    m_cascadeOpacity = true;
    setTarget(target, selector);
    return true;
}

void CCMenuItem::setTarget(CCObject* target, SEL_MenuHandler selector) {
    m_target = target;
    m_selector = selector;
}

void CCMenuItem::activate() {
    if (!m_enabled || !m_target || !m_selector) return;
    // The handler may drop the last reference to the item (by replacing the
    // scene, say); keep it alive until the call returns.
    CCRef<CCMenuItem> self(this);
    (m_target->*m_selector)(this);
}

void CCMenuItem::selected() {
    m_selected = true;
}

void CCMenuItem::unselected() {
    m_selected = false;
}

void CCMenuItem::setEnabled(bool enabled) {
    m_enabled = enabled;
}

bool CCMenuItem::containsWorldPoint(const CCPoint& worldPoint) {
    CCPoint local = convertToNodeSpace(worldPoint);
    return CCRect(0, 0, m_contentSize.width, m_contentSize.height).containsPoint(local);
}

} // namespace engine
