// Sprite sheets: the four property-list formats, where the texture is
// found, malformed sheets, the frame cache's bookkeeping, sprites drawn from
// rotated and trimmed frames, and the sprite batch node.
#include "support/PaintedImage.h"
#include "support/SceneTest.h"

#include "engine/base/CCAutoreleasePool.h"
#include "engine/base/CCDictionary.h"
#include "engine/nodes/CCSprite.h"
#include "engine/nodes/CCSpriteBatchNode.h"
#include "engine/nodes/CCSpriteFrame.h"
#include "engine/nodes/CCSpriteFrameCache.h"
#include "engine/platform/CCFileUtils.h"
#include "engine/render/CCTexture2D.h"

using namespace engine;
using namespace testsupport;
using testsupport::LogCapture;

namespace {

constexpr std::uint32_t kYellow = 0xffffff00, kGreen = 0xff00ff00, kRed = 0xffff0000, kWhite = 0xffffffff,
                        kBlue = 0xff0000ff, kMagenta = 0xffff00ff;

std::string plist(const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>" + body +
           "</dict></plist>\n";
}

std::string metadata(int format, const std::string& texture) {
    return "<key>metadata</key><dict><key>format</key><integer>" + std::to_string(format) +
           "</integer><key>textureFileName</key><string>" + texture + "</string></dict>";
}

// Format 2 frames: "plain" (16 x 16 yellow), "turned" (16 x 8, stored
// rotated; upright it is red, blue over green, white) and "trimmed" (an 8 x 8
// magenta cut of a 16 x 16 picture, its centre 2 right and 3 down).
const char* kFramesFormat2 =
    "<key>frames</key><dict>"
    "<key>plain</key><dict><key>frame</key><string>{{0,0},{16,16}}</string><key>offset</key>"
    "<string>{0,0}</string><key>rotated</key><false/><key>sourceColorRect</key><string>{{0,0},{16,16}}</"
    "string>"
    "<key>sourceSize</key><string>{16,16}</string></dict>"
    "<key>turned</key><dict><key>frame</key><string>{{16,0},{16,8}}</string><key>offset</key>"
    "<string>{0,0}</string><key>rotated</key><true/><key>sourceSize</key><string>{16,8}</string></dict>"
    "<key>trimmed</key><dict><key>frame</key><string> { {32, 0}, {8, 8} } </string><key>offset</key>"
    "<string>{2,-3}</string><key>rotated</key><false/><key>sourceSize</key><string>{16,16}</string></dict>"
    "</dict>";

class SpriteSheetTest : public SceneTest {
protected:
    void TearDown() override {
        CCSpriteFrameCache::purgeSharedSpriteFrameCache();
        SceneTest::TearDown();
    }

    static CCSpriteFrameCache* cache() { return CCSpriteFrameCache::sharedSpriteFrameCache(); }

    // The 64 x 32 texture the frames above describe. The rotated frame is
    // stored turned a quarter clockwise: its upright top-left (red) quarter
    // is the stored top-right, and so on.
    void writeSheetTexture(const std::string& name) {
        writePng(resources(), name, 64, 32,
                 {{0, 0, 16, 16, kYellow},
                  {16, 0, 4, 8, kGreen},
                  {20, 0, 4, 8, kRed},
                  {16, 8, 4, 8, kWhite},
                  {20, 8, 4, 8, kBlue},
                  {32, 0, 8, 8, kMagenta}});
    }

    void loadSheet() {
        writeSheetTexture("sheet.png");
        resources().write("sheet.plist", plist(std::string(kFramesFormat2) + metadata(2, "sheet.png")));
        ASSERT_TRUE(cache()->addSpriteFramesWithFile("sheet.plist"));
    }
};

TEST_F(SpriteSheetTest, EachFormatGivesRectRotationOffsetAndSourceSize) {
    writeSheetTexture("sheet.png");
    resources().write(
        "f0.plist",
        plist("<key>frames</key><dict><key>f0</key><dict>"
              "<key>x</key><integer>32</integer><key>y</key><integer>0</integer>"
              "<key>width</key><integer>8</integer><key>height</key><real>8</real>"
              "<key>offsetX</key><real>2</real><key>offsetY</key><string>-3</string>"
              "<key>originalWidth</key><integer>16</integer><key>originalHeight</key><integer>-16</integer>"
              "</dict></dict>" +
              metadata(0, "sheet.png")));
    resources().write("f1.plist",
                      plist("<key>frames</key><dict><key>f1</key><dict>"
                            "<key>frame</key><string>{{0,0},{16,16}}</string><key>offset</key>"
                            "<string>{0.5,0}</string><key>sourceSize</key><string>{17,16}</string>"
                            "</dict></dict>" +
                            metadata(1, "sheet.png")));
    resources().write(
        "f3.plist",
        plist("<key>frames</key><dict><key>f3</key><dict>"
              "<key>textureRect</key><string>{{16,0},{16,8}}</string><key>textureRotated</key><true/>"
              "<key>spriteOffset</key><string>{1,2}</string><key>spriteSourceSize</key>"
              "<string>{18,12}</string><key>spriteSize</key><string>{16,8}</string>"
              "<key>aliases</key><array><string>f3-alias</string></array></dict></dict>" +
              metadata(3, "sheet.png")));
    // No metadata: the keys tell the format, the name tells the texture.
    writeSheetTexture("bare.png");
    resources().write("bare.plist",
                      plist("<key>frames</key><dict><key>b</key><dict><key>frame</key>"
                            "<string>{{16,0},{16,8}}</string><key>rotated</key><true/></dict></dict>"));
    for (const char* sheet : {"f0.plist", "f1.plist", "sheet.plist", "f3.plist", "bare.plist"}) {
        if (std::string(sheet) == "sheet.plist")
            resources().write(sheet, plist(std::string(kFramesFormat2) + metadata(2, "sheet.png")));
        EXPECT_TRUE(cache()->addSpriteFramesWithFile(sheet)) << sheet;
    }

    struct Expected {
        const char* name;
        CCRect rect;
        bool rotated;
        CCPoint offset;
        CCSize original;
    };
    const Expected expected[] = {
        {"f0", {32, 0, 8, 8}, false, {2, -3}, {16, 16}},
        {"f1", {0, 0, 16, 16}, false, {0.5f, 0}, {17, 16}},
        {"turned", {16, 0, 16, 8}, true, {0, 0}, {16, 8}},
        {"trimmed", {32, 0, 8, 8}, false, {2, -3}, {16, 16}},
        {"f3", {16, 0, 16, 8}, true, {1, 2}, {18, 12}},
        {"f3-alias", {16, 0, 16, 8}, true, {1, 2}, {18, 12}},
        {"b", {16, 0, 16, 8}, true, {0, 0}, {16, 8}},
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.name);
        CCSpriteFrame* frame = cache()->spriteFrameByName(e.name);
        ASSERT_NE(frame, nullptr);
        EXPECT_EQ(frame->getRect(), e.rect);
        EXPECT_EQ(frame->isRotated(), e.rotated);
        EXPECT_EQ(frame->getOffset(), e.offset);
        EXPECT_EQ(frame->getOriginalSize(), e.original);
        ASSERT_NE(frame->getTexture(), nullptr);
    }
    EXPECT_EQ(cache()->spriteFrameByName("f3-alias"), cache()->spriteFrameByName("f3"));
    EXPECT_NE(cache()->spriteFrameByName("b")->getTexture(), cache()->spriteFrameByName("f0")->getTexture());
}

TEST_F(SpriteSheetTest, TextureIsFoundBesideTheSheet) {
    writeSheetTexture("ui/atlas.png");
    writeSheetTexture("ui/plain.png");
    writeSheetTexture("atlas.png"); // same name at the root: must not be taken
    resources().write("ui/named.plist", plist(std::string(kFramesFormat2) + metadata(2, "atlas.png")));
    resources().write("ui/plain.plist", plist("<key>frames</key><dict><key>p</key><dict><key>frame</key>"
                                              "<string>{{0,0},{16,16}}</string></dict></dict>"));
    ASSERT_TRUE(cache()->addSpriteFramesWithFile("ui/named.plist"));
    ASSERT_TRUE(cache()->addSpriteFramesWithFile("ui/plain.plist"));
    std::string root = CCFileUtils::sharedFileUtils()->getResourceRoot();
    EXPECT_EQ(cache()->spriteFrameByName("plain")->getTexture()->getPath(), root + "/ui/atlas.png");
    EXPECT_EQ(cache()->spriteFrameByName("p")->getTexture()->getPath(), root + "/ui/plain.png");
}

TEST_F(SpriteSheetTest, MalformedSheetsAreLoggedOnceAndAddNothing) {
    const std::string frame = "<dict><key>frame</key><string>{{0,0},{16,16}}</string></dict>";
    const std::string good = "<key>ok</key>" + frame;
    struct Case {
        const char* what;
        std::string text;
    };
    const Case cases[] = {
        {"no frames", plist(metadata(2, "bad.png"))},
        {"frames not a dictionary", plist("<key>frames</key><string>x</string>")},
        {"frame not a dictionary",
         plist("<key>frames</key><dict>" + good + "<key>f</key><integer>1</integer></dict>")},
        {"rectangle missing", plist("<key>frames</key><dict>" + good + "<key>f</key><dict/></dict>")},
        {"rectangle of the wrong shape",
         plist("<key>frames</key><dict>" + good +
               "<key>f</key><dict><key>frame</key><string>{{0,0},{16}}</string></dict></dict>")},
        {"rectangle with trailing text", plist("<key>frames</key><dict><key>f</key><dict><key>frame</"
                                               "key><string>{{0,0},{16,16}}x</string></dict></dict>")},
        {"rectangle not a string",
         plist(
             "<key>frames</key><dict><key>f</key><dict><key>frame</key><integer>3</integer></dict></dict>")},
        {"number not finite", plist("<key>frames</key><dict><key>f</key><dict><key>frame</"
                                    "key><string>{{0,0},{nan,16}}</string></dict></dict>")},
        {"negative size", plist("<key>frames</key><dict><key>f</key><dict><key>frame</"
                                "key><string>{{16,0},{-8,16}}</string></dict></dict>")},
        {"outside the texture", plist("<key>frames</key><dict><key>f</key><dict><key>frame</"
                                      "key><string>{{60,0},{8,8}}</string></dict></dict>")},
        {"rotated outside the texture", // 8 x 40 upright is 40 wide stored: past x = 64
         plist("<key>frames</key><dict><key>f</key><dict><key>frame</key><string>{{30,0},{8,40}}</string>"
               "<key>rotated</key><true/></dict></dict>")},
        {"rotated not a boolean",
         plist("<key>frames</key><dict><key>f</key><dict><key>frame</key><string>{{0,0},{8,8}}</string>"
               "<key>rotated</key><string>yes</string></dict></dict>")},
        {"source smaller than frame",
         plist("<key>frames</key><dict><key>f</key><dict><key>frame</key><string>{{0,0},{16,16}}</string>"
               "<key>sourceSize</key><string>{8,8}</string></dict></dict>")},
        {"format 0 number not a number", plist("<key>frames</key><dict><key>f</key><dict><key>x</"
                                               "key><string>left</string><key>y</key><integer>0"
                                               "</integer><key>width</key><integer>1</integer><key>height</"
                                               "key><integer>1</integer></dict></dict>" +
                                               metadata(0, "bad.png"))},
        {"aliases not an array",
         plist("<key>frames</key><dict><key>f</key><dict><key>textureRect</key><string>{{0,0},{8,8}}</string>"
               "<key>aliases</key><string>a</string></dict></dict>" +
               metadata(3, "bad.png"))},
        {"unknown format", plist("<key>frames</key><dict>" + good + "</dict>" + metadata(7, "bad.png"))},
        {"metadata not a dictionary",
         plist("<key>frames</key><dict>" + good + "</dict><key>metadata</key><true/>")},
        {"texture name not a string",
         plist("<key>frames</key><dict>" + good +
               "</dict><key>metadata</key><dict><key>textureFileName</key><integer>2</integer></dict>")},
        {"texture missing", plist("<key>frames</key><dict>" + good + "</dict>" + metadata(2, "gone.png"))},
        {"root is an array", "<plist version=\"1.0\"><array/></plist>"},
        {"not a property list", "frames = {}"},
    };
    writeSheetTexture("bad.png");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        resources().write("bad.plist", c.text);
        LogCapture log;
        EXPECT_FALSE(cache()->addSpriteFramesWithFile("bad.plist"));
        EXPECT_EQ(log.count("bad.plist"), 1);
        EXPECT_EQ(cache()->getFrameCount(), 0u);
        EXPECT_EQ(cache()->spriteFrameByName("ok"), nullptr);
    }
    LogCapture log;
    EXPECT_FALSE(cache()->addSpriteFramesWithFile("missing.plist"));
    EXPECT_EQ(log.count("missing.plist"), 1);
    EXPECT_FALSE(cache()->addSpriteFramesWithFile(static_cast<const char*>(nullptr)));
    EXPECT_EQ(cache()->getFrameCount(), 0u);
}

TEST_F(SpriteSheetTest, ASheetLoadsOnceUntilItsFramesAreRemoved) {
    loadSheet();
    CCSpriteFrame* first = cache()->spriteFrameByName("plain");
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(cache()->addSpriteFramesWithFile("sheet.plist"));
    EXPECT_EQ(cache()->spriteFrameByName("plain"), first);

    CCRef<CCSpriteFrame> held = cache()->spriteFrameByName("turned");
    CCAutoreleasePool::sharedPool()->drain(); // as at the end of a frame
    cache()->removeUnusedSpriteFrames();
    EXPECT_EQ(cache()->spriteFrameByName("plain"), nullptr);
    EXPECT_EQ(cache()->spriteFrameByName("turned"), held.get());
    EXPECT_EQ(cache()->getFrameCount(), 1u);

    // Removing frames lets the sheet load again.
    EXPECT_TRUE(cache()->addSpriteFramesWithFile("sheet.plist"));
    EXPECT_NE(cache()->spriteFrameByName("plain"), nullptr);
    cache()->removeSpriteFramesFromFile("sheet.plist");
    EXPECT_EQ(cache()->getFrameCount(), 0u);
    EXPECT_TRUE(cache()->addSpriteFramesWithFile("sheet.plist"));
    cache()->removeSpriteFrameByName("trimmed");
    EXPECT_EQ(cache()->spriteFrameByName("trimmed"), nullptr);
    cache()->removeSpriteFrames();
    EXPECT_EQ(cache()->getFrameCount(), 0u);
}

TEST_F(SpriteSheetTest, SpritesShowFramesAndUnknownNamesGiveAnEmptySprite) {
    loadSheet();
    CCSprite* sprite = CCSprite::createWithSpriteFrameName("trimmed");
    ASSERT_NE(sprite, nullptr);
    // The content is the untrimmed picture.
    EXPECT_EQ(sprite->getContentSize(), CCSize(16, 16));
    EXPECT_TRUE(sprite->isFrameDisplayed(cache()->spriteFrameByName("trimmed")));
    sprite->setDisplayFrame(cache()->spriteFrameByName("turned"));
    EXPECT_EQ(sprite->getContentSize(), CCSize(16, 8));
    EXPECT_TRUE(sprite->isTextureRectRotated());
    EXPECT_FALSE(sprite->isFrameDisplayed(cache()->spriteFrameByName("trimmed")));
    CCSpriteFrame* shown = sprite->displayFrame();
    EXPECT_EQ(shown->getRect(), CCRect(16, 0, 16, 8));
    EXPECT_TRUE(shown->isRotated());

    LogCapture log;
    CCSprite* empty = CCSprite::createWithSpriteFrameName("nowhere");
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->getTexture(), nullptr);
    EXPECT_EQ(empty->getContentSize(), CCSizeZero);
    EXPECT_EQ(log.count("nowhere"), 1);
}

// Both ways of drawing a quad must turn a rotated frame upright.
class FramePixelTest : public SpriteSheetTest, public ::testing::WithParamInterface<CCSDLRenderer::QuadPath> {
protected:
    void SetUp() override {
        SpriteSheetTest::SetUp();
        renderer()->setQuadPath(GetParam());
    }
};

// SDL's software renderer samples a quarter-turned texture up to a pixel
// off inside the quad (its edges stay exact, on both drawing paths), so the
// quarters are checked away from their inner borders.
TEST_P(FramePixelTest, RotatedFrameIsDrawnUpright) {
    loadSheet();
    CCSprite* large = CCSprite::createWithSpriteFrameName("turned");
    large->setPosition(ccp(320, 480));
    large->setScale(4); // 64 x 32 points: x 288..352, y 464..496
    CCSprite* small = CCSprite::createWithSpriteFrameName("turned");
    small->setAnchorPoint(ccp(0, 0));
    small->setPosition(ccp(100, 100)); // 16 x 8: x 100..116, y 100..108
    CCNode* root = CCNode::create();
    root->addChild(large);
    root->addChild(small);
    show(root);
    EXPECT_TRUE(isColour(at(304, 488), 255, 0, 0));     // upper left: red
    EXPECT_TRUE(isColour(at(336, 488), 0, 0, 255));     // upper right: blue
    EXPECT_TRUE(isColour(at(304, 472), 0, 255, 0));     // lower left: green
    EXPECT_TRUE(isColour(at(336, 472), 255, 255, 255)); // lower right: white
    EXPECT_TRUE(isColour(at(288.5f, 495.5f), 255, 0, 0));
    EXPECT_TRUE(isColour(at(351.5f, 464.5f), 255, 255, 255));
    EXPECT_TRUE(isColour(at(287.5f, 480), 0, 0, 0));
    EXPECT_TRUE(isColour(at(352.5f, 480), 0, 0, 0));
    EXPECT_TRUE(isColour(at(320, 496.5f), 0, 0, 0));
    EXPECT_TRUE(isColour(at(320, 463.5f), 0, 0, 0));

    const struct {
        float x, y;
        int r, g, b;
    } exact[] = {
        {100.5f, 107.5f, 255, 0, 0},     {102.5f, 106.5f, 255, 0, 0},     {113.5f, 106.5f, 0, 0, 255},
        {115.5f, 107.5f, 0, 0, 255},     {102.5f, 101.5f, 0, 255, 0},     {100.5f, 100.5f, 0, 255, 0},
        {113.5f, 101.5f, 255, 255, 255}, {115.5f, 100.5f, 255, 255, 255}, {116.5f, 104.5f, 0, 0, 0},
        {99.5f, 104.5f, 0, 0, 0},        {108, 108.5f, 0, 0, 0},          {108, 99.5f, 0, 0, 0},
    };
    for (const auto& p : exact)
        EXPECT_TRUE(isColour(at(p.x, p.y), p.r, p.g, p.b)) << "at " << p.x << ", " << p.y;
}

TEST_P(FramePixelTest, FlippedRotatedFrameMirrorsTheUprightPicture) {
    loadSheet();
    CCSprite* sprite = CCSprite::createWithSpriteFrameName("turned");
    sprite->setPosition(ccp(320, 480));
    sprite->setScale(4);
    sprite->setFlipX(true);
    show(sprite);
    EXPECT_TRUE(isColour(at(300, 490), 0, 0, 255));
    EXPECT_TRUE(isColour(at(340, 490), 255, 0, 0));
    EXPECT_TRUE(isColour(at(300, 470), 255, 255, 255));
    EXPECT_TRUE(isColour(at(340, 470), 0, 255, 0));
}

TEST_P(FramePixelTest, CutOfARotatedFrameKeepsItsLeftPart) {
    loadSheet();
    // As a loading bar at 50 %: the frame's rect cut to half its width.
    CCSprite* sprite = CCSprite::createWithSpriteFrameName("turned");
    sprite->setTextureRect(CCRect(16, 0, 8, 8));
    EXPECT_EQ(sprite->getContentSize(), CCSize(8, 8));
    sprite->setAnchorPoint(ccp(0, 0));
    sprite->setPosition(ccp(100, 100));
    sprite->setScale(4); // 32 x 32 points
    show(sprite);
    EXPECT_TRUE(isColour(at(100.5f, 131.5f), 255, 0, 0));
    EXPECT_TRUE(isColour(at(116, 124), 255, 0, 0));
    EXPECT_TRUE(isColour(at(131.5f, 100.5f), 0, 255, 0));
    EXPECT_TRUE(isColour(at(116, 108), 0, 255, 0));
    EXPECT_TRUE(isColour(at(132.5f, 120), 0, 0, 0)); // the right half (blue, white) is cut off
}

TEST_P(FramePixelTest, TrimmedFrameSitsAtItsOffsetInsideTheSourceSize) {
    loadSheet();
    CCSprite* sprite = CCSprite::createWithSpriteFrameName("trimmed");
    sprite->setAnchorPoint(ccp(0, 0));
    sprite->setPosition(ccp(100, 100));
    sprite->setScale(4);
    show(sprite);
    // Centred in 16 x 16 the 8 x 8 cut would span 4..12; offset (2, -3)
    // puts it at x 6..14, y 1..9: points 124..156 and 104..136.
    EXPECT_TRUE(isColour(at(125, 105), 255, 0, 255));
    EXPECT_TRUE(isColour(at(155, 135), 255, 0, 255));
    EXPECT_TRUE(isColour(at(123, 120), 0, 0, 0));
    EXPECT_TRUE(isColour(at(157, 120), 0, 0, 0));
    EXPECT_TRUE(isColour(at(140, 103), 0, 0, 0));
    EXPECT_TRUE(isColour(at(140, 137), 0, 0, 0));
}

INSTANTIATE_TEST_SUITE_P(BothPaths, FramePixelTest,
                         ::testing::Values(CCSDLRenderer::QuadPath::Auto, CCSDLRenderer::QuadPath::Geometry));

TEST_F(SpriteSheetTest, BatchNodeTakesSpritesOfItsTextureAndDrawsThemInOneCall) {
    loadSheet();
    writePng(resources(), "other.png", 4, 4, {{0, 0, 4, 4, kWhite}});
    renderer()->setQuadPath(CCSDLRenderer::QuadPath::Geometry);
    CCSpriteBatchNode* batch = CCSpriteBatchNode::create("sheet.png");
    ASSERT_NE(batch, nullptr);
    const char* names[] = {"plain", "turned", "trimmed"};
    for (int i = 0; i < 3; ++i) {
        CCSprite* sprite = CCSprite::createWithSpriteFrameName(names[i]);
        sprite->setPosition(ccp(100 + 100 * i, 300));
        sprite->setScale(2);
        batch->addChild(sprite);
    }
    LogCapture log;
    batch->addChild(CCSprite::create("other.png"));
    batch->addChild(CCNode::create());
    EXPECT_EQ(log.count("refused"), 2);
    EXPECT_EQ(batch->getChildrenCount(), 3u);

    CCScene* scene = CCScene::create();
    scene->addChild(batch);
    director()->runWithScene(scene);
    renderer()->resetStats();
    drawFrame();
    EXPECT_EQ(renderer()->getStats().drawCalls, 1);
    EXPECT_TRUE(isColour(at(100, 300), 255, 255, 0));
    EXPECT_TRUE(isColour(at(190, 305), 255, 0, 0));
}

TEST_F(SpriteSheetTest, DictionaryEntryPointNeedsATexture) {
    std::string text = plist(kFramesFormat2);
    CCDictionary* sheet = CCDictionary::createWithPlistData(text.data(), text.size(), "memory");
    ASSERT_NE(sheet, nullptr);
    LogCapture log;
    EXPECT_FALSE(cache()->addSpriteFramesWithDictionary(sheet, nullptr, "memory sheet"));
    EXPECT_EQ(log.count("memory sheet"), 1);
    EXPECT_EQ(cache()->getFrameCount(), 0u);
}

} // namespace
