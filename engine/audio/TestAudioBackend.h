#pragma once
// The headless backend: loads each file through SDL_mixer exactly as the real
// backend does (so a missing or broken file fails the same way), learns its
// length, and reports it playing until CCClock has moved past that length.
// It makes no sound; on the virtual clock a test decides when a track ends.
#include "engine/audio/AudioBackend.h"
#include "engine/audio/MixerDevice.h"

namespace engine {

class TestAudioBackend : public AudioBackend {
  public:
    bool play(const std::string& fullPath, bool loop, std::string& error) override;
    bool playBytes(const std::string& name, std::shared_ptr<const std::string> bytes, bool loop,
                   std::string& error) override;
    void stop() override { m_active = false; }
    bool isPlaying() override;
    void setVolume(float) override {}

  private:
    bool start(_Mix_Music* music, bool loop, std::string& error);

    MixerDevice m_device;
    bool m_active = false;
    bool m_loop = false;
    double m_start = 0.0;
    double m_duration = 0.0;
};

} // namespace engine
