#include "engine/director/CCKeyboardDispatcher.h"

#include "engine/director/CCDirector.h"
#include "engine/director/CCKeyboardDelegate.h"
#include "engine/director/CCTouchDispatcher.h"

#include <algorithm>

namespace engine {

namespace {
void retainDelegate(CCKeyboardDelegate* delegate) {
    if (auto* object = dynamic_cast<CCObject*>(delegate)) object->retain();
}
void releaseDelegate(CCKeyboardDelegate* delegate) {
    if (auto* object = dynamic_cast<CCObject*>(delegate)) object->release();
}
} // namespace

CCKeyboardDispatcher::~CCKeyboardDispatcher() {
    removeAllDelegates();
}

void CCKeyboardDispatcher::addDelegate(CCKeyboardDelegate* delegate) {
    if (!delegate || hasDelegate(delegate)) return;
    retainDelegate(delegate);
    m_delegates.push_back(delegate);
}

void CCKeyboardDispatcher::removeDelegate(CCKeyboardDelegate* delegate) {
    auto found = std::find(m_delegates.begin(), m_delegates.end(), delegate);
    if (found == m_delegates.end()) return;
    m_delegates.erase(found);
    releaseDelegate(delegate);
}

void CCKeyboardDispatcher::removeAllDelegates() {
    std::vector<CCKeyboardDelegate*> old;
    old.swap(m_delegates);
    for (CCKeyboardDelegate* delegate : old)
        releaseDelegate(delegate);
}

bool CCKeyboardDispatcher::hasDelegate(const CCKeyboardDelegate* delegate) const {
    return std::find(m_delegates.begin(), m_delegates.end(), delegate) != m_delegates.end();
}

bool CCKeyboardDispatcher::dispatchKeyPressed(int key) {
    if (!CCDirector::sharedDirector()->getTouchDispatcher()->isDispatchEvents()) return false;
    // A handler may change the registrations (leave its scene, open another):
    // work on a copy, keep each one alive while it runs, skip the removed.
    std::vector<CCKeyboardDelegate*> snapshot(m_delegates.rbegin(), m_delegates.rend());
    for (CCKeyboardDelegate* delegate : snapshot)
        retainDelegate(delegate);
    bool used = false;
    for (CCKeyboardDelegate* delegate : snapshot) {
        if (used || !hasDelegate(delegate)) continue;
        used = delegate->keyPressed(key);
    }
    for (CCKeyboardDelegate* delegate : snapshot)
        releaseDelegate(delegate);
    return used;
}

} // namespace engine
