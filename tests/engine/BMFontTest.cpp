// Bitmap-font and character-map labels from files made here: glyph
// placement, kerning, wrapping and alignment, skipped characters, and
// malformed font files that must end in a label without glyphs.
#include "support/PaintedImage.h"
#include "support/SceneTest.h"

#include "engine/text/CCBMFontConfiguration.h"
#include "engine/text/CCLabelAtlas.h"
#include "engine/text/CCLabelBMFont.h"

using namespace engine;
using namespace testsupport;

namespace {

constexpr std::uint32_t kRed = 0xffff0000, kGreen = 0xff00ff00, kBlue = 0xff0000ff, kWhite = 0xffffffff;

// 'A' is the red 8 x 8 cell, 'B' the green one; the space only advances.
const char* const kFont =
    "info face=\"Cells\" size=8 padding=0,0,0,0\n"
    "common lineHeight=10 base=8 scaleW=32 scaleH=8 pages=1 packed=0\n"
    "page id=0 file=\"cells.png\"\n"
    "chars count=3\n"
    "char id=32 x=0 y=0 width=0 height=0 xoffset=0 yoffset=0 xadvance=5 page=0 chnl=15\n"
    "char id=65 x=0 y=0 width=8 height=8 xoffset=0 yoffset=1 xadvance=9 page=0 chnl=15\n"
    "char id=66 x=8 y=0 width=8 height=8 xoffset=1 yoffset=1 xadvance=9 page=0 chnl=15\n"
    "kernings count=1\n"
    "kerning first=65 second=66 amount=-1\n";

class BMFontTest : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        writePng(resources(), "fonts/cells.png", 32, 8, columns(8, 8, {kRed, kGreen}));
        resources().write("fonts/cells.fnt", kFont);
    }
    void TearDown() override {
        CCBMFontConfiguration::purgeCachedData();
        SceneTest::TearDown();
    }
    static CCLabelBMFont* placed(CCLabelBMFont* label, float x, float y) {
        label->setAnchorPoint(ccp(0, 0));
        label->setPosition(ccp(x, y));
        return label;
    }
};

TEST_F(BMFontTest, GlyphsLandWhereOffsetsAdvancesAndKerningPutThem) {
    CCLabelBMFont* label = CCLabelBMFont::create("AB", "fonts/cells.fnt");
    ASSERT_TRUE(label->hasFont());
    ASSERT_EQ(label->getGlyphs().size(), 2u);
    // A: x 0, 1 below the line's top; B: advance 9, kerning -1, offset 1.
    EXPECT_EQ(label->getGlyphs()[0].rect, CCRectMake(0, 1, 8, 8));
    EXPECT_EQ(label->getGlyphs()[1].rect, CCRectMake(9, 1, 8, 8));
    EXPECT_EQ(label->getContentSize(), CCSizeMake(17, 10));

    show(placed(label, 100, 100));
    EXPECT_TRUE(isColour(at(100.5f, 101.5f), 255, 0, 0));
    EXPECT_TRUE(isColour(at(107.5f, 108.5f), 255, 0, 0));
    EXPECT_TRUE(isColour(at(108.5f, 105), 0, 0, 0)); // the gap before B
    EXPECT_TRUE(isColour(at(109.5f, 105), 0, 255, 0));
    EXPECT_TRUE(isColour(at(116.5f, 105), 0, 255, 0));
    EXPECT_TRUE(isColour(at(100.5f, 109.5f), 0, 0, 0)); // the line's top row

    label->setColor(ccc3(0, 0, 0));
    drawFrame();
    EXPECT_TRUE(isColour(at(104, 105), 0, 0, 0));
}

TEST_F(BMFontTest, LinesWrapToTheWidthAndAlign) {
    CCLabelBMFont* label = CCLabelBMFont::create("A\nB", "fonts/cells.fnt");
    EXPECT_EQ(label->getLineCount(), 2);
    EXPECT_EQ(label->getContentSize().height, 20);
    EXPECT_EQ(label->getGlyphs()[0].rect.origin.y, 11); // first line on top

    // "AB AB" is 23 wide; a width of 20 moves the second word down.
    label->setString("AB AB");
    label->setWidth(20);
    EXPECT_EQ(label->getLineCount(), 2);
    EXPECT_EQ(label->getContentSize(), CCSizeMake(20, 20));
    label->setAlignment(kCCTextAlignmentRight);
    EXPECT_EQ(label->getGlyphs()[0].rect.origin.x, 3); // 20 - 17
    label->setAlignment(kCCTextAlignmentCenter);
    EXPECT_EQ(label->getGlyphs()[0].rect.origin.x, 1);
}

TEST_F(BMFontTest, CharactersTheFontLacksAreSkipped) {
    CCLabelBMFont* label = CCLabelBMFont::create("AzB", "fonts/cells.fnt");
    EXPECT_EQ(label->getGlyphs().size(), 2u);
    EXPECT_EQ(label->getContentSize().width, 17);
}

TEST_F(BMFontTest, MalformedFontFilesGiveOneLogLineAndNoGlyphs) {
    std::string page = "page id=0 file=\"cells.png\"\n";
    std::string common = "common lineHeight=10 base=8 pages=1\n";
    struct Case {
        const char* name;
        std::string text;
        const char* reason;
    } cases[] = {
        {"bad-number.fnt", "common lineHeight=1O base=8 pages=1\n" + page, "not a whole number"},
        {"no-common.fnt", page + "char id=65 x=0 y=0 width=8 height=8 xadvance=9\n", "no \"common\""},
        {"no-page.fnt", common + "char id=65 x=0 y=0 width=8 height=8 xadvance=9\n", "no \"page\""},
        {"other-page.fnt", common + page + "char id=65 x=0 y=0 width=8 height=8 xadvance=9 page=2\n",
         "no \"page\" line names"},
        {"big-id.fnt", common + page + "char id=1114112 x=0 y=0 width=8 height=8 xadvance=9\n",
         "out of range"},
        {"huge-glyph.fnt", common + page + "char id=65 x=0 y=0 width=90000 height=8 xadvance=9\n",
         "out of range"},
        {"outside-page.fnt", common + page + "char id=65 x=30 y=0 width=8 height=8 xadvance=9\n",
         "outside its 32 x 8 page"},
        {"binary.fnt", std::string("BMF\x03\x01\x02", 6), "binary"},
        {"missing.fnt", "", "cannot read"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (std::string(c.name) != "missing.fnt") resources().write(std::string("fonts/") + c.name, c.text);
        testsupport::LogCapture log;
        CCLabelBMFont* label = CCLabelBMFont::create("AB", (std::string("fonts/") + c.name).c_str());
        ASSERT_NE(label, nullptr);
        EXPECT_FALSE(label->hasFont());
        EXPECT_TRUE(label->getGlyphs().empty());
        ASSERT_EQ(log.lines().size(), 1u);
        EXPECT_TRUE(log.contains(c.reason)) << log.lines()[0];
        EXPECT_TRUE(log.contains(c.name)) << log.lines()[0];
    }
}

TEST_F(BMFontTest, PageFilesAreFoundBesideTheFontAndAMissingPageDrawsNothing) {
    auto config = CCBMFontConfiguration::parse(kFont, "fonts/cells.fnt");
    ASSERT_TRUE(config);
    EXPECT_EQ(config->getPages(), std::vector<std::string>{"fonts/cells.png"});
    EXPECT_EQ(config->kerning('A', 'B'), -1);
    EXPECT_EQ(config->kerning('B', 'A'), 0);

    std::string noImage = kFont;
    noImage.replace(noImage.find("cells.png"), 9, "gone.png");
    resources().write("fonts/gone.fnt", noImage);
    testsupport::LogCapture log;
    CCLabelBMFont* label = CCLabelBMFont::create("AB", "fonts/gone.fnt");
    EXPECT_TRUE(label->getGlyphs().empty());
    EXPECT_EQ(log.count("gone.png"), 1);
}

class LabelAtlasTest : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        // Cells '0'..'3': red, green, blue, white; two rows of two.
        writePng(resources(), "digits.png", 20, 20,
                 {{0, 0, 10, 10, kRed},
                  {10, 0, 10, 10, kGreen},
                  {0, 10, 10, 10, kBlue},
                  {10, 10, 10, 10, kWhite}});
    }
};

TEST_F(LabelAtlasTest, EachCharacterShowsItsCellOfTheMap) {
    CCLabelAtlas* label = CCLabelAtlas::create("3120", "digits.png", 10, 10, '0');
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->getContentSize(), CCSizeMake(40, 10));
    label->setPosition(ccp(200, 200));
    show(label);
    EXPECT_TRUE(isColour(at(205, 205), 255, 255, 255));
    EXPECT_TRUE(isColour(at(215, 205), 0, 255, 0));
    EXPECT_TRUE(isColour(at(225, 205), 0, 0, 255));
    EXPECT_TRUE(isColour(at(235, 205), 255, 0, 0));

    label->setString("1x9 2");
    EXPECT_EQ(label->getQuads().size(), 2u); // x, 9 and the space are not in the map
    EXPECT_EQ(label->getContentSize(), CCSizeMake(50, 10));
    drawFrame();
    EXPECT_TRUE(isColour(at(205, 205), 0, 255, 0));
    EXPECT_TRUE(isColour(at(215, 205), 0, 0, 0));
    EXPECT_TRUE(isColour(at(245, 205), 0, 0, 255));
}

TEST_F(LabelAtlasTest, ItemsThatDoNotFitTheMapAreLoggedAndDrawNothing) {
    testsupport::LogCapture log;
    CCLabelAtlas* label = CCLabelAtlas::create("01", "digits.png", 40, 10, '0');
    ASSERT_NE(label, nullptr);
    EXPECT_FALSE(label->hasAtlas());
    EXPECT_TRUE(label->getQuads().empty());
    EXPECT_EQ(log.count("digits.png"), 1);
    CCLabelAtlas* zero = CCLabelAtlas::create("01", "digits.png", 0, 0, '0');
    EXPECT_FALSE(zero->hasAtlas());
    CCLabelAtlas* missing = CCLabelAtlas::create("01", "none.png", 10, 10, '0');
    EXPECT_FALSE(missing->hasAtlas());
    EXPECT_EQ(CCLabelAtlas::create("01", nullptr, 10, 10, '0'), nullptr);
    show(label);
}

} // namespace
