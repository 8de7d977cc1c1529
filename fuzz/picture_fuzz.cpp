// Picture files from outside: any bytes must decode to a texture no larger
// than the side limit, with the size the header claimed, or to none with a
// reason; never a crash, a hang or a decoder let loose on another format.
#include "engine/base/CCAutoreleasePool.h"
#include "engine/base/CCLog.h"
#include "engine/render/CCTexture2D.h"
#include "engine/render/ccImageSize.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

using namespace engine;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool quiet = (CCLogSetEchoToStderr(false), true);
    (void)quiet;
    std::string bytes(reinterpret_cast<const char*>(data), size);
    const ccImageHeader header = ccReadImageHeader(bytes);
    const bool complete = ccJpegIsComplete(bytes);
    std::string error;
    CCTexture2D* texture = CCTexture2D::createWithImageData(bytes, &error);
    if (texture) {
        if (header.format == ccImageFormat::Unknown || !header.sized) std::abort();
        if (header.format == ccImageFormat::Jpeg && !complete) std::abort();
        if (header.format == ccImageFormat::Png && !ccPngIsComplete(bytes)) std::abort();
        if (texture->getPixelsWide() > CCTexture2D::kMaxImageSide ||
            texture->getPixelsHigh() > CCTexture2D::kMaxImageSide)
            std::abort();
        if (static_cast<std::uint32_t>(texture->getPixelsWide()) != header.width ||
            static_cast<std::uint32_t>(texture->getPixelsHigh()) != header.height)
            std::abort();
    } else if (error.empty()) {
        std::abort();
    }
    CCAutoreleasePool::sharedPool()->drain();
    return 0;
}
