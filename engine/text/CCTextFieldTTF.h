#pragma once
// An editable text label: typed text is appended, Backspace removes the last
// character (one whole UTF-8 code point), Return ends the input (it detaches
// the field from the keyboard). An empty field shows its placeholder in the
// placeholder colour. A delegate may watch and refuse each step.
#include "engine/text/CCIMEDelegate.h"
#include "engine/text/CCLabelTTF.h"

namespace engine {

class CCTextFieldTTF;

// Each call returns true to refuse what is about to happen.
class CCTextFieldDelegate {
public:
    virtual ~CCTextFieldDelegate() = default;
    virtual bool onTextFieldAttachWithIME(CCTextFieldTTF* sender) {
        (void)sender;
        return false;
    }
    virtual bool onTextFieldDetachWithIME(CCTextFieldTTF* sender) {
        (void)sender;
        return false;
    }
    // `text` is `length` bytes; "\n" is the Return key (refusing it keeps the
    // field attached).
    virtual bool onTextFieldInsertText(CCTextFieldTTF* sender, const char* text, int length) {
        (void)sender, (void)text, (void)length;
        return false;
    }
    // `deletedText` is the code point about to go, `length` bytes.
    virtual bool onTextFieldDeleteBackward(CCTextFieldTTF* sender, const char* deletedText, int length) {
        (void)sender, (void)deletedText, (void)length;
        return false;
    }
    // Refusing skips drawing the field this frame.
    virtual bool onDraw(CCTextFieldTTF* sender) {
        (void)sender;
        return false;
    }
};

class CCTextFieldTTF : public CCLabelTTF, public CCIMEDelegate {
public:
    ~CCTextFieldTTF() override;

    static CCTextFieldTTF* textFieldWithPlaceHolder(const char* placeholder, const char* fontName,
                                                    float fontSize);
    static CCTextFieldTTF* textFieldWithPlaceHolder(const char* placeholder, const CCSize& dimensions,
                                                    CCTextAlignment alignment, const char* fontName,
                                                    float fontSize);
    bool initWithPlaceHolder(const char* placeholder, const char* fontName, float fontSize);
    bool initWithPlaceHolder(const char* placeholder, const CCSize& dimensions, CCTextAlignment alignment,
                             const char* fontName, float fontSize);

    // Not retained; null for none.
    void setDelegate(CCTextFieldDelegate* delegate) { m_delegate = delegate; }
    CCTextFieldDelegate* getDelegate() const { return m_delegate; }

    // The input text (not the placeholder); setting it does not ask the delegate.
    void setString(const char* text) override;
    const char* getString() const override { return m_inputText.c_str(); }
    // Characters (code points) of the input text.
    int getCharCount() const { return m_charCount; }
    void setPlaceHolder(const char* text);
    const char* getPlaceHolder() const { return m_placeholder.c_str(); }
    void setColorSpaceHolder(const ccColor3B& color) { m_placeholderColor = color; }
    const ccColor3B& getColorSpaceHolder() const { return m_placeholderColor; }
    // True while the placeholder is what the label shows.
    bool isShowingPlaceHolder() const { return m_inputText.empty(); }

    // --- input method
    bool attachWithIME() override;
    bool detachWithIME() override;
    bool canAttachWithIME() override;
    bool canDetachWithIME() override;
    // Appends the text up to a first "\n"; a "\n" then detaches the field
    // unless the delegate refuses it.
    void insertText(const char* text, int length) override;
    void deleteBackward() override;
    const char* getContentText() override { return m_inputText.c_str(); }

    // A field that leaves the running scene lets go of the keyboard.
    void onExit() override;
    void draw() override;

    static constexpr ccColor3B kDefaultPlaceholderColor{127, 127, 127};

protected:
    CCTextFieldTTF() = default;
    // Shows the input text, or the placeholder when it is empty.
    void updateDisplayedText();

    CCTextFieldDelegate* m_delegate = nullptr;
    std::string m_inputText;
    std::string m_placeholder;
    int m_charCount = 0;
    ccColor3B m_placeholderColor = kDefaultPlaceholderColor;
};

} // namespace engine
