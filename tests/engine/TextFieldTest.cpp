// Text fields: typing and deleting whole UTF-8 characters, the placeholder,
// the delegate's right to refuse each step, and the keyboard path from the
// view through the input-method dispatcher.
#include "support/SceneTest.h"
#include "support/SdlEvents.h"

#include "engine/text/CCIMEDispatcher.h"
#include "engine/text/CCTextFieldTTF.h"

#include <algorithm>

using namespace engine;
using namespace testsupport;

namespace {

// Records every call and refuses what it is told to.
struct RecordingDelegate : CCTextFieldDelegate {
    bool refuseAttach = false, refuseDetach = false, refuseInsert = false, refuseDelete = false,
         refuseDraw = false, refuseNewline = false;
    std::vector<std::string> calls;

    bool onTextFieldAttachWithIME(CCTextFieldTTF*) override {
        calls.push_back("attach");
        return refuseAttach;
    }
    bool onTextFieldDetachWithIME(CCTextFieldTTF*) override {
        calls.push_back("detach");
        return refuseDetach;
    }
    bool onTextFieldInsertText(CCTextFieldTTF*, const char* text, int length) override {
        std::string inserted(text, static_cast<std::size_t>(length));
        calls.push_back("insert:" + inserted);
        return inserted == "\n" ? refuseNewline : refuseInsert;
    }
    bool onTextFieldDeleteBackward(CCTextFieldTTF*, const char* text, int length) override {
        calls.push_back("delete:" + std::string(text, static_cast<std::size_t>(length)));
        return refuseDelete;
    }
    bool onDraw(CCTextFieldTTF*) override { return refuseDraw; }
};

class TextFieldTest : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        m_field = CCTextFieldTTF::textFieldWithPlaceHolder("type here", "Arial", 30);
        m_field->retain();
        m_field->setDelegate(&m_delegate);
    }
    void TearDown() override {
        m_field->release();
        view()->setKeyHandler(nullptr);
        view()->setTextHandler(nullptr);
        SceneTest::TearDown();
    }
    void type(const std::string& text) { m_field->insertText(text.c_str(), static_cast<int>(text.size())); }

    CCTextFieldTTF* m_field = nullptr;
    RecordingDelegate m_delegate;
};

TEST_F(TextFieldTest, TypingAndDeletingWorkOnWholeCharacters) {
    type("añ");
    type("你");
    type("😀");
    EXPECT_STREQ(m_field->getString(), "añ你😀");
    EXPECT_EQ(m_field->getCharCount(), 4);

    m_field->deleteBackward();
    EXPECT_EQ(m_delegate.calls.back(), "delete:😀");
    m_field->deleteBackward();
    EXPECT_EQ(m_delegate.calls.back(), "delete:你");
    m_field->deleteBackward();
    EXPECT_STREQ(m_field->getString(), "a");
    EXPECT_EQ(m_field->getCharCount(), 1);

    // A stray byte is a character of its own.
    m_field->setString("ab\xE4");
    EXPECT_EQ(m_field->getCharCount(), 3);
    m_field->deleteBackward();
    EXPECT_STREQ(m_field->getString(), "ab");

    m_field->setString("");
    m_delegate.calls.clear();
    m_field->deleteBackward(); // nothing to delete: the delegate is not asked
    EXPECT_TRUE(m_delegate.calls.empty());
}

TEST_F(TextFieldTest, PlaceholderShowsInItsColourWhileTheFieldIsEmpty) {
    EXPECT_TRUE(m_field->isShowingPlaceHolder());
    EXPECT_STREQ(m_field->getString(), "");
    EXPECT_STREQ(m_field->CCLabelTTF::getString(), "type here");
    m_field->setColor(ccc3(255, 0, 0));
    m_field->setColorSpaceHolder(ccc3(0, 200, 0));
    m_field->setPosition(ccp(320, 480));
    show(m_field);
    auto green = [](const Pixel& c) { return c.g > 150 && c.r < 10; };
    auto red = [](const Pixel& c) { return c.r > 150 && c.g < 10; };
    EXPECT_GT(screen.count(green), 50);
    EXPECT_EQ(screen.count(red), 0);

    type("x");
    EXPECT_STREQ(m_field->CCLabelTTF::getString(), "x");
    drawFrame();
    EXPECT_EQ(screen.count(green), 0);
    EXPECT_GT(screen.count(red), 20);

    m_field->deleteBackward();
    EXPECT_STREQ(m_field->CCLabelTTF::getString(), "type here");
    m_field->setPlaceHolder("other");
    EXPECT_STREQ(m_field->CCLabelTTF::getString(), "other");

    m_delegate.refuseDraw = true;
    drawFrame();
    EXPECT_EQ(screen.count(green), 0);
}

TEST_F(TextFieldTest, TheDelegateCanRefuseEachStep) {
    m_delegate.refuseInsert = true;
    type("abc");
    EXPECT_STREQ(m_field->getString(), "");
    m_delegate.refuseInsert = false;
    type("abc");
    m_delegate.refuseDelete = true;
    m_field->deleteBackward();
    EXPECT_STREQ(m_field->getString(), "abc");

    m_delegate.refuseAttach = true;
    EXPECT_FALSE(m_field->attachWithIME());
    EXPECT_FALSE(m_field->isAttachedWithIME());
    m_delegate.refuseAttach = false;
    EXPECT_TRUE(m_field->attachWithIME());

    m_delegate.refuseDetach = true;
    EXPECT_FALSE(m_field->detachWithIME());
    EXPECT_TRUE(m_field->isAttachedWithIME());
    // A refused Return keeps the field attached.
    m_delegate.refuseNewline = true;
    type("\n");
    EXPECT_TRUE(m_field->isAttachedWithIME());
    m_delegate.refuseDetach = false;
    EXPECT_TRUE(m_field->detachWithIME());
    EXPECT_FALSE(m_field->isAttachedWithIME());
}

TEST_F(TextFieldTest, KeyboardReachesTheAttachedFieldThroughTheView) {
    std::vector<std::string> otherKeys, otherTexts;
    view()->setKeyHandler([&](const std::string& key) { otherKeys.push_back(key); });
    view()->setTextHandler([&](const std::string& text) { otherTexts.push_back(text); });

    ASSERT_TRUE(m_field->attachWithIME());
    EXPECT_TRUE(SDL_IsTextInputActive());
    view()->dispatchText("hé");
    view()->dispatchText("!");
    view()->dispatchKey("Backspace");
    view()->dispatchKey("Escape");
    EXPECT_STREQ(m_field->getString(), "hé");
    EXPECT_TRUE(otherTexts.empty());
    EXPECT_EQ(otherKeys, std::vector<std::string>{"Escape"});

    // Return inserts "\n", which ends the input.
    m_delegate.calls.clear();
    view()->dispatchKey("Return");
    EXPECT_EQ(m_delegate.calls, (std::vector<std::string>{"insert:\n", "detach"}));
    EXPECT_FALSE(m_field->isAttachedWithIME());
    EXPECT_FALSE(SDL_IsTextInputActive());
    EXPECT_STREQ(m_field->getString(), "hé");

    // Detached: the keyboard goes where it went before.
    view()->dispatchText("z");
    view()->dispatchKey("Backspace");
    EXPECT_STREQ(m_field->getString(), "hé");
    EXPECT_EQ(otherTexts, std::vector<std::string>{"z"});
    EXPECT_EQ(otherKeys.back(), "Backspace");

    // A real SDL text event takes the same path.
    ASSERT_TRUE(m_field->attachWithIME());
    SDL_Event event{};
    event.type = SDL_TEXTINPUT;
    SDL_strlcpy(event.text.text, "ü", sizeof event.text.text);
    EXPECT_TRUE(testsupport::deliver(event));
    EXPECT_STREQ(m_field->getString(), "héü");
}

TEST_F(TextFieldTest, OneFieldAtATimeAndAGoneFieldLetsGo) {
    CCTextFieldTTF* other = CCTextFieldTTF::textFieldWithPlaceHolder("", "Arial", 20);
    ASSERT_TRUE(m_field->attachWithIME());
    ASSERT_TRUE(other->attachWithIME());
    EXPECT_FALSE(m_field->isAttachedWithIME());
    EXPECT_EQ(m_delegate.calls.back(), "detach");
    EXPECT_EQ(CCIMEDispatcher::sharedDispatcher()->getAttachedDelegate(), other);

    // A field that leaves the scene detaches; one that is destroyed is forgotten.
    CCNode* root = CCNode::create();
    root->addChild(other);
    show(root);
    root->removeChild(other);
    EXPECT_EQ(CCIMEDispatcher::sharedDispatcher()->getAttachedDelegate(), nullptr);

    CCTextFieldTTF* doomed = CCTextFieldTTF::textFieldWithPlaceHolder("", "Arial", 20);
    doomed->retain();
    ASSERT_TRUE(doomed->attachWithIME());
    doomed->release();
    director()->stepFrame(1 / 60.f); // drains the pool: the field is gone
    EXPECT_EQ(CCIMEDispatcher::sharedDispatcher()->getAttachedDelegate(), nullptr);
    view()->dispatchText("nobody");
    view()->dispatchKey("Backspace");
}

} // namespace
