#pragma once
#include "engine/nodes/CCLayer.h"

// The first screen until the home page takes its place: a coloured
// background with the book's cover picture. It logs where it is touched, so
// automated runs can check that input arrives at the right design point.
class WelcomeLayer : public engine::CCLayer {
public:
    WelcomeLayer();

    bool ccTouchBegan(engine::CCTouch* touch, engine::CCEvent* event) override;
    void ccTouchEnded(engine::CCTouch* touch, engine::CCEvent* event) override;
};
