#include "engine/audio/TestAudioBackend.h"

#include "engine/audio/NarrationCheck.h"
#include "engine/platform/CCClock.h"

#include <SDL_mixer.h>

namespace engine {

bool TestAudioBackend::play(const std::string& fullPath, bool loop, std::string& error) {
    m_active = false;
    // Always the silent driver: tests and headless runs never touch a sound card.
    if (!m_device.open("dummy", error)) {
        error = "audio unavailable: " + error;
        return false;
    }
    error = narrationProblem(fullPath);
    if (!error.empty()) return false;
    Mix_Music* music = Mix_LoadMUS(fullPath.c_str());
    if (!music) {
        error = Mix_GetError();
        return false;
    }
    // Negative means the decoder cannot tell; such a track counts as ended at once.
    double duration = Mix_MusicDuration(music);
    Mix_FreeMusic(music);
    m_duration = duration > 0 ? duration : 0.0;
    m_start = CCClock::now();
    m_loop = loop;
    m_active = true;
    return true;
}

bool TestAudioBackend::isPlaying() {
    return m_active && (m_loop || CCClock::now() < m_start + m_duration);
}

} // namespace engine
