#include "engine/text/CCTextFieldTTF.h"

#include "engine/text/ccUTF8.h"

#include <cstring>

namespace engine {

CCTextFieldTTF::~CCTextFieldTTF() = default;

CCTextFieldTTF* CCTextFieldTTF::textFieldWithPlaceHolder(const char* placeholder, const char* fontName,
                                                         float fontSize) {
    return autoreleasedIf(new CCTextFieldTTF(), [&](CCTextFieldTTF* f) {
        return f->initWithPlaceHolder(placeholder, fontName, fontSize);
    });
}

CCTextFieldTTF* CCTextFieldTTF::textFieldWithPlaceHolder(const char* placeholder, const CCSize& dimensions,
                                                         CCTextAlignment alignment, const char* fontName,
                                                         float fontSize) {
    return autoreleasedIf(new CCTextFieldTTF(), [&](CCTextFieldTTF* f) {
        return f->initWithPlaceHolder(placeholder, dimensions, alignment, fontName, fontSize);
    });
}

bool CCTextFieldTTF::initWithPlaceHolder(const char* placeholder, const char* fontName, float fontSize) {
    return initWithPlaceHolder(placeholder, CCSizeZero, kCCTextAlignmentLeft, fontName, fontSize);
}

bool CCTextFieldTTF::initWithPlaceHolder(const char* placeholder, const CCSize& dimensions,
                                         CCTextAlignment alignment, const char* fontName, float fontSize) {
    m_placeholder = placeholder ? placeholder : "";
    m_inputText.clear();
    m_charCount = 0;
    return CCLabelTTF::initWithString(m_placeholder.c_str(), fontName, fontSize, dimensions, alignment);
}

void CCTextFieldTTF::setString(const char* text) {
    m_inputText = text ? text : "";
    m_charCount = static_cast<int>(ccUTF8Length(m_inputText));
    updateDisplayedText();
}

void CCTextFieldTTF::setPlaceHolder(const char* text) {
    m_placeholder = text ? text : "";
    if (m_inputText.empty()) updateDisplayedText();
}

void CCTextFieldTTF::updateDisplayedText() {
    CCLabelTTF::setString(m_inputText.empty() ? m_placeholder.c_str() : m_inputText.c_str());
}

bool CCTextFieldTTF::attachWithIME() {
    return CCIMEDelegate::attachWithIME();
}

bool CCTextFieldTTF::detachWithIME() {
    return CCIMEDelegate::detachWithIME();
}

bool CCTextFieldTTF::canAttachWithIME() {
    return !(m_delegate && m_delegate->onTextFieldAttachWithIME(this));
}

bool CCTextFieldTTF::canDetachWithIME() {
    return !(m_delegate && m_delegate->onTextFieldDetachWithIME(this));
}

void CCTextFieldTTF::insertText(const char* text, int length) {
    if (!text || length <= 0) return;
    // The bytes given, up to a NUL if one comes first.
    std::string typed(text, strnlen(text, static_cast<std::size_t>(length)));
    std::size_t newline = typed.find('\n');
    std::string inserted = typed.substr(0, newline);
    if (!inserted.empty()) {
        if (m_delegate &&
            m_delegate->onTextFieldInsertText(this, inserted.c_str(), static_cast<int>(inserted.size())))
            return;
        m_inputText += inserted;
        m_charCount += static_cast<int>(ccUTF8Length(inserted));
        updateDisplayedText();
    }
    if (newline == std::string::npos) return;
    if (m_delegate && m_delegate->onTextFieldInsertText(this, "\n", 1)) return;
    detachWithIME();
}

void CCTextFieldTTF::deleteBackward() {
    if (m_inputText.empty()) return;
    std::size_t start = ccUTF8LastCharStart(m_inputText);
    std::string deleted = m_inputText.substr(start);
    if (m_delegate &&
        m_delegate->onTextFieldDeleteBackward(this, deleted.c_str(), static_cast<int>(deleted.size())))
        return;
    m_inputText.erase(start);
    --m_charCount;
    updateDisplayedText();
}

void CCTextFieldTTF::onExit() {
    if (isAttachedWithIME()) detachWithIME();
    CCLabelTTF::onExit();
}

void CCTextFieldTTF::draw() {
    if (m_delegate && m_delegate->onDraw(this)) return;
    if (isShowingPlaceHolder())
        drawText(
            ccColor4B{m_placeholderColor.r, m_placeholderColor.g, m_placeholderColor.b, m_displayedOpacity});
    else
        CCLabelTTF::draw();
}

} // namespace engine
