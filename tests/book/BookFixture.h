#pragma once
// A headless view with a small book in its resource root, the test audio
// backend on the virtual clock, fresh book state and a log capture.
#include "book/BookState.h"
#include "book/PageLayer.h"
#include "book/SmallBook.h"
#include "support/HeadlessView.h"

#include <gtest/gtest.h>

namespace book {
class TestController;
}
namespace gui {
class UIWidget;
}

namespace booktest {

class BookFixture : public ::testing::Test {
protected:
    BookFixture();
    ~BookFixture() override;

    // Runs a new home page as the first scene and draws a frame.
    book::TestController* startHome();
    // Reads the configuration, then runs a new page scene at `page` as the
    // first scene and draws a frame.
    book::PageLayer* startPage(int page);
    // The layer of the running scene (the home page or a page layer), or none.
    engine::CCNode* runningLayer() const;
    book::PageLayer* runningPage() const { return dynamic_cast<book::PageLayer*>(runningLayer()); }
    // A press and lift at `point`, a frame after each.
    void tap(const engine::CCPoint& point);
    // Steps frames of 1/60 s until `done` or `seconds` have passed; answers `done`.
    template <class F> bool stepUntil(F done, double seconds) {
        for (int i = 0; i < static_cast<int>(seconds * 60) && !done(); ++i)
            view.step();
        return done();
    }
    // Pixels within the design rectangle that lie near (r, g, b).
    int countPixels(const engine::CCRect& area, int r, int g, int b, int tolerance = 40) const;

    testsupport::LogCapture log;
    testsupport::HeadlessView view;
    SmallBook book{view};
};

// The same, reading the sample book in resources/ (skipped without it).
class SampleBookFixture : public BookFixture {
protected:
    void SetUp() override;
    // Where a widget's centre lies on the screen.
    static engine::CCPoint centre(gui::UIWidget* widget);
};

} // namespace booktest
