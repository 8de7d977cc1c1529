#include "gui/Layout.h"
#include "engine/base/CCArray.h"
#include "engine/nodes/CCDrawNode.h"
#include "engine/nodes/CCLayer.h"
#include "engine/nodes/CCScale9Sprite.h"
#include "engine/nodes/CCSprite.h"
#include "engine/render/CCTextureCache.h"
#include "gui/RectClippingNode.h"
#include "gui/UILayer.h"
#include "gui/UIRootWidget.h"
#include "support/SceneTest.h"

#include <gtest/gtest.h>

using namespace engine;
using gui::Layout;
using gui::RectClippingNode;
using testsupport::HeadlessView;
using testsupport::isColour;

namespace {

constexpr ccColor3B kRed{255, 0, 0};
constexpr ccColor3B kGreen{0, 255, 0};
constexpr ccColor3B kBlue{0, 0, 255};

// A panel of `w` x `h` at `position` painted with one solid colour.
Layout* panel(float w, float h, CCPoint position, ccColor3B colour) {
    Layout* layout = Layout::create();
    layout->setSize({w, h});
    layout->setPosition(position);
    layout->setBackgroundColorType(gui::LAYOUT_COLOR_SOLID);
    layout->setBackgroundColor(colour);
    return layout;
}

class LayoutTest : public testsupport::SceneTest {
protected:
    // Shows `widget` under a UI layer in a running scene, one frame drawn.
    gui::UILayer* show(gui::UIWidget* widget) {
        gui::UILayer* layer = gui::UILayer::create();
        layer->addWidget(widget);
        screen.show(layer);
        return layer;
    }
};

using LayoutClippingTest = LayoutTest;
using LayoutBackgroundTest = LayoutTest;
using LayoutLooksTest = LayoutTest;

} // namespace

// --- creation, size, hits

TEST_F(LayoutTest, NewPanelIsAnchoredAtItsCornerWithA50x50StencilUntilItsSizeChanges) {
    Layout* layout = Layout::create();
    EXPECT_STREQ(layout->getKindName(), "Layout");
    EXPECT_EQ(layout->getCategory(), gui::WIDGET_CATEGORY_CONTAINER);
    EXPECT_EQ(layout->getAnchorPoint(), CCPoint(0, 0));
    EXPECT_FALSE(layout->isIgnoreContentSize());
    EXPECT_EQ(layout->getSize(), CCSize(0, 0));
    RectClippingNode* clip = layout->getClippingNode();
    ASSERT_NE(clip, nullptr);
    EXPECT_EQ(layout->getRenderer(), clip);
    EXPECT_EQ(clip->getClipSize(), CCSize(50, 50));
    CCRect stencilBox;
    ASSERT_TRUE(static_cast<CCDrawNode*>(clip->getStencil())->getDrawnBounds(stencilBox));
    EXPECT_EQ(stencilBox, CCRect(0, 0, 50, 50));

    layout->setSize({0, 0}); // not a change
    EXPECT_EQ(clip->getClipSize(), CCSize(50, 50));
    layout->setSize({300, 200});
    EXPECT_EQ(clip->getClipSize(), CCSize(300, 200));
    EXPECT_EQ(layout->getContentSize(), CCSize(300, 200));
    ASSERT_TRUE(static_cast<CCDrawNode*>(clip->getStencil())->getDrawnBounds(stencilBox));
    EXPECT_EQ(stencilBox, CCRect(0, 0, 300, 200));
    layout->setSize({0, 0}); // from now on the stencil follows every size
    EXPECT_EQ(clip->getClipSize(), CCSize(0, 0));
}

TEST_F(LayoutTest, HitTestRunsFromTheLowerLeftCornerEdgesIncluded) {
    Layout* parent = Layout::create();
    parent->setSize({640, 960});
    parent->setPosition({5, 5});
    Layout* layout = Layout::create();
    layout->setSize({300, 200});
    layout->setPosition({10, 20});
    parent->addChild(layout);
    // World coordinates: the parent moves the panel by (5, 5).
    EXPECT_TRUE(layout->hitTest({15, 25}));
    EXPECT_TRUE(layout->hitTest({315, 225}));
    EXPECT_TRUE(layout->hitTest({165, 125}));
    EXPECT_FALSE(layout->hitTest({14.9f, 100}));
    EXPECT_FALSE(layout->hitTest({315.1f, 100}));
    EXPECT_FALSE(layout->hitTest({100, 225.1f}));
    EXPECT_FALSE(layout->hitTest({100, 24.9f}));
    EXPECT_EQ(layout->getLeftEdge(), 10);
    EXPECT_EQ(layout->getTopEdge(), 220);
}

TEST_F(LayoutTest, ClipAbleAndClippingAreOneSwitchThatTheRenderNodeFollows) {
    Layout* layout = Layout::create();
    EXPECT_FALSE(layout->isClippingEnabled());
    layout->setClipAble(true);
    EXPECT_TRUE(layout->hasClipping());
    EXPECT_TRUE(layout->isClipAble());
    EXPECT_TRUE(layout->isClippingEnabled());
    EXPECT_TRUE(layout->getClippingNode()->isClippingEnabled());
    layout->setClipping(false);
    EXPECT_FALSE(layout->isClipAble());
    EXPECT_FALSE(layout->getClippingNode()->isClippingEnabled());
}

TEST_F(LayoutTest, AbsoluteArrangementLeavesChildrenWhereTheyWere) {
    Layout* layout = Layout::create();
    Layout* child = Layout::create();
    child->setPosition({30, 40});
    layout->addChild(child);
    EXPECT_EQ(layout->getArrangement(), gui::LAYOUT_ABSOLUTE);
    layout->setSize({400, 300});
    layout->setSize({100, 100});
    EXPECT_EQ(child->getPosition(), CCPoint(30, 40));
}

// --- clipping, in pixels

TEST_F(LayoutClippingTest, ChildIsCutExactlyAtThePanelsEdgeOnlyWhileClippingIsOn) {
    Layout* layout = panel(300, 200, {10, 20}, {40, 40, 40});
    layout->setClipping(true);
    Layout* child = panel(40, 40, {290, 100}, kBlue); // world x 300..340, y 120..160
    layout->addChild(child);
    show(layout);
    EXPECT_TRUE(screen.savedAsShown("layout_clipping_on"));
    EXPECT_TRUE(isColour(screen.at(309.5f, 140.5f), 0, 0, 255));
    EXPECT_TRUE(isColour(screen.at(310.5f, 140.5f), 0, 0, 0)); // cut at x = 310
    EXPECT_TRUE(isColour(screen.at(300.5f, 120.5f), 0, 0, 255));
    EXPECT_TRUE(isColour(screen.at(299.5f, 140.5f), 40, 40, 40));

    layout->setClipping(false);
    screen.step();
    EXPECT_TRUE(isColour(screen.at(310.5f, 140.5f), 0, 0, 255));
    EXPECT_TRUE(isColour(screen.at(339.5f, 159.5f), 0, 0, 255));
    EXPECT_TRUE(isColour(screen.at(340.5f, 140.5f), 0, 0, 0));
}

TEST_F(LayoutClippingTest, ResizingMovesTheClippingRectangle) {
    Layout* layout = panel(300, 200, {10, 20}, {40, 40, 40});
    layout->setClipping(true);
    layout->addChild(panel(100, 40, {290, 100}, kBlue));
    show(layout);
    layout->setSize({320, 200});
    screen.step();
    EXPECT_TRUE(isColour(screen.at(329.5f, 140.5f), 0, 0, 255));
    EXPECT_TRUE(isColour(screen.at(330.5f, 140.5f), 0, 0, 0));
    EXPECT_TRUE(isColour(screen.at(329.5f, 210.5f), 40, 40, 40)); // the colour layer followed too
}

TEST_F(LayoutClippingTest, ClippingPanelWithoutSizeShowsItsFirst50x50Square) {
    Layout* layout = Layout::create();
    layout->setPosition({100, 100});
    layout->setClipping(true);
    layout->addChild(panel(200, 200, {0, 0}, kGreen));
    show(layout);
    EXPECT_TRUE(isColour(screen.at(149.5f, 149.5f), 0, 255, 0));
    EXPECT_TRUE(isColour(screen.at(150.5f, 120.5f), 0, 0, 0));
    EXPECT_TRUE(isColour(screen.at(120.5f, 150.5f), 0, 0, 0));
}

TEST_F(LayoutClippingTest, NestedClippingPanelsCutToBothRectangles) {
    Layout* outer = panel(200, 200, {0, 0}, {40, 40, 40});
    outer->setClipping(true);
    Layout* inner = panel(200, 100, {100, 50}, {80, 80, 80}); // reaches past the outer's right edge
    inner->setClipping(true);
    inner->addChild(panel(300, 300, {-50, -50}, kRed));
    outer->addChild(inner);
    show(outer);
    EXPECT_TRUE(isColour(screen.at(199.5f, 149.5f), 255, 0, 0));
    EXPECT_TRUE(isColour(screen.at(200.5f, 149.5f), 0, 0, 0));    // outside the outer
    EXPECT_TRUE(isColour(screen.at(150.5f, 150.5f), 40, 40, 40)); // above the inner
    EXPECT_TRUE(isColour(screen.at(99.5f, 100.5f), 40, 40, 40));  // left of the inner
}

// --- backgrounds

TEST_F(LayoutBackgroundTest, ColourKindSwitchesReplaceTheLayerAndTheSameKindKeepsIt) {
    Layout* layout = Layout::create();
    layout->setSize({100, 80});
    layout->setBackgroundColor(kGreen);
    layout->setBackgroundColorOpacity(128);
    layout->setBackgroundColorType(gui::LAYOUT_COLOR_GRADIENT);
    CCLayerGradient* gradient = layout->getBackgroundGradientLayer();
    ASSERT_NE(gradient, nullptr);
    EXPECT_EQ(gradient->getZOrder(), -2);
    EXPECT_EQ(gradient->getContentSize(), CCSize(100, 80));

    layout->setBackgroundColorType(gui::LAYOUT_COLOR_SOLID);
    EXPECT_EQ(layout->getBackgroundGradientLayer(), nullptr);
    CCLayerColor* solid = layout->getBackgroundColorLayer();
    ASSERT_NE(solid, nullptr);
    EXPECT_EQ(solid->getParent(), layout->getRenderer());
    EXPECT_EQ(layout->getRenderer()->getChildrenCount(), 1u); // the gradient layer is gone
    EXPECT_EQ(solid->getColor(), kGreen);
    EXPECT_EQ(solid->getOpacity(), 128);
    EXPECT_EQ(solid->getZOrder(), -2);

    layout->setBackgroundColorType(gui::LAYOUT_COLOR_SOLID);
    EXPECT_EQ(layout->getBackgroundColorLayer(), solid);
    layout->setBackgroundColor(kRed);
    EXPECT_EQ(solid->getColor(), kRed);
    layout->setSize({50, 60});
    EXPECT_EQ(solid->getContentSize(), CCSize(50, 60));

    testsupport::LogCapture log;
    layout->setBackgroundColorType(7);
    EXPECT_EQ(layout->getBackgroundColorLayer(), nullptr);
    EXPECT_EQ(layout->getBackgroundGradientLayer(), nullptr);
    EXPECT_EQ(layout->getRenderer()->getChildrenCount(), 0u);
    EXPECT_TRUE(log.contains("7"));
}

TEST_F(LayoutBackgroundTest, GradientRunsFromStartToEndAlongItsVector) {
    Layout* layout = Layout::create();
    layout->setSize({200, 200});
    layout->setPosition({100, 100});
    layout->setBackgroundGradientVector({0, -1});
    layout->setBackgroundColorType(gui::LAYOUT_COLOR_GRADIENT);
    layout->setBackgroundGradientColors(kRed, kBlue);
    show(layout);
    EXPECT_TRUE(screen.savedAsShown("layout_gradient_down"));
    // Default direction (0, -1): the start colour at the top.
    EXPECT_GT(screen.at(200, 295).r, 240);
    EXPECT_GT(screen.at(200, 105).b, 240);
    EXPECT_LT(screen.at(200, 105).r, 15);

    layout->setBackgroundGradientVector({1, 0}); // start at the left
    screen.step();
    EXPECT_GT(screen.at(105, 200).r, 240);
    EXPECT_GT(screen.at(295, 200).b, 240);
    EXPECT_LT(screen.at(295, 200).r, 15);

    layout->setBackgroundColorOpacity(0);
    screen.step();
    EXPECT_TRUE(isColour(screen.at(200, 200), 0, 0, 0));
}

TEST_F(LayoutBackgroundTest, PlainImageKeepsItsSizeAndStaysCentredOverTheColour) {
    std::string image = screen.writeImage("bg.png", 20, 10, 0xff00ff00);
    Layout* layout = panel(100, 60, {100, 100}, kRed);
    layout->setBackgroundImage(image);
    auto* sprite = dynamic_cast<CCSprite*>(layout->getBackgroundImage());
    ASSERT_NE(sprite, nullptr);
    EXPECT_EQ(sprite->getZOrder(), -1);
    EXPECT_EQ(layout->getBackgroundImageTextureSize(), CCSize(20, 10));
    EXPECT_EQ(sprite->getPosition(), CCPoint(50, 30));
    show(layout);
    EXPECT_TRUE(isColour(screen.at(150.5f, 130.5f), 0, 255, 0)); // image over colour
    EXPECT_TRUE(isColour(screen.at(139.5f, 130.5f), 255, 0, 0)); // outside the 20 x 10 image
    EXPECT_TRUE(isColour(screen.at(150.5f, 135.5f), 255, 0, 0));

    layout->setSize({200, 100});
    screen.step();
    EXPECT_EQ(sprite->getPosition(), CCPoint(100, 50));
    EXPECT_EQ(sprite->getContentSize(), CCSize(20, 10));
    EXPECT_TRUE(isColour(screen.at(200.5f, 150.5f), 0, 255, 0));
    EXPECT_TRUE(isColour(screen.at(150.5f, 130.5f), 255, 0, 0));
}

TEST_F(LayoutBackgroundTest, NineSliceImageStretchesToThePanelKeepingItsCorners) {
    // 30 x 30: a red frame 10 wide around a green centre.
    std::string image = screen.writeImage("frame.png", 30, 30, 0xff00ff00, 10, 0xffff0000);
    Layout* layout = Layout::create();
    layout->setSize({100, 100});
    layout->setPosition({100, 100});
    layout->setBackgroundImageNineSlice(true);
    layout->setBackgroundImage(image);
    layout->setBackgroundImageCapInsets(CCRect(10, 10, 10, 10));
    auto* nineSlice = dynamic_cast<CCScale9Sprite*>(layout->getBackgroundImage());
    ASSERT_NE(nineSlice, nullptr);
    EXPECT_EQ(nineSlice->getPreferredSize(), CCSize(100, 100));
    EXPECT_EQ(layout->getBackgroundImageTextureSize(), CCSize(30, 30));
    show(layout);
    EXPECT_TRUE(screen.savedAsShown("layout_nine_slice"));
    EXPECT_TRUE(isColour(screen.at(105.5f, 105.5f), 255, 0, 0)); // corner
    EXPECT_TRUE(isColour(screen.at(150.5f, 195.5f), 255, 0, 0)); // top edge
    EXPECT_TRUE(isColour(screen.at(111.5f, 111.5f), 0, 255, 0)); // centre begins after 10 points
    EXPECT_TRUE(isColour(screen.at(188.5f, 150.5f), 0, 255, 0));

    layout->setSize({200, 60});
    screen.step();
    EXPECT_EQ(nineSlice->getPreferredSize(), CCSize(200, 60));
    EXPECT_TRUE(isColour(screen.at(295.5f, 155.5f), 255, 0, 0));
    EXPECT_TRUE(isColour(screen.at(250.5f, 130.5f), 0, 255, 0));
}

TEST_F(LayoutBackgroundTest, NineSliceSwitchRebuildsTheNodeWithTheStoredImageAndInsets) {
    std::string image = screen.writeImage("frame.png", 30, 30, 0xff00ff00, 10, 0xffff0000);
    Layout* layout = Layout::create();
    layout->setSize({100, 100});
    layout->setBackgroundImageNineSlice(true); // no image yet: an empty node
    ASSERT_NE(dynamic_cast<CCScale9Sprite*>(layout->getBackgroundImage()), nullptr);
    layout->setBackgroundImageNineSlice(false);
    layout->setBackgroundImage(image);
    layout->setBackgroundImageCapInsets(CCRect(5, 5, 20, 20)); // stored, not applied to a plain sprite
    CCNode* plain = layout->getBackgroundImage();
    layout->setBackgroundImageNineSlice(false); // same value: nothing happens
    EXPECT_EQ(layout->getBackgroundImage(), plain);

    layout->setBackgroundImageNineSlice(true);
    auto* nineSlice = dynamic_cast<CCScale9Sprite*>(layout->getBackgroundImage());
    ASSERT_NE(nineSlice, nullptr);
    EXPECT_EQ(nineSlice->getCapInsets(), CCRect(5, 5, 20, 20));
    EXPECT_EQ(nineSlice->getPreferredSize(), CCSize(100, 100));
    EXPECT_NE(nineSlice->getTexture(), nullptr);
    EXPECT_EQ(layout->getRenderer()->getChildrenCount(), 1u); // the plain sprite is gone
    EXPECT_EQ(nineSlice->getZOrder(), -1);
    EXPECT_EQ(layout->getBackgroundImageName(), image);
}

TEST_F(LayoutBackgroundTest, PanelColourTintsItsImageButNotItsColourLayer) {
    std::string image = screen.writeImage("white.png", 20, 20, 0xffffffff);
    Layout* layout = panel(100, 100, {100, 100}, kGreen);
    // The render node carries no colour: the panel answers white and 255,
    // and an image loaded after a colour change is not tinted.
    layout->setColor(kRed);
    layout->setOpacity(100);
    EXPECT_EQ(layout->getColor(), ccc3(255, 255, 255));
    EXPECT_EQ(layout->getOpacity(), 255);
    layout->setBackgroundImage(image);
    show(layout);
    EXPECT_TRUE(isColour(screen.at(150.5f, 150.5f), 255, 255, 255));
    EXPECT_TRUE(isColour(screen.at(105.5f, 105.5f), 0, 255, 0));

    layout->setColor(kBlue); // the image there is now takes it
    screen.step();
    EXPECT_TRUE(isColour(screen.at(150.5f, 150.5f), 0, 0, 255));
    EXPECT_TRUE(isColour(screen.at(105.5f, 105.5f), 0, 255, 0));
    EXPECT_EQ(layout->getBackgroundColorLayer()->getColor(), kGreen);
}

TEST_F(LayoutBackgroundTest, ImageThatCannotBeLoadedLeavesAnEmptyNodeAndAWorkingPanel) {
    testsupport::LogCapture log;
    Layout* layout = panel(100, 100, {100, 100}, kGreen);
    layout->setBackgroundImage("missing.png");
    EXPECT_TRUE(log.contains("missing.png"));
    ASSERT_NE(layout->getBackgroundImage(), nullptr);
    EXPECT_EQ(layout->getBackgroundImageTextureSize(), CCSize(0, 0));
    layout->setBackgroundImage("");
    EXPECT_EQ(layout->getBackgroundImageName(), "missing.png");
    layout->setBackgroundImage("x.png", static_cast<gui::TextureKind>(5));
    EXPECT_TRUE(log.contains("x.png"));
    show(layout);
    EXPECT_TRUE(isColour(screen.at(150.5f, 150.5f), 0, 255, 0));
}

// --- looks and leaks

TEST_F(LayoutLooksTest, DisabledPanelDrawsNothingWhateverItsClipping) {
    std::string image = screen.writeImage("img.png", 20, 20, 0xffffffff);
    Layout* layout = panel(200, 200, {100, 100}, kGreen);
    layout->setBackgroundImage(image);
    layout->addChild(panel(50, 50, {10, 10}, kBlue));
    show(layout);
    EXPECT_TRUE(screen.savedAsShown("layout_normal"));
    EXPECT_TRUE(isColour(screen.at(200.5f, 200.5f), 255, 255, 255));
    EXPECT_TRUE(isColour(screen.at(120.5f, 120.5f), 0, 0, 255));
    EXPECT_TRUE(isColour(screen.at(250.5f, 250.5f), 0, 255, 0));
    for (bool clipping : {false, true}) {
        layout->setClipping(clipping);
        layout->setEnabled(false);
        screen.step();
        EXPECT_TRUE(isColour(screen.at(200.5f, 200.5f), 0, 0, 0));
        EXPECT_TRUE(isColour(screen.at(120.5f, 120.5f), 0, 0, 0));
        EXPECT_TRUE(isColour(screen.at(250.5f, 250.5f), 0, 0, 0));
        layout->setEnabled(true);
        screen.step();
        EXPECT_TRUE(isColour(screen.at(120.5f, 120.5f), 0, 0, 255));
    }
}

// Every background kind and image, touched, removed: everything freed while
// the layer that held it keeps running.
TEST_F(LayoutLooksTest, PanelWithEveryBackgroundIsFreedAfterBeingTouchedAndRemoved) {
    std::string image = screen.writeImage("img.png", 20, 20, 0xffffffff);
    gui::UILayer* layer = gui::UILayer::create();
    screen.show(layer);
    long emptyLayer = CCObject::liveObjectCount();

    Layout* layout = panel(200, 200, {100, 100}, kGreen);
    layout->setBackgroundColorType(gui::LAYOUT_COLOR_GRADIENT);
    layout->setBackgroundImageNineSlice(true);
    layout->setBackgroundImage(image);
    layout->setClipping(true);
    layout->setTouchEnabled(true);
    layout->addChild(panel(20, 20, {0, 0}, kBlue));
    layer->addWidget(layout);
    screen.step();
    HeadlessView::touchBegan({150, 150});
    HeadlessView::touchMoved({160, 150});
    HeadlessView::touchEnded({160, 150});
    EXPECT_FALSE(layout->isFocused());
    layer->clear();
    screen.step(); // drains the pool
    CCTextureCache::sharedTextureCache()->removeAllTextures();
    EXPECT_EQ(CCObject::liveObjectCount(), emptyLayer);
}
