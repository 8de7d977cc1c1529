#pragma once
// Delivers key presses to handlers, the one registered last first, until one
// answers that it used the key. Like touches, keys are dropped while the
// touch dispatcher is off (a transition runs), so a key cannot act on a scene
// that is on its way out.
//
// Handlers are retained while registered (when they are CCObjects); a handler
// added during delivery sees the next key, one removed is not called again.
#include "engine/base/CCObject.h"

#include <vector>

namespace engine {

class CCKeyboardDelegate;

class CCKeyboardDispatcher : public CCObject {
public:
    ~CCKeyboardDispatcher() override;

    void addDelegate(CCKeyboardDelegate* delegate);
    void removeDelegate(CCKeyboardDelegate* delegate);
    void removeAllDelegates();
    bool hasDelegate(const CCKeyboardDelegate* delegate) const;

    // True when a handler used the key. The view is the only caller besides tests.
    bool dispatchKeyPressed(int key);

private:
    std::vector<CCKeyboardDelegate*> m_delegates;
};

} // namespace engine
