#include "tools/checker/MixerDevice.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cctype>

namespace checker {

namespace {
// 44.1 kHz stereo 16-bit: what the narration files are and what the disk driver writes.
constexpr int kFrequency = 44100;
constexpr int kChannels = 2;
// 512 frames (11.6 ms): a touched word is heard within one such buffer, about
// 6 ms on average, where 1024 frames took twice that.
constexpr int kChunkSize = 512;

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

_Mix_Music* loadMusicFromBytes(const std::string& name, const std::string& bytes) {
    auto endsWith = [&name](const char* extension) {
        const std::string tail = extension;
        if (name.size() < tail.size()) return false;
        for (size_t i = 0; i < tail.size(); ++i)
            if (std::tolower(static_cast<unsigned char>(name[name.size() - tail.size() + i])) != tail[i])
                return false;
        return true;
    };
    Mix_MusicType type = endsWith(".mp3")   ? MUS_MP3
                         : endsWith(".ogg") ? MUS_OGG
                         : endsWith(".wav") ? MUS_WAV
                                            : MUS_NONE; // SDL_mixer tells by the bytes
    SDL_RWops* stream = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    if (!stream) return nullptr;
    return Mix_LoadMUSType_RW(stream, type, 1);
}

} // namespace checker
