#pragma once
#include "engine/platform/CCApplication.h"

// The application object: sets up the director when the window exists and
// runs the first scene, the home page (or the shelf, when the program
// starts on one); background and foreground only stop and restart drawing.
class AppDelegate : public engine::CCApplication {
public:
    AppDelegate() = default;
    ~AppDelegate() override = default;

    bool applicationDidFinishLaunching() override;
    void applicationDidEnterBackground() override;
    void applicationWillEnterForeground() override;

    // The first scene is the shelf of books instead of the book's home page.
    void setStartOnShelf(bool shelf) { m_startOnShelf = shelf; }

private:
    bool m_startOnShelf = false;
};
