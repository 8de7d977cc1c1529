// Reading a word by touch: highlight, bubble with the word's text, the
// narration request, the bubble watch, and the cases around them.
#include "book/BookContract.h"
#include "book/BookFixture.h"
#include "book/BookNames.h"
#include "book/FocusRing.h"
#include "engine/audio/SimpleAudioEngine.h"
#include "engine/director/CCDirector.h"
#include "engine/text/CCFontCache.h"
#include "engine/text/CCLabelTTF.h"
#include "gui/UIButton.h"
#include "gui/UILayer.h"
#include "gui/UIRootWidget.h"
#include "gui/UIToolkit.h"

#include <fstream>
#include <iterator>

using namespace engine;
using namespace booktest;

namespace {

class WordReadingTest : public BookFixture {
protected:
    void SetUp() override {
        if (!book.writeAll()) GTEST_SKIP() << "needs espeak-ng and lame to make narration";
    }
    bool playing() { return SimpleAudioEngine::sharedEngine()->isBackgroundMusicPlaying(); }
    std::string playLine(int tag, int page) {
        return "audio: play " + book::narrationPath("testLirra", book::soundName(tag, page));
    }
    gui::UIWidget* hotspot(int page, int index) {
        return gui::UIToolkit::findWidgetByName(runningPage()->getUILayer()->getRootWidget(),
                                                book::hotspotName(page, index));
    }
    // The word's text lies within its bubble with room to spare on every side
    // (the bubble's border would cover it otherwise), and no blue ink lies
    // just outside the bubble.
    void textSitsInsideTheBubble() {
        view.step();
        const CCRect bubble = book::widgetBounds(book::wordBubble);
        const CCRect text = book::nodeBounds(book::wordLabel);
        const float room = 8;
        EXPECT_GE(text.getMinX() - bubble.getMinX(), room);
        EXPECT_GE(bubble.getMaxX() - text.getMaxX(), room);
        EXPECT_GE(text.getMinY() - bubble.getMinY(), room);
        EXPECT_GE(bubble.getMaxY() - text.getMaxY(), room);
        EXPECT_GT(countPixels(bubble, 0, 0, 255, 90), 20) << "no text in the bubble";
        EXPECT_EQ(
            countPixels(CCRect(bubble.getMinX(), bubble.getMaxY(), bubble.size.width, 6), 0, 0, 255, 90) +
                countPixels(CCRect(bubble.getMinX(), bubble.getMinY() - 6, bubble.size.width, 6), 0, 0, 255,
                            90),
            0);
    }
    // Blue text pixels in the band just below a 50-point-high word at (x, y).
    int textPixelsBelow(float x, float y) {
        return countPixels(CCRect(x - 60, y - 65, 120, 40), 0, 0, 255, 90);
    }
};

} // namespace

TEST_F(WordReadingTest, TouchHighlightsShowsTheTextAndPlaysTheNarration) {
    startPage(1);
    EXPECT_EQ(textPixelsBelow(150, 600), 0);
    tap({150, 600});
    view.step(80); // the elastic slide takes a second

    EXPECT_EQ(book::selectedWord, hotspot(1, 1));
    EXPECT_EQ(book::nextWordIndex, 2);
    EXPECT_EQ(log.count(playLine(11, 1)), 1);
    ASSERT_TRUE(playing());
    // The highlight (the hotspot's pressed picture) is back on its word.
    EXPECT_TRUE(testsupport::isColour(view.at(150, 600), 255, 128, 0, 10)) << "no highlight on the word";
    ASSERT_NE(book::wordLabel, nullptr);
    EXPECT_STREQ(book::wordLabel->getString(), "-sun-");
    EXPECT_GT(textPixelsBelow(150, 600), 20) << "no text under the word";
    EXPECT_TRUE(book::wordBubble->isVisible());
    EXPECT_TRUE(view.matchesReference("word_selected"));

    // The bubble goes within about a second of the narration's end; the
    // highlight stays.
    ASSERT_TRUE(stepUntil([&] { return !playing(); }, 10));
    EXPECT_TRUE(book::wordBubble->isVisible());
    EXPECT_TRUE(stepUntil([&] { return !book::wordBubble->isVisible(); }, 1.1));
    EXPECT_FALSE(book::wordLabel->isVisible());
    view.step();
    EXPECT_EQ(textPixelsBelow(150, 600), 0);
    EXPECT_TRUE(hotspot(1, 1)->isVisible());
}

TEST_F(WordReadingTest, TheWordBeingReadIsNotRestartedButAnotherWordCutsIn) {
    startPage(1);
    tap({150, 600});
    view.step(80);
    ASSERT_TRUE(playing());
    tap({150, 600});
    EXPECT_EQ(log.count(playLine(11, 1)), 1);
    EXPECT_TRUE(book::selectedWord->isFocused());

    tap({450, 600});
    EXPECT_EQ(log.count(playLine(12, 1)), 1);
    EXPECT_EQ(book::selectedWord, hotspot(1, 2));
    EXPECT_FALSE(hotspot(1, 1)->isVisible());
    EXPECT_EQ(book::nextWordIndex, 3);

    // After its narration the same word is read again, in place.
    ASSERT_TRUE(stepUntil([&] { return !playing(); }, 10));
    tap({450, 600});
    EXPECT_EQ(log.count(playLine(12, 1)), 2);
    view.step(80);
    EXPECT_EQ(hotspot(1, 2)->getPosition(), CCPoint(450, 600));
}

TEST_F(WordReadingTest, ATouchMidSlideLeavesTheWordInItsPlace) {
    book.writePage(3, {{1, {200, 500}, {}}});
    view.resources().write(book::narrationPath("testLirra", book::soundName(31, 3)), "not an mp3");
    startPage(3);
    // Narration that cannot play lets the word be read again at once.
    tap({200, 500});
    view.step(10);
    tap(hotspot(3, 1)->getPosition());
    view.step(80);
    EXPECT_EQ(hotspot(3, 1)->getPosition(), CCPoint(200, 500));
}

TEST_F(WordReadingTest, TextGoesAboveAWordWithNegativeYAndBelowAnyOther) {
    startPage(2);
    tap({200, 700});
    ASSERT_NE(book::wordLabel, nullptr);
    EXPECT_LE(book::widgetBounds(book::wordBubble).getMaxY(), 700 - 25 + 0.01f)
        << "the bubble covers its word";
    textSitsInsideTheBubble();

    tap({320, 150}); // word 3 lies at y -250 in a panel placed at y 400
    ASSERT_NE(book::wordLabel, nullptr);
    EXPECT_GE(book::widgetBounds(book::wordBubble).getMinY(), 150 + 25 - 0.01f)
        << "the bubble covers its word";
    textSitsInsideTheBubble();
    EXPECT_EQ(book::wordBubble->getParent(), hotspot(2, 3)->getParent());
    EXPECT_EQ(book::wordLabel->getParent(), hotspot(2, 3)->getParent()->getRenderer());
    EXPECT_STREQ(book::wordLabel->getString(), "-dog-");
}

TEST_F(WordReadingTest, MissingOrOverlongTextsStillPlayTheNarration) {
    book.writeWordTexts({{"str011", "sun"}, {"str012", std::string(1600, 'a')}});
    startPage(1);
    tap({150, 600});
    CCRef<CCLabelTTF> first(book::wordLabel);
    ASSERT_TRUE(first);

    tap({450, 600}); // 1600 characters: nothing shown, and the old text goes too
    EXPECT_EQ(log.count(playLine(12, 1)), 1);
    EXPECT_EQ(book::wordLabel, nullptr);
    EXPECT_EQ(first->getParent(), nullptr);
    EXPECT_FALSE(book::wordBubble->isVisible());

    tap({320, 300}); // no text for this word: the bubble shrinks to nothing
    EXPECT_EQ(log.count(playLine(15, 1)), 1);
    EXPECT_TRUE(log.contains("Stringstr.xml has no text for \"str015\""));
    EXPECT_EQ(book::wordBubble->getSize(), CCSizeZero);
}

TEST_F(WordReadingTest, APressHeldOrRestingReadsTheWordOnce) {
    startPage(1);
    using testsupport::HeadlessView;
    HeadlessView::touchBegan({150, 600});
    view.step(60); // held a second, longer than the word lasts
    HeadlessView::touchEnded({150, 600});
    view.step();
    EXPECT_EQ(log.count(playLine(11, 1)), 1);

    // A finger resting three seconds with a point of jitter.
    HeadlessView::touchBegan({450, 600});
    for (int i = 0; i < 60; ++i) {
        view.step(3);
        HeadlessView::touchMoved({450.0f + static_cast<float>(i % 2), 600});
    }
    HeadlessView::touchEnded({451, 600});
    view.step();
    EXPECT_EQ(log.count(playLine(12, 1)), 1);
    EXPECT_TRUE(book::selectedWord->isFocused()) << "the word stays highlighted";
}

TEST_F(WordReadingTest, QuickTapsOnTheWordBeingReadStayOnItAndShowNoHint) {
    startPage(1);
    for (int i = 0; i < 4; ++i)
        tap({150, 600});
    EXPECT_EQ(log.count(playLine(11, 1)), 1);
    EXPECT_EQ(log.count("hint shown"), 0);
    EXPECT_EQ(log.count("page: tap at"), 0) << "a tap on a word reached the page";
    // The touch area stays on the printed word while the picture slides.
    EXPECT_EQ(hotspot(1, 1)->getPosition(), CCPoint(150, 600));
}

TEST_F(WordReadingTest, OnlyTheHighlightPictureSlidesAndAnotherWordCanBeTappedUnderIt) {
    startPage(1);
    tap({450, 600});
    ASSERT_TRUE(stepUntil([&] { return !playing(); }, 10));
    tap({150, 600}); // word 1's highlight now slides from word 2 towards word 1
    CCNode* picture = hotspot(1, 1)->getRenderer()->getChildren().front();
    float pictureX = picture->convertToWorldSpace(CCPointZero).x;
    EXPECT_GT(pictureX, hotspot(1, 1)->getRenderer()->convertToWorldSpace(CCPointZero).x + 100)
        << "the picture did not start where the previous highlight was";
    tap({450, 600}); // under the passing highlight: word 2 is read
    EXPECT_EQ(log.count(playLine(12, 1)), 2);
    EXPECT_EQ(book::selectedWord, hotspot(1, 2));
    view.step(80);
    EXPECT_TRUE(testsupport::isColour(view.at(450, 600), 255, 128, 0, 10)) << "highlight back on word 2";
    EXPECT_EQ(hotspot(1, 1)->getPosition(), CCPoint(150, 600));
}

TEST_F(WordReadingTest, ANarrationThatCannotPlayIsRequestedOncePerTouchAndNamed) {
    book.writePage(3, {{1, {200, 500}, {}}});
    const std::string path = book::narrationPath("testLirra", book::soundName(31, 3));
    view.resources().write(path, "not an mp3");
    startPage(3);
    using testsupport::HeadlessView;
    HeadlessView::touchBegan({200, 500});
    view.step(30);
    HeadlessView::touchMoved({201, 500});
    HeadlessView::touchEnded({201, 500});
    view.step();
    EXPECT_EQ(log.count(playLine(31, 3)), 1);
    EXPECT_EQ(log.count("book: page 3 word 1 (mc031.mp3) cannot be read aloud: " + path + ": "), 1);
    EXPECT_EQ(log.count("SimpleAudioEngine: cannot play"), 0) << "one line per touch";
}

TEST_F(WordReadingTest, TheBubbleSpeaksInTheBooksOwnPrintFontWhenItShipsOne) {
    startPage(1);
    tap({150, 600});
    ASSERT_NE(book::wordLabel, nullptr);
    EXPECT_EQ(book::wordLabel->getFontFace().family, "Andika") << "the bubble's face is not installed";
    CCDirector::sharedDirector()->reset();

    std::ifstream serif("/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf", std::ios::binary);
    view.resources().write(book::kPrintFontFile, std::string(std::istreambuf_iterator<char>(serif), {}));
    startPage(1);
    tap({150, 600});
    ASSERT_NE(book::wordLabel, nullptr);
    EXPECT_NE(book::wordLabel->getFontFace().file.find(book::kPrintFontFile), std::string::npos);
    textSitsInsideTheBubble();
    engine::CCFontCache::sharedFontCache()->setBookFont(""); // the next test's book ships none
}
