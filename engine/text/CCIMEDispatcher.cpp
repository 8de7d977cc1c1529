#include "engine/text/CCIMEDispatcher.h"

#include "engine/platform/CCEGLView.h"
#include "engine/text/CCIMEDelegate.h"


#include <algorithm>

namespace engine {

namespace {

std::string lowerAscii(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
    return s;
}

// The view's handlers while the dispatcher is installed. Named types, so the
// dispatcher can tell its own handlers from others' (std::function::target).
struct ImeKeyHandler {
    std::function<void(const std::string&)> previous;
    void operator()(const std::string& keyName) const {
        std::function<void(const std::string&)> next = previous; // outlives a handler change
        if (!CCIMEDispatcher::sharedDispatcher()->dispatchKey(keyName) && next) next(keyName);
    }
};

struct ImeTextHandler {
    std::function<void(const std::string&)> previous;
    void operator()(const std::string& utf8) const {
        std::function<void(const std::string&)> next = previous;
        CCIMEDispatcher* dispatcher = CCIMEDispatcher::sharedDispatcher();
        if (dispatcher->getAttachedDelegate())
            dispatcher->dispatchInsertText(utf8);
        else if (next)
            next(utf8);
    }
};

} // namespace

CCIMEDispatcher* CCIMEDispatcher::sharedDispatcher() {
    // Never destroyed: delegates may outlive static destruction order.
    static CCIMEDispatcher* dispatcher = new CCIMEDispatcher();
    return dispatcher;
}

void CCIMEDispatcher::addDelegate(CCIMEDelegate* delegate) {
    if (delegate && std::find(m_delegates.begin(), m_delegates.end(), delegate) == m_delegates.end())
        m_delegates.push_back(delegate);
}

void CCIMEDispatcher::removeDelegate(CCIMEDelegate* delegate) {
    m_delegates.erase(std::remove(m_delegates.begin(), m_delegates.end(), delegate), m_delegates.end());
    if (m_attached == delegate) {
        // Going away: no more calls into it.
        m_attached = nullptr;
        stopInput();
    }
}

bool CCIMEDispatcher::attachDelegateWithIME(CCIMEDelegate* delegate) {
    if (!delegate || std::find(m_delegates.begin(), m_delegates.end(), delegate) == m_delegates.end())
        return false;
    if (m_attached == delegate) return true;
    if (m_attached && !m_attached->canDetachWithIME()) return false;
    if (!delegate->canAttachWithIME()) return false;
    if (CCIMEDelegate* previous = m_attached) {
        m_attached = nullptr;
        previous->didDetachWithIME();
    }
    m_attached = delegate;
    startInput();
    delegate->didAttachWithIME();
    return true;
}

bool CCIMEDispatcher::detachDelegateWithIME(CCIMEDelegate* delegate) {
    if (!delegate || m_attached != delegate) return false;
    if (!delegate->canDetachWithIME()) return false;
    m_attached = nullptr;
    stopInput();
    delegate->didDetachWithIME();
    return true;
}

void CCIMEDispatcher::dispatchInsertText(const std::string& utf8) {
    if (m_attached && !utf8.empty()) m_attached->insertText(utf8.c_str(), static_cast<int>(utf8.size()));
}

void CCIMEDispatcher::dispatchDeleteBackward() {
    if (m_attached) m_attached->deleteBackward();
}

bool CCIMEDispatcher::dispatchKey(const std::string& keyName) {
    if (!m_attached) return false;
    std::string key = lowerAscii(keyName);
    if (key == "backspace") {
        dispatchDeleteBackward();
        return true;
    }
    if (key == "return" || key == "enter" || key == "keypad enter") {
        dispatchInsertText("\n");
        return true;
    }
    return false;
}

void CCIMEDispatcher::startInput() {
    CCEGLView* view = CCEGLView::sharedOpenGLView();
    // Installed once and left in place (a handler must not replace itself
    // while it runs); re-installed when someone has set other handlers since.
    if (!view->getKeyHandler().target<ImeKeyHandler>())
        view->setKeyHandler(ImeKeyHandler{view->getKeyHandler()});
    if (!view->getTextHandler().target<ImeTextHandler>())
        view->setTextHandler(ImeTextHandler{view->getTextHandler()});
    if (!m_inputOn) view->setIMEKeyboardState(true);
    m_inputOn = true;
}

void CCIMEDispatcher::stopInput() {
    if (m_inputOn) CCEGLView::sharedOpenGLView()->setIMEKeyboardState(false);
    m_inputOn = false;
}

} // namespace engine
