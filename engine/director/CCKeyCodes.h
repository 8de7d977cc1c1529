#pragma once
// The keys that keyboard handlers receive: the engine's own codes, so that
// nothing above the platform layer needs SDL's. Letters, digits and other
// printable keys are their lowercase ASCII character ('s', '1', ' ' is
// kKeySpace); named keys lie above the character range. The platform layer
// turns a window's key presses and a script's key names into these.
namespace engine {

enum CCKeyCode : int {
    kKeyUnknown = 0,
    kKeySpace = ' ',
    // Named keys.
    kKeyLeft = 0x100,
    kKeyRight,
    kKeyUp,
    kKeyDown,
    kKeyEscape,
    kKeyReturn, // also the keypad's Enter
    kKeyTab,
    kKeyBackTab, // Tab with Shift held
    kKeyBackspace,
    kKeyDelete,
    kKeyF11,
};

} // namespace engine
