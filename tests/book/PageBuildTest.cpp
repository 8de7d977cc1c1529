// Building a page: hotspots, menu items, the bubble and the hint, auto-play
// at page start, and pages whose files are missing.
#include "book/BookFixture.h"
#include "book/BookNames.h"
#include "book/FocusRing.h"
#include "book/TestLayer2.h"
#include "engine/director/CCDirector.h"
#include "engine/menu/CCMenuItemFont.h"
#include "engine/menu/CCMenuItemImage.h"
#include "engine/nodes/CCSprite.h"
#include "engine/text/CCLabelTTF.h"
#include "gui/Layout.h"
#include "gui/UIButton.h"
#include "gui/UILayer.h"
#include "gui/UIRootWidget.h"
#include "gui/UIToolkit.h"

using namespace engine;
using namespace booktest;

namespace {
class PageBuildTest : public BookFixture {
protected:
    gui::UIWidget* hotspot(book::PageLayer* page, int pageNumber, int index) {
        return gui::UIToolkit::findWidgetByName(page->getUILayer()->getRootWidget(),
                                                book::hotspotName(pageNumber, index));
    }
};
} // namespace

TEST_F(PageBuildTest, HotspotsAreHiddenTaggedAndCounted) {
    book.writeAll();
    book.writePage(12, {{3, {100, 500}, {}}, {12, {300, 500}, {}}});
    book::PageLayer* page = startPage(1);
    for (int index : {1, 2, 5}) {
        gui::UIWidget* word = hotspot(page, 1, index);
        ASSERT_NE(word, nullptr) << index;
        EXPECT_FALSE(word->isVisible());
        EXPECT_EQ(word->getActionTag(), 10 + index);
    }
    EXPECT_EQ(book::lastWordIndex, 5);
    EXPECT_EQ(book::nextWordIndex, 1);
    EXPECT_EQ(book::selectedWord, nullptr);
    ASSERT_NE(book::wordBubble, nullptr);
    EXPECT_FALSE(book::wordBubble->isVisible());
    EXPECT_EQ(book::wordBubble->getParent(), page->getPageLayout());
    ASSERT_NE(book::hintLabel, nullptr);
    EXPECT_FALSE(book::hintLabel->isVisible());
    EXPECT_STREQ(book::hintLabel->getString(), "Touch a word");
    // Hidden words draw nothing: the page's own colour shows where word 1 lies.
    EXPECT_TRUE(testsupport::isColour(view.at(150, 600), 230, 230, 230));
    EXPECT_TRUE(view.matchesReference("page"));

    CCDirector::sharedDirector()->reset();
    page = startPage(12);
    EXPECT_EQ(hotspot(page, 12, 3)->getActionTag(), 123);
    EXPECT_EQ(hotspot(page, 12, 12)->getActionTag(), 1212);
    EXPECT_EQ(book::lastWordIndex, 12);
}

TEST_F(PageBuildTest, APageWithoutWordsStartsItsCountAtZero) {
    book.writeAll();
    book.writePage(3, {});
    startPage(1);
    EXPECT_EQ(book::lastWordIndex, 5);
    CCDirector::sharedDirector()->reset();
    startPage(3);
    EXPECT_EQ(book::lastWordIndex, 0);
}

TEST_F(PageBuildTest, MenuItemsFollowTheReadingMode) {
    book.writeAll();
    for (int mode : {1, 2, 3}) {
        book::readingMode = mode;
        book::PageLayer* page = startPage(1);
        EXPECT_EQ(page->getPlayItem()->isVisible(), mode != 1) << mode;
        EXPECT_FALSE(page->getSettingsItem()->isVisible());
        EXPECT_TRUE(page->getPreviousItem()->isVisible());
        EXPECT_TRUE(page->getNextItem()->isVisible());
        EXPECT_TRUE(page->getHomeItem()->isVisible());
        EXPECT_STREQ(page->getHomeItem()->getString(), "Home");
        CCDirector::sharedDirector()->reset();
    }
}

TEST_F(PageBuildTest, AutoPlayGoesOnOnlyUnderModeThree) {
    book.writeAll();
    book::autoPlayOn = true;
    book::readingMode = 3;
    book::PageLayer* page = startPage(1);
    EXPECT_TRUE(book::autoPlayOn);
    EXPECT_TRUE(page->isScheduled(schedule_selector(book::PageLayer::autoPlayStep)));
    EXPECT_TRUE(page->isScheduled(schedule_selector(book::PageLayer::bubbleWatch)));
    CCDirector::sharedDirector()->reset();

    book::readingMode = 2;
    page = startPage(1);
    EXPECT_FALSE(book::autoPlayOn);
    EXPECT_FALSE(page->isScheduled(schedule_selector(book::PageLayer::autoPlayStep)));
}

TEST_F(PageBuildTest, IspepSwapsHotspotPicturesExceptOnPage198) {
    book.writeAll();
    book.writeConfig({{"ispep", "true"}});
    book::readBookConfiguration();
    for (int pageNumber : {197, 198}) {
        book.writePage(pageNumber, {{1, {320, 500}, {}}});
        book::PageLayer* page = startPage(pageNumber);
        auto* word = dynamic_cast<gui::UIButton*>(hotspot(page, pageNumber, 1));
        ASSERT_NE(word, nullptr);
        // The layout's picture is 120 wide, Images/bnren1.png 100.
        EXPECT_EQ(word->getContentSize().width, pageNumber == 198 ? 120 : 100) << pageNumber;
        CCDirector::sharedDirector()->reset();
    }
}

TEST_F(PageBuildTest, TheHomeItemHasOneSizeOnEveryPageAndItsRingFitsTheScreen) {
    book.writeAll();
    std::vector<CCRect> seen;
    for (int page : {1, 2, 1}) { // the first page of a run, then pages after it
        book::PageLayer* layer = startPage(page);
        const CCRect bounds = book::nodeBounds(layer->getHomeItem());
        seen.push_back(bounds);
        EXPECT_GE(bounds.getMinX() - book::FocusRing::kReach, 0) << page;
        EXPECT_GE(bounds.getMinY() - book::FocusRing::kReach, 0) << page;
        EXPECT_GT(bounds.size.height, 40) << "the item is drawn at 45 points";
        // Its ink: the text's blue begins inside the screen, not at its edge.
        EXPECT_EQ(countPixels(CCRect(0, bounds.getMinY(), 3, bounds.size.height), 0, 0, 255, 60), 0);
        EXPECT_GT(countPixels(bounds, 0, 0, 255, 60), 50);
        CCDirector::sharedDirector()->reset();
    }
    for (const CCRect& bounds : seen) {
        EXPECT_FLOAT_EQ(bounds.size.width, seen.front().size.width);
        EXPECT_FLOAT_EQ(bounds.size.height, seen.front().size.height);
    }
}

TEST_F(PageBuildTest, APageWithoutItsLayoutKeepsItsMenu) {
    book.writeAll();
    book::PageLayer* page = startPage(4);
    EXPECT_TRUE(log.contains("page 4 has no layout testLirra/tb/tb_4.json"));
    EXPECT_EQ(page->getPageLayout(), nullptr);
    EXPECT_EQ(book::lastWordIndex, 0);
    ASSERT_NE(page->getHomeItem(), nullptr);
    EXPECT_TRUE(page->getHomeItem()->isVisible());
    // Home still works from there.
    CCPoint home = page->getHomeItem()->getPosition();
    tap(home);
    view.step(2);
    EXPECT_EQ(runningPage(), nullptr);
    EXPECT_NE(runningLayer(), nullptr);
}

TEST_F(PageBuildTest, MissingInterfaceTextsGiveEmptyItemsAndALogLine) {
    book.writeAll();
    view.resources().write("String.xml", "<plist><dict></dict></plist>");
    book::PageLayer* page = startPage(1);
    EXPECT_TRUE(log.contains("String.xml has no text for \"main_page\""));
    EXPECT_STREQ(page->getHomeItem()->getString(), "");
    EXPECT_EQ(book::lastWordIndex, 5);
}

TEST_F(PageBuildTest, TwinsLogTheirOwnSceneNumbers) {
    book.writeAll();
    book::currentPage = 1;
    auto* second = new book::TestLayer2();
    view.show(second);
    second->release();
    EXPECT_TRUE(log.contains("Scene 2 onEnter"));
    EXPECT_TRUE(log.contains("Scene 2: onEnterTransitionDidFinish"));
    EXPECT_FALSE(log.contains("-----------page_name-----"));
    CCDirector::sharedDirector()->reset();
    EXPECT_TRUE(log.contains("Scene 2: onExitTransitionDidStart"));
    EXPECT_TRUE(log.contains("Scene 2 onExit"));
}
