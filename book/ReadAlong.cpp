// Read-along: on a page whose entry in the book's read-along table is sound,
// auto-play plays the page's own recording in one piece and lights each word
// once the music's own position has reached the word's start. The position,
// not a timer, decides, so a late frame or a slow sound device can delay a
// word's highlight but never put it ahead of the voice.
//
// Log lines, for following a reading from the --log file:
//   read-along: page P reads along from FILE (N words, S s)
//   read-along: page P reads word by word: FAULTS
//   read-along: page P recording starts at S s (word W)
//   read-along: page P word W lit at S s (word starts at T s)
//   read-along: page P word W passed unlit at S s (word starts at T s)
//   read-along: page P recording ended
//   read-along: page P recording stopped at S s (WHY)
#include "book/BookContract.h"
#include "book/BookNames.h"
#include "book/BookState.h"
#include "book/PageLayer.h"
#include "book/ReadAlongTable.h"
#include "engine/audio/SimpleAudioEngine.h"
#include "engine/base/CCLog.h"
#include "engine/platform/CCClock.h"
#include "gui/UILayer.h"
#include "gui/UIRootWidget.h"
#include "gui/UIToolkit.h"
#include "gui/UIWidget.h"

#include <algorithm>

using namespace engine;

namespace book {

namespace {

// Resuming at a word starts the recording this much earlier (never inside
// the word before), so that an aligner's late start does not cut the word's
// first sound.
constexpr double kResumeLead = 0.1;

SimpleAudioEngine* audio() {
    return SimpleAudioEngine::sharedEngine();
}

} // namespace

void PageLayer::loadReadAlong() {
    m_readAlong.reset();
    std::string problem;
    const std::optional<ReadAlongTable> table = ReadAlongTable::read(bookDir, &problem);
    if (!table) return; // a book without the table reads word by word
    if (!problem.empty()) {
        CCLog("read-along: page %d reads word by word: %s %s", currentPage, readAlongFile(bookDir).c_str(),
              problem.c_str());
        return;
    }
    if (!table->hasPage(currentPage)) return;
    std::set<int> hotspots;
    gui::UIWidget* root = uiLayer ? uiLayer->getRootWidget() : nullptr;
    for (int index = 1; root && index <= kLastHotspotIndex; ++index)
        if (gui::UIToolkit::findWidgetByName(root, hotspotName(currentPage, index))) hotspots.insert(index);
    std::vector<ReadAlongFault> faults;
    std::optional<ReadAlongEntry> entry = table->entry(bookDir, currentPage, hotspots, faults);
    if (!entry) {
        CCLog("read-along: page %d reads word by word: %s", currentPage, describeFaults(faults).c_str());
        return;
    }
    m_readAlong = std::make_shared<const ReadAlongEntry>(std::move(*entry));
    CCLog("read-along: page %d reads along from %s (%zu words, %.3f s)", currentPage,
          m_readAlong->recording.c_str(), m_readAlong->words.size(), m_readAlong->recordingSeconds);
}

void PageLayer::autoPlayReadAlong() {
    auto again = [this](double interval) {
        schedule(schedule_selector(PageLayer::autoPlayStep), static_cast<float>(interval));
    };
    if (nextWordIndex > static_cast<int>(m_readAlong->words.size())) {
        // The page stays for its picture a while after its last word.
        if (m_readEndedAt < 0) m_readEndedAt = CCClock::now();
        const double rest = kReadAlongRestSeconds - (CCClock::now() - m_readEndedAt);
        if (rest > 1e-6) {
            again(rest);
            return;
        }
        m_readEndedAt = -1;
        autoPlayPageRead();
        return;
    }
    startReadAlong();
    again(kAutoPlayWait);
}

void PageLayer::startReadAlong() {
    const std::vector<ReadAlongWord>& words = m_readAlong->words;
    const int first = std::clamp(nextWordIndex, 1, static_cast<int>(words.size()));
    double from = 0;
    if (first > 1) {
        const double start = words[static_cast<size_t>(first - 1)].start;
        from =
            std::clamp(std::max(start - kResumeLead, words[static_cast<size_t>(first - 2)].end), 0.0, start);
    }
    m_litWord = first - 1;
    m_readEndedAt = -1;
    std::string whyNot;
    if (!audio()->playBackgroundMusicFrom(m_readAlong->recording.c_str(), from, &whyNot)) {
        CCLog("read-along: page %d reads word by word: its recording %s cannot play: %s", currentPage,
              m_readAlong->recording.c_str(), whyNot.c_str());
        m_readAlong.reset();
        return;
    }
    m_readingAlong = true;
    m_recordingFrom = from;
    m_recordingStartedAt = CCClock::now();
    CCLog("read-along: page %d recording starts at %.3f s (word %d)", currentPage, from, first);
    schedule(schedule_selector(PageLayer::readAlongStep)); // every frame
}

void PageLayer::readAlongStep(float) {
    if (!m_readingAlong || !m_readAlong) {
        unschedule(schedule_selector(PageLayer::readAlongStep));
        return;
    }
    const std::vector<ReadAlongWord>& words = m_readAlong->words;
    if (!audio()->isBackgroundMusicPlaying()) {
        m_readingAlong = false;
        unschedule(schedule_selector(PageLayer::readAlongStep));
        nextWordIndex = static_cast<int>(words.size()) + 1;
        m_readEndedAt = CCClock::now();
        CCLog("read-along: page %d recording ended", currentPage);
        return;
    }
    double position = audio()->getBackgroundMusicPosition();
    if (position < 0) {
        if (!m_positionUnknownLogged)
            CCLog("read-along: the sound output does not tell its position; page %d's highlight follows the "
                  "clock",
                  currentPage);
        m_positionUnknownLogged = true;
        position = m_recordingFrom + (CCClock::now() - m_recordingStartedAt);
    }
    int reached = m_litWord;
    while (reached < static_cast<int>(words.size()) && words[static_cast<size_t>(reached)].start <= position)
        ++reached;
    for (int passed = m_litWord + 1; passed < reached; ++passed)
        CCLog("read-along: page %d word %d passed unlit at %.3f s (word starts at %.3f s)", currentPage,
              passed, position, words[static_cast<size_t>(passed - 1)].start);
    if (reached > m_litWord) lightReadAlongWord(reached, position);
}

void PageLayer::lightReadAlongWord(int index, double position) {
    m_litWord = index;
    nextWordIndex = index + 1;
    gui::UIWidget* root = uiLayer ? uiLayer->getRootWidget() : nullptr;
    gui::UIWidget* hotspot = gui::UIToolkit::findWidgetByName(root, hotspotName(currentPage, index));
    if (hotspot) { // a sound entry has a hotspot for every word
        const CCPoint at = selectWordQuickly(hotspot);
        if (wordBubble) showWordText(hotspot, at, hotspotTag(currentPage, index));
    }
    CCLog("read-along: page %d word %d lit at %.3f s (word starts at %.3f s)", currentPage, index, position,
          m_readAlong->words[static_cast<size_t>(index - 1)].start);
}

void PageLayer::stopReadAlong(const char* why, bool silence) {
    unschedule(schedule_selector(PageLayer::readAlongStep));
    if (!m_readingAlong) return;
    m_readingAlong = false;
    // A page turn has counted on to the next page already.
    CCLog("read-along: page %d recording stopped at %.3f s (%s)",
          m_readAlong ? m_readAlong->page : currentPage, audio()->getBackgroundMusicPosition(), why);
    nextWordIndex = std::max(1, m_litWord);
    if (silence) audio()->stopBackgroundMusic();
}

} // namespace book
