// Word reading: a touched (or auto-played) word slides its highlight into
// place, shows its text in the speech bubble beside it and plays its
// narration; the bubble watch hides the bubble once the narration is over.
#include "book/BookContract.h"
#include "book/BookNames.h"
#include "book/BookState.h"
#include "book/PageLayer.h"
#include "engine/actions/CCEaseElasticOut.h"
#include "engine/actions/CCMoveBy.h"
#include "engine/audio/SimpleAudioEngine.h"
#include "engine/base/CCArray.h"
#include "engine/base/CCLog.h"
#include "engine/text/CCLabelTTF.h"
#include "frame/ScreenFrame.h"
#include "gui/UIButton.h"

#include <cmath>
#include <unordered_map>
#include <vector>

using namespace engine;
using frame::ScreenFrame;

namespace book {

namespace {

constexpr float kSlideSeconds = 1.0f;
constexpr float kSlidePeriod = 9.25f;
// Under read-along the highlight must rest on a word within 120 ms of its
// start, polled once a frame: three frames of move leave room for a late one.
constexpr float kQuickSlideSeconds = 0.05f;
constexpr int kSlideActionTag = 0x51de;

// The pictures of a highlight: what the hotspot's render node draws of its
// own, not the render nodes of widgets inside it.
std::vector<CCNode*> highlightPictures(gui::UIWidget* hotspot) {
    std::vector<CCNode*> pictures;
    CCNode* node = hotspot->getRenderer();
    if (!node) return pictures;
    engine::CCArray* children = hotspot->getChildren();
    for (CCNode* child : node->getChildren()) {
        bool isWidget = false;
        for (unsigned int i = 0; children && i < children->count() && !isWidget; ++i) {
            auto* widget = dynamic_cast<gui::UIWidget*>(children->objectAtIndex(i));
            isWidget = widget && widget->getRenderer() == child;
        }
        if (!isWidget) pictures.push_back(child);
    }
    return pictures;
}

// Where each sliding picture rests. Read only while its slide still runs, so
// an entry of a picture gone with its page is never used.
std::unordered_map<const CCNode*, CCPoint>& restingPlaces() {
    static std::unordered_map<const CCNode*, CCPoint> places;
    return places;
}

// A slide still running is ended at its resting place first: a word touched
// again mid-slide would otherwise keep its picture halfway.
void finishSlide(gui::UIWidget* hotspot) {
    for (CCNode* picture : highlightPictures(hotspot)) {
        if (!picture->getActionByTag(kSlideActionTag)) continue;
        picture->stopActionByTag(kSlideActionTag);
        auto place = restingPlaces().find(picture);
        if (place != restingPlaces().end()) picture->setPosition(place->second);
        restingPlaces().erase(picture);
    }
}

// Only the highlight's pictures travel from `start` (in the parent's space):
// the hotspot itself, and with it its touch area, stays on the printed word.
void slidePictures(gui::UIWidget* hotspot, const CCPoint& start, bool quick) {
    CCNode* node = hotspot->getRenderer();
    if (!node) return;
    CCAffineTransform toLocal = node->parentToNodeTransform();
    CCPoint offset = CCPointApplyAffineTransform(start, toLocal) -
                     CCPointApplyAffineTransform(hotspot->getPosition(), toLocal);
    for (CCNode* picture : highlightPictures(hotspot)) {
        CCPoint rest = picture->getPosition();
        restingPlaces()[picture] = rest;
        picture->setPosition(rest + offset);
        CCAction* slide =
            quick
                ? static_cast<CCAction*>(CCMoveBy::create(kQuickSlideSeconds, CCPoint() - offset))
                : CCEaseElasticOut::create(CCMoveBy::create(kSlideSeconds, CCPoint() - offset), kSlidePeriod);
        slide->setTag(kSlideActionTag);
        picture->runAction(slide);
    }
}

void removeWordLabel() {
    if (!wordLabel) return;
    wordLabel->removeFromParentAndCleanup(true);
    wordLabel = nullptr;
}

// Moves the bubble under `parent` (kept alive across the move).
void moveBubbleTo(gui::UIWidget* parent) {
    if (!parent || wordBubble->getParent() == parent) return;
    CCRef<gui::UIButton> keep(wordBubble);
    if (gui::UIWidget* old = wordBubble->getParent()) old->removeChild(wordBubble);
    parent->addChild(wordBubble);
}

} // namespace

void PageLayer::onWordTouched(CCObject* sender, int eventType) {
    auto* hotspot = dynamic_cast<gui::UIWidget*>(sender);
    if (!hotspot || !takesInput()) return;
    if (eventType == gui::TOUCH_EVENT_MOVED &&
        turnBySwipe(hotspot->getTouchStartPos().x, hotspot->getTouchMovePos().x))
        return;
    // Only the press reads: its moves and its release, whether the narration
    // still plays, has ended or never started, leave the word as it is.
    // (Under read-along the page's recording plays, not the word's clip: a
    // touch on the lit word reads its clip.)
    if (eventType != gui::TOUCH_EVENT_BEGAN ||
        (selectedWord == hotspot && !m_readingAlong &&
         SimpleAudioEngine::sharedEngine()->isBackgroundMusicPlaying())) {
        if (selectedWord == hotspot) hotspot->setFocused(true);
        return;
    }
    int tag = hotspot->getActionTag();
    if (m_readingAlong) stopReadAlong("a touch on a word", false); // the word's clip takes its place
    m_readEndedAt = -1; // a page read to its end rests again after this word
    CCPoint position = selectWord(hotspot);
    nextWordIndex = indexFromTag(tag, currentPage) + 1;
    showAndPlay(hotspot, position, tag);
}

namespace {
CCPoint select(gui::UIWidget* hotspot, bool quick) {
    CCPoint start = CCPointZero;
    if (selectedWord) {
        finishSlide(selectedWord);
        selectedWord->setVisible(false);
        start = selectedWord->getPosition();
        selectedWord->setFocused(false);
    }
    finishSlide(hotspot);
    selectedWord = hotspot;
    hotspot->setFocused(true);
    hotspot->setVisible(true);
    slidePictures(hotspot, start, quick);
    return hotspot->getPosition();
}
} // namespace

CCPoint PageLayer::selectWord(gui::UIWidget* hotspot) {
    return select(hotspot, false);
}

CCPoint PageLayer::selectWordQuickly(gui::UIWidget* hotspot) {
    return select(hotspot, true);
}

void PageLayer::showAndPlay(gui::UIWidget* hotspot, const CCPoint& position, int tag) {
    showWordText(hotspot, position, tag);
    playNarration(tag);
}

void PageLayer::showWordText(gui::UIWidget* hotspot, const CCPoint& position, int tag) {
    std::optional<std::string> text = readWordText(textKey(tag, currentPage));
    if (!text) {
        if (wordBubble) wordBubble->setSize(CCSizeZero);
        // The label of the word before would otherwise stay, without its bubble.
        removeWordLabel();
    } else if (text->size() >= kLongestShownText) {
        CCLog("page: the text of \"%s\" has %zu bytes, over the %zu a bubble shows; it is not shown",
              textKey(tag, currentPage).c_str(), text->size(), kLongestShownText - 1);
        if (wordBubble) wordBubble->setVisible(false);
        // The label of the word before would otherwise stay, now wrong.
        removeWordLabel();
    } else if (wordBubble) {
        removeWordLabel();
        gui::UIWidget* parent = hotspot->getParent();
        moveBubbleTo(parent);

        float sx = std::fabs(hotspot->getScaleX()), sy = std::fabs(hotspot->getScaleY());
        CCSize hotspotSize = hotspot->getContentSize();
        float width = hotspotSize.width * sx;
        float gap = static_cast<float>((ScreenFrame::top().y - ScreenFrame::bottom().y) / 40.0);

        std::string shown = bubbleText(*text);
        wordLabel = CCLabelTTF::create(shown.c_str(), kBubbleFont, static_cast<float>(textsize));
        wordLabel->setDimensions(CCSize(width, 0));
        wordLabel->setHorizontalAlignment(kCCTextAlignmentCenter);
        wordLabel->setColor(ccc3(0, 0, 255));

        double hotspotHalf = hotspotSize.height * static_cast<double>(sy) * 0.5;
        double labelHalf = wordLabel->getContentSize().height * 0.5;
        float bubbleY;
        if (position.y < 0) { // text above the word
            bubbleY = static_cast<float>(position.y + hotspotHalf + labelHalf + gap * 0.5);
        } else { // text below the word
            bubbleY = static_cast<float>(position.y - hotspotHalf - labelHalf - gap * 0.5);
        }
        // The text sits in the middle of its bubble, half the gap from every
        // edge, so that the bubble's border never covers it.
        const float labelY = bubbleY;

        wordLabel->setVisible(true);
        wordBubble->setVisible(true);
        wordLabel->setPosition(ccp(position.x, labelY));
        wordBubble->setPosition(ccp(position.x, bubbleY));
        CCSize labelSize = wordLabel->getContentSize();
        wordBubble->setSize(CCSize(labelSize.width + gap, labelSize.height + gap));
        if (parent && parent->getRenderer()) parent->getRenderer()->addChild(wordLabel, 0);
    }
}

void PageLayer::playNarration(int tag) {
    std::string sound = soundName(tag, currentPage);
    std::string path = narrationPath(bookDir, sound);
    std::string whyNot;
    if (!SimpleAudioEngine::sharedEngine()->playBackgroundMusic(path.c_str(), false, &whyNot))
        CCLog("book: page %d word %d (%s) cannot be read aloud: %s: %s", currentPage,
              indexFromTag(tag, currentPage), sound.c_str(), path.c_str(), whyNot.c_str());
}

void PageLayer::bubbleWatch(float /*elapsed*/) {
    unschedule(schedule_selector(PageLayer::bubbleWatch));
    if (!SimpleAudioEngine::sharedEngine()->isBackgroundMusicPlaying() && wordBubble && wordLabel) {
        wordLabel->setVisible(false);
        wordBubble->setVisible(false);
    }
    // A label never outlives its bubble.
    if (wordLabel && (!wordBubble || !wordBubble->isVisible())) wordLabel->setVisible(false);
    schedule(schedule_selector(PageLayer::bubbleWatch), 1.0f);
}

} // namespace book
