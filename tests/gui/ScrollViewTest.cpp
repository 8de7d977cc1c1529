// Scroll views and page views in a running UI layer, driven by injected
// touches on the virtual clock.
#include "engine/base/CCArray.h"
#include "gui/Layout.h"
#include "gui/UIDragPanel.h"
#include "gui/UILayer.h"
#include "gui/UIPageView.h"
#include "gui/UIScrollView.h"
#include "support/SceneTest.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using namespace engine;
using gui::Layout;
using gui::UIScrollView;
using gui::UIWidget;
using testsupport::HeadlessView;
using testsupport::isColour;

namespace {

using Strings = std::vector<std::string>;

class Events : public CCObject {
public:
    void onScroll(CCObject*, int event) { calls.push_back("scroll " + std::to_string(event)); }
    void onBottom(CCObject*) { calls.push_back("bottom"); }
    void onTop(CCObject*) { calls.push_back("top"); }
    void onTouch(CCObject*, int code) { calls.push_back("touch " + std::to_string(code)); }
    // Removes the widget that reports its press: a close button.
    void removeOnPress(CCObject* sender, int code) {
        if (code == 0) static_cast<UIWidget*>(sender)->removeFromParent();
    }
    Strings take() { return std::exchange(calls, {}); }
    Strings calls;
};

// A touch-enabled widget of `w` x `h` centred on `centre`.
UIWidget* button(float w, float h, CCPoint centre) {
    UIWidget* widget = UIWidget::create();
    widget->setIgnoreContentSize(false);
    widget->setSize({w, h});
    widget->setPosition(centre);
    widget->setTouchEnabled(true);
    return widget;
}

Layout* colourBlock(CCPoint corner, CCSize size, ccColor3B colour) {
    Layout* block = Layout::create();
    block->setSize(size);
    block->setPosition(corner);
    block->setBackgroundColorType(gui::LAYOUT_COLOR_SOLID);
    block->setBackgroundColor(colour);
    return block;
}

class ScrollViewTest : public testsupport::SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        events = new Events();
    }
    void TearDown() override { events->release(); }
    // A vertical view of 400 x 400 at (100, 200) over an inner container of
    // 400 x `innerHeight`, shown in a running layer.
    UIScrollView* showVerticalView(float innerHeight) {
        UIScrollView* scroll = UIScrollView::create();
        scroll->setSize({400, 400});
        scroll->setPosition({100, 200});
        scroll->setInnerContainerSize({400, innerHeight});
        scroll->setScrollEventHandler(events, scrollvieweventselector(Events::onScroll));
        scroll->setScrollToBottomHandler(events, pusheventselector(Events::onBottom));
        scroll->setScrollToTopHandler(events, pusheventselector(Events::onTop));
        layer = gui::UILayer::create();
        layer->addWidget(scroll);
        screen.show(layer);
        return scroll;
    }
    // A drag of `distance` points up from (300, 250), one move per frame of
    // `frames` frames, then the release.
    void dragUp(float distance, int frames) {
        HeadlessView::touchBegan({300, 250});
        for (int i = 1; i <= frames; ++i) {
            screen.step();
            HeadlessView::touchMoved({300, 250 + distance * i / frames});
        }
        HeadlessView::touchEnded({300, 250 + distance});
    }
    float innerY(UIScrollView* scroll) { return scroll->getInnerContainer()->getPosition().y; }

    Events* events = nullptr;
    gui::UILayer* layer = nullptr;
};

} // namespace

TEST_F(ScrollViewTest, ContentStopsAtItsEndsAndReportsTheEndOnEveryFurtherMove) {
    UIScrollView* scroll = UIScrollView::create();
    scroll->setSize({200, 400});
    scroll->setInnerContainerSize({100, 1000});
    // Never smaller than the view; its top edge meets the view's top.
    EXPECT_EQ(scroll->getInnerContainer()->getSize(), CCSize(200, 1000));
    EXPECT_EQ(innerY(scroll), -600);
    scroll->setScrollEventHandler(events, scrollvieweventselector(Events::onScroll));
    scroll->setScrollToBottomHandler(events, pusheventselector(Events::onBottom));
    scroll->setScrollToTopHandler(events, pusheventselector(Events::onTop));

    scroll->handlePress({50, 100});
    scroll->handleMove({50, 200});
    EXPECT_EQ(innerY(scroll), -500);
    EXPECT_TRUE(events->take().empty());
    scroll->handleMove({50, 800}); // 700 up in all
    EXPECT_EQ(innerY(scroll), 0);
    EXPECT_TRUE(scroll->isBottomEnded());
    EXPECT_EQ(events->take(), (Strings{"bottom", "scroll 1"}));
    scroll->handleMove({50, 801});
    EXPECT_EQ(innerY(scroll), 0);
    EXPECT_EQ(events->take(), (Strings{"bottom", "scroll 1"}));

    scroll->handleMove({50, -500}); // far down: the top edge stops at the top
    EXPECT_EQ(innerY(scroll), -600);
    EXPECT_TRUE(scroll->isTopEnded());
    EXPECT_EQ(events->take(), (Strings{"top", "scroll 0"}));

    scroll->setDirection(gui::SCROLLVIEW_DIR_HORIZONTAL);
    scroll->setInnerContainerSize({500, 400});
    scroll->handlePress({100, 0});
    scroll->handleMove({-500, 0});
    EXPECT_EQ(scroll->getInnerContainer()->getPosition().x, -300); // right edge at the view's right
    EXPECT_EQ(events->take(), (Strings{"scroll 3"}));
    scroll->handleMove({500, 0});
    EXPECT_EQ(scroll->getInnerContainer()->getPosition().x, 0);
    EXPECT_EQ(events->take(), (Strings{"scroll 2"}));

    scroll->setDirection(gui::SCROLLVIEW_DIR_NONE);
    EXPECT_FALSE(scroll->scrollBy(50));
    EXPECT_EQ(scroll->getInnerContainer()->getPosition().x, 0);
}

TEST_F(ScrollViewTest, FlickStartsAtTheDragsSpeedAndSlowsToAStop) {
    UIScrollView* scroll = showVerticalView(5000);
    EXPECT_EQ(innerY(scroll), -4600);
    dragUp(300, 15); // 0.25 s
    EXPECT_EQ(innerY(scroll), -4300);
    ASSERT_TRUE(scroll->isAutoScrolling());
    EXPECT_NEAR(scroll->getAutoScrollSpeed(), 1200, 0.5f);
    EXPECT_FALSE(scroll->isPressed());

    // 600 points per second squared: 120 frames to stop, 1190 points on.
    screen.step(119);
    EXPECT_TRUE(scroll->isAutoScrolling());
    screen.step();
    EXPECT_FALSE(scroll->isAutoScrolling());
    EXPECT_NEAR(innerY(scroll), -4300 + 1190, 1.0f);
    float rest = innerY(scroll);
    screen.step(10);
    EXPECT_EQ(innerY(scroll), rest);
    EXPECT_TRUE(events->take().empty());
}

TEST_F(ScrollViewTest, FlickStopsAtAnEndWithItsEvent) {
    UIScrollView* scroll = showVerticalView(1000);
    dragUp(300, 15);
    ASSERT_TRUE(scroll->isAutoScrolling());
    screen.step(60);
    EXPECT_FALSE(scroll->isAutoScrolling());
    EXPECT_EQ(innerY(scroll), 0);
    EXPECT_EQ(events->take(), (Strings{"bottom", "scroll 1"}));
}

TEST_F(ScrollViewTest, PressShorterThanAFrameStartsNoFlickAndLeavesTheViewIdle) {
    UIScrollView* scroll = showVerticalView(1000);
    HeadlessView::touchBegan({300, 250});
    HeadlessView::touchMoved({300, 300});
    HeadlessView::touchEnded({300, 300});
    EXPECT_FALSE(scroll->isAutoScrolling());
    EXPECT_FALSE(scroll->isPressed());
    float rest = innerY(scroll);
    screen.step(5);
    EXPECT_EQ(innerY(scroll), rest);
}

TEST_F(ScrollViewTest, ChildLosesItsTapOnlyToAMoveAlongTheAxisBeyondFivePoints) {
    UIScrollView* scroll = showVerticalView(1000);
    UIWidget* child = button(100, 100, {200, 750}); // world centre (300, 350)
    child->setTouchEventHandler(events, toucheventselector(Events::onTouch));
    scroll->addChild(child);
    EXPECT_EQ(child->getParent(), scroll->getInnerContainer());

    // 30 points sideways on a vertical view: the tap stands, nothing scrolls.
    HeadlessView::touchBegan({300, 350});
    screen.step();
    HeadlessView::touchMoved({330, 350});
    HeadlessView::touchEnded({330, 350});
    EXPECT_EQ(events->take(), (Strings{"touch 0", "touch 1", "touch 2"}));
    EXPECT_EQ(innerY(scroll), -600);

    // 6 points up: the view scrolls from the press point on, the tap is gone.
    HeadlessView::touchBegan({300, 350});
    screen.step();
    HeadlessView::touchMoved({300, 356});
    EXPECT_FALSE(child->isFocused());
    EXPECT_EQ(innerY(scroll), -594);
    HeadlessView::touchEnded({300, 356});
    EXPECT_EQ(events->take(), (Strings{"touch 0", "touch 1", "touch 3"}));
}

TEST_F(ScrollViewTest, ChildRemovedByItsOwnHandlerDoesNotLeaveTheViewPressed) {
    UIScrollView* scroll = showVerticalView(1000);
    UIWidget* child = button(100, 100, {200, 750});
    child->setTouchEventHandler(events, toucheventselector(Events::removeOnPress));
    scroll->addChild(child);
    HeadlessView::touchBegan({300, 350});
    EXPECT_EQ(scroll->getChildren()->count(), 0u);
    screen.step(3);
    EXPECT_FALSE(scroll->isPressed());
    HeadlessView::touchEnded({300, 450});
    screen.step(3);
    EXPECT_FALSE(scroll->isAutoScrolling());
    EXPECT_EQ(innerY(scroll), -600);
}

TEST_F(ScrollViewTest, ViewMovedToAnotherParentKeepsItsFrames) {
    UIScrollView* scroll = showVerticalView(5000);
    CCRef<UIScrollView> keep(scroll);
    dragUp(300, 15);
    ASSERT_TRUE(scroll->isAutoScrolling());
    Layout* other = Layout::create();
    layer->addWidget(other);
    scroll->removeFromParent();
    other->addChild(scroll); // entering again resets the view to its top
    float start = innerY(scroll);
    screen.step(10);
    EXPECT_GT(innerY(scroll), start);
}

TEST_F(ScrollViewTest, ClippingShowsTheScrolledPartOnly) {
    UIScrollView* scroll = showVerticalView(1000);
    scroll->addChild(colourBlock({0, 0}, {400, 500}, {200, 0, 0}));
    scroll->addChild(colourBlock({0, 500}, {400, 500}, {0, 0, 200}));
    screen.step();
    EXPECT_TRUE(isColour(screen.at(300, 400), 0, 0, 200)); // the top half of the content
    EXPECT_TRUE(isColour(screen.at(300, 150), 0, 0, 0));   // below the view: cut
    // Held still after 450 points up: inner y -150, the colours meet at world 550.
    HeadlessView::touchBegan({300, 250});
    for (int i = 1; i <= 9; ++i) {
        screen.step();
        HeadlessView::touchMoved({300, 250 + 50.0f * i});
    }
    screen.step();
    screen.save("scroll_view_scrolled");
    EXPECT_TRUE(isColour(screen.at(300, 205), 200, 0, 0));
    EXPECT_TRUE(isColour(screen.at(300, 545), 200, 0, 0));
    EXPECT_TRUE(isColour(screen.at(300, 555), 0, 0, 200));
    EXPECT_TRUE(isColour(screen.at(300, 610), 0, 0, 0)); // above the view: cut
    EXPECT_TRUE(isColour(screen.at(300, 190), 0, 0, 0));
    HeadlessView::touchEnded({300, 700});
}

// Both scrolling containers; neither takes itself into its inner container,
// which would make it hold itself.
TEST_F(ScrollViewTest, ContainerChildrenOperationsReachTheInnerContainer) {
    for (gui::UIScrollingLayout* scroll :
         {static_cast<gui::UIScrollingLayout*>(UIScrollView::create()),
          static_cast<gui::UIScrollingLayout*>(gui::UIDragPanel::create())}) {
        SCOPED_TRACE(scroll->getKindName());
        UIWidget* a = UIWidget::create();
        UIWidget* b = UIWidget::create();
        a->setName("a");
        EXPECT_TRUE(scroll->addChild(a));
        EXPECT_TRUE(scroll->addChild(b));
        EXPECT_FALSE(scroll->addChild(scroll));
        EXPECT_EQ(scroll->getChildren(), scroll->getInnerContainer()->getChildren());
        EXPECT_EQ(scroll->getChildren()->count(), 2u);
        EXPECT_TRUE(scroll->removeChild(a));
        EXPECT_EQ(a->getParent(), nullptr);
        scroll->removeAllChildren();
        EXPECT_EQ(scroll->getChildren()->count(), 0u);
        EXPECT_EQ(scroll->getInnerContainer()->getParent(), scroll); // the container itself stays
    }
}

// --- page view

TEST_F(ScrollViewTest, PageViewCancelsATapAfterFivePointsSidewaysAndEndsItsOwnTouchOnce) {
    gui::UIPageView* pages = gui::UIPageView::create();
    pages->setSize({300, 300});
    pages->setPosition({100, 100});
    pages->setTouchEnabled(true);
    pages->setTouchEventHandler(events, toucheventselector(Events::onTouch));
    UIWidget* child = button(100, 100, {150, 150}); // world centre (250, 250)
    Events* childEvents = new Events();
    child->setTouchEventHandler(childEvents, toucheventselector(Events::onTouch));
    EXPECT_TRUE(pages->addChild(child));
    EXPECT_EQ(pages->getPages()->count(), 0u); // a child is never a page
    layer = gui::UILayer::create();
    layer->addWidget(pages);
    screen.show(layer);

    HeadlessView::touchBegan({250, 250});
    HeadlessView::touchMoved({255, 280}); // 5 sideways: the tap stands
    EXPECT_TRUE(child->isFocused());
    HeadlessView::touchMoved({256, 280});
    EXPECT_FALSE(child->isFocused());
    HeadlessView::touchEnded({256, 280});
    EXPECT_EQ(childEvents->take(), (Strings{"touch 0", "touch 1", "touch 1", "touch 3"}));

    // Its own touch ends when the finger leaves it; the later release is not a second end.
    HeadlessView::touchBegan({120, 120});
    HeadlessView::touchMoved({50, 120});
    HeadlessView::touchMoved({40, 120});
    HeadlessView::touchEnded({40, 120});
    EXPECT_EQ(events->take(), (Strings{"touch 0", "touch 1", "touch 3"}));

    // Removing an ordinary child works as for any widget.
    CCRef<UIWidget> keep(child);
    EXPECT_TRUE(pages->removeChild(child));
    EXPECT_EQ(child->getParent(), nullptr);
    childEvents->release();
}
