#pragma once
// The two ways a handler can take touches: one at a time (claim a touch at
// began, then receive its later phases) or all at once (sets of the touches
// that no one-at-a-time handler claimed).
#include "engine/base/CCSet.h"
#include "engine/base/CCTouch.h"

namespace engine {

class CCEvent {};

class CCTouchDelegate {
public:
    virtual ~CCTouchDelegate() = default;

    // One at a time: answer true to claim the touch.
    virtual bool ccTouchBegan(CCTouch* /*touch*/, CCEvent* /*event*/) { return false; }
    virtual void ccTouchMoved(CCTouch* /*touch*/, CCEvent* /*event*/) {}
    virtual void ccTouchEnded(CCTouch* /*touch*/, CCEvent* /*event*/) {}
    virtual void ccTouchCancelled(CCTouch* /*touch*/, CCEvent* /*event*/) {}

    // All at once.
    virtual void ccTouchesBegan(CCSet* /*touches*/, CCEvent* /*event*/) {}
    virtual void ccTouchesMoved(CCSet* /*touches*/, CCEvent* /*event*/) {}
    virtual void ccTouchesEnded(CCSet* /*touches*/, CCEvent* /*event*/) {}
    virtual void ccTouchesCancelled(CCSet* /*touches*/, CCEvent* /*event*/) {}
};

} // namespace engine
