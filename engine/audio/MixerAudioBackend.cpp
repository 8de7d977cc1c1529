#include "engine/audio/MixerAudioBackend.h"

#include "engine/audio/NarrationCheck.h"
#include "engine/base/CCLog.h"

#include <SDL_mixer.h>

#include <algorithm>
#include <cmath>

namespace engine {

MixerAudioBackend::~MixerAudioBackend() {
    stop();
}

bool MixerAudioBackend::play(const std::string& fullPath, bool loop, std::string& error) {
    stop();
    if (!ensureOpen(error)) return false;
    error = narrationProblem(fullPath);
    if (!error.empty()) return false;
    m_music = Mix_LoadMUS(fullPath.c_str());
    if (!m_music) {
        error = Mix_GetError();
        return false;
    }
    // -1 repeats until halted; 1 plays once.
    if (Mix_PlayMusic(m_music, loop ? -1 : 1) != 0) {
        error = Mix_GetError();
        stop();
        return false;
    }
    return true;
}

bool MixerAudioBackend::playBytes(const std::string& name, std::shared_ptr<const std::string> bytes,
                                  bool loop, std::string& error) {
    stop();
    if (!ensureOpen(error)) return false;
    if (!bytes) {
        error = "no data";
        return false;
    }
    error = narrationProblemInBytes(*bytes);
    if (!error.empty()) return false;
    m_music = loadMusicFromBytes(name, *bytes);
    if (!m_music) {
        error = Mix_GetError();
        return false;
    }
    m_bytes = std::move(bytes);
    if (Mix_PlayMusic(m_music, loop ? -1 : 1) != 0) {
        error = Mix_GetError();
        stop();
        return false;
    }
    return true;
}

void MixerAudioBackend::stop() {
    if (m_music) {
        Mix_HaltMusic();
        Mix_FreeMusic(m_music);
        m_music = nullptr;
    }
    m_bytes.reset(); // only once the music that reads it is gone
}

bool MixerAudioBackend::isPlaying() {
    return m_music && Mix_PlayingMusic();
}

double MixerAudioBackend::position() {
    if (!isPlaying()) return -1.0;
    const double decoded = Mix_GetMusicPosition(m_music);
    if (decoded < 0) return -1.0;
    return std::max(0.0, decoded - MixerDevice::bufferSeconds());
}

bool MixerAudioBackend::seek(double seconds) {
    return m_music && Mix_SetMusicPosition(seconds) == 0;
}

void MixerAudioBackend::setVolume(float volume) {
    m_volume = volume;
    applyVolume();
}

bool MixerAudioBackend::ensureOpen(std::string& error) {
    if (!m_openTried) {
        m_openTried = true;
        std::string reason;
        if (!m_device.open(nullptr, reason)) {
            CCLog("SimpleAudioEngine: no sound device (%s); music stays silent", reason.c_str());
            if (!m_device.open("dummy", reason)) m_openError = "audio unavailable: " + reason;
        }
        applyVolume();
    }
    if (!m_device.isOpen()) error = m_openError;
    return m_device.isOpen();
}

void MixerAudioBackend::applyVolume() {
    if (m_device.isOpen()) Mix_VolumeMusic(static_cast<int>(std::lround(m_volume * MIX_MAX_VOLUME)));
}

} // namespace engine
