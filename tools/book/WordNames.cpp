#include "tools/book/WordNames.h"

#include <md5.h>

namespace bookmaker {

namespace {
const char* pagePrefix(int page, const char* low, const char* high) {
    return page < 10 ? low : high;
}
} // namespace

std::string hotspotName(int page, int word) {
    return pagePrefix(page, "bn0", "bn") + std::to_string(page) + std::to_string(word);
}

int actionTag(int page, int word) {
    return word < 10 ? page * 10 + word : page * 100 + word;
}

std::string textKey(int page, int word) {
    return pagePrefix(page, "str0", "str") + std::to_string(actionTag(page, word));
}

std::string soundName(int page, int word) {
    return pagePrefix(page, "mc0", "mc") + std::to_string(actionTag(page, word)) + ".mp3";
}

std::string narrationFile(int page, int word) {
    return "epc/" + md5Hex(soundName(page, word)) + ".mp3";
}

std::string md5Hex(const std::string& text) {
    char digest[MD5_DIGEST_STRING_LENGTH];
    MD5Data(reinterpret_cast<const unsigned char*>(text.data()), text.size(), digest);
    return digest;
}

} // namespace bookmaker
