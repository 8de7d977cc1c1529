// Word reading: a touched (or auto-played) word slides its highlight into
// place, shows its text in the speech bubble beside it and plays its
// narration; the bubble watch hides the bubble once the narration is over.
#include "app/ScreenFrame.h"
#include "book/BookNames.h"
#include "book/BookState.h"
#include "book/PageLayer.h"
#include "engine/actions/CCEaseElasticOut.h"
#include "engine/actions/CCMoveBy.h"
#include "engine/audio/SimpleAudioEngine.h"
#include "engine/base/CCLog.h"
#include "engine/text/CCLabelTTF.h"
#include "gui/UIButton.h"

#include <cmath>
#include <unordered_map>

using namespace engine;
using app::ScreenFrame;

namespace book {

namespace {

// The GBK bytes of the SimSun typeface's Chinese name, as books name it.
const char* const kWordFont = "\xCB\xCE\xCC\xE5";
constexpr float kSlideSeconds = 1.0f;
constexpr float kSlidePeriod = 9.25f;
constexpr int kSlideActionTag = 0x51de;

// Where each running slide ends. Read only while the slide action still runs
// on the hotspot, so an entry of a hotspot gone with its page is never used.
std::unordered_map<const gui::UIWidget*, CCPoint>& slideEnds() {
    static std::unordered_map<const gui::UIWidget*, CCPoint> ends;
    return ends;
}

// A slide still running is ended at its destination first: a word touched
// again mid-slide would otherwise take the halfway point as its own place
// and stay there.
void finishSlide(gui::UIWidget* hotspot) {
    CCNode* node = hotspot->getRenderer();
    if (!node || !node->getActionByTag(kSlideActionTag)) return;
    node->stopActionByTag(kSlideActionTag);
    auto end = slideEnds().find(hotspot);
    if (end != slideEnds().end()) hotspot->setPosition(end->second);
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

void PageLayer::onWordTouched(CCObject* sender, int /*eventType*/) {
    auto* hotspot = dynamic_cast<gui::UIWidget*>(sender);
    if (!hotspot) return;
    if (selectedWord == hotspot && SimpleAudioEngine::sharedEngine()->isBackgroundMusicPlaying()) {
        hotspot->setFocused(true);
        return;
    }
    CCPoint position = selectWord(hotspot);
    int tag = hotspot->getActionTag();
    nextWordIndex = indexFromTag(tag, currentPage) + 1;
    showAndPlay(hotspot, position, tag);
}

CCPoint PageLayer::selectWord(gui::UIWidget* hotspot) {
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
    CCPoint position = hotspot->getPosition();

    hotspot->setPosition(start);
    CCAction* slide =
        CCEaseElasticOut::create(CCMoveBy::create(kSlideSeconds, position - start), kSlidePeriod);
    slide->setTag(kSlideActionTag);
    slideEnds()[hotspot] = position;
    hotspot->getRenderer()->runAction(slide);
    return position;
}

void PageLayer::showAndPlay(gui::UIWidget* hotspot, const CCPoint& position, int tag) {
    std::optional<std::string> text = readWordText(textKey(tag, currentPage));
    if (!text) {
        if (wordBubble) wordBubble->setSize(CCSizeZero);
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

        std::string shown = "-" + *text + "-";
        wordLabel = CCLabelTTF::create(shown.c_str(), kWordFont, static_cast<float>(textsize));
        wordLabel->setDimensions(CCSize(width, 0));
        wordLabel->setHorizontalAlignment(kCCTextAlignmentCenter);
        wordLabel->setColor(ccc3(0, 0, 255));

        double hotspotHalf = hotspotSize.height * static_cast<double>(sy) * 0.5;
        double labelHalf = wordLabel->getContentSize().height * 0.5;
        float labelY, bubbleY;
        if (position.y < 0) { // text above the word
            labelY = static_cast<float>(position.y + hotspotHalf + labelHalf);
            bubbleY = static_cast<float>(labelY + gap * 0.5);
        } else { // text below the word
            labelY = static_cast<float>(position.y - hotspotHalf - labelHalf);
            bubbleY = static_cast<float>(labelY - gap * 0.5);
        }

        wordLabel->setVisible(true);
        wordBubble->setVisible(true);
        wordLabel->setPosition(ccp(position.x, labelY));
        wordBubble->setPosition(ccp(position.x, bubbleY));
        CCSize labelSize = wordLabel->getContentSize();
        wordBubble->setSize(CCSize(labelSize.width, labelSize.height + gap));
        if (parent && parent->getRenderer()) parent->getRenderer()->addChild(wordLabel, 0);
    }
    playNarration(tag);
}

void PageLayer::playNarration(int tag) {
    std::string path = narrationPath(bookDir, soundName(tag, currentPage));
    SimpleAudioEngine::sharedEngine()->playBackgroundMusic(path.c_str());
}

void PageLayer::bubbleWatch(float /*elapsed*/) {
    unschedule(schedule_selector(PageLayer::bubbleWatch));
    if (!SimpleAudioEngine::sharedEngine()->isBackgroundMusicPlaying() && wordBubble && wordLabel) {
        wordLabel->setVisible(false);
        wordBubble->setVisible(false);
    }
    schedule(schedule_selector(PageLayer::bubbleWatch), 1.0f);
}

} // namespace book
