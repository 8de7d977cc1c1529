#pragma once
#include "engine/platform/CCApplication.h"

// The application object: sets up the director when the window exists and
// runs the first scene, the home page; background and foreground only stop
// and restart
// drawing.
class AppDelegate : public engine::CCApplication {
public:
    AppDelegate() = default;
    ~AppDelegate() override = default;

    bool applicationDidFinishLaunching() override;
    void applicationDidEnterBackground() override;
    void applicationWillEnterForeground() override;
};
