#include "engine/audio/MixerDevice.h"

#include <SDL.h>
#include <SDL_mixer.h>

namespace engine {

namespace {
// 44.1 kHz stereo 16-bit: what the narration files are and what the disk driver writes.
constexpr int kFrequency = 44100;
constexpr int kChannels = 2;
constexpr int kChunkSize = 1024;

bool openOnCurrentDriver(std::string& error) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        error = SDL_GetError();
        return false;
    }
    if (Mix_OpenAudio(kFrequency, MIX_DEFAULT_FORMAT, kChannels, kChunkSize) != 0) {
        error = Mix_GetError();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    return true;
}
} // namespace

bool MixerDevice::open(const char* driver, std::string& error) {
    if (m_open) return true;
    if (driver) {
        // An override hint beats SDL_AUDIODRIVER; it is dropped again at once so
        // that nothing else in the process is steered by it.
        SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, driver, SDL_HINT_OVERRIDE);
        m_open = openOnCurrentDriver(error);
        SDL_ResetHint(SDL_HINT_AUDIODRIVER);
    } else {
        m_open = openOnCurrentDriver(error);
    }
    return m_open;
}

void MixerDevice::close() {
    if (!m_open) return;
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    m_open = false;
}

} // namespace engine
