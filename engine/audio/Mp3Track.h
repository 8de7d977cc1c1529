#pragma once
// An MP3 held in memory, decoded by libmpg123 into 44.1 kHz 16-bit stereo,
// whatever its own rate and channels; the encoder's delay and padding are
// left out where the file's LAME tag tells them.
#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <string>

struct mpg123_handle_struct;

namespace engine {

class Mp3Track {
public:
    Mp3Track() = default;
    ~Mp3Track();
    Mp3Track(const Mp3Track&) = delete;
    Mp3Track& operator=(const Mp3Track&) = delete;

    // Starts decoding `bytes`, which the track keeps; false with the reason.
    bool open(std::shared_ptr<const std::string> bytes, std::string& error);
    // Decodes up to `frames` stereo frames into `samples`; fewer at the end
    // of the track (or of what decodes), with `ended` set.
    int read(std::int16_t* samples, int frames, bool& ended);
    // Moves to `frame` (at 44.1 kHz) from the start; false when it cannot.
    bool seek(std::int64_t frame);
    // The track's length in seconds; 0 when it cannot be told.
    double seconds();

private:
    static ssize_t readBytes(void* self, void* into, size_t count);
    static off_t seekBytes(void* self, off_t offset, int whence);

    mpg123_handle_struct* m_decoder = nullptr;
    std::shared_ptr<const std::string> m_bytes;
    size_t m_at = 0;
};

} // namespace engine
