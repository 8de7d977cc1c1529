#pragma once
// An ordered list that retains what it holds.
#include "engine/base/CCObject.h"

#include <vector>

namespace engine {

class CCArray : public CCObject {
public:
    CCArray() = default;
    ~CCArray() override;

    static CCArray* create();
    // Creates from a null-terminated argument list.
    static CCArray* create(CCObject* first, ...);

    unsigned int count() const { return static_cast<unsigned int>(m_objects.size()); }
    // Out-of-range indices answer none.
    CCObject* objectAtIndex(unsigned int index) const;
    CCObject* lastObject() const { return m_objects.empty() ? nullptr : m_objects.back(); }
    bool containsObject(const CCObject* object) const;
    // UINT_MAX when absent.
    unsigned int indexOfObject(const CCObject* object) const;

    void addObject(CCObject* object);
    void insertObject(CCObject* object, unsigned int index);
    // Removes the first occurrence.
    void removeObject(CCObject* object);
    void removeObjectAtIndex(unsigned int index);
    void removeLastObject();
    void removeAllObjects();

    std::vector<CCObject*>::const_iterator begin() const { return m_objects.begin(); }
    std::vector<CCObject*>::const_iterator end() const { return m_objects.end(); }
    const std::vector<CCObject*>& data() const { return m_objects; }

private:
    std::vector<CCObject*> m_objects;
};

} // namespace engine
