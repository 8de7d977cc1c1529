#include "engine/menu/CCMenuItemFont.h"

#include "engine/base/CCLog.h"
#include "engine/text/CCLabelTTF.h"

namespace engine {

namespace {
unsigned int g_fontSize = CCMenuItemFont::kDefaultFontSize;
std::string g_fontName = CCMenuItemFont::kDefaultFontName;
} // namespace

void CCMenuItemFont::setFontSize(unsigned int size) {
    if (size == 0) {
        CCLog("CCMenuItemFont::setFontSize: size 0 refused; keeping %u", g_fontSize);
        return;
    }
    g_fontSize = size;
}

unsigned int CCMenuItemFont::fontSize() {
    return g_fontSize;
}

void CCMenuItemFont::setFontName(const char* name) {
    g_fontName = name && *name ? name : kDefaultFontName;
}

const char* CCMenuItemFont::fontName() {
    return g_fontName.c_str();
}

CCMenuItemFont* CCMenuItemFont::create(const char* text) {
    return create(text, nullptr, nullptr);
}

CCMenuItemFont* CCMenuItemFont::create(const char* text, CCObject* target, SEL_MenuHandler selector) {
    auto* item = new CCMenuItemFont();
    return autoreleasedIf(item->initWithString(text, target, selector), item);
}

bool CCMenuItemFont::initWithString(const char* text, CCObject* target, SEL_MenuHandler selector) {
    m_fontSize = g_fontSize;
    m_fontName = g_fontName;
    CCLabelTTF* label =
        CCLabelTTF::create(text ? text : "", m_fontName.c_str(), static_cast<float>(m_fontSize));
    if (!label) return false;
    return initWithLabel(label, target, selector);
}

void CCMenuItemFont::setFontSizeObj(unsigned int size) {
    if (size == 0) {
        CCLog("CCMenuItemFont::setFontSizeObj: size 0 refused; keeping %u", m_fontSize);
        return;
    }
    m_fontSize = size;
    refreshLabel();
}

void CCMenuItemFont::refreshLabel() {
    auto* label = dynamic_cast<CCLabelTTF*>(getLabel());
    if (!label) return;
    label->setFontName(m_fontName.c_str());
    label->setFontSize(static_cast<float>(m_fontSize));
    fitToLabel();
}

} // namespace engine
