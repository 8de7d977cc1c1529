// Nine-slice sprites: corners unscaled, edges and centre stretched, the
// zero insets' thirds, corners shrinking when there is no room, pictures
// from files and from rotated sheet frames, colour and opacity, and empty
// or missing pictures.
#include "support/PaintedImage.h"
#include "support/SceneTest.h"

#include "engine/nodes/CCScale9Sprite.h"
#include "engine/nodes/CCSpriteFrameCache.h"

using namespace engine;
using namespace testsupport;
using testsupport::LogCapture;

namespace {

// The 3 x 3 picture: one colour per region, rows from the top.
constexpr std::uint32_t kRegions[3][3] = {
    {0xffff0000, 0xff00ff00, 0xff0000ff}, // red, green, blue
    {0xffffff00, 0xffff00ff, 0xff00ffff}, // yellow, magenta, cyan
    {0xffff8000, 0xff8000ff, 0xffffffff}, // orange, purple, white
};

::testing::AssertionResult isRegion(const Pixel& c, int row, int column) {
    std::uint32_t argb = kRegions[row][column];
    return isColour(c, (argb >> 16) & 0xff, (argb >> 8) & 0xff, argb & 0xff);
}

// The regions as 10 x 10 blocks of a 30 x 30 picture; `turned` stores the
// picture a quarter turn clockwise: upright cell (row r, column c) at
// column 2 - r, row c.
std::vector<Block> regionBlocks(bool turned) {
    std::vector<Block> blocks;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            blocks.push_back({(turned ? 2 - r : c) * 10, (turned ? c : r) * 10, 10, 10, kRegions[r][c]});
    return blocks;
}

class Scale9Test : public SceneTest, public ::testing::WithParamInterface<CCSDLRenderer::QuadPath> {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        renderer()->setQuadPath(GetParam());
        // 30 x 30, regions of 10 x 10.
        writePng(resources(), "nine.png", 30, 30, regionBlocks(false));
    }

    void TearDown() override {
        CCSpriteFrameCache::purgeSharedSpriteFrameCache();
        SceneTest::TearDown();
    }

    static CCScale9Sprite* placed(CCScale9Sprite* sprite, float x, float y, const CCSize& size) {
        sprite->setAnchorPoint(ccp(0, 0));
        sprite->setPosition(ccp(x, y));
        sprite->setPreferredSize(size);
        return sprite;
    }

    // A 200 x 100 nine-slice of the picture with 10-point corners, lower
    // left at (x, y).
    void expectStretchedNine(float x, float y) {
        const float right = x + 200, top = y + 100;
        // Corners: exactly 10 x 10 points, whatever the size.
        EXPECT_TRUE(isRegion(at(x + 0.5f, top - 0.5f), 0, 0));
        EXPECT_TRUE(isRegion(at(x + 9.5f, top - 9.5f), 0, 0));
        EXPECT_TRUE(isRegion(at(x + 10.5f, top - 5), 0, 1));
        EXPECT_TRUE(isRegion(at(x + 5, top - 10.5f), 1, 0));
        EXPECT_TRUE(isRegion(at(right - 9.5f, top - 9.5f), 0, 2));
        EXPECT_TRUE(isRegion(at(right - 10.5f, top - 5), 0, 1));
        EXPECT_TRUE(isRegion(at(x + 9.5f, y + 9.5f), 2, 0));
        EXPECT_TRUE(isRegion(at(x + 5, y + 10.5f), 1, 0));
        EXPECT_TRUE(isRegion(at(right - 0.5f, y + 0.5f), 2, 2));
        EXPECT_TRUE(isRegion(at(right - 9.5f, y + 9.5f), 2, 2));
        // Edges stretch along one axis, the centre along both.
        EXPECT_TRUE(isRegion(at(x + 100, top - 5), 0, 1));
        EXPECT_TRUE(isRegion(at(x + 5, y + 50), 1, 0));
        EXPECT_TRUE(isRegion(at(x + 100, y + 50), 1, 1));
        EXPECT_TRUE(isRegion(at(x + 11, y + 11), 1, 1));
        EXPECT_TRUE(isRegion(at(right - 11, top - 11), 1, 1));
        EXPECT_TRUE(isRegion(at(right - 5, y + 50), 1, 2));
        EXPECT_TRUE(isRegion(at(x + 100, y + 5), 2, 1));
        // Nothing outside the preferred size.
        EXPECT_TRUE(isColour(at(x - 0.5f, y + 50), 0, 0, 0));
        EXPECT_TRUE(isColour(at(right + 0.5f, y + 50), 0, 0, 0));
        EXPECT_TRUE(isColour(at(x + 100, top + 0.5f), 0, 0, 0));
        EXPECT_TRUE(isColour(at(x + 100, y - 0.5f), 0, 0, 0));
    }
};

TEST_P(Scale9Test, CornersKeepTheirSizeWhileEdgesAndCentreStretch) {
    CCNode* root = CCNode::create();
    CCScale9Sprite* given = CCScale9Sprite::create();
    ASSERT_TRUE(given->initWithFile("nine.png", CCRectZero, CCRect(10, 10, 10, 10)));
    root->addChild(placed(given, 100, 200, CCSize(200, 100)));
    // A zero rectangle means the centre third: the same cut here.
    CCScale9Sprite* thirds = CCScale9Sprite::create("nine.png");
    ASSERT_NE(thirds, nullptr);
    EXPECT_EQ(thirds->getOriginalSize(), CCSize(30, 30));
    root->addChild(placed(thirds, 100, 500, CCSize(200, 100)));
    show(root);
    {
        SCOPED_TRACE("explicit insets");
        expectStretchedNine(100, 200);
    }
    {
        SCOPED_TRACE("zero insets");
        expectStretchedNine(100, 500);
    }
    EXPECT_EQ(given->getContentSize(), CCSize(200, 100));
}

TEST_P(Scale9Test, UnevenInsetsCutWhereTheySay) {
    // Centre 4 x 6 at (12, 8): left column 12 wide, top row 8 high.
    CCScale9Sprite* sprite = CCScale9Sprite::create();
    sprite->initWithFile("nine.png");
    sprite->setCapInsets(CCRect(12, 8, 4, 6));
    show(placed(sprite, 100, 200, CCSize(100, 100)));
    // Top-left corner: picture columns 0..12, rows 0..8 (red, then green from column 10).
    EXPECT_TRUE(isRegion(at(109.5f, 292.5f), 0, 0));
    EXPECT_TRUE(isRegion(at(110.5f, 292.5f), 0, 1));
    EXPECT_TRUE(isRegion(at(111.5f, 292.5f), 0, 1));
    // Its lowest row (picture row 7, red) ends 8 points down; then the left edge.
    EXPECT_TRUE(isRegion(at(105, 292.5f), 0, 0));
    EXPECT_TRUE(isRegion(at(105, 291.5f), 0, 0));
    // The bottom row is 30 - 14 = 16 high: rows 14..30, yellow then orange.
    EXPECT_TRUE(isRegion(at(105, 200.5f), 2, 0));
    EXPECT_TRUE(isRegion(at(105, 209.5f), 2, 0));
    EXPECT_TRUE(isRegion(at(105, 210.5f), 1, 0));
    EXPECT_TRUE(isRegion(at(105, 215.5f), 1, 0));
}

TEST_P(Scale9Test, CornersShrinkInProportionWhenThereIsNoRoom) {
    CCScale9Sprite* sprite = CCScale9Sprite::create("nine.png");
    sprite->setCapInsets(CCRect(10, 10, 10, 10));
    // 10 x 14 leaves no middle: corners become 5 wide and 7 high. Scaled by 4
    // for pixels to spare: 40 x 56 points, corners 20 x 28.
    placed(sprite, 100, 200, CCSize(10, 14));
    sprite->setScale(4);
    show(sprite);
    EXPECT_TRUE(isRegion(at(100.5f, 255.5f), 0, 0));
    EXPECT_TRUE(isRegion(at(119.5f, 228.5f), 0, 0));
    EXPECT_TRUE(isRegion(at(120.5f, 255.5f), 0, 2));
    EXPECT_TRUE(isRegion(at(139.5f, 228.5f), 0, 2));
    EXPECT_TRUE(isRegion(at(119.5f, 227.5f), 2, 0));
    EXPECT_TRUE(isRegion(at(100.5f, 200.5f), 2, 0));
    EXPECT_TRUE(isRegion(at(120.5f, 227.5f), 2, 2));
    EXPECT_TRUE(isColour(at(140.5f, 230), 0, 0, 0));
    EXPECT_TRUE(isColour(at(120, 256.5f), 0, 0, 0));
}

TEST_P(Scale9Test, RotatedSheetFrameIsSlicedUpright) {
    // The same picture stored a quarter turn clockwise.
    writePng(resources(), "turned.png", 30, 30, regionBlocks(true));
    resources().write("turned.plist",
                      "<plist version=\"1.0\"><dict><key>frames</key><dict><key>nine</key><dict>"
                      "<key>frame</key><string>{{0,0},{30,30}}</string><key>rotated</key><true/>"
                      "</dict></dict></dict></plist>");
    ASSERT_TRUE(CCSpriteFrameCache::sharedSpriteFrameCache()->addSpriteFramesWithFile("turned.plist"));
    CCScale9Sprite* sprite = CCScale9Sprite::createWithSpriteFrameName("nine", CCRect(10, 10, 10, 10));
    ASSERT_NE(sprite, nullptr);
    show(placed(sprite, 100, 200, CCSize(200, 100)));
    expectStretchedNine(100, 200);
}

TEST_P(Scale9Test, ColourAndOpacityTintLikeASprite) {
    CCScale9Sprite* sprite = CCScale9Sprite::create("nine.png");
    sprite->setColor(ccc3(128, 128, 128));
    CCScale9Sprite* hidden = CCScale9Sprite::create("nine.png");
    hidden->setOpacity(0);
    CCNode* root = CCNode::create();
    root->addChild(placed(sprite, 100, 200, CCSize(60, 60)));
    root->addChild(placed(hidden, 300, 200, CCSize(60, 60)));
    show(root);
    EXPECT_TRUE(isColour(at(155, 205), 128, 128, 128)); // white corner, halved
    EXPECT_TRUE(isColour(at(105, 255), 128, 0, 0));     // red corner
    EXPECT_TRUE(isColour(at(330, 230), 0, 0, 0));
}

TEST_P(Scale9Test, EmptyAndMissingPicturesDrawNothingAndInitResetsTheSize) {
    LogCapture log;
    CCScale9Sprite* empty = CCScale9Sprite::create();
    EXPECT_EQ(empty->getContentSize(), CCSizeZero);
    CCScale9Sprite* missing = CCScale9Sprite::create();
    EXPECT_TRUE(missing->initWithFile("missing.png"));
    EXPECT_EQ(missing->getOriginalSize(), CCSizeZero);
    EXPECT_EQ(log.count("missing.png"), 1);
    CCScale9Sprite* noFrame = CCScale9Sprite::create();
    EXPECT_TRUE(noFrame->initWithSpriteFrameName("no-such-frame"));
    EXPECT_EQ(log.count("no-such-frame"), 1);
    EXPECT_FALSE(CCScale9Sprite::create()->initWithFile(nullptr));

    // A part of the image: the centre region only.
    CCScale9Sprite* part = CCScale9Sprite::create();
    part->setPreferredSize(CCSize(200, 100));
    part->initWithFile("nine.png", CCRect(10, 10, 10, 10));
    EXPECT_EQ(part->getOriginalSize(), CCSize(10, 10));
    EXPECT_EQ(part->getPreferredSize(), CCSize(10, 10)); // a new picture shows at its own size

    CCNode* root = CCNode::create();
    root->addChild(placed(empty, 100, 100, CCSize(100, 100)));
    root->addChild(placed(missing, 100, 300, CCSize(100, 100)));
    root->addChild(placed(noFrame, 100, 500, CCSize(100, 100)));
    root->addChild(placed(part, 300, 300, CCSize(40, 40)));
    show(root);
    EXPECT_TRUE(isColour(at(150, 150), 0, 0, 0));
    EXPECT_TRUE(isColour(at(150, 350), 0, 0, 0));
    EXPECT_TRUE(isColour(at(150, 550), 0, 0, 0));
    EXPECT_TRUE(isRegion(at(320, 320), 1, 1));
    EXPECT_TRUE(isColour(at(299.5f, 320), 0, 0, 0));
    EXPECT_TRUE(isColour(at(340.5f, 320), 0, 0, 0));
}

INSTANTIATE_TEST_SUITE_P(BothPaths, Scale9Test,
                         ::testing::Values(CCSDLRenderer::QuadPath::Auto, CCSDLRenderer::QuadPath::Geometry));

} // namespace
