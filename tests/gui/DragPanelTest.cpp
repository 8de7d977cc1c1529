// Drag panels: dragging within the frame and its berths, the glide, and the
// bounce back, with direct calls and in a running layer with injected touches.
#include "gui/Layout.h"
#include "gui/UIDragPanel.h"
#include "gui/UILayer.h"
#include "support/SceneTest.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

using namespace engine;
using gui::Layout;
using gui::UIDragPanel;
using gui::UIWidget;
using testsupport::HeadlessView;
using testsupport::isColour;

namespace {

class DragEvents : public CCObject {
public:
    void onDrag(CCObject*, int event) { events.push_back(event); }
    void onBerthLeftTop(CCObject*) { ++leftTopBerths; }
    std::vector<int> take() { return std::exchange(events, {}); }
    std::vector<int> events;
    int leftTopBerths = 0;
};

constexpr float kFrame = 1.0f / 60.0f;

class DragPanelTest : public testsupport::SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        events = new DragEvents();
    }
    void TearDown() override { events->release(); }
    // A 200 x 200 panel at (100, 100) over an inner container of `inner`.
    UIDragPanel* makePanel(CCSize inner, bool bounce) {
        UIDragPanel* panel = UIDragPanel::create();
        panel->setSize({200, 200});
        panel->setPosition({100, 100});
        panel->setInnerContainerSize(inner);
        panel->setBounceEnabled(bounce);
        panel->setDragEventHandler(events, dragpaneleventselector(DragEvents::onDrag));
        return panel;
    }
    static CCPoint innerAt(UIDragPanel* panel) { return panel->getInnerContainer()->getPosition(); }
    static void frames(UIDragPanel* panel, int count) {
        for (int i = 0; i < count; ++i)
            panel->update(kFrame);
    }

    DragEvents* events = nullptr;
};

} // namespace

TEST_F(DragPanelTest, WithoutBounceTheContentNeverLeavesTheFrameAndRestsAgainstBerths) {
    UIDragPanel* panel = makePanel({600, 400}, false);
    panel->setBerthHandler(2, events, pusheventselector(DragEvents::onBerthLeftTop));
    EXPECT_EQ(innerAt(panel), CCPoint(0, -200)); // its top edge at the panel's top

    panel->handlePress({200, 200});
    ASSERT_TRUE(panel->isTouching());
    panel->handleMove({250, 200}); // right: the left edge is at the frame already
    EXPECT_EQ(innerAt(panel), CCPoint(0, -200));
    EXPECT_EQ(events->take(), (std::vector<int>{gui::DRAGPANEL_EVENT_BERTH_LEFTTOP}));
    EXPECT_EQ(events->leftTopBerths, 1);
    panel->handleMove({200, 250}); // up 50 and left 50: free of every edge
    EXPECT_EQ(innerAt(panel), CCPoint(-50, -150));
    EXPECT_TRUE(events->take().empty());
    panel->handleMove({-900, 250}); // far left: cut at the right edge
    EXPECT_EQ(innerAt(panel), CCPoint(-400, -150));
    EXPECT_EQ(events->take(), (std::vector<int>{gui::DRAGPANEL_EVENT_BERTH_RIGHT}));
    panel->handleMove({-900, 900}); // far up: the right-bottom corner
    EXPECT_EQ(innerAt(panel), CCPoint(-400, 0));
    EXPECT_EQ(events->take(), (std::vector<int>{gui::DRAGPANEL_EVENT_BERTH_RIGHTBOTTOM}));
    panel->handleMove({-900, 905}); // every move that ends at an edge reports it
    EXPECT_EQ(events->take(), (std::vector<int>{gui::DRAGPANEL_EVENT_BERTH_RIGHTBOTTOM}));
}

TEST_F(DragPanelTest, GlideEasesOutOverHalfASecondAndReportsWhereItRests) {
    UIDragPanel* panel = makePanel({600, 600}, false);
    panel->handlePress({250, 150});
    frames(panel, 10);
    panel->handleMove({150, 150});
    panel->handleRelease({150, 150}); // 100 left in 10 frames: glide 10 further
    EXPECT_EQ(events->take(), (std::vector<int>{gui::DRAGPANEL_EVENT_BERTH_TOP})); // from the move
    ASSERT_TRUE(panel->isMotionRunning());
    EXPECT_EQ(panel->getMotion(), gui::DRAGPANEL_MOTION_GLIDE);
    frames(panel, 1); // the first step starts from where it is
    EXPECT_FLOAT_EQ(innerAt(panel).x, -100);
    frames(panel, 15); // half the time: the square root of a half of the way
    EXPECT_NEAR(innerAt(panel).x, -100 - 10 * std::sqrt(0.5f), 0.01f);
    frames(panel, 15);
    EXPECT_NEAR(innerAt(panel).x, -110, 0.01f);
    EXPECT_TRUE(events->take().empty());
    frames(panel, 1);
    EXPECT_FALSE(panel->isMotionRunning());
    EXPECT_EQ(events->take(), (std::vector<int>{gui::DRAGPANEL_EVENT_BERTH_TOP}));

    // A glide carries along what others move meanwhile, and a press stops it.
    panel->handlePress({250, 150});
    frames(panel, 5);
    panel->handleMove({230, 130});
    panel->handleRelease({230, 130});
    frames(panel, 2);
    CCPoint before = innerAt(panel);
    panel->getInnerContainer()->setPosition(before + CCPoint(-30, 0));
    frames(panel, 1);
    EXPECT_LT(innerAt(panel).x, before.x - 30);
    panel->handlePress({200, 200});
    EXPECT_FALSE(panel->isMotionRunning());
}

TEST_F(DragPanelTest, NoGlideForAReleaseOutsideOrAPressThatLastedNoFrame) {
    UIDragPanel* panel = makePanel({600, 600}, false);
    panel->handlePress({250, 150});
    frames(panel, 5);
    panel->handleMove({150, 150});
    panel->handleRelease({50, 150}); // outside the panel
    EXPECT_FALSE(panel->isMotionRunning());

    panel->handlePress({250, 150});
    panel->handleMove({150, 150});
    panel->handleRelease({150, 150});
    EXPECT_FALSE(panel->isMotionRunning());
    EXPECT_TRUE(std::isfinite(innerAt(panel).x));

    // Nothing larger than the frame: nothing to drag.
    UIDragPanel* small = makePanel({200, 200}, true);
    small->handlePress({150, 150});
    EXPECT_FALSE(small->isTouching());
    small->handleMove({190, 150});
    EXPECT_EQ(innerAt(small), CCPoint(0, 0));
}

TEST_F(DragPanelTest, PulledPastAnEdgeItBouncesBackWhenReleasedOrWhenTheFingerLeaves) {
    UIDragPanel* panel = makePanel({600, 200}, true);
    // Released inside: the glide stops at its first step (a gap is open) and bounces.
    panel->handlePress({150, 150});
    frames(panel, 5);
    panel->handleMove({190, 150});
    EXPECT_EQ(innerAt(panel), CCPoint(40, 0));
    panel->handleRelease({190, 150});
    frames(panel, 1);
    EXPECT_EQ(panel->getMotion(), gui::DRAGPANEL_MOTION_BOUNCE);
    EXPECT_EQ(panel->getBounceDirection(), 5);
    panel->handlePress({150, 150}); // ignored while bouncing
    EXPECT_FALSE(panel->isTouching());
    frames(panel, 31);
    EXPECT_EQ(innerAt(panel), CCPoint(0, 0));
    EXPECT_TRUE(events->take().empty());
    frames(panel, 1);
    EXPECT_EQ(events->take(), (std::vector<int>{gui::DRAGPANEL_EVENT_BOUNCE_LEFT}));
    EXPECT_EQ(panel->getMotion(), gui::DRAGPANEL_MOTION_NONE);

    // The finger leaves the panel with a gap open: bounce at once, and the
    // rest of the touch moves nothing.
    panel->handlePress({110, 150});
    panel->handleMove({290, 190});
    EXPECT_EQ(panel->getMotion(), gui::DRAGPANEL_MOTION_NONE);
    panel->handleMove({310, 190}); // outside, gaps at the left and the bottom
    EXPECT_EQ(panel->getMotion(), gui::DRAGPANEL_MOTION_BOUNCE);
    EXPECT_EQ(panel->getBounceDirection(), 1);
    CCPoint held = innerAt(panel);
    panel->handleMove({200, 150});
    EXPECT_EQ(innerAt(panel), held);
    panel->handleRelease({200, 150});
    frames(panel, 33);
    EXPECT_EQ(innerAt(panel), CCPoint(0, 0));
    EXPECT_EQ(events->take(), (std::vector<int>{gui::DRAGPANEL_EVENT_BOUNCE_LEFTBOTTOM}));
}

TEST_F(DragPanelTest, InjectedDragShowsTheContentGlideAndBounceBackThroughTheClip) {
    UIDragPanel* panel = makePanel({600, 200}, true);
    Layout* block = Layout::create();
    block->setSize({100, 200});
    block->setBackgroundColorType(gui::LAYOUT_COLOR_SOLID);
    block->setBackgroundColor({0, 180, 0});
    panel->addChild(block); // at the content's left edge
    gui::UILayer* layer = gui::UILayer::create();
    layer->addWidget(panel);
    screen.show(layer);
    EXPECT_TRUE(isColour(screen.at(150, 200), 0, 180, 0));

    HeadlessView::touchBegan({150, 200});
    screen.step(3);
    HeadlessView::touchMoved({210, 200}); // 60 right: a gap at the left
    screen.step();
    EXPECT_TRUE(isColour(screen.at(130, 200), 0, 0, 0)); // the gap
    EXPECT_TRUE(isColour(screen.at(170, 200), 0, 180, 0));
    EXPECT_TRUE(isColour(screen.at(95, 200), 0, 0, 0)); // outside the panel
    HeadlessView::touchEnded({210, 200});
    screen.step(35);
    screen.save("drag_panel_bounced");
    EXPECT_TRUE(isColour(screen.at(105, 200), 0, 180, 0));
    EXPECT_TRUE(isColour(screen.at(205, 200), 0, 0, 0));
    EXPECT_EQ(events->take(), (std::vector<int>{gui::DRAGPANEL_EVENT_BOUNCE_LEFT}));
}

TEST_F(DragPanelTest, ChildLosesItsTapToAStraightLineMoveBeyondFivePoints) {
    UIDragPanel* panel = makePanel({600, 600}, false);
    UIWidget* child = UIWidget::create();
    child->setIgnoreContentSize(false);
    child->setSize({100, 100});
    child->setPosition({100, 500}); // world centre (200, 200)
    child->setTouchEnabled(true);
    panel->addChild(child);
    gui::UILayer* layer = gui::UILayer::create();
    layer->addWidget(panel);
    screen.show(layer);

    HeadlessView::touchBegan({200, 200});
    HeadlessView::touchMoved({203, 204}); // 5 points: the tap stands
    EXPECT_TRUE(child->isFocused());
    EXPECT_EQ(innerAt(panel), CCPoint(0, -400));
    HeadlessView::touchMoved({204, 204});
    EXPECT_FALSE(child->isFocused());
    EXPECT_EQ(innerAt(panel), CCPoint(0, -396)); // from the press point on, cut at the left edge
    HeadlessView::touchMoved({180, 210});
    EXPECT_EQ(innerAt(panel), CCPoint(-24, -390));
    HeadlessView::touchEnded({180, 210});
}
