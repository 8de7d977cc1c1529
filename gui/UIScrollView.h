#pragma once
// A container that scrolls an inner container along one axis: dragged by
// the finger (also when the finger landed on a button inside it) and flung
// on release, the flick slowing down at a fixed rate. The content never
// leaves the frame: at an end it stops and reports that end on every
// further move towards it.
//
// The inner container and the path of a touch are UIScrollingLayout's.
//
// Index (the source follows the same order):
//   types ............ ScrollDirection, MoveDirection, ScrollViewEvent
//   creation ......... create, init, releaseResources
//   inner container .. arrangement, onSizeChanged
//   touches .......... the scroll interface
//   scrolling ........ scrollBy, the flick (update, autoScrollStep)
//   events ........... handler binders and the end events
#include "gui/UIScrollingLayout.h"

namespace gui {

// --- types (values as stored in layout files and handed to handlers)

enum ScrollDirection { SCROLLVIEW_DIR_NONE = 0, SCROLLVIEW_DIR_VERTICAL = 1, SCROLLVIEW_DIR_HORIZONTAL = 2 };

// The sign of the last move.
enum MoveDirection {
    SCROLLVIEW_MOVE_NONE = 0,
    SCROLLVIEW_MOVE_UP = 1,
    SCROLLVIEW_MOVE_DOWN = 2,
    SCROLLVIEW_MOVE_LEFT = 3,
    SCROLLVIEW_MOVE_RIGHT = 4,
};

enum ScrollViewEvent {
    SCROLLVIEW_EVENT_SCROLL_TO_TOP = 0,
    SCROLLVIEW_EVENT_SCROLL_TO_BOTTOM = 1,
    SCROLLVIEW_EVENT_SCROLL_TO_LEFT = 2,
    SCROLLVIEW_EVENT_SCROLL_TO_RIGHT = 3,
};

// (sender, ScrollViewEvent)
using SEL_ScrollViewEvent = void (engine::CCObject::*)(engine::CCObject* sender, int event);
#define scrollvieweventselector(_SELECTOR) static_cast<::gui::SEL_ScrollViewEvent>(&_SELECTOR)

class UIScrollView : public UIScrollingLayout {
public:
    // A touch shorter than this starts no flick.
    static constexpr float kMinFlickTime = 0.016f;

    // --- creation
    UIScrollView();
    ~UIScrollView() override;
    static UIScrollView* create();

    // --- inner container: its arrangement too
    void setArrangement(int arrangement) override;
    int getArrangement() const override;
    void arrangeChildren() override;

    void setDirection(int direction) { m_direction = direction; }
    int getDirection() const { return m_direction; }
    int getMoveDirection() const { return m_moveDirection; }

    // --- touches
    void handlePress(const engine::CCPoint& point) override;
    void handleMove(const engine::CCPoint& point) override;
    void handleRelease(const engine::CCPoint& point) override;

    // --- scrolling
    // Moves the inner container along the axis; false when an end stopped it
    // (the container then rests at that end) or when there is no axis.
    bool scrollBy(float offset);
    void update(float dt) override;
    bool isPressed() const { return m_pressed; }
    bool isAutoScrolling() const { return m_autoScrolling; }
    float getAutoScrollSpeed() const { return m_autoScrollSpeed; }
    bool isTopEnded() const { return m_topEnded; }
    bool isBottomEnded() const { return m_bottomEnded; }
    bool isLeftEnded() const { return m_leftEnded; }
    bool isRightEnded() const { return m_rightEnded; }

    // --- events: a null target switches a handler off
    void setScrollEventHandler(engine::CCObject* target, SEL_ScrollViewEvent selector);
    void setScrollToTopHandler(engine::CCObject* target, SEL_PushEvent selector);
    void setScrollToBottomHandler(engine::CCObject* target, SEL_PushEvent selector);

    const char* getKindName() const override { return "ScrollView"; }

protected:
    bool isDragAway(const engine::CCPoint& start, const engine::CCPoint& point) const override;
    bool init() override;
    void onSizeChanged() override;
    void releaseResources() override;

private:
    float axisCoordinate(const engine::CCPoint& world);
    void moveInnerBy(float offset);
    void autoScrollStep(float dt);
    void finishSlide();
    void stopPress();

    // Fields in declaration order.
    int m_direction = SCROLLVIEW_DIR_VERTICAL;
    int m_moveDirection = SCROLLVIEW_MOVE_NONE;
    float m_touchStart = 0;
    float m_touchEnd = 0;
    float m_touchLast = 0;
    float m_topBoundary = 0;
    float m_bottomBoundary = 0;
    float m_leftBoundary = 0;
    float m_rightBoundary = 0;
    bool m_topEnded = false;
    bool m_bottomEnded = false;
    bool m_leftEnded = false;
    bool m_rightEnded = false;
    bool m_autoScrolling = false;
    float m_autoScrollSpeed = 0;
    float m_autoScrollDeceleration = 600;
    bool m_pressed = false;
    float m_slideTime = 0;
    float m_childFocusCancelDistance = 5.0f;
    Handler<SEL_ScrollViewEvent> m_scrollEventHandler;
    Handler<SEL_PushEvent> m_scrollToTopHandler;
    Handler<SEL_PushEvent> m_scrollToBottomHandler;
};

} // namespace gui
