// Page navigation of the page layers: page turns from the menu, swipes and
// keys; the double-tap hint; play/pause and the auto-play tick; home and the
// settings panel.
//
// Index: page turns | touches | play and auto-play | home and settings | keys
#include "book/BookContract.h"
#include "book/BookNames.h"
#include "book/BookState.h"
#include "book/FocusRing.h"
#include "book/PageLayer.h"
#include "book/ScreenChanges.h"
#include "engine/audio/SimpleAudioEngine.h"
#include "engine/base/CCLog.h"
#include "engine/base/CCSet.h"
#include "engine/base/CCTouch.h"
#include "engine/director/CCDirector.h"
#include "engine/menu/CCMenuItemFont.h"
#include "engine/menu/CCMenuItemImage.h"
#include "engine/nodes/CCScene.h"
#include "engine/nodes/CCSprite.h"
#include "engine/platform/CCClock.h"
#include "engine/text/CCLabelTTF.h"
#include "gui/UILayer.h"
#include "gui/UIRootWidget.h"
#include "gui/UIToolkit.h"
#include "gui/UIWidget.h"

#include <cmath>
#include <cstdlib>

using namespace engine;

namespace book {

namespace {

// Horizontal travel, in points from where the touch began, that turns a page.
constexpr float kSwipeDistance = 50.0f;
constexpr float kHintShown = 3.0f;
// Auto-play's tick while its page is still turning in.
constexpr float kArrivalWait = 0.1f;
// Least time a page without words stays on screen under auto-play.
constexpr double kWordlessPageShown = 3.0;

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
    if (m_readingAlong) stopReadAlong("a page turn", true);
    unscheduleAllSelectors();
    selectedWord = nullptr;
    screens::turnTo(createTwin(), turnDirection < 0);
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
            std::string text = readInterfaceText(interfaceText::kNoWordHere).value_or("");
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
    const float x = touch->getLocation().x;
    if (turnBySwipe(lastTouch.x, x)) lastTouch.x = x;
}

bool PageLayer::turnBySwipe(float fromX, float toX) {
    if (!takesInput()) return false; // a turn has started already
    if (toX - fromX >= kSwipeDistance && currentPage > pageMin) {
        goPreviousPage(nullptr);
        return true;
    }
    if (fromX - toX >= kSwipeDistance && currentPage < pageMax) {
        goNextPage(nullptr);
        return true;
    }
    return false;
}

bool PageLayer::takesInput() const {
    CCDirector* director = CCDirector::sharedDirector();
    return isTouchEnabled() && director->getRunningScene() == getParent() && !director->getNextScene();
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
        setPlayImage(sender, controlImage::kPause);
    } else {
        if (m_readingAlong) stopReadAlong("pause", false); // stopped just below
        audio()->setBackgroundMusicVolume(1.0f);
        audio()->stopBackgroundMusic();
        setPlayImage(sender, controlImage::kPlay);
        unschedule(schedule_selector(PageLayer::autoPlayStep));
    }
}

void PageLayer::autoPlayStep(float) {
    unschedule(schedule_selector(PageLayer::autoPlayStep));
    auto again = [this](float interval) { schedule(schedule_selector(PageLayer::autoPlayStep), interval); };

    if (m_readingAlong) readAlongStep(0); // a recording's end that no frame has seen yet
    if (audio()->isBackgroundMusicPlaying()) {
        again(kAutoPlayWait);
        return;
    }
    if (autoPlayPause) {
        autoPlayPause = false;
        again(kAutoPlayWait);
        return;
    }
    if (m_shownSince < 0) {
        // Still turning in (a slow curl): a word read now would be cut by the
        // outgoing page's exit, and its label would stay without a bubble.
        again(kArrivalWait);
        return;
    }
    if (m_readAlong) {
        autoPlayReadAlong();
        return;
    }
    if (nextWordIndex > lastWordIndex) {
        if (readingMode == kAutoPlayTurnsPages && lastWordIndex == 0 && wordlessPageWaitLeft() > 0) {
            again(static_cast<float>(wordlessPageWaitLeft()));
            return;
        }
        autoPlayPageRead();
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

void PageLayer::autoPlayPageRead() {
    auto again = [this](float interval) { schedule(schedule_selector(PageLayer::autoPlayStep), interval); };
    autoPlayPause = true;
    if (readingMode == kAutoPlayRepeatsPage) {
        nextWordIndex = 1;
        again(kAutoPlayStart);
    } else if (readingMode == kAutoPlayTurnsPages) {
        // The new page starts auto-play itself.
        if (currentPage >= pageMax)
            endAutoPlayAtBookEnd();
        else
            goNextPage(nullptr);
    } else {
        again(kAutoPlayWait);
    }
}

double PageLayer::wordlessPageWaitLeft() const {
    if (m_shownSince < 0) return kWordlessPageShown; // still turning in
    return kWordlessPageShown - (CCClock::now() - m_shownSince);
}

void PageLayer::endAutoPlayAtBookEnd() {
    CCLog("auto-play: end of the book");
    autoPlayOn = false;
    nextWordIndex = 1; // play reads this page again from its first word
    if (m_playItem) setPlayImage(m_playItem, controlImage::kPlay);
}

// --- home and settings

void PageLayer::goHome(CCObject*) {
    if (m_readingAlong) stopReadAlong("home", true);
    autoPlayOn = false;
    unscheduleAllSelectors();
    screens::home();
}

void PageLayer::openSettings(CCObject*) {
    // Narration is a word's short clip; the page's recording would go on over the panel.
    if (m_readingAlong) stopReadAlong("the settings panel", true);
    unscheduleAllSelectors();
    screens::settings();
}

// --- keys

bool PageLayer::onPageKey(int key) {
    if (!takesInput()) return false;
    if (m_focusRing && m_focusRing->handleKey(key)) return true;
    switch (key) {
    case kKeyRight:
        goNextPage(m_nextItem);
        return true;
    case kKeyLeft:
        goPreviousPage(m_previousItem);
        return true;
    case kKeySpace:
        if (!m_playItem || !m_playItem->isVisible()) return false;
        togglePlay(m_playItem);
        return true;
    case kKeyEscape:
        goHome(m_homeItem);
        return true;
    case 's':
        openSettings(m_settingsItem);
        return true;
    default:
        return false;
    }
}

} // namespace book
