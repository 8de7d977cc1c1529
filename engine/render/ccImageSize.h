#pragma once
// The pixel size an image file claims, read from its header alone, so that a
// picture can be refused before decoding it allocates width x height pixels.
// PNG and JPEG are understood; other formats answer "unknown".
#include <cstdint>
#include <optional>
#include <string>

namespace engine {

struct ccImageSize {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

// The size in the header of the file at `fullPath`; none when the format is
// not one of those above or the header is cut short.
std::optional<ccImageSize> ccReadImageSize(const std::string& fullPath);

} // namespace engine
