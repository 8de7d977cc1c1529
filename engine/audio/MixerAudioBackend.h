#pragma once
// The real backend: one MP3 track decoded by libmpg123 and played on SDL's
// audio device. The device opens on the first request; without a sound
// device the track plays on SDL's silent "dummy" driver, so files are still
// checked and a track still lasts as long as it would have sounded.
#include "engine/audio/AudioBackend.h"
#include "engine/audio/MixerDevice.h"
#include "engine/audio/Mp3Track.h"

#include <SDL.h>

#include <cstdint>
#include <memory>

namespace engine {

class MixerAudioBackend : public AudioBackend {
public:
    MixerAudioBackend();
    ~MixerAudioBackend() override;

    bool playBytes(const std::string& name, std::shared_ptr<const std::string> bytes, bool loop,
                   std::string& error) override;
    void stop() override;
    bool isPlaying() override;
    void setVolume(float volume) override;
    // Where the decoder is in the track less what waits in the device's
    // buffer, so that a word is never taken as said before it is heard.
    double position() override;
    bool seek(double seconds) override;

    // The volume the open device plays at (0 to 1), or negative before one
    // has opened: for tests of what reaches the listener.
    static float deviceVolume();

private:
    bool ensureOpen(std::string& error);
    // On SDL's audio thread, with the device locked.
    void fill(Sint16* samples, int bytes);

    MixerDevice m_device;
    bool m_openTried = false;
    std::string m_openError;
    // What the audio thread reads: changed only with the device locked.
    std::unique_ptr<Mp3Track> m_track;
    bool m_loop = false;
    bool m_ended = false;
    std::int64_t m_frame = 0; // frames of the track mixed so far (this time round)
    int m_gain = 256;         // the volume, in 256ths
    float m_volume = 1.0f;
};

} // namespace engine
