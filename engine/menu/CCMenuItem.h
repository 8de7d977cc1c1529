#pragma once
// A thing a menu can hold: it calls its target's menu handler, with itself
// as sender, when activated. The menu decides when (a touch that began on the
// item is lifted over it); the item only knows its looks: normal, selected
// (a finger rests on it) and disabled.
//
// Colour and opacity cascade to the item's children (its images or label).
#include "engine/base/CCObject.h"
#include "engine/nodes/CCNodeRGBA.h"

namespace engine {

class CCMenuItem : public CCNodeRGBA {
public:
    // An item that calls `selector` on `target` (not retained) when activated;
    // either may be null for an item that does nothing.
    static CCMenuItem* create();
    static CCMenuItem* create(CCObject* target, SEL_MenuHandler selector);
    bool init() override { return initWithTarget(nullptr, nullptr); }
    bool initWithTarget(CCObject* target, SEL_MenuHandler selector);

    void setTarget(CCObject* target, SEL_MenuHandler selector);

    // Calls the handler when the item is enabled.
    virtual void activate();
    virtual void selected();
    virtual void unselected();
    bool isSelected() const { return m_selected; }
    virtual void setEnabled(bool enabled);
    bool isEnabled() const { return m_enabled; }

    // Whether a point in world space lies on the item (its content rectangle,
    // through its full transform).
    bool containsWorldPoint(const CCPoint& worldPoint);
    // The item's rectangle in its parent's space.
    CCRect rect() { return boundingBox(); }

protected:
    CCMenuItem() = default;

    CCObject* m_target = nullptr; // not retained
    SEL_MenuHandler m_selector = nullptr;
    bool m_selected = false;
    bool m_enabled = true;
};

} // namespace engine
