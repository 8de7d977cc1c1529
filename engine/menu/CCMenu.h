#pragma once
// A layer that holds menu items and takes touches for them, one at a time,
// ahead of ordinary layers (priority kCCMenuHandlerPriority).
//
// A touch is claimed only when it begins on an enabled, visible item of an
// enabled menu that is itself visible with every ancestor. That item shows
// selected while the finger is over it; lifting the finger over it activates
// it (its target gets the call with the item as sender); lifting it elsewhere
// or a cancelled touch just unselects it. Only the item the touch began on
// can be activated by it.
//
// A new menu covers the window and sits at its centre, so an item at (0, 0)
// shows in the middle of the screen; pages usually move the menu to (0, 0).
#include "engine/base/CCObject.h"
#include "engine/menu/CCMenuItem.h"
#include "engine/nodes/CCLayer.h"

#include <cstddef>
#include <type_traits>
#include <vector>

namespace engine {

class CCArray;

enum { kCCMenuHandlerPriority = -128 };
// Space between items that the align operations leave by default.
constexpr float kDefaultMenuPadding = 5.0f;

class CCMenu : public CCLayerRGBA {
public:
    static CCMenu* create();
    // A menu of the given items, in order. Null pointers, such as the
    // customary terminating NULL, are skipped.
    template <class... More> static CCMenu* create(CCMenuItem* first, More... more) {
        std::vector<CCMenuItem*> items{first};
        (appendItem(items, more), ...);
        return createWithItems(items);
    }
    static CCMenu* createWithItems(const std::vector<CCMenuItem*>& items);
    static CCMenu* createWithArray(CCArray* items);
    static CCMenu* createWithItem(CCMenuItem* item);
    bool init() override;
    bool initWithArray(CCArray* items);

    // Only menu items can join a menu; anything else is refused with a log line.
    void addChild(CCNode* child, int zOrder, int tag) override;
    using CCLayerRGBA::addChild;
    void removeChild(CCNode* child, bool cleanup = true) override;

    // Stacks the items, in child order, centred on the menu's origin.
    void alignItemsVerticallyWithPadding(float padding);
    void alignItemsHorizontally() { alignItemsHorizontallyWithPadding(kDefaultMenuPadding); }
    void alignItemsHorizontallyWithPadding(float padding);

    void setEnabled(bool enabled) { m_enabled = enabled; }
    bool isEnabled() const { return m_enabled; }
    // The item a touch is on now (null when none).
    CCMenuItem* getSelectedItem() const { return m_selectedItem.get(); }

    bool ccTouchBegan(CCTouch* touch, CCEvent* event) override;
    void ccTouchMoved(CCTouch* touch, CCEvent* event) override;
    void ccTouchEnded(CCTouch* touch, CCEvent* event) override;
    void ccTouchCancelled(CCTouch* touch, CCEvent* event) override;

    void onExit() override;

protected:
    CCMenu() = default;
    // The topmost enabled, visible item under a point in world space.
    CCMenuItem* itemForTouch(CCTouch* touch);
    bool isShown() const;

private:
    static void appendItem(std::vector<CCMenuItem*>& items, CCMenuItem* item) { items.push_back(item); }
    static void appendItem(std::vector<CCMenuItem*>&, std::nullptr_t) {}
    // NULL is an integer constant on some compilers.
    template <class I>
    requires std::is_integral_v<I>
    static void appendItem(std::vector<CCMenuItem*>&, I) {}

    bool canActivate(CCMenuItem* item, CCTouch* touch);
    // Drops the touch being followed, unselecting its item.
    void endTracking();

    bool m_enabled = true;
    bool m_tracking = false;          // a claimed touch is in progress
    CCRef<CCMenuItem> m_touchItem;    // the item the claimed touch began on
    CCRef<CCMenuItem> m_selectedItem; // that item while the finger is over it
};

} // namespace engine
