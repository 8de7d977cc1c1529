// The scrolling containers' lifetime: read from layout files, built,
// scrolled and destroyed many times, and torn down with deep content.
#include "engine/base/CCArray.h"
#include "engine/base/CCAutoreleasePool.h"
#include "gui/Layout.h"
#include "gui/LayoutReader.h"
#include "gui/UIDragPanel.h"
#include "gui/UILayer.h"
#include "gui/UIPageView.h"
#include "gui/UIScrollView.h"
#include "gui/UIToolkit.h"
#include "support/SceneTest.h"

#include <gtest/gtest.h>

using namespace engine;
using gui::UIWidget;
using testsupport::HeadlessView;
using testsupport::LogCapture;

namespace {

class ScrollContainerLifetimeTest : public testsupport::SceneTest {
protected:
    void TearDown() override { gui::UIToolkit::purgeToolkit(); }
    UIWidget* read(const std::string& text) {
        return gui::LayoutReader::instance()->readLayoutData(text, "layouts/containers.json");
    }
};

// Three buttons-like children in a running layer, a drag across, a few frames.
template <class Container> void buildScrollAndDrop(Container* container) {
    container->setSize({200, 200});
    container->setTouchEnabled(true);
    for (int i = 0; i < 3; ++i) {
        UIWidget* child = UIWidget::create();
        child->setIgnoreContentSize(false);
        child->setSize({50, 50});
        child->setPosition({40, 40.0f + 60 * i});
        child->setTouchEnabled(true);
        container->addChild(child);
    }
    gui::UILayer* layer = gui::UILayer::create();
    layer->addWidget(container);
    layer->retain();
    layer->onEnter();
    HeadlessView::touchBegan({40, 40});
    container->update(1.0f / 60);
    HeadlessView::touchMoved({20, 90});
    HeadlessView::touchEnded({20, 90});
    for (int i = 0; i < 3; ++i)
        container->update(1.0f / 60);
    layer->onExit();
    layer->release();
    CCAutoreleasePool::sharedPool()->drain();
}

} // namespace

TEST_F(ScrollContainerLifetimeTest, EachContainerBuiltScrolledAndDestroyedAThousandTimesLeavesNothing) {
    for (int i = 0; i < 1000; ++i) {
        gui::UIScrollView* scroll = gui::UIScrollView::create();
        scroll->setInnerContainerSize({200, 600});
        buildScrollAndDrop(scroll);
        gui::UIDragPanel* drag = gui::UIDragPanel::create();
        drag->setInnerContainerSize({600, 600});
        drag->setBounceEnabled(i % 2 == 0);
        buildScrollAndDrop(drag);
        buildScrollAndDrop(gui::UIPageView::create());
    }
    EXPECT_TRUE(leaks.unchanged());
}

TEST_F(ScrollContainerLifetimeTest, DeepContentIsTornDownWithoutRecursion) {
    CCRef<gui::UIScrollView> scroll(gui::UIScrollView::create());
    UIWidget* parent = scroll.get();
    for (int i = 0; i < 4000; ++i) {
        UIWidget* child = gui::Layout::create();
        parent->addChild(child);
        parent = child;
    }
    CCAutoreleasePool::sharedPool()->drain(); // as a frame would: the tree alone holds it
    scroll.reset();
    CCAutoreleasePool::sharedPool()->drain();
}

TEST_F(ScrollContainerLifetimeTest, ReaderFillsEachContainerAndPutsChildrenInside) {
    LogCapture log;
    UIWidget* root = read(R"({"version": "1.0.0.0", "designWidth": 640, "designHeight": 960,
        "widgetTree": {"classname": "Panel", "options": {"width": 640, "height": 960}, "children": [
          {"classname": "ScrollView", "options": {"name": "across", "width": 300, "height": 100,
             "direction": 2, "innerWidth": 900, "innerHeight": 50, "clipAble": false,
             "bgColorR": 10, "colorType": 1},
           "children": [{"classname": "Button", "options": {"name": "b1"}}]},
          {"classname": "ScrollView", "options": {"name": "odd", "direction": 7}},
          {"classname": "DragPanel", "options": {"name": "drag", "width": 100, "height": 100,
             "innerWidth": 400, "innerHeight": 300, "bounceEnable": true},
           "children": [{"classname": "Panel", "options": {"name": "p1"}}]},
          {"classname": "PageView", "options": {"name": "pages", "touchAble": true, "clipAble": false},
           "children": [{"classname": "Button", "options": {"name": "b2"}}]}]}})");
    ASSERT_NE(root, nullptr);
    auto* across = static_cast<gui::UIScrollView*>(gui::UIToolkit::findWidgetByName(root, "across"));
    ASSERT_NE(across, nullptr);
    EXPECT_EQ(across->getDirection(), gui::SCROLLVIEW_DIR_HORIZONTAL);
    EXPECT_EQ(across->getInnerContainer()->getSize(), CCSize(900, 100));
    EXPECT_TRUE(across->hasClipping()); // "clipAble" does not apply to it
    EXPECT_EQ(across->getBackgroundColorType(), gui::LAYOUT_COLOR_SOLID);
    EXPECT_EQ(gui::UIToolkit::findWidgetByName(root, "b1")->getParent(), across->getInnerContainer());
    EXPECT_EQ(log.count("unknown direction 7"), 1);

    auto* drag = static_cast<gui::UIDragPanel*>(gui::UIToolkit::findWidgetByName(root, "drag"));
    ASSERT_NE(drag, nullptr);
    EXPECT_TRUE(drag->isBounceEnabled());
    EXPECT_EQ(drag->getInnerContainer()->getSize(), CCSize(400, 300));
    EXPECT_EQ(drag->getInnerContainer()->getPosition(), CCPoint(0, -200));
    EXPECT_EQ(gui::UIToolkit::findWidgetByName(root, "p1")->getParent(), drag->getInnerContainer());

    auto* pages = static_cast<gui::UIPageView*>(gui::UIToolkit::findWidgetByName(root, "pages"));
    ASSERT_NE(pages, nullptr);
    EXPECT_FALSE(pages->hasClipping()); // the panel reader's "clipAble" applies
    EXPECT_TRUE(pages->isTouchEnabled());
    EXPECT_EQ(gui::UIToolkit::findWidgetByName(root, "b2")->getParent(), pages);
    EXPECT_EQ(pages->getPages()->count(), 0u);
}
