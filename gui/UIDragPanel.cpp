#include "gui/UIDragPanel.h"

#include "engine/nodes/CCNode.h"

#include <algorithm>
#include <cmath>

namespace gui {

using engine::CCPoint;
using engine::CCSize;

namespace {
// Edges that should meet the frame may miss it by a rounding error.
constexpr float kBerthTolerance = 1e-3f;
// A motion of no length still takes one step (and must not divide by zero).
constexpr float kShortestMotion = 1.1920929e-7f;

bool near(float a, float b) {
    return std::fabs(a - b) <= kBerthTolerance;
}
} // namespace

// --- creation

UIDragPanel::UIDragPanel() = default;

UIDragPanel::~UIDragPanel() {
    UIDragPanel::releaseResources();
}

UIDragPanel* UIDragPanel::create() {
    return createWidget<UIDragPanel>();
}

void UIDragPanel::releaseResources() {
    m_dragEventHandler = {};
    for (int i = 0; i < kDirections; ++i)
        m_berthHandlers[i] = {};
    m_motionRunning = false;
    UIScrollingLayout::releaseResources();
}

// --- inner container

void UIDragPanel::onSizeChanged() {
    Layout::onSizeChanged();
    if (!m_innerContainer) return;
    const CCSize& inner = m_innerContainer->getSize();
    m_innerContainer->setSize(
        CCSize(std::max(inner.width, m_size.width), std::max(inner.height, m_size.height)));
}

UIDragPanel::Edges UIDragPanel::innerEdges() const {
    if (!m_innerContainer) return {0, 0, m_size.width, m_size.height};
    return {m_innerContainer->getLeftEdge(), m_innerContainer->getBottomEdge(),
            m_innerContainer->getRightEdge(), m_innerContainer->getTopEdge()};
}

// --- touches

CCPoint UIDragPanel::toNodeSpace(const CCPoint& world) const {
    return m_renderer ? m_renderer->convertToNodeSpace(world) : world;
}

void UIDragPanel::handlePress(const CCPoint& point) {
    CCSize inner = m_innerContainer ? m_innerContainer->getSize() : m_size;
    if (m_size.width >= inner.width && m_size.height >= inner.height) {
        m_touching = false; // nothing to drag
        return;
    }
    m_touching = true;
    m_moved = m_released = m_bounceFromDrag = false;
    if (m_motionRunning) {
        if (m_motion == DRAGPANEL_MOTION_BOUNCE) {
            m_touching = false; // the bounce finishes first
            return;
        }
        stopMotion();
    }
    m_touchLast = toNodeSpace(point);
    m_touchStartWorld = point;
    // Counted from this press: an earlier touch released outside left its time behind.
    m_slideTime = 0;
}

void UIDragPanel::handleMove(const CCPoint& point) {
    if (!m_touching || m_bounceFromDrag) return;
    m_moved = true;
    CCPoint local = toNodeSpace(point);
    CCPoint delta = local - m_touchLast;
    m_touchLast = local;
    if (!m_bounceEnabled) {
        m_berth = 0;
        moveInnerBy(clampToFrame(delta));
        m_berth = checkBerth();
        if (m_berth) fireBerth(m_berth);
        return;
    }
    moveInnerBy(delta);
    if (!hitTest(point)) {
        m_moved = false;
        if (needsBounce()) {
            m_bounceFromDrag = true; // the rest of this touch's moves are ignored
            startBounce();
        }
    }
}

void UIDragPanel::handleRelease(const CCPoint& point) {
    if (!m_touching) return;
    m_touching = m_moved = false;
    m_released = true;
    m_bounceFromDrag = false;
    m_touchSource.reset();
    if (hitTest(point)) {
        m_touchEndWorld = point;
        startAutoMove();
    } else if (m_bounceEnabled && needsBounce()) {
        // Let go outside with the content pulled past an edge: no glide, but
        // it must not stay there.
        startBounce();
    }
}

bool UIDragPanel::isDragAway(const CCPoint& start, const CCPoint& point) const {
    return engine::ccpDistance(start, point) > kChildDragDistance;
}

// --- motion

CCPoint UIDragPanel::clampToFrame(const CCPoint& delta) const {
    Edges edges = innerEdges();
    CCPoint cut = delta;
    if (edges.left + cut.x > 0)
        cut.x = -edges.left;
    else if (edges.right + cut.x < m_size.width)
        cut.x = m_size.width - edges.right;
    if (edges.bottom + cut.y > 0)
        cut.y = -edges.bottom;
    else if (edges.top + cut.y < m_size.height)
        cut.y = m_size.height - edges.top;
    return cut;
}

void UIDragPanel::moveInnerBy(const CCPoint& delta) {
    if (m_innerContainer) m_innerContainer->setPosition(m_innerContainer->getPosition() + delta);
}

bool UIDragPanel::needsBounce() const {
    Edges edges = innerEdges();
    return edges.left > 0 || edges.right < m_size.width || edges.bottom > 0 || edges.top < m_size.height;
}

int UIDragPanel::checkBerth() const {
    Edges e = innerEdges();
    float w = m_size.width, h = m_size.height;
    if (near(e.left, 0) && near(e.bottom, 0)) return 1;
    if (near(e.left, 0) && near(e.top, h)) return 2;
    if (near(e.right, w) && near(e.bottom, 0)) return 3;
    if (near(e.right, w) && near(e.top, h)) return 4;
    if (near(e.left, 0)) return 5;
    if (near(e.right, w)) return 7;
    if (near(e.top, h)) return 6;
    if (near(e.bottom, 0)) return 8;
    return 0;
}

void UIDragPanel::startAutoMove() {
    m_motion = DRAGPANEL_MOTION_GLIDE;
    // A press that lasted no frame gives no speed to glide with.
    if (m_slideTime <= 0) {
        if (m_bounceEnabled && needsBounce()) startBounce();
        return;
    }
    CCPoint delta = (m_touchEndWorld - m_touchStartWorld) * (1.0f / (m_slideTime * 60.0f));
    m_slideTime = 0;
    if (!m_bounceEnabled) delta = clampToFrame(delta);
    startMotion(DRAGPANEL_MOTION_GLIDE, delta, m_glideDuration);
}

void UIDragPanel::startBounce() {
    if (m_motion == DRAGPANEL_MOTION_BOUNCE && m_motionRunning) return;
    Edges e = innerEdges();
    float w = m_size.width, h = m_size.height;
    int direction = 0;
    CCPoint delta;
    if (e.left > 0 && e.bottom > 0) {
        direction = 1;
        delta = CCPoint(-e.left, -e.bottom);
    } else if (e.left > 0 && e.top < h) {
        direction = 2;
        delta = CCPoint(-e.left, h - e.top);
    } else if (e.right < w && e.bottom > 0) {
        direction = 3;
        delta = CCPoint(w - e.right, -e.bottom);
    } else if (e.right < w && e.top < h) {
        direction = 4;
        delta = CCPoint(w - e.right, h - e.top);
    } else if (e.left > 0) {
        direction = 5;
        delta = CCPoint(-e.left, 0);
    } else if (e.top < h) {
        direction = 6;
        delta = CCPoint(0, h - e.top);
    } else if (e.right < w) {
        direction = 7;
        delta = CCPoint(w - e.right, 0);
    } else if (e.bottom > 0) {
        direction = 8;
        delta = CCPoint(0, -e.bottom);
    }
    if (!direction) return; // no gap to close
    stopMotion();
    m_bounceDirection = direction;
    startMotion(DRAGPANEL_MOTION_BOUNCE, delta, m_bounceDuration);
}

void UIDragPanel::startMotion(int motion, const CCPoint& delta, float duration) {
    if (!m_innerContainer) return;
    m_motion = motion;
    m_motionRunning = true;
    m_motionDuration = duration > 0 ? duration : kShortestMotion;
    m_motionElapsed = 0;
    m_motionFirstStep = true;
    m_motionDelta = delta;
    m_motionStart = m_motionPrevious = m_innerContainer->getPosition();
}

void UIDragPanel::stopMotion() {
    m_motionRunning = false;
    m_motion = DRAGPANEL_MOTION_NONE;
}

void UIDragPanel::update(float dt) {
    // The widget that took the touch left the panel (or died) before its
    // release: the touch ends here, without a glide.
    if (m_touching && touchSourceGone()) {
        m_touching = m_moved = m_bounceFromDrag = false;
        m_touchSource.reset();
        if (m_bounceEnabled && needsBounce()) startBounce();
    }
    if (m_motionRunning) motionStep(dt);
    if (m_touching) m_slideTime += dt;
}

void UIDragPanel::motionStep(float dt) {
    if (!m_innerContainer) return;
    if (m_motionElapsed >= m_motionDuration) {
        m_motionRunning = false;
        if (m_motion == DRAGPANEL_MOTION_GLIDE) {
            m_motion = DRAGPANEL_MOTION_NONE;
            m_berth = checkBerth();
            int berth = m_berth;
            m_berth = 0;
            if (berth) fireBerth(berth);
        } else {
            int direction = m_bounceDirection;
            m_bounceDirection = 0;
            m_motion = DRAGPANEL_MOTION_NONE;
            if (direction) fireBounceFinished(direction);
        }
        return;
    }
    if (m_motionFirstStep)
        m_motionFirstStep = false;
    else
        m_motionElapsed += dt;
    float t = std::clamp(m_motionElapsed / m_motionDuration, 0.0f, 1.0f);
    float rate = m_motion == DRAGPANEL_MOTION_BOUNCE ? m_bounceEaseRate : m_glideEaseRate;
    // Somebody else may have moved the content meanwhile: carry that along.
    CCPoint current = m_innerContainer->getPosition();
    m_motionStart = m_motionStart + (current - m_motionPrevious);
    CCPoint next = m_motionStart + m_motionDelta * std::pow(t, 1.0f / rate);
    m_innerContainer->setPosition(next);
    m_motionPrevious = next;
    if (m_motion == DRAGPANEL_MOTION_GLIDE && m_bounceEnabled && needsBounce()) startBounce();
}

// --- events

void UIDragPanel::setDragEventHandler(engine::CCObject* target, SEL_DragPanelEvent selector) {
    m_dragEventHandler.bind(target, selector);
}

void UIDragPanel::setBerthHandler(int direction, engine::CCObject* target, SEL_PushEvent selector) {
    if (direction >= 1 && direction <= kDirections) m_berthHandlers[direction - 1].bind(target, selector);
}

void UIDragPanel::fireBerth(int direction) {
    fireEvent(m_berthHandlers[direction - 1], m_dragEventHandler, direction - 1);
}

void UIDragPanel::fireBounceFinished(int direction) {
    // Only the handler of all events hears it: no caller wanted one of its own.
    fireEvent(Handler<SEL_PushEvent>{}, m_dragEventHandler, direction + 7);
}

} // namespace gui
