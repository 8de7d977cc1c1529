#include "engine/audio/NarrationCheck.h"

#include <fcntl.h>
#include <mpg123.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <mutex>
#include <vector>

namespace engine {

namespace {

// Closes a descriptor when it goes.
struct FileDescriptor {
    int fd;
    ~FileDescriptor() {
        if (fd >= 0) ::close(fd);
    }
};

bool readAt(int fd, off_t offset, unsigned char* into, std::size_t size) {
    return ::pread(fd, into, size, offset) == static_cast<ssize_t>(size);
}

// An MPEG audio frame header: the sync bits, then a version, layer, bitrate
// and sample rate that exist.
bool isFrameHeader(const unsigned char* b) {
    if (b[0] != 0xFF || (b[1] & 0xE0) != 0xE0) return false;
    const int version = (b[1] >> 3) & 3, layer = (b[1] >> 1) & 3;
    const int bitrate = b[2] >> 4, rate = (b[2] >> 2) & 3;
    return version != 1 && layer != 0 && bitrate != 15 && rate != 3;
}

std::string startProblem(int fd, off_t size) {
    unsigned char head[10] = {};
    if (size < 4 || !readAt(fd, 0, head, size >= 10 ? 10 : 4)) return "it is too short to be MPEG audio";
    off_t audio = 0;
    if (size >= 10 && head[0] == 'I' && head[1] == 'D' && head[2] == '3') {
        // A syncsafe size (7 bits a byte), plus the header and an optional footer.
        off_t tag = 0;
        for (int i = 6; i < 10; ++i)
            tag = (tag << 7) | (head[i] & 0x7F);
        audio = 10 + tag + ((head[5] & 0x10) ? 10 : 0);
        unsigned char frame[4];
        if (audio + 4 > size || !readAt(fd, audio, frame, 4))
            return "it holds an ID3 tag and no audio after it";
        if (isFrameHeader(frame)) return {};
        char found[64];
        std::snprintf(found, sizeof found, "after its ID3 tag come bytes %02X %02X %02X %02X, not MPEG audio",
                      frame[0], frame[1], frame[2], frame[3]);
        return found;
    }
    if (isFrameHeader(head)) return {};
    char found[96];
    std::snprintf(found, sizeof found,
                  "it starts with bytes %02X %02X %02X %02X, neither an ID3 tag nor MPEG audio", head[0],
                  head[1], head[2], head[3]);
    return found;
}

// A quiet decoder to 16-bit samples at any rate; null when there is none.
mpg123_handle* newDecoder() {
    static std::once_flag initialised;
    std::call_once(initialised, [] { mpg123_init(); });
    int error = MPG123_OK;
    mpg123_handle* decoder = mpg123_new(nullptr, &error);
    if (!decoder) return nullptr;
    mpg123_param(decoder, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
    mpg123_format_none(decoder);
    const long* rates = nullptr;
    std::size_t rateCount = 0;
    mpg123_rates(&rates, &rateCount);
    for (std::size_t i = 0; i < rateCount; ++i)
        mpg123_format(decoder, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    return decoder;
}

// Decodes the first tenth of a second and counts samples at full scale.
std::string clippingProblem(int fd) {
    mpg123_handle* decoder = newDecoder();
    if (!decoder) return {}; // no decoder here: playing it says why

    std::string problem;
    long rate = 0;
    int channels = 0, encoding = 0;
    if (::lseek(fd, 0, SEEK_SET) == 0 && mpg123_open_fd(decoder, fd) == MPG123_OK &&
        mpg123_getformat(decoder, &rate, &channels, &encoding) == MPG123_OK) {
        const long wanted = rate * channels / 10;
        long seen = 0;
        int clipped = 0;
        std::vector<short> samples(4096);
        while (seen < wanted) {
            std::size_t bytes = 0;
            const int result = mpg123_read(decoder, reinterpret_cast<unsigned char*>(samples.data()),
                                           samples.size() * 2, &bytes);
            for (std::size_t i = 0; i < bytes / 2 && seen < wanted; ++i, ++seen)
                clipped += samples[i] >= 32767 || samples[i] <= -32767;
            if (result != MPG123_OK && result != MPG123_NEW_FORMAT) break;
        }
        if (clipped >= kClippedSamplesRefused)
            problem = "its first 0.1 s clip (" + std::to_string(clipped) +
                      " samples at full scale); not played, to spare the listener's ears";
        mpg123_close(decoder);
    }
    // A file that does not decode here is left to the player, which says why.
    mpg123_delete(decoder);
    return problem;
}

} // namespace

namespace {
std::string problemOfOpenFile(int fd) {
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) return "it is not a regular file";
    std::string problem = startProblem(fd, status.st_size);
    if (problem.empty()) problem = clippingProblem(fd);
    return problem.empty() ? problem : "not played as narration: " + problem;
}
} // namespace

namespace {
// A memory-backed file holding `bytes`, so that the very same checks and
// decoder read them; -1 when there is no room for the copy.
int memoryFile(const std::string& bytes) {
    FileDescriptor file{::memfd_create("lirra-narration", MFD_CLOEXEC)};
    if (file.fd < 0) return -1;
    size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t got = ::write(file.fd, bytes.data() + written, bytes.size() - written);
        if (got <= 0) return -1;
        written += static_cast<size_t>(got);
    }
    const int fd = file.fd;
    file.fd = -1;
    return fd;
}
} // namespace

std::string narrationProblemInBytes(const std::string& bytes) {
    FileDescriptor file{memoryFile(bytes)};
    if (file.fd < 0) return {}; // no copy: the player decides, as for a file it cannot open
    return problemOfOpenFile(file.fd);
}

double narrationSeconds(const std::string& bytes) {
    FileDescriptor file{memoryFile(bytes)};
    mpg123_handle* decoder = file.fd < 0 ? nullptr : newDecoder();
    if (!decoder) return 0.0;
    double seconds = 0.0;
    long rate = 0;
    int channels = 0, encoding = 0;
    if (::lseek(file.fd, 0, SEEK_SET) == 0 && mpg123_open_fd(decoder, file.fd) == MPG123_OK) {
        if (mpg123_getformat(decoder, &rate, &channels, &encoding) == MPG123_OK && rate > 0 &&
            mpg123_scan(decoder) == MPG123_OK) {
            const off_t samples = mpg123_length(decoder);
            if (samples > 0) seconds = static_cast<double>(samples) / static_cast<double>(rate);
        }
        mpg123_close(decoder);
    }
    mpg123_delete(decoder);
    return seconds;
}

} // namespace engine
