#pragma once
// Routes the keyboard to the attached CCIMEDelegate.
//
// While a delegate is attached, SDL text input is on and the dispatcher holds
// the view's text and key handlers: typed text goes to the delegate's
// insertText, the Backspace key to deleteBackward and the Return key (also
// the keypad's Enter) becomes the text "\n". Other keys still reach the key
// handler that was installed before, and both handlers are given back when
// the delegate detaches. Automation reaches the delegate the same way, through
// CCEGLView::dispatchKey and dispatchText.
#include <functional>
#include <string>
#include <vector>

namespace engine {

class CCIMEDelegate;

class CCIMEDispatcher {
public:
    static CCIMEDispatcher* sharedDispatcher();
    CCIMEDispatcher(const CCIMEDispatcher&) = delete;
    CCIMEDispatcher& operator=(const CCIMEDispatcher&) = delete;

    // Delegates register themselves when made and leave when destroyed.
    void addDelegate(CCIMEDelegate* delegate);
    void removeDelegate(CCIMEDelegate* delegate);

    // Detaches the attached delegate first; false when either one refuses.
    bool attachDelegateWithIME(CCIMEDelegate* delegate);
    // False when `delegate` is not attached or refuses.
    bool detachDelegateWithIME(CCIMEDelegate* delegate);
    CCIMEDelegate* getAttachedDelegate() const { return m_attached; }

    // What the view's handlers call while a delegate is attached.
    void dispatchInsertText(const std::string& utf8);
    void dispatchDeleteBackward();
    // True when the key was for the input method (Backspace, Return).
    bool dispatchKey(const std::string& keyName);

private:
    CCIMEDispatcher() = default;
    void startInput();
    void stopInput();

    std::vector<CCIMEDelegate*> m_delegates; // not retained
    CCIMEDelegate* m_attached = nullptr;
    bool m_inputOn = false;
    std::function<void(const std::string&)> m_savedKeyHandler, m_savedTextHandler;
};

} // namespace engine
