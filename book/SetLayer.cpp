#include "book/SetLayer.h"

#include "book/BookState.h"
#include "book/FocusRing.h"
#include "book/ScreenChanges.h"
#include "engine/base/CCLog.h"
#include "gui/Layout.h"
#include "gui/LayoutReader.h"
#include "gui/UIButton.h"
#include "gui/UILayer.h"
#include "gui/UIRootWidget.h"
#include "gui/UIToolkit.h"

using namespace engine;

namespace book {

SetLayer::SetLayer() {
    CCLayer::init();
    m_pendingMode = readingMode;
    settingsSelection = nullptr;

    m_uiLayer = gui::UILayer::create();
    addChild(m_uiLayer);

    gui::UIToolkit::getInstance();
    gui::UIWidget* root = gui::LayoutReader::instance()->readLayoutFile(kSettingsLayoutFile);
    auto* panel = dynamic_cast<gui::Layout*>(root);
    if (panel)
        m_uiLayer->addWidget(panel);
    else
        CCLog("SetLayer: the settings panel %s could not be read as a layout; Escape goes back to the page",
              kSettingsLayoutFile);

    gui::UIWidget* searchRoot = m_uiLayer->getRootWidget();
    for (int tag = kHome; tag <= kCancel; ++tag) {
        const char* name = settingsButtonName(static_cast<SettingsButton>(tag));
        gui::UIWidget* button = panel ? gui::UIToolkit::findWidgetByName(searchRoot, name) : nullptr;
        m_buttons[tag - 1] = button;
        if (!button) {
            if (panel)
                CCLog("SetLayer: the settings panel %s has no button \"%s\"", kSettingsLayoutFile, name);
            continue;
        }
        button->setActionTag(tag);
        button->setTouchEventHandler(this, &SetLayer::onSettingsButton);
    }
    // The mode in force shows as chosen, so the panel tells what it is.
    if (gui::UIWidget* current = getButton(modeButton(readingMode))) select(current);
    setTouchEnabled(true);
    setKeyboardEnabled(true);
}

SetLayer::~SetLayer() = default;

void SetLayer::onEnter() {
    CCLayer::onEnter();
    CCLog("SetLayer  onEnter");
}

void SetLayer::onEnterTransitionDidFinish() {
    CCLayer::onEnterTransitionDidFinish();
    if (!m_focusRing) {
        // Built once the flip is over, so that the buttons' places are their own.
        // The ring starts on the mode in force: no button here leaves the program.
        std::vector<FocusRing::Target> buttons;
        gui::UIWidget* current = getButton(modeButton(readingMode));
        for (gui::UIWidget* button : m_buttons) {
            if (!button || !button->isVisible()) continue;
            buttons.push_back({[button] { return widgetBounds(button); },
                               [this, button] { onSettingsButton(button, gui::TOUCH_EVENT_BEGAN); },
                               button == current});
        }
        m_focusRing = FocusRing::create();
        addChild(m_focusRing, 1);
        m_focusRing->setTargets(inReadingOrder(std::move(buttons)));
    }
    CCLog("SetLayer 2: onEnterTransitionDidFinish");
}

void SetLayer::onExitTransitionDidStart() {
    CCLayer::onExitTransitionDidStart();
    CCLog("SetLayer 2: onExitTransitionDidStart");
}

void SetLayer::onExit() {
    CCLayer::onExit();
    // The highlighted button goes with this panel's tree.
    settingsSelection = nullptr;
    CCLog("SetLayer 2 onExit");
}

gui::UIWidget* SetLayer::getButton(int tag) const {
    return tag >= kHome && tag <= kCancel ? m_buttons[tag - 1] : nullptr;
}

void SetLayer::onSettingsButton(CCObject* sender, int) {
    auto* widget = dynamic_cast<gui::UIWidget*>(sender);
    if (!widget || m_leaving) return;
    select(widget);

    switch (widget->getActionTag()) {
    case kHome:
        goHome();
        break;
    case kPress:
        m_pendingMode = kReadByTouch;
        break;
    case kRepeatPage:
        m_pendingMode = kAutoPlayRepeatsPage;
        break;
    case kTurnPages:
        m_pendingMode = kAutoPlayTurnsPages;
        break;
    case kOk:
        readingMode = m_pendingMode;
        backToPage();
        break;
    case kCancel:
        backToPage();
        break;
    default:
        break;
    }
}

void SetLayer::select(gui::UIWidget* widget) {
    if (auto* previous = dynamic_cast<gui::UIButton*>(settingsSelection))
        previous->setTitleColor(kPreviousTitle);
    if (settingsSelection) {
        // setBright(true) shows the normal look even when the state was normal already.
        settingsSelection->setBright(true);
        settingsSelection->setBrightState(gui::BRIGHT_NORMAL);
    }
    settingsSelection = widget;
    widget->setBright(false); // the disabled look serves as the selected look
    if (auto* button = dynamic_cast<gui::UIButton*>(widget)) button->setTitleColor(kSelectedTitle);
}

int SetLayer::modeButton(int mode) {
    switch (mode) {
    case kReadByTouch:
        return kPress;
    case kAutoPlayRepeatsPage:
        return kRepeatPage;
    case kAutoPlayTurnsPages:
        return kTurnPages;
    default:
        return 0;
    }
}

bool SetLayer::keyPressed(int key) {
    if (!m_leaving && m_focusRing && m_focusRing->handleKey(key)) return true;
    if (key != kKeyEscape) return false;
    if (gui::UIWidget* cancel = getButton(kCancel))
        onSettingsButton(cancel, gui::TOUCH_EVENT_BEGAN);
    else if (!m_leaving)
        backToPage();
    return true;
}

void SetLayer::backToPage() {
    m_leaving = true;
    selectedWord = nullptr;
    screens::pageFromSettings();
}

void SetLayer::goHome() {
    m_leaving = true;
    screens::home();
}

} // namespace book
