#include "engine/base/CCArray.h"

#include <algorithm>
#include <climits>
#include <cstdarg>

namespace engine {

CCArray::~CCArray() { removeAllObjects(); }

CCArray* CCArray::create() {
    return autoreleased(new CCArray());
}

CCArray* CCArray::create(CCObject* first, ...) {
    CCArray* array = create();
    va_list args;
    va_start(args, first);
    for (CCObject* object = first; object; object = va_arg(args, CCObject*)) array->addObject(object);
    va_end(args);
    return array;
}

CCObject* CCArray::objectAtIndex(unsigned int index) const {
    return index < m_objects.size() ? m_objects[index] : nullptr;
}

bool CCArray::containsObject(const CCObject* object) const { return indexOfObject(object) != UINT_MAX; }

unsigned int CCArray::indexOfObject(const CCObject* object) const {
    auto it = std::find(m_objects.begin(), m_objects.end(), object);
    return it == m_objects.end() ? UINT_MAX : static_cast<unsigned int>(it - m_objects.begin());
}

void CCArray::addObject(CCObject* object) {
    if (!object) return;
    object->retain();
    m_objects.push_back(object);
}

void CCArray::insertObject(CCObject* object, unsigned int index) {
    if (!object) return;
    object->retain();
    index = std::min<unsigned int>(index, count());
    m_objects.insert(m_objects.begin() + index, object);
}

void CCArray::removeObject(CCObject* object) {
    unsigned int index = indexOfObject(object);
    if (index != UINT_MAX) removeObjectAtIndex(index);
}

void CCArray::removeObjectAtIndex(unsigned int index) {
    if (index >= m_objects.size()) return;
    CCObject* object = m_objects[index];
    m_objects.erase(m_objects.begin() + index);
    object->release();
}

void CCArray::removeLastObject() {
    if (!m_objects.empty()) removeObjectAtIndex(count() - 1);
}

void CCArray::removeAllObjects() {
    // Release after emptying: a destructor may look at this array again.
    std::vector<CCObject*> old;
    old.swap(m_objects);
    for (CCObject* object : old) object->release();
}

} // namespace engine
