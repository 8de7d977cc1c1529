#include "book/PictureCache.h"

#include "book/BookNames.h"
#include "engine/base/CCLog.h"
#include "engine/render/CCTexture2D.h"

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace engine;
namespace fs = std::filesystem;

namespace book::pictures {

namespace {

// Far beyond a 160 x 240 PNG; a larger file in the cache is not ours.
constexpr std::uintmax_t kLargestPictureBytes = 4 * 1024 * 1024;
constexpr std::uintmax_t kLargestTextBytes = 4096;

std::string& folderOverride() {
    static std::string folder;
    return folder;
}

std::int64_t nanoseconds(fs::file_time_type time) {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(time.time_since_epoch()).count();
}

std::optional<std::string> readSmallFile(const std::string& file, std::uintmax_t largest) {
    std::error_code error;
    if (!fs::is_regular_file(file, error)) return std::nullopt;
    const std::uintmax_t size = fs::file_size(file, error);
    if (error || size > largest) return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (!in && !in.eof()) return std::nullopt;
    return bytes.str();
}

} // namespace

std::string cacheFolder() {
    if (!folderOverride().empty()) return folderOverride();
    const char* cache = std::getenv("XDG_CACHE_HOME");
    if (cache && cache[0] == '/') return (fs::path(cache) / "lirra" / "covers").string();
    const char* home = std::getenv("HOME");
    return (fs::path(home && *home ? home : "/") / ".cache" / "lirra" / "covers").string();
}

void setCacheFolder(const std::string& folder) {
    folderOverride() = folder;
}

std::optional<std::string> keyOf(const std::string& bookPath, int drawingVersion) {
    std::error_code error;
    const fs::path real = fs::canonical(bookPath, error);
    if (error) return std::nullopt;
    std::uintmax_t size = 0, files = 0;
    std::int64_t newest = 0;
    if (fs::is_directory(real, error)) {
        // A folder changes when any file in it does.
        fs::recursive_directory_iterator entry(real, fs::directory_options::skip_permission_denied, error),
            end;
        for (; !error && entry != end; entry.increment(error)) {
            std::error_code fileError;
            if (!entry->is_regular_file(fileError)) continue;
            size += entry->file_size(fileError);
            newest = std::max(newest, nanoseconds(entry->last_write_time(fileError)));
            ++files;
        }
        if (error) return std::nullopt;
    } else {
        size = fs::file_size(real, error);
        if (error) return std::nullopt;
        newest = nanoseconds(fs::last_write_time(real, error));
        if (error) return std::nullopt;
    }
    std::ostringstream identity;
    identity << real.string() << '\n' << size << '\n' << newest << '\n' << files << '\n' << drawingVersion;
    return md5Hex(identity.str());
}

std::string fileFor(const std::string& key, const std::string& suffix) {
    return (fs::path(cacheFolder()) / (key + suffix)).string();
}

std::string coverFile(const std::string& key) {
    return fileFor(key, ".png");
}

std::string pageFile(const std::string& key, int page) {
    return fileFor(key, "-p" + std::to_string(page) + ".png");
}

bool hasCover(const std::string& key) {
    std::error_code error;
    return fs::is_regular_file(coverFile(key), error);
}

bool hasPages(const std::string& key) {
    std::error_code error;
    return fs::is_regular_file(fileFor(key, ".pages"), error);
}

std::optional<std::string> failure(const std::string& key) {
    return readSmallFile(fileFor(key, ".failed"), kLargestTextBytes);
}

std::optional<std::string> title(const std::string& key) {
    std::optional<std::string> text = readSmallFile(fileFor(key, ".title"), kLargestTextBytes);
    if (!text || text->empty()) return std::nullopt;
    return text;
}

CCTexture2D* load(const std::string& file) {
    std::optional<std::string> bytes = readSmallFile(file, kLargestPictureBytes);
    if (!bytes) {
        CCLog("pictures: %s is missing, unreadable or too large; it is drawn plain", file.c_str());
        return nullptr;
    }
    std::string why;
    CCTexture2D* texture = CCTexture2D::createWithImageData(*bytes, &why);
    if (!texture) CCLog("pictures: %s is not a picture (%s); it is drawn plain", file.c_str(), why.c_str());
    return texture;
}

bool writeWhole(const std::string& file, const std::string& bytes) {
    std::error_code error;
    fs::create_directories(fs::path(file).parent_path(), error);
    const std::string temporary = file + ".tmp" + std::to_string(::getpid());
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            fs::remove(temporary, error);
            return false;
        }
    }
    fs::rename(temporary, file, error);
    if (!error) return true;
    std::error_code ignored;
    fs::remove(temporary, ignored);
    return false;
}

} // namespace book::pictures
