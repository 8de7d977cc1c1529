#pragma once
// What a handler of key presses implements. Keys are the engine's key codes
// (CCKeyCodes.h: kKeyRight, kKeyEscape, 's', ...), whether they come from the
// keyboard or from an automation script.
#include "engine/director/CCKeyCodes.h"

namespace engine {

class CCKeyboardDelegate {
public:
    virtual ~CCKeyboardDelegate() = default;

    // Answer true when the key was used: handlers registered earlier do not
    // see it then.
    virtual bool keyPressed(int /*key*/) { return false; }
};

} // namespace engine
