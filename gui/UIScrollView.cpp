#include "gui/UIScrollView.h"

#include "engine/nodes/CCNode.h"

#include <algorithm>
#include <cmath>

namespace gui {

using engine::CCPoint;
using engine::CCSize;

// --- creation

UIScrollView::UIScrollView() = default;

UIScrollView::~UIScrollView() {
    UIScrollView::releaseResources();
}

UIScrollView* UIScrollView::create() {
    return createWidget<UIScrollView>();
}

bool UIScrollView::init() {
    if (!UIScrollingLayout::init()) return false;
    m_innerContainer->setTouchEnabled(false);
    return true;
}

void UIScrollView::releaseResources() {
    m_scrollEventHandler = {};
    m_scrollToTopHandler = {};
    m_scrollToBottomHandler = {};
    UIScrollingLayout::releaseResources();
}

// --- inner container

void UIScrollView::setArrangement(int arrangement) {
    if (m_innerContainer) m_innerContainer->setArrangement(arrangement);
}

int UIScrollView::getArrangement() const {
    return m_innerContainer ? m_innerContainer->getArrangement() : LAYOUT_ABSOLUTE;
}

void UIScrollView::arrangeChildren() {
    if (m_innerContainer) m_innerContainer->arrangeChildren();
}

void UIScrollView::onSizeChanged() {
    Layout::onSizeChanged();
    m_topBoundary = m_size.height;
    m_rightBoundary = m_size.width;
    if (!m_innerContainer) return;
    const CCSize& inner = m_innerContainer->getSize();
    m_innerContainer->setSize(
        CCSize(std::max(inner.width, m_size.width), std::max(inner.height, m_size.height)));
    m_innerContainer->setPosition(CCPoint(0, m_size.height - m_innerContainer->getSize().height));
}

// --- touches

float UIScrollView::axisCoordinate(const CCPoint& world) {
    CCPoint local = m_renderer ? m_renderer->convertToNodeSpace(world) : world;
    if (m_direction == SCROLLVIEW_DIR_VERTICAL) return local.y;
    if (m_direction == SCROLLVIEW_DIR_HORIZONTAL) return local.x;
    return 0;
}

void UIScrollView::handlePress(const CCPoint& point) {
    m_touchStart = m_touchLast = axisCoordinate(point);
    m_autoScrolling = false;
    m_autoScrollSpeed = 0;
    m_pressed = true;
    m_slideTime = 0;
}

void UIScrollView::handleMove(const CCPoint& point) {
    float coordinate = axisCoordinate(point);
    float offset = coordinate - m_touchLast;
    m_touchLast = coordinate;
    if (m_direction == SCROLLVIEW_DIR_VERTICAL) {
        if (offset < 0) m_moveDirection = SCROLLVIEW_MOVE_DOWN;
        if (offset > 0) m_moveDirection = SCROLLVIEW_MOVE_UP;
    } else if (m_direction == SCROLLVIEW_DIR_HORIZONTAL) {
        if (offset < 0) m_moveDirection = SCROLLVIEW_MOVE_LEFT;
        if (offset > 0) m_moveDirection = SCROLLVIEW_MOVE_RIGHT;
    }
    scrollBy(offset);
}

void UIScrollView::handleRelease(const CCPoint& point) {
    m_touchEnd = axisCoordinate(point);
    finishSlide();
}

// A tap too short to measure starts no flick, but it ends the press all the
// same, so a later frame does not count it on.
void UIScrollView::finishSlide() {
    if (m_pressed && m_slideTime > kMinFlickTime) {
        m_autoScrolling = true;
        m_autoScrollSpeed = std::fabs(m_touchEnd - m_touchStart) / m_slideTime;
    }
    stopPress();
}

void UIScrollView::stopPress() {
    m_pressed = false;
    m_slideTime = 0;
    m_touchSource.reset();
}

bool UIScrollView::isDragAway(const CCPoint& start, const CCPoint& point) const {
    const float distance = m_direction == SCROLLVIEW_DIR_VERTICAL     ? std::fabs(point.y - start.y)
                           : m_direction == SCROLLVIEW_DIR_HORIZONTAL ? std::fabs(point.x - start.x)
                                                                      : 0.0f;
    return distance > m_childFocusCancelDistance;
}

// --- scrolling

void UIScrollView::moveInnerBy(float offset) {
    CCPoint position = m_innerContainer->getPosition();
    if (m_direction == SCROLLVIEW_DIR_VERTICAL)
        position.y += offset;
    else
        position.x += offset;
    m_innerContainer->setPosition(position);
}

bool UIScrollView::scrollBy(float offset) {
    if (!m_innerContainer) return false;
    if (m_direction == SCROLLVIEW_DIR_VERTICAL) {
        float bottom = m_innerContainer->getBottomEdge();
        float top = m_innerContainer->getTopEdge();
        if (m_moveDirection == SCROLLVIEW_MOVE_UP && bottom + offset >= m_bottomBoundary) {
            moveInnerBy(m_bottomBoundary - bottom);
            m_bottomEnded = true;
            fireEvent(m_scrollToBottomHandler, m_scrollEventHandler, SCROLLVIEW_EVENT_SCROLL_TO_BOTTOM);
            return false;
        }
        if (m_moveDirection == SCROLLVIEW_MOVE_DOWN && top + offset <= m_topBoundary) {
            moveInnerBy(m_topBoundary - top);
            m_topEnded = true;
            fireEvent(m_scrollToTopHandler, m_scrollEventHandler, SCROLLVIEW_EVENT_SCROLL_TO_TOP);
            return false;
        }
        moveInnerBy(offset);
        m_topEnded = m_bottomEnded = false;
        return true;
    }
    if (m_direction == SCROLLVIEW_DIR_HORIZONTAL) {
        float left = m_innerContainer->getLeftEdge();
        float right = m_innerContainer->getRightEdge();
        if (m_moveDirection == SCROLLVIEW_MOVE_LEFT && right + offset <= m_rightBoundary) {
            moveInnerBy(m_rightBoundary - right);
            m_rightEnded = true;
            // Sideways ends are heard only by the handler of all events.
            fireEvent(Handler<SEL_PushEvent>{}, m_scrollEventHandler, SCROLLVIEW_EVENT_SCROLL_TO_RIGHT);
            return false;
        }
        if (m_moveDirection == SCROLLVIEW_MOVE_RIGHT && left + offset >= m_leftBoundary) {
            moveInnerBy(m_leftBoundary - left);
            m_leftEnded = true;
            fireEvent(Handler<SEL_PushEvent>{}, m_scrollEventHandler, SCROLLVIEW_EVENT_SCROLL_TO_LEFT);
            return false;
        }
        moveInnerBy(offset);
        m_leftEnded = m_rightEnded = false;
        return true;
    }
    return false;
}

void UIScrollView::update(float dt) {
    // A widget that took the touch and then left the view (a handler removed
    // it) never tells us of the release: end the press without a flick.
    if (m_pressed && touchSourceGone()) stopPress();
    if (m_autoScrolling) autoScrollStep(dt);
    if (m_pressed) m_slideTime += dt;
}

void UIScrollView::autoScrollStep(float dt) {
    bool vertical = m_direction == SCROLLVIEW_DIR_VERTICAL &&
                    (m_moveDirection == SCROLLVIEW_MOVE_UP || m_moveDirection == SCROLLVIEW_MOVE_DOWN);
    bool horizontal = m_direction == SCROLLVIEW_DIR_HORIZONTAL &&
                      (m_moveDirection == SCROLLVIEW_MOVE_LEFT || m_moveDirection == SCROLLVIEW_MOVE_RIGHT);
    if (!vertical && !horizontal) return;
    m_autoScrollSpeed -= m_autoScrollDeceleration * dt;
    float distance = m_autoScrollSpeed * dt;
    if (distance <= 0) {
        distance = 0;
        m_autoScrollSpeed = 0;
        m_autoScrolling = false;
    }
    bool forward = m_moveDirection == SCROLLVIEW_MOVE_UP || m_moveDirection == SCROLLVIEW_MOVE_RIGHT;
    if (!scrollBy(forward ? distance : -distance)) {
        m_autoScrollSpeed = 0;
        m_autoScrolling = false;
    }
}

// --- events

void UIScrollView::setScrollEventHandler(engine::CCObject* target, SEL_ScrollViewEvent selector) {
    m_scrollEventHandler.bind(target, selector);
}

void UIScrollView::setScrollToTopHandler(engine::CCObject* target, SEL_PushEvent selector) {
    m_scrollToTopHandler.bind(target, selector);
}

void UIScrollView::setScrollToBottomHandler(engine::CCObject* target, SEL_PushEvent selector) {
    m_scrollToBottomHandler.bind(target, selector);
}

} // namespace gui
