// Key presses: one path from SDL events and from key names to the running
// layers that enabled the keyboard; F11 and the letterboxed fullscreen.
#include "support/SceneTest.h"
#include "support/SdlEvents.h"

#include "engine/director/CCKeyboardDispatcher.h"
#include "engine/director/CCTouchDispatcher.h"
#include "engine/nodes/CCLayer.h"
#include "engine/text/CCIMEDelegate.h"

#include <string>
#include <vector>

using namespace engine;
using namespace testsupport;

namespace {

std::vector<std::string> g_heard;

// Writes "<name>:<key>" for each key; uses the keys in `used`.
class KeyLayer : public CCLayer {
public:
    static KeyLayer* create(const std::string& name, std::vector<int> used = {}) {
        auto* layer = new KeyLayer();
        layer->init();
        layer->m_name = name;
        layer->m_used = std::move(used);
        layer->setKeyboardEnabled(true);
        layer->autorelease();
        return layer;
    }
    bool keyPressed(int key) override {
        g_heard.push_back(m_name + ":" + std::to_string(key));
        for (int used : m_used)
            if (used == key) return true;
        return false;
    }

private:
    std::string m_name;
    std::vector<int> m_used;
};

class TypingField : public CCIMEDelegate {
public:
    bool canAttachWithIME() override { return true; }
    bool canDetachWithIME() override { return true; }
    void insertText(const char* text, int length) override { typed.append(text, length); }
    std::string typed;
};

SDL_Event keyDown(SDL_Keycode key, Uint8 repeat = 0) {
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.keysym.sym = key;
    event.key.repeat = repeat;
    return event;
}

std::string heard(const std::string& name, int key) {
    return name + ":" + std::to_string(key);
}

class KeyboardTest : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        g_heard.clear();
    }
    void TearDown() override {
        view()->setFullscreen(false);
        SceneTest::TearDown();
    }
    CCKeyboardDispatcher* keys() { return director()->getKeyboardDispatcher(); }
};

TEST_F(KeyboardTest, EventsAndNamesTakeOnePathToTheTopLayerFirst) {
    KeyLayer* page = KeyLayer::create("page");
    KeyLayer* panel = KeyLayer::create("panel", {kKeyEscape});
    page->addChild(panel);
    show(page);

    EXPECT_TRUE(testsupport::deliver(keyDown(SDLK_RIGHT)));
    EXPECT_TRUE(view()->dispatchKey("Right"));
    EXPECT_TRUE(view()->dispatchKey("S")); // any letter case
    EXPECT_TRUE(view()->dispatchKey("s"));
    EXPECT_TRUE(view()->dispatchKey("Space"));
    // The panel uses Escape: the page under it never sees it.
    EXPECT_TRUE(view()->dispatchKey("Escape"));
    EXPECT_FALSE(view()->dispatchKey("Rihgt"));
    EXPECT_EQ(g_heard, (std::vector<std::string>{heard("panel", kKeyRight), heard("page", kKeyRight),
                                                 heard("panel", kKeyRight), heard("page", kKeyRight),
                                                 heard("panel", 's'), heard("page", 's'), heard("panel", 's'),
                                                 heard("page", 's'), heard("panel", ' '), heard("page", ' '),
                                                 heard("panel", kKeyEscape)}));
}

TEST_F(KeyboardTest, HandlersGetTheEnginesOwnKeyCodes) {
    show(KeyLayer::create("page"));
    EXPECT_TRUE(testsupport::deliver(keyDown(SDLK_TAB)));
    SDL_Event backTab = keyDown(SDLK_TAB);
    backTab.key.keysym.mod = KMOD_LSHIFT;
    EXPECT_TRUE(testsupport::deliver(backTab));
    EXPECT_TRUE(testsupport::deliver(keyDown(SDLK_KP_ENTER)));
    EXPECT_TRUE(testsupport::deliver(keyDown(SDLK_RETURN)));
    EXPECT_TRUE(testsupport::deliver(keyDown(SDLK_UP)));
    EXPECT_TRUE(testsupport::deliver(keyDown(SDLK_CAPSLOCK))); // no use here: not handed on
    EXPECT_TRUE(testsupport::deliver(keyDown(0xe9)));          // a letter beyond ASCII: typed text only
    EXPECT_EQ(g_heard, (std::vector<std::string>{heard("page", kKeyTab), heard("page", kKeyBackTab),
                                                 heard("page", kKeyReturn), heard("page", kKeyReturn),
                                                 heard("page", kKeyUp)}));
}

TEST_F(KeyboardTest, OnlyRunningEnabledLayersAreRegistered) {
    KeyLayer* first = KeyLayer::create("first");
    EXPECT_FALSE(keys()->hasDelegate(first)); // not running yet
    show(first);
    EXPECT_TRUE(keys()->hasDelegate(first));
    first->setKeyboardEnabled(false);
    EXPECT_FALSE(keys()->hasDelegate(first));
    first->setKeyboardEnabled(true);

    CCScene* next = CCScene::create();
    KeyLayer* second = KeyLayer::create("second");
    next->addChild(second);
    director()->replaceScene(next);
    drawFrame();
    EXPECT_FALSE(keys()->hasDelegate(first));
    view()->dispatchKey("Left");
    EXPECT_EQ(g_heard, std::vector<std::string>{heard("second", kKeyLeft)});

    director()->reset();
    EXPECT_FALSE(keys()->hasDelegate(second));
}

TEST_F(KeyboardTest, KeysWaitOutTransitionsAndTypingKeysStayWithTheTextField) {
    show(KeyLayer::create("page"));
    director()->getTouchDispatcher()->setDispatchEvents(false);
    view()->dispatchKey("Right");
    director()->getTouchDispatcher()->setDispatchEvents(true);
    EXPECT_TRUE(g_heard.empty());

    TypingField field;
    ASSERT_TRUE(field.attachWithIME());
    view()->dispatchKey("s");
    view()->dispatchKey("Return");
    view()->dispatchKey("Escape");
    field.detachWithIME();
    EXPECT_EQ(field.typed, "\n");
    EXPECT_EQ(g_heard, std::vector<std::string>{heard("page", kKeyEscape)});
}

TEST_F(KeyboardTest, F11LetterboxesThePageAndTouchesFollowIt) {
    openView(400, 500);
    view()->setHeadlessScreenSize(1000, 500);
    auto* layer = KeyLayer::create("page");
    auto* colour = CCLayerColor::create(ccc4(200, 40, 40, 255));
    layer->addChild(colour);
    show(layer);

    // A held F11 repeats without flickering; F11 never reaches the layers.
    EXPECT_TRUE(testsupport::deliver(keyDown(SDLK_F11)));
    EXPECT_TRUE(testsupport::deliver(keyDown(SDLK_F11, 1)));
    ASSERT_TRUE(view()->isFullscreen());
    EXPECT_TRUE(g_heard.empty());
    drawFrame();
    // The frame's 4:5 shape, as tall as the screen, centred between bars.
    EXPECT_EQ(screen.width(), 1000);
    EXPECT_TRUE(isColour(pixelAt(299, 250), 0, 0, 0));
    EXPECT_TRUE(isColour(pixelAt(300, 0), 200, 40, 40));
    EXPECT_TRUE(isColour(pixelAt(699, 499), 200, 40, 40));
    EXPECT_TRUE(isColour(pixelAt(700, 250), 0, 0, 0));
    EXPECT_TRUE(view()->convertWindowToDesign(300, 0).fuzzyEquals(ccp(0, 960), 1e-3f));
    EXPECT_TRUE(view()->convertWindowToDesign(500, 250).fuzzyEquals(ccp(320, 480), 1e-3f));
    EXPECT_EQ(view()->getFrameSize(), CCSizeMake(400, 500));
    EXPECT_EQ(director()->getWinSize(), CCSizeMake(640, 960));

    EXPECT_TRUE(view()->dispatchKey("F11"));
    EXPECT_FALSE(view()->isFullscreen());
    drawFrame();
    EXPECT_EQ(screen.width(), 400);
    EXPECT_TRUE(isColour(pixelAt(0, 0), 200, 40, 40));
    EXPECT_TRUE(view()->convertWindowToDesign(200, 250).fuzzyEquals(ccp(320, 480), 1e-3f));
}

} // namespace
