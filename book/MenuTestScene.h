#pragma once
// The page menu's scene: one MenuLayerMainMenu under the home button.
#include "book/TestScene.h"

namespace book {

class MenuTestScene : public TestScene {
public:
    // Drops cached data and shows the page menu at the screen the book state
    // names (the first screen on the first opening).
    static void open();

    void present() override;
};

} // namespace book
