#include "app/DesktopFrame.h"
#include "engine/platform/CCEGLView.h"
#include "frame/ScreenFrame.h"

#include <gtest/gtest.h>

using namespace engine;
using frame::ScreenFrame;

TEST(DesktopFrameTest, FrameSizeFromDesktopHeight) {
    CCSize a = app::frameSizeForDesktopHeight(1000);
    EXPECT_NEAR(a.width, 792.857f, 0.001f);
    EXPECT_FLOAT_EQ(a.height, 970.0f);
    CCSize b = app::frameSizeForDesktopHeight(1040);
    EXPECT_NEAR(b.width, 824.571f, 0.001f);
    EXPECT_FLOAT_EQ(b.height, 1008.8f);
    CCSize c = app::frameSizeForDesktopHeight(1050);
    EXPECT_FLOAT_EQ(c.width, 832.5f);
    EXPECT_FLOAT_EQ(c.height, 1018.5f);
    for (CCSize s : {a, b, c}) EXPECT_NEAR(s.width / s.height, 1.11 / (1.4 * 0.97), 1e-5);
    // Multiply before dividing, in double precision, then narrow.
    EXPECT_EQ(app::frameSizeForDesktopHeight(1041).width, static_cast<float>(1041.0 * 1.11 / 1.4));
}

// Each test runs in its own process, so the cache starts empty here.
TEST(ScreenFrameTest, FillsOnFirstUseAndNeverAgain) {
    CCEGLView* view = CCEGLView::sharedOpenGLView();
    view->setFrameSize(824.571f, 1008.8f);
    view->setDesignResolutionSize(640, 960, kResolutionExactFit);
    EXPECT_EQ(ScreenFrame::visibleRect(), CCRect(0, 0, 640, 960));
    EXPECT_EQ(ScreenFrame::left(), CCPoint(0, 480));
    EXPECT_EQ(ScreenFrame::right(), CCPoint(640, 480));
    EXPECT_EQ(ScreenFrame::top(), CCPoint(320, 960));
    EXPECT_EQ(ScreenFrame::bottom(), CCPoint(320, 0));
    EXPECT_EQ(ScreenFrame::center(), CCPoint(320, 480));

    view->setDesignResolutionSize(320, 480, kResolutionExactFit);
    EXPECT_EQ(ScreenFrame::right(), CCPoint(640, 480)) << "a later change is not seen";
    view->setDesignResolutionSize(640, 960, kResolutionExactFit);
}
