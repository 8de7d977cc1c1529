#pragma once
// The scene that holds a page layer or the settings panel. When it exits it
// lets go of the widget system's shared objects, which the next screen has
// already used and which it creates afresh on its next use.
#include "engine/nodes/CCScene.h"

namespace book {

class BookScene : public engine::CCScene {
public:
    // A new scene with one reference held by the caller (not autoreleased).
    static BookScene* createOwned();

    void onExit() override;

    // The shared toolkit (and with it the layout reader's shared instance),
    // then the UI animation manager. The home page runs it too.
    static void purgeSharedWidgetObjects();
};

} // namespace book
