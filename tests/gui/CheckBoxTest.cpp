// Check boxes: the looks on screen with and without the cross, toggling
// only on a lift over the box, the handlers and their codes, and freeing.
#include "TexturedWidgetTest.h"

#include "engine/nodes/CCSprite.h"
#include "gui/UICheckBox.h"

using namespace engine;
using namespace texturedtest;
using gui::UICheckBox;
using testsupport::HeadlessView;
using testsupport::isColour;

namespace {

class CheckBoxTest : public TexturedWidgetTest {
protected:
    // A 60 x 60 box at the centre of the screen: red box, green box when
    // pressed, a yellow 20 x 20 cross, blue dim box, grey dim cross.
    UICheckBox* makeBox() {
        UICheckBox* box = UICheckBox::create();
        box->loadTextures(image("box.png", 60, 60, kRed).c_str(), image("boxon.png", 60, 60, kGreen).c_str(),
                          image("cross.png", 20, 20, kYellow).c_str(),
                          image("boxoff.png", 60, 60, kBlue).c_str(),
                          image("crossoff.png", 20, 20, kGrey).c_str());
        box->setTouchEnabled(true);
        box->setPosition({320, 480});
        return box;
    }
    void bindAll(UICheckBox* box) {
        box->setTouchEventHandler(recorder, &Recorder::onTouch);
        box->setCheckEventHandler(recorder, &Recorder::onEvent);
        box->setSelectHandler(recorder, &Recorder::onSelect);
        box->setUnselectHandler(recorder, &Recorder::onUnselect);
        box->setReleaseHandler(recorder, &Recorder::onRelease);
        box->setCancelHandler(recorder, &Recorder::onCancel);
    }
};

TEST_F(CheckBoxTest, LooksOnScreen) {
    UICheckBox* box = makeBox();
    showLayer(box);
    EXPECT_EQ(box->getSize(), CCSize(60, 60));
    EXPECT_TRUE(isColour(screen.at(320, 480), 255, 0, 0)); // no cross at first
    EXPECT_TRUE(screen.savedAsShown("checkbox_normal"));

    HeadlessView::touchBegan({320, 480});
    screen.step();
    EXPECT_TRUE(isColour(screen.at(300, 460), 0, 255, 0));
    EXPECT_TRUE(screen.savedAsShown("checkbox_pressed"));

    HeadlessView::touchEnded({320, 480});
    screen.step();
    EXPECT_TRUE(box->isSelected());
    EXPECT_TRUE(isColour(screen.at(320, 480), 255, 255, 0));
    EXPECT_TRUE(isColour(screen.at(300, 460), 255, 0, 0));
    EXPECT_TRUE(screen.savedAsShown("checkbox_selected"));

    box->setBright(false);
    screen.step();
    EXPECT_TRUE(isColour(screen.at(320, 480), 128, 128, 128, 4));
    EXPECT_TRUE(isColour(screen.at(300, 460), 0, 0, 255));
    EXPECT_TRUE(screen.savedAsShown("checkbox_disabled"));

    // Bright again: the cross comes back with the selection.
    box->setBright(true);
    screen.step();
    EXPECT_TRUE(isColour(screen.at(320, 480), 255, 255, 0));
    box->setSelected(false);
    screen.step();
    EXPECT_TRUE(isColour(screen.at(320, 480), 255, 0, 0));
}

TEST_F(CheckBoxTest, TwoTapsReportSelectedThenUnselected) {
    UICheckBox* box = makeBox();
    bindAll(box);
    ListeningParent* parent = ListeningParent::create();
    parent->addChild(box);
    showLayer(parent);
    for (int i = 0; i < 2; ++i) {
        HeadlessView::touchBegan({320, 480});
        HeadlessView::touchEnded({320, 480});
    }
    EXPECT_EQ(recorder->eventCodes,
              (std::vector<int>{gui::CHECKBOX_STATE_EVENT_SELECTED, gui::CHECKBOX_STATE_EVENT_UNSELECTED}));
    EXPECT_EQ(recorder->calls, (std::vector<std::string>{"release", "select", "release", "unselect"}));
    EXPECT_EQ(recorder->touchCodes, (std::vector<int>{0, 2, 0, 2}));
    EXPECT_EQ(parent->phases, (std::vector<int>{0, 2, 0, 2}));
    EXPECT_FALSE(box->isSelected());
    EXPECT_FALSE(box->isFocused());
}

TEST_F(CheckBoxTest, TouchLeavingTheBoxBeforeLiftingTogglesNothing) {
    UICheckBox* box = makeBox();
    bindAll(box);
    ListeningParent* parent = ListeningParent::create();
    parent->addChild(box);
    showLayer(parent);
    HeadlessView::touchBegan({320, 480});
    HeadlessView::touchMoved({600, 900});
    HeadlessView::touchEnded({600, 900});
    screen.step();
    EXPECT_FALSE(box->isSelected());
    EXPECT_TRUE(recorder->eventCodes.empty());
    EXPECT_TRUE(recorder->calls.empty()); // no release, no cancel handler
    EXPECT_EQ(recorder->touchCodes, (std::vector<int>{0, 1, 3}));
    EXPECT_EQ(parent->phases, (std::vector<int>{0, 1, 2}));
    EXPECT_TRUE(isColour(screen.at(320, 480), 255, 0, 0));

    // Leaving and coming back still counts as a tap.
    HeadlessView::touchBegan({320, 480});
    HeadlessView::touchMoved({600, 900});
    HeadlessView::touchMoved({330, 490});
    HeadlessView::touchEnded({330, 490});
    EXPECT_TRUE(box->isSelected());
}

TEST_F(CheckBoxTest, SetSelectedCallsNoHandlerAndDimBoxShowsTheDimCross) {
    UICheckBox* box = makeBox();
    bindAll(box);
    box->setSelected(true);
    EXPECT_TRUE(recorder->eventCodes.empty());
    box->setBright(false);
    box->setSelected(false);
    box->setSelected(true);
    showLayer(box);
    EXPECT_TRUE(isColour(screen.at(320, 480), 128, 128, 128, 4));
}

TEST_F(CheckBoxTest, ImagesFollowAnchorSizeAndFlip) {
    UICheckBox* box = UICheckBox::create();
    box->setAnchorPoint({0, 0}); // as the layout reader does, before the textures
    box->loadBoxTexture(image("box.png", 60, 60, kRed).c_str());
    box->loadCrossTexture(image("cross.png", 20, 20, kYellow).c_str());
    box->setPosition({100, 100});
    box->setIgnoreContentSize(false);
    box->setSize({120, 30});
    box->setFlipX(true);
    EXPECT_TRUE(box->isFlipX());
    box->setSelected(true);
    showLayer(box);
    // Lower left corner at the position, stretched to 120 x 30; the cross too.
    EXPECT_TRUE(isColour(screen.at(102, 102), 255, 255, 0));
    EXPECT_TRUE(isColour(screen.at(218, 128), 255, 255, 0));
    EXPECT_TRUE(isColour(screen.at(222, 128), 0, 0, 0));
    EXPECT_TRUE(isColour(screen.at(98, 102), 0, 0, 0));
}

TEST_F(CheckBoxTest, MissingTexturesAreLoggedAndHarmless) {
    testsupport::LogCapture log;
    UICheckBox* box = UICheckBox::create();
    box->loadTextures("nobox.png", "", nullptr, "nodim.png", "nocross.png");
    EXPECT_TRUE(log.contains("nobox.png"));
    EXPECT_TRUE(log.contains("nodim.png"));
    EXPECT_EQ(box->getSize(), CCSize(0, 0));
    box->setTouchEnabled(true);
    box->setPosition({320, 480});
    showLayer(box);
    HeadlessView::touchBegan({320, 480});
    HeadlessView::touchEnded({320, 480});
    box->setBright(false);
    screen.step();
    EXPECT_TRUE(isColour(screen.at(320, 480), 0, 0, 0));
}

TEST_F(CheckBoxTest, CreatingAddingTouchingAndRemovingFreesEverything) {
    expectFreedAfterUse(
        [this] {
            UICheckBox* box = makeBox();
            box->setCheckEventHandler(recorder, &Recorder::onEvent);
            return box;
        },
        {320, 480});
    EXPECT_EQ(recorder->eventCodes, (std::vector<int>{gui::CHECKBOX_STATE_EVENT_SELECTED}));
}

} // namespace
