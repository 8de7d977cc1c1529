#include "engine/base/CCAutoreleasePool.h"

#include "engine/base/CCObject.h"

#include <algorithm>

namespace engine {

CCAutoreleasePool* CCAutoreleasePool::sharedPool() {
    static CCAutoreleasePool pool;
    return &pool;
}

void CCAutoreleasePool::addObject(CCObject* object) { m_objects.push_back(object); }

void CCAutoreleasePool::drain() {
    // A release may destroy an object whose destructor autoreleases others;
    // keep draining until the pool stays empty.
    while (!m_objects.empty()) {
        std::vector<CCObject*> batch;
        batch.swap(m_objects);
        for (CCObject* object : batch) object->release();
    }
}

bool CCAutoreleasePool::contains(const CCObject* object) const {
    return std::find(m_objects.begin(), m_objects.end(), object) != m_objects.end();
}

} // namespace engine
