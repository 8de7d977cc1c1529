#include "gui/UICCTextField.h"

#include "engine/text/ccUTF8.h"

#include <cstring>

namespace gui {

namespace {

// The first `count` code points of `text`, counted as the field counts
// them, so a cut never leaves half a character behind.
std::string firstCodePoints(const std::string& text, std::size_t count) {
    std::size_t end = 0;
    for (std::size_t taken = 0; taken < count && end < text.size(); ++taken)
        engine::ccUTF8Next(text, end);
    return text.substr(0, end);
}

} // namespace

// --- creation

UICCTextField::~UICCTextField() = default;

UICCTextField* UICCTextField::create(const char* placeholder, const char* fontName, float fontSize) {
    auto* field = new UICCTextField();
    if (!engine::autoreleasedIf(field->initWithPlaceHolder(placeholder, fontName, fontSize), field))
        return nullptr;
    // Also before it enters a scene, so a field typed into off-screen still
    // keeps its limit and raises its events.
    field->setDelegate(field);
    return field;
}

// --- password

void UICCTextField::setPasswordEnabled(bool enabled) {
    if (enabled == m_passwordEnabled) return;
    m_passwordEnabled = enabled;
    if (enabled)
        maskText();
    else
        updateDisplayedText(); // the real text again
}

void UICCTextField::setPasswordStyleText(const char* styleText) {
    if (!styleText || std::strlen(styleText) != 1) return;
    unsigned char c = static_cast<unsigned char>(styleText[0]);
    if (c < 33 || c > 126) return;
    m_passwordStyleText.assign(1, styleText[0]); // one character, checked above
    maskText();
}

void UICCTextField::maskText() {
    if (!m_passwordEnabled || isShowingPlaceHolder()) return;
    std::string masked;
    for (std::size_t i = 0; i < static_cast<std::size_t>(getCharCount()); ++i)
        masked += m_passwordStyleText;
    // Straight to the label: the real text stays the field's own.
    CCLabelTTF::setString(masked.c_str());
}

// --- input method

void UICCTextField::setString(const char* text) {
    CCTextFieldTTF::setString(text);
    maskText();
}

void UICCTextField::insertText(const char* text, int length) {
    if (!text || length <= 0) return;
    std::string typed(text, strnlen(text, static_cast<std::size_t>(length)));
    // The limit is on the text; a Return key after it still ends the input.
    std::size_t newline = typed.find('\n');
    std::string inserted = typed.substr(0, newline);
    std::string rest = newline == std::string::npos ? std::string() : typed.substr(newline);
    if (!inserted.empty() && m_maxLengthEnabled) {
        std::size_t limit = m_maxLength > 0 ? static_cast<std::size_t>(m_maxLength) : 0;
        std::size_t current = static_cast<std::size_t>(getCharCount());
        if (current + engine::ccUTF8Length(inserted) > limit) {
            inserted = firstCodePoints(inserted, current < limit ? limit - current : 0);
            // Nothing fits: refused, as a full field refuses a keystroke.
            if (inserted.empty()) m_insertPending = true;
        }
    }
    inserted += rest;
    if (inserted.empty()) return;
    CCTextFieldTTF::insertText(inserted.c_str(), static_cast<int>(inserted.size()));
    maskText();
}

void UICCTextField::deleteBackward() {
    CCTextFieldTTF::deleteBackward();
    maskText();
}

void UICCTextField::onEnter() {
    CCTextFieldTTF::onEnter();
    setDelegate(this);
}

// --- delegate

bool UICCTextField::onTextFieldAttachWithIME(engine::CCTextFieldTTF*) {
    m_attachPending = true;
    return false;
}

bool UICCTextField::onTextFieldDetachWithIME(engine::CCTextFieldTTF*) {
    m_detachPending = true;
    return false;
}

bool UICCTextField::onTextFieldInsertText(engine::CCTextFieldTTF*, const char* text, int length) {
    if (length == 1 && text[0] == '\n') return false;
    m_insertPending = true;
    return m_maxLengthEnabled && getCharCount() >= m_maxLength;
}

bool UICCTextField::onTextFieldDeleteBackward(engine::CCTextFieldTTF*, const char*, int) {
    m_deletePending = true;
    return false;
}

} // namespace gui
