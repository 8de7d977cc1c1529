#pragma once
#include <cstddef>
#include <vector>

namespace engine {

class CCObject;

// Objects handed out by `create` wait here for one release at the end of the
// frame. An object autoreleased twice is released twice.
class CCAutoreleasePool {
public:
    static CCAutoreleasePool* sharedPool();

    void addObject(CCObject* object);
    // Releases everything added so far, including objects added while draining.
    void drain();
    size_t pendingCount() const { return m_objects.size(); }
    bool contains(const CCObject* object) const;

private:
    std::vector<CCObject*> m_objects;
};

} // namespace engine
