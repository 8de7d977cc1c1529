#pragma once
// SDL's audio subsystem with SDL_mixer opened on it, held for as long as the
// object lives: the checker decodes narration with SDL_mixer, a second
// decoder beside the reader's own, and SDL_mixer decodes nothing until open.
#include <string>

struct _Mix_Music;

namespace checker {

// Music decoded from bytes in memory, which must outlive the result; the
// decoder is picked by `name`'s extension as Mix_LoadMUS does for a file.
// Null with SDL_mixer's error set when it cannot be decoded.
_Mix_Music* loadMusicFromBytes(const std::string& name, const std::string& bytes);

class MixerDevice {
public:
    MixerDevice() = default;
    ~MixerDevice() { close(); }
    MixerDevice(const MixerDevice&) = delete;
    MixerDevice& operator=(const MixerDevice&) = delete;

    // Opens on SDL's own choice of driver (SDL_AUDIODRIVER, else the first that
    // works) when `driver` is null, else on the named one, e.g. "dummy".
    // Returns false with the reason in `error`.
    bool open(const char* driver, std::string& error);
    void close();
    bool isOpen() const { return m_open; }

private:
    bool m_open = false;
};

} // namespace checker
