#include "engine/audio/MixerAudioBackend.h"
#include "engine/audio/MixerDevice.h"
#include "engine/audio/NarrationCheck.h"
#include "engine/audio/SimpleAudioEngine.h"
#include "engine/audio/TestAudioBackend.h"
#include "engine/platform/CCClock.h"
#include "engine/platform/CCFileUtils.h"
#include "engine/platform/HeadlessRun.h"
#include "support/SwappedFifo.h"
#include "support/TestSupport.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>
#include <zip.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <thread>

using namespace engine;

namespace {

// A spoken "hello" made with the sample book's own tools, plus a garbage file
// named like narration. Made once for the whole suite.
struct Sounds {
    testsupport::TempDir dir;
    std::string missingTools;
    double wavSeconds = 0; // length of the speech before MP3 padding
};
Sounds* g_sounds = nullptr;

bool haveTool(const char* tool) {
    return std::system((std::string("command -v ") + tool + " >/dev/null").c_str()) == 0;
}

double wavLength(const std::string& path) {
    SDL_AudioSpec spec;
    Uint8* data = nullptr;
    Uint32 bytes = 0;
    if (!SDL_LoadWAV(path.c_str(), &spec, &data, &bytes)) return 0;
    SDL_FreeWAV(data);
    double bytesPerSecond = spec.freq * spec.channels * (SDL_AUDIO_BITSIZE(spec.format) / 8.0);
    return bytes / bytesPerSecond;
}

// Half a second of a 200 Hz square wave at full scale, 22050 Hz mono.
void writeSquareWav(const std::string& path) {
    const std::uint32_t rate = 22050, samples = rate / 2, bytes = samples * 2;
    std::ofstream out(path, std::ios::binary);
    auto u32 = [&out](std::uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&out](std::uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
    out << "RIFF";
    u32(36 + bytes);
    out << "WAVEfmt ";
    u32(16);
    u16(1); // PCM
    u16(1); // mono
    u32(rate);
    u32(rate * 2);
    u16(2);
    u16(16);
    out << "data";
    u32(bytes);
    for (std::uint32_t i = 0; i < samples; ++i)
        u16(static_cast<std::uint16_t>((i / 55) % 2 ? -32767 : 32767));
}

class AudioTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        g_sounds = new Sounds;
        for (const char* tool : {"espeak-ng", "lame"})
            if (!haveTool(tool)) g_sounds->missingTools += std::string(" ") + tool;
        if (!g_sounds->missingTools.empty()) return;
        const std::string& dir = g_sounds->dir.path();
        std::string make =
            "cd '" + dir + "' && espeak-ng -w hello.wav hello && lame --quiet hello.wav hello.mp3";
        if (std::system(make.c_str()) != 0) g_sounds->missingTools = " (espeak-ng/lame failed)";
        g_sounds->wavSeconds = wavLength(dir + "/hello.wav");

        // The speech as a WAV under an MP3 name, and a full-scale square wave
        // encoded as MP3: neither may play as narration.
        std::filesystem::copy_file(dir + "/hello.wav", dir + "/wav_named.mp3");
        writeSquareWav(dir + "/square.wav");
        if (std::system(("cd '" + dir + "' && lame --quiet square.wav loud.mp3").c_str()) != 0)
            g_sounds->missingTools = " (lame failed on a square wave)";

        std::mt19937 random(7);
        std::string garbage(4000, '\0');
        for (char& byte : garbage)
            byte = static_cast<char>(random());
        g_sounds->dir.write("garbage.mp3", garbage);
    }
    static void TearDownTestSuite() {
        delete g_sounds;
        g_sounds = nullptr;
    }

    void SetUp() override {
        if (!g_sounds->missingTools.empty())
            GTEST_SKIP() << "needs espeak-ng and lame to make an MP3; missing:" << g_sounds->missingTools;
        ASSERT_GT(g_sounds->wavSeconds, 0.2);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        engine = SimpleAudioEngine::sharedEngine();
        std::string dir = g_sounds->dir.path();
        engine->setPathResolver([dir](const std::string& name) { return dir + "/" + name; });
    }
    void TearDown() override {
        HeadlessRun::endVirtualTime();
        setenv("SDL_AUDIODRIVER", "dummy", 1);
    }

    void useTestBackend() { HeadlessRun::startVirtualTime(); }

    // Real seconds until the engine stops reporting playback, at most `limit`.
    double secondsUntilSilent(double limit) {
        auto start = std::chrono::steady_clock::now();
        double elapsed = 0;
        while (engine->isBackgroundMusicPlaying() && elapsed < limit) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        }
        return elapsed;
    }

    SimpleAudioEngine* engine = nullptr;
    testsupport::LogCapture log;
};

} // namespace

TEST_F(AudioTest, MixerPlaysTheTrackToItsEndOnTheDummyDriver) {
    engine->setBackgroundMusicVolume(0.5f);
    engine->playBackgroundMusic("hello.mp3");
    EXPECT_TRUE(engine->isBackgroundMusicPlaying());
    EXPECT_FLOAT_EQ(MixerAudioBackend::deviceVolume(), 0.5f);

    // A busy machine plays slower than real time: the limit only catches a
    // track that never ends.
    double played = secondsUntilSilent(120.0);
    EXPECT_FALSE(engine->isBackgroundMusicPlaying());
    // The dummy driver plays in real time, so the track cannot end much sooner than its speech.
    EXPECT_GT(played, g_sounds->wavSeconds * 0.5);
    // The log names the file as the caller gave it, not as resolved.
    EXPECT_EQ(log.count("audio: play hello.mp3"), 1);
    EXPECT_EQ(log.count("cannot play"), 0);
}

TEST_F(AudioTest, MixerWithoutSoundDeviceLogsOnceAndStillChecksFiles) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    engine->playBackgroundMusic("hello.mp3", true);
    EXPECT_EQ(log.count("no sound device"), 1);
    EXPECT_TRUE(engine->isBackgroundMusicPlaying());

    engine->playBackgroundMusic("garbage.mp3");
    EXPECT_EQ(log.count("cannot play 'garbage.mp3'"), 1);
    EXPECT_FALSE(engine->isBackgroundMusicPlaying());

    engine->playBackgroundMusic("hello.mp3");
    EXPECT_TRUE(engine->isBackgroundMusicPlaying());
    EXPECT_EQ(log.count("no sound device"), 1);
}

TEST_F(AudioTest, TestBackendPlaysUntilTheVirtualClockPassesTheTrack) {
    useTestBackend();
    engine->playBackgroundMusic("hello.mp3");
    EXPECT_TRUE(engine->isBackgroundMusicPlaying());
    CCClock::advance(g_sounds->wavSeconds - 0.05);
    EXPECT_TRUE(engine->isBackgroundMusicPlaying());
    // MP3 padding adds well under a quarter second.
    CCClock::advance(0.3);
    EXPECT_FALSE(engine->isBackgroundMusicPlaying());
    EXPECT_EQ(log.count("audio: play hello.mp3"), 1);
}

TEST_F(AudioTest, LoopPlaysUntilStoppedAndNewTrackReplacesIt) {
    useTestBackend();
    engine->playBackgroundMusic("hello.mp3", true);
    CCClock::advance(g_sounds->wavSeconds * 10);
    EXPECT_TRUE(engine->isBackgroundMusicPlaying());

    // The one-shot track takes the loop's place and ends on its own.
    engine->playBackgroundMusic("hello.mp3");
    CCClock::advance(g_sounds->wavSeconds + 0.3);
    EXPECT_FALSE(engine->isBackgroundMusicPlaying());

    engine->playBackgroundMusic("hello.mp3", true);
    engine->stopBackgroundMusic();
    EXPECT_FALSE(engine->isBackgroundMusicPlaying());
    EXPECT_EQ(log.count("audio: stop"), 1);
    EXPECT_EQ(log.count("audio: play hello.mp3"), 3);
}

TEST_F(AudioTest, TestBackendPositionStartsWhereAskedFollowsTheClockAndCanStallOrLag) {
    useTestBackend();
    auto owned = std::make_unique<TestAudioBackend>();
    TestAudioBackend* backend = owned.get();
    engine->setBackend(std::move(owned));
    EXPECT_LT(engine->getBackgroundMusicPosition(), 0) << "nothing plays";
    ASSERT_TRUE(engine->playBackgroundMusicFrom("hello.mp3", 0.1, nullptr));
    EXPECT_EQ(log.count("audio: seek 0.100"), 1);
    EXPECT_NEAR(engine->getBackgroundMusicPosition(), 0.1, 1e-9);
    CCClock::advance(0.05);
    EXPECT_NEAR(engine->getBackgroundMusicPosition(), 0.15, 1e-9);
    // A stalled device: the clock runs, the track does not, and it ends later.
    backend->setStalled(true);
    CCClock::advance(g_sounds->wavSeconds * 4);
    EXPECT_NEAR(engine->getBackgroundMusicPosition(), 0.15, 1e-9);
    EXPECT_TRUE(engine->isBackgroundMusicPlaying());
    backend->setStalled(false);
    CCClock::advance(0.05);
    EXPECT_NEAR(engine->getBackgroundMusicPosition(), 0.2, 1e-9);
    backend->setPositionLag(0.15);
    EXPECT_NEAR(engine->getBackgroundMusicPosition(), 0.05, 1e-9);
    CCClock::advance(g_sounds->wavSeconds + 0.3);
    EXPECT_FALSE(engine->isBackgroundMusicPlaying());
    EXPECT_LT(engine->getBackgroundMusicPosition(), 0);
}

TEST_F(AudioTest, MixerReportsWhatHasBeenHeardAndStartsPartWay) {
    ASSERT_TRUE(engine->playBackgroundMusicFrom("hello.mp3", 0.2, nullptr));
    const double first = engine->getBackgroundMusicPosition();
    // Never ahead of the start asked for by more than what the device has
    // not played yet; then it moves on.
    EXPECT_GE(first, 0.2 - MixerDevice::bufferSeconds() - 0.001);
    EXPECT_LE(first, 0.2 + 0.1);
    auto moved = [&] { return engine->getBackgroundMusicPosition() > first + 0.01; };
    for (int i = 0; i < 12000 && engine->isBackgroundMusicPlaying() && !moved(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(moved() || !engine->isBackgroundMusicPlaying());
    EXPECT_FLOAT_EQ(MixerAudioBackend::deviceVolume(), 1.0f) << "the volume is back once it has moved";
    engine->stopBackgroundMusic();
    EXPECT_LT(engine->getBackgroundMusicPosition(), 0);
}

TEST_F(AudioTest, NarrationSecondsIsTheLengthOfTheSpeech) {
    std::ifstream in(g_sounds->dir.path() + "/hello.mp3", std::ios::binary);
    const std::string mp3((std::istreambuf_iterator<char>(in)), {});
    const double seconds = narrationSeconds(mp3);
    EXPECT_GE(seconds, g_sounds->wavSeconds - 0.03);
    EXPECT_LE(seconds, g_sounds->wavSeconds + 0.1);
    std::ifstream garbage(g_sounds->dir.path() + "/garbage.mp3", std::ios::binary);
    EXPECT_EQ(narrationSeconds(std::string((std::istreambuf_iterator<char>(garbage)), {})), 0.0);
    EXPECT_EQ(narrationSeconds(""), 0.0);
}

TEST_F(AudioTest, MixerStopHaltsPlayback) {
    engine->playBackgroundMusic("hello.mp3", true);
    ASSERT_TRUE(engine->isBackgroundMusicPlaying());
    engine->stopBackgroundMusic(true);
    EXPECT_FALSE(engine->isBackgroundMusicPlaying());
}

TEST_F(AudioTest, UnplayableFilesLogOneLineAndStopThePreviousTrack) {
    for (bool testBackend : {false, true}) {
        SCOPED_TRACE(testBackend ? "test backend" : "mixer backend");
        if (testBackend) useTestBackend();
        log.clear();
        for (const char* bad : {"missing.mp3", "garbage.mp3"}) {
            engine->playBackgroundMusic("hello.mp3", true);
            ASSERT_TRUE(engine->isBackgroundMusicPlaying());
            engine->playBackgroundMusic(bad);
            EXPECT_FALSE(engine->isBackgroundMusicPlaying()) << bad;
            EXPECT_EQ(log.count(std::string("SimpleAudioEngine: cannot play '") + bad + "': "), 1) << bad;
            EXPECT_EQ(log.count(std::string("audio: play ") + bad), 1) << bad;
        }
        EXPECT_EQ(log.count("cannot play"), 2);
    }
}

TEST_F(AudioTest, AWavUnderAnMp3NameAndAClippingStartAreRefusedByBothBackends) {
    for (bool testBackend : {false, true}) {
        SCOPED_TRACE(testBackend ? "test backend" : "mixer backend");
        if (testBackend) useTestBackend();
        log.clear();
        engine->playBackgroundMusic("hello.mp3", true);
        ASSERT_TRUE(engine->isBackgroundMusicPlaying());
        engine->playBackgroundMusic("wav_named.mp3");
        EXPECT_FALSE(engine->isBackgroundMusicPlaying());
        EXPECT_TRUE(
            log.contains("cannot play 'wav_named.mp3': not played as narration: it starts with bytes 52 49 "
                         "46 46, neither an ID3 tag nor MPEG audio"));
        engine->playBackgroundMusic("loud.mp3");
        EXPECT_FALSE(engine->isBackgroundMusicPlaying());
        EXPECT_TRUE(log.contains("cannot play 'loud.mp3': not played as narration: its first 0.1 s clip ("));
        EXPECT_EQ(log.count("cannot play"), 2);
        // The speech itself still plays.
        engine->playBackgroundMusic("hello.mp3");
        EXPECT_TRUE(engine->isBackgroundMusicPlaying());
        engine->stopBackgroundMusic();
    }
}

TEST_F(AudioTest, NamesAreFoundUnderTheResourceRootByDefault) {
    useTestBackend();
    engine->setPathResolver(nullptr);
    CCFileUtils::sharedFileUtils()->setResourceRoot(g_sounds->dir.path());
    engine->playBackgroundMusic("hello.mp3");
    EXPECT_TRUE(engine->isBackgroundMusicPlaying());
    // A name that climbs out of the root is refused and stops the track.
    engine->playBackgroundMusic("../hello.mp3");
    EXPECT_FALSE(engine->isBackgroundMusicPlaying());
    EXPECT_EQ(log.count("cannot play '../hello.mp3': refused name"), 1);
    CCFileUtils::sharedFileUtils()->setResourceRoot(CCFileUtils::defaultResourceRoot());
}

TEST_F(AudioTest, NarrationSwappedForAFifoAfterItsCheckIsRefusedNotOpenedAgain) {
    const std::string& dir = g_sounds->dir.path();
    const std::string swapped = dir + "/swapped.mp3";
    std::filesystem::copy_file(dir + "/hello.mp3", swapped,
                               std::filesystem::copy_options::overwrite_existing);
    engine->setPathResolver(nullptr);
    CCFileUtils::sharedFileUtils()->setResourceRoot(dir);
    std::unique_ptr<testsupport::SwappedFifo> fifo;
    // The moment between the name's check and its open is where a hostile
    // book swaps the file; the FIFO answers any open, so nothing blocks.
    CCFileUtils::setBeforeOpenHook([&](const std::string& path) {
        if (path == swapped && !fifo) fifo = std::make_unique<testsupport::SwappedFifo>(path);
    });
    for (bool testBackend : {false, true}) {
        SCOPED_TRACE(testBackend ? "test backend" : "mixer backend");
        if (testBackend) useTestBackend();
        fifo.reset();
        std::filesystem::copy_file(dir + "/hello.mp3", swapped,
                                   std::filesystem::copy_options::overwrite_existing);
        log.clear();
        engine->playBackgroundMusic("swapped.mp3");
        EXPECT_FALSE(engine->isBackgroundMusicPlaying());
        ASSERT_TRUE(fifo && fifo->made());
        EXPECT_EQ(log.count("refusing 'swapped.mp3': a FIFO, not a regular file"), 1);
        EXPECT_EQ(log.count("cannot play 'swapped.mp3': refused name"), 1);
    }
    CCFileUtils::setBeforeOpenHook(nullptr);
    fifo.reset();
    CCFileUtils::sharedFileUtils()->setResourceRoot(CCFileUtils::defaultResourceRoot());
}

TEST_F(AudioTest, ABookInAnArchivePlaysFromMemoryAfterTheSameChecks) {
    const std::string& dir = g_sounds->dir.path();
    const std::string packed = dir + "/sounds.lirra";
    int code = 0;
    zip* archive = zip_open(packed.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    ASSERT_NE(archive, nullptr);
    for (const char* name : {"hello.mp3", "wav_named.mp3", "loud.mp3"}) {
        const std::string path = dir + "/" + name;
        ASSERT_GE(zip_file_add(archive, name, zip_source_file(archive, path.c_str(), 0, -1), 0), 0);
    }
    ASSERT_EQ(zip_close(archive), 0);
    std::string error;
    ASSERT_TRUE(CCFileUtils::sharedFileUtils()->setResourceArchive(packed, error)) << error;
    engine->setPathResolver(nullptr);
    for (bool testBackend : {false, true}) {
        SCOPED_TRACE(testBackend ? "test backend" : "mixer backend");
        if (testBackend) useTestBackend();
        log.clear();
        engine->playBackgroundMusic("hello.mp3");
        EXPECT_TRUE(engine->isBackgroundMusicPlaying());
        engine->playBackgroundMusic("wav_named.mp3");
        EXPECT_FALSE(engine->isBackgroundMusicPlaying());
        EXPECT_TRUE(
            log.contains("cannot play 'wav_named.mp3': not played as narration: it starts with bytes 52 49"));
        engine->playBackgroundMusic("loud.mp3");
        EXPECT_TRUE(log.contains("cannot play 'loud.mp3': not played as narration: its first 0.1 s clip ("));
        engine->playBackgroundMusic("none.mp3");
        EXPECT_TRUE(log.contains("cannot play 'none.mp3': no such file in " + packed));
        EXPECT_EQ(log.count("cannot play"), 3);
    }
    // The track from memory lasts as long as from its file.
    engine->playBackgroundMusic("hello.mp3");
    CCClock::advance(g_sounds->wavSeconds - 0.05);
    EXPECT_TRUE(engine->isBackgroundMusicPlaying());
    CCClock::advance(0.3);
    EXPECT_FALSE(engine->isBackgroundMusicPlaying());
    CCFileUtils::sharedFileUtils()->setResourceRoot(CCFileUtils::defaultResourceRoot());
}

TEST_F(AudioTest, EmptyNamesDoNotPlay) {
    useTestBackend();

    engine->playBackgroundMusic(nullptr);
    engine->playBackgroundMusic("");
    EXPECT_FALSE(engine->isBackgroundMusicPlaying());
    EXPECT_EQ(log.count("cannot play '': no file name"), 2);
}

TEST_F(AudioTest, VolumeIsClampedAndSurvivesBackendChanges) {
    engine->setBackgroundMusicVolume(1.5f);
    EXPECT_FLOAT_EQ(engine->getBackgroundMusicVolume(), 1.0f);
    engine->setBackgroundMusicVolume(-0.2f);
    EXPECT_FLOAT_EQ(engine->getBackgroundMusicVolume(), 0.0f);
    engine->setBackgroundMusicVolume(0.25f);
    engine->setBackgroundMusicVolume(std::nanf(""));
    EXPECT_FLOAT_EQ(engine->getBackgroundMusicVolume(), 0.25f);

    useTestBackend();
    engine->setBackend(nullptr);
    EXPECT_FLOAT_EQ(engine->getBackgroundMusicVolume(), 0.25f);
    // The mixer gets the volume once it opens on the first track.
    engine->playBackgroundMusic("hello.mp3");
    EXPECT_FLOAT_EQ(MixerAudioBackend::deviceVolume(), 0.25f);
}
