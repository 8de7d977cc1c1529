#include "app/AppDelegate.h"
#include "book/TestController.h"
#include "engine/director/CCDirector.h"
#include "engine/nodes/CCScene.h"
#include "engine/platform/CCEGLView.h"
#include "engine/platform/CCFileUtils.h"
#include "engine/platform/HeadlessRun.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace engine;

TEST(AppDelegateTest, LaunchSetsUpTheDirectorAndTheFirstScene) {
    CCFileUtils::sharedFileUtils()->setResourceRoot(LIRRA_TEST_DATA "/book");
    CCEGLView* view = CCEGLView::sharedOpenGLView();
    ASSERT_TRUE(HeadlessRun::openView({792.857f, 970.0f}, {640, 960}));
    CCDirector* director = CCDirector::sharedDirector();
    {
        testsupport::LogCapture log;
        AppDelegate app;
        EXPECT_EQ(CCApplication::sharedApplication(), &app);
        ASSERT_TRUE(app.applicationDidFinishLaunching());
        EXPECT_DOUBLE_EQ(director->getAnimationInterval(), 1.0 / 60);
        EXPECT_EQ(view->getResolutionPolicy(), kResolutionExactFit);
        EXPECT_EQ(director->getWinSize(), CCSize(640, 960));
        director->stepFrame(1.0f / 60);
        ASSERT_NE(director->getRunningScene(), nullptr);
        // The first scene is the home page itself, built from the book's files.
        ASSERT_EQ(director->getRunningScene()->getChildren().size(), 1u);
        EXPECT_NE(dynamic_cast<book::TestController*>(director->getRunningScene()->getChildren().front()),
                  nullptr);
        EXPECT_EQ(log.count("cannot"), 0);
        EXPECT_EQ(log.count("book:"), 0) << "the home page must find all its files";

        // The design area is stretched over the whole frame: about 1.23 times
        // more across than down for a desktop height of 1000.
        EXPECT_NEAR(view->getScaleX() / view->getScaleY(), (792.857 / 640) / (970.0 / 960), 1e-4);
        EXPECT_NEAR(view->getScaleX(), 1.2388, 1e-3);

        // Background stops the frames; the scene stays.
        CCScene* scene = director->getRunningScene();
        app.applicationDidEnterBackground();
        unsigned int frames = director->getTotalFrames();
        director->stepFrame(1.0f / 60);
        EXPECT_EQ(director->getTotalFrames(), frames);
        EXPECT_EQ(director->getRunningScene(), scene);
        app.applicationWillEnterForeground();
        director->stepFrame(1.0f / 60);
        EXPECT_EQ(director->getTotalFrames(), frames + 1);
        director->reset();
    }
    EXPECT_EQ(CCApplication::sharedApplication(), nullptr);
    view->close();
}
