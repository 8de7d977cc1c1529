// Loading bars: the cut by direction on screen, out-of-range percents,
// stretched and nine-slice bars, sprite-frame cuts, the anchor, missing
// files, and freeing.
#include "TexturedWidgetTest.h"

#include "engine/nodes/CCScale9Sprite.h"
#include "engine/nodes/CCSprite.h"
#include "engine/nodes/CCSpriteFrame.h"
#include "engine/nodes/CCSpriteFrameCache.h"
#include "gui/UILoadingBar.h"
#include "support/PaintedImage.h"

using namespace engine;
using namespace texturedtest;
using gui::UILoadingBar;
using testsupport::HeadlessView;
using testsupport::isColour;

namespace {

class LoadingBarTest : public TexturedWidgetTest {
protected:
    void TearDown() override {
        CCSpriteFrameCache::purgeSharedSpriteFrameCache();
        TexturedWidgetTest::TearDown();
    }
    // A 200 x 20 bar (left half red, right half green) centred at (320,
    // 480): it spans x 220..420.
    UILoadingBar* makeBar() {
        testsupport::writePng(screen.resources(), "bar.png", 200, 20,
                              {{0, 0, 100, 20, kRed}, {100, 0, 100, 20, kGreen}});
        UILoadingBar* bar = UILoadingBar::create();
        bar->loadTexture("bar.png");
        bar->setPosition({320, 480});
        return bar;
    }
};

TEST_F(LoadingBarTest, HalfBarIsCutFromTheDirectionsSide) {
    UILoadingBar* bar = makeBar();
    bar->setTouchEnabled(true);
    showLayer(bar);
    EXPECT_EQ(bar->getPercent(), 100);
    EXPECT_TRUE(isColour(screen.at(225, 480), 255, 0, 0));
    EXPECT_TRUE(isColour(screen.at(415, 480), 0, 255, 0));

    bar->setPercent(50);
    screen.step();
    EXPECT_TRUE(isColour(screen.at(225, 480), 255, 0, 0));
    EXPECT_TRUE(isColour(screen.at(315, 480), 255, 0, 0)); // the texture's left 100 pixels
    EXPECT_TRUE(isColour(screen.at(325, 480), 0, 0, 0));
    auto* sprite = dynamic_cast<CCSprite*>(bar->getVirtualRenderer());
    ASSERT_NE(sprite, nullptr);
    EXPECT_EQ(sprite->getTextureRect(), CCRect(0, 0, 100, 20));
    EXPECT_FLOAT_EQ(sprite->getScaleX(), 1.0f); // cut, not squeezed

    // Direction right: the mirrored picture grows from the right edge.
    bar->setDirection(gui::LOADING_BAR_RIGHT);
    screen.step();
    EXPECT_TRUE(isColour(screen.at(315, 480), 0, 0, 0));
    EXPECT_TRUE(isColour(screen.at(325, 480), 255, 0, 0));
    EXPECT_TRUE(isColour(screen.at(415, 480), 255, 0, 0));
    EXPECT_TRUE(screen.savedAsShown("loadingbar_right_half"));
    bar->setPercent(100);
    screen.step();
    EXPECT_TRUE(isColour(screen.at(225, 480), 0, 255, 0));
    EXPECT_TRUE(isColour(screen.at(415, 480), 255, 0, 0));
}

TEST_F(LoadingBarTest, OutOfRangePercentsChangeNothing) {
    UILoadingBar* bar = makeBar();
    bar->setPercent(30);
    bar->setPercent(101);
    EXPECT_EQ(bar->getPercent(), 30);
    bar->setPercent(-1);
    EXPECT_EQ(bar->getPercent(), 30);
    EXPECT_EQ(dynamic_cast<CCSprite*>(bar->getVirtualRenderer())->getTextureRect(), CCRect(0, 0, 60, 20));
    bar->setPercent(0);
    EXPECT_EQ(dynamic_cast<CCSprite*>(bar->getVirtualRenderer())->getTextureRect().size.width, 0);
}

TEST_F(LoadingBarTest, LooksDoNotChangeWhenPressedOrDisabled) {
    UILoadingBar* bar = makeBar();
    bar->setTouchEnabled(true);
    bar->setPercent(50);
    showLayer(bar);
    auto expectHalf = [&] {
        EXPECT_TRUE(isColour(screen.at(315, 480), 255, 0, 0));
        EXPECT_TRUE(isColour(screen.at(325, 480), 0, 0, 0));
    };
    expectHalf();
    EXPECT_TRUE(screen.savedAsShown("loadingbar_normal"));
    HeadlessView::touchBegan({300, 480});
    screen.step();
    expectHalf();
    HeadlessView::touchEnded({300, 480});
    bar->setBright(false);
    screen.step();
    expectHalf();
}

TEST_F(LoadingBarTest, StretchedBarKeepsThePercentAcrossSizeAndTextureChanges) {
    UILoadingBar* bar = UILoadingBar::create();
    bar->setPercent(25); // before there is anything to cut
    bar->setIgnoreContentSize(false);
    bar->setSize({400, 40});
    bar->setPosition({320, 480});
    makeBar(); // writes the picture
    bar->loadTexture("bar.png");
    EXPECT_FLOAT_EQ(bar->getTotalLength(), 400);
    showLayer(bar);
    // Spans 120..520; a quarter is 100 points of the red half, stretched 2x.
    EXPECT_TRUE(isColour(screen.at(125, 470), 255, 0, 0));
    EXPECT_TRUE(isColour(screen.at(215, 490), 255, 0, 0));
    EXPECT_TRUE(isColour(screen.at(225, 480), 0, 0, 0));
    bar->setSize({200, 40});
    bar->setPercent(100);
    screen.step();
    EXPECT_TRUE(isColour(screen.at(225, 480), 255, 0, 0));
    EXPECT_TRUE(isColour(screen.at(415, 480), 0, 255, 0));
    EXPECT_TRUE(isColour(screen.at(425, 480), 0, 0, 0));
}

TEST_F(LoadingBarTest, NineSliceBarIsSizedNotCut) {
    UILoadingBar* bar = makeBar();
    bar->setNineSliceEnabled(true);
    EXPECT_FALSE(bar->isIgnoreContentSize());
    bar->setIgnoreContentSize(true);
    EXPECT_FALSE(bar->isIgnoreContentSize());
    bar->setSize({300, 20});
    bar->setPercent(40);
    auto* nine = dynamic_cast<CCScale9Sprite*>(bar->getVirtualRenderer());
    ASSERT_NE(nine, nullptr);
    EXPECT_EQ(nine->getPreferredSize(), CCSize(120, 20));
    bar->setNineSliceEnabled(false);
    EXPECT_TRUE(bar->isIgnoreContentSize());
    EXPECT_FLOAT_EQ(bar->getTotalLength(), 200);
    EXPECT_EQ(dynamic_cast<CCSprite*>(bar->getVirtualRenderer())->getTextureRect(), CCRect(0, 0, 80, 20));
}

TEST_F(LoadingBarTest, SpriteFrameIsCutFromTheFramesOrigin) {
    testsupport::writePng(screen.resources(), "sheet.png", 128, 64,
                          {{0, 0, 128, 64, kBlue}, {20, 30, 80, 10, kYellow}});
    CCSpriteFrameCache::sharedSpriteFrameCache()->addSpriteFrame(
        CCSpriteFrame::create("sheet.png", {20, 30, 80, 10}), "bar");
    UILoadingBar* bar = UILoadingBar::create();
    bar->loadTexture("bar", gui::UI_TEX_TYPE_PLIST);
    bar->setPercent(50);
    EXPECT_EQ(dynamic_cast<CCSprite*>(bar->getVirtualRenderer())->getTextureRect(), CCRect(20, 30, 40, 10));
    bar->setPosition({320, 480});
    showLayer(bar);
    EXPECT_TRUE(isColour(screen.at(285, 480), 255, 255, 0));
    EXPECT_TRUE(isColour(screen.at(318, 480), 255, 255, 0));
    EXPECT_TRUE(isColour(screen.at(322, 480), 0, 0, 0));
}

TEST_F(LoadingBarTest, BarLiesWhereTheAnchorPutsTheWidget) {
    UILoadingBar* bar = makeBar();
    bar->setAnchorPoint({0, 0});
    bar->setPosition({100, 100});
    bar->setPercent(50);
    showLayer(bar);
    EXPECT_TRUE(isColour(screen.at(102, 102), 255, 0, 0));
    EXPECT_TRUE(isColour(screen.at(198, 118), 255, 0, 0));
    EXPECT_TRUE(isColour(screen.at(202, 110), 0, 0, 0));
    EXPECT_TRUE(bar->hitTest({102, 102}));
}

TEST_F(LoadingBarTest, MissingTextureIsLoggedAndHarmless) {
    testsupport::LogCapture log;
    UILoadingBar* bar = UILoadingBar::create();
    bar->loadTexture("nobar.png");
    EXPECT_TRUE(log.contains("nobar.png"));
    bar->setPercent(50);
    EXPECT_EQ(bar->getPercent(), 50);
    bar->setDirection(gui::LOADING_BAR_RIGHT);
    bar->setNineSliceEnabled(true);
    bar->setSize({100, 10});
    bar->setPosition({320, 480});
    showLayer(bar);
    EXPECT_TRUE(isColour(screen.at(320, 480), 0, 0, 0));
}

TEST_F(LoadingBarTest, CreatingAddingTouchingAndRemovingFreesEverything) {
    expectFreedAfterUse(
        [this] {
            UILoadingBar* bar = makeBar();
            bar->setPercent(60);
            bar->setDirection(gui::LOADING_BAR_RIGHT);
            return bar;
        },
        {320, 480});
}

} // namespace
