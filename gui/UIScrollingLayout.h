#pragma once
// What the scroll view and the drag panel share: a clipping panel whose
// children live in an inner container that moves under the frame, and the
// path of a touch into the scroll interface, whether the touch is the
// panel's own or one that a widget inside it took (the "touch source",
// followed weakly: it may die or leave mid-touch).
//
// Index (the source follows the same order):
//   creation ......... init, initRenderer, releaseResources
//   inner container .. addChild, removeChild, removeAllChildren, getChildren,
//                      setInnerContainerSize
//   touches .......... onTouchBegan/Moved/Ended, onChildTouch, touchSourceGone
#include "gui/Layout.h"
#include "gui/UIScrollInterface.h"

namespace gui {

class UIScrollingLayout : public Layout, public UIScrollInterface {
public:
    // --- inner container: children are its
    bool addChild(UIWidget* child) override;
    bool removeChild(UIWidget* child) override;
    void removeAllChildren() override;
    engine::CCArray* getChildren() const override;
    // At least the frame's own size on each axis; its top edge then meets the frame's top.
    void setInnerContainerSize(const engine::CCSize& size);
    Layout* getInnerContainer() const { return m_innerContainer.get(); }

    // --- touches: the panel's own go to the scroll interface; a descendant's
    // are intercepted (and not passed further up: the nearest container takes the drag)
    bool onTouchBegan(const engine::CCPoint& point) override;
    void onTouchMoved(const engine::CCPoint& point) override;
    void onTouchEnded(const engine::CCPoint& point) override;
    void onChildTouch(int phase, UIWidget* sender, const engine::CCPoint& point) override;

protected:
    UIScrollingLayout() = default;
    // Updates, touches and clipping on.
    bool init() override;
    void initRenderer() override;
    void releaseResources() override;
    // True when the widget whose touch we follow died or left this panel.
    bool touchSourceGone() const;
    void childTouchBegan(UIWidget* sender) override;
    // An event: its own handler (sender), then the handler of all events
    // (sender, event). Both are copied first, since either may rebind them.
    template <class AllEvents>
    void fireEvent(const Handler<SEL_PushEvent>& handler, const Handler<AllEvents>& allEvents, int event) {
        Handler<SEL_PushEvent> own = handler;
        Handler<AllEvents> any = allEvents;
        engine::CCRef<UIWidget> keepAlive(this);
        if (own) (own.target->*own.selector)(this);
        if (any) (any.target->*any.selector)(this, event);
    }

    engine::CCRef<Layout> m_innerContainer; // also a child
    WeakHandle m_touchSource;           // itself or the descendant that took the touch
};

} // namespace gui
