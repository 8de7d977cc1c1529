#pragma once
// An unordered collection that retains its members; iteration follows
// insertion order so that touch sets are delivered predictably.
#include "engine/base/CCObject.h"

#include <vector>

namespace engine {

class CCSet : public CCObject {
public:
    CCSet() = default;
    ~CCSet() override { removeAllObjects(); }
    static CCSet* create() { return autoreleased(new CCSet()); }

    int count() const { return static_cast<int>(m_objects.size()); }
    void addObject(CCObject* object);
    void removeObject(CCObject* object);
    void removeAllObjects();
    bool containsObject(const CCObject* object) const;
    CCObject* anyObject() const { return m_objects.empty() ? nullptr : m_objects.front(); }

    std::vector<CCObject*>::const_iterator begin() const { return m_objects.begin(); }
    std::vector<CCObject*>::const_iterator end() const { return m_objects.end(); }

private:
    std::vector<CCObject*> m_objects;
};

} // namespace engine
