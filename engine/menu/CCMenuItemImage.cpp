#include "engine/menu/CCMenuItemImage.h"

#include "engine/nodes/CCSprite.h"

namespace engine {

namespace {
CCNode* spriteOf(const char* file) {
    if (!file || !*file) return nullptr;
    return CCSprite::create(file);
}
} // namespace

CCMenuItemImage* CCMenuItemImage::create() {
    return create(nullptr, nullptr, nullptr, nullptr, nullptr);
}

CCMenuItemImage* CCMenuItemImage::create(const char* normalImage, const char* selectedImage) {
    return create(normalImage, selectedImage, nullptr, nullptr, nullptr);
}

CCMenuItemImage* CCMenuItemImage::create(const char* normalImage, const char* selectedImage,
                                         const char* disabledImage) {
    return create(normalImage, selectedImage, disabledImage, nullptr, nullptr);
}

CCMenuItemImage* CCMenuItemImage::create(const char* normalImage, const char* selectedImage, CCObject* target,
                                         SEL_MenuHandler selector) {
    return create(normalImage, selectedImage, nullptr, target, selector);
}

CCMenuItemImage* CCMenuItemImage::create(const char* normalImage, const char* selectedImage,
                                         const char* disabledImage, CCObject* target,
                                         SEL_MenuHandler selector) {
    auto* item = new CCMenuItemImage();
    return autoreleasedIf(item->initWithNormalImage(normalImage, selectedImage, disabledImage, target, selector), item);
}

bool CCMenuItemImage::init() {
    return initWithNormalImage(nullptr, nullptr, nullptr, nullptr, nullptr);
}

bool CCMenuItemImage::initWithNormalImage(const char* normalImage, const char* selectedImage,
                                          const char* disabledImage, CCObject* target,
                                          SEL_MenuHandler selector) {
    return initWithNormalSprite(spriteOf(normalImage), spriteOf(selectedImage), spriteOf(disabledImage),
                                target, selector);
}

} // namespace engine
