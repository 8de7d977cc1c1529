// Reading without a pointer: Tab and Shift+Tab move a visible ring over a
// page's words in reading order and then its items, or over the home page's
// buttons; Return acts as a touch would; a touch hides the ring.
#include "book/BookFixture.h"
#include "book/BookNames.h"
#include "book/FocusRing.h"
#include "book/TestController.h"
#include "engine/director/CCDirector.h"
#include "engine/director/CCKeyCodes.h"
#include "engine/menu/CCMenuItemFont.h"
#include "engine/menu/CCMenuItemImage.h"
#include "gui/UILayer.h"
#include "gui/UIRootWidget.h"
#include "gui/UIToolkit.h"

using namespace engine;
using namespace booktest;

namespace {

class KeyboardFocusTest : public BookFixture {
protected:
    void SetUp() override {
        if (!book.writeAll()) GTEST_SKIP() << "needs espeak-ng and lame to make narration";
    }
    gui::UIWidget* hotspot(int page, int index) {
        return gui::UIToolkit::findWidgetByName(runningPage()->getUILayer()->getRootWidget(),
                                                book::hotspotName(page, index));
    }
    std::string playLine(int tag, int page) {
        return "audio: play " + book::narrationPath("testLirra", book::soundName(tag, page));
    }
    // The ring's dark outer line, just outside the left edge of `bounds`.
    bool ringAt(const CCRect& bounds) {
        return testsupport::isColour(view.at(bounds.getMinX() - 8, bounds.getMidY()), 13, 26, 102, 30);
    }
};

class KeyboardFocusSampleTest : public SampleBookFixture {};

} // namespace

TEST_F(KeyboardFocusTest, TabWalksThePageInReadingOrderAndReturnReadsTheFocusedWord) {
    book::PageLayer* page = startPage(1); // words 1 (150, 600), 2 (450, 600), 5 (320, 300)
    book::FocusRing* ring = page->getFocusRing();
    ASSERT_NE(ring, nullptr);
    EXPECT_EQ(ring->getFocusedIndex(), -1) << "no ring before a key";

    EXPECT_TRUE(page->onPageKey(kKeyTab));
    view.step();
    EXPECT_EQ(ring->getFocusedIndex(), 0);
    EXPECT_TRUE(ringAt(book::widgetBounds(hotspot(1, 1)))) << "no ring around the first word";
    EXPECT_TRUE(page->onPageKey(kKeyReturn));
    EXPECT_EQ(log.count(playLine(11, 1)), 1);
    EXPECT_EQ(book::selectedWord, hotspot(1, 1));

    // Top line left to right, then the next line.
    EXPECT_TRUE(page->onPageKey(kKeyTab));
    EXPECT_TRUE(page->onPageKey(kKeyReturn));
    EXPECT_EQ(book::selectedWord, hotspot(1, 2));
    EXPECT_TRUE(page->onPageKey(kKeyTab));
    EXPECT_TRUE(page->onPageKey(kKeyReturn));
    EXPECT_EQ(book::selectedWord, hotspot(1, 5));
    EXPECT_EQ(log.count(playLine(15, 1)), 1);

    // Then the items, left to right (home, previous, next, play); Shift+Tab goes back round.
    EXPECT_TRUE(page->onPageKey(kKeyTab));
    view.step();
    EXPECT_TRUE(ringAt(book::nodeBounds(page->getHomeItem())));
    EXPECT_TRUE(page->onPageKey(kKeyBackTab));
    EXPECT_EQ(ring->getFocusedIndex(), 2);
    for (int i = 0; i < 3; ++i)
        page->onPageKey(kKeyBackTab);
    EXPECT_EQ(ring->getFocusedIndex(), 6) << "Shift+Tab from the first goes to the last";
    EXPECT_TRUE(page->onPageKey(kKeyReturn)); // the play item
    EXPECT_TRUE(book::autoPlayOn);
    EXPECT_TRUE(page->onPageKey(kKeySpace)) << "Space stays play and pause";
    EXPECT_FALSE(book::autoPlayOn);

    // A touch anywhere takes the ring away, and Return then does nothing.
    tap({320, 820});
    EXPECT_EQ(ring->getFocusedIndex(), -1);
    view.step();
    EXPECT_FALSE(ringAt(book::nodeBounds(page->getPlayItem())));
    EXPECT_FALSE(page->onPageKey(kKeyReturn));
}

TEST_F(KeyboardFocusTest, APageTurnedByKeysStartsOnItsFirstWord) {
    book::PageLayer* page = startPage(1);
    EXPECT_TRUE(page->onPageKey(kKeyTab));
    EXPECT_TRUE(page->onPageKey(kKeyRight));
    ASSERT_TRUE(stepUntil([&] { return runningPage() && runningPage() != page; }, 2));
    EXPECT_EQ(runningPage()->getFocusRing()->getFocusedIndex(), 0);
    EXPECT_TRUE(runningPage()->onPageKey(kKeyReturn));
    ASSERT_NE(book::selectedWord, nullptr) << "Return read no word of the new page";
    EXPECT_EQ(book::selectedWord->getName().substr(0, 3), "bn0");
}

TEST_F(KeyboardFocusTest, TabAndReturnPressTheHomePagesVisibleButtons) {
    book::TestController* home = startHome();
    book::FocusRing* ring = home->getFocusRing();
    ASSERT_NE(ring, nullptr);
    // First visit: continue is hidden, so word learning is first from the top.
    EXPECT_TRUE(home->keyPressed(kKeyTab));
    view.step();

    EXPECT_TRUE(testsupport::isColour(view.at(SmallBook::homeButton("bnwordlean") - CCPoint(108, 0)), 13, 26,
                                      102, 30))
        << "no ring around word learning";
    EXPECT_TRUE(home->keyPressed(kKeyReturn));
    view.step(2);
    EXPECT_NE(runningPage(), nullptr) << "Return on word learning opened no page";
}

// The sample book's exit lies at the top and its continue button at the bottom.
TEST_F(KeyboardFocusSampleTest, TheHomeRingStartsOnWhatOpensTheBookAndReachesExitLast) {
    book::TestController* home = startHome();
    auto ringOn = [&](const char* name) {
        view.step();
        gui::UIWidget* button = gui::UIToolkit::findWidgetByName(home->getUILayer()->getRootWidget(), name);
        const CCRect bounds = book::widgetBounds(button);
        return testsupport::isColour(view.at(bounds.getMinX() - 8, bounds.getMidY()), 13, 26, 102, 30);
    };
    EXPECT_TRUE(home->keyPressed(kKeyBackTab)) << "Shift+Tab on a hidden ring starts it too";
    EXPECT_TRUE(ringOn("bnwordlean"));
    EXPECT_TRUE(home->keyPressed(kKeyTab));
    EXPECT_TRUE(ringOn("bnselect"));
    EXPECT_TRUE(home->keyPressed(kKeyTab));
    EXPECT_TRUE(ringOn("bnreturn")) << "exit is the last stop";
    EXPECT_TRUE(home->keyPressed(kKeyTab));
    EXPECT_TRUE(ringOn("bnwordlean")) << "and the ring goes round to the first";

    // Home reached by keyboard with continue shown: the ring waits on continue.
    book::resumeAvailable = true;
    EXPECT_TRUE(home->keyPressed(kKeyReturn));
    ASSERT_TRUE(stepUntil([&] { return runningPage() != nullptr; }, 1));
    EXPECT_TRUE(runningPage()->onPageKey(kKeyTab));
    EXPECT_TRUE(runningPage()->onPageKey(kKeyEscape));
    ASSERT_TRUE(stepUntil([&] { return dynamic_cast<book::TestController*>(runningLayer()) != nullptr; }, 1));
    home = dynamic_cast<book::TestController*>(runningLayer());
    EXPECT_TRUE(ringOn("bngoon"));
    EXPECT_TRUE(home->keyPressed(kKeyReturn));
    view.step(2);
    EXPECT_FALSE(CCDirector::sharedDirector()->isEnded());
    EXPECT_NE(runningPage(), nullptr) << "Return on the home page's first ring opened no page";
}

TEST_F(KeyboardFocusTest, SpaceActsOnTheRingWhileItIsShownAndIsPlayOtherwise) {
    book::PageLayer* page = startPage(1);
    EXPECT_TRUE(page->onPageKey(kKeySpace));
    EXPECT_TRUE(book::autoPlayOn) << "no ring: Space is play";
    EXPECT_TRUE(page->onPageKey(kKeySpace));
    EXPECT_FALSE(book::autoPlayOn);

    EXPECT_TRUE(page->onPageKey(kKeyTab));
    EXPECT_TRUE(page->onPageKey(kKeyTab)); // the second word
    EXPECT_TRUE(page->onPageKey(kKeySpace));
    EXPECT_EQ(book::selectedWord, hotspot(1, 2)) << "Space did not read the word under the ring";
    EXPECT_EQ(log.count(playLine(12, 1)), 1);
    EXPECT_FALSE(book::autoPlayOn);
}
