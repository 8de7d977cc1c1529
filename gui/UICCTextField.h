#pragma once
// The text node of UITextField: the engine's text field, acting as its own
// delegate. The delegate calls run inside the keyboard event, so they only
// raise flags (attach, detach, insert, delete) and decide; the widget turns
// the flags into handler calls on its next frame.
//
// Length limit: the field takes at most maxLength characters (code points,
// whatever their width in bytes); inserted text is cut to the room left. Password mode shows the style character once per character
// of the real text; getString still answers the real text.
//
// Index: creation, length limit, password, pending events, input method,
// delegate.
#include "engine/text/CCTextFieldTTF.h"

#include <string>

namespace gui {

class UICCTextField : public engine::CCTextFieldTTF, public engine::CCTextFieldDelegate {
public:
    // --- creation
    ~UICCTextField() override;
    static UICCTextField* create(const char* placeholder, const char* fontName, float fontSize);

    // --- length limit
    void setMaxLengthEnabled(bool enabled) { m_maxLengthEnabled = enabled; }
    bool isMaxLengthEnabled() const { return m_maxLengthEnabled; }
    void setMaxLength(int length) { m_maxLength = length; }
    int getMaxLength() const { return m_maxLength; }

    // --- password
    void setPasswordEnabled(bool enabled);
    bool isPasswordEnabled() const { return m_passwordEnabled; }
    // Only one printable, non-space ASCII character is taken; anything else
    // keeps the current style.
    void setPasswordStyleText(const char* styleText);
    const char* getPasswordStyleText() const { return m_passwordStyleText.c_str(); }

    // --- pending events, each raised at most once per frame
    bool isAttachPending() const { return m_attachPending; }
    bool isDetachPending() const { return m_detachPending; }
    bool isInsertPending() const { return m_insertPending; }
    bool isDeletePending() const { return m_deletePending; }
    void setAttachPending(bool pending) { m_attachPending = pending; }
    void setDetachPending(bool pending) { m_detachPending = pending; }
    void setInsertPending(bool pending) { m_insertPending = pending; }
    void setDeletePending(bool pending) { m_deletePending = pending; }

    // --- input method
    void openIME() { attachWithIME(); }
    void closeIME() { detachWithIME(); }
    void setString(const char* text) override;
    void insertText(const char* text, int length) override;
    void deleteBackward() override;
    void onEnter() override;

    // --- delegate (true refuses)
    bool onTextFieldAttachWithIME(engine::CCTextFieldTTF* sender) override;
    bool onTextFieldDetachWithIME(engine::CCTextFieldTTF* sender) override;
    bool onTextFieldInsertText(engine::CCTextFieldTTF* sender, const char* text, int length) override;
    bool onTextFieldDeleteBackward(engine::CCTextFieldTTF* sender, const char* deletedText,
                                   int length) override;

protected:
    UICCTextField() = default;

private:
    // Shows the style character in place of each character of a non-empty
    // field in password mode.
    void maskText();

    bool m_maxLengthEnabled = false;
    int m_maxLength = 0;
    bool m_passwordEnabled = false;
    std::string m_passwordStyleText = "*";
    bool m_attachPending = false;
    bool m_detachPending = false;
    bool m_insertPending = false;
    bool m_deletePending = false;
};

} // namespace gui
