// One screen built in code and driven by injected touches: a clipping panel
// with a button reaching half outside it. Checks what is drawn (the button
// is cut at the panel's edge, in each of its looks) and which handlers run.
#include "engine/nodes/CCLayer.h"
#include "engine/nodes/CCScene.h"
#include "gui/Layout.h"
#include "gui/UIButton.h"
#include "gui/UILayer.h"
#include "support/SceneTest.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using namespace engine;
using testsupport::HeadlessView;
using testsupport::isColour;

namespace {

class Handlers : public CCObject {
public:
    void onTouch(CCObject*, int code) { calls.push_back("touch " + std::to_string(code)); }
    void onPushDown(CCObject*) { calls.push_back("pushDown"); }
    void onRelease(CCObject*) { calls.push_back("release"); }
    void onCancel(CCObject*) { calls.push_back("cancel"); }
    std::vector<std::string> take() { return std::exchange(calls, {}); }
    std::vector<std::string> calls;
};

// The page behind the widgets: hears the touches nobody claimed.
class Page : public CCLayer {
public:
    static Page* create() {
        auto* page = new Page();
        page->init();
        page->setTouchEnabled(true);
        page->autorelease();
        return page;
    }
    void ccTouchesBegan(CCSet*, CCEvent*) override { ++unclaimed; }
    int unclaimed = 0;
};

using Strings = std::vector<std::string>;

class ClippingSceneTest : public testsupport::SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        handlers = new Handlers();

        screen.writeImage("normal.png", 40, 40, 0xff0000ff);
        screen.writeImage("pressed.png", 40, 40, 0xffff0000);
        screen.writeImage("disabled.png", 40, 40, 0xff808080);
        // The panel: 300 x 200 at (10, 20), clipping; the button centred at
        // (290, 100) in it, 40 wide: world x 280..320, y 100..140, with the
        // panel's right edge at x = 310.
        panel = gui::Layout::create();
        panel->setSize({300, 200});
        panel->setPosition({10, 20});
        panel->setClipping(true);
        panel->setBackgroundColorType(gui::LAYOUT_COLOR_SOLID);
        panel->setBackgroundColor({60, 60, 60});
        button = gui::UIButton::create();
        button->loadTextures("normal.png", "pressed.png", "disabled.png");
        button->setTouchEnabled(true);
        button->setPosition({290, 100});
        button->setTouchEventHandler(handlers, &Handlers::onTouch);
        button->setPushDownHandler(handlers, &Handlers::onPushDown);
        button->setReleaseHandler(handlers, &Handlers::onRelease);
        button->setCancelHandler(handlers, &Handlers::onCancel);
        panel->addChild(button);

        page = Page::create();
        gui::UILayer* ui = gui::UILayer::create();
        ui->addWidget(panel);
        CCLayer* root = CCLayer::create();
        root->addChild(page);
        root->addChild(ui);
        screen.show(root);
    }
    void TearDown() override { handlers->release(); }
    // The button's look just inside and just outside the panel's right edge.
    void expectCutButton(int r, int g, int b) {
        EXPECT_TRUE(isColour(screen.at(285.5f, 120.5f), r, g, b));
        EXPECT_TRUE(isColour(screen.at(309.5f, 120.5f), r, g, b));
        EXPECT_TRUE(isColour(screen.at(309.5f, 100.5f), r, g, b));
        EXPECT_TRUE(isColour(screen.at(310.5f, 120.5f), 0, 0, 0));
        EXPECT_TRUE(isColour(screen.at(319.5f, 139.5f), 0, 0, 0));
        EXPECT_TRUE(isColour(screen.at(279.5f, 120.5f), 60, 60, 60));
    }

    Handlers* handlers = nullptr;
    gui::Layout* panel = nullptr;
    gui::UIButton* button = nullptr;
    Page* page = nullptr;
};

} // namespace

TEST_F(ClippingSceneTest, ButtonIsCutAtThePanelsEdgeInEveryLook) {
    EXPECT_TRUE(screen.savedAsShown("clipping_scene_normal"));
    expectCutButton(0, 0, 255);

    HeadlessView::touchBegan({300, 120});
    screen.step();
    EXPECT_TRUE(screen.savedAsShown("clipping_scene_pressed"));
    expectCutButton(255, 0, 0);
    HeadlessView::touchEnded({300, 120});

    button->setBright(false);
    screen.step();
    EXPECT_TRUE(screen.savedAsShown("clipping_scene_disabled"));
    expectCutButton(128, 128, 128);
}

TEST_F(ClippingSceneTest, TouchOnTheCutOffPartIsNotTheButtonsAndReachesThePage) {
    HeadlessView::touchBegan({315, 120});
    HeadlessView::touchEnded({315, 120});
    EXPECT_TRUE(handlers->take().empty());
    EXPECT_EQ(page->unclaimed, 1);
    screen.step();
    expectCutButton(0, 0, 255);
}

TEST_F(ClippingSceneTest, TapInsideRunsPushDownThenRelease) {
    HeadlessView::touchBegan({305, 110});
    EXPECT_EQ(handlers->take(), (Strings{"pushDown", "touch 0"}));
    HeadlessView::touchEnded({305, 110});
    EXPECT_EQ(handlers->take(), (Strings{"release", "touch 2"}));
    EXPECT_EQ(page->unclaimed, 0);
}

TEST_F(ClippingSceneTest, FingerDraggedAwayAndBackFollowsTheLookAndDecidesTheCode) {
    HeadlessView::touchBegan({290, 120});
    HeadlessView::touchMoved({500, 600}); // far from the button
    screen.step();
    expectCutButton(0, 0, 255);
    HeadlessView::touchMoved({300, 120}); // back over it
    screen.step();
    expectCutButton(255, 0, 0);
    HeadlessView::touchMoved({500, 600});
    HeadlessView::touchEnded({500, 600}); // lifted elsewhere
    EXPECT_EQ(handlers->take(),
              (Strings{"pushDown", "touch 0", "touch 1", "touch 1", "touch 1", "cancel", "touch 3"}));
    screen.step();
    expectCutButton(0, 0, 255);
    EXPECT_EQ(page->unclaimed, 0); // the whole touch stayed with the button
}
