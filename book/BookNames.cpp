#include "book/BookNames.h"

#include <md5.h>

#include <string>

namespace book {

namespace {
// Pages below 10 carry a 0 after the prefix so that names keep two page digits.
std::string prefixed(const char* prefix, int page) {
    return std::string(prefix) + (page < 10 ? "0" : "");
}
} // namespace

std::string hotspotName(int page, int index) {
    return prefixed("bn", page) + std::to_string(page) + std::to_string(index);
}

int hotspotTag(int page, int index) {
    return index < 10 ? page * 10 + index : page * 100 + index;
}

int indexFromTag(int tag, int page) {
    int index = tag - 10 * page;
    return index <= 30 ? index : tag - 100 * page;
}

std::string soundName(int tag, int page) {
    return prefixed("mc", page) + std::to_string(tag) + ".mp3";
}

std::string textKey(int tag, int page) {
    return prefixed("str", page) + std::to_string(tag);
}

std::string readAlongPageKey(int page) {
    return prefixed("pg", page) + std::to_string(page);
}

std::string readAlongWordKey(int tag, int page) {
    return prefixed("rd", page) + std::to_string(tag);
}

std::string pageRecordingName(int page) {
    return readAlongPageKey(page) + ".mp3";
}

std::string md5Hex(const std::string& bytes) {
    char hex[MD5_DIGEST_STRING_LENGTH];
    MD5Data(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), hex);
    return std::string(hex, MD5_DIGEST_STRING_LENGTH - 1);
}

std::string narrationFile(const std::string& soundName) {
    return "epc/" + md5Hex(soundName) + ".mp3";
}

std::string narrationPath(const std::string& bookDir, const std::string& soundName) {
    return bookDir + "/" + narrationFile(soundName);
}

std::string pageLayoutPath(const std::string& bookDir, const std::string& subName, int page) {
    return bookDir + "/" + subName + "/" + subName + "_" + std::to_string(page) + ".json";
}

} // namespace book
