#include "engine/audio/MixerAudioBackend.h"

#include "engine/audio/NarrationCheck.h"
#include "engine/base/CCLog.h"

#include <algorithm>
#include <atomic>
#include <cmath>

namespace engine {

namespace {
std::atomic<float> g_deviceVolume{-1.0f};

} // namespace

MixerAudioBackend::MixerAudioBackend()
    : m_device([this](Sint16* samples, int bytes) { fill(samples, bytes); }) {}

MixerAudioBackend::~MixerAudioBackend() {
    stop();
    m_device.close();
}

bool MixerAudioBackend::playBytes(const std::string&, std::shared_ptr<const std::string> bytes, bool loop,
                                  std::string& error) {
    stop();
    if (!ensureOpen(error)) return false;
    if (!bytes) {
        error = "no data";
        return false;
    }
    error = narrationProblemInBytes(*bytes);
    if (!error.empty()) return false;
    auto track = std::make_unique<Mp3Track>();
    if (!track->open(std::move(bytes), error)) return false;
    m_device.lock();
    m_track = std::move(track);
    m_loop = loop;
    m_ended = false;
    m_frame = 0;
    m_device.unlock();
    return true;
}

void MixerAudioBackend::stop() {
    std::unique_ptr<Mp3Track> gone;
    m_device.lock();
    gone = std::move(m_track);
    m_device.unlock();
}

bool MixerAudioBackend::isPlaying() {
    m_device.lock();
    const bool playing = m_track && !m_ended;
    m_device.unlock();
    return playing;
}

double MixerAudioBackend::position() {
    m_device.lock();
    const bool playing = m_track && !m_ended;
    const std::int64_t frame = m_frame;
    m_device.unlock();
    if (!playing) return -1.0;
    return std::max(0.0, static_cast<double>(frame) / MixerDevice::kFrequency - MixerDevice::bufferSeconds());
}

bool MixerAudioBackend::seek(double seconds) {
    if (!(seconds >= 0)) return false;
    const auto frame = static_cast<std::int64_t>(std::llround(seconds * MixerDevice::kFrequency));
    m_device.lock();
    const bool moved = m_track && m_track->seek(frame);
    if (moved) {
        m_frame = frame;
        m_ended = false;
    }
    m_device.unlock();
    return moved;
}

void MixerAudioBackend::setVolume(float volume) {
    m_volume = volume;
    m_device.lock();
    m_gain = static_cast<int>(std::lround(volume * 256.0f));
    m_device.unlock();
    if (m_device.isOpen()) g_deviceVolume.store(volume);
}

float MixerAudioBackend::deviceVolume() {
    return g_deviceVolume.load();
}

bool MixerAudioBackend::ensureOpen(std::string& error) {
    if (!m_openTried) {
        m_openTried = true;
        std::string reason;
        if (!m_device.open(nullptr, reason)) {
            CCLog("SimpleAudioEngine: no sound device (%s); music stays silent", reason.c_str());
            if (!m_device.open("dummy", reason)) m_openError = "audio unavailable: " + reason;
        }
        setVolume(m_volume);
    }
    if (!m_device.isOpen()) error = m_openError;
    return m_device.isOpen();
}

void MixerAudioBackend::fill(Sint16* samples, int bytes) {
    if (!m_track || m_ended) return;
    const int frames = bytes / (MixerDevice::kChannels * static_cast<int>(sizeof(Sint16)));
    int done = 0;
    bool restarted = false;
    while (done < frames) {
        bool ended = false;
        const int got = m_track->read(samples + done * MixerDevice::kChannels, frames - done, ended);
        done += got;
        m_frame += got;
        if (got > 0) restarted = false;
        if (!ended) continue;
        // A loop starts again, unless starting again gives nothing.
        if (m_loop && !restarted && m_track->seek(0)) {
            restarted = true;
            m_frame = 0;
            continue;
        }
        m_ended = true;
        break;
    }
    if (m_gain != 256) {
        for (int i = 0; i < done * MixerDevice::kChannels; ++i)
            samples[i] = static_cast<Sint16>(samples[i] * m_gain / 256);
    }
}

} // namespace engine
