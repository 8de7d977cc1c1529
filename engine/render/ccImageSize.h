#pragma once
// What a picture file claims, read from its bytes alone, so that a picture can
// be refused before decoding it allocates width x height pixels. Books hold
// PNG and JPEG pictures; other formats are only named, for the log line that
// refuses them.
#include <cstdint>
#include <string_view>

namespace engine {

enum class ccImageFormat { Unknown, Png, Jpeg };

struct ccImageHeader {
    ccImageFormat format = ccImageFormat::Unknown;
    // "PNG", "JPEG", or what else the first bytes look like ("GIF", "QOI", ...).
    const char* formatName = "an unknown format";
    bool sized = false; // the header gave the size below
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

ccImageHeader ccReadImageHeader(std::string_view bytes);

// Whether a JPEG reaches its end-of-image marker: libjpeg decodes a file cut
// short with grey from the cut on, and only warns.
bool ccJpegIsComplete(std::string_view bytes);
// Whether a PNG's chunks follow one another within the file up to its end
// chunk: a file cut short is refused by name before any pixel is allocated
// (a decoder fed past the end could otherwise read on for good).
bool ccPngIsComplete(std::string_view bytes);

} // namespace engine
