// Drawing only on change shows exactly what drawing every frame shows. The
// sample book is driven through the home page, the page menu's fly-in, word
// learning, a word touched and its slide, a page turn and the settings flip,
// once drawing every frame and once drawing only on change; after every
// frame the picture on screen must be the same, pixel for pixel, and input
// must show in the frame it showed in before.
#include "book/BookFixture.h"
#include "book/BookNames.h"
#include "book/TestController.h"
#include "engine/audio/SimpleAudioEngine.h"
#include "engine/audio/TestAudioBackend.h"
#include "engine/director/CCDirector.h"
#include "engine/menu/CCMenuItemFont.h"
#include "engine/platform/CCEGLView.h"
#include "engine/platform/CCFileUtils.h"
#include "engine/render/CCSDLRenderer.h"
#include "gui/UILayer.h"
#include "gui/UIRootWidget.h"
#include "gui/UIToolkit.h"
#include "gui/UIWidget.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

using namespace engine;
using namespace booktest;

namespace {

struct Screens {
    std::vector<std::uint64_t> frames; // a digest of the screen after each frame
    std::vector<unsigned int> drawn;   // frames drawn so far, after each frame
    std::vector<size_t> inputs;        // frames that came right after an input
    std::vector<bool> inputShows;      // ... whose effect shows in that very frame
};

class DrawOnChangeSceneTest : public SampleBookFixture {
protected:
    static gui::UIWidget* widget(gui::UILayer* layer, const std::string& name) {
        return layer ? gui::UIToolkit::findWidgetByName(layer->getRootWidget(), name) : nullptr;
    }

    // The frame on screen: the offscreen surface keeps the last frame drawn.
    void record(Screens& run) {
        std::vector<std::uint32_t> pixels;
        int w = 0, h = 0;
        ASSERT_TRUE(CCEGLView::sharedOpenGLView()->readPixels(pixels, w, h));
        std::uint64_t digest = 14695981039346656037ull; // FNV-1a
        for (std::uint32_t p : pixels)
            digest = (digest ^ p) * 1099511628211ull;
        run.frames.push_back(digest);
        run.drawn.push_back(CCDirector::sharedDirector()->getPresentedFrames());
    }
    void frames(Screens& run, int count) {
        for (int i = 0; i < count; ++i) {
            CCDirector::sharedDirector()->stepFrame(1.0f / 60);
            record(run);
        }
    }
    // The next frame is the one that must show the input (a page turn's
    // first frame shows the page as it was).
    void input(Screens& run, bool shows = true) {
        run.inputs.push_back(run.frames.size());
        run.inputShows.push_back(shows);
    }
    void press(Screens& run, const CCPoint& at) {
        testsupport::HeadlessView::touchBegan(at);
        input(run);
        frames(run, 1);
        testsupport::HeadlessView::touchEnded(at);
        frames(run, 1);
    }
    void key(Screens& run, const char* name, bool shows = true) {
        ASSERT_TRUE(CCEGLView::sharedOpenGLView()->dispatchKey(name));
        input(run, shows);
        frames(run, 1);
    }

    Screens drive(bool onChange) {
        Screens run;
        CCDirector::sharedDirector()->setDrawOnlyOnChange(onChange);
        book::TestController* home = startHome();
        record(run);
        frames(run, 20);
        press(run, centre(widget(home->getUILayer(), "bnselect")));
        frames(run, 60); // the squares fly in
        key(run, "Escape");
        frames(run, 10);
        auto* again = dynamic_cast<book::TestController*>(runningLayer());
        EXPECT_NE(again, nullptr) << "Escape did not lead home";
        if (!again) return run;
        press(run, centre(widget(again->getUILayer(), "bnwordlean")));
        frames(run, 20);
        book::PageLayer* page = runningPage();
        EXPECT_NE(page, nullptr) << "word learning did not open a page";
        if (!page) return run;
        press(run, centre(widget(page->getUILayer(), book::hotspotName(book::currentPage, 1))));
        frames(run, 60); // the highlight's elastic slide
        key(run, "Right", false);
        frames(run, 40); // the page turn
        key(run, "s");
        frames(run, 40); // the settings flip
        frames(run, 20);
        return run;
    }

    // What BookFixture's destructor and constructor do, before each run; and
    // what earlier tests in this process may have left behind.
    void startAfresh() {
        CCDirector::sharedDirector()->reset();
        if (gui::UIToolkit::hasInstance()) gui::UIToolkit::purgeToolkit();
        SimpleAudioEngine::end();
        book::resetBookState();
        // The page layer sets the menu items' font size for the whole process.
        CCMenuItemFont::setFontSize(CCMenuItemFont::kDefaultFontSize);
        SimpleAudioEngine::sharedEngine()->setBackend(std::make_unique<TestAudioBackend>());
    }
};

} // namespace

TEST_F(DrawOnChangeSceneTest, EveryFrameOnScreenIsTheOneThatDrawingEveryFrameShows) {
    startAfresh();
    Screens every = drive(false);
    startAfresh();
    Screens changed = drive(true);
    ASSERT_EQ(changed.frames.size(), every.frames.size());
    ASSERT_EQ(changed.inputs, every.inputs);
    for (size_t i = 0; i < every.frames.size(); ++i)
        ASSERT_EQ(changed.frames[i], every.frames[i]) << "the screens differ after frame " << i;

    // Input shows in the same frame as before, drawn then and there.
    for (size_t k = 0; k < every.inputs.size(); ++k) {
        size_t i = every.inputs[k];
        ASSERT_GT(i, 0u);
        if (every.inputShows[k]) {
            EXPECT_NE(every.frames[i], every.frames[i - 1])
                << "the input before frame " << i << " showed nothing";
        }
        EXPECT_EQ(changed.drawn[i], changed.drawn[i - 1] + 1)
            << "the input before frame " << i << " was not drawn in that frame";
    }
    // And still screens cost no drawing: far fewer frames were drawn.
    EXPECT_EQ(every.drawn.back() - every.drawn.front(), every.frames.size() - 1);
    EXPECT_LT(changed.drawn.back() - changed.drawn.front(), (every.frames.size() - 1) * 3 / 4);
}
