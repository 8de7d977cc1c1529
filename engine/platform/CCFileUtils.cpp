#include "engine/platform/CCFileUtils.h"

#include "engine/base/CCLog.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <new>
#include <vector>

namespace engine {

namespace fs = std::filesystem;

namespace {

// The normal relative form of `name`, or the reason it is refused.
struct Normalized {
    std::string path;
    const char* refusal = nullptr;
};

Normalized normalize(const std::string& name) {
    if (name.empty()) return {{}, "empty file name"};
    if (name.find('\0') != std::string::npos) return {{}, "NUL byte in file name"};
    if (name.front() == '/') return {{}, "absolute paths are not allowed"};

    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find('/', start);
        if (end == std::string::npos) end = name.size();
        std::string part = name.substr(start, end - start);
        start = end + 1;
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            if (parts.empty()) return {{}, "the path climbs out of the resource root"};
            parts.pop_back();
            continue;
        }
        parts.push_back(std::move(part));
    }
    Normalized result;
    for (const auto& part : parts) {
        if (!result.path.empty()) result.path += '/';
        result.path += part;
    }
    return result;
}

// Resolves `name` under `root`, logging a refusal. Empty when refused.
std::optional<std::string> resolve(const std::string& root, const std::string& name) {
    Normalized normal = normalize(name);
    if (normal.refusal) {
        // The name may hold anything; print it only up to a NUL.
        CCLog("CCFileUtils: refusing '%s': %s", name.c_str(), normal.refusal);
        return std::nullopt;
    }
    if (normal.path.empty()) return root;
    if (root == "/") return "/" + normal.path;
    return root + "/" + normal.path;
}

std::string canonicalFolder(const fs::path& folder) {
    std::error_code ec;
    fs::path absolute = fs::absolute(folder.empty() ? fs::path(".") : folder, ec);
    if (ec) absolute = folder;
    std::string text = absolute.lexically_normal().string();
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    return text;
}

} // namespace

CCFileUtils* CCFileUtils::sharedFileUtils() {
    static CCFileUtils instance;
    return &instance;
}

CCFileUtils::CCFileUtils() : m_root(defaultResourceRoot()) {}

std::string CCFileUtils::defaultResourceRoot() {
    std::error_code ec;
    fs::path executable = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) return findResourceRoot(executable.parent_path().string());
    fs::path current = fs::current_path(ec);
    return findResourceRoot(ec ? std::string(".") : current.string());
}

std::string CCFileUtils::findResourceRoot(const std::string& executableFolder) {
    fs::path folder = executableFolder;
    fs::path candidate = folder;
    std::error_code ec;
    for (int level = 0; level < 3; ++level) {
        if (fs::is_directory(candidate / "resources", ec)) return canonicalFolder(candidate / "resources");
        if (candidate == candidate.parent_path()) break;
        candidate = candidate.parent_path();
    }
    // An installed program (<prefix>/bin) keeps its book in <prefix>/share/lirra.
    fs::path installed = folder.parent_path() / "share" / "lirra" / "resources";
    if (folder.has_parent_path() && fs::is_directory(installed, ec)) return canonicalFolder(installed);
    return canonicalFolder(folder / "resources");
}

void CCFileUtils::setResourceRoot(const std::string& folder) {
    m_root = canonicalFolder(folder);
}

std::optional<std::string> CCFileUtils::normalizeName(const std::string& name) {
    Normalized normal = normalize(name);
    if (normal.refusal) return std::nullopt;
    return normal.path;
}

std::string CCFileUtils::fullPathForFilename(const std::string& name) const {
    return resolve(m_root, name).value_or(std::string());
}

bool CCFileUtils::isFileExist(const std::string& name) const {
    std::optional<std::string> path = resolve(m_root, name);
    if (!path) return false;
    std::error_code ec;
    return fs::is_regular_file(*path, ec);
}

std::optional<std::string> CCFileUtils::getFileData(const std::string& name, ReadError* error) const {
    ReadError ignored;
    ReadError& why = error ? *error : ignored;
    why = ReadError::None;

    std::optional<std::string> path = resolve(m_root, name);
    if (!path) {
        why = ReadError::Refused;
        return std::nullopt;
    }
    std::error_code ec;
    fs::file_status status = fs::status(*path, ec);
    if (!fs::exists(status)) {
        why = ReadError::Missing;
        return std::nullopt;
    }
    // A folder or a device would not read as a file (or never end).
    if (!fs::is_regular_file(status)) {
        why = ReadError::Unreadable;
        return std::nullopt;
    }

    std::FILE* file = std::fopen(path->c_str(), "rb");
    if (!file) {
        why = errno == ENOENT ? ReadError::Missing : ReadError::Unreadable;
        return std::nullopt;
    }
    std::string contents;
    bool failed = false;
    try {
        uintmax_t size = fs::file_size(*path, ec);
        if (!ec && size < contents.max_size()) contents.reserve(static_cast<size_t>(size));
        char buffer[64 * 1024];
        size_t got;
        while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
            contents.append(buffer, got);
        failed = std::ferror(file) != 0;
    } catch (const std::bad_alloc&) {
        // A file too large to hold reads as unreadable rather than ending the program.
        failed = true;
    }
    std::fclose(file);
    if (failed) {
        why = ReadError::Unreadable;
        return std::nullopt;
    }
    return contents;
}

} // namespace engine
