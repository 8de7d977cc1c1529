// Image views: one look whatever the touch and bright state, scaling,
// nine-slice switching, texture rectangles, flips, sprite frames, missing
// files, and freeing.
#include "TexturedWidgetTest.h"

#include "engine/nodes/CCScale9Sprite.h"
#include "engine/nodes/CCSprite.h"
#include "engine/nodes/CCSpriteFrame.h"
#include "engine/nodes/CCSpriteFrameCache.h"
#include "gui/UIImageView.h"
#include "support/PaintedImage.h"

using namespace engine;
using namespace texturedtest;
using gui::UIImageView;
using testsupport::HeadlessView;
using testsupport::isColour;

namespace {

class ImageViewTest : public TexturedWidgetTest {
protected:
    void TearDown() override {
        CCSpriteFrameCache::purgeSharedSpriteFrameCache();
        TexturedWidgetTest::TearDown();
    }
    // 80 x 40: left half red, right half green.
    std::string halves() {
        testsupport::writePng(screen.resources(), "halves.png", 80, 40,
                              {{0, 0, 40, 40, kRed}, {40, 0, 40, 40, kGreen}});
        return "halves.png";
    }
    UIImageView* makeImage() {
        UIImageView* image = UIImageView::create();
        image->loadTexture(halves().c_str());
        image->setTouchEnabled(true);
        image->setPosition({320, 480});
        return image;
    }
};

TEST_F(ImageViewTest, SameLookNormalPressedAndDisabled) {
    UIImageView* image = makeImage();
    image->setTouchEventHandler(recorder, &Recorder::onTouch);
    showLayer(image);
    EXPECT_EQ(image->getSize(), CCSize(80, 40));
    auto expectPicture = [&] {
        EXPECT_TRUE(isColour(screen.at(290, 480), 255, 0, 0));
        EXPECT_TRUE(isColour(screen.at(350, 480), 0, 255, 0));
        EXPECT_TRUE(isColour(screen.at(362, 480), 0, 0, 0));
    };
    expectPicture();
    EXPECT_TRUE(screen.savedAsShown("imageview_normal"));
    HeadlessView::touchBegan({320, 480});
    screen.step();
    expectPicture();
    HeadlessView::touchEnded({320, 480});
    image->setBright(false);
    screen.step();
    expectPicture();
    EXPECT_EQ(recorder->touchCodes, (std::vector<int>{0, 2}));
}

TEST_F(ImageViewTest, ScalesToSizeAndFlips) {
    UIImageView* image = makeImage();
    image->setIgnoreContentSize(false);
    image->setSize({160, 20});
    EXPECT_FLOAT_EQ(image->getVirtualRenderer()->getScaleX(), 2.0f);
    EXPECT_FLOAT_EQ(image->getVirtualRenderer()->getScaleY(), 0.5f);
    image->setFlipX(true);
    EXPECT_TRUE(image->isFlipX());
    showLayer(image);
    EXPECT_TRUE(isColour(screen.at(250, 480), 0, 255, 0));
    EXPECT_TRUE(isColour(screen.at(390, 480), 255, 0, 0));
    EXPECT_TRUE(isColour(screen.at(320, 492), 0, 0, 0));
}

TEST_F(ImageViewTest, NineSliceSwitchingRemembersIgnoreSize) {
    UIImageView* image = makeImage();
    image->setCapInsets(CCRect(2, 2, 4, 4));
    image->setFlipX(true);
    image->setNineSliceEnabled(true);
    EXPECT_FALSE(image->isIgnoreContentSize());
    EXPECT_FALSE(image->isFlipX()); // nine-slice images are not flipped
    auto* nine = dynamic_cast<CCScale9Sprite*>(image->getVirtualRenderer());
    ASSERT_NE(nine, nullptr);
    EXPECT_EQ(nine->getCapInsets(), CCRect(2, 2, 4, 4));
    image->setIgnoreContentSize(true);
    EXPECT_FALSE(image->isIgnoreContentSize());
    image->setSize({300, 50});
    EXPECT_EQ(nine->getPreferredSize(), CCSize(300, 50));

    image->setNineSliceEnabled(false);
    EXPECT_TRUE(image->isIgnoreContentSize());
    EXPECT_EQ(image->getSize(), CCSize(80, 40));
    EXPECT_TRUE(image->isFlipX());
    ASSERT_NE(dynamic_cast<CCSprite*>(image->getVirtualRenderer()), nullptr);
}

TEST_F(ImageViewTest, TextureRectShowsAPartAndSizesTheWidget) {
    UIImageView* image = makeImage();
    image->setTextureRect(CCRect(30, 0, 20, 40)); // 10 red, 10 green
    EXPECT_EQ(image->getSize(), CCSize(20, 40));
    showLayer(image);
    EXPECT_TRUE(isColour(screen.at(315, 480), 255, 0, 0));
    EXPECT_TRUE(isColour(screen.at(325, 480), 0, 255, 0));
    EXPECT_TRUE(isColour(screen.at(332, 480), 0, 0, 0));
    // Cut to the picture.
    image->setTextureRect(CCRect(60, 0, 100, 40));
    EXPECT_EQ(image->getSize(), CCSize(20, 40));
}

TEST_F(ImageViewTest, SpriteFrameKind) {
    testsupport::writePng(screen.resources(), "sheet.png", 64, 32,
                          {{0, 0, 32, 32, kBlue}, {32, 0, 32, 32, kMagenta}});
    CCSpriteFrameCache::sharedSpriteFrameCache()->addSpriteFrame(
        CCSpriteFrame::create("sheet.png", {32, 0, 32, 32}), "magenta");
    UIImageView* image = UIImageView::create();
    image->loadTexture("magenta", gui::UI_TEX_TYPE_PLIST);
    image->setPosition({320, 480});
    EXPECT_EQ(image->getSize(), CCSize(32, 32));
    showLayer(image);
    EXPECT_TRUE(isColour(screen.at(320, 480), 255, 0, 255));
    EXPECT_TRUE(isColour(screen.at(305, 465), 255, 0, 255));
}

TEST_F(ImageViewTest, MissingTextureIsLoggedAndHarmless) {
    UIImageView* image = makeImage();
    testsupport::LogCapture log;
    image->loadTexture("");
    EXPECT_EQ(image->getTextureFile(), "halves.png");
    image->loadTexture("missing.png");
    EXPECT_TRUE(log.contains("missing.png"));
    EXPECT_EQ(image->getSize(), CCSize(0, 0));
    image->loadTexture("nothing", gui::UI_TEX_TYPE_PLIST);
    EXPECT_TRUE(log.contains("nothing"));
    image->setTextureRect(CCRect(0, 0, 10, 10));
    image->setNineSliceEnabled(true);
    image->setNineSliceEnabled(false);
    showLayer(image);
    EXPECT_TRUE(isColour(screen.at(320, 480), 0, 0, 0));
}

TEST_F(ImageViewTest, CreatingAddingTouchingAndRemovingFreesEverything) {
    expectFreedAfterUse(
        [this] {
            UIImageView* image = makeImage();
            image->setNineSliceEnabled(true);
            image->setSize({100, 100});
            return image;
        },
        {320, 480});
}

} // namespace
