// Sliders: thumb looks and progress on screen, touches at the ends and
// drags beyond them, clamping, the handlers, nine-slice switching, the
// anchor, missing files, and freeing.
#include "TexturedWidgetTest.h"

#include "engine/nodes/CCScale9Sprite.h"
#include "engine/nodes/CCSprite.h"
#include "gui/UISlider.h"

using namespace engine;
using namespace texturedtest;
using gui::UISlider;
using testsupport::HeadlessView;
using testsupport::isColour;

namespace {

class SliderTest : public TexturedWidgetTest {
protected:
    // A 200 x 20 grey bar centred at (320, 480) (x 220..420), a green
    // progress image, a 10 x 30 thumb: red, yellow pressed, blue dim.
    UISlider* makeSlider() {
        UISlider* slider = UISlider::create();
        slider->loadBarTexture(image("bar.png", 200, 20, kGrey).c_str());
        slider->loadProgressTexture(image("progress.png", 100, 10, kGreen).c_str());
        slider->loadThumbTextures(image("thumb.png", 10, 30, kRed).c_str(),
                                  image("thumbon.png", 10, 30, kYellow).c_str(),
                                  image("thumboff.png", 10, 30, kBlue).c_str());
        slider->setTouchEnabled(true);
        slider->setPosition({320, 480});
        return slider;
    }
};

TEST_F(SliderTest, LooksAndProgressOnScreen) {
    UISlider* slider = makeSlider();
    slider->setPercent(50);
    showLayer(slider);
    EXPECT_EQ(slider->getSize(), CCSize(200, 20));
    EXPECT_TRUE(isColour(screen.at(225, 480), 0, 255, 0)); // progress, stretched to the bar
    EXPECT_TRUE(isColour(screen.at(300, 472), 0, 255, 0));
    EXPECT_TRUE(isColour(screen.at(340, 480), 128, 128, 128, 4));
    EXPECT_TRUE(isColour(screen.at(320, 493), 255, 0, 0)); // the thumb, above the bar
    EXPECT_TRUE(screen.savedAsShown("slider_normal"));

    HeadlessView::touchBegan({320, 480});
    screen.step();
    EXPECT_TRUE(isColour(screen.at(320, 493), 255, 255, 0));
    EXPECT_TRUE(screen.savedAsShown("slider_pressed"));
    HeadlessView::touchEnded({320, 480});
    screen.step();
    EXPECT_TRUE(isColour(screen.at(320, 493), 255, 0, 0));

    slider->setBright(false);
    screen.step();
    EXPECT_TRUE(isColour(screen.at(320, 493), 0, 0, 255));
    EXPECT_TRUE(screen.savedAsShown("slider_disabled"));
}

TEST_F(SliderTest, TouchesAtTheEndsAndDragsBeyondThem) {
    UISlider* slider = makeSlider();
    showLayer(slider);
    HeadlessView::touchBegan({220, 480});
    EXPECT_EQ(slider->getPercent(), 0);
    HeadlessView::touchEnded({220, 480});
    HeadlessView::touchBegan({420, 480});
    EXPECT_EQ(slider->getPercent(), 100);
    HeadlessView::touchMoved({320, 300}); // height does not matter while dragging
    EXPECT_EQ(slider->getPercent(), 50);
    EXPECT_FLOAT_EQ(slider->getThumb()->getPosition().x, 0);
    HeadlessView::touchMoved({5000, 480});
    EXPECT_EQ(slider->getPercent(), 100);
    EXPECT_FLOAT_EQ(slider->getThumb()->getPosition().x, 100);
    HeadlessView::touchMoved({-5000, 480});
    EXPECT_EQ(slider->getPercent(), 0);
    EXPECT_FLOAT_EQ(slider->getThumb()->getPosition().x, -100);
    HeadlessView::touchMoved({1e30f, 480});
    EXPECT_EQ(slider->getPercent(), 100);
    HeadlessView::touchEnded({1e30f, 480});
    screen.step();
    EXPECT_TRUE(isColour(screen.at(405, 480), 0, 255, 0));
}

TEST_F(SliderTest, SetPercentClamps) {
    UISlider* slider = makeSlider();
    slider->setPercent(150);
    EXPECT_EQ(slider->getPercent(), 100);
    slider->setPercent(-5);
    EXPECT_EQ(slider->getPercent(), 0);
    slider->setPercent(30);
    EXPECT_FLOAT_EQ(slider->getThumb()->getPosition().x, -40);
    auto* progress = dynamic_cast<CCSprite*>(slider->getProgressRenderer());
    ASSERT_NE(progress, nullptr);
    EXPECT_EQ(progress->getTextureRect(), CCRect(0, 0, 30, 10));
}

TEST_F(SliderTest, HandlersHearBeganAndMovedOnly) {
    UISlider* slider = makeSlider();
    slider->setPercentHandler(recorder, &Recorder::onPercent);
    slider->setSliderEventHandler(recorder, &Recorder::onEvent);
    slider->setTouchEventHandler(recorder, &Recorder::onTouch);
    slider->setMoveHandler(recorder, &Recorder::onMove);
    ListeningParent* parent = ListeningParent::create();
    parent->addChild(slider);
    showLayer(parent);
    HeadlessView::touchBegan({300, 480});
    HeadlessView::touchMoved({310, 480});
    HeadlessView::touchMoved({310, 480}); // unchanged percent still reports
    HeadlessView::touchEnded({310, 480});
    EXPECT_EQ(slider->getPercent(), 45);
    EXPECT_EQ(recorder->calls, (std::vector<std::string>{"percent", "percent", "percent"}));
    EXPECT_EQ(recorder->eventCodes, (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(recorder->touchCodes, (std::vector<int>{0, 2}));
    EXPECT_EQ(parent->phases, (std::vector<int>{0, 2}));
}

TEST_F(SliderTest, NineSliceSwitchingRemembersIgnoreSize) {
    UISlider* slider = makeSlider();
    slider->setCapInsets(CCRect(4, 4, 2, 2));
    slider->setNineSliceEnabled(true);
    EXPECT_FALSE(slider->isIgnoreContentSize());
    slider->setIgnoreContentSize(true);
    EXPECT_FALSE(slider->isIgnoreContentSize());
    slider->setSize({300, 20});
    slider->setPercent(50);
    EXPECT_FLOAT_EQ(slider->getBarLength(), 300);
    EXPECT_EQ(slider->getContentSize(), CCSize(300, 20));
    auto* progress = dynamic_cast<CCScale9Sprite*>(slider->getProgressRenderer());
    ASSERT_NE(progress, nullptr);
    EXPECT_EQ(progress->getPreferredSize(), CCSize(150, 10));
    EXPECT_EQ(progress->getCapInsets(), CCRect(4, 4, 2, 2));

    slider->setNineSliceEnabled(false);
    EXPECT_TRUE(slider->isIgnoreContentSize());
    EXPECT_FLOAT_EQ(slider->getBarLength(), 200);
    EXPECT_EQ(slider->getSize(), CCSize(200, 20));
    EXPECT_EQ(slider->getPercent(), 50);
}

TEST_F(SliderTest, TouchFollowsTheAnchoredRectangle) {
    UISlider* slider = makeSlider();
    slider->setAnchorPoint({0, 0});
    slider->setPosition({100, 100}); // bar spans x 100..300
    showLayer(slider);
    EXPECT_TRUE(isColour(screen.at(250, 110), 128, 128, 128, 4));
    HeadlessView::touchBegan({150, 110});
    EXPECT_EQ(slider->getPercent(), 25);
    HeadlessView::touchEnded({150, 110});
}

TEST_F(SliderTest, MissingTexturesAreLoggedAndHarmless) {
    testsupport::LogCapture log;
    UISlider* slider = UISlider::create();
    slider->loadBarTexture("nobar.png");
    slider->loadProgressTexture("noprogress.png");
    slider->loadThumbTextures("", nullptr, "nothumb.png");
    EXPECT_TRUE(log.contains("nobar.png"));
    EXPECT_TRUE(log.contains("noprogress.png"));
    EXPECT_TRUE(log.contains("nothumb.png"));
    EXPECT_EQ(slider->getBarLength(), 0);
    slider->setTouchEnabled(true);
    slider->setIgnoreContentSize(false);
    slider->setSize({0, 20}); // touchable, but no length to slide along
    slider->setPosition({320, 480});
    showLayer(slider);
    HeadlessView::touchBegan({320, 480});
    HeadlessView::touchMoved({330, 480});
    HeadlessView::touchEnded({330, 480});
    EXPECT_EQ(slider->getPercent(), 0);
    slider->setNineSliceEnabled(true);
    screen.step();
    EXPECT_TRUE(isColour(screen.at(320, 480), 0, 0, 0));
}

TEST_F(SliderTest, CreatingAddingTouchingAndRemovingFreesEverything) {
    expectFreedAfterUse(
        [this] {
            UISlider* slider = makeSlider();
            slider->setPercentHandler(recorder, &Recorder::onPercent);
            return slider;
        },
        {300, 480});
    EXPECT_EQ(recorder->calls.size(), 2u);
}

} // namespace
