#include "gui/UIScrollInterface.h"

#include "gui/UIWidget.h"

namespace gui {

void UIScrollInterface::interceptChildTouch(int phase, UIWidget* sender, const engine::CCPoint& point) {
    switch (phase) {
    case TOUCH_EVENT_BEGAN:
        childTouchBegan(sender);
        handlePress(point);
        break;
    case TOUCH_EVENT_MOVED:
        if (!sender || !isDragAway(sender->getTouchStartPos(), point)) return;
        sender->setFocused(false);
        handleMove(point);
        break;
    case TOUCH_EVENT_ENDED:
        handleRelease(point);
        break;
    default:
        break;
    }
}

} // namespace gui
