// Labels, character-map labels and bitmap-font labels as widgets: sizes that
// follow the text or stretch it, the label that grows while pressed, text
// areas, maps and fonts made here, and what they draw, headless.
#include "engine/base/CCAutoreleasePool.h"
#include "engine/base/CCObject.h"
#include "engine/nodes/CCNode.h"
#include "engine/render/CCTextureCache.h"
#include "engine/text/CCBMFontConfiguration.h"
#include "engine/text/CCLabelBMFont.h"
#include "engine/text/CCLabelTTF.h"
#include "gui/UICCLabelAtlas.h"
#include "gui/UILabel.h"
#include "gui/UILabelAtlas.h"
#include "gui/UILabelBMFont.h"
#include "gui/UILayer.h"
#include "gui/UIRootWidget.h"
#include "support/PaintedImage.h"
#include "support/SceneTest.h"

#include <gtest/gtest.h>

#include <vector>

using namespace engine;
using gui::UILabel;
using gui::UILabelAtlas;
using gui::UILabelBMFont;
using testsupport::HeadlessView;
using testsupport::isColour;
using testsupport::LogCapture;

namespace {

// The bounding box of bright pixels (any channel above `threshold`) in the
// design rectangle `area` of the last frame; an empty rect when there are none.
CCRect inkBox(const HeadlessView& view, const CCRect& area, int threshold = 100) {
    float minX = 1e9f, minY = 1e9f, maxX = -1e9f, maxY = -1e9f;
    for (float y = area.getMinY() + 0.5f; y < area.getMaxY(); y += 1.0f)
        for (float x = area.getMinX() + 0.5f; x < area.getMaxX(); x += 1.0f) {
            testsupport::Pixel p = view.at(x, y);
            if (p.r <= threshold && p.g <= threshold && p.b <= threshold) continue;
            minX = std::min(minX, x), maxX = std::max(maxX, x);
            minY = std::min(minY, y), maxY = std::max(maxY, y);
        }
    if (maxX < minX) return {};
    return {minX, minY, maxX - minX + 1, maxY - minY + 1};
}

constexpr std::uint32_t kRed = 0xffff0000, kGreen = 0xff00ff00, kBlue = 0xff0000ff;

class LabelWidgetTest : public testsupport::SceneTest {
protected:
    void TearDown() override { CCBMFontConfiguration::purgeCachedData(); }
    // Shows `widget` under a UI layer in a running scene, one frame drawn.
    gui::UILayer* show(gui::UIWidget* widget) {
        gui::UILayer* layer = gui::UILayer::create();
        layer->addWidget(widget);
        screen.show(layer);
        return layer;
    }
    static UILabel* label(const char* text, float x, float y) {
        UILabel* widget = UILabel::create();
        widget->setFontName("Arial");
        widget->setFontSize(30);
        widget->setText(text);
        widget->setPosition({x, y});
        return widget;
    }
};

// --- UILabel

TEST_F(LabelWidgetTest, LabelFollowingItsTextGrowsWithALongerText) {
    UILabel* widget = label("ab", 320, 480);
    CCSize shortSize = widget->getSize();
    EXPECT_GT(shortSize.width, 0);
    EXPECT_EQ(shortSize, widget->getVirtualRenderer()->getContentSize());

    widget->setText("abcdefgh");
    EXPECT_GT(widget->getSize().width, shortSize.width * 2);
    EXPECT_EQ(widget->getSize(), widget->getVirtualRenderer()->getContentSize());
    EXPECT_EQ(widget->getVirtualRenderer()->getScaleX(), 1.0f);

    // A missing text changes nothing.
    widget->setText(static_cast<const char*>(nullptr));
    EXPECT_STREQ(widget->getStringValue(), "abcdefgh");

    // A bigger font is a bigger widget too.
    CCSize before = widget->getSize();
    widget->setFontSize(60);
    EXPECT_GT(widget->getSize().height, before.height * 1.5f);
}

TEST_F(LabelWidgetTest, LabelWithItsOwnSizeStretchesItsTextOverIt) {
    UILabel* widget = label("stretch", 320, 480);
    widget->setSize({300, 90});
    widget->setIgnoreContentSize(false);
    CCLabelTTF* text = widget->getVirtualRenderer();
    CCSize content = text->getContentSize();
    EXPECT_EQ(widget->getSize(), CCSizeMake(300, 90));
    EXPECT_FLOAT_EQ(text->getScaleX(), 300 / content.width);
    EXPECT_FLOAT_EQ(text->getScaleY(), 90 / content.height);

    // A new text is fitted again: the same box, a new scale.
    widget->setText("stretched further");
    EXPECT_EQ(widget->getSize(), CCSizeMake(300, 90));
    EXPECT_FLOAT_EQ(text->getScaleX(), 300 / text->getContentSize().width);

    // Nothing to stretch: no division by zero.
    widget->setText("");
    EXPECT_EQ(text->getScaleX(), 1.0f);
    EXPECT_EQ(text->getScaleY(), 1.0f);

    show(widget);
    widget->setText("stretch");
    screen.step();
    CCRect ink = inkBox(screen, CCRectMake(100, 380, 440, 200));
    EXPECT_GT(ink.size.width, 240) << "text drawn at " << ink.size.width << " wide, not stretched to 300";
    EXPECT_LE(ink.size.width, 301);

    widget->setIgnoreContentSize(true);
    EXPECT_EQ(text->getScaleX(), 1.0f);
    EXPECT_EQ(widget->getSize(), text->getContentSize());
}

TEST_F(LabelWidgetTest, TouchScaledLabelGrowsWhilePressedAndOnlyOverIt) {
    UILabel* widget = label("press", 320, 480);
    widget->setTouchEnabled(true);
    widget->setScale(2.0f);
    widget->setTouchScaleEnabled(true); // takes 2 as the normal scale
    UILabel* plain = label("plain", 320, 200);
    plain->setTouchEnabled(true);
    gui::UILayer* layer = gui::UILayer::create();
    layer->addWidget(widget);
    layer->addWidget(plain);
    screen.show(layer);
    CCRect normalInk = inkBox(screen, CCRectMake(0, 330, 640, 300));

    HeadlessView::touchBegan({320, 480});
    EXPECT_FLOAT_EQ(widget->getScaleX(), 2.5f);
    screen.step();
    CCRect pressedInk = inkBox(screen, CCRectMake(0, 330, 640, 300));
    EXPECT_NEAR(pressedInk.size.width / normalInk.size.width, 1.25f, 0.06f);
    EXPECT_TRUE(screen.savedAsShown("label-pressed"));

    // Out of the label and back again, then released.
    HeadlessView::touchMoved({320, 900});
    EXPECT_FLOAT_EQ(widget->getScaleX(), 2.0f);
    HeadlessView::touchMoved({320, 480});
    EXPECT_FLOAT_EQ(widget->getScaleX(), 2.5f);
    HeadlessView::touchEnded({320, 480});
    EXPECT_FLOAT_EQ(widget->getScaleX(), 2.0f);

    // Without the switch a pressed label keeps its size.
    HeadlessView::touchBegan({320, 200});
    EXPECT_TRUE(plain->isFocused());
    EXPECT_FLOAT_EQ(plain->getScaleX(), 1.0f);
    HeadlessView::touchEnded({320, 200});

    // Disabled, it draws nothing.
    widget->setEnabled(false);
    screen.step();
    EXPECT_EQ(inkBox(screen, CCRectMake(0, 330, 640, 300)).size.width, 0);
}

TEST_F(LabelWidgetTest, TextAreaHoldsItsBoxAndAlignsTextInIt) {
    UILabel* area = label("left", 320, 480);
    area->setTextAreaSize({400, 200});
    EXPECT_EQ(area->getSize(), CCSizeMake(400, 200));
    area->setTextHorizontalAlignment(0);
    area->setTextVerticalAlignment(2);
    show(area);
    // The box spans x 120..520 and y 380..580.
    CCRect ink = inkBox(screen, CCRectMake(110, 370, 420, 220));
    EXPECT_LT(ink.getMinX(), 140);
    EXPECT_LT(ink.getMinY(), 400);

    area->setTextHorizontalAlignment(2);
    area->setTextVerticalAlignment(0);
    screen.step();
    ink = inkBox(screen, CCRectMake(110, 370, 420, 220));
    EXPECT_GT(ink.getMaxX(), 500);
    EXPECT_GT(ink.getMaxY(), 560);

    // A value from a broken file keeps the alignment and says so.
    LogCapture log;
    area->setTextHorizontalAlignment(7);
    area->setTextVerticalAlignment(-1);
    EXPECT_EQ(area->getVirtualRenderer()->getHorizontalAlignment(), kCCTextAlignmentRight);
    EXPECT_EQ(area->getVirtualRenderer()->getVerticalAlignment(), kCCVerticalTextAlignmentTop);
    EXPECT_EQ(log.count("alignment"), 2);
}

TEST_F(LabelWidgetTest, AnchorAndFlipsReachTheTextNode) {
    UILabel* widget = label("anchor", 100, 100);
    widget->setAnchorPoint({0, 0});
    EXPECT_EQ(widget->getVirtualRenderer()->getAnchorPoint(), CCPointMake(0, 0));
    widget->setFlipX(true);
    EXPECT_TRUE(widget->isFlipX());
    EXPECT_TRUE(widget->getVirtualRenderer()->isFlipX());
    EXPECT_FALSE(widget->isFlipY());

    // Anchored at its corner, the label's text starts at its position.
    show(widget);
    CCRect ink = inkBox(screen, CCRectMake(50, 50, 300, 150));
    EXPECT_GE(ink.getMinX(), 99);
    EXPECT_GE(ink.getMinY(), 99);
    EXPECT_TRUE(widget->hitTest({105, 105}));
    EXPECT_FALSE(widget->hitTest({95, 105}));
}

// --- UILabelAtlas

class LabelAtlasWidgetTest : public LabelWidgetTest {
protected:
    void SetUp() override {
        LabelWidgetTest::SetUp();
        // Digits "0", "1", "2" are red, green and blue 10 x 10 cells.
        testsupport::writePng(screen.resources(), "digits.png", 30, 10,
                              testsupport::columns(10, 10, {kRed, kGreen, kBlue}));
    }
};

TEST_F(LabelAtlasWidgetTest, EachDigitShowsItsCellAndTheWidgetTakesTheTextsSize) {
    UILabelAtlas* widget = UILabelAtlas::create();
    widget->setAnchorPoint({0, 0});
    widget->setPosition({100, 100});
    widget->setProperty("2100", "digits.png", 10, 10, "0");
    EXPECT_EQ(widget->getSize(), CCSizeMake(40, 10));
    // The anchor survives the map's initialisation.
    EXPECT_EQ(widget->getVirtualRenderer()->getAnchorPoint(), CCPointMake(0, 0));
    show(widget);
    EXPECT_TRUE(isColour(screen.at(105, 105), 0, 0, 255));
    EXPECT_TRUE(isColour(screen.at(115, 105), 0, 255, 0));
    EXPECT_TRUE(isColour(screen.at(125, 105), 255, 0, 0));
    EXPECT_TRUE(isColour(screen.at(135, 105), 255, 0, 0));

    // A shorter text, stretched over a size of its own.
    widget->setStringValue("12");
    EXPECT_EQ(widget->getSize(), CCSizeMake(20, 10));
    widget->setIgnoreContentSize(false);
    widget->setSize({80, 20});
    screen.step();
    EXPECT_TRUE(isColour(screen.at(139, 118), 0, 255, 0));
    EXPECT_TRUE(isColour(screen.at(141, 102), 0, 0, 255));
    EXPECT_TRUE(isColour(screen.at(179, 118), 0, 0, 255));
    EXPECT_TRUE(isColour(screen.at(181, 105), 0, 0, 0));

    // Opacity from the widget dims the cells.
    widget->setOpacity(128);
    screen.step();
    testsupport::Pixel dim = screen.at(150, 110);
    EXPECT_NEAR(dim.b, 128, 3);
}

TEST_F(LabelAtlasWidgetTest, StartCharacterIsTheFirstCharacterOfItsText) {
    UILabelAtlas* widget = UILabelAtlas::create();
    widget->setAnchorPoint({0, 0});
    widget->setPosition({100, 100});
    // "a" is the first cell; "abc" only counts by its first character.
    widget->setProperty("cab", "digits.png", 10, 10, "abc");
    show(widget);
    EXPECT_TRUE(isColour(screen.at(105, 105), 0, 0, 255));
    EXPECT_TRUE(isColour(screen.at(115, 105), 255, 0, 0));
    EXPECT_TRUE(isColour(screen.at(125, 105), 0, 255, 0));
}

TEST_F(LabelAtlasWidgetTest, MapThatCannotBeUsedDrawsNothingAndSaysWhy) {
    LogCapture log;
    UILabelAtlas* missing = UILabelAtlas::create();
    missing->setProperty("12", "none.png", 10, 10, "0");
    EXPECT_FALSE(missing->getVirtualRenderer()->hasAtlas());
    EXPECT_TRUE(log.contains("none.png"));

    // Negative cells from a broken file must not become huge unsigned ones.
    log.clear();
    UILabelAtlas* negative = UILabelAtlas::create();
    negative->setProperty("12", "digits.png", -10, 10, "0");
    EXPECT_FALSE(negative->getVirtualRenderer()->hasAtlas());
    EXPECT_TRUE(log.contains("-10 x 10"));

    missing->setPosition({320, 480});
    negative->setPosition({320, 400});
    gui::UILayer* layer = gui::UILayer::create();
    layer->addWidget(missing);
    layer->addWidget(negative);
    screen.show(layer);
    EXPECT_EQ(inkBox(screen, CCRectMake(200, 300, 240, 300), 10).size.width, 0);
}

// --- UILabelBMFont

// 'A' is the red 8 x 8 cell, 'B' the green one.
const char* const kFont =
    "info face=\"Cells\" size=8 padding=0,0,0,0\n"
    "common lineHeight=10 base=8 scaleW=32 scaleH=8 pages=1 packed=0\n"
    "page id=0 file=\"cells.png\"\n"
    "chars count=2\n"
    "char id=65 x=0 y=0 width=8 height=8 xoffset=0 yoffset=1 xadvance=9 page=0 chnl=15\n"
    "char id=66 x=8 y=0 width=8 height=8 xoffset=0 yoffset=1 xadvance=9 page=0 chnl=15\n";

class BMFontWidgetTest : public LabelWidgetTest {
protected:
    void SetUp() override {
        LabelWidgetTest::SetUp();
        testsupport::writePng(screen.resources(), "fonts/cells.png", 32, 8,
                              testsupport::columns(8, 8, {kRed, kGreen}));
        screen.resources().write("fonts/cells.fnt", kFont);
    }
    static UILabelBMFont* cornered(UILabelBMFont* widget) {
        widget->setAnchorPoint({0, 0});
        widget->setPosition({100, 100});
        return widget;
    }
};

TEST_F(BMFontWidgetTest, TextGivenBeforeTheFontShowsNothingUntilSetAgain) {
    UILabelBMFont* widget = cornered(UILabelBMFont::create());
    LogCapture log;
    widget->setText("AB");
    EXPECT_TRUE(log.contains("before a font file"));
    widget->setFontFile("fonts/cells.fnt");
    EXPECT_TRUE(widget->isFontFileSet());
    EXPECT_STREQ(widget->getStringValue(), "");
    EXPECT_EQ(widget->getSize().width, 0);
    show(widget);
    EXPECT_EQ(inkBox(screen, CCRectMake(90, 90, 60, 30), 10).size.width, 0);

    widget->setText("AB");
    EXPECT_EQ(widget->getSize(), CCSizeMake(18, 10));
    screen.step();
    EXPECT_TRUE(isColour(screen.at(104, 104), 255, 0, 0));
    EXPECT_TRUE(isColour(screen.at(113, 104), 0, 255, 0));
    // The font's initialisation centres the node; the widget's anchor is put back.
    EXPECT_EQ(widget->getVirtualRenderer()->getAnchorPoint(), CCPointMake(0, 0));
}

TEST_F(BMFontWidgetTest, NewFontStartsOverAndStretchingFitsTheText) {
    UILabelBMFont* widget = cornered(UILabelBMFont::create());
    widget->setFontFile("fonts/cells.fnt");
    widget->setText("AB");
    // No name: nothing changes.
    widget->setFontFile("");
    widget->setFontFile(static_cast<const char*>(nullptr));
    EXPECT_STREQ(widget->getStringValue(), "AB");

    widget->setIgnoreContentSize(false);
    widget->setSize({36, 20});
    EXPECT_FLOAT_EQ(widget->getVirtualRenderer()->getScaleX(), 2.0f);
    EXPECT_FLOAT_EQ(widget->getVirtualRenderer()->getScaleY(), 2.0f);
    show(widget);
    EXPECT_TRUE(isColour(screen.at(120, 110), 0, 255, 0));

    // A font that cannot be read: no glyphs, no ink, the engine says why.
    LogCapture log;
    widget->setFontFile("fonts/none.fnt");
    widget->setText("AB");
    EXPECT_FALSE(widget->getVirtualRenderer()->hasFont());
    EXPECT_TRUE(log.contains("none.fnt"));
    screen.step();
    EXPECT_EQ(inkBox(screen, CCRectMake(90, 90, 80, 40), 10).size.width, 0);
}

// --- teardown

TEST_F(LabelWidgetTest, TextWidgetsTouchedAndRemovedFreeEverything) {
    testsupport::writePng(screen.resources(), "digits.png", 30, 10,
                          testsupport::columns(10, 10, {kRed, kGreen, kBlue}));
    testsupport::writePng(screen.resources(), "fonts/cells.png", 32, 8,
                          testsupport::columns(8, 8, {kRed, kGreen}));
    screen.resources().write("fonts/cells.fnt", kFont);
    gui::UILayer* layer = gui::UILayer::create();
    screen.show(layer);
    CCAutoreleasePool::sharedPool()->drain();
    long emptyLayer = CCObject::liveObjectCount();

    UILabel* text = label("touch", 320, 480);
    text->setTouchEnabled(true);
    text->setTouchScaleEnabled(true);
    UILabelAtlas* atlas = UILabelAtlas::create();
    atlas->setProperty("012", "digits.png", 10, 10, "0");
    UILabelBMFont* font = UILabelBMFont::create();
    font->setFontFile("fonts/cells.fnt");
    font->setText("AB");
    for (gui::UIWidget* widget : std::initializer_list<gui::UIWidget*>{text, atlas, font})
        layer->addWidget(widget);
    screen.step();
    HeadlessView::touchBegan({320, 480});
    HeadlessView::touchEnded({320, 480});
    screen.step();
    for (gui::UIWidget* widget : std::initializer_list<gui::UIWidget*>{text, atlas, font})
        widget->removeFromParent();
    // The map and the font page stay cached until the cache is emptied.
    CCTextureCache::sharedTextureCache()->removeAllTextures();
    CCAutoreleasePool::sharedPool()->drain();
    EXPECT_EQ(CCObject::liveObjectCount(), emptyLayer);
}

} // namespace
