#include "engine/render/ccImageSize.h"

#include <cstring>

namespace engine {

namespace {

std::uint32_t bigEndian(const unsigned char* p, int bytes) {
    std::uint32_t value = 0;
    for (int i = 0; i < bytes; ++i)
        value = value << 8 | p[i];
    return value;
}

const unsigned char* at(std::string_view bytes, std::size_t offset) {
    return reinterpret_cast<const unsigned char*>(bytes.data()) + offset;
}

bool startsWith(std::string_view bytes, std::string_view prefix) {
    return bytes.substr(0, prefix.size()) == prefix;
}

// The `length` bytes at `offset`, shorter or empty where the file ends: a
// header is judged on what the file holds, however little that is.
std::string_view slice(std::string_view bytes, std::size_t offset, std::size_t length) {
    return offset > bytes.size() ? std::string_view() : bytes.substr(offset, length);
}

// Picture formats that books do not hold, named for the log line that refuses them.
const char* otherFormatName(std::string_view bytes) {
    if (startsWith(bytes, "GIF8")) return "GIF";
    if (startsWith(bytes, "qoif")) return "QOI";
    if (startsWith(bytes, "BM")) return "BMP";
    if (startsWith(bytes, "RIFF") && slice(bytes, 8, 4) == "WEBP") return "WebP";
    if (startsWith(bytes, "II*") || startsWith(bytes, std::string_view("MM\0*", 4))) return "TIFF";
    if (startsWith(bytes, "gimp xcf")) return "XCF";
    if (startsWith(bytes, "/* XPM */")) return "XPM";
    if (bytes.substr(0, 1024).find("<svg") != std::string_view::npos) return "SVG";
    return "an unknown format";
}

// After the signature, the IHDR chunk, which must come first: length (4),
// type (4), width (4), height (4), all big-endian.
void readPngSize(std::string_view bytes, ccImageHeader& header) {
    if (bytes.size() < 24 || slice(bytes, 12, 4) != "IHDR") return;
    header.width = bigEndian(at(bytes, 16), 4);
    header.height = bigEndian(at(bytes, 20), 4);
    header.sized = true;
}

bool isStartOfFrame(unsigned char marker) {
    // C4 (Huffman tables), C8 (reserved) and CC (arithmetic coding) share the range.
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

bool hasNoLength(unsigned char marker) {
    return (marker >= 0xD0 && marker <= 0xD8) || marker == 0x01;
}

// Walks the segments after the start-of-image marker. `onFrame` sees each
// start-of-frame segment; the walk ends at the end-of-image marker (true) or
// where the bytes stop making sense or run out (false). Entropy-coded data
// after a start-of-scan segment is skipped up to the next real marker.
template <typename OnFrame> bool walkJpeg(std::string_view bytes, OnFrame onFrame) {
    std::size_t pos = 2;
    for (;;) {
        if (pos >= bytes.size() || *at(bytes, pos) != 0xFF) return false;
        while (pos < bytes.size() && *at(bytes, pos) == 0xFF) // fill bytes
            ++pos;
        if (pos >= bytes.size()) return false;
        const unsigned char marker = *at(bytes, pos++);
        if (marker == 0xD9) return true;
        if (hasNoLength(marker)) continue;
        if (pos + 2 > bytes.size()) return false;
        const std::uint32_t length = bigEndian(at(bytes, pos), 2);
        if (length < 2 || pos + length > bytes.size()) return false;
        if (isStartOfFrame(marker) && !onFrame(at(bytes, pos + 2), length - 2)) return false;
        pos += length;
        if (marker != 0xDA) continue;
        // Scan data: 0xFF 0x00 is a stuffed byte, 0xFF 0xD0-D7 a restart marker.
        for (;;) {
            std::size_t ff = bytes.find('\xFF', pos);
            if (ff == std::string_view::npos || ff + 1 >= bytes.size()) return false;
            const unsigned char next = *at(bytes, ff + 1);
            if (next == 0x00 || (next >= 0xD0 && next <= 0xD7)) {
                pos = ff + 2;
                continue;
            }
            pos = ff;
            break;
        }
    }
}

void readJpegSize(std::string_view bytes, ccImageHeader& header) {
    // The first start-of-frame segment holds precision (1), height (2) and width (2).
    walkJpeg(bytes, [&](const unsigned char* frame, std::uint32_t length) {
        if (length < 5) return false;
        header.height = bigEndian(frame + 1, 2);
        header.width = bigEndian(frame + 3, 2);
        header.sized = true;
        return false; // the size is all that is wanted
    });
}

} // namespace

ccImageHeader ccReadImageHeader(std::string_view bytes) {
    ccImageHeader header;
    static const char kPng[8] = {'\x89', 'P', 'N', 'G', '\r', '\n', '\x1A', '\n'};
    if (bytes.size() >= 8 && std::memcmp(bytes.data(), kPng, sizeof kPng) == 0) {
        header.format = ccImageFormat::Png;
        header.formatName = "PNG";
        readPngSize(bytes, header);
    } else if (bytes.size() >= 3 && startsWith(bytes, "\xFF\xD8\xFF")) {
        header.format = ccImageFormat::Jpeg;
        header.formatName = "JPEG";
        readJpegSize(bytes, header);
    } else {
        header.formatName = otherFormatName(bytes);
    }
    return header;
}

bool ccJpegIsComplete(std::string_view bytes) {
    return startsWith(bytes, "\xFF\xD8") &&
           walkJpeg(bytes, [](const unsigned char*, std::uint32_t) { return true; });
}

bool ccPngIsComplete(std::string_view bytes) {
    // Each chunk: length (4), type (4), data, CRC (4).
    std::size_t pos = 8;
    while (pos + 12 <= bytes.size()) {
        const std::uint32_t length = bigEndian(at(bytes, pos), 4);
        if (length > 0x7FFFFFFF || length > bytes.size() - pos - 12) return false;
        if (bytes.substr(pos + 4, 4) == "IEND") return true;
        pos += 12 + length;
    }
    return false;
}

} // namespace engine
