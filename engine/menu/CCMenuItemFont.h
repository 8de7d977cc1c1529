#pragma once
// A menu item that shows a line of text in a system font (a CCLabelTTF).
//
// The font name and size are class-wide settings read when an item is
// created: changing them affects only items created afterwards. An item's
// own font size can be changed with setFontSizeObj.
#include "engine/menu/CCMenuItemLabel.h"

#include <string>

namespace engine {

class CCMenuItemFont : public CCMenuItemLabel {
public:
    static CCMenuItemFont* create(const char* text);
    static CCMenuItemFont* create(const char* text, CCObject* target, SEL_MenuHandler selector);
    bool initWithString(const char* text, CCObject* target, SEL_MenuHandler selector);

    // Class-wide settings for items created from now on. Sizes of 0 or less
    // are refused with a log line; an empty name means the default font.
    static void setFontSize(unsigned int size);
    static unsigned int fontSize();
    static void setFontName(const char* name);
    static const char* fontName();

    // This item's font.
    void setFontSizeObj(unsigned int size);
    unsigned int fontSizeObj() const { return m_fontSize; }

    static constexpr unsigned int kDefaultFontSize = 32;
    static constexpr const char* kDefaultFontName = "Marker Felt";

private:
    CCMenuItemFont() = default;
    void refreshLabel();

    unsigned int m_fontSize = kDefaultFontSize;
    std::string m_fontName = kDefaultFontName;
};

} // namespace engine
