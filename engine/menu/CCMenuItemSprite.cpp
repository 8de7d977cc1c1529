#include "engine/menu/CCMenuItemSprite.h"

#include "engine/base/CCLog.h"

namespace engine {

CCMenuItemSprite* CCMenuItemSprite::create(CCNode* normal, CCNode* selected, CCNode* disabled) {
    return create(normal, selected, disabled, nullptr, nullptr);
}

CCMenuItemSprite* CCMenuItemSprite::create(CCNode* normal, CCNode* selected, CCObject* target,
                                           SEL_MenuHandler selector) {
    return create(normal, selected, nullptr, target, selector);
}

CCMenuItemSprite* CCMenuItemSprite::create(CCNode* normal, CCNode* selected, CCNode* disabled,
                                           CCObject* target, SEL_MenuHandler selector) {
    auto* item = new CCMenuItemSprite();
    return autoreleasedIf(item->initWithNormalSprite(normal, selected, disabled, target, selector), item);
}

bool CCMenuItemSprite::initWithNormalSprite(CCNode* normal, CCNode* selected, CCNode* disabled,
                                            CCObject* target, SEL_MenuHandler selector) {
    if (!initWithTarget(target, selector)) return false;
    setNormalImage(normal);
    setSelectedImage(selected);
    setDisabledImage(disabled);
    return true;
}

void CCMenuItemSprite::replaceImage(CCNode*& slot, CCNode* image) {
    if (image == slot) return;
    if (image && image->getParent()) {
        // One node cannot show in two places; keep the old image.
        CCLog("CCMenuItemSprite: the image already has a parent; image not changed");
        return;
    }
    if (slot) removeChild(slot, true);
    slot = image;
    if (image) {
        image->setAnchorPoint(ccp(0, 0));
        image->setPosition(0, 0);
        addChild(image);
    }
}

void CCMenuItemSprite::setNormalImage(CCNode* image) {
    replaceImage(m_normalImage, image);
    setContentSize(m_normalImage ? m_normalImage->getContentSize() : CCSizeZero);
    updateImagesVisibility();
}

void CCMenuItemSprite::setSelectedImage(CCNode* image) {
    replaceImage(m_selectedImage, image);
    updateImagesVisibility();
}

void CCMenuItemSprite::setDisabledImage(CCNode* image) {
    replaceImage(m_disabledImage, image);
    updateImagesVisibility();
}

void CCMenuItemSprite::selected() {
    CCMenuItem::selected();
    updateImagesVisibility();
}

void CCMenuItemSprite::unselected() {
    CCMenuItem::unselected();
    updateImagesVisibility();
}

void CCMenuItemSprite::setEnabled(bool enabled) {
    CCMenuItem::setEnabled(enabled);
    updateImagesVisibility();
}

void CCMenuItemSprite::updateImagesVisibility() {
    CCNode* shown = m_normalImage;
    if (!m_enabled && m_disabledImage)
        shown = m_disabledImage;
    else if (m_enabled && m_selected && m_selectedImage)
        shown = m_selectedImage;
    for (CCNode* image : {m_normalImage, m_selectedImage, m_disabledImage})
        if (image) image->setVisible(image == shown);
}

} // namespace engine
