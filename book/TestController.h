#pragma once
// The home page: reads the book's configuration, silences any narration and
// shows the home layout with its four buttons: continue reading
// ("bngoon"), word learning ("bnwordlean"), page menu ("bnselect") and exit
// ("bnreturn"). Continue and word learning show only when they have a page
// to open; hidden, they take no touches and start nothing.
#include "engine/nodes/CCLayer.h"

namespace gui {
class Layout;
class UILayer;
class UIWidget;
} // namespace gui

namespace book {

class FocusRing;

class TestController : public engine::CCLayer {
public:
    // Builds the whole page; the caller holds the one reference.
    TestController();
    // Lets go of the widget system's shared objects, as a page scene does.
    ~TestController() override;

    // Button handlers; each acts on every phase it hears, the first being the press.
    void onContinue(engine::CCObject* sender, int eventType);
    void onWordLearning(engine::CCObject* sender, int eventType);
    void onPageMenu(engine::CCObject* sender, int eventType);
    void onExitBook(engine::CCObject* sender, int eventType);

    gui::UILayer* getUILayer() const { return uiLayer; }
    gui::Layout* getHomeLayout() const { return homeLayout; }

    // Opens a new page scene (a TestLayer1) at currentPage.
    static void openPageScene();

    // Tab, Shift+Tab and Return move the keyboard's ring over the visible
    // buttons and press the one it is on.
    bool keyPressed(int key) override;
    FocusRing* getFocusRing() const { return m_focusRing; }

private:
    // The button named `name`, with `handler` bound; none (logged) when the
    // home layout lacks it.
    gui::UIWidget* bindButton(const char* name, void (TestController::*handler)(engine::CCObject*, int));
    // Hides a button that has nothing to offer; it then takes no touches either.
    static void hide(gui::UIWidget* button);
    // Whether a button acts on this touch phase: the press, once.
    static bool opensOn(int eventType);

    gui::UILayer* uiLayer = nullptr;   // child of this layer
    gui::Layout* homeLayout = nullptr; // owned by the widget tree
    bool m_continueShown = false;
    bool m_wordLearningShown = false;
    FocusRing* m_focusRing = nullptr; // a child, over the layout
};

} // namespace book
