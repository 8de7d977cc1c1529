#pragma once
// The settings panel: six buttons of the panel layout choose the reading
// mode, confirm it and go back to the page, go back without it, or go home.
// The chosen mode is pending until "bnok"; leaving otherwise keeps the old one.
#include "book/BookContract.h"
#include "engine/base/ccTypes.h"
#include "engine/nodes/CCLayer.h"

#include <string>

namespace gui {
class UILayer;
class UIWidget;
} // namespace gui

namespace book {

class FocusRing;

class SetLayer : public engine::CCLayer {
public:
    // Action tags the panel gives its buttons.
    enum Button {
        kHome = kSettingsHome,
        kPress = kSettingsPress,
        kRepeatPage = kSettingsRepeatPage,
        kTurnPages = kSettingsTurnPages,
        kOk = kSettingsOk,
        kCancel = kSettingsCancel,
    };

    // Builds the panel from its layout file; a missing file or button is
    // logged by name.
    SetLayer();
    ~SetLayer() override;

    void onEnter() override;
    void onEnterTransitionDidFinish() override;
    void onExitTransitionDidStart() override;
    void onExit() override;

    // Touch-event handler of the six buttons; acts on every event.
    void onSettingsButton(engine::CCObject* sender, int eventType);
    // Escape is "bncancel"; Tab, Shift+Tab and Return move the keyboard's
    // ring over the buttons and press one. Answers whether the key meant
    // something here.
    bool keyPressed(int key) override;
    FocusRing* getFocusRing() const { return m_focusRing; }

    int getPendingMode() const { return m_pendingMode; }
    gui::UILayer* getUILayer() const { return m_uiLayer; }
    // The button of a tag, or none when the layout lacks it.
    gui::UIWidget* getButton(int tag) const;

    static constexpr engine::ccColor3B kSelectedTitle = {44, 5, 247};
    static constexpr engine::ccColor3B kPreviousTitle = {25, 24, 25};

private:
    // Shows `widget` as the chosen button, and the one chosen before as it was.
    void select(gui::UIWidget* widget);
    // The tag of the button that chooses reading mode `mode`; 0 for none.
    static int modeButton(int mode);
    // Back to the page `currentPage` under `readingMode`, with a zero-length flip.
    void backToPage();
    void goHome();

    gui::UILayer* m_uiLayer = nullptr;                   // a child
    FocusRing* m_focusRing = nullptr;                    // a child, over the panel
    gui::UIWidget* m_buttons[kSettingsButtonCount] = {}; // owned by the widget tree
    int m_pendingMode = 0;
    // Set once the panel has handed the director its next scene: later
    // events of the same touch (the cancel that a starting transition sends)
    // must not build a second one.
    bool m_leaving = false;
};

} // namespace book
