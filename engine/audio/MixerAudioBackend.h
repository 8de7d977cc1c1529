#pragma once
// The real backend: one music track through SDL_mixer. The device opens on the
// first request; without a sound device the track plays on SDL's silent
// "dummy" driver, so files are still checked and a track still lasts as long
// as it would have sounded.
#include "engine/audio/AudioBackend.h"
#include "engine/audio/MixerDevice.h"

struct _Mix_Music;

namespace engine {

class MixerAudioBackend : public AudioBackend {
  public:
    MixerAudioBackend() = default;
    ~MixerAudioBackend() override;

    bool play(const std::string& fullPath, bool loop, std::string& error) override;
    bool playBytes(const std::string& name, std::shared_ptr<const std::string> bytes, bool loop,
                   std::string& error) override;
    void stop() override;
    bool isPlaying() override;
    void setVolume(float volume) override;
    // The decoder's place less what waits in the device's buffer, so that a
    // word is never taken as said before it is heard.
    double position() override;
    bool seek(double seconds) override;

  private:
    bool ensureOpen(std::string& error);
    void applyVolume();

    MixerDevice m_device;
    bool m_openTried = false;
    std::string m_openError;
    _Mix_Music* m_music = nullptr;
    std::shared_ptr<const std::string> m_bytes; // what m_music streams from, if from memory
    float m_volume = 1.0f;
};

} // namespace engine
