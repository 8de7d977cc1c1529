// Property-list text from outside: any bytes must give a dictionary or
// nullptr with a log line, never a crash, a hang or a leaked object.
#include "engine/base/CCArray.h"
#include "engine/base/CCAutoreleasePool.h"
#include "engine/base/CCDictionary.h"
#include "engine/base/CCLog.h"
#include "engine/base/CCPlistReader.h"
#include "engine/base/CCString.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace engine;

namespace {

// Touches every value so a dangling or half-built object would show.
size_t visit(const CCObject* object, int depth) {
    if (depth > kPlistMaxDepth + 1) std::abort();
    size_t count = 1;
    if (auto* dictionary = dynamic_cast<const CCDictionary*>(object)) {
        for (const auto& [key, value] : dictionary->entries()) {
            if (dictionary->objectForKey(key) == nullptr) std::abort();
            count += visit(value, depth + 1);
        }
    } else if (auto* array = dynamic_cast<const CCArray*>(object)) {
        for (const CCObject* value : *array)
            count += visit(value, depth + 1);
    } else if (auto* text = dynamic_cast<const CCString*>(object)) {
        count += text->length() == 0;
    }
    return count;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool quiet = (CCLogSetEchoToStderr(false), true);
    (void)quiet;
    long before = CCObject::liveObjectCount();
    const char* text = reinterpret_cast<const char*>(data);
    if (CCDictionary* dictionary = CCDictionary::createWithPlistData(text, size, "fuzz"))
        visit(dictionary, 0);
    if (CCObject* root = ccReadPlistData(text, size, "fuzz")) visit(root, 0);
    CCAutoreleasePool::sharedPool()->drain();
    if (CCObject::liveObjectCount() != before) std::abort();
    return 0;
}
