#pragma once
// What a scrolling container does with a touch: its own, and more often one
// that a widget inside it took. A finger that lands on a button and then
// drags is turned into a scroll, and the button's tap is cancelled.
//
// Points are world coordinates, as the UI layer delivers them.
#include "engine/base/CCGeometry.h"

namespace gui {

class UIWidget;

class UIScrollInterface {
public:
    virtual ~UIScrollInterface() = default;

    virtual void handlePress(const engine::CCPoint& point) = 0;
    virtual void handleMove(const engine::CCPoint& point) = 0;
    virtual void handleRelease(const engine::CCPoint& point) = 0;
    // A touch that `sender`, a widget inside, took: its press, its move once
    // the finger went far enough from where it landed (the widget then loses
    // its tap), its release. `phase` is a WidgetTouchEvent code (0 began,
    // 1 moved, 2 ended).
    void interceptChildTouch(int phase, UIWidget* sender, const engine::CCPoint& point);

protected:
    // The containers differ only in how far is far enough.
    virtual bool isDragAway(const engine::CCPoint& start, const engine::CCPoint& point) const = 0;
    // Told which widget's touch the container follows from its press on.
    virtual void childTouchBegan(UIWidget* sender) { (void)sender; }
};

} // namespace gui
