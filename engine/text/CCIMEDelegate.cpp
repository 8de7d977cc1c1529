#include "engine/text/CCIMEDelegate.h"

#include "engine/text/CCIMEDispatcher.h"

namespace engine {

CCIMEDelegate::CCIMEDelegate() {
    CCIMEDispatcher::sharedDispatcher()->addDelegate(this);
}

CCIMEDelegate::~CCIMEDelegate() {
    CCIMEDispatcher::sharedDispatcher()->removeDelegate(this);
}

bool CCIMEDelegate::attachWithIME() {
    return CCIMEDispatcher::sharedDispatcher()->attachDelegateWithIME(this);
}

bool CCIMEDelegate::detachWithIME() {
    return CCIMEDispatcher::sharedDispatcher()->detachDelegateWithIME(this);
}

bool CCIMEDelegate::isAttachedWithIME() const {
    return CCIMEDispatcher::sharedDispatcher()->getAttachedDelegate() == this;
}

} // namespace engine
