#include "engine/base/CCObject.h"

#include "engine/base/CCAutoreleasePool.h"

#include <cassert>

namespace engine {

namespace {
long g_liveObjects = 0;
}

CCObject::CCObject() { ++g_liveObjects; }

CCObject::~CCObject() { --g_liveObjects; }

void CCObject::retain() {
    assert(m_referenceCount > 0);
    ++m_referenceCount;
}

void CCObject::release() {
    assert(m_referenceCount > 0);
    if (--m_referenceCount == 0) delete this;
}

CCObject* CCObject::autorelease() {
    CCAutoreleasePool::sharedPool()->addObject(this);
    return this;
}

long CCObject::liveObjectCount() { return g_liveObjects; }

} // namespace engine
