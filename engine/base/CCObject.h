#pragma once
// Reference counting shared by every engine and widget object.
//
// `create` functions hand back an autoreleased object (count 1, released when
// the pool drains at the end of the frame); whoever keeps it holds it in a
// CCRef, or calls `retain` where a container does its own counting.

namespace engine {

class CCObject {
public:
    CCObject();
    CCObject(const CCObject&) = delete;
    CCObject& operator=(const CCObject&) = delete;
    virtual ~CCObject();

    void retain();
    void release();
    CCObject* autorelease();
    unsigned int retainCount() const { return m_referenceCount; }
    bool isSingleReference() const { return m_referenceCount == 1; }

    // Per-frame hook for scheduler targets; does nothing unless overridden.
    virtual void update(float /*dt*/) {}

    // Number of CCObjects alive in the process: leak checks compare it.
    static long liveObjectCount();

private:
    unsigned int m_referenceCount = 1;
};

// The end of a two-phase `create`: `object`, just made (count 1), handed to
// the autorelease pool when its initialisation succeeded; otherwise released
// (a reference-counted object is never deleted directly) and none returned.
template <class T> T* autoreleasedIf(bool initialised, T* object) {
    if (!object) return nullptr;
    if (!initialised) {
        object->release();
        return nullptr;
    }
    object->autorelease();
    return object;
}

// The same, running the initialisation itself: `init(object)` answers
// whether it succeeded. Lets a `create` be one expression.
template <class T, class Init> T* autoreleasedIf(T* object, Init init) {
    return autoreleasedIf(object && init(object), object);
}

// The end of a `create` whose object has no initialisation that can fail.
template <class T> T* autoreleased(T* object) {
    return autoreleasedIf(true, object);
}

// Keeps a retain on an object for as long as the pointer lives.
template <class T> class CCRef {
public:
    CCRef() = default;
    CCRef(T* object) : m_object(object) {
        if (m_object) m_object->retain();
    }
    CCRef(const CCRef& other) : CCRef(other.m_object) {}
    CCRef(CCRef&& other) noexcept : m_object(other.m_object) { other.m_object = nullptr; }
    ~CCRef() { reset(); }
    CCRef& operator=(const CCRef& other) {
        CCRef copy(other);
        swap(copy);
        return *this;
    }
    CCRef& operator=(CCRef&& other) noexcept {
        CCRef moved(static_cast<CCRef&&>(other));
        swap(moved);
        return *this;
    }
    CCRef& operator=(T* object) {
        CCRef copy(object);
        swap(copy);
        return *this;
    }
    void reset() {
        T* old = m_object;
        m_object = nullptr;
        if (old) old->release();
    }
    void swap(CCRef& other) noexcept {
        T* t = m_object;
        m_object = other.m_object;
        other.m_object = t;
    }
    T* get() const { return m_object; }
    T* operator->() const { return m_object; }
    T& operator*() const { return *m_object; }
    explicit operator bool() const { return m_object != nullptr; }
    bool operator==(const T* other) const { return m_object == other; }

private:
    T* m_object = nullptr;
};

// Selector types: a member operation of a CCObject-derived target, called
// through a type-erased pointer. Targets are never retained.
class CCNode;
using SEL_SCHEDULE = void (CCObject::*)(float);
using SEL_CallFunc = void (CCObject::*)();
using SEL_CallFuncN = void (CCObject::*)(CCNode*);
using SEL_MenuHandler = void (CCObject::*)(CCObject*);

#define schedule_selector(_SELECTOR) static_cast<::engine::SEL_SCHEDULE>(&_SELECTOR)
#define callfunc_selector(_SELECTOR) static_cast<::engine::SEL_CallFunc>(&_SELECTOR)
#define callfuncN_selector(_SELECTOR) static_cast<::engine::SEL_CallFuncN>(&_SELECTOR)
#define menu_selector(_SELECTOR) static_cast<::engine::SEL_MenuHandler>(&_SELECTOR)

} // namespace engine
