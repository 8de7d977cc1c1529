// Auto-play (mode 3) through the sample book again and again: every page of
// it read word by word with its real narration files and turned with the
// page curl, back to the first page after the last. At the start of every
// round the live engine objects must be what they were at the first round
// start after ten turns, and (in a build without AddressSanitizer, which
// holds freed memory back) resident memory within 5 % of it.
//
// LIRRA_SOAK_TURNS sets the page turns (default 50, as `make test` runs it;
// `make soak` runs 1,100: a thousand and more, the book 100 times over). The
// figures go to standard output.
#include "book/BookState.h"
#include "book/PageLayer.h"
#include "book/TestController.h"
#include "engine/base/CCLog.h"
#include "engine/base/CCObject.h"
#include "engine/director/CCDirector.h"
#include "engine/nodes/CCScene.h"
#include "engine/platform/CCFileUtils.h"
#include "engine/platform/HeadlessRun.h"
#include "support/HeadlessView.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

using namespace engine;
using namespace book;

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kMemoryIsMeaningful = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kMemoryIsMeaningful = false;
#else
constexpr bool kMemoryIsMeaningful = true;
#endif
#else
constexpr bool kMemoryIsMeaningful = true;
#endif

// As auto-play ticks and narration lengths go, a tenth of a second per
// frame loses nothing and keeps a thousand turns short.
constexpr float kFrame = 0.1f;

long residentKiB() {
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

PageLayer* runningPage() {
    CCScene* scene = CCDirector::sharedDirector()->getRunningScene();
    if (!scene || scene->isTransition() || CCDirector::sharedDirector()->getNextScene()) return nullptr;
    for (CCNode* child : scene->getChildren())
        if (auto* page = dynamic_cast<PageLayer*>(child)) return page;
    return nullptr;
}

struct Sample {
    long turns, objects, residentKiB;
};

} // namespace

TEST(AutoPlaySoakTest, ThousandsOfTurnsLeaveObjectsAndMemoryFlat) {
    const std::string sample = std::string(LIRRA_SOURCE_DIR) + "/resources";
    if (!std::filesystem::exists(sample + "/testLirra/StringConfig.xml")) GTEST_SKIP() << "no sample book";
    const char* env = std::getenv("LIRRA_SOAK_TURNS");
    const long turns = env ? std::max(25L, std::atol(env)) : 50;

    testsupport::HeadlessView view;
    ASSERT_TRUE(view.isOpen());
    CCFileUtils::sharedFileUtils()->setResourceRoot(sample); // the view puts its own back
    HeadlessRun::startVirtualTime();
    resetBookState();
    readBookConfiguration();
    ASSERT_LT(pageMin, pageMax);
    readingMode = 3;
    view.run(CCScene::create());
    CCDirector* director = CCDirector::sharedDirector();

    // Counted, not kept: a thousand turns of log lines would be memory that grows.
    // A word is read by its own clip, or lit as a page's recording reads along.
    long narrations = 0;
    const int listener = CCLogAddListener([&narrations](const std::string& line) {
        narrations += line.rfind("audio: play ", 0) == 0 ||
                      (line.rfind("read-along: ", 0) == 0 && line.find(" lit at ") != std::string::npos);
    });
    CCLogSetEchoToStderr(false);
    std::vector<Sample> samples;
    long turned = 0, frames = 0;
    int pageOnScreen = currentPage = pageMin;
    bool roundStarting = true;
    autoPlayOn = true;
    TestController::openPageScene();
    // A page is read in well under a minute of the virtual clock.
    const long frameLimit = (turns + pageMax - pageMin + 1) * 60 * 10;
    for (; frames < frameLimit; ++frames) {
        PageLayer* page = runningPage();
        if (page && roundStarting) {
            roundStarting = false;
            samples.push_back({turned, CCObject::liveObjectCount(), residentKiB()});
            if (turned >= turns) break;
        }
        if (page && currentPage != pageOnScreen) {
            if (currentPage == pageOnScreen + 1) ++turned;
            pageOnScreen = currentPage;
        }
        // The last page's auto-play has stopped by itself: back to the first,
        // as a reader starting the book again would find it.
        if (page && currentPage == pageMax &&
            !page->isScheduled(schedule_selector(PageLayer::autoPlayStep))) {
            pageOnScreen = currentPage = pageMin;
            autoPlayOn = true;
            TestController::openPageScene();
            roundStarting = true;
        }
        director->stepFrame(kFrame);
    }
    CCLogRemoveListener(listener);
    CCLogSetEchoToStderr(true);
    ASSERT_LT(frames, frameLimit) << "auto-play stalled after " << turned << " turns at page " << currentPage;
    // Every page of the sample book but its picture page has five words or more.
    EXPECT_GE(narrations, 4 * turned) << "auto-play turned pages without reading them";

    // The first turns warm the caches (textures, fonts, glyphs); from the
    // first round start after ten turns nothing may grow.
    const Sample* base = nullptr;
    for (const Sample& s : samples)
        if (!base && s.turns >= 10) base = &s;
    ASSERT_NE(base, nullptr);
    std::printf("soak: %ld page turns over pages %d to %d, %ld narrations, %ld frames of %.1f s\n", turned,
                pageMin, pageMax, narrations, frames, kFrame);
    for (const Sample& s : samples)
        std::printf("soak: turn %5ld: %ld live objects, %ld KiB resident\n", s.turns, s.objects,
                    s.residentKiB);
    for (const Sample& s : samples) {
        if (s.turns <= base->turns) continue;
        EXPECT_EQ(s.objects, base->objects) << "at turn " << s.turns;
        if (kMemoryIsMeaningful) {
            EXPECT_LE(std::abs(s.residentKiB - base->residentKiB), base->residentKiB / 20)
                << "at turn " << s.turns << " against " << base->residentKiB << " KiB at turn "
                << base->turns;
        }
    }
    EXPECT_GE(turned, turns);
}
