#include "tools/checker/Mp3Frames.h"

#include <cstdint>

namespace checker {

namespace {

// Kilobits per second by [MPEG-1 or not][layer 1..3][index].
constexpr int kBitrates[2][3][15] = {{{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
                                      {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
                                      {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}},
                                     {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
                                      {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
                                      {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}}};
constexpr int kSampleRates[3] = {44100, 48000, 32000}; // MPEG-1; halved for 2, quartered for 2.5

std::uint8_t at(const std::string& bytes, std::size_t i) {
    return static_cast<std::uint8_t>(bytes[i]);
}

// The length of the frame whose header starts at `pos`, or 0 when there is none.
std::size_t frameLength(const std::string& bytes, std::size_t pos) {
    if (pos + 4 > bytes.size()) return 0;
    const std::uint8_t b1 = at(bytes, pos + 1), b2 = at(bytes, pos + 2);
    if (at(bytes, pos) != 0xff || (b1 & 0xe0) != 0xe0) return 0;
    const int version = (b1 >> 3) & 3; // 0: 2.5, 2: 2, 3: 1
    const int layerBits = (b1 >> 1) & 3;
    const int bitrateIndex = b2 >> 4, rateIndex = (b2 >> 2) & 3, padding = (b2 >> 1) & 1;
    if (version == 1 || layerBits == 0 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3) return 0;
    const int layer = 4 - layerBits; // 1..3
    const bool mpeg1 = version == 3;
    const long bitrate = kBitrates[mpeg1 ? 0 : 1][layer - 1][bitrateIndex] * 1000L;
    const long rate = kSampleRates[rateIndex] >> (mpeg1 ? 0 : version == 2 ? 1 : 2);
    if (layer == 1) return static_cast<std::size_t>((12 * bitrate / rate + padding) * 4);
    // Layer III outside MPEG-1 carries half the samples a frame.
    const long perFrame = (layer == 3 && !mpeg1) ? 72 : 144;
    return static_cast<std::size_t>(perFrame * bitrate / rate + padding);
}

} // namespace

Mp3Frames walkMp3Frames(const std::string& bytes) {
    Mp3Frames walk;
    std::size_t pos = 0;
    if (bytes.size() >= 10 && bytes.compare(0, 3, "ID3") == 0) {
        // A syncsafe size (7 bits a byte), plus the header and an optional footer.
        std::size_t size = 0;
        for (int i = 6; i < 10; ++i)
            size = (size << 7) | (at(bytes, i) & 0x7f);
        pos = 10 + size + ((at(bytes, 5) & 0x10) ? 10 : 0);
    }
    while (pos < bytes.size()) {
        const std::size_t length = frameLength(bytes, pos);
        if (length < 4) break;
        if (pos + length > bytes.size()) {
            walk.missingBytes = pos + length - bytes.size();
            break;
        }
        ++walk.frames;
        pos += length;
    }
    return walk;
}

} // namespace checker
