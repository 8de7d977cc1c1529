// The page menu: which pages a screen shows, the grey screen buttons, the
// screen arithmetic back and forth, the fly-in, picking a page, the home
// button and the keys. Books of 12, 21 and 45 pages.
#include "book/BookState.h"
#include "book/FocusRing.h"
#include "book/MenuLayerMainMenu.h"
#include "book/MenuTestScene.h"
#include "book/PageLayer.h"
#include "book/SmallBook.h"
#include "book/TestController.h"
#include "engine/director/CCDirector.h"
#include "engine/menu/CCMenu.h"
#include "engine/menu/CCMenuItemLabel.h"
#include "engine/nodes/CCLayer.h"
#include "engine/nodes/CCScene.h"
#include "engine/text/CCLabelTTF.h"
#include "support/HeadlessView.h"
#include "support/RunningChild.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace engine;
using namespace book;
using testsupport::HeadlessView;

namespace {

constexpr float kFrame = 1.0f / 60;
const ccColor3B kGrey = {145, 145, 145};

struct Screen {
    std::vector<int> pages; // the numbers printed on the squares, in order
    bool previousGrey = false, nextGrey = false;
};

class PageMenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(view.isOpen());
        resetBookState();
        book.writeInterfaceTexts();
        view.run(CCScene::create());
    }
    void TearDown() override { resetBookState(); }

    // Opens the page menu as the home page does and lets one frame pass.
    MenuLayerMainMenu* open() {
        MenuTestScene::open();
        view.step();
        return testsupport::runningChild<MenuLayerMainMenu>();
    }
    // The screen on show, after its fly-in has ended.
    Screen screen() {
        view.step(4, 0.7f); // the 2 s fly-in is over
        Screen shown;
        MenuLayerMainMenu* layer = testsupport::runningChild<MenuLayerMainMenu>();
        if (!layer) return shown;
        std::vector<CCNode*> squares;
        for (CCNode* child : layer->getPageMenu()->getChildren()) {
            auto* item = dynamic_cast<CCMenuItemLabel*>(child);
            auto* colour = item ? dynamic_cast<CCLayerColor*>(item->getLabel()) : nullptr;
            if (!colour) continue;
            if (child->getZOrder() >= MenuLayerMainMenu::kSquareZOrder) {
                auto* label = dynamic_cast<CCLabelTTF*>(colour->getChildren().at(0));
                shown.pages.push_back(std::stoi(label->getString()));
            } else if (child->getPositionX() < 320) {
                shown.previousGrey = colour->getColor() == kGrey;
            } else {
                shown.nextGrey = colour->getColor() == kGrey;
            }
        }
        return shown;
    }
    static std::vector<int> range(int first, int last) {
        std::vector<int> pages;
        for (int p = first; p <= last; ++p)
            pages.push_back(p);
        return pages;
    }
    void tap(const CCPoint& at) {
        HeadlessView::touchBegan(at);
        HeadlessView::touchEnded(at);
        view.step();
    }

    HeadlessView view;
    booktest::SmallBook book{view};
};

} // namespace

TEST_F(PageMenuTest, TwelvePagesFitOneScreenWithBothScreenButtonsGreyAndInert) {
    pageMax = 12;
    MenuLayerMainMenu* layer = open();
    ASSERT_NE(layer, nullptr);
    Screen shown = screen();
    EXPECT_EQ(shown.pages, range(1, 12));
    EXPECT_TRUE(shown.previousGrey);
    EXPECT_TRUE(shown.nextGrey);
    EXPECT_TRUE(menuOnLastScreen);
    EXPECT_EQ(menuNextPage, 13);

    // Where things end up on a 640 x 960 view, and how big they are.
    std::vector<CCNode*> items;
    for (CCNode* child : layer->getPageMenu()->getChildren())
        if (child->getZOrder() >= MenuLayerMainMenu::kSquareZOrder) items.push_back(child);
    EXPECT_EQ(items[0]->getPosition(), CCPoint(80, 848));
    EXPECT_EQ(items[7]->getPosition(), CCPoint(560, 688));
    EXPECT_EQ(items[8]->getPosition(), CCPoint(80, 528));
    EXPECT_NEAR(items[0]->getContentSize().width, 142.22f, 0.01f);
    auto* five =
        dynamic_cast<CCLabelTTF*>(dynamic_cast<CCMenuItemLabel*>(items[4])->getLabel()->getChildren()[0]);
    EXPECT_STREQ(five->getString(), "5 ");

    // On the pixels: a red square, the grey previous button beside its label.
    EXPECT_TRUE(testsupport::isColour(view.at(40, 848), 255, 0, 0));
    testsupport::Pixel grey = view.at(36, 4), normal = view.at(605, 4);
    EXPECT_EQ(grey.r, grey.g);
    EXPECT_EQ(normal.r, grey.r) << "both screen buttons are grey";
    EXPECT_TRUE(view.matchesReference("page_menu"));

    // A grey button does nothing, by touch or by key.
    tap(CCPoint(40, 40));
    tap(CCPoint(600, 40));
    EXPECT_TRUE(layer->keyPressed(engine::kKeyRight));
    EXPECT_TRUE(layer->keyPressed(engine::kKeyLeft));
    EXPECT_EQ(CCDirector::sharedDirector()->getNextScene(), nullptr);
    EXPECT_EQ(testsupport::runningChild<MenuLayerMainMenu>(), layer);
    EXPECT_EQ(menuFirstPage, 1);
}

TEST_F(PageMenuTest, FortyFivePagesGoForwardTwiceAndBackTheWayTheyCame) {
    pageMax = 45;
    open();
    Screen first = screen();
    EXPECT_EQ(first.pages, range(1, 20));
    EXPECT_TRUE(first.previousGrey);
    EXPECT_FALSE(first.nextGrey);
    EXPECT_FALSE(menuOnLastScreen);

    tap(CCPoint(512, 40)); // next, by touch
    Screen second = screen();
    EXPECT_EQ(second.pages, range(21, 40));
    EXPECT_FALSE(second.previousGrey);
    EXPECT_FALSE(second.nextGrey);

    testsupport::runningChild<MenuLayerMainMenu>()->keyPressed(engine::kKeyRight);
    view.step();
    Screen third = screen();
    EXPECT_EQ(third.pages, range(41, 45));
    EXPECT_TRUE(third.nextGrey);
    EXPECT_TRUE(menuOnLastScreen);
    EXPECT_EQ(menuPreviousFirstPage, 21);

    tap(CCPoint(128, 40)); // previous, from the short last screen
    EXPECT_EQ(screen().pages, range(21, 40));

    // Home and back: the menu reopens on the screen it was left at.
    testsupport::runningChild<MenuLayerMainMenu>()->keyPressed(engine::kKeyEscape);
    view.step();
    EXPECT_NE(testsupport::runningChild<TestController>(), nullptr);
    open();
    EXPECT_EQ(screen().pages, range(21, 40));

    testsupport::runningChild<MenuLayerMainMenu>()->keyPressed(engine::kKeyLeft);
    view.step();
    EXPECT_EQ(screen().pages, range(1, 20));
}

TEST_F(PageMenuTest, TwentyOnePagesLeaveTheLastPageAloneOnTheSecondScreen) {
    pageMax = 21;
    open();
    Screen first = screen();
    EXPECT_EQ(first.pages, range(1, 20));
    EXPECT_FALSE(first.nextGrey);
    testsupport::runningChild<MenuLayerMainMenu>()->nextScreen(nullptr);
    view.step();
    Screen second = screen();
    EXPECT_EQ(second.pages, std::vector<int>{21});
    EXPECT_TRUE(second.nextGrey);
    EXPECT_FALSE(second.previousGrey);
}

TEST_F(PageMenuTest, ItemsFlyInFromTheLeftOnEvenIndexesAndFromTheRightOnOddOnes) {
    auto startAndEnd = [&](int pages) {
        resetBookState();
        pageMax = pages;
        auto* layer = new MenuLayerMainMenu(); // not yet running: nothing has moved
        std::vector<CCPoint> start;
        std::vector<CCNode*> squares, buttons;
        for (CCNode* child : layer->getPageMenu()->getChildren())
            (child->getZOrder() >= MenuLayerMainMenu::kSquareZOrder ? squares : buttons).push_back(child);
        for (CCNode* node : squares)
            start.push_back(node->getPosition());
        for (CCNode* node : buttons)
            start.push_back(node->getPosition()); // previous, then next
        CCScene* scene = CCScene::create();
        scene->addChild(layer);
        layer->release();
        CCDirector::sharedDirector()->replaceScene(scene);
        view.step(130, kFrame);
        std::vector<CCPoint> end;
        for (CCNode* node : squares)
            end.push_back(node->getPosition());
        for (CCNode* node : buttons)
            end.push_back(node->getPosition());
        std::vector<float> offsets;
        for (size_t i = 0; i < start.size(); ++i) {
            EXPECT_EQ(start[i].y, end[i].y);
            offsets.push_back(start[i].x - end[i].x);
        }
        return offsets;
    };

    std::vector<float> twenty = startAndEnd(30);
    ASSERT_EQ(twenty.size(), 22u);
    EXPECT_EQ(twenty[0], -370);
    EXPECT_EQ(twenty[1], 370);
    EXPECT_EQ(twenty[20], -370) << "previous button, child 20, from the left";
    EXPECT_EQ(twenty[21], 370) << "next button, child 21, from the right";

    std::vector<float> seven = startAndEnd(7);
    ASSERT_EQ(seven.size(), 9u);
    EXPECT_EQ(seven[6], -370);
    EXPECT_EQ(seven[7], 370) << "previous button, child 7, from the right";
    EXPECT_EQ(seven[8], -370) << "next button, child 8, from the left";
}

TEST_F(PageMenuTest, PickingASquareOpensItsPageAndMakesContinueAvailable) {
    pageMax = 45;
    subName = "tb";
    book.writeImages();
    book.writePage(17, {{1, {320, 600}, {}}});
    open();
    screen();
    tap(CCPoint(80, 208)); // square 17: row 4, column 0
    EXPECT_EQ(currentPage, 17);
    EXPECT_TRUE(resumeAvailable);
    view.step(2);
    EXPECT_NE(testsupport::runningChild<PageLayer>(), nullptr);
    EXPECT_EQ(lastWordIndex, 1) << "page 17's own layout was read";
}

TEST_F(PageMenuTest, TheKeyboardRingMovesOverTheSquaresWithArrowsAndReturnPicks) {
    pageMax = 45;
    subName = "tb";
    book.writeImages();
    book.writePage(6, {{1, {320, 600}, {}}});
    MenuLayerMainMenu* layer = open();
    screen();
    ASSERT_NE(layer->getFocusRing(), nullptr);
    EXPECT_TRUE(layer->keyPressed(engine::kKeyTab));
    EXPECT_EQ(layer->getFocusRing()->getFocusedIndex(), 0);
    EXPECT_TRUE(layer->keyPressed(engine::kKeyRight)); // the ring moves, the screen stays
    EXPECT_TRUE(layer->keyPressed(engine::kKeyDown));
    EXPECT_TRUE(layer->keyPressed(engine::kKeyUp));
    EXPECT_TRUE(layer->keyPressed(engine::kKeyDown));
    EXPECT_EQ(layer->getFocusRing()->getFocusedIndex(), 5);
    EXPECT_EQ(CCDirector::sharedDirector()->getNextScene(), nullptr);
    EXPECT_TRUE(layer->keyPressed(engine::kKeyReturn));
    EXPECT_EQ(currentPage, 6);
    view.step(2);
    EXPECT_NE(testsupport::runningChild<PageLayer>(), nullptr);
}

TEST_F(PageMenuTest, TheHomeButtonLeadsHome) {
    pageMax = 12;
    book.writeConfig();
    book.writeHomeLayout();
    open();
    screen();
    tap(CCPoint(320, 40));
    view.step();
    EXPECT_NE(testsupport::runningChild<TestController>(), nullptr);
}

TEST_F(PageMenuTest, SixDigitPageNumbersFitTheirSquares) {
    pageMin = 999980;
    pageMax = 999999;
    open();
    view.step(4, 0.7f); // the fly-in is over
    int squares = 0;
    for (CCNode* child : testsupport::runningChild<MenuLayerMainMenu>()->getPageMenu()->getChildren()) {
        if (child->getZOrder() < MenuLayerMainMenu::kSquareZOrder) continue;
        auto* square = dynamic_cast<CCLayerColor*>(static_cast<CCMenuItemLabel*>(child)->getLabel());
        ASSERT_NE(square, nullptr);
        auto* label = dynamic_cast<CCLabelTTF*>(square->getChildren().at(0));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(std::stoi(label->getString()), pageMin + squares);
        const float printed = label->getContentSize().width * label->getScaleX();
        EXPECT_LE(printed, square->getContentSize().width * MenuLayerMainMenu::kNumberShareOfSquare + 0.5f)
            << label->getString();
        EXPECT_GT(printed, square->getContentSize().width / 2) << "still large enough to read";
        ++squares;
    }
    EXPECT_EQ(squares, 20);
}
