#include "engine/render/ccImageSize.h"

#include <SDL.h>

#include <cstring>
#include <memory>

namespace engine {

namespace {

using File = std::unique_ptr<SDL_RWops, decltype(&SDL_RWclose)>;

bool readBytes(SDL_RWops* file, void* out, std::size_t size) {
    return SDL_RWread(file, out, 1, size) == size;
}

std::uint32_t bigEndian(const unsigned char* p, int bytes) {
    std::uint32_t value = 0;
    for (int i = 0; i < bytes; ++i)
        value = value << 8 | p[i];
    return value;
}

// After the signature, the IHDR chunk, which must come first: length (4),
// type (4), width (4), height (4), all big-endian.
std::optional<ccImageSize> pngSize(SDL_RWops* file) {
    unsigned char chunk[16];
    if (!readBytes(file, chunk, sizeof chunk) || std::memcmp(chunk + 4, "IHDR", 4) != 0) return std::nullopt;
    return ccImageSize{bigEndian(chunk + 8, 4), bigEndian(chunk + 12, 4)};
}

bool isStartOfFrame(unsigned char marker) {
    // C4 (Huffman tables), C8 (reserved) and CC (arithmetic coding) share the range.
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// Segments from the start-of-image marker on: the first start-of-frame
// segment holds precision (1), height (2) and width (2).
std::optional<ccImageSize> jpegSize(SDL_RWops* file) {
    for (;;) {
        unsigned char byte = 0;
        if (!readBytes(file, &byte, 1)) return std::nullopt;
        if (byte != 0xFF) return std::nullopt;
        unsigned char marker = 0xFF;
        while (marker == 0xFF) // fill bytes
            if (!readBytes(file, &marker, 1)) return std::nullopt;
        if (marker == 0xD9 || marker == 0xDA) return std::nullopt;          // end, or pixels before any frame
        if ((marker >= 0xD0 && marker <= 0xD8) || marker == 0x01) continue; // no length
        unsigned char lengthBytes[2];
        if (!readBytes(file, lengthBytes, 2)) return std::nullopt;
        std::uint32_t length = bigEndian(lengthBytes, 2);
        if (length < 2) return std::nullopt;
        if (isStartOfFrame(marker)) {
            unsigned char frame[5];
            if (length < 7 || !readBytes(file, frame, sizeof frame)) return std::nullopt;
            return ccImageSize{bigEndian(frame + 3, 2), bigEndian(frame + 1, 2)};
        }
        if (SDL_RWseek(file, length - 2, RW_SEEK_CUR) < 0) return std::nullopt;
    }
}

} // namespace

std::optional<ccImageSize> ccReadImageSize(const std::string& fullPath) {
    File file(SDL_RWFromFile(fullPath.c_str(), "rb"), &SDL_RWclose);
    if (!file) return std::nullopt;
    unsigned char magic[8];
    if (!readBytes(file.get(), magic, sizeof magic)) return std::nullopt;
    static const unsigned char kPng[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (std::memcmp(magic, kPng, sizeof kPng) == 0) return pngSize(file.get());
    if (magic[0] == 0xFF && magic[1] == 0xD8) {
        if (SDL_RWseek(file.get(), 2, RW_SEEK_SET) < 0) return std::nullopt;
        return jpegSize(file.get());
    }
    return std::nullopt;
}

} // namespace engine
