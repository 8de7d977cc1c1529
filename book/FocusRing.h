#pragma once
// The keyboard's focus on a screen: Tab and Shift+Tab move a ring through
// what the screen offers to touch, in reading order (top line first, left to
// right), and Return acts on the focused thing exactly as a touch would.
// The ring is drawn over everything, dark outside and white inside so that it
// shows on light and dark art, and it goes at the next touch anywhere.
#include "engine/base/CCGeometry.h"
#include "engine/director/CCTouchDelegate.h"
#include "engine/nodes/CCDrawNode.h"

#include <functional>
#include <vector>

namespace gui {
class UIWidget;
}

namespace book {

class FocusRing : public engine::CCDrawNode, public engine::CCTouchDelegate {
public:
    struct Target {
        std::function<engine::CCRect()> bounds; // in world space, where the ring goes
        std::function<void()> act;              // what a touch on it does
        bool main = false;                      // the screen's main action: the ring starts here
    };

    static FocusRing* create();

    // How far the ring reaches beyond the thing it is around, in points.
    static constexpr float kReach = 9.0f;

    // The screen's targets, in the order Tab visits them (see inReadingOrder).
    // The ring starts on the main target (the first without one) when the
    // keyboard was in use on the screen before (a page turned by keys goes
    // on with the keys), and hidden otherwise; the first Tab or Shift+Tab
    // on a hidden ring shows it there too.
    void setTargets(std::vector<Target> targets);
    // Tab, Shift+Tab, and Return or Space while the ring is shown (a focused
    // button takes Space on the desktop too); true when the key was used.
    bool handleKey(int key);
    // Moves the ring to target `index` (clamped) and shows it.
    void focus(int index);
    // -1 while the ring is hidden.
    int getFocusedIndex() const { return m_visible ? m_index : -1; }

    void onEnter() override;
    void onExit() override;
    void update(float elapsed) override;
    // Any touch hides the ring; the touch goes on to whoever claims it.
    bool ccTouchBegan(engine::CCTouch* touch, engine::CCEvent* event) override;

private:
    FocusRing() = default;
    void hide();
    void redraw();

    std::vector<Target> m_targets;
    int m_start = 0;
    int m_index = -1;
    bool m_visible = false;
    engine::CCRect m_drawn; // the rectangle the ring was last drawn around
};

// Targets in reading order: rows from the top (things whose vertical middles
// lie within half the smaller height of each other share a row), each row
// left to right.
std::vector<FocusRing::Target> inReadingOrder(std::vector<FocusRing::Target> targets);

// Where a widget covers (its touch area) and where a node draws its content,
// in world space.
engine::CCRect widgetBounds(gui::UIWidget* widget);
engine::CCRect nodeBounds(engine::CCNode* node);

} // namespace book
