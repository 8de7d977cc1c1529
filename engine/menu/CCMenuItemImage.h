#pragma once
// A sprite menu item made from image files under the resource root. An image
// that cannot be loaded leaves an empty sprite in its place (the texture
// cache logs the file); an empty or null name means no image for that state.
#include "engine/menu/CCMenuItemSprite.h"

namespace engine {

class CCMenuItemImage : public CCMenuItemSprite {
public:
    static CCMenuItemImage* create();
    static CCMenuItemImage* create(const char* normalImage, const char* selectedImage);
    static CCMenuItemImage* create(const char* normalImage, const char* selectedImage,
                                   const char* disabledImage);
    static CCMenuItemImage* create(const char* normalImage, const char* selectedImage, CCObject* target,
                                   SEL_MenuHandler selector);
    static CCMenuItemImage* create(const char* normalImage, const char* selectedImage,
                                   const char* disabledImage, CCObject* target, SEL_MenuHandler selector);
    bool init() override;
    bool initWithNormalImage(const char* normalImage, const char* selectedImage, const char* disabledImage,
                             CCObject* target, SEL_MenuHandler selector);

    // Replace one state's image with a sprite of a file.

private:
    CCMenuItemImage() = default;
};

} // namespace engine
