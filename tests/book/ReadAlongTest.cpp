// Read-along on small books with a page recording and its words' times:
// each highlight lands within 120 ms of its word's start as the music's
// position tells it, never before, also when the music stalls or reports
// late; touches, pause and play, the rest at the page's end under both
// auto-play modes, leaving the page; and a faulty entry falling back to
// word-by-word reading.
#include "book/BookFixture.h"
#include "book/BookNames.h"
#include "book/ReadAlongTable.h"
#include "book/ScreenChanges.h"
#include "engine/audio/SimpleAudioEngine.h"
#include "engine/audio/TestAudioBackend.h"
#include "engine/director/CCDirector.h"
#include "engine/menu/CCMenuItemImage.h"
#include "engine/nodes/CCScene.h"
#include "engine/platform/CCClock.h"
#include "engine/text/CCLabelTTF.h"
#include "gui/UILayer.h"
#include "gui/UIRootWidget.h"
#include "gui/UIToolkit.h"
#include "gui/UIWidget.h"

#include <filesystem>
#include <memory>

using namespace engine;
using namespace booktest;

namespace {

constexpr int kPage = 3;
// Word i of page 3 is said from kTimes[i - 1][0] to kTimes[i - 1][1].
constexpr double kTimes[3][2] = {{0.25, 0.45}, {0.65, 0.90}, {1.05, 1.30}};
constexpr double kOnTime = 0.120;
const CCPoint kWords[3] = {{150, 600}, {450, 600}, {320, 300}};
const CCPoint kPlayItem(580, 40), kNextItem(352, 38);

class ReadAlongTest : public BookFixture {
protected:
    void SetUp() override {
        if (!book.writeAll() || SmallBook::spokenSeconds() < 1.5)
            GTEST_SKIP() << "needs espeak-ng and lame to make narration";
        book.writePage(kPage, {{1, kWords[0], {}}, {2, kWords[1], {}}, {3, kWords[2], {}}});
        book.writePage(4, {{1, {320, 500}, {}}});
        book.writeWordTexts({{"str031", "one"}, {"str032", "two"}, {"str033", "three"}, {"str041", "four"}});
        for (int tag : {31, 32, 33})
            book.writeNarration(tag, kPage);
        book.writeNarration(41, 4);
        book.writePageRecording(kPage);
        writeTable({});
        auto backend = std::make_unique<TestAudioBackend>();
        audio = backend.get();
        SimpleAudioEngine::sharedEngine()->setBackend(std::move(backend));
    }

    // The table for page 3, with `changes` over its sound entry ("<none>" removes a key).
    void writeTable(const std::map<std::string, std::string>& changes) {
        std::map<std::string, std::string> table{{"pg03", "3"}};
        for (int i = 0; i < 3; ++i)
            table["rd03" + std::to_string(i + 1)] =
                std::to_string(kTimes[i][0]) + " " + std::to_string(kTimes[i][1]);
        for (const auto& [key, value] : changes)
            if (value == "<none>")
                table.erase(key);
            else
                table[key] = value;
        book.writeReadAlong(table);
    }

    // Page 3 on screen, the first time as the first scene, then in place of
    // the page before.
    book::PageLayer* openPage() {
        if (!m_started) {
            m_started = true;
            return startPage(kPage);
        }
        book::currentPage = kPage;
        book::screens::page();
        view.step();
        return runningPage();
    }
    // Page 3 read under auto-play in `mode`.
    book::PageLayer* startReading(int mode) {
        book::readingMode = mode;
        book::autoPlayOn = mode == book::kAutoPlayTurnsPages;
        book::PageLayer* page = openPage();
        if (mode == book::kAutoPlayRepeatsPage) tap(kPlayItem);
        return page;
    }

    gui::UIWidget* hotspot(int index) const {
        book::PageLayer* page = runningPage();
        if (!page) return nullptr;
        return gui::UIToolkit::findWidgetByName(page->getUILayer()->getRootWidget(),
                                                book::hotspotName(kPage, index));
    }
    // Word `index` is highlighted and its highlight has stopped moving.
    bool onWord(int index) const {
        gui::UIWidget* word = hotspot(index);
        if (!word || book::selectedWord != word) return false;
        for (CCNode* picture : word->getRenderer()->getChildren())
            if (picture->numberOfRunningActions() > 0) return false;
        return true;
    }
    int litWord() const {
        for (int i = 1; i <= 3; ++i)
            if (hotspot(i) && book::selectedWord == hotspot(i)) return i;
        return 0;
    }
    std::string recordingPlay() const {
        return "audio: play " + book::narrationPath("testLirra", book::pageRecordingName(kPage));
    }
    std::string clipPlay(int tag, int page = kPage) const {
        return "audio: play " + book::narrationPath("testLirra", book::soundName(tag, page));
    }
    // Index of the first log line holding `fragment` at or after `from`; -1 when none.
    int lineOf(const std::string& fragment, int from = 0) const {
        const auto& lines = log.lines();
        for (int i = from; i < static_cast<int>(lines.size()); ++i)
            if (lines[static_cast<size_t>(i)].find(fragment) != std::string::npos) return i;
        return -1;
    }

    // Steps frames until the recording has ended. Whenever a word is lit
    // (again), what has been heard by then (`heard()`) must have reached its
    // start; notes, for each word, what had been heard when its highlight
    // came to rest on it.
    template <class Heard> void readThrough(Heard heard, double landed[3], double seconds = 10) {
        for (int i = 0; i < 3; ++i)
            landed[i] = -1;
        int pending = 0;
        for (int frame = 0; frame < seconds * 60 && !log.contains("recording ended"); ++frame) {
            const int lightsBefore = log.count(" lit at ");
            view.step();
            const int lit = litWord();
            const double now = heard();
            if (log.count(" lit at ") > lightsBefore) {
                ASSERT_GT(lit, 0);
                EXPECT_GE(now, kTimes[lit - 1][0]) << "word " << lit << " lit before it was said";
                pending = lit;
            }
            if (pending && lit == pending && onWord(lit)) {
                if (landed[lit - 1] < 0) landed[lit - 1] = now;
                pending = 0;
            }
        }
    }

    TestAudioBackend* audio = nullptr;

private:
    bool m_started = false;
};

} // namespace

TEST_F(ReadAlongTest, EachWordIsLitWithin120msOfItsStartAndNeverBefore) {
    startReading(book::kAutoPlayTurnsPages);
    ASSERT_NE(runningPage()->getReadAlong(), nullptr) << testing::PrintToString(log.lines());
    double landed[3];
    readThrough([&] { return audio->position(); }, landed);
    ASSERT_TRUE(log.contains("recording ended"));
    for (int i = 0; i < 3; ++i) {
        EXPECT_GE(landed[i], kTimes[i][0]) << "word " << i + 1;
        EXPECT_LE(landed[i], kTimes[i][0] + kOnTime) << "word " << i + 1;
    }
    // One piece: the recording once from its start, no word's own clip.
    EXPECT_EQ(log.count("audio: play"), 1);
    EXPECT_EQ(log.count(recordingPlay()), 1);
    EXPECT_EQ(log.count("audio: seek"), 0);
    // The bubble shows the lit word's text.
    ASSERT_NE(book::wordLabel, nullptr);
    EXPECT_STREQ(book::wordLabel->getString(), "-three-");
    // The log tells the start, each word with where the music was, the end.
    const int start = lineOf("read-along: page 3 recording starts at 0.000 s (word 1)");
    const int one = lineOf("read-along: page 3 word 1 lit at 0.2");
    const int two = lineOf("read-along: page 3 word 2 lit at 0.6");
    const int three = lineOf("read-along: page 3 word 3 lit at 1.");
    const int end = lineOf("read-along: page 3 recording ended");
    EXPECT_LT(lineOf(recordingPlay()), start);
    EXPECT_GE(start, 0);
    EXPECT_LT(start, one);
    EXPECT_LT(one, two);
    EXPECT_LT(two, three);
    EXPECT_LT(three, end);
}

TEST_F(ReadAlongTest, StalledOrLateMusicNeverLetsTheHighlightRunAhead) {
    startReading(book::kAutoPlayTurnsPages);
    ASSERT_TRUE(stepUntil([&] { return log.contains("recording starts"); }, 3));
    // The sound device stalls as the recording starts and again after the
    // first word: the clock runs on, the voice does not, and nor may the
    // highlight.
    audio->setStalled(true);
    view.step(30);
    EXPECT_EQ(litWord(), 0);
    audio->setStalled(false);
    ASSERT_TRUE(stepUntil([&] { return onWord(1); }, 1));
    ASSERT_TRUE(stepUntil([&] { return audio->position() >= 0.5; }, 1));
    audio->setStalled(true);
    view.step(60);
    EXPECT_EQ(litWord(), 1) << "word 2 lit while the voice stood still";
    audio->setStalled(false);
    double landed[3];
    readThrough([&] { return audio->position(); }, landed);
    for (int i = 1; i < 3; ++i) {
        EXPECT_GE(landed[i], kTimes[i][0]) << "word " << i + 1;
        EXPECT_LE(landed[i], kTimes[i][0] + kOnTime) << "word " << i + 1;
    }

    // A device that reports its position late: what it reports decides,
    // so the highlight comes later than the voice, never earlier.
    audio->setPositionLag(0.25);
    log.clear();
    ASSERT_NE(startReading(book::kAutoPlayTurnsPages), nullptr);
    readThrough([&] { return audio->position(); }, landed); // the reported position
    for (int i = 0; i < 3; ++i) {
        EXPECT_GE(landed[i], kTimes[i][0]) << "word " << i + 1;
        EXPECT_LE(landed[i], kTimes[i][0] + kOnTime) << "word " << i + 1;
    }
}

TEST_F(ReadAlongTest, AnOutputThatCannotTellItsPositionIsFollowedByTheClock) {
    struct NoPosition : TestAudioBackend {
        double position() override { return -1.0; }
    };
    auto owned = std::make_unique<NoPosition>();
    NoPosition* backend = owned.get();
    SimpleAudioEngine::sharedEngine()->setBackend(std::move(owned));
    audio = nullptr;
    startReading(book::kAutoPlayTurnsPages);
    double landed[3];
    readThrough([&] { return backend->TestAudioBackend::position(); }, landed);
    for (int i = 0; i < 3; ++i) {
        EXPECT_GE(landed[i], kTimes[i][0]) << "word " << i + 1;
        EXPECT_LE(landed[i], kTimes[i][0] + kOnTime) << "word " << i + 1;
    }
    EXPECT_EQ(log.count("does not tell its position"), 1);
}

TEST_F(ReadAlongTest, LateFramesSkipNoWordAheadOfTheVoice) {
    startReading(book::kAutoPlayTurnsPages);
    ASSERT_TRUE(stepUntil([&] { return log.contains("recording starts"); }, 3));
    // A loaded machine: frames a tenth of a second apart, and one of 0.7 s
    // that passes word 2 whole.
    view.step(4, 0.1f);
    EXPECT_EQ(litWord(), 1);
    view.step(1, 0.7f);
    EXPECT_GE(audio->position(), kTimes[2][0]);
    EXPECT_EQ(litWord(), 3) << "the word being said, not one behind";
    EXPECT_TRUE(log.contains("read-along: page 3 word 2 passed unlit"));
    EXPECT_TRUE(stepUntil([&] { return onWord(3); }, 0.1));
}

TEST_F(ReadAlongTest, ATouchReadsTheWordsClipThenTheRecordingGoesOnAtTheNextWord) {
    startReading(book::kAutoPlayTurnsPages);
    ASSERT_TRUE(stepUntil([&] { return onWord(1); }, 3));
    tap(kWords[1]);
    EXPECT_TRUE(log.contains("read-along: page 3 recording stopped at"));
    EXPECT_EQ(log.count(clipPlay(32)), 1);
    EXPECT_EQ(book::selectedWord, hotspot(2));
    EXPECT_EQ(book::nextWordIndex, 3);
    // The clip plays out; then the recording goes on from word 3 (a little
    // before it, never inside word 2).
    ASSERT_TRUE(stepUntil([&] { return log.contains("recording starts at 0.950 s (word 3)"); }, 6));
    EXPECT_LT(lineOf(clipPlay(32)), lineOf("audio: seek 0.950"));
    EXPECT_EQ(litWord(), 2) << "word 3 lit before its start";
    double landed[3];
    readThrough([&] { return audio->position(); }, landed);
    EXPECT_GE(landed[2], kTimes[2][0]);
    EXPECT_LE(landed[2], kTimes[2][0] + kOnTime);
    EXPECT_EQ(log.count(clipPlay(31)) + log.count(clipPlay(33)), 0);

    // The lit word touched while the recording plays reads its own clip too.
    startReading(book::kAutoPlayTurnsPages);
    ASSERT_TRUE(stepUntil([&] { return onWord(1); }, 3));
    tap(kWords[0]);
    EXPECT_EQ(log.count(clipPlay(31)), 1);
}

TEST_F(ReadAlongTest, PauseStopsTheRecordingAndPlayGoesOnFromTheLitWord) {
    startReading(book::kAutoPlayRepeatsPage);
    ASSERT_TRUE(stepUntil([&] { return onWord(2); }, 3));
    tap(kPlayItem);
    EXPECT_FALSE(book::autoPlayOn);
    EXPECT_FALSE(SimpleAudioEngine::sharedEngine()->isBackgroundMusicPlaying());
    EXPECT_TRUE(log.contains("read-along: page 3 recording stopped at"));
    view.step(120);
    EXPECT_EQ(litWord(), 2) << "the highlight stays while paused";
    EXPECT_FALSE(log.contains("recording starts at 0.550"));

    log.clear();
    tap(kPlayItem);
    // From just before word 2 (never inside word 1), which lights again at its start.
    ASSERT_TRUE(stepUntil([&] { return log.contains("recording starts at 0.550 s (word 2)"); }, 2));
    EXPECT_TRUE(log.contains("audio: seek 0.550"));
    double landed[3];
    readThrough([&] { return audio->position(); }, landed);
    EXPECT_GE(landed[1], kTimes[1][0]);
    EXPECT_LE(landed[1], kTimes[1][0] + kOnTime);
    EXPECT_GE(landed[2], kTimes[2][0]);
    EXPECT_LE(landed[2], kTimes[2][0] + kOnTime);
}

TEST_F(ReadAlongTest, AfterTheRecordingThePageRestsThenTurnsOrReadsAgain) {
    startReading(book::kAutoPlayTurnsPages);
    ASSERT_TRUE(stepUntil([&] { return log.contains("recording ended"); }, 5));
    const double ended = CCClock::now();
    ASSERT_TRUE(stepUntil([&] { return book::currentPage == 4; }, 5));
    EXPECT_GE(CCClock::now() - ended, book::kReadAlongRestSeconds);
    EXPECT_LE(CCClock::now() - ended, book::kReadAlongRestSeconds + 0.6);
    // Page 4 has no entry: it reads word by word.
    ASSERT_TRUE(stepUntil([&] { return log.contains(clipPlay(41, 4)); }, 5));

    log.clear();
    book::currentPage = kPage;
    startReading(book::kAutoPlayRepeatsPage);
    ASSERT_TRUE(stepUntil([&] { return log.contains("recording ended"); }, 5));
    const double again = CCClock::now();
    ASSERT_TRUE(stepUntil([&] { return log.count("recording starts at 0.000 s (word 1)") == 2; }, 5));
    EXPECT_GE(CCClock::now() - again, book::kReadAlongRestSeconds);
    EXPECT_EQ(book::currentPage, kPage);
    EXPECT_TRUE(stepUntil([&] { return onWord(1); }, 1)) << "word 1 lit again";

    // A word touched during the rest is read, and the rest starts again after it.
    log.clear();
    startReading(book::kAutoPlayTurnsPages);
    ASSERT_TRUE(stepUntil([&] { return log.contains("recording ended"); }, 5));
    view.step(60);
    tap(kWords[2]);
    ASSERT_TRUE(log.contains(clipPlay(33)));
    ASSERT_TRUE(stepUntil([&] { return !SimpleAudioEngine::sharedEngine()->isBackgroundMusicPlaying(); }, 5));
    const double clipEnded = CCClock::now();
    ASSERT_TRUE(stepUntil([&] { return book::currentPage == 4; }, 5));
    EXPECT_GE(CCClock::now() - clipEnded, book::kReadAlongRestSeconds);
}

TEST_F(ReadAlongTest, LeavingThePageStopsTheRecording) {
    startReading(book::kAutoPlayTurnsPages);
    ASSERT_TRUE(stepUntil([&] { return onWord(1); }, 3));
    tap(kNextItem);
    EXPECT_TRUE(log.contains("read-along: page 3 recording stopped at"))
        << testing::PrintToString(log.lines());
    EXPECT_TRUE(log.contains("(a page turn)"));
    EXPECT_FALSE(SimpleAudioEngine::sharedEngine()->isBackgroundMusicPlaying());
    view.step(60);

    for (auto leave : {&book::PageLayer::goHome, &book::PageLayer::openSettings}) {
        log.clear();
        book::PageLayer* page = startReading(book::kAutoPlayTurnsPages);
        ASSERT_TRUE(stepUntil([&] { return onWord(1); }, 3));
        (page->*leave)(nullptr);
        EXPECT_TRUE(log.contains("read-along: page 3 recording stopped at"))
            << testing::PrintToString(log.lines());
        EXPECT_FALSE(SimpleAudioEngine::sharedEngine()->isBackgroundMusicPlaying());
        view.step(60);
    }
}

TEST_F(ReadAlongTest, AFaultyEntryIsLoggedOnceAndThePageReadsWordByWord) {
    struct Case {
        std::map<std::string, std::string> change;
        const char* named;
    };
    const Case cases[] = {
        {{{"rd032", "0.20 0.50"}}, "word 2 (\"rd032\") starts at 0.200 s, not after word 1"},
        {{{"rd033", "1.40 99"}}, "past the end of the"},
        {{{"rd031", "0,30 0,60"}}, "not \"START END\" in seconds"},
        {{{"pg03", "2"}}, "hotspot bn033 (word 3) has no times"},
        {{{"pg03", "4"}, {"rd034", "1.8 1.85"}}, "word 4 has times but the page has no hotspot bn034"},
    };
    for (const Case& c : cases) {
        writeTable(c.change);
        log.clear();
        startReading(book::kAutoPlayTurnsPages);
        EXPECT_EQ(runningPage()->getReadAlong(), nullptr);
        EXPECT_EQ(log.count("read-along: page 3 reads word by word"), 1) << c.named;
        EXPECT_TRUE(log.contains(c.named)) << testing::PrintToString(log.lines());
        ASSERT_TRUE(stepUntil([&] { return log.contains(clipPlay(32)); }, 6)) << c.named;
        EXPECT_TRUE(log.contains(clipPlay(31)));
        EXPECT_FALSE(log.contains(recordingPlay()));
    }

    // A recording that is missing, or no MP3 at all.
    writeTable({});
    for (const std::string& bytes : {std::string(), std::string("RIFF....WAVEfmt not an mp3 at all")}) {
        const std::string recording = book::narrationPath("testLirra", book::pageRecordingName(kPage));
        if (bytes.empty())
            std::filesystem::remove(view.resources().path() + "/" + recording);
        else
            view.resources().write(recording, bytes);
        log.clear();
        startReading(book::kAutoPlayTurnsPages);
        EXPECT_EQ(log.count("read-along: page 3 reads word by word: the page's recording"), 1)
            << testing::PrintToString(log.lines());
        ASSERT_TRUE(stepUntil([&] { return log.contains(clipPlay(31)); }, 3));
    }

    // Without a table no page mentions read-along.
    std::filesystem::remove(view.resources().path() + "/" + book::readAlongFile("testLirra"));
    log.clear();
    startReading(book::kAutoPlayTurnsPages);
    ASSERT_TRUE(stepUntil([&] { return log.contains(clipPlay(31)); }, 3));
    EXPECT_FALSE(log.contains("read-along"));
}
