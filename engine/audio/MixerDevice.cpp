#include "engine/audio/MixerDevice.h"

#include <atomic>

namespace engine {

namespace {
// 512 frames (11.6 ms): a touched word is heard within one such buffer, about
// 6 ms on average, where 1024 frames took twice that.
constexpr int kBufferFrames = 512;

std::atomic<MixerDevice::Listener> g_listener{nullptr};
} // namespace

bool MixerDevice::open(const char* driver, std::string& error) {
    if (m_device) return true;
    // An override hint beats SDL_AUDIODRIVER; it is dropped again at once so
    // that nothing else in the process is steered by it.
    if (driver) SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, driver, SDL_HINT_OVERRIDE);
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        error = SDL_GetError();
        if (driver) SDL_ResetHint(SDL_HINT_AUDIODRIVER);
        return false;
    }
    SDL_AudioSpec wanted{};
    wanted.freq = kFrequency;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = kChannels;
    wanted.samples = kBufferFrames;
    wanted.callback = &MixerDevice::callback;
    wanted.userdata = this;
    // SDL converts to whatever the device takes.
    m_device = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
    if (driver) SDL_ResetHint(SDL_HINT_AUDIODRIVER);
    if (!m_device) {
        error = SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    SDL_PauseAudioDevice(m_device, 0);
    return true;
}

void MixerDevice::close() {
    if (!m_device) return;
    SDL_CloseAudioDevice(m_device);
    m_device = 0;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void MixerDevice::lock() {
    if (m_device) SDL_LockAudioDevice(m_device);
}

void MixerDevice::unlock() {
    if (m_device) SDL_UnlockAudioDevice(m_device);
}

double MixerDevice::bufferSeconds() {
    return static_cast<double>(kBufferFrames) / kFrequency;
}

void MixerDevice::setListener(Listener listener) {
    g_listener.store(listener);
}

void MixerDevice::callback(void* self, Uint8* stream, int bytes) {
    auto* device = static_cast<MixerDevice*>(self);
    SDL_memset(stream, 0, static_cast<size_t>(bytes));
    if (device->m_fill) device->m_fill(reinterpret_cast<Sint16*>(stream), bytes);
    if (Listener listener = g_listener.load()) listener(stream, bytes);
}

} // namespace engine
