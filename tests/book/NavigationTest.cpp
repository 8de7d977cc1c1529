// Page navigation on books the tests write: turning bounds for the items,
// swipes and keys, the double-tap hint, and the auto-play rhythm tick by
// tick on the virtual clock (narration that lasts a known time).
#include "book/BookNames.h"
#include "book/BookState.h"
#include "book/PageLayer.h"
#include "book/SmallBook.h"
#include "book/TestController.h"
#include "engine/audio/AudioBackend.h"
#include "engine/audio/SimpleAudioEngine.h"
#include "engine/director/CCDirector.h"
#include "engine/director/CCScheduler.h"
#include "engine/menu/CCMenuItemImage.h"
#include "engine/nodes/CCScene.h"
#include "engine/nodes/CCSprite.h"
#include "engine/platform/CCClock.h"
#include "engine/platform/CCEGLView.h"
#include "engine/text/CCLabelTTF.h"
#include "engine/transitions/CCTransitionPageTurn.h"
#include "gui/UIButton.h"
#include "support/HeadlessView.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace engine;
using namespace book;
using testsupport::HeadlessView;

namespace {

// Exact in binary, so ticks land on frames: 0.5 s is 8 frames, 0.2 s is 4 (0.25 s).
constexpr float kDt = 0.0625f;
constexpr double kNarration = 1.2;

// Every narration "plays" for kNarration seconds of the virtual clock.
struct Play {
    std::string path;
    double at;
};
class ClockAudio : public AudioBackend {
public:
    explicit ClockAudio(std::vector<Play>& plays) : m_plays(plays) {}
    bool play(const std::string& path, bool, std::string&) override {
        m_plays.push_back({path, CCClock::now()});
        m_end = CCClock::now() + kNarration;
        return true;
    }
    bool playBytes(const std::string& name, std::shared_ptr<const std::string>, bool loop,
                   std::string& error) override {
        return play(name, loop, error);
    }
    void stop() override { m_end = 0; }
    bool isPlaying() override { return CCClock::now() < m_end; }
    void setVolume(float) override {}

private:
    std::vector<Play>& m_plays;
    double m_end = 0;
};

PageLayer* runningPage() {
    CCScene* scene = CCDirector::sharedDirector()->getRunningScene();
    if (!scene || scene->isTransition()) return nullptr;
    for (CCNode* child : scene->getChildren())
        if (auto* page = dynamic_cast<PageLayer*>(child)) return page;
    return nullptr;
}

class NavigationTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(view.isOpen());
        CCClock::setVirtual(true);
        resetBookState();
        book.writeConfig();
        book.writeInterfaceTexts();
        book.writeHomeLayout();
        book.writeImages();
        view.writeImage("Images/pause_btn.png", 64, 64, 0xffc03030); // tell pause from play
        // Pages 1 to 3: two words on 1 and 3, one on 2; page 2's first word is missing.
        book.writePage(1, {{1, {150, 600}, {}}, {2, {450, 600}, {}}});
        book.writePage(2, {{2, {320, 500}, {}}});
        book.writePage(3, {{1, {150, 600}, {}}, {2, {450, 600}, {}}});
        subName = "tb";
        pageMin = 1;
        pageMax = 3;
        SimpleAudioEngine::sharedEngine()->setBackend(std::make_unique<ClockAudio>(plays));
        SimpleAudioEngine::sharedEngine()->setPathResolver([](const std::string& name) { return name; });
        view.run(CCScene::create());
    }
    void TearDown() override {
        SimpleAudioEngine::end();
        resetBookState();
    }

    PageLayer* openPage(int page) {
        currentPage = page;
        TestController::openPageScene();
        view.step();
        return runningPage();
    }
    // Steps until a page (no transition) runs; answers it.
    PageLayer* settle() {
        for (int i = 0; i < 40; ++i) {
            if (PageLayer* page = runningPage(); page && !CCDirector::sharedDirector()->getNextScene())
                return page;
            view.step(1, kDt);
        }
        return nullptr;
    }
    CCTransitionPageTurn* pendingTurn() {
        return dynamic_cast<CCTransitionPageTurn*>(CCDirector::sharedDirector()->getNextScene());
    }
    void tap(const CCPoint& at) {
        HeadlessView::touchBegan(at);
        HeadlessView::touchEnded(at);
    }
    void swipe(const CCPoint& from, const CCPoint& to) {
        HeadlessView::touchBegan(from);
        HeadlessView::touchMoved(to);
        HeadlessView::touchEnded(to);
    }

    HeadlessView view;
    booktest::SmallBook book{view};
    std::vector<Play> plays;
};

const CCPoint kEmpty(320, 820);
const CCPoint kNextItem(352, 38), kPreviousItem(288, 38), kPlayItem(580, 40);

} // namespace

TEST_F(NavigationTest, ItemsAndKeysStopAtTheFirstAndLastPage) {
    PageLayer* page = openPage(3);
    ASSERT_NE(page, nullptr);
    tap(kNextItem);
    EXPECT_FALSE(page->onPageKey(engine::kKeyRight) && CCDirector::sharedDirector()->getNextScene());
    view.step();
    EXPECT_EQ(currentPage, 3);
    EXPECT_EQ(runningPage(), page);

    // An arrow that cannot turn shows faded; one that can shows whole.
    auto faded = [](CCMenuItemImage* item) {
        return static_cast<CCSprite*>(item->getNormalImage())->getOpacity() < 128;
    };
    EXPECT_TRUE(faded(page->getNextItem()));
    EXPECT_FALSE(faded(page->getPreviousItem()));

    page = openPage(1);
    EXPECT_TRUE(faded(page->getPreviousItem()));
    EXPECT_FALSE(faded(page->getNextItem()));
    tap(kPreviousItem);
    page->onPageKey(engine::kKeyLeft);
    view.step();
    EXPECT_EQ(currentPage, 1);
    EXPECT_EQ(runningPage(), page);

    // Forward by the item: a forward curl of 0.5 s with depth testing, into the twin class.
    const int scene = page->getSceneNumber();
    tap(kNextItem);
    ASSERT_NE(pendingTurn(), nullptr);
    EXPECT_FALSE(pendingTurn()->isBackwards());
    EXPECT_FLOAT_EQ(pendingTurn()->getDuration(), 0.5f);
    EXPECT_TRUE(CCDirector::sharedDirector()->isDepthTest());
    EXPECT_EQ(currentPage, 2);
    EXPECT_EQ(turnDirection, 1);
    page = settle();
    ASSERT_NE(page, nullptr);
    EXPECT_NE(page->getSceneNumber(), scene);
    EXPECT_FALSE(faded(page->getPreviousItem()) || faded(page->getNextItem()));

    // Keys, delivered the way the window and scripts deliver them, go the same
    // way; a second key while the page turns is not a second turn.
    auto key = [](const char* name) { return CCEGLView::sharedOpenGLView()->dispatchKey(name); };
    ASSERT_TRUE(key("Left"));
    ASSERT_NE(pendingTurn(), nullptr);
    EXPECT_TRUE(pendingTurn()->isBackwards());
    key("Left");
    EXPECT_EQ(currentPage, 1);
    EXPECT_EQ(turnDirection, -1);
    page = settle();
    key("Right");
    EXPECT_EQ(currentPage, 2);
    page = settle();
    key("Escape");
    view.step();
    EXPECT_NE(
        dynamic_cast<TestController*>(CCDirector::sharedDirector()->getRunningScene()->getChildren()[0]),
        nullptr);
}

TEST_F(NavigationTest, SwipesTurnByTheirHorizontalPartFromFiftyPoints) {
    PageLayer* page = openPage(2);
    ASSERT_NE(page, nullptr);
    swipe(kEmpty, kEmpty - CCPoint(49, 0));
    swipe(kEmpty, kEmpty + CCPoint(49.9f, 0));
    EXPECT_EQ(CCDirector::sharedDirector()->getNextScene(), nullptr);
    EXPECT_EQ(currentPage, 2);

    // Diagonal: 50 to the left and 300 down turns forward.
    swipe(CCPoint(400, 800), CCPoint(350, 500));
    ASSERT_NE(pendingTurn(), nullptr);
    EXPECT_FALSE(pendingTurn()->isBackwards());
    EXPECT_EQ(currentPage, 3);
    page = settle();

    // A long drag to the right turns back one page only.
    HeadlessView::touchBegan(kEmpty);
    HeadlessView::touchMoved(kEmpty + CCPoint(50, 0));
    HeadlessView::touchMoved(kEmpty + CCPoint(200, 0));
    HeadlessView::touchEnded(kEmpty + CCPoint(200, 0));
    ASSERT_NE(pendingTurn(), nullptr);
    EXPECT_TRUE(pendingTurn()->isBackwards());
    EXPECT_EQ(currentPage, 2);

    // At the last page a leftward swipe does nothing.
    openPage(3);
    swipe(kEmpty, kEmpty - CCPoint(120, 0));
    EXPECT_EQ(CCDirector::sharedDirector()->getNextScene(), nullptr);
    EXPECT_EQ(currentPage, 3);
}

TEST_F(NavigationTest, TheSecondCloseTapInARowShowsTheHintForThreeSeconds) {
    PageLayer* page = openPage(1);
    ASSERT_NE(page, nullptr);
    tap(CCPoint(300, 820));
    tap(CCPoint(310, 820));
    EXPECT_EQ(page->getTapCount(), 1);
    EXPECT_FALSE(hintLabel->isVisible()) << "not on the first close tap";
    tap(CCPoint(310 + 20.5f, 820 - 20.9f)); // within tapRadius (640 / 30) after cutting to whole points
    EXPECT_EQ(page->getTapCount(), 2);
    ASSERT_TRUE(hintLabel->isVisible());
    EXPECT_STREQ(hintLabel->getString(), "Touch a word to hear it");
    EXPECT_EQ(hintLabel->getPosition(), CCPoint(330.5f, 799.1f));
    EXPECT_FLOAT_EQ(hintLabel->getDimensions().width, page->getTapRadius() * 8);

    view.step(47, kDt); // 2.94 s
    EXPECT_TRUE(hintLabel->isVisible());
    view.step(1, kDt);
    EXPECT_FALSE(hintLabel->isVisible());

    tap(CCPoint(330, 800)); // a third close tap shows it again
    EXPECT_TRUE(hintLabel->isVisible());
    tap(CCPoint(100, 300)); // a far one starts counting afresh
    EXPECT_EQ(page->getTapCount(), 0);
}

TEST_F(NavigationTest, ModeTwoReadsThePageInOrderAndStartsAgainFromWordOne) {
    readingMode = 2;
    PageLayer* page = openPage(1);
    ASSERT_NE(page, nullptr);
    tap(kPlayItem);
    EXPECT_TRUE(autoPlayOn);
    const double start = CCClock::now();
    view.step(160, kDt); // 10 s
    ASSERT_GE(plays.size(), 5u);
    const std::string w1 = "testLirra/epc/" + md5Hex("mc011.mp3") + ".mp3";
    const std::string w2 = "testLirra/epc/" + md5Hex("mc012.mp3") + ".mp3";
    EXPECT_EQ(plays[0].path, w1);
    EXPECT_EQ(plays[1].path, w2);
    EXPECT_EQ(plays[2].path, w1);
    EXPECT_EQ(plays[3].path, w2);
    // 0.2 s (a 0.25 s tick here) to the first word; then 0.5 s ticks: two
    // while it plays, one idle tick, and the next word.
    EXPECT_DOUBLE_EQ(plays[0].at - start, 0.25);
    EXPECT_DOUBLE_EQ(plays[1].at - plays[0].at, 2.0);
    // After the last word: the same idle tick, the end-of-page tick, then
    // 0.2 s and 0.5 s to word 1.
    EXPECT_DOUBLE_EQ(plays[2].at - plays[1].at, 2.75);
    EXPECT_EQ(currentPage, 1);
    EXPECT_EQ(runningPage(), page);
}

TEST_F(NavigationTest, ModeThreeTurnsThePagesAndEndsAtTheLastAsAPauseDoes) {
    testsupport::LogCapture log;
    PageLayer* page = openPage(1);
    ASSERT_NE(page, nullptr);
    tap(kPlayItem);
    view.step(240, kDt); // 15 s: pages 1, 2 and 3 read
    ASSERT_EQ(plays.size(), 6u) << "two words on each page, the word missing from page 2 too";
    EXPECT_EQ(plays[2].path, "testLirra/epc/" + md5Hex("mc021.mp3") + ".mp3")
        << "played though not on the page";
    EXPECT_EQ(plays[3].path, "testLirra/epc/" + md5Hex("mc022.mp3") + ".mp3");
    // End-of-page tick 2.0 s after the last word, then the turn; the new page
    // ticks 0.2 s after it enters, clears the pause, and reads 0.5 s later.
    const double turnToWord = plays[2].at - plays[1].at - 2.0;
    EXPECT_GE(turnToWord, 0.75);
    EXPECT_LE(turnToWord, 0.75 + 2 * kDt);
    EXPECT_EQ(currentPage, 3);

    // Nothing left to read: the play image is back, as after a pause.
    page = runningPage();
    ASSERT_NE(page, nullptr);
    EXPECT_FALSE(page->isScheduled(schedule_selector(PageLayer::autoPlayStep)));
    EXPECT_FALSE(autoPlayOn);
    EXPECT_EQ(log.count("auto-play: end of the book"), 1);
    EXPECT_TRUE(testsupport::isColour(view.at(kPlayItem), 0x40, 0xa0, 0x40)) << "play image";
    view.step(80, kDt);
    EXPECT_EQ(plays.size(), 6u);

    // Play reads the last page again from its first word.
    tap(kPlayItem);
    view.step();
    EXPECT_TRUE(autoPlayOn);
    EXPECT_TRUE(testsupport::isColour(view.at(kPlayItem), 0xc0, 0x30, 0x30)) << "pause image";
    view.step(40, kDt);
    ASSERT_EQ(plays.size(), 7u);
    EXPECT_EQ(plays[6].path, "testLirra/epc/" + md5Hex("mc031.mp3") + ".mp3");
}

TEST_F(NavigationTest, AutoPlayKeepsAPageWithoutWordsOnScreenThreeSeconds) {
    book.writePage(2, {});
    PageLayer* page = openPage(1);
    ASSERT_NE(page, nullptr);
    tap(kPlayItem);
    double entered = -1, left = -1;
    for (int i = 0; i < 400 && left < 0; ++i) {
        view.step(1, kDt);
        PageLayer* now = runningPage();
        bool still = now && !CCDirector::sharedDirector()->getNextScene();
        if (entered < 0 && currentPage == 2 && still) entered = CCClock::now();
        if (entered >= 0 && currentPage == 3) left = CCClock::now();
    }
    ASSERT_GE(entered, 0) << "page 2 never came to rest";
    ASSERT_GE(left, 0) << "page 2 never turned";
    EXPECT_GE(left - entered, 3.0 - kDt);
    EXPECT_LE(left - entered, 3.0 + 2 * kDt);
}

TEST_F(NavigationTest, ADragThatBeginsOnAWordTurnsThePage) {
    PageLayer* page = openPage(1);
    ASSERT_NE(page, nullptr);
    // The press reads the word; 49 points of travel do not turn, 50 do.
    HeadlessView::touchBegan({450, 600});
    ASSERT_EQ(plays.size(), 1u);
    HeadlessView::touchMoved({401, 610});
    EXPECT_EQ(pendingTurn(), nullptr);
    HeadlessView::touchMoved({400, 560});
    EXPECT_NE(pendingTurn(), nullptr);
    EXPECT_EQ(currentPage, 2);
    HeadlessView::touchMoved({300, 600}); // the same drag turns once
    HeadlessView::touchEnded({300, 600});
    EXPECT_EQ(currentPage, 2);
    view.step(5, kDt); // halfway through the curl
    EXPECT_TRUE(view.matchesReference("page_curl_midway", 8, 0.003));
    ASSERT_NE(settle(), nullptr);
    EXPECT_FALSE(SimpleAudioEngine::sharedEngine()->isBackgroundMusicPlaying())
        << "the word stops with its page";
    EXPECT_EQ(plays.size(), 1u);

    // Back, from a word of page 2, rightwards.
    HeadlessView::touchBegan({320, 500});
    HeadlessView::touchMoved({380, 500});
    HeadlessView::touchEnded({380, 500});
    EXPECT_EQ(currentPage, 1);
}

TEST_F(NavigationTest, SpaceIsThePlayItemOnlyWhenItIsShown) {
    PageLayer* page = openPage(1);
    EXPECT_TRUE(page->onPageKey(engine::kKeySpace));
    EXPECT_TRUE(autoPlayOn);
    EXPECT_TRUE(page->onPageKey(engine::kKeySpace));
    EXPECT_FALSE(autoPlayOn);

    readingMode = 1;
    page = openPage(1);
    EXPECT_FALSE(page->getPlayItem()->isVisible());
    EXPECT_FALSE(page->onPageKey(engine::kKeySpace));
    EXPECT_FALSE(autoPlayOn);
    EXPECT_FALSE(page->onPageKey('a'));
}

// A curl that stalls (a loaded machine drew it for over a second): auto-play
// reads nothing on the page that is still arriving, and no word's label is
// ever on screen without its bubble.
TEST_F(NavigationTest, NothingIsReadOnAPageStillTurningInAndNoLabelOutlivesItsBubble) {
    book.writePage(2, {{1, {150, 600}, {}}, {2, {450, 600}, {}}});
    book.writeWordTexts({{"str011", "One"}, {"str012", "Two"}, {"str021", "Three"}, {"str022", "Four"}});
    PageLayer* page = openPage(1);
    ASSERT_NE(page, nullptr);
    tap(kPlayItem);

    // Every visible "-word-" label of the running scene, which must be the word's own, in its bubble.
    std::vector<std::string> strays;
    auto checkLabels = [&](CCNode* node, auto&& self) -> void {
        if (!node || !node->isVisible()) return;
        auto* label = dynamic_cast<CCLabelTTF*>(node);
        std::string text = label ? label->getString() : "";
        if (text.size() > 2 && text.front() == '-' && text.back() == '-' &&
            (label != book::wordLabel || !book::wordBubble || !book::wordBubble->isVisible()))
            strays.push_back(text);
        for (CCNode* child : node->getChildren())
            self(child, self);
    };
    CCScheduler* scheduler = CCDirector::sharedDirector()->getScheduler();
    size_t playsBeforeTurn = 0;
    bool stalled = false;
    for (int frame = 0; frame < 200 && currentPage < 3; ++frame) {
        CCScene* scene = CCDirector::sharedDirector()->getRunningScene();
        if (scene->isTransition() && !stalled) {
            // The curl stands still for a second while every timer runs on.
            stalled = true;
            playsBeforeTurn = plays.size();
            scheduler->pauseTarget(scene);
            for (int i = 0; i < 16; ++i) {
                view.step(1, kDt);
                checkLabels(CCDirector::sharedDirector()->getRunningScene(), checkLabels);
            }
            EXPECT_EQ(plays.size(), playsBeforeTurn) << "a word was read on the page still turning in";
            scheduler->resumeTarget(scene);
        }
        view.step(1, kDt);
        checkLabels(CCDirector::sharedDirector()->getRunningScene(), checkLabels);
    }
    ASSERT_TRUE(stalled);
    ASSERT_EQ(currentPage, 3);
    EXPECT_EQ(playsBeforeTurn, 2u);
    EXPECT_GE(plays.size(), 4u) << "page 2 was not read once it had turned in";
    EXPECT_TRUE(strays.empty()) << "a label without its bubble: " << (strays.empty() ? "" : strays.front());
}
