#pragma once
// What a handler of key presses implements. Keys are SDL keycodes
// (SDLK_RIGHT, SDLK_ESCAPE, 's', ...), whether they come from the keyboard or
// from an automation script.
namespace engine {

class CCKeyboardDelegate {
public:
    virtual ~CCKeyboardDelegate() = default;

    // Answer true when the key was used: handlers registered earlier do not
    // see it then.
    virtual bool keyPressed(int /*key*/) { return false; }
};

} // namespace engine
