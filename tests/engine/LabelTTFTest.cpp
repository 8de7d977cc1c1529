// TTF labels: font names through fontconfig (aliases, GBK names, unknown
// names), wrapping and alignment inside dimensions measured on drawn pixels,
// rasterising only on change, and the window's pixel scale.
#include "support/SceneTest.h"
#include "support/SwappedFifo.h"

#include "engine/platform/CCEGLView.h"
#include "engine/render/CCSDLRenderer.h"
#include "engine/render/CCTexture2D.h"
#include "engine/render/CCTextureCache.h"
#include "engine/text/CCFontCache.h"
#include "engine/text/CCLabelTTF.h"
#include "engine/text/ccTextWrap.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <sstream>

using namespace engine;
using namespace testsupport;

namespace {

struct Box {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1; // inclusive, pixels
    bool empty() const { return right < 0; }
    float centreX() const { return (left + right) / 2.0f; }
    float centreY() const { return (top + bottom) / 2.0f; }
};

class LabelTTFTest : public SceneTest {
protected:
    // Ink: any pixel brighter than the black clear colour.
    static bool ink(const Pixel& c) { return c.r + c.g + c.b > 120; }

    Box inkBox(int x0 = 0, int y0 = 0, int x1 = -1, int y1 = -1) const {
        if (x1 < 0) x1 = screen.width() - 1;
        if (y1 < 0) y1 = screen.height() - 1;
        Box box;
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                if (ink(pixelAt(x, y))) {
                    box.left = std::min(box.left, x);
                    box.right = std::max(box.right, x);
                    box.top = std::min(box.top, y);
                    box.bottom = std::max(box.bottom, y);
                }
        return box;
    }

    // Ink boxes of the text lines: runs of rows with ink, split by blank rows.
    std::vector<Box> lineBoxes() const {
        std::vector<Box> lines;
        bool inLine = false;
        for (int y = 0; y < screen.height(); ++y) {
            Box row = inkBox(0, y, screen.width() - 1, y);
            if (row.empty()) {
                inLine = false;
                continue;
            }
            if (!inLine) lines.push_back(Box());
            inLine = true;
            Box& line = lines.back();
            line.left = std::min(line.left, row.left);
            line.right = std::max(line.right, row.right);
            line.top = std::min(line.top, y);
            line.bottom = y;
        }
        return lines;
    }

    // A label with its lower-left corner at design (x, y).
    static CCLabelTTF* placed(CCLabelTTF* label, float x, float y) {
        label->setAnchorPoint(ccp(0, 0));
        label->setPosition(ccp(x, y));
        return label;
    }
};

TEST_F(LabelTTFTest, ArialResolvesToLiberationSansWithoutComplaint) {
    testsupport::LogCapture log;
    CCLabelTTF* label = CCLabelTTF::create("Hello", "Arial", 24);
    EXPECT_EQ(label->getFontFace().family, "Liberation Sans");
    EXPECT_NE(label->getFontFace().file.find("LiberationSans"), std::string::npos);
    EXPECT_EQ(log.count("CCFontCache"), 0);
    EXPECT_GT(label->getContentSize().width, 30);
    EXPECT_GT(label->getContentSize().height, 20);
}

TEST_F(LabelTTFTest, GbkFontNameReachesAChineseFaceThatDrawsChineseText) {
    const char* songti = "\xCB\xCE\xCC\xE5"; // 宋体 in GBK
    EXPECT_EQ(CCFontCache::decodeFontName(songti), "宋体");
    EXPECT_EQ(CCFontCache::decodeFontName("Arial"), "Arial");

    testsupport::LogCapture log;
    CCLabelTTF* first = CCLabelTTF::create("你", songti, 40);
    EXPECT_NE(first->getFontFace().file.find("uming"), std::string::npos) << first->getFontFace().file;
    EXPECT_EQ(log.count("CCFontCache"), 0);

    // Two different ideographs give two different pictures (missing glyphs
    // would all be the same box).
    CCNode* root = CCNode::create();
    root->addChild(placed(first, 100, 500));
    show(root);
    std::vector<std::uint32_t> firstPixels = screen.pixels();
    int firstInk = screen.count(ink);
    root->removeAllChildren();
    root->addChild(placed(CCLabelTTF::create("好", songti, 40), 100, 500));
    drawFrame();
    EXPECT_GT(firstInk, 50);
    EXPECT_GT(screen.count(ink), 50);
    EXPECT_NE(firstPixels, screen.pixels());
}

TEST_F(LabelTTFTest, ChineseTextInALatinFontStillFindsAChineseFace) {
    CCLabelTTF* label = CCLabelTTF::create("-字-", "Arial", 30);
    EXPECT_NE(label->getFontFace().file.find("uming"), std::string::npos) << label->getFontFace().file;
    label->setString("plain");
    EXPECT_EQ(label->getFontFace().family, "Liberation Sans");
}

TEST_F(LabelTTFTest, AnEmptyLabelLooksUpNoFontUntilItHasText) {
    CCFontCache* fonts = CCFontCache::sharedFontCache();
    const int before = fonts->getLookupCount();
    CCLabelTTF* label = CCLabelTTF::create("", "Lirra Lazy Face", 30);
    show(placed(label, 50, 400));
    EXPECT_EQ(fonts->getLookupCount(), before);
    EXPECT_EQ(label->getContentSize().height, 0);
    label->setString("Now");
    drawFrame();
    EXPECT_EQ(fonts->getLookupCount(), before + 1);
    EXPECT_GT(label->getContentSize().height, 20);
    EXPECT_GT(screen.count(ink), 20);
}

TEST_F(LabelTTFTest, UnknownFontNameFallsBackWithOneLogLineAndStillDraws) {
    testsupport::LogCapture log;
    CCLabelTTF* label = CCLabelTTF::create("Fallback", "Lirra Unknown Face", 30);
    CCLabelTTF::create("Again", "Lirra Unknown Face", 20); // same name: no second line
    EXPECT_EQ(log.count("no font named \"Lirra Unknown Face\""), 1);
    EXPECT_EQ(log.lines().size(), 1u);
    EXPECT_FALSE(label->getFontFace().file.empty());
    show(placed(label, 50, 400));
    EXPECT_GT(screen.count(ink), 100);
}

// A missing face for Latin text: the book's own print font first, then
// Andika, then DejaVu Sans; never a Chinese face for Latin text.
TEST_F(LabelTTFTest, AMissingFaceFallsBackToTheBooksFontThenAndikaThenDejaVuSans) {
    // Andika is a test dependency (fonts-sil-andika).
    CCFontCache* fonts = CCFontCache::sharedFontCache();
    fonts->purge();
    testsupport::LogCapture log;
    const char* songti = "\xCB\xCE\xCC\xE5"; // 宋体 in GBK, on no Linux desktop
    for (const char* name : {songti, "Marker Felt"}) {
        CCLabelTTF* label = CCLabelTTF::create("-sun-", name, 30);
        CCLabelTTF::create("-moon-", name, 20); // the same name: one log line
        EXPECT_EQ(label->getFontFace().family, "Andika") << name;
        EXPECT_EQ(log.count("no font named \"" + CCFontCache::decodeFontName(name) + "\""), 1);
    }
    // Chinese text in the missing Chinese face still gets a Chinese face, without complaint.
    EXPECT_NE(CCLabelTTF::create("你", songti, 30)->getFontFace().file.find("uming"), std::string::npos);
    EXPECT_EQ(log.lines().size(), 2u);

    // A book that ships its print font: that comes first.
    std::ifstream serif("/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf", std::ios::binary);
    resources().write("fonts/print.ttf", std::string(std::istreambuf_iterator<char>(serif), {}));
    fonts->setBookFont("fonts/print.ttf");
    CCLabelTTF* label = CCLabelTTF::create("-sun-", songti, 30);
    EXPECT_NE(label->getFontFace().file.find("fonts/print.ttf"), std::string::npos)
        << label->getFontFace().file;
    EXPECT_GT(label->getContentSize().width, 30);
    EXPECT_EQ(CCLabelTTF::create("plain", "Arial", 30)->getFontFace().family, "Liberation Sans")
        << "an installed face stays itself";
    fonts->purge();
}

TEST_F(LabelTTFTest, MissingFontFileFallsBackToItsFamilyName) {
    testsupport::LogCapture log;
    CCLabelTTF* label = CCLabelTTF::create("File", "fonts/Arial.ttf", 20);
    EXPECT_EQ(label->getFontFace().family, "Liberation Sans");
    EXPECT_EQ(log.count("CCFontCache"), 0);
}

TEST_F(LabelTTFTest, ABookFontIsReadOnceSoAFileSwappedInItsPlaceIsNeverOpened) {
    std::ifstream dejaVu("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", std::ios::binary);
    std::stringstream bytes;
    bytes << dejaVu.rdbuf();
    ASSERT_GT(bytes.str().size(), 1000u) << "needs fonts-dejavu-core";
    const std::string path = resources().write("fonts/book.ttf", bytes.str());
    CCFontCache* fonts = CCFontCache::sharedFontCache();
    const CCFontFace face = fonts->faceForName("fonts/book.ttf", false);
    ASSERT_NE(fonts->font(face, 20), nullptr);

    // After its check the font becomes a FIFO: a new size, and a new size
    // after the cache let its open fonts go, must not open the name again.
    testsupport::SwappedFifo fifo(path);
    ASSERT_TRUE(fifo.made());
    testsupport::LogCapture log;
    EXPECT_NE(fonts->font(face, 31), nullptr);
    for (int size = 40; size < 100; ++size) // past the open fonts the cache keeps
        EXPECT_NE(fonts->font(face, size), nullptr) << size;
    EXPECT_EQ(fifo.opens(), 0);
    EXPECT_EQ(log.count("cannot open font"), 0);
}

TEST_F(LabelTTFTest, HugeTextIsCutToItsPartOfThePageAndSharesThePictureBudget) {
    CCTextureCache* cache = CCTextureCache::sharedTextureCache();
    const std::uint64_t budget = cache->getPixelBudget();
    const CCScreenMapping& mapping = CCEGLView::sharedOpenGLView()->getScreenMapping();
    const float scale = std::clamp(std::max(mapping.scaleX, mapping.scaleY), 0.25f, 8.0f);
    testsupport::LogCapture log;
    // Ten W at the largest size are some 19,000 pixels wide and 2,300 high.
    CCLabelTTF* big = CCLabelTTF::create("WWWWWWWWWW", "Arial", 2000);
    big->retain();
    big->updateTexture();
    ASSERT_NE(big->getTexture(), nullptr);
    EXPECT_LE(big->getTexture()->getPixelsWide(), std::ceil(2 * 640 * scale));
    EXPECT_LE(big->getTexture()->getPixelsHigh(), std::ceil(2 * 960 * scale));
    EXPECT_EQ(log.count("is cut to"), 1);
    const std::uint64_t bigBytes = 4ull * static_cast<std::uint64_t>(big->getTexture()->getPixelsWide()) *
                                   big->getTexture()->getPixelsHigh();
    EXPECT_EQ(cache->getTextBytes(), bigBytes);

    // With the budget nearly spent, the next text is refused by its text.
    cache->setPixelBudget(cache->getPixelBytes() + cache->getTextBytes() + 1000);
    CCLabelTTF* next = CCLabelTTF::create("The next text", "Arial", 200);
    next->retain();
    next->updateTexture();
    EXPECT_EQ(next->getTexture(), nullptr);
    EXPECT_EQ(log.count("refusing the text \"The next text\""), 1);
    // The big label's image gone, its bytes come back and the text fits.
    big->release();
    director()->stepFrame(1 / 60.f); // the autorelease pool lets go
    EXPECT_EQ(cache->getTextBytes(), 0u);
    next->setString("The next text again");
    next->updateTexture();
    EXPECT_NE(next->getTexture(), nullptr);
    next->release();
    cache->setPixelBudget(budget);
}

TEST_F(LabelTTFTest, WrappedLinesAreCentredOnTheirInkWithinTheWidth) {
    // Two words fit a line, the third goes below: with a soft-break space
    // counted in the first line it would sit left of centre.
    CCLabelTTF* label =
        CCLabelTTF::create("HHH HHH HHH", "Arial", 40, CCSizeMake(220, 0), kCCTextAlignmentCenter);
    ASSERT_EQ(label->getLines().size(), 2u);
    EXPECT_EQ(label->getLines()[0], "HHH HHH");
    EXPECT_EQ(label->getLines()[1], "HHH");
    EXPECT_FLOAT_EQ(label->getContentSize().width, 220);
    show(placed(label, 200, 400));

    std::vector<Box> lines = lineBoxes();
    ASSERT_EQ(lines.size(), 2u);
    float boxCentre = 200 + 220 / 2.0f - 0.5f; // pixel centres, scale 1
    for (const Box& line : lines) {
        EXPECT_NEAR(line.centreX(), boxCentre, 1.0f);
        EXPECT_GE(line.left, 200);
        EXPECT_LT(line.right, 420);
    }
    // Height 0 grows with the text: both lines inside the content height.
    float height = label->getContentSize().height;
    EXPECT_GE(lines[0].top, 960 - 400 - static_cast<int>(height));
    EXPECT_LT(lines[1].bottom, 960 - 400);
}

TEST_F(LabelTTFTest, HorizontalAlignmentPutsInkAtTheEdges) {
    CCLabelTTF* label = CCLabelTTF::create("HI", "Arial", 40, CCSizeMake(300, 0), kCCTextAlignmentLeft);
    show(placed(label, 100, 400));
    Box left = inkBox();
    EXPECT_NEAR(left.left, 100, 5);
    label->setHorizontalAlignment(kCCTextAlignmentRight);
    drawFrame();
    Box right = inkBox();
    EXPECT_NEAR(right.right, 399, 5);
    EXPECT_EQ(right.right - right.left, left.right - left.left);
}

TEST_F(LabelTTFTest, VerticalAlignmentPlacesTheBlockInAFixedHeight) {
    CCLabelTTF* label = CCLabelTTF::create("Hx", "Arial", 30, CCSizeMake(200, 300), kCCTextAlignmentLeft,
                                           kCCVerticalTextAlignmentTop);
    EXPECT_FLOAT_EQ(label->getContentSize().height, 300);
    show(placed(label, 100, 300)); // box rows 360 .. 659
    Box top = inkBox();
    EXPECT_GE(top.top, 360);
    EXPECT_LT(top.top, 380);
    label->setVerticalAlignment(kCCVerticalTextAlignmentBottom);
    drawFrame();
    Box bottom = inkBox();
    EXPECT_LE(bottom.bottom, 659);
    EXPECT_GT(bottom.bottom, 640);
    label->setVerticalAlignment(kCCVerticalTextAlignmentCenter);
    drawFrame();
    EXPECT_NEAR(inkBox().centreY(), 509.5f, 6);
}

TEST_F(LabelTTFTest, LongWordsBreakBetweenCharactersAndNewlinesBreakLines) {
    CCLabelTTF* label =
        CCLabelTTF::create("WWWWWWWWWW", "Arial", 30, CCSizeMake(100, 0), kCCTextAlignmentLeft);
    ASSERT_GT(label->getLines().size(), 2u);
    std::string joined;
    for (const std::string& line : label->getLines()) {
        EXPECT_FALSE(line.empty());
        joined += line;
    }
    EXPECT_EQ(joined, "WWWWWWWWWW");

    label->setDimensions(CCSizeZero);
    label->setString("one\ntwo\n");
    EXPECT_EQ(label->getLines(), (std::vector<std::string>{"one", "two", ""}));
    // CJK text needs no spaces to wrap.
    label->setDimensions(CCSizeMake(70, 0));
    label->setString("一二三四五六");
    EXPECT_GE(label->getLines().size(), 2u);
}

TEST_F(LabelTTFTest, DimensionsBeyondTheLargestTextureAreClampedWithALogLine) {
    testsupport::LogCapture log;
    // Far past what an int holds in pixels, as a layout file's area width can ask.
    CCLabelTTF* label = CCLabelTTF::create("Hi", "Arial", 30, CCSizeMake(3e9f, 0), kCCTextAlignmentLeft);
    const float largest = static_cast<float>(CCSDLRenderer::largestTexture());
    EXPECT_EQ(label->getContentSize().width, largest);
    label->setString("Hi there");
    EXPECT_EQ(log.count("beyond the largest texture"), 1) << "once per dimensions, not per text";
    show(placed(label, 0, 100));
    EXPECT_GT(screen.count(ink), 50);

    label->setDimensions(CCSizeMake(100, 5e9f));
    EXPECT_EQ(label->getContentSize().height, largest);
    EXPECT_EQ(log.count("beyond the largest texture"), 2);
}

TEST_F(LabelTTFTest, RasterisesOnlyWhenTextFontSizeDimensionsOrAlignmentChange) {
    CCLabelTTF* label = CCLabelTTF::create("Counter", "Arial", 24);
    show(placed(label, 100, 100));
    EXPECT_EQ(label->getRasterCount(), 1);
    long totalBefore = CCLabelTTF::totalRasterCount();
    for (int i = 0; i < 3; ++i)
        drawFrame();
    label->setString("Counter");
    label->setFontSize(24);
    label->setFontName("Arial");
    label->setDimensions(CCSizeZero);
    label->setHorizontalAlignment(kCCTextAlignmentCenter);
    label->setColor(ccc3(255, 0, 0));
    label->setOpacity(100);
    label->setPosition(ccp(120, 130));
    drawFrame();
    EXPECT_EQ(label->getRasterCount(), 1);
    EXPECT_EQ(CCLabelTTF::totalRasterCount(), totalBefore);

    // Several changes before a frame: one rasterisation.
    label->setString("Changed");
    label->setFontSize(30);
    label->setDimensions(CCSizeMake(200, 0));
    drawFrame();
    EXPECT_EQ(label->getRasterCount(), 2);
    label->setVerticalAlignment(kCCVerticalTextAlignmentBottom);
    drawFrame();
    EXPECT_EQ(label->getRasterCount(), 3);
}

TEST_F(LabelTTFTest, TextIsRasterisedAtTheWindowsPixelScale) {
    CCLabelTTF* small = CCLabelTTF::create("Sharp text", "Arial", 20);
    CCSize atOne = small->getContentSize();
    openView(1280, 1920); // two pixels per point
    CCLabelTTF* large = CCLabelTTF::create("Sharp text", "Arial", 20);
    EXPECT_NEAR(large->getContentSize().width, atOne.width, 2.0f);
    EXPECT_NEAR(large->getContentSize().height, atOne.height, 1.0f);
    large->updateTexture();
    ASSERT_NE(large->getTexture(), nullptr);
    EXPECT_EQ(large->getTexture()->getPixelsWide(),
              static_cast<int>(std::lround(large->getContentSize().width * 2)));
    show(placed(large, 100, 100));
    Box box = inkBox();
    // Ink over about twice the points' width in pixels, not a stretched small image.
    EXPECT_GT(box.right - box.left, static_cast<int>(atOne.width * 2) - 12);
}

TEST_F(LabelTTFTest, ColourAndOpacityTintTheText) {
    CCLabelTTF* label = CCLabelTTF::create("Blue", "Arial", 40);
    label->setColor(ccc3(0, 0, 255));
    show(placed(label, 100, 100));
    int blue = 0, other = 0;
    for (std::uint32_t p : screen.pixels()) {
        Pixel c = unpack(p);
        if (c.b > 200) ++blue;
        if (c.r > 10 || c.g > 10) ++other;
    }
    EXPECT_GT(blue, 100);
    EXPECT_EQ(other, 0);
    label->setOpacity(0);
    drawFrame();
    EXPECT_EQ(inkBox().empty() ? 0 : 1, 0);
}

TEST_F(LabelTTFTest, EmptyTextHasNoSizeAndDrawsNothing) {
    CCLabelTTF* label = CCLabelTTF::create("", "Arial", 24);
    EXPECT_EQ(label->getContentSize().width, 0);
    EXPECT_EQ(label->getContentSize().height, 0);
    label->setDimensions(CCSizeMake(120, 0));
    EXPECT_EQ(label->getContentSize().width, 120);
    show(placed(label, 10, 10));
    EXPECT_TRUE(inkBox().empty());
    EXPECT_EQ(label->getTexture(), nullptr);
}

} // namespace

TEST_F(LabelTTFTest, AHugeTextIsCutToTheLabelLimitWithOneLogLine) {
    testsupport::LogCapture log;
    const std::string text(kLabelCharacterLimit + 5000, 'W');
    CCLabelTTF* label =
        CCLabelTTF::create(text.c_str(), "Arial", 20, CCSizeMake(300, 0), kCCTextAlignmentLeft);
    std::size_t laidOut = 0;
    for (const std::string& line : label->getLines())
        laidOut += line.size();
    EXPECT_EQ(laidOut, kLabelCharacterLimit);
    EXPECT_EQ(std::string(label->getString()), text) << "the label keeps its whole text";
    label->setDimensions(CCSizeMake(200, 0));
    label->setFontSize(24);
    EXPECT_EQ(log.count("the most a label lays out"), 1) << "once per text";
}

TEST_F(LabelTTFTest, AFontSizeBeyondTheLargestIsCappedNotWrappedToOnePixel) {
    testsupport::LogCapture log;
    CCLabelTTF* label = CCLabelTTF::create("W", "Arial", 2147483647.0f);
    EXPECT_EQ(log.count("beyond the largest"), 1);
    // A capped glyph is far taller than a normal one, not one pixel high.
    CCLabelTTF* normal = CCLabelTTF::create("W", "Arial", 20);
    EXPECT_GT(label->getContentSize().height, 20 * normal->getContentSize().height);
}

// The book's window stretches the design area 1.227 times more across than
// up; text keeps the font's own shape there: an "o" as wide as the font
// makes it, not 23 % wider. Its box and place stay in design points.
TEST_F(LabelTTFTest, TextKeepsTheFontsProportionsWhenTheWindowStretchesTheDesign) {
    auto inkRatio = [&](int bottomRow) {
        Box box = inkBox(0, 0, -1, bottomRow);
        return static_cast<float>(box.right - box.left + 1) / static_cast<float>(box.bottom - box.top + 1);
    };
    show(placed(CCLabelTTF::create("o", "Arial", 200), 200, 500));
    const float fontOwn = inkRatio(600);

    openView(785, 960); // 1.2266 pixels a point across, 1 up
    CCNode* root = CCNode::create();
    root->addChild(placed(CCLabelTTF::create("o", "Arial", 200), 200, 500));
    // A box set in points stays that box: the text is centred in it, narrower.
    CCLabelTTF* boxed = CCLabelTTF::create("-sun-", "Arial", 40, CCSizeMake(200, 0), kCCTextAlignmentCenter);
    root->addChild(placed(boxed, 100, 100));
    show(root);
    EXPECT_NEAR(inkRatio(600) / fontOwn, 1.0f, 0.03f) << "the o is stretched";
    EXPECT_TRUE(screen.matchesReference("label_o_stretched"));
    EXPECT_EQ(boxed->getContentSize().width, 200);
    EXPECT_NEAR(inkBox(0, 700).centreX(), (100 + 200 / 2.0f) * 785 / 640.0f, 2.0f);
}
