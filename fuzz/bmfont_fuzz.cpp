// Bitmap-font text from outside: any bytes must give a configuration whose
// values lie within the parser's limits, or nullptr with a log line; never a
// crash, a hang or an out-of-range glyph.
#include "engine/base/CCLog.h"
#include "engine/text/CCBMFontConfiguration.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

using namespace engine;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool quiet = (CCLogSetEchoToStderr(false), true);
    (void)quiet;
    std::string text(reinterpret_cast<const char*>(data), size);
    auto config = CCBMFontConfiguration::parse(text, "fonts/fuzz.fnt");
    if (!config) return 0;
    if (config->getLineHeight() <= 0 || config->getPages().empty()) std::abort();
    for (const auto& [id, glyph] : config->getChars()) {
        if (id > 0x10FFFF) std::abort();
        if (glyph.page < 0 || static_cast<size_t>(glyph.page) >= config->getPages().size()) std::abort();
        if (config->getPages()[static_cast<size_t>(glyph.page)].empty()) std::abort();
        if (glyph.rect.size.width < 0 || glyph.rect.size.height < 0) std::abort();
        (void)config->kerning(id, id);
    }
    return 0;
}
