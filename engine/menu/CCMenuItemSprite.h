#pragma once
// A menu item shown by up to three nodes (usually sprites): the normal
// image, the image while selected and the image while disabled. A missing
// selected or disabled image leaves the normal one showing in that state.
// The images are children placed with their lower-left corner at the item's
// origin; the item takes the normal image's size.
#include "engine/menu/CCMenuItem.h"

namespace engine {

class CCMenuItemSprite : public CCMenuItem {
public:
    static CCMenuItemSprite* create(CCNode* normal, CCNode* selected, CCNode* disabled = nullptr);
    static CCMenuItemSprite* create(CCNode* normal, CCNode* selected, CCObject* target,
                                    SEL_MenuHandler selector);
    static CCMenuItemSprite* create(CCNode* normal, CCNode* selected, CCNode* disabled, CCObject* target,
                                    SEL_MenuHandler selector);
    bool initWithNormalSprite(CCNode* normal, CCNode* selected, CCNode* disabled, CCObject* target,
                              SEL_MenuHandler selector);

    // Each replaces the image of its state (null removes it); the old image
    // leaves the item.
    void setNormalImage(CCNode* image);
    void setSelectedImage(CCNode* image);
    void setDisabledImage(CCNode* image);
    CCNode* getNormalImage() const { return m_normalImage; }
    CCNode* getSelectedImage() const { return m_selectedImage; }
    CCNode* getDisabledImage() const { return m_disabledImage; }

    void selected() override;
    void unselected() override;
    void setEnabled(bool enabled) override;

protected:
    CCMenuItemSprite() = default;
    // Shows the one image that fits the item's state.
    void updateImagesVisibility();

private:
    void replaceImage(CCNode*& slot, CCNode* image);

    // Children of the item (the tree holds the references).
    CCNode* m_normalImage = nullptr;
    CCNode* m_selectedImage = nullptr;
    CCNode* m_disabledImage = nullptr;
};

} // namespace engine
