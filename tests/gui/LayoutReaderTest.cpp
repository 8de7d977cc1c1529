// The layout reader through real files: both property formats with every
// textured kind, resource references, defaults and wrong types, the design
// size, the sheets, what the tree draws, and bad input of every sort.
#include "gui/LayoutReader.h"

#include "engine/base/CCArray.h"
#include "engine/director/CCDirector.h"
#include "engine/nodes/CCLayer.h"
#include "engine/nodes/CCSpriteFrameCache.h"
#include "engine/text/CCLabelTTF.h"
#include "gui/Layout.h"
#include "gui/UIButton.h"
#include "gui/UICheckBox.h"
#include "gui/UIDragPanel.h"
#include "gui/UIImageView.h"
#include "gui/UILabel.h"
#include "gui/UILabelAtlas.h"
#include "gui/UILabelBMFont.h"
#include "gui/UILayer.h"
#include "gui/UILoadingBar.h"
#include "gui/UIPageView.h"
#include "gui/UIScrollView.h"
#include "gui/UISlider.h"
#include "gui/UITextField.h"
#include "gui/UIToolkit.h"
#include "support/PaintedImage.h"
#include "support/SceneTest.h"

#include <gtest/gtest.h>
#include <json/json.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using namespace engine;
using gui::Layout;
using gui::LayoutReader;
using gui::UIToolkit;
using gui::UIWidget;
using testsupport::isColour;
using testsupport::LogCapture;

namespace {

std::string fileContents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

const std::string kLayouts = std::string(LIRRA_TEST_DATA) + "/layouts";

template <class W = UIWidget> W* find(UIWidget* root, const std::string& name) {
    return dynamic_cast<W*>(UIToolkit::findWidgetByName(root, name));
}

std::vector<std::string> childNames(UIWidget* widget) {
    std::vector<std::string> names;
    for (CCObject* child : *widget->getChildren())
        names.push_back(static_cast<UIWidget*>(child)->getName());
    return names;
}

bool sameColour(const ccColor3B& a, const ccColor3B& b) {
    return a.r == b.r && a.g == b.g && a.b == b.b;
}

class LayoutReaderTest : public testsupport::SceneTest {
protected:
    void SetUp() override {
        UIToolkit::purgeToolkit();
        UIToolkit::setSpriteSheetLoader([this](const std::string& name) {
            loadedSheets.push_back(name);
            CCSpriteFrameCache::sharedSpriteFrameCache()->addSpriteFramesWithFile(name.c_str());
        });
        // The layout files and sheet are committed; the pictures are made here.
        for (const char* file : {"page_newer.json", "page_older.json", "ui.plist", "font.fnt"})
            resources().write(std::string("layouts/") + file, fileContents(kLayouts + "/" + file));
        testsupport::writePng(resources(), "layouts/ui.png", 128, 64,
                              {{0, 0, 60, 30, 0xffffff00},
                               {60, 0, 60, 30, 0xff00ffff},
                               {0, 30, 60, 30, 0xff808080},
                               {60, 30, 20, 20, 0xffffffff},
                               {80, 30, 24, 24, 0xffff00ff}});
        screen.writeImage("layouts/bg.png", 48, 48, 0xff00a000);
        screen.writeImage("layouts/button_normal.png", 100, 40, 0xffff0000);
        screen.writeImage("layouts/button_pressed.png", 100, 40, 0xff0000c8);
        screen.writeImage("layouts/button_disabled.png", 100, 40, 0xff808080);
        screen.writeImage("layouts/photo.png", 80, 60, 0xffff8000);
        screen.writeImage("layouts/frame.png", 30, 30, 0xffffffff);
        screen.writeImage("layouts/bar.png", 200, 20, 0xffc8c800);
        screen.writeImage("layouts/progress.png", 200, 20, 0xff00c8c8);
        for (const char* box : {"box", "box_selected", "box_disabled", "cross", "cross_disabled"})
            screen.writeImage(std::string("layouts/") + box + ".png", 32, 32, 0xff404040);
        screen.writeImage("layouts/charmap.png", 160, 24, 0xffffffff);
        screen.writeImage("layouts/font.png", 32, 16, 0xffffffff);
        SceneTest::SetUp(); // counts live objects once the toolkit is purged
    }
    void TearDown() override {
        UIToolkit::setSpriteSheetLoader(nullptr);
        UIToolkit::purgeToolkit();
        CCSpriteFrameCache::purgeSharedSpriteFrameCache();
    }

    static LayoutReader* reader() { return LayoutReader::instance(); }

    // Reads `text` written as layouts/<name>; standard output is kept in `out`.
    UIWidget* readText(const std::string& name, const std::string& text) {
        resources().write("layouts/" + name, text);
        return readFile("layouts/" + name);
    }
    UIWidget* readFile(const std::string& name) {
        ::testing::internal::CaptureStdout();
        UIWidget* root = reader()->readLayoutFile(name);
        out = ::testing::internal::GetCapturedStdout();
        return root;
    }

    // A document in the newer format holding one node; `options` is JSON text.
    static std::string oneNode(const std::string& className, const std::string& options,
                               const std::string& version = "\"1.0.0.0\"") {
        return R"({"designWidth": 640, "designHeight": 960, "version": )" + version +
               R"(, "widgetTree": {"classname": ")" + className + R"(", "children": [], "options": )" +
               options + "}}";
    }

    std::vector<std::string> loadedSheets;
    std::string out;
};

using LayoutReaderFormatTest = LayoutReaderTest;
using LayoutReaderPropertyTest = LayoutReaderTest;
using LayoutReaderDocumentTest = LayoutReaderTest;
using LayoutReaderBadInputTest = LayoutReaderTest;
using LayoutReaderDrawTest = LayoutReaderTest;

} // namespace

// --- both formats, every textured kind

TEST_F(LayoutReaderFormatTest, NewerFileBuildsTheTreeWithEveryKey) {
    LogCapture log;
    UIWidget* root = readFile("layouts/page_newer.json");
    ASSERT_NE(root, nullptr);
    EXPECT_FALSE(reader()->isOlderVersion());
    EXPECT_EQ(reader()->getFilePath(), "layouts/");
    EXPECT_EQ(out, "");

    auto* rootPanel = dynamic_cast<Layout*>(root);
    ASSERT_NE(rootPanel, nullptr);
    EXPECT_EQ(root->getName(), "root");
    EXPECT_EQ(root->getSize().width, 640);
    EXPECT_EQ(root->getSize().height, 960);
    EXPECT_EQ(rootPanel->getBackgroundColorType(), gui::LAYOUT_COLOR_SOLID);
    EXPECT_TRUE(sameColour(rootPanel->getBackgroundColor(), ccc3(30, 30, 60)));
    EXPECT_EQ(rootPanel->getBackgroundColorOpacity(), 255);
    EXPECT_EQ(rootPanel->getBackgroundGradientVector().y, -0.5f);
    EXPECT_FALSE(rootPanel->hasClipping());
    // A null "…Data" loads nothing.
    EXPECT_EQ(rootPanel->getBackgroundImageName(), "");
    // The skipped classes leave gaps, not widgets; nothing below them is attached.
    EXPECT_EQ(childNames(root),
              (std::vector<std::string>{"card", "sound", "photo", "frame9", "progress", "volume", "noBar",
                                        "title", "story", "score", "bitmapText", "nameField", "scroller"}));
    // A scroll view's children go into its inner container; it always clips.
    auto* scroller = find<gui::UIScrollView>(root, "scroller");
    ASSERT_NE(scroller, nullptr);
    EXPECT_EQ(scroller->getDirection(), gui::SCROLLVIEW_DIR_VERTICAL);
    EXPECT_EQ(scroller->getSize(), CCSize(200, 300));
    EXPECT_EQ(scroller->getInnerContainer()->getSize(), CCSize(200, 800));
    EXPECT_TRUE(scroller->hasClipping());
    UIWidget* insideScroll = find(root, "insideScroll");
    ASSERT_NE(insideScroll, nullptr);
    EXPECT_EQ(insideScroll->getParent(), scroller->getInnerContainer());
    EXPECT_EQ(find(root, "insideMystery"), nullptr);
    EXPECT_EQ(log.count("\"ListView\""), 1);
    EXPECT_EQ(log.count("\"Mystery\""), 1);

    auto* card = find<Layout>(root, "card");
    ASSERT_NE(card, nullptr);
    EXPECT_EQ(card->getTag(), 10);
    EXPECT_EQ(card->getActionTag(), 100);
    EXPECT_EQ(card->getPosition().x, 20);
    EXPECT_EQ(card->getPosition().y, 600);
    EXPECT_EQ(card->getSize().width, 300);
    EXPECT_EQ(card->getSize().height, 200);
    EXPECT_EQ(card->getAnchorPoint().x, 0);
    EXPECT_TRUE(card->hasClipping());
    EXPECT_EQ(card->getBackgroundColorType(), gui::LAYOUT_COLOR_GRADIENT);
    EXPECT_TRUE(sameColour(card->getBackgroundGradientStart(), ccc3(200, 0, 0)));
    EXPECT_TRUE(sameColour(card->getBackgroundGradientEnd(), ccc3(0, 0, 200)));
    EXPECT_EQ(card->getBackgroundGradientVector().y, -1);
    EXPECT_EQ(card->getBackgroundColorOpacity(), 200);
    EXPECT_TRUE(card->isBackgroundImageNineSlice());
    EXPECT_EQ(card->getBackgroundImageName(), "layouts/bg.png");
    EXPECT_EQ(card->getBackgroundImageKind(), gui::UI_TEX_TYPE_LOCAL);
    EXPECT_EQ(card->getBackgroundImageCapInsets().size.width, 16);
    // "ZOrder" 2 puts play after ok (1) among the card's children.
    EXPECT_EQ(childNames(card), (std::vector<std::string>{"ok", "play"}));

    auto* play = find<gui::UIButton>(root, "play");
    ASSERT_NE(play, nullptr);
    EXPECT_EQ(play->getNormalFile(), "sheet_normal.png");
    EXPECT_EQ(play->getPressedFile(), "sheet_pressed.png");
    EXPECT_EQ(play->getDisabledFile(), "sheet_disabled.png");
    EXPECT_EQ(play->getSize().width, 60); // the frame's size: ignoreSize is on
    EXPECT_EQ(play->getSize().height, 30);
    EXPECT_EQ(play->getTag(), 11);
    EXPECT_EQ(play->getActionTag(), 101);
    EXPECT_EQ(play->getZOrder(), 2);
    EXPECT_TRUE(play->isTouchEnabled());
    EXPECT_EQ(play->getPosition().x, 150);

    auto* ok = find<gui::UIButton>(root, "ok");
    ASSERT_NE(ok, nullptr);
    EXPECT_TRUE(ok->isNineSliceEnabled());
    EXPECT_EQ(ok->getNormalFile(), "layouts/button_normal.png");
    EXPECT_EQ(ok->getDisabledFile(), "layouts/button_disabled.png");
    EXPECT_EQ(ok->getSize().width, 160); // scale9Width wins over width
    EXPECT_EQ(ok->getSize().height, 50);
    EXPECT_EQ(ok->getCapInsetsPressed().origin.x, 10);
    EXPECT_EQ(ok->getCapInsetsPressed().size.width, 80);
    EXPECT_STREQ(ok->getTitleText(), "OK");
    EXPECT_TRUE(sameColour(ok->getTitleColor(), ccc3(0, 0, 0)));
    EXPECT_EQ(ok->getTitleFontSize(), 24);

    auto* sound = find<gui::UICheckBox>(root, "sound");
    ASSERT_NE(sound, nullptr);
    EXPECT_EQ(sound->getContentSize().width, 24); // the box comes from the sheet's frame
    EXPECT_EQ(sound->getActionTag(), 103);

    auto* photo = find<gui::UIImageView>(root, "photo");
    ASSERT_NE(photo, nullptr);
    EXPECT_EQ(photo->getTextureFile(), "layouts/photo.png");
    EXPECT_EQ(photo->getSize().width, 80);
    EXPECT_EQ(photo->getScaleX(), 2);
    EXPECT_TRUE(photo->isFlipX());
    EXPECT_EQ(photo->getAnchorPoint().x, 0);

    auto* frame9 = find<gui::UIImageView>(root, "frame9");
    ASSERT_NE(frame9, nullptr);
    EXPECT_TRUE(frame9->isNineSliceEnabled());
    EXPECT_EQ(frame9->getSize().width, 120);
    EXPECT_EQ(frame9->getSize().height, 80);
    EXPECT_EQ(frame9->getCapInsets().origin.y, 10);
    EXPECT_TRUE(sameColour(frame9->getColor(), ccc3(255, 255, 100)));

    auto* progress = find<gui::UILoadingBar>(root, "progress");
    ASSERT_NE(progress, nullptr);
    EXPECT_EQ(progress->getTextureFile(), "layouts/bar.png");
    EXPECT_EQ(progress->getPercent(), 50);
    EXPECT_EQ(progress->getDirection(), 0);

    auto* volume = find<gui::UISlider>(root, "volume");
    ASSERT_NE(volume, nullptr);
    EXPECT_EQ(volume->getBarFile(), "layouts/bar.png");
    EXPECT_EQ(volume->getProgressFile(), "layouts/progress.png");
    EXPECT_EQ(volume->getPercent(), 30);
    EXPECT_EQ(volume->getBarLength(), 200);

    // Without the key "barFileName" the bar is not loaded, "barFileNameData" or not.
    auto* noBar = find<gui::UISlider>(root, "noBar");
    ASSERT_NE(noBar, nullptr);
    EXPECT_EQ(noBar->getBarFile(), "");

    auto* title = find<gui::UILabel>(root, "title");
    ASSERT_NE(title, nullptr);
    EXPECT_STREQ(title->getStringValue(), "Hello");
    EXPECT_EQ(title->getFontSize(), 30);
    EXPECT_STREQ(title->getFontName(), "Arial");
    EXPECT_TRUE(title->isTouchScaleEnabled());
    EXPECT_TRUE(sameColour(title->getColor(), ccc3(255, 255, 0)));
    EXPECT_GT(title->getSize().width, 0); // sized by its text

    auto* story = find<gui::UILabel>(root, "story");
    ASSERT_NE(story, nullptr);
    EXPECT_STREQ(story->getStringValue(), "Once upon a time there was a small fox.");
    EXPECT_EQ(story->getVirtualRenderer()->getDimensions().width, 300);
    EXPECT_EQ(story->getVirtualRenderer()->getDimensions().height, 100);
    EXPECT_EQ(static_cast<int>(story->getVirtualRenderer()->getHorizontalAlignment()), 1);
    EXPECT_EQ(static_cast<int>(story->getVirtualRenderer()->getVerticalAlignment()), 1);
    EXPECT_EQ(story->getFontSize(), 20);

    auto* score = find<gui::UILabelAtlas>(root, "score");
    ASSERT_NE(score, nullptr);
    EXPECT_STREQ(score->getStringValue(), "123");
    EXPECT_EQ(score->getSize().width, 48); // three 16-point cells of layouts/charmap.png
    EXPECT_EQ(score->getSize().height, 24);

    auto* bitmapText = find<gui::UILabelBMFont>(root, "bitmapText");
    ASSERT_NE(bitmapText, nullptr);
    EXPECT_TRUE(bitmapText->isFontFileSet());
    EXPECT_STREQ(bitmapText->getStringValue(), "AB");
    EXPECT_GT(bitmapText->getSize().width, 0);

    auto* field = find<gui::UITextField>(root, "nameField");
    ASSERT_NE(field, nullptr);
    EXPECT_STREQ(field->getPlaceHolder(), "your name");
    EXPECT_TRUE(field->isMaxLengthEnabled());
    EXPECT_EQ(field->getMaxLength(), 8);
    EXPECT_TRUE(field->isPasswordEnabled());
    EXPECT_STREQ(field->getPasswordStyleText(), "#");
    EXPECT_EQ(field->getTouchSize().width, 200);
    EXPECT_EQ(field->getTouchSize().height, 40);
    EXPECT_EQ(field->getActionTag(), 113);
}

TEST_F(LayoutReaderFormatTest, OlderFileBuildsTheTreeWithEveryKey) {
    LogCapture log;
    UIWidget* root = readFile("layouts/page_older.json");
    ASSERT_NE(root, nullptr);
    EXPECT_TRUE(reader()->isOlderVersion());

    // Saved without a size: the root takes the design size of the file.
    EXPECT_EQ(root->getSize().width, 480);
    EXPECT_EQ(root->getSize().height, 800);
    EXPECT_EQ(UIToolkit::getInstance()->getFileDesignWidth(), 480);
    EXPECT_EQ(UIToolkit::getInstance()->getFileDesignHeight(), 800);
    auto* rootPanel = dynamic_cast<Layout*>(root);
    ASSERT_NE(rootPanel, nullptr);
    EXPECT_EQ(rootPanel->getBackgroundImageName(), "sheet_box.png");
    EXPECT_EQ(rootPanel->getBackgroundImageKind(), gui::UI_TEX_TYPE_PLIST);
    EXPECT_TRUE(sameColour(rootPanel->getBackgroundColor(), ccc3(0, 80, 0)));
    EXPECT_EQ(log.count("without \"classname\""), 1);
    auto* pages = find<gui::UIPageView>(root, "pages");
    ASSERT_NE(pages, nullptr);
    EXPECT_EQ(pages->getSize(), CCSize(200, 200));
    EXPECT_FALSE(pages->isTouchEnabled()); // as the file says
    auto* drag = find<gui::UIDragPanel>(root, "drag");
    ASSERT_NE(drag, nullptr);
    EXPECT_TRUE(drag->isBounceEnabled());
    EXPECT_FALSE(drag->isTouchEnabled()); // "touchAble" absent: false, as for any widget
    EXPECT_EQ(find(root, "noClass"), nullptr);

    auto* play = find<gui::UIButton>(root, "play");
    ASSERT_NE(play, nullptr);
    EXPECT_EQ(play->getNormalFile(), "sheet_normal.png"); // useMergedTexture: frame names unchanged
    EXPECT_EQ(play->getDisabledFile(), "sheet_disabled.png");
    EXPECT_EQ(play->getSize().width, 60);
    EXPECT_EQ(play->getTag(), 31);
    EXPECT_EQ(play->getActionTag(), 201);

    auto* ok = find<gui::UIButton>(root, "ok");
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->getPressedFile(), "layouts/button_pressed.png");
    EXPECT_TRUE(ok->isNineSliceEnabled());
    EXPECT_EQ(ok->getSize().width, 140);
    EXPECT_EQ(ok->getSize().height, 44);
    EXPECT_EQ(ok->getCapInsetsDisabled().size.height, 20);
    EXPECT_STREQ(ok->getTitleText(), "Go");
    EXPECT_TRUE(sameColour(ok->getTitleColor(), ccc3(0, 0, 255)));
    EXPECT_EQ(ok->getTitleFontSize(), 18);

    auto* sound = find<gui::UICheckBox>(root, "sound");
    ASSERT_NE(sound, nullptr);
    EXPECT_EQ(sound->getContentSize().width, 32); // layouts/box.png
    EXPECT_TRUE(sound->isTouchEnabled());

    auto* photo = find<gui::UIImageView>(root, "photo");
    ASSERT_NE(photo, nullptr);
    EXPECT_EQ(photo->getTextureFile(), "layouts/photo.png");
    EXPECT_EQ(photo->getOpacity(), 128);
    EXPECT_TRUE(photo->isFlipY());
    EXPECT_FALSE(photo->isFlipX());

    auto* frame9 = find<gui::UIImageView>(root, "frame9");
    ASSERT_NE(frame9, nullptr);
    EXPECT_TRUE(frame9->isNineSliceEnabled());
    EXPECT_EQ(frame9->getSize().width, 100);
    EXPECT_EQ(frame9->getSize().height, 90);
    EXPECT_EQ(frame9->getCapInsets().size.width, 10);

    auto* progress = find<gui::UILoadingBar>(root, "progress");
    ASSERT_NE(progress, nullptr);
    EXPECT_EQ(progress->getDirection(), 1);
    EXPECT_EQ(progress->getPercent(), 25);

    auto* volume = find<gui::UISlider>(root, "volume");
    ASSERT_NE(volume, nullptr);
    EXPECT_TRUE(volume->isNineSliceEnabled());
    EXPECT_EQ(volume->getBarFile(), "sheet_normal.png");
    EXPECT_EQ(volume->getProgressFile(), "sheet_pressed.png");
    // A nine-slice bar takes "length" as its width and keeps its height.
    EXPECT_EQ(volume->getSize().width, 300);
    EXPECT_EQ(volume->getSize().height, 30);
    EXPECT_EQ(volume->getPercent(), 40);
    // Anchors default to 0.5 when the keys are missing.
    EXPECT_EQ(volume->getAnchorPoint().x, 0.5f);

    auto* title = find<gui::UILabel>(root, "title");
    ASSERT_NE(title, nullptr);
    EXPECT_STREQ(title->getStringValue(), "Chapter one");
    EXPECT_FALSE(title->isTouchScaleEnabled());
    EXPECT_EQ(title->getFontSize(), 26);

    auto* story = find<gui::UILabel>(root, "story");
    ASSERT_NE(story, nullptr);
    EXPECT_TRUE(sameColour(story->getColor(), ccc3(128, 0, 0)));
    EXPECT_EQ(story->getVirtualRenderer()->getDimensions().width, 200);
    EXPECT_EQ(static_cast<int>(story->getVirtualRenderer()->getHorizontalAlignment()), 0);
    EXPECT_EQ(static_cast<int>(story->getVirtualRenderer()->getVerticalAlignment()), 2);

    auto* score = find<gui::UILabelAtlas>(root, "score");
    ASSERT_NE(score, nullptr);
    EXPECT_STREQ(score->getStringValue(), "4071");
    EXPECT_EQ(score->getSize().width, 64);

    auto* bitmapText = find<gui::UILabelBMFont>(root, "bitmapText");
    ASSERT_NE(bitmapText, nullptr);
    EXPECT_TRUE(bitmapText->isFontFileSet());
    EXPECT_STREQ(bitmapText->getStringValue(), "BA");

    auto* field = find<gui::UITextField>(root, "nameField");
    ASSERT_NE(field, nullptr);
    EXPECT_STREQ(field->getStringValue(), "Ann");
    EXPECT_STREQ(field->getPlaceHolder(), "name");
    EXPECT_EQ(field->getMaxLength(), 5);
    EXPECT_FALSE(field->isPasswordEnabled());
    EXPECT_FALSE(field->isUseTouchArea());
}

TEST_F(LayoutReaderFormatTest, VersionPicksTheKeysThatAreRead) {
    // The node carries both formats' keys; only one of them may be used.
    const std::string options =
        R"({"name": "b", "normal": "button_normal.png", "useMergedTexture": false,
            "normalData": {"path": "button_pressed.png", "resourceType": 0}})";
    struct Case {
        std::string version;
        bool older;
    } cases[] = {{"\"1.0.0.0\"", false}, {"\"0.2.5.0\"", false}, {"\"0.2.4.0\"", true},
                 {"\"0.2.4.9\"", true},  {"\"1.0.0\"", true},    {"1000", true},
                 {"\"12.0.0.0\"", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version);
        UIWidget* root = readText("v.json", oneNode("Button", options, c.version));
        auto* button = dynamic_cast<gui::UIButton*>(root);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(reader()->isOlderVersion(), c.older);
        EXPECT_EQ(button->getNormalFile(),
                  c.older ? "layouts/button_normal.png" : "layouts/button_pressed.png");
    }
    // Without "version" at all: older.
    std::string noVersion = R"({"designWidth": 640, "designHeight": 960, "widgetTree": {"classname": "Button",
        "options": )" + options +
                            "}}";
    auto* button = dynamic_cast<gui::UIButton*>(readText("nv.json", noVersion));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->getNormalFile(), "layouts/button_normal.png");

    EXPECT_EQ(LayoutReader::versionWorth("1.0.0.0"), 1000);
    EXPECT_EQ(LayoutReader::versionWorth("0.2.4.0"), 240);
    EXPECT_EQ(LayoutReader::versionWorth("1.2.3.4"), 1234);
    EXPECT_EQ(LayoutReader::versionWorth("x.y.z.w"), 0);
    EXPECT_GT(LayoutReader::versionWorth("99999999999999999999.0.0.0"), 0); // no overflow into negatives
}

// --- resources and properties

TEST_F(LayoutReaderPropertyTest, ResourceTypesNameFilesOrFrames) {
    struct Case {
        std::string data;
        std::string file;
    } cases[] = {
        {R"({"path": "sheet_normal.png", "resourceType": 1})", "sheet_normal.png"},
        {R"({"path": "button_normal.png", "resourceType": 0})", "layouts/button_normal.png"},
        {R"({"path": "button_normal.png", "resourceType": 7})", ""}, // unknown type: nothing
        {R"({"path": "", "resourceType": 0})", ""},
        {R"({"resourceType": 0})", ""},
        {R"({"path": 3, "resourceType": 0})", ""},
        {R"("button_normal.png")", ""},
    };
    readFile("layouts/page_newer.json"); // loads the sheet
    for (const Case& c : cases) {
        SCOPED_TRACE(c.data);
        auto* button = dynamic_cast<gui::UIButton*>(
            readText("r.json", oneNode("Button", R"({"normalData": )" + c.data + "}")));
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->getNormalFile(), c.file);
    }
    // A frame of type 1 really comes from the sheet: it has the frame's size.
    auto* fromFrame = dynamic_cast<gui::UIButton*>(readText(
        "f.json", oneNode("Button", R"({"normalData": {"path": "sheet_box.png", "resourceType": 1}})")));
    ASSERT_NE(fromFrame, nullptr);
    EXPECT_EQ(fromFrame->getSize().width, 24);

    // Older format: an empty name loads nothing, not the folder.
    auto* older = dynamic_cast<gui::UIButton*>(readText(
        "o.json", oneNode("Button", R"({"normal": "", "pressed": "button_pressed.png"})", "\"0.1.0.0\"")));
    ASSERT_NE(older, nullptr);
    EXPECT_EQ(older->getNormalFile(), "");
    EXPECT_EQ(older->getPressedFile(), "layouts/button_pressed.png");
}

TEST_F(LayoutReaderPropertyTest, MissingKeysTakeTheirDefaults) {
    UIWidget* widget = readText("d.json", oneNode("ImageView", R"({"colorR": 10})"));
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->getName(), "default");
    EXPECT_EQ(widget->getTag(), 0); // the reader writes 0 over the widget's own -1
    EXPECT_EQ(widget->getActionTag(), 0);
    EXPECT_TRUE(sameColour(widget->getColor(), ccc3(10, 255, 255)));
    EXPECT_EQ(widget->getAnchorPoint().x, 0.5f);
    EXPECT_EQ(widget->getAnchorPoint().y, 0.5f);
    EXPECT_FALSE(widget->isTouchEnabled());
    EXPECT_TRUE(widget->isVisible());
    EXPECT_EQ(widget->getOpacity(), 255);
    EXPECT_EQ(widget->getPosition().x, 0);
    EXPECT_EQ(widget->getScaleX(), 1);

    // No "options" at all reads like empty options; a panel then takes 0.5 anchors too.
    auto* panel = dynamic_cast<Layout*>(readText(
        "p.json", R"({"designWidth": 640, "designHeight": 960, "widgetTree": {"classname": "Panel"}})"));
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->getAnchorPoint().x, 0.5f);
    EXPECT_EQ(panel->getName(), "default");
    EXPECT_EQ(panel->getBackgroundColorType(), gui::LAYOUT_COLOR_NONE);
    EXPECT_FALSE(panel->hasClipping());
}

TEST_F(LayoutReaderPropertyTest, WrongValueTypesCountAsMissing) {
    LogCapture log;
    UIWidget* widget = readText(
        "w.json", oneNode("ImageView", R"({"name": 5, "tag": "7", "actiontag": 1e20, "x": true, "y": "3",
            "visible": "no", "touchAble": 1, "anchorPointX": "0", "colorR": 300, "colorG": -4,
            "opacity": -5, "scaleX": null, "ZOrder": 2.9, "width": [1], "flipX": "yes"})"));
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->getName(), "default");
    EXPECT_EQ(widget->getTag(), 0);
    EXPECT_EQ(widget->getActionTag(), 2147483647); // clamped, not thrown
    EXPECT_EQ(widget->getPosition().x, 1);         // booleans count as numbers
    EXPECT_EQ(widget->getPosition().y, 0);
    EXPECT_TRUE(widget->isVisible());
    EXPECT_FALSE(widget->isTouchEnabled()); // only a boolean switches it
    EXPECT_EQ(widget->getAnchorPoint().x, 0.5f);
    EXPECT_TRUE(sameColour(widget->getColor(), ccc3(255, 0, 255))); // 300 and -4 clamp
    EXPECT_EQ(widget->getOpacity(), 0);
    EXPECT_EQ(widget->getScaleX(), 1);
    EXPECT_EQ(widget->getZOrder(), 2);
    EXPECT_FALSE(widget->isFlipX());

    // Options that are not an object, children that are not an array or not objects.
    UIWidget* root = readText("c.json", R"({"designWidth": 640, "designHeight": 960, "version": "1.0.0.0",
        "widgetTree": {"classname": "Panel", "options": [1, 2], "children": [3, "x",
            {"classname": "ImageView", "options": {"name": "kept"}, "children": {"a": 1}}]}})");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->getName(), "default");
    EXPECT_EQ(childNames(root), (std::vector<std::string>{"kept"}));
    EXPECT_EQ(find(root, "kept")->getChildren()->count(), 0u);
    EXPECT_EQ(log.count("is not an object"), 2);
}

// What the reader tells its observer is what the widgets load, each under
// the key that names it.
TEST_F(LayoutReaderPropertyTest, ObserverHearsEachResourceAsItIsLoaded) {
    struct Heard : gui::LayoutObserver {
        void resourceNamed(const gui::NamedResource& resource) override {
            lines.push_back(std::to_string(resource.kind) + " " + resource.key + " " + resource.name);
        }
        void optionsIgnored(const std::string& className) override {
            lines.push_back("ignored " + className);
        }
        std::vector<std::string> lines;
    } heard;
    using R = gui::NamedResource;
    reader()->setObserver(&heard);
    readText("b.json",
             R"({"designWidth": 640, "designHeight": 960, "version": "1.0.0.0", "textures": ["ui.plist"],
        "widgetTree": {"classname": "Button", "options": {
            "normalData": {"path": "button_normal.png", "resourceType": 0},
            "pressedData": {"path": "sheet_box.png", "resourceType": 1},
            "disabledData": {"path": "button_disabled.png", "resourceType": 7}}}})");
    EXPECT_EQ(heard.lines,
              (std::vector<std::string>{std::to_string(R::kSpriteSheet) + " textures layouts/ui.plist",
                                        std::to_string(R::kPicture) + " normalData layouts/button_normal.png",
                                        std::to_string(R::kSpriteFrame) + " pressedData sheet_box.png"}));

    // A slider's bar only with the older key; a bitmap font as a font.
    heard.lines.clear();
    readText("s.json", oneNode("Slider", R"({"barFileNameData": {"path": "bar.png", "resourceType": 0}})"));
    readText("f.json", oneNode("LabelBMFont", R"({"fileName": "font.fnt"})", "\"0.1.0.0\""));
    EXPECT_EQ(heard.lines,
              (std::vector<std::string>{std::to_string(R::kBitmapFont) + " fileName layouts/font.fnt"}));

    // A name holding a NUL byte is told whole; the widget loads what comes before it.
    heard.lines.clear();
    auto* button = dynamic_cast<gui::UIButton*>(
        readText("n.json", oneNode("Button", R"({"normal": "button_normal.png\u0000x"})", "\"0.1.0.0\"")));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->getNormalFile(), "layouts/button_normal.png");
    EXPECT_EQ(heard.lines,
              (std::vector<std::string>{std::to_string(R::kPicture) + " normal layouts/button_normal.png" +
                                        std::string(1, '\0') + "x"}));

    heard.lines.clear();
    readText("o.json", oneNode("ImageView", "[1, 2]"));
    EXPECT_EQ(heard.lines, (std::vector<std::string>{"ignored ImageView"}));

    heard.lines.clear();
    reader()->setObserver(nullptr);
    readText("b2.json",
             oneNode("ImageView", R"({"fileNameData": {"path": "photo.png", "resourceType": 0}})"));
    EXPECT_TRUE(heard.lines.empty());
}

// --- the document

TEST_F(LayoutReaderDocumentTest, SheetsAreHandedOnOnceUntilThePurge) {
    ASSERT_NE(readFile("layouts/page_newer.json"), nullptr); // lists ui.plist twice and a number
    ASSERT_NE(readFile("layouts/page_older.json"), nullptr);
    EXPECT_EQ(loadedSheets, (std::vector<std::string>{"layouts/ui.plist"}));
    UIToolkit::purgeToolkit();
    EXPECT_FALSE(LayoutReader::hasInstance()); // the purge takes the reader with it
    ASSERT_NE(readFile("layouts/page_older.json"), nullptr);
    EXPECT_EQ(loadedSheets, (std::vector<std::string>{"layouts/ui.plist", "layouts/ui.plist"}));
}

TEST_F(LayoutReaderDocumentTest, DesignSizeFallsBackToTheWindow) {
    CCSize win = CCDirector::sharedDirector()->getWinSize();
    struct Case {
        std::string sizes;
    } cases[] = {{""},
                 {R"("designWidth": 0, "designHeight": 960,)"},
                 {R"("designWidth": 500, "designHeight": -1,)"},
                 {R"("designWidth": "640", "designHeight": "960",)"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sizes);
        UIToolkit::getInstance()->setFileDesignWidth(1);
        UIWidget* root = readText("s.json", "{" + c.sizes + R"("widgetTree": {"classname": "Panel"}})");
        ASSERT_NE(root, nullptr);
        EXPECT_EQ(out, "Read design size error!\n");
        EXPECT_EQ(UIToolkit::getInstance()->getFileDesignWidth(), win.width);
        EXPECT_EQ(UIToolkit::getInstance()->getFileDesignHeight(), win.height);
        // The root without a size takes the size in use, never a zero or negative one.
        EXPECT_EQ(root->getSize().width, win.width);
        EXPECT_EQ(root->getSize().height, win.height);
    }
    UIWidget* root = readText("ok.json", R"({"designWidth": 320.5, "designHeight": 480,
        "widgetTree": {"classname": "Panel", "options": {"width": 100, "height": 50}}})");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(out, "");
    EXPECT_EQ(UIToolkit::getInstance()->getFileDesignWidth(), 320.5f);
    EXPECT_EQ(root->getSize().width, 100); // a root with a size keeps it
}

TEST_F(LayoutReaderDocumentTest, ReadingFromMemoryMatchesReadingTheFile) {
    std::string text = fileContents(kLayouts + "/page_newer.json");
    UIWidget* fromMemory = reader()->readLayoutData(text, "layouts/page_newer.json");
    ASSERT_NE(fromMemory, nullptr);
    EXPECT_EQ(reader()->getFilePath(), "layouts/");
    EXPECT_EQ(find<gui::UIImageView>(fromMemory, "photo")->getTextureFile(), "layouts/photo.png");
    EXPECT_EQ(childNames(fromMemory).size(), 13u);
}

// --- bad input

TEST_F(LayoutReaderBadInputTest, MissingOrEmptyFileAnswersNone) {
    LogCapture log;
    EXPECT_EQ(readFile("layouts/nothing.json"), nullptr);
    EXPECT_EQ(out, "read json file[layouts/nothing.json] error!\n");
    EXPECT_TRUE(log.contains("layouts/nothing.json not found"));
    EXPECT_EQ(readText("empty.json", ""), nullptr);
    EXPECT_EQ(out, "read json file[layouts/empty.json] error!\n");
    EXPECT_EQ(readFile("/etc/passwd"), nullptr);
    EXPECT_EQ(out, "read json file[/etc/passwd] error!\n");
    EXPECT_EQ(readFile("layouts"), nullptr); // a folder
    EXPECT_EQ(out, "read json file[layouts] error!\n");
}

TEST_F(LayoutReaderBadInputTest, TextThatDoesNotParseReadsAsADocumentWithoutKeys) {
    std::string whole = fileContents(kLayouts + "/page_newer.json");
    const std::string texts[] = {whole.substr(0, whole.size() / 2),
                                 "{\"widgetTree\": {\"classname\": \"Panel\",}",
                                 "not json at all",
                                 "[1, 2, 3]",
                                 "42",
                                 std::string("{\"a\":\0}", 7),
                                 "   "};
    for (const std::string& text : texts) {
        SCOPED_TRACE(text.substr(0, 40));
        LogCapture log;
        loadedSheets.clear();
        EXPECT_EQ(readText("bad.json", text), nullptr);
        // Every key takes its default: no sheets, no design size, no tree.
        EXPECT_EQ(out, "Read design size error!\n");
        EXPECT_TRUE(loadedSheets.empty());
        EXPECT_TRUE(log.contains("layouts/bad.json"));
        EXPECT_TRUE(reader()->isOlderVersion());
    }
}

TEST_F(LayoutReaderBadInputTest, MissingTreeOrUnknownRootClassAnswersNone) {
    LogCapture log;
    EXPECT_EQ(readText("nt.json", R"({"designWidth": 640, "designHeight": 960, "version": "1.0.0.0"})"),
              nullptr);
    EXPECT_TRUE(log.contains("no \"widgetTree\""));
    EXPECT_EQ(readText("st.json", R"({"designWidth": 640, "designHeight": 960, "widgetTree": "Panel"})"),
              nullptr);
    EXPECT_EQ(readText("uc.json", oneNode("Gizmo", R"({"name": "g"})")), nullptr);
    EXPECT_TRUE(log.contains("unknown class \"Gizmo\""));
    EXPECT_EQ(readText("lv.json", oneNode("ListView", "{}")), nullptr);
    EXPECT_EQ(reader()->readWidgetNode(nullptr), nullptr);
}

TEST_F(LayoutReaderBadInputTest, DeepTreesEndInADefinedResult) {
    // Panels nested `levels` deep, each one the only child of the one above.
    auto nested = [](int levels) {
        std::string text = R"({"designWidth": 640, "designHeight": 960, "widgetTree": )";
        for (int i = 0; i < levels; ++i)
            text +=
                R"({"classname": "Panel", "options": {"tag": )" + std::to_string(i) + R"(}, "children": [)";
        for (int i = 0; i < levels; ++i)
            text += "]}";
        return text + "}";
    };
    auto depthOf = [](UIWidget* widget) {
        int depth = 0;
        for (; widget; ++depth)
            widget = widget->getChildren()->count()
                         ? static_cast<UIWidget*>(widget->getChildren()->objectAtIndex(0))
                         : nullptr;
        return depth;
    };
    LogCapture log;
    // Within the parser's nesting limit the whole tree is built.
    UIWidget* built = readText("deep400.json", nested(400));
    ASSERT_NE(built, nullptr);
    EXPECT_EQ(depthOf(built), 400);
    // 10,000 levels are beyond it: refused as text that does not parse.
    EXPECT_EQ(readText("deep10000.json", nested(10000)), nullptr);
    EXPECT_TRUE(log.contains("layouts/deep10000.json is not valid JSON"));

    // A tree made in memory, deeper than the reader builds, is cut with one line.
    Json::Value tree(Json::objectValue);
    Json::Value* node = &tree;
    for (int i = 0; i < LayoutReader::kMaxWidgetDepth + 50; ++i) {
        (*node)["classname"] = "Panel";
        node = &(*node)["children"][0];
    }
    (*node)["classname"] = "Panel";
    log.clear();
    UIWidget* capped = reader()->readWidgetNode(&tree);
    ASSERT_NE(capped, nullptr);
    EXPECT_EQ(depthOf(capped), LayoutReader::kMaxWidgetDepth);
    EXPECT_EQ(log.count("deeper than"), 1);
}

TEST_F(LayoutReaderBadInputTest, ACrowdedPageIsCutAtItsWidgetAndPictureLimits) {
    auto panelOf = [](const std::string& children) {
        return R"({"designWidth": 640, "designHeight": 960, "version": "1.0.0.0", "widgetTree":
                  {"classname": "Panel", "options": {"name": "root"}, "children": [)" +
               children + "]}}";
    };
    testsupport::LogCapture log;
    std::string buttons;
    for (int i = 0; i < 1500; ++i)
        buttons += std::string(i ? "," : "") + R"({"classname": "Button", "options": {"name": "b)" +
                   std::to_string(i) + R"("}})";
    UIWidget* crowd = readText("crowd.json", panelOf(buttons));
    ASSERT_NE(crowd, nullptr);
    // The root is one of the widgets; the first buttons in file order stay.
    EXPECT_EQ(crowd->getChildren()->count(), static_cast<unsigned>(LayoutReader::kMaxWidgets - 1));
    EXPECT_NE(find(crowd, "b0"), nullptr);
    EXPECT_EQ(find(crowd, "b999"), nullptr);
    EXPECT_EQ(log.count("layouts/crowd.json: more than 1000 widgets; the rest are left out"), 1);

    // photo.png is 80 x 60: scaled 8 x 16 it covers a whole page.
    std::string pages;
    for (int i = 0; i < 40; ++i)
        pages += std::string(i ? "," : "") +
                 R"({"classname": "ImageView", "options": {"scaleX": 8, "scaleY": 16,
                     "fileNameData": {"resourceType": 0, "path": "photo.png"}}})";
    log.clear();
    UIWidget* covered = readText("covered.json", panelOf(pages));
    ASSERT_NE(covered, nullptr);
    EXPECT_EQ(covered->getChildren()->count(), static_cast<unsigned>(LayoutReader::kMaxPicturePages));
    EXPECT_EQ(log.count("layouts/covered.json: pictures over more than 12 times the page's area"), 1);
}

TEST_F(LayoutReaderBadInputTest, HugeFilesAreReadOrRefusedWhole) {
    // 50 MB: a small tree behind a large section that the reader does not use.
    std::string filler(50u << 20, 'x');
    std::string text =
        R"({"designWidth": 640, "designHeight": 960, "version": "1.0.0.0", "animation": {"pad": ")" + filler +
        R"("}, "widgetTree": {"classname": "Panel", "options": {"name": "big"}}})";
    UIWidget* root = readText("huge.json", text);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->getName(), "big");
    // The same file cut short before its tree.
    text.resize(text.size() - 60);
    EXPECT_EQ(readText("huge_cut.json", text), nullptr);
    EXPECT_EQ(out, "Read design size error!\n");
}

// --- what the tree draws

TEST_F(LayoutReaderDrawTest, NewerPageDrawsItsBackgroundsAndImages) {
    UIWidget* root = readFile("layouts/page_newer.json");
    ASSERT_NE(root, nullptr);
    gui::UILayer* layer = gui::UILayer::create();
    layer->addWidget(root);
    screen.show(layer);
    EXPECT_TRUE(screen.savedAsShown("layout_reader_newer"));
    // Root: solid (30, 30, 60) where nothing else lies.
    EXPECT_TRUE(isColour(screen.at(600, 30), 30, 30, 60));
    // Photo: 80 x 60 from (400, 700), stretched twice as wide, orange.
    EXPECT_TRUE(isColour(screen.at(405, 705), 255, 128, 0));
    EXPECT_TRUE(isColour(screen.at(555, 755), 255, 128, 0));
    EXPECT_TRUE(isColour(screen.at(565, 705), 30, 30, 60));
    // Play: the yellow frame, 60 x 30 around (170, 700) inside the card.
    EXPECT_TRUE(isColour(screen.at(170, 700), 255, 255, 0));
    EXPECT_TRUE(isColour(screen.at(145, 712), 255, 255, 0));
    // Nine-slice frame tinted (255, 255, 100), 120 x 80 around (500, 560).
    EXPECT_TRUE(isColour(screen.at(445, 525), 255, 255, 100));
    EXPECT_TRUE(isColour(screen.at(555, 595), 255, 255, 100));
    // Loading bar at 50 %: the left half of its 200 points around x 320.
    EXPECT_TRUE(isColour(screen.at(230, 400), 200, 200, 0));
    EXPECT_TRUE(isColour(screen.at(310, 400), 200, 200, 0));
    EXPECT_TRUE(isColour(screen.at(330, 400), 30, 30, 60));
}
