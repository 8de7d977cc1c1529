#pragma once
// Something that takes typed text: it attaches to the input method (the
// keyboard) through CCIMEDispatcher, and while attached receives the text
// the reader types and their backspaces. One delegate is attached at a time.
#include <string>

namespace engine {

class CCIMEDelegate {
public:
    virtual ~CCIMEDelegate();

    // True when the delegate is attached afterwards.
    virtual bool attachWithIME();
    // True when the delegate is detached afterwards.
    virtual bool detachWithIME();
    bool isAttachedWithIME() const;

    // Asked before attaching and detaching; false refuses.
    virtual bool canAttachWithIME() { return false; }
    virtual bool canDetachWithIME() { return false; }
    // Told after the change.
    virtual void didAttachWithIME() {}
    virtual void didDetachWithIME() {}

    // Typed text, UTF-8 (`length` bytes of it). "\n" is the Return key.
    virtual void insertText(const char* text, int length) {
        (void)text;
        (void)length;
    }
    // The Backspace key.
    virtual void deleteBackward() {}
    // The text being edited.
    virtual const char* getContentText() { return ""; }

protected:
    CCIMEDelegate();
};

} // namespace engine
