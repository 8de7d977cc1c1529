#pragma once
// A container whose inner container the finger drags freely in both axes.
// On release inside the panel the content glides on for half a second,
// easing out. Without bounce it never leaves the frame and reports each
// edge or corner it comes to rest against (a berth); with bounce it can be
// pulled past its edges and springs back when let go or when the finger
// leaves the panel.
//
// The inner container and the path of a touch are UIScrollingLayout's.
//
// Index (the source follows the same order):
//   types ............ DragPanelMotion, DragPanelEvent
//   creation ......... create, releaseResources
//   inner container .. sizes
//   touches .......... the scroll interface
//   motion ........... glide, bounce, the motion step, berths
//   events ........... handler binders
#include "gui/UIScrollingLayout.h"

namespace gui {

// --- types (values as handed to handlers)

enum DragPanelMotion { DRAGPANEL_MOTION_NONE = 0, DRAGPANEL_MOTION_GLIDE = 1, DRAGPANEL_MOTION_BOUNCE = 2 };

// Berth and bounce directions run 1 to 8: left-bottom, left-top,
// right-bottom, right-top, left, top, right, bottom. A berth of direction n
// is event n - 1; a finished bounce of direction n is event n + 7.
enum DragPanelEvent {
    DRAGPANEL_EVENT_BERTH_LEFTBOTTOM = 0,
    DRAGPANEL_EVENT_BERTH_LEFTTOP = 1,
    DRAGPANEL_EVENT_BERTH_RIGHTBOTTOM = 2,
    DRAGPANEL_EVENT_BERTH_RIGHTTOP = 3,
    DRAGPANEL_EVENT_BERTH_LEFT = 4,
    DRAGPANEL_EVENT_BERTH_TOP = 5,
    DRAGPANEL_EVENT_BERTH_RIGHT = 6,
    DRAGPANEL_EVENT_BERTH_BOTTOM = 7,
    DRAGPANEL_EVENT_BOUNCE_LEFTBOTTOM = 8,
    DRAGPANEL_EVENT_BOUNCE_LEFTTOP = 9,
    DRAGPANEL_EVENT_BOUNCE_RIGHTBOTTOM = 10,
    DRAGPANEL_EVENT_BOUNCE_RIGHTTOP = 11,
    DRAGPANEL_EVENT_BOUNCE_LEFT = 12,
    DRAGPANEL_EVENT_BOUNCE_TOP = 13,
    DRAGPANEL_EVENT_BOUNCE_RIGHT = 14,
    DRAGPANEL_EVENT_BOUNCE_BOTTOM = 15,
};

// (sender, DragPanelEvent)
using SEL_DragPanelEvent = void (engine::CCObject::*)(engine::CCObject* sender, int event);
#define dragpaneleventselector(_SELECTOR) static_cast<::gui::SEL_DragPanelEvent>(&_SELECTOR)

class UIDragPanel : public UIScrollingLayout {
public:
    static constexpr int kDirections = 8;

    // --- creation
    UIDragPanel();
    ~UIDragPanel() override;
    static UIDragPanel* create();

    // --- inner container
    void setBounceEnabled(bool on) { m_bounceEnabled = on; }
    bool isBounceEnabled() const { return m_bounceEnabled; }

    // --- touches
    void handlePress(const engine::CCPoint& point) override;
    void handleMove(const engine::CCPoint& point) override;
    void handleRelease(const engine::CCPoint& point) override;

    // --- motion
    void update(float dt) override;
    bool isTouching() const { return m_touching; }
    int getMotion() const { return m_motion; }
    bool isMotionRunning() const { return m_motionRunning; }
    int getBounceDirection() const { return m_bounceDirection; }
    // Whether an edge of the content stands inside the frame.
    bool needsBounce() const;
    // The direction (1 to 8) whose edge or corner rests against the frame, or 0.
    int checkBerth() const;

    // --- events: a null target switches a handler off. `direction` 1 to 8.
    void setDragEventHandler(engine::CCObject* target, SEL_DragPanelEvent selector);
    void setBerthHandler(int direction, engine::CCObject* target, SEL_PushEvent selector);

    const char* getKindName() const override { return "DragPanel"; }

protected:
    // A child's touch becomes a drag once it moved this far, in any direction.
    static constexpr float kChildDragDistance = 5.0f;
    bool isDragAway(const engine::CCPoint& start, const engine::CCPoint& point) const override;
    void onSizeChanged() override;
    void releaseResources() override;

private:
    struct Edges {
        float left, bottom, right, top;
    };
    Edges innerEdges() const;
    engine::CCPoint toNodeSpace(const engine::CCPoint& world) const;
    // The delta cut so that no edge of the content leaves the frame.
    engine::CCPoint clampToFrame(const engine::CCPoint& delta) const;
    void moveInnerBy(const engine::CCPoint& delta);
    void startAutoMove();
    void startBounce();
    void startMotion(int motion, const engine::CCPoint& delta, float duration);
    void stopMotion();
    void motionStep(float dt);
    void fireBerth(int direction);
    void fireBounceFinished(int direction);

    // Fields in declaration order.
    bool m_touching = false;
    bool m_moved = false;
    bool m_released = false;
    bool m_bounceFromDrag = false;
    engine::CCPoint m_touchLast;
    engine::CCPoint m_touchStartWorld;
    engine::CCPoint m_touchEndWorld;
    float m_slideTime = 0;
    int m_motion = DRAGPANEL_MOTION_GLIDE;
    float m_glideDuration = 0.5f;
    float m_glideEaseRate = 2.0f;
    int m_berth = 0;
    bool m_bounceEnabled = false;
    int m_bounceDirection = 0;
    float m_bounceDuration = 0.5f;
    float m_bounceEaseRate = 2.0f;
    Handler<SEL_DragPanelEvent> m_dragEventHandler;
    bool m_motionRunning = false;
    // The running motion.
    float m_motionDuration = 0;
    float m_motionElapsed = 0;
    bool m_motionFirstStep = true;
    engine::CCPoint m_motionDelta;
    engine::CCPoint m_motionStart;
    engine::CCPoint m_motionPrevious;
    Handler<SEL_PushEvent> m_berthHandlers[kDirections];
};

} // namespace gui
