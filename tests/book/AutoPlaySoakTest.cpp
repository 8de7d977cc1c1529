// Auto-play through a whole book again and again (mode 3): every round must
// end with as many live engine objects as the round before, and resident
// memory must stay flat. LIRRA_SOAK_ROUNDS sets the rounds (default 3); the
// figures go to standard output.
#include "book/BookState.h"
#include "book/PageLayer.h"
#include "book/SmallBook.h"
#include "book/TestController.h"
#include "engine/audio/AudioBackend.h"
#include "engine/audio/SimpleAudioEngine.h"
#include "engine/base/CCObject.h"
#include "engine/director/CCDirector.h"
#include "engine/nodes/CCScene.h"
#include "engine/platform/CCClock.h"
#include "support/HeadlessView.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>

using namespace engine;
using namespace book;

namespace {

constexpr int kPages = 6;
constexpr int kWords = 2;

// Narration that lasts 0.3 s of the virtual clock.
class ShortNarration : public AudioBackend {
public:
    explicit ShortNarration(long& plays) : m_plays(plays) {}
    bool play(const std::string&, bool, std::string&) override {
        ++m_plays;
        m_end = CCClock::now() + 0.3;
        return true;
    }
    void stop() override { m_end = 0; }
    bool isPlaying() override { return CCClock::now() < m_end; }
    void setVolume(float) override {}

private:
    long& m_plays;
    double m_end = 0;
};

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

} // namespace

TEST(AutoPlaySoakTest, RoundsThroughTheBookLeaveObjectsAndMemoryFlat) {
    const char* env = std::getenv("LIRRA_SOAK_ROUNDS");
    const int rounds = env ? std::max(2, std::atoi(env)) : 3;

    testsupport::HeadlessView view;
    ASSERT_TRUE(view.isOpen());
    CCClock::setVirtual(true);
    resetBookState();
    booktest::SmallBook book(view);
    book.writeInterfaceTexts();
    book.writeImages();
    std::map<std::string, std::string> texts;
    for (int page = 1; page <= kPages; ++page) {
        std::vector<booktest::Word> words;
        for (int i = 1; i <= kWords; ++i) {
            words.push_back({i, CCPoint(120.0f + 180 * (i - 1), 300.0f + 40 * i), {}});
            texts["str0" + std::to_string(page * 10 + i)] = "word";
        }
        book.writePage(page, words);
    }
    book.writeWordTexts(texts);
    subName = "tb";
    pageMin = 1;
    pageMax = kPages;
    long plays = 0;
    SimpleAudioEngine::sharedEngine()->setBackend(std::make_unique<ShortNarration>(plays));
    SimpleAudioEngine::sharedEngine()->setPathResolver([](const std::string& name) { return name; });
    view.run(CCScene::create());

    autoPlayOn = true;
    std::vector<long> objects, resident;
    long frames = 0;
    for (int round = 0; round < rounds; ++round) {
        // Each round starts at the first page with auto-play on, as a reader
        // who went back to the start would find it.
        currentPage = pageMin;
        TestController::openPageScene();
        view.step(2, 0.1f);
        objects.push_back(CCObject::liveObjectCount());
        resident.push_back(residentKiB());
        // Until the last page's auto-play has stopped by itself.
        for (int guard = 0; guard < kPages * 200; ++guard, ++frames) {
            view.step(1, 0.1f);
            PageLayer* page = runningPage();
            if (currentPage == pageMax && page &&
                !page->isScheduled(schedule_selector(PageLayer::autoPlayStep)))
                break;
        }
        ASSERT_EQ(currentPage, pageMax) << "round " << round << " did not reach the last page";
    }
    EXPECT_EQ(plays, long(rounds) * kPages * kWords);
    std::printf("soak: %d rounds of %d pages, %ld page turns, %ld frames, %ld narrations\n", rounds, kPages,
                long(rounds) * (kPages - 1), frames, plays);
    std::printf("soak: live objects at round starts: first %ld, second %ld, last %ld\n", objects.front(),
                objects[1], objects.back());
    std::printf("soak: resident memory at round starts: first %ld KiB, second %ld KiB, last %ld KiB\n",
                resident.front(), resident[1], resident.back());
    // The first round warms the caches (textures, fonts); from then on nothing may grow.
    EXPECT_EQ(objects.back(), objects[1]);
    for (size_t i = 1; i < objects.size(); ++i)
        EXPECT_EQ(objects[i], objects[1]) << "round " << i;
}
