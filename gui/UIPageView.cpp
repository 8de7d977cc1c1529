#include "gui/UIPageView.h"

#include "engine/base/CCArray.h"

#include <cmath>

namespace gui {

using engine::CCPoint;
using engine::CCRef;

UIPageView::UIPageView() = default;

UIPageView::~UIPageView() {
    UIPageView::releaseResources();
}

UIPageView* UIPageView::create() {
    return createWidget<UIPageView>();
}

bool UIPageView::init() {
    if (!Layout::init()) return false;
    m_pages = engine::CCArray::create();
    setClipping(true);
    setUpdateEnabled(true);
    return true;
}

void UIPageView::releaseResources() {
    m_pages = nullptr;
    Layout::releaseResources();
}

bool UIPageView::removeChild(UIWidget* child) {
    if (m_pages && child) m_pages->removeObject(child);
    return Layout::removeChild(child);
}

void UIPageView::removeAllChildren() {
    if (m_pages) m_pages->removeAllObjects();
    Layout::removeAllChildren();
}

void UIPageView::onSizeChanged() {
    Layout::onSizeChanged();
    if (!m_pages) return;
    float x = 0;
    for (engine::CCObject* object : *m_pages) {
        auto* page = static_cast<UIWidget*>(object);
        page->setSize(m_size);
        page->setPosition(CCPoint(x, 0));
        x += m_size.width;
    }
}

bool UIPageView::onTouchBegan(const CCPoint& point) {
    CCRef<UIWidget> keepAlive(this);
    bool passed = Layout::onTouchBegan(point);
    m_touchActive = true;
    handlePress(point);
    return passed;
}

void UIPageView::onTouchMoved(const CCPoint& point) {
    if (!m_touchActive) return; // this touch already ended when it left the view
    CCRef<UIWidget> keepAlive(this);
    m_touchMovePos = point;
    handleMove(point);
    if (m_parent) m_parent->onChildTouch(TOUCH_EVENT_MOVED, this, point);
    callMoveHandler();
    callTouchEventHandler(TOUCH_EVENT_MOVED);
    if (!hitTest(point)) {
        setFocused(false);
        onTouchEnded(point);
    }
}

void UIPageView::onTouchEnded(const CCPoint& point) {
    if (!m_touchActive) return;
    m_touchActive = false;
    CCRef<UIWidget> keepAlive(this);
    Layout::onTouchEnded(point);
    handleRelease(point);
}

void UIPageView::onTouchCancelled(const CCPoint& point) {
    m_touchActive = false;
    Layout::onTouchCancelled(point);
}

void UIPageView::onChildTouch(int phase, UIWidget* sender, const CCPoint& point) {
    interceptChildTouch(phase, sender, point);
}

void UIPageView::handlePress(const CCPoint& point) {
    m_touchStartPoint = m_touchMovePoint = point;
}

void UIPageView::handleMove(const CCPoint& point) {
    m_touchMovePoint = point;
}

void UIPageView::handleRelease(const CCPoint& /*point*/) {
    // Turning needs pages; a page view read from a layout file has none.
}

bool UIPageView::isDragAway(const CCPoint& start, const CCPoint& point) const {
    return std::fabs(point.x - start.x) > m_childFocusCancelDistance;
}

} // namespace gui
