#pragma once
// SDL's audio device, opened for one decoded track at 44.1 kHz, 16-bit
// stereo, held for as long as the object lives. SDL's audio thread asks for
// each buffer through the fill function; the owner changes what that
// function reads only between lock() and unlock().
#include <SDL.h>

#include <functional>
#include <string>

namespace engine {

class MixerDevice {
public:
    static constexpr int kFrequency = 44100;
    static constexpr int kChannels = 2;
    // Fills `bytes` bytes of interleaved 16-bit samples, on SDL's audio thread.
    using Fill = std::function<void(Sint16* samples, int bytes)>;

    explicit MixerDevice(Fill fill = {}) : m_fill(std::move(fill)) {}
    ~MixerDevice() { close(); }
    MixerDevice(const MixerDevice&) = delete;
    MixerDevice& operator=(const MixerDevice&) = delete;

    // Opens on SDL's own choice of driver (SDL_AUDIODRIVER, else the first that
    // works) when `driver` is null, else on the named one, e.g. "dummy".
    // Returns false with the reason in `error`.
    bool open(const char* driver, std::string& error);
    void close();
    bool isOpen() const { return m_device != 0; }
    void lock();
    void unlock();
    // How long the sound in one device buffer lasts: the decoder runs that
    // far ahead of what is heard.
    static double bufferSeconds();

    // For measurements: sees every buffer once it is filled (SDL's audio
    // thread; null to stop).
    using Listener = void (*)(const Uint8* stream, int bytes);
    static void setListener(Listener listener);

private:
    static void callback(void* self, Uint8* stream, int bytes);

    Fill m_fill;
    SDL_AudioDeviceID m_device = 0;
};

} // namespace engine
