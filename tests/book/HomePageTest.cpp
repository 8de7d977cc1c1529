// The home page: which buttons show, what each starts, and a book whose
// home files are missing.
#include "book/BookFixture.h"
#include "book/BookScene.h"
#include "book/TestController.h"
#include "book/TestLayer1.h"
#include "engine/director/CCDirector.h"
#include "engine/menu/CCMenuItemFont.h"
#include "gui/LayoutReader.h"
#include "gui/UILayer.h"
#include "gui/UIRootWidget.h"
#include "gui/UIToolkit.h"
#include "gui/action/ActionManager.h"
#include "support/LeakCheck.h"

using namespace engine;
using namespace booktest;

namespace {
class HomePageTest : public BookFixture {
protected:
    gui::UIWidget* homeButton(book::TestController* home, const char* name) {
        return gui::UIToolkit::findWidgetByName(home->getUILayer()->getRootWidget(), name);
    }
};
} // namespace

TEST_F(HomePageTest, FirstVisitHidesContinueAndItsPlaceStartsNothing) {
    book.writeAll();
    book::currentPage = 2;
    book::TestController* home = startHome();
    EXPECT_FALSE(homeButton(home, "bngoon")->isVisible());
    EXPECT_TRUE(homeButton(home, "bnwordlean")->isVisible());
    EXPECT_TRUE(homeButton(home, "bnselect")->isVisible());
    EXPECT_TRUE(homeButton(home, "bnreturn")->isVisible());
    EXPECT_TRUE(view.matchesReference("home_page"));

    tap(SmallBook::homeButton("bngoon"));
    view.step(3);
    EXPECT_EQ(runningLayer(), home);
    EXPECT_FALSE(log.contains("Scene 1 onEnter"));
}

TEST_F(HomePageTest, WordLearningHiddenBelowOneAndOpensPageWordMinOtherwise) {
    book.writeAll();
    for (const char* wordMin : {"0", "-1"}) {
        book.writeConfig({{"wordMin", wordMin}});
        book::TestController* home = startHome();
        EXPECT_FALSE(homeButton(home, "bnwordlean")->isVisible()) << wordMin;
        tap(SmallBook::homeButton("bnwordlean"));
        view.step(3);
        EXPECT_EQ(runningLayer(), home) << "a hidden word-learning button opened a page";
        CCDirector::sharedDirector()->reset();
    }

    book.writeConfig({{"wordMin", "2"}});
    startHome();
    // A real click: press and release arrive in one frame, before the page is up.
    testsupport::HeadlessView::touchBegan(SmallBook::homeButton("bnwordlean"));
    testsupport::HeadlessView::touchEnded(SmallBook::homeButton("bnwordlean"));
    view.step(2);
    EXPECT_EQ(log.count("page_name"), 1) << "one press, one page";
    auto* page = dynamic_cast<book::TestLayer1*>(runningLayer());
    ASSERT_NE(page, nullptr);
    EXPECT_NE(dynamic_cast<book::BookScene*>(CCDirector::sharedDirector()->getRunningScene()), nullptr);
    EXPECT_EQ(book::currentPage, 2);
    EXPECT_FALSE(book::resumeAvailable) << "word learning is not a pick in the page menu";
    EXPECT_TRUE(log.contains("-----------page_name----- testLirra/tb -------------- !"));
    EXPECT_TRUE(log.contains("Scene 1 onEnter"));
}

TEST_F(HomePageTest, ContinueShowsAfterAPickAndOpensTheCurrentPage) {
    book.writeAll();
    book::resumeAvailable = true;
    book::currentPage = 2;
    book::TestController* home = startHome();
    EXPECT_TRUE(homeButton(home, "bngoon")->isVisible());
    tap(SmallBook::homeButton("bngoon"));
    view.step(2);
    ASSERT_NE(runningPage(), nullptr);
    EXPECT_EQ(book::currentPage, 2);
    EXPECT_EQ(book::lastWordIndex, 3);
}

TEST_F(HomePageTest, ExitEndsTheDirectorOnThePress) {
    book.writeAll();
    startHome();
    testsupport::HeadlessView::touchBegan(SmallBook::homeButton("bnreturn"));
    view.step(2);
    EXPECT_TRUE(CCDirector::sharedDirector()->isEnded());
}

TEST_F(HomePageTest, MissingFilesAreNamedAndThePageStillRuns) {
    book.writeInterfaceTexts();
    book.writeHomeLayout({"bnselect"});
    startHome(); // no configuration
    EXPECT_TRUE(log.contains("no configuration testLirra/StringConfig.xml"));
    EXPECT_TRUE(log.contains("has no button \"bnselect\""));
    tap(SmallBook::homeButton("bnselect"));
    CCDirector::sharedDirector()->reset();

    view.resources().write("mainpage/mainpage_1.json", "");
    log.clear();
    startHome();
    EXPECT_TRUE(log.contains("no home layout mainpage/mainpage_1.json"));
    EXPECT_EQ(log.count("has no button"), 4);
    tap({320, 550});
    view.step();
    EXPECT_NE(dynamic_cast<book::TestController*>(runningLayer()), nullptr);
}

TEST_F(HomePageTest, RoundTripsHomePageHomeFreeEachScene) {
    book.writeAll();
    startHome();
    // The other trips end with as many live objects as the first: checked
    // when the test ends.
    testsupport::LeakCheck afterFirstTrip;
    for (int trip = 1; trip <= 50; ++trip) {
        tap(SmallBook::homeButton("bnwordlean"));
        view.step();
        book::PageLayer* page = runningPage();
        ASSERT_NE(page, nullptr) << "trip " << trip;
        // The home page let go of the shared widget objects when it went.
        EXPECT_FALSE(gui::UIToolkit::hasInstance() || gui::LayoutReader::hasInstance());
        EXPECT_FALSE(gui::ActionManager::hasInstance());
        gui::ActionManager::instance(); // as a page with animations would have it
        tap(page->getHomeItem()->getPosition());
        view.step();
        ASSERT_NE(dynamic_cast<book::TestController*>(runningLayer()), nullptr) << "trip " << trip;
        EXPECT_FALSE(gui::UIToolkit::hasInstance()) << "the page scene keeps the toolkit";
        EXPECT_FALSE(gui::ActionManager::hasInstance()) << "the page scene keeps the animations";
        gui::ActionManager::instance();
        if (trip == 1) afterFirstTrip.start();
    }
}
