// Text fields as widgets: the keyboard opened by a touch, typed text and
// keys injected through the view, the four events reported one frame later
// in their order, the length limit in characters, password mode,
// and what the field draws after typing, headless.
#include "engine/base/CCAutoreleasePool.h"
#include "engine/base/CCObject.h"
#include "engine/platform/CCEGLView.h"
#include "engine/text/CCIMEDispatcher.h"
#include "engine/text/CCLabelTTF.h"
#include "gui/UICCTextField.h"
#include "gui/UILayer.h"
#include "gui/UITextField.h"
#include "support/SceneTest.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace engine;
using gui::UICCTextField;
using gui::UITextField;
using testsupport::HeadlessView;

namespace {

// Records the field's handlers in the order they run.
class Recorder : public CCObject {
public:
    void onAttach(CCObject*) { calls.push_back("attach"); }
    void onDetach(CCObject*) { calls.push_back("detach"); }
    void onInsert(CCObject*) { calls.push_back("insert"); }
    void onDelete(CCObject*) { calls.push_back("delete"); }
    void onEvent(CCObject* sender, int type) {
        calls.push_back("event " + std::to_string(type));
        senders.push_back(sender);
    }
    void bindAll(UITextField* field) {
        field->setAttachHandler(this, &Recorder::onAttach);
        field->setDetachHandler(this, &Recorder::onDetach);
        field->setInsertHandler(this, &Recorder::onInsert);
        field->setDeleteHandler(this, &Recorder::onDelete);
        field->setTextFieldEventHandler(this, &Recorder::onEvent);
    }
    std::vector<std::string> calls;
    std::vector<CCObject*> senders;
};

// Drops the field from its tree when the keyboard lets go of it.
class Closer : public CCObject {
public:
    void onDetach(CCObject* sender) { static_cast<UITextField*>(sender)->removeFromParent(); }
};

void type(const std::string& text) {
    CCEGLView::sharedOpenGLView()->dispatchText(text);
}

void key(const std::string& name) {
    CCEGLView::sharedOpenGLView()->dispatchKey(name);
}

// What the field shows, which in password mode is not its text.
std::string shown(UITextField* field) {
    return static_cast<CCLabelTTF*>(field->getVirtualRenderer())->CCLabelTTF::getString();
}

class TextFieldWidgetTest : public testsupport::SceneTest {
protected:
    void TearDown() override {
        CCEGLView::sharedOpenGLView()->setKeyHandler(nullptr);
        CCEGLView::sharedOpenGLView()->setTextHandler(nullptr);
    }
    // A field at the centre of a running UI layer, one frame drawn.
    UITextField* showField() {
        UITextField* field = UITextField::create();
        field->setFontName("Arial");
        field->setFontSize(40);
        field->setPosition({320, 480});
        field->setTouchEnabled(true);
        layer = gui::UILayer::create();
        layer->addWidget(field);
        screen.show(layer);
        return field;
    }
    static void tap(const CCPoint& point) {
        HeadlessView::touchBegan(point);
        HeadlessView::touchEnded(point);
    }
    // The brightest channel in the design rectangle `area` of the last frame.
    int brightest(const CCRect& area) const {
        int best = 0;
        for (float y = area.getMinY() + 0.5f; y < area.getMaxY(); y += 1.0f)
            for (float x = area.getMinX() + 0.5f; x < area.getMaxX(); x += 1.0f) {
                testsupport::Pixel p = screen.at(x, y);
                best = std::max({best, p.r, p.g, p.b});
            }
        return best;
    }
    gui::UILayer* layer = nullptr;
};

TEST_F(TextFieldWidgetTest, FieldTakesTheSizeOfWhatItShows) {
    UITextField* field = UITextField::create();
    EXPECT_EQ(field->getSize(), field->getVirtualRenderer()->getContentSize());
    CCSize before = field->getSize();
    field->setPlaceHolder("?");
    EXPECT_LT(field->getSize().width, before.width);
    field->setText("a much longer text than the placeholder");
    EXPECT_GT(field->getSize().width, before.width);

    // Kept from the layout file, but hit testing stays on the widget's size.
    field->setTouchSize({500, 500});
    EXPECT_TRUE(field->isUseTouchArea());
    EXPECT_EQ(field->getTouchSize(), CCSizeMake(500, 500));
    field->setPosition({320, 480});
    EXPECT_FALSE(field->hitTest({320, 480 + field->getSize().height}));
}

TEST_F(TextFieldWidgetTest, KeyboardEventsReachHandlersOneFrameLaterInTheirOrder) {
    UITextField* field = showField();
    Recorder recorder;
    recorder.bindAll(field);

    // Everything in one frame: attach, two insertions, a deletion, Return.
    HeadlessView::touchBegan({320, 480});
    EXPECT_EQ(CCIMEDispatcher::sharedDispatcher()->getAttachedDelegate(), field->getVirtualRenderer());
    HeadlessView::touchEnded({320, 480});
    type("ab");
    type("c");
    key("Backspace");
    key("Return");
    EXPECT_STREQ(field->getStringValue(), "ab");
    EXPECT_EQ(CCIMEDispatcher::sharedDispatcher()->getAttachedDelegate(), nullptr);
    EXPECT_TRUE(recorder.calls.empty()) << "a handler ran inside the keyboard event";

    screen.step();
    std::vector<std::string> expected{"attach", "event 0", "detach", "event 1",
                                      "insert", "event 2", "delete", "event 3"};
    EXPECT_EQ(recorder.calls, expected);
    for (CCObject* sender : recorder.senders)
        EXPECT_EQ(sender, field);

    // Each event once: the next frame is quiet.
    screen.step();
    EXPECT_EQ(recorder.calls.size(), expected.size());

    // One keystroke, one frame later.
    recorder.calls.clear();
    tap({320, 480});
    screen.step();
    type("d");
    EXPECT_EQ(recorder.calls, (std::vector<std::string>{"attach", "event 0"}));
    screen.step();
    EXPECT_EQ(recorder.calls, (std::vector<std::string>{"attach", "event 0", "insert", "event 2"}));

    // closeKeyboard lets go, reported on the next frame too.
    recorder.calls.clear();
    field->closeKeyboard();
    EXPECT_EQ(CCIMEDispatcher::sharedDispatcher()->getAttachedDelegate(), nullptr);
    EXPECT_TRUE(recorder.calls.empty());
    screen.step();
    EXPECT_EQ(recorder.calls, (std::vector<std::string>{"detach", "event 1"}));

    // Unbound handlers stay quiet.
    recorder.calls.clear();
    field->setTextFieldEventHandler(nullptr, nullptr);
    field->setInsertHandler(nullptr, nullptr);
    tap({320, 480});
    type("e");
    screen.step();
    EXPECT_EQ(recorder.calls, (std::vector<std::string>{"attach"}));
}

TEST_F(TextFieldWidgetTest, LengthLimitRefusesOrCutsWhatDoesNotFit) {
    UITextField* field = showField();
    field->setMaxLengthEnabled(true);
    field->setMaxLength(4);
    Recorder recorder;
    field->setInsertHandler(&recorder, &Recorder::onInsert);
    tap({320, 480});

    // Pasting six characters into an empty field keeps four.
    type("abcdef");
    EXPECT_STREQ(field->getStringValue(), "abcd");
    // A fifth keystroke is refused, but still reported.
    screen.step();
    recorder.calls.clear();
    type("e");
    EXPECT_STREQ(field->getStringValue(), "abcd");
    screen.step();
    EXPECT_EQ(recorder.calls, std::vector<std::string>{"insert"});

    // A paste into a part-filled field fills it up to the limit, not beyond.
    field->setText("ab");
    type("cdef");
    EXPECT_STREQ(field->getStringValue(), "abcd");

    // The limit counts characters, whatever their width in bytes: a paste
    // takes the room left, and the field takes input while there is room.
    field->setText("abc");
    type("日本");
    EXPECT_STREQ(field->getStringValue(), "abc日");
    field->setText("日本");
    type("a");
    EXPECT_STREQ(field->getStringValue(), "日本a");
    field->setText("");
    for (int i = 0; i < 6; ++i)
        type("é");
    EXPECT_STREQ(field->getStringValue(), "éééé");
    field->setText("");
    type("😀😀😀😀😀");
    EXPECT_STREQ(field->getStringValue(), "😀😀😀😀");

    // Return still ends the input of a full field.
    field->setMaxLength(1);
    field->setText("x");
    type("y\n");
    EXPECT_STREQ(field->getStringValue(), "x");
    EXPECT_EQ(CCIMEDispatcher::sharedDispatcher()->getAttachedDelegate(), nullptr);
}

TEST_F(TextFieldWidgetTest, PasswordModeShowsOneStyleCharacterPerCharacter) {
    UITextField* field = showField();
    field->setPasswordEnabled(true);
    field->setPasswordStyleText("*");
    tap({320, 480});
    type("abc");
    EXPECT_EQ(shown(field), "***");
    EXPECT_STREQ(field->getStringValue(), "abc");

    // A space, two characters, a control or non-ASCII byte: the style stays.
    for (const char* bad : {" ", "##", "", "\t", "é"}) {
        field->setPasswordStyleText(bad);
        EXPECT_STREQ(field->getPasswordStyleText(), "*") << "style \"" << bad << "\"";
    }
    field->setPasswordStyleText("#");
    EXPECT_EQ(shown(field), "###");

    key("Backspace");
    EXPECT_EQ(shown(field), "##");
    type("你");
    EXPECT_EQ(shown(field), "###");
    // A text set by the program is hidden too.
    field->setText("secret");
    EXPECT_EQ(shown(field), "######");
    // Emptied, the field shows its placeholder, not an empty mask.
    field->setText("");
    EXPECT_EQ(shown(field), "input words here");

    field->setText("open");
    field->setPasswordEnabled(false);
    EXPECT_EQ(shown(field), "open");
}

TEST_F(TextFieldWidgetTest, TypedTextIsDrawnInPlaceOfThePlaceholder) {
    UITextField* field = showField();
    field->setPlaceHolder("name");
    screen.step();
    CCRect box(field->getLeftEdge(), field->getBottomEdge(), field->getSize().width, field->getSize().height);
    // The placeholder is grey; nothing is white yet.
    int placeholder = brightest(box);
    EXPECT_GT(placeholder, 60);
    EXPECT_LT(placeholder, 140);

    tap({320, 480});
    type("HELLO");
    type("W");
    key("Backspace");
    screen.step(2); // the second frame draws the field at its new size
    EXPECT_STREQ(field->getStringValue(), "HELLO");
    box =
        CCRect(field->getLeftEdge(), field->getBottomEdge(), field->getSize().width, field->getSize().height);
    EXPECT_GT(box.size.width, 80);
    EXPECT_TRUE(screen.savedAsShown("textfield-typed"));
    EXPECT_GT(brightest(box), 230) << "no white text where the field is";
    // Each half of the text has ink: it is drawn across the whole field.
    CCRect left(box.getMinX(), box.getMinY(), box.size.width / 2, box.size.height);
    CCRect right(box.getMidX(), box.getMinY(), box.size.width / 2, box.size.height);
    EXPECT_GT(brightest(left), 230);
    EXPECT_GT(brightest(right), 230);
    // And nothing beyond it.
    EXPECT_EQ(brightest(CCRect(box.getMaxX() + 4, box.getMinY(), 60, box.size.height)), 0);
    EXPECT_EQ(brightest(CCRect(box.getMinX() - 64, box.getMinY(), 60, box.size.height)), 0);
}

TEST_F(TextFieldWidgetTest, FieldWithItsOwnSizeRefitsItsTextAfterEachEdit) {
    UITextField* field = showField();
    field->setIgnoreContentSize(false);
    field->setSize({300, 60});
    tap({320, 480});
    type("abc");
    screen.step();
    CCNode* text = field->getVirtualRenderer();
    EXPECT_FLOAT_EQ(text->getScaleX(), 300 / text->getContentSize().width);
    EXPECT_FLOAT_EQ(text->getScaleY(), 60 / text->getContentSize().height);
    key("Backspace");
    screen.step();
    EXPECT_FLOAT_EQ(text->getScaleX(), 300 / text->getContentSize().width);
    EXPECT_EQ(field->getSize(), CCSizeMake(300, 60));
}

TEST_F(TextFieldWidgetTest, FieldMovedToAnotherParentKeepsReporting) {
    UITextField* field = showField();
    Recorder recorder;
    field->setInsertHandler(&recorder, &Recorder::onInsert);
    CCRef<UITextField> held(field);
    field->removeFromParent();
    layer->addWidget(field);
    tap({320, 480});
    type("a");
    screen.step();
    EXPECT_EQ(recorder.calls, std::vector<std::string>{"insert"});
}

TEST_F(TextFieldWidgetTest, HandlerThatRemovesTheFieldEndsItsFrameSafely) {
    UITextField* field = showField();
    Closer closer;
    Recorder recorder;
    field->setDetachHandler(&closer, &Closer::onDetach);
    field->setInsertHandler(&recorder, &Recorder::onInsert);
    tap({320, 480});
    type("a");
    key("Return");
    screen.step(); // detach removes (and frees) the field before insert is raised
    EXPECT_EQ(recorder.calls, std::vector<std::string>{"insert"});
    screen.step();
    EXPECT_EQ(CCIMEDispatcher::sharedDispatcher()->getAttachedDelegate(), nullptr);
    type("b"); // no field to reach
}

TEST_F(TextFieldWidgetTest, TypedIntoAndRemovedTheFieldFreesEverything) {
    gui::UILayer* host = gui::UILayer::create();
    screen.show(host);
    CCAutoreleasePool::sharedPool()->drain();
    long emptyLayer = CCObject::liveObjectCount();

    UITextField* field = UITextField::create();
    field->setPosition({320, 480});
    field->setTouchEnabled(true);
    field->setPasswordEnabled(true);
    host->addWidget(field);
    screen.step();
    tap({320, 480});
    type("abc");
    screen.step();
    field->removeFromParent();
    CCAutoreleasePool::sharedPool()->drain();
    EXPECT_EQ(CCObject::liveObjectCount(), emptyLayer);
    EXPECT_EQ(CCIMEDispatcher::sharedDispatcher()->getAttachedDelegate(), nullptr);
    type("d"); // the keyboard reaches no freed field
}

} // namespace
