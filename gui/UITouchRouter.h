#pragma once
// Finds the widget under a touch and hands it the touch's later phases.
//
// The pick visits a tree from the last child to the first (highest z-order
// first, the one added last first among equals), each child's subtree
// before the widget itself. A widget takes the touch when it is enabled,
// touch-enabled, hit, and inside every clipping container above it; whether
// it is visible does not matter. A disabled widget's subtree is skipped: it
// is not drawn, so nothing in it is touchable.
//
// Every later phase of a touch goes to the widget that took it at began,
// wherever the finger goes. Touches are told apart by their ids, so a second
// finger neither moves nor ends the first finger's widget.
#include "engine/base/CCGeometry.h"
#include "engine/base/CCObject.h"

#include <vector>

namespace engine {
class CCArray;
}

namespace gui {

class UIWidget;

class UITouchRouter {
public:
    // `root` is not retained: the owner keeps it alive longer than the router.
    explicit UITouchRouter(UIWidget* root);
    ~UITouchRouter();
    UITouchRouter(const UITouchRouter&) = delete;
    UITouchRouter& operator=(const UITouchRouter&) = delete;

    // True when a widget took the touch (its onTouchBegan has run).
    bool touchBegan(int touchId, const engine::CCPoint& location);
    void touchMoved(int touchId, const engine::CCPoint& location);
    void touchEnded(int touchId, const engine::CCPoint& location);
    void touchCancelled(int touchId, const engine::CCPoint& location);

    // The widget the pick would choose at `location`, without touching it.
    UIWidget* findTouchTarget(const engine::CCPoint& location) const;

    // The widgets holding touches in progress, oldest first.
    engine::CCArray* getSelectedWidgets() const { return m_selectedWidgets.get(); }
    const engine::CCPoint& getBeganLocation() const { return m_beganLocation; }
    const engine::CCPoint& getMovedLocation() const { return m_movedLocation; }
    const engine::CCPoint& getEndLocation() const { return m_endLocation; }
    UIWidget* getRoot() const { return m_root; }

private:
    enum class Phase { Moved, Ended, Cancelled };
    void deliver(Phase phase, int touchId, const engine::CCPoint& location);

    engine::CCRef<engine::CCArray> m_selectedWidgets; // parallel to m_selectedTouchIds
    engine::CCPoint m_beganLocation;
    engine::CCPoint m_movedLocation;
    engine::CCPoint m_endLocation;
    UIWidget* m_root; // not retained
    std::vector<int> m_selectedTouchIds;
};

} // namespace gui
