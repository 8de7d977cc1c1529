// Buttons: the three looks on screen through real touches, a dim button
// never pressed, sizes and scaling, nine-slice switching and what it
// remembers, the title, missing textures, and freeing.
#include "TexturedWidgetTest.h"

#include "engine/base/CCLog.h"
#include "engine/nodes/CCScale9Sprite.h"
#include "engine/nodes/CCSprite.h"
#include "engine/text/CCLabelTTF.h"
#include "gui/UIButton.h"

using namespace engine;
using namespace texturedtest;
using gui::UIButton;
using testsupport::HeadlessView;
using testsupport::isColour;

namespace {

class ButtonTest : public TexturedWidgetTest {
protected:
    // A 100 x 40 touchable button at the centre of the screen: red normal,
    // green pressed (a 50 x 20 picture), blue disabled.
    UIButton* makeButton() {
        UIButton* button = UIButton::create();
        button->loadTextures(image("normal.png", 100, 40, kRed).c_str(),
                             image("pressed.png", 50, 20, kGreen).c_str(),
                             image("disabled.png", 100, 40, kBlue).c_str());
        button->setTouchEnabled(true);
        button->setPosition({320, 480});
        return button;
    }
    static CCSprite* spriteOf(CCNode* node) { return dynamic_cast<CCSprite*>(node); }
};

TEST_F(ButtonTest, LooksFollowTheFingerOnScreen) {
    UIButton* button = makeButton();
    button->setTouchEventHandler(recorder, &Recorder::onTouch);
    showLayer(button);
    EXPECT_TRUE(isColour(screen.at(320, 480), 255, 0, 0));
    EXPECT_TRUE(screen.savedAsShown("button_normal"));

    HeadlessView::touchBegan({330, 490});
    screen.step();
    EXPECT_TRUE(isColour(screen.at(320, 480), 0, 255, 0));
    EXPECT_TRUE(screen.savedAsShown("button_pressed"));
    // While the button follows its content every picture keeps its own size.
    EXPECT_TRUE(isColour(screen.at(298, 472), 0, 255, 0));
    EXPECT_TRUE(isColour(screen.at(272, 462), 0, 0, 0));

    HeadlessView::touchMoved({500, 700}); // off the button: normal again
    screen.step();
    EXPECT_TRUE(isColour(screen.at(320, 480), 255, 0, 0));
    HeadlessView::touchMoved({300, 470}); // back over it
    screen.step();
    EXPECT_TRUE(isColour(screen.at(320, 480), 0, 255, 0));
    HeadlessView::touchEnded({300, 470});
    screen.step();
    EXPECT_TRUE(isColour(screen.at(320, 480), 255, 0, 0));
    EXPECT_EQ(recorder->touchCodes, (std::vector<int>{0, 1, 1, 2}));

    button->setBright(false);
    screen.step();
    EXPECT_TRUE(isColour(screen.at(320, 480), 0, 0, 255));
    EXPECT_TRUE(screen.savedAsShown("button_disabled"));
}

TEST_F(ButtonTest, DimButtonNeverShowsThePressedImageButStillReports) {
    UIButton* button = makeButton();
    button->setTouchEventHandler(recorder, &Recorder::onTouch);
    button->setBright(false);
    showLayer(button);
    HeadlessView::touchBegan({320, 480});
    screen.step();
    EXPECT_TRUE(isColour(screen.at(320, 480), 0, 0, 255));
    EXPECT_TRUE(button->getVirtualRenderer()->isVisible());
    // The render node holds all three images and the title, so actions on it move the whole button.
    EXPECT_EQ(button->getVirtualRenderer()->getParent(), button->getRenderer());
    HeadlessView::touchMoved({600, 900});
    HeadlessView::touchMoved({320, 480});
    screen.step();
    EXPECT_TRUE(isColour(screen.at(320, 480), 0, 0, 255));
    HeadlessView::touchEnded({320, 480});
    screen.step();
    EXPECT_TRUE(isColour(screen.at(320, 480), 0, 0, 255));
    EXPECT_EQ(recorder->touchCodes, (std::vector<int>{0, 1, 1, 2}));

    button->setBright(true);
    screen.step();
    EXPECT_TRUE(isColour(screen.at(320, 480), 255, 0, 0));
}

TEST_F(ButtonTest, SizeFollowsNormalImageOrStretchesImages) {
    UIButton* button = makeButton();
    EXPECT_TRUE(button->isIgnoreContentSize());
    EXPECT_EQ(button->getSize(), CCSize(100, 40)); // the normal picture, not the pressed one
    EXPECT_FLOAT_EQ(button->getVirtualRenderer()->getScaleX(), 1.0f);

    button->setIgnoreContentSize(false);
    button->setSize({200, 40});
    EXPECT_EQ(button->getSize(), CCSize(200, 40));
    EXPECT_FLOAT_EQ(button->getVirtualRenderer()->getScaleX(), 2.0f);
    EXPECT_FLOAT_EQ(button->getVirtualRenderer()->getScaleY(), 1.0f);
    button->setFocused(true);
    EXPECT_FLOAT_EQ(button->getVirtualRenderer()->getScaleX(), 4.0f); // 50 wide picture
    EXPECT_FLOAT_EQ(button->getVirtualRenderer()->getScaleY(), 2.0f);

    showLayer(button);
    button->setFocused(false);
    screen.step();
    EXPECT_TRUE(isColour(screen.at(225, 480), 255, 0, 0));
    EXPECT_TRUE(isColour(screen.at(415, 480), 255, 0, 0));
    EXPECT_TRUE(isColour(screen.at(425, 480), 0, 0, 0));

    // Back to the content size; the custom size is remembered for later.
    button->setIgnoreContentSize(true);
    EXPECT_EQ(button->getSize(), CCSize(100, 40));
    EXPECT_FLOAT_EQ(button->getVirtualRenderer()->getScaleX(), 1.0f);
    button->setIgnoreContentSize(false);
    EXPECT_EQ(button->getSize(), CCSize(200, 40));
}

TEST_F(ButtonTest, NewNormalTextureResizesAButtonThatFollowsItsContent) {
    UIButton* button = makeButton();
    button->loadNormalTexture(image("wide.png", 160, 30, kYellow).c_str());
    EXPECT_EQ(button->getSize(), CCSize(160, 30));
    EXPECT_EQ(button->getContentSize(), CCSize(160, 30));
    button->loadPressedTexture(image("tall.png", 10, 90, kGreen).c_str());
    EXPECT_EQ(button->getSize(), CCSize(160, 30));
}

TEST_F(ButtonTest, NineSliceTurnsIgnoreSizeOffAndRestoresItAfter) {
    UIButton* button = makeButton();
    ASSERT_TRUE(button->isIgnoreContentSize());
    button->setNineSliceEnabled(true);
    EXPECT_FALSE(button->isIgnoreContentSize());
    EXPECT_NE(dynamic_cast<CCScale9Sprite*>(button->getVirtualRenderer()), nullptr);
    EXPECT_EQ(button->getBrightState(), gui::BRIGHT_NORMAL);
    EXPECT_TRUE(button->getVirtualRenderer()->isVisible());

    button->setIgnoreContentSize(true); // refused while nine-slice
    EXPECT_FALSE(button->isIgnoreContentSize());

    button->setNineSliceEnabled(false);
    EXPECT_TRUE(button->isIgnoreContentSize());
    EXPECT_NE(spriteOf(button->getVirtualRenderer()), nullptr);
    EXPECT_EQ(button->getSize(), CCSize(100, 40));

    // A button that did not follow its content gets that back instead.
    button->setIgnoreContentSize(false);
    button->setNineSliceEnabled(true);
    button->setNineSliceEnabled(false);
    EXPECT_FALSE(button->isIgnoreContentSize());
}

TEST_F(ButtonTest, NineSliceKeepsCornersAndInsetsOnScreen) {
    // 30 x 30: a 5-pixel white frame round red.
    UIButton* button = UIButton::create();
    button->setCapInsets(CCRect(5, 5, 20, 20));
    button->loadNormalTexture(image("framed.png", 30, 30, kRed, 5, kWhite).c_str());
    button->setNineSliceEnabled(true);
    button->setSize({200, 100});
    button->setPosition({320, 480});
    auto* nine = dynamic_cast<CCScale9Sprite*>(button->getVirtualRenderer());
    ASSERT_NE(nine, nullptr);
    EXPECT_EQ(nine->getCapInsets(), CCRect(5, 5, 20, 20));
    EXPECT_EQ(nine->getPreferredSize(), CCSize(200, 100));
    showLayer(button);
    // Left edge 220: the frame stays 5 points thick instead of stretching to 33.
    EXPECT_TRUE(isColour(screen.at(222, 480), 255, 255, 255));
    EXPECT_TRUE(isColour(screen.at(228, 480), 255, 0, 0));
    EXPECT_TRUE(isColour(screen.at(320, 528), 255, 255, 255));
    EXPECT_TRUE(isColour(screen.at(320, 520), 255, 0, 0));
    EXPECT_TRUE(screen.savedAsShown("button_nine_slice"));
}

TEST_F(ButtonTest, NineSliceSwitchKeepsTheDisabledLook) {
    UIButton* button = makeButton();
    button->setBright(false);
    button->setNineSliceEnabled(true);
    button->setSize({100, 40});
    showLayer(button);
    EXPECT_TRUE(isColour(screen.at(320, 480), 0, 0, 255));
    button->setBright(true);
    screen.step();
    EXPECT_TRUE(isColour(screen.at(320, 480), 255, 0, 0));
}

TEST_F(ButtonTest, TitleIsCentredAndKeepsItsColour) {
    UIButton* button = makeButton();
    button->setTitleText("Go");
    button->setTitleFontSize(20);
    button->setTitleFontName("Arial");
    button->setTitleColor(ccc3(44, 5, 247));
    CCLabelTTF* title = button->getTitleLabel();
    ASSERT_NE(title, nullptr);
    EXPECT_STREQ(button->getTitleText(), "Go");
    EXPECT_FLOAT_EQ(button->getTitleFontSize(), 20);
    EXPECT_STREQ(button->getTitleFontName(), "Arial");
    EXPECT_EQ(title->getPosition(), CCPoint(0, 0));
    button->setAnchorPoint({0, 0});
    EXPECT_EQ(title->getPosition(), CCPoint(50, 20));
    EXPECT_EQ(button->getVirtualRenderer()->getAnchorPoint(), CCPoint(0, 0));
    // The button's colour (and a tinted parent's) reaches the images, not the title.
    button->setColor(ccc3(128, 128, 128));
    EXPECT_EQ(title->getDisplayedColor(), ccc3(44, 5, 247));
    auto* normal = dynamic_cast<CCRGBAProtocol*>(button->getVirtualRenderer());
    ASSERT_NE(normal, nullptr);
    EXPECT_EQ(normal->getDisplayedColor(), ccc3(128, 128, 128));
    gui::UIWidget* parent = gui::UIWidget::create();
    parent->setColor(ccc3(0, 255, 0));
    parent->addChild(button);
    EXPECT_EQ(title->getDisplayedColor(), ccc3(44, 5, 247));
    button->setTitleColor(ccc3(10, 20, 30));
    EXPECT_EQ(title->getDisplayedColor(), ccc3(10, 20, 30));
    // Drawn over the images.
    EXPECT_GT(title->getZOrder(), button->getVirtualRenderer()->getZOrder());
}

TEST_F(ButtonTest, ImageLoadedAfterAnOpacityChangeIsNotDimmedTwice) {
    UIButton* button = makeButton();
    button->setOpacity(128);
    button->loadNormalTexture(image("late.png", 100, 40, kYellow).c_str());
    auto* normal = dynamic_cast<CCRGBAProtocol*>(button->getVirtualRenderer());
    ASSERT_NE(normal, nullptr);
    EXPECT_EQ(normal->getDisplayedOpacity(), 128);
    button->setColor(ccc3(128, 128, 128));
    button->loadNormalTexture(image("later.png", 100, 40, kYellow).c_str());
    normal = dynamic_cast<CCRGBAProtocol*>(button->getVirtualRenderer());
    EXPECT_EQ(normal->getDisplayedColor(), ccc3(128, 128, 128));
}

TEST_F(ButtonTest, FlipsImagesOutsideNineSliceOnly) {
    UIButton* button = makeButton();
    button->setFlipX(true);
    EXPECT_TRUE(button->isFlipX());
    EXPECT_TRUE(button->getTitleLabel()->isFlipX());
    button->setNineSliceEnabled(true);
    EXPECT_FALSE(button->isFlipX());
    button->setNineSliceEnabled(false);
    EXPECT_TRUE(button->isFlipX()); // the flip comes back with the plain images
}

TEST_F(ButtonTest, MissingOrEmptyTexturesAreLoggedAndHarmless) {
    UIButton* button = makeButton();
    testsupport::LogCapture log;
    button->loadNormalTexture("");
    button->loadNormalTexture(nullptr);
    EXPECT_EQ(button->getNormalFile(), "normal.png");
    EXPECT_EQ(button->getSize(), CCSize(100, 40));

    button->loadNormalTexture("normal.png", 7); // not a texture kind
    EXPECT_TRUE(log.contains("unknown kind 7"));
    EXPECT_EQ(button->getNormalFile(), "normal.png");

    button->loadPressedTexture("no/such/file.png");
    EXPECT_TRUE(log.contains("no/such/file.png"));
    button->loadNormalTexture("gone.png");
    EXPECT_TRUE(log.contains("gone.png"));
    EXPECT_EQ(button->getSize(), CCSize(0, 0));
    showLayer(button);
    HeadlessView::touchBegan({320, 480});
    HeadlessView::touchEnded({320, 480});
    button->setNineSliceEnabled(true);
    screen.step();
    EXPECT_TRUE(isColour(screen.at(320, 480), 0, 0, 0));
}

TEST_F(ButtonTest, CreatingAddingTouchingAndRemovingFreesEverything) {
    expectFreedAfterUse(
        [this] {
            UIButton* button = makeButton();
            button->setTitleText("Title");
            button->setNineSliceEnabled(true);
            button->setNineSliceEnabled(false);
            return button;
        },
        {320, 480});
}

} // namespace
