#include "book/TestController.h"

#include "book/BookContract.h"
#include "book/BookScene.h"
#include "book/BookState.h"
#include "book/FocusRing.h"
#include "book/ScreenChanges.h"
#include "book/Shelf.h"
#include "engine/audio/SimpleAudioEngine.h"
#include "engine/base/CCLog.h"
#include "engine/director/CCDirector.h"
#include "gui/Layout.h"
#include "gui/LayoutReader.h"
#include "gui/UILayer.h"
#include "gui/UIRootWidget.h"
#include "gui/UIToolkit.h"
#include "gui/UIWidget.h"

#include <vector>

using namespace engine;

namespace book {

TestController::TestController() {
    CCLayer::init();
    readBookConfiguration();

    SimpleAudioEngine* audio = SimpleAudioEngine::sharedEngine();
    audio->setBackgroundMusicVolume(1.0f);
    audio->stopBackgroundMusic();

    uiLayer = gui::UILayer::create();
    gui::UIWidget* root = gui::LayoutReader::instance()->readLayoutFile(kHomeLayoutFile);
    homeLayout = dynamic_cast<gui::Layout*>(root);
    if (homeLayout)
        uiLayer->addWidget(homeLayout);
    else if (root)
        CCLog("book: the root of %s is a %s, not a Layout; the home page is empty", kHomeLayoutFile,
              root->getKindName());
    else
        CCLog("book: no home layout %s; the home page is empty", kHomeLayoutFile);
    addChild(uiLayer);

    gui::UIWidget* goOn = bindButton(kHomeButtonNames[kContinueButton], &TestController::onContinue);
    gui::UIWidget* wordLearning =
        bindButton(kHomeButtonNames[kWordLearningButton], &TestController::onWordLearning);
    gui::UIWidget* pageMenu = bindButton(kHomeButtonNames[kPageMenuButton], &TestController::onPageMenu);
    gui::UIWidget* exit = bindButton(kHomeButtonNames[kExitButton], &TestController::onExitBook);

    m_continueShown = resumeAvailable && currentPage >= 0;
    m_wordLearningShown = wordMin >= 1;
    if (!m_continueShown) hide(goOn);
    if (!m_wordLearningShown) hide(wordLearning);

    // The ring goes over the buttons in reading order, but exit comes last
    // and the ring starts on the button that opens the book: a switch user's
    // Return must never end the program by accident.
    gui::UIWidget* opener = m_continueShown ? goOn : m_wordLearningShown ? wordLearning : pageMenu;
    using Handler = void (TestController::*)(CCObject*, int);
    auto target = [this, opener](gui::UIWidget* button, Handler handler) {
        return FocusRing::Target{
            [button] { return widgetBounds(button); },
            [this, button, handler] { (this->*handler)(button, gui::TOUCH_EVENT_BEGAN); }, button == opener};
    };
    auto shown = [](gui::UIWidget* button) {
        return button && button->isVisible() && button->isTouchEnabled();
    };
    std::vector<FocusRing::Target> buttons;
    const std::pair<gui::UIWidget*, Handler> opening[] = {{goOn, &TestController::onContinue},
                                                          {wordLearning, &TestController::onWordLearning},
                                                          {pageMenu, &TestController::onPageMenu}};
    for (const auto& [button, handler] : opening)
        if (shown(button)) buttons.push_back(target(button, handler));
    buttons = inReadingOrder(std::move(buttons));
    if (shown(exit)) buttons.push_back(target(exit, &TestController::onExitBook));
    m_focusRing = FocusRing::create();
    addChild(m_focusRing, 1);
    m_focusRing->setTargets(std::move(buttons));
    setKeyboardEnabled(true);
}

bool TestController::keyPressed(int key) {
    return m_focusRing && m_focusRing->handleKey(key);
}

TestController::~TestController() {
    BookScene::purgeSharedWidgetObjects();
}

gui::UIWidget* TestController::bindButton(const char* name, void (TestController::*handler)(CCObject*, int)) {
    gui::UIWidget* button = gui::UIToolkit::findWidgetByName(uiLayer->getRootWidget(), name);
    if (button)
        button->setTouchEventHandler(this, handler);
    else
        CCLog("book: the home layout %s has no button \"%s\"", kHomeLayoutFile, name);
    return button;
}

void TestController::hide(gui::UIWidget* button) {
    if (!button) return;
    button->setVisible(false);
    // The touch routing ignores visibility: without this a tap on the empty
    // place would still reach the handler.
    button->setTouchEnabled(false);
}

bool TestController::opensOn(int eventType) {
    // One press, one screen: the release of the same touch, which a real
    // window may deliver before the new screen is up, must not build another.
    return eventType == gui::TOUCH_EVENT_BEGAN && !CCDirector::sharedDirector()->getNextScene();
}

void TestController::openPageScene() {
    screens::page();
}

void TestController::onContinue(CCObject*, int eventType) {
    if (!opensOn(eventType)) return;
    if (!m_continueShown) return;
    openPageScene();
}

void TestController::onWordLearning(CCObject*, int eventType) {
    if (!opensOn(eventType)) return;
    if (!m_wordLearningShown) return;
    currentPage = wordMin;
    openPageScene();
}

void TestController::onPageMenu(CCObject*, int eventType) {
    if (!opensOn(eventType)) return;
    screens::pageMenu();
}

void TestController::onExitBook(CCObject*, int eventType) {
    if (!opensOn(eventType)) return;
    // A book chosen on the shelf goes back to it; only the window's close
    // button ends the program then.
    if (shelf::bookCameFromShelf()) {
        shelf::backToShelf();
        return;
    }
    CCDirector::sharedDirector()->end();
}

} // namespace book
