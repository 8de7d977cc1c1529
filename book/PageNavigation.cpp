// Page navigation of the page layers: page turns from the menu, swipes and
// keys; the double-tap hint; play/pause and the auto-play tick; home and the
// settings panel.
//
// Index: page turns | touches | play and auto-play | home and settings | keys
#include "book/BookNames.h"
#include "book/BookScene.h"
#include "book/BookState.h"
#include "book/PageLayer.h"
#include "book/SetLayer.h"
#include "book/TestController.h"
#include "engine/audio/SimpleAudioEngine.h"
#include "engine/base/CCLog.h"
#include "engine/base/CCSet.h"
#include "engine/base/CCTouch.h"
#include "engine/director/CCDirector.h"
#include "engine/menu/CCMenuItemFont.h"
#include "engine/menu/CCMenuItemImage.h"
#include "engine/nodes/CCScene.h"
#include "engine/nodes/CCSprite.h"
#include "engine/text/CCLabelTTF.h"
#include "engine/transitions/CCTransitionPageTurn.h"
#include "engine/transitions/CCTransitionZoomFlipY.h"
#include "gui/UILayer.h"
#include "gui/UIRootWidget.h"
#include "gui/UIToolkit.h"
#include "gui/UIWidget.h"

#include <SDL.h>

#include <cmath>
#include <cstdlib>

using namespace engine;

namespace book {

namespace {

// Horizontal travel, in points from where the touch began, that turns a page.
constexpr float kSwipeDistance = 50.0f;
// Auto-play's tick while something plays or a pause is due, and after a page start or repeat.
constexpr float kAutoPlayWait = 0.5f;
constexpr float kAutoPlayStart = 0.2f;
constexpr float kHintShown = 3.0f;

SimpleAudioEngine* audio() {
    return SimpleAudioEngine::sharedEngine();
}

void setPlayImage(CCObject* item, const char* file) {
    if (auto* image = dynamic_cast<CCMenuItemSprite*>(item)) image->setNormalImage(CCSprite::create(file));
}

} // namespace

// --- page turns

void PageLayer::goNextPage(CCObject*) {
    if (currentPage >= pageMax) return;
    setTouchEnabled(false);
    ++currentPage;
    turnDirection = 1;
    switchPageScene();
}

void PageLayer::goPreviousPage(CCObject*) {
    if (currentPage <= pageMin) return;
    setTouchEnabled(false);
    --currentPage;
    turnDirection = -1;
    switchPageScene();
}

void PageLayer::switchPageScene() {
    unscheduleAllSelectors();
    selectedWord = nullptr;

    BookScene* scene = BookScene::createOwned();
    PageLayer* twin = createTwin();
    scene->addChild(twin);

    CCDirector* director = CCDirector::sharedDirector();
    director->setDepthTest(false);
    director->setDepthTest(true);
    CCScene* turn = CCTransitionPageTurn::create(0.5f, scene, turnDirection < 0);
    scene->release();
    twin->release();
    director->replaceScene(turn);
}

// --- touches that reached the page itself

void PageLayer::ccTouchesBegan(CCSet* touches, CCEvent*) {
    auto* touch = touches ? dynamic_cast<CCTouch*>(touches->anyObject()) : nullptr;
    if (!touch) return;
    const CCPoint old = lastTouch;
    lastTouch = touch->getLocation();
    // Distances in whole points; a scripted touch may lie billions of points away.
    auto distance = [](float from, float to) {
        const float d = std::fabs(from - to);
        return d < 1e9f ? static_cast<int>(d) : 1000000000; // NaN too
    };
    const int dx = distance(old.x, lastTouch.x);
    const int dy = distance(old.y, lastTouch.y);
    CCLog("page: tap at (%.1f, %.1f), %d and %d from the last one", lastTouch.x, lastTouch.y, dx, dy);
    if (static_cast<float>(dx) < tapRadius && static_cast<float>(dy) < tapRadius) {
        ++tapCount;
        if (tapCount >= 2 && hintLabel) {
            std::string text = readInterfaceText("nopresenglish").value_or("");
            hintLabel->setDimensions(CCSize(tapRadius * 8, 0));
            hintLabel->setString(text.c_str());
            hintLabel->setPosition(lastTouch);
            unschedule(schedule_selector(PageLayer::hideHint));
            hintLabel->setVisible(true);
            schedule(schedule_selector(PageLayer::hideHint), kHintShown);
            CCLog("page: hint shown after %d close taps", tapCount);
        }
    } else {
        tapCount = 0;
    }
}

void PageLayer::ccTouchesMoved(CCSet* touches, CCEvent*) {
    auto* touch = touches ? dynamic_cast<CCTouch*>(touches->anyObject()) : nullptr;
    if (!touch) return;
    const CCPoint location = touch->getLocation();
    if (location.x - lastTouch.x >= kSwipeDistance) {
        if (currentPage > pageMin) {
            lastTouch.x = location.x;
            goPreviousPage(nullptr);
        }
    } else if (lastTouch.x - location.x >= kSwipeDistance) {
        if (currentPage < pageMax) {
            lastTouch.x = location.x;
            goNextPage(nullptr);
        }
    }
}

void PageLayer::hideHint(float) {
    if (hintLabel) hintLabel->setVisible(false);
}

// --- play and auto-play

void PageLayer::togglePlay(CCObject* sender) {
    if (!sender) return;
    autoPlayOn = !autoPlayOn;
    if (autoPlayOn) {
        unschedule(schedule_selector(PageLayer::autoPlayStep));
        schedule(schedule_selector(PageLayer::autoPlayStep), kAutoPlayStart);
        setPlayImage(sender, "Images/pause_btn.png");
    } else {
        audio()->setBackgroundMusicVolume(1.0f);
        audio()->stopBackgroundMusic();
        setPlayImage(sender, "Images/play_btn.png");
        unschedule(schedule_selector(PageLayer::autoPlayStep));
    }
}

void PageLayer::autoPlayStep(float) {
    unschedule(schedule_selector(PageLayer::autoPlayStep));
    auto again = [this](float interval) { schedule(schedule_selector(PageLayer::autoPlayStep), interval); };

    if (audio()->isBackgroundMusicPlaying()) {
        again(kAutoPlayWait);
        return;
    }
    if (autoPlayPause) {
        autoPlayPause = false;
        again(kAutoPlayWait);
        return;
    }
    if (nextWordIndex > lastWordIndex) {
        autoPlayPause = true;
        if (readingMode == 2) {
            nextWordIndex = 1;
            again(kAutoPlayStart);
        } else if (readingMode == 3) {
            // The new page starts auto-play itself; at the last page it ends here.
            goNextPage(nullptr);
        } else {
            again(kAutoPlayWait);
        }
        return;
    }

    const int tag = hotspotTag(currentPage, nextWordIndex);
    const std::string name = hotspotName(currentPage, nextWordIndex);
    gui::UIWidget* hotspot =
        gui::UIToolkit::findWidgetByName(uiLayer ? uiLayer->getRootWidget() : nullptr, name);
    CCLog("auto-play: word %d of page %d (%s%s)", nextWordIndex, currentPage, name.c_str(),
          hotspot ? "" : ", not on the page");
    if (hotspot) {
        // Select hides the previous highlight and slides from where it was.
        const CCPoint position = selectWord(hotspot);
        if (wordBubble)
            showAndPlay(hotspot, position, tag);
        else
            playNarration(tag);
    } else {
        if (selectedWord) {
            selectedWord->setVisible(false);
            selectedWord->setFocused(false);
            selectedWord = nullptr;
        }
        playNarration(tag);
    }
    ++nextWordIndex;
    autoPlayPause = true;
    again(kAutoPlayWait);
}

// --- home and settings

void PageLayer::goHome(CCObject*) {
    autoPlayOn = false;
    unscheduleAllSelectors();
    CCScene* scene = CCScene::create();
    auto* home = new TestController();
    home->autorelease();
    scene->addChild(home);
    CCDirector::sharedDirector()->replaceScene(scene);
}

void PageLayer::openSettings(CCObject*) {
    unscheduleAllSelectors();
    BookScene* scene = BookScene::createOwned();
    auto* panel = new SetLayer();
    scene->addChild(panel);
    CCDirector::sharedDirector()->setDepthTest(false);
    CCScene* flip = CCTransitionZoomFlipY::create(0.5f, scene, kCCTransitionOrientationDownOver);
    scene->release();
    panel->release();
    CCDirector::sharedDirector()->replaceScene(flip);
}

// --- keys

bool PageLayer::onPageKey(int key) {
    // A page that has started to leave (a turn switched its touches off, or
    // it is still part of a transition) takes no keys, as it takes no touches.
    CCDirector* director = CCDirector::sharedDirector();
    if (!isTouchEnabled() || director->getRunningScene() != getParent() || director->getNextScene())
        return false;
    switch (key) {
    case SDLK_RIGHT:
        goNextPage(m_nextItem);
        return true;
    case SDLK_LEFT:
        goPreviousPage(m_previousItem);
        return true;
    case SDLK_SPACE:
        if (!m_playItem || !m_playItem->isVisible()) return false;
        togglePlay(m_playItem);
        return true;
    case SDLK_ESCAPE:
        goHome(m_homeItem);
        return true;
    case SDLK_s:
        openSettings(m_settingsItem);
        return true;
    default:
        return false;
    }
}

} // namespace book
