#include "gui/UITouchRouter.h"

#include "engine/base/CCArray.h"
#include "gui/UIWidget.h"

namespace gui {

using engine::CCPoint;

namespace {
// One widget of the pick's walk and the next of its children to visit
// (counting down: the last child first).
struct PickFrame {
    UIWidget* widget;
    unsigned int nextChild;
};
} // namespace

UITouchRouter::UITouchRouter(UIWidget* root) : m_selectedWidgets(engine::CCArray::create()), m_root(root) {}

UITouchRouter::~UITouchRouter() = default;

// Walks with a stack of its own: a deep tree must not grow the call stack.
UIWidget* UITouchRouter::findTouchTarget(const CCPoint& location) const {
    if (!m_root) return nullptr;
    std::vector<PickFrame> stack;
    auto enter = [&stack](UIWidget* widget) {
        if (!widget->isEnabled()) return; // not drawn, so nothing in it is touchable
        engine::CCArray* children = widget->getChildren();
        stack.push_back({widget, children ? children->count() : 0u});
    };
    enter(m_root);
    while (!stack.empty()) {
        PickFrame& top = stack.back();
        if (top.nextChild > 0) {
            --top.nextChild;
            engine::CCArray* children = top.widget->getChildren();
            if (children && top.nextChild < children->count())
                enter(static_cast<UIWidget*>(children->objectAtIndex(top.nextChild)));
            continue;
        }
        UIWidget* widget = top.widget;
        stack.pop_back();
        if (widget->isTouchEnabled() && widget->hitTest(location) &&
            widget->isInsideClippingAncestors(location))
            return widget;
    }
    return nullptr;
}

bool UITouchRouter::touchBegan(int touchId, const CCPoint& location) {
    m_beganLocation = location;
    UIWidget* target = findTouchTarget(location);
    if (!target) return false;
    m_selectedWidgets->addObject(target);
    m_selectedTouchIds.push_back(touchId);
    // What it answers is the widget's own affair: the touch is taken.
    target->onTouchBegan(location);
    return true;
}

void UITouchRouter::touchMoved(int touchId, const CCPoint& location) {
    m_movedLocation = location;
    deliver(Phase::Moved, touchId, location);
}

void UITouchRouter::touchEnded(int touchId, const CCPoint& location) {
    m_endLocation = location;
    deliver(Phase::Ended, touchId, location);
}

void UITouchRouter::touchCancelled(int touchId, const CCPoint& location) {
    m_endLocation = location;
    deliver(Phase::Cancelled, touchId, location);
}

void UITouchRouter::deliver(Phase phase, int touchId, const CCPoint& location) {
    // Kept alive through the calls: a handler may drop its widget or the
    // whole tree.
    std::vector<engine::CCRef<UIWidget>> targets;
    for (unsigned int i = 0; i < m_selectedTouchIds.size(); ++i)
        if (m_selectedTouchIds[i] == touchId)
            targets.emplace_back(static_cast<UIWidget*>(m_selectedWidgets->objectAtIndex(i)));
    if (phase != Phase::Moved) {
        // The touch is over before its last phase runs, so a handler that
        // starts a new touch finds the router idle.
        for (unsigned int i = static_cast<unsigned int>(m_selectedTouchIds.size()); i > 0; --i) {
            if (m_selectedTouchIds[i - 1] != touchId) continue;
            m_selectedWidgets->removeObjectAtIndex(i - 1);
            m_selectedTouchIds.erase(m_selectedTouchIds.begin() + (i - 1));
        }
    }
    for (auto& target : targets) {
        switch (phase) {
        case Phase::Moved:
            target->onTouchMoved(location);
            break;
        case Phase::Ended:
            target->onTouchEnded(location);
            break;
        case Phase::Cancelled:
            target->onTouchCancelled(location);
            break;
        }
    }
}

} // namespace gui
