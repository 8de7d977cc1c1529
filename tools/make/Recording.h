#pragma once
// A page's recording as the maker works on it: one channel of float samples
// at a rate of the maker's choosing, decoded from WAV, MP3, OGG or FLAC at
// whatever rate and channel count it was recorded.
#include <string>
#include <vector>

namespace maker {

struct Recording {
    std::vector<float> samples; // -1 to 1, channels averaged
    int rate = 0;

    double seconds() const { return rate > 0 ? static_cast<double>(samples.size()) / rate : 0; }

    // The file at `path` at `rate` samples a second; false with the reason in
    // `error` when it cannot be read, holds no sound, or is not audio.
    static bool load(const std::string& path, int rate, Recording& out, std::string& error);
    // The same samples at another rate.
    Recording resampled(int rate) const;
    // 16-bit samples, clipped, for the recogniser and the encoder.
    std::vector<short> pcm16() const;
    // Writes a 16-bit mono WAV file (for tests and festival's voice).
    bool saveWav(const std::string& path) const;
};

} // namespace maker
