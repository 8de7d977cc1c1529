#pragma once
// The base of the menu scenes: a scene that builds its content on `present`
// and carries a home button along the bottom edge, above its content.
#include "engine/nodes/CCScene.h"

namespace engine {
class CCMenuItem;
}

namespace book {

class TestScene : public engine::CCScene {
public:
    TestScene();
    ~TestScene() override;

    // Builds the scene's content and makes the scene the running one.
    virtual void present() = 0;
    // Opens a new home page, without a transition.
    virtual void goHome(engine::CCObject* sender);

    // Adds the home button (z-order 1, over the content at z-order 0).
    void onEnter() override;
    // The home button's item once the scene has entered; none before.
    engine::CCMenuItem* getHomeItem() const { return m_homeItem; }

private:
    engine::CCMenuItem* m_homeItem = nullptr; // a child's child
};

} // namespace book
