#include "gui/UIScrollingLayout.h"

#include "engine/base/CCArray.h"
#include "engine/nodes/CCNode.h"

#include <algorithm>

namespace gui {

using engine::CCPoint;
using engine::CCRef;
using engine::CCSize;

// --- creation

bool UIScrollingLayout::init() {
    if (!Layout::init()) return false;
    setUpdateEnabled(true);
    setTouchEnabled(true);
    setClipping(true);
    return true;
}

void UIScrollingLayout::initRenderer() {
    Layout::initRenderer();
    if (!m_renderer) return;
    m_innerContainer = Layout::create();
    if (!m_innerContainer) {
        m_renderer = nullptr;
        return;
    }
    UIWidget::addChild(m_innerContainer.get());
}

void UIScrollingLayout::releaseResources() {
    m_touchSource.reset();
    // Still one of the children: the widget's teardown frees it (and its
    // subtree) through the shared queue, however deep the tree.
    m_innerContainer = nullptr;
    Layout::releaseResources();
}

// --- inner container

bool UIScrollingLayout::addChild(UIWidget* child) {
    // Into its own inner container, a panel would hold itself.
    if (!m_innerContainer || child == this) return false;
    return m_innerContainer->addChild(child);
}

bool UIScrollingLayout::removeChild(UIWidget* child) {
    return m_innerContainer && m_innerContainer->removeChild(child);
}

void UIScrollingLayout::removeAllChildren() {
    if (m_innerContainer) m_innerContainer->removeAllChildren();
}

engine::CCArray* UIScrollingLayout::getChildren() const {
    return m_innerContainer ? m_innerContainer->getChildren() : m_children.get();
}

void UIScrollingLayout::setInnerContainerSize(const CCSize& size) {
    if (!m_innerContainer) return;
    m_innerContainer->setSize(
        CCSize(std::max(size.width, m_size.width), std::max(size.height, m_size.height)));
    m_innerContainer->setPosition(CCPoint(0, m_size.height - m_innerContainer->getSize().height));
}

// --- touches

bool UIScrollingLayout::onTouchBegan(const CCPoint& point) {
    CCRef<UIWidget> keepAlive(this);
    bool passed = Layout::onTouchBegan(point);
    m_touchSource = weakHandle();
    handlePress(point);
    return passed;
}

void UIScrollingLayout::onTouchMoved(const CCPoint& point) {
    CCRef<UIWidget> keepAlive(this);
    Layout::onTouchMoved(point);
    handleMove(point);
}

void UIScrollingLayout::onTouchEnded(const CCPoint& point) {
    CCRef<UIWidget> keepAlive(this);
    Layout::onTouchEnded(point);
    handleRelease(point);
}

void UIScrollingLayout::onChildTouch(int phase, UIWidget* sender, const CCPoint& point) {
    interceptChildTouch(phase, sender, point);
}

void UIScrollingLayout::childTouchBegan(UIWidget* sender) {
    m_touchSource = sender ? sender->weakHandle() : weakHandle();
}

bool UIScrollingLayout::touchSourceGone() const {
    if (!m_touchSource) return false; // pressed directly, not through a touch
    for (UIWidget* widget = resolve(m_touchSource); widget; widget = widget->getParent())
        if (widget == this) return false;
    return true;
}

} // namespace gui
