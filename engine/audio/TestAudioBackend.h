#pragma once
// The headless backend: opens each file with the real backend's decoder (so
// a missing or broken file fails the same way), learns its
// length, and reports it playing until CCClock has moved past that length.
// It makes no sound; on the virtual clock a test decides when a track ends.
// Its position is the clock's time since the start; a test can make it run
// behind (a late device) or stand still (a stalled one).
#include "engine/audio/AudioBackend.h"

namespace engine {

class TestAudioBackend : public AudioBackend {
public:
    bool playBytes(const std::string& name, std::shared_ptr<const std::string> bytes, bool loop,
                   std::string& error) override;
    void stop() override { m_active = false; }
    bool isPlaying() override;
    void setVolume(float) override {}
    double position() override;
    bool seek(double seconds) override;

    // The position reports this many seconds less than has been played.
    void setPositionLag(double seconds) { m_lag = seconds; }
    // While stalled the track makes no progress: its position stands and it
    // ends that much later.
    void setStalled(bool stalled);

private:
    bool start(std::shared_ptr<const std::string> bytes, bool loop, std::string& error);
    // Seconds of the track played so far (unbounded).
    double played() const;

    bool m_active = false;
    bool m_loop = false;
    double m_start = 0.0;
    double m_duration = 0.0;
    double m_lag = 0.0;
    double m_stalledAt = -1.0; // clock time the stall began; negative when not stalled
};

} // namespace engine
