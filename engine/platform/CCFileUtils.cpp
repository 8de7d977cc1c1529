#include "engine/platform/CCFileUtils.h"

#include "engine/base/CCLog.h"
#include "engine/platform/BookArchive.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <new>
#include <sys/stat.h>
#include <unistd.h>
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

const char* kindName(CCFileUtils::FileKind kind) {
    switch (kind) {
    case CCFileUtils::FileKind::Layout:
        return "a layout";
    case CCFileUtils::FileKind::Dictionary:
        return "a dictionary";
    case CCFileUtils::FileKind::Picture:
        return "a picture";
    case CCFileUtils::FileKind::Sound:
        return "a sound";
    case CCFileUtils::FileKind::Font:
        return "a font";
    case CCFileUtils::FileKind::Other:
        break;
    }
    return "a book file";
}

const char* typeName(mode_t mode) {
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISCHR(mode)) return "a character device";
    if (S_ISBLK(mode)) return "a block device";
    if (S_ISSOCK(mode)) return "a socket";
    return "a special file";
}

std::string realPath(const std::string& path, int& error) {
    std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr), &std::free);
    error = resolved ? 0 : errno;
    return resolved ? std::string(resolved.get()) : std::string();
}

// What a name leads to once every link is resolved, and whether it may be read.
struct Checked {
    std::string path; // real path; empty unless `error` is None
    CCFileUtils::ReadError error = CCFileUtils::ReadError::None;
};

void refuse(const std::string& name, const std::string& why) {
    CCLog("CCFileUtils: refusing '%s': %s", name.c_str(), why.c_str());
}

// Checks the stat of a file that is about to be read; logs a refusal.
CCFileUtils::ReadError checkStat(const std::string& name, const struct stat& info, std::uintmax_t limit,
                                 CCFileUtils::FileKind kind) {
    if (S_ISDIR(info.st_mode)) return CCFileUtils::ReadError::Unreadable;
    if (!S_ISREG(info.st_mode)) {
        refuse(name, std::string(typeName(info.st_mode)) + ", not a regular file");
        return CCFileUtils::ReadError::Refused;
    }
    const auto size = static_cast<std::uintmax_t>(info.st_size);
    if (size > limit) {
        refuse(name, std::to_string(size) + " bytes, beyond the limit of " +
                         std::to_string(limit / CCFileUtils::kMegabyte) + " MB for " + kindName(kind));
        return CCFileUtils::ReadError::Refused;
    }
    return CCFileUtils::ReadError::None;
}

// Applies every rule to `name` under `root` without opening the file.
Checked check(const std::string& root, const std::string& name, CCFileUtils::FileKind kind,
              std::uintmax_t limit) {
    Checked result;
    std::optional<std::string> lexical = resolve(root, name);
    if (!lexical) {
        result.error = CCFileUtils::ReadError::Refused;
        return result;
    }
    int error = 0;
    std::string realRoot = realPath(root, error);
    std::string real = error ? std::string() : realPath(*lexical, error);
    if (error) {
        if (error == ELOOP) {
            refuse(name, "its symbolic links go round in a loop");
            result.error = CCFileUtils::ReadError::Refused;
        } else {
            result.error = error == ENOENT || error == ENOTDIR ? CCFileUtils::ReadError::Missing
                                                               : CCFileUtils::ReadError::Unreadable;
        }
        return result;
    }
    const bool inside = real == realRoot || realRoot == "/" ||
                        (real.size() > realRoot.size() && real.compare(0, realRoot.size(), realRoot) == 0 &&
                         real[realRoot.size()] == '/');
    if (!inside) {
        refuse(name, "a symbolic link leads outside the resource root, to " + real);
        result.error = CCFileUtils::ReadError::Refused;
        return result;
    }
    struct stat info {};
    if (::stat(real.c_str(), &info) != 0) {
        result.error = errno == ENOENT ? CCFileUtils::ReadError::Missing : CCFileUtils::ReadError::Unreadable;
        return result;
    }
    result.error = checkStat(name, info, limit, kind);
    if (result.error == CCFileUtils::ReadError::None) result.path = std::move(real);
    return result;
}

CCFileUtils::BeforeOpenHook& beforeOpenHook() {
    static CCFileUtils::BeforeOpenHook hook;
    return hook;
}

// Reads a checked file whole. The open file is checked again: what was a
// regular file a moment ago might have been swapped, and a file can grow.
std::optional<std::string> readChecked(const std::string& name, const std::string& path,
                                       CCFileUtils::FileKind kind, CCFileUtils::ReadError& why) {
    const std::uintmax_t limit = CCFileUtils::sizeLimit(kind);
    CCFileUtils::runBeforeOpenHook(path);
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        why = errno == ENOENT ? CCFileUtils::ReadError::Missing : CCFileUtils::ReadError::Unreadable;
        return std::nullopt;
    }
    struct stat info {};
    why = ::fstat(fd, &info) != 0 ? CCFileUtils::ReadError::Unreadable : checkStat(name, info, limit, kind);
    std::string contents;
    try {
        if (why == CCFileUtils::ReadError::None) contents.reserve(static_cast<size_t>(info.st_size));
        char buffer[64 * 1024];
        while (why == CCFileUtils::ReadError::None) {
            ssize_t got = ::read(fd, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) why = CCFileUtils::ReadError::Unreadable;
            if (got <= 0) break;
            contents.append(buffer, static_cast<size_t>(got));
            if (contents.size() > limit) {
                refuse(name, "it grew beyond the limit of " + std::to_string(limit / CCFileUtils::kMegabyte) +
                                 " MB for " + kindName(kind) + " while being read");
                why = CCFileUtils::ReadError::Refused;
            }
        }
    } catch (const std::bad_alloc&) {
        // A file too large to hold reads as unreadable rather than ending the program.
        why = CCFileUtils::ReadError::Unreadable;
    }
    ::close(fd);
    if (why != CCFileUtils::ReadError::None) return std::nullopt;
    return contents;
}

} // namespace

std::optional<std::string> CCFileUtils::readFileAtPath(const std::string& path, FileKind kind,
                                                       ReadError* error) {
    ReadError ignored;
    return readChecked(path, path, kind, error ? *error : ignored);
}

void CCFileUtils::setBeforeOpenHook(BeforeOpenHook hook) {
    beforeOpenHook() = std::move(hook);
}

void CCFileUtils::runBeforeOpenHook(const std::string& path) {
    if (beforeOpenHook()) beforeOpenHook()(path);
}

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
    m_archive.reset();
}

bool CCFileUtils::setResourceArchive(const std::string& file, std::string& error) {
    std::unique_ptr<BookArchive> archive = BookArchive::open(file, error);
    if (!archive) return false;
    m_root = canonicalFolder(file);
    m_archive = std::move(archive);
    return true;
}

namespace {

CCFileUtils::ReadError fromArchive(BookArchive::ReadError error) {
    switch (error) {
    case BookArchive::ReadError::None:
        return CCFileUtils::ReadError::None;
    case BookArchive::ReadError::Missing:
        return CCFileUtils::ReadError::Missing;
    case BookArchive::ReadError::Refused:
        return CCFileUtils::ReadError::Refused;
    case BookArchive::ReadError::Unreadable:
        break;
    }
    return CCFileUtils::ReadError::Unreadable;
}

// The archive's name for `name`, logging a refused name as for a folder.
std::optional<std::string> archiveName(const std::string& name) {
    Normalized normal = normalize(name);
    if (normal.refusal) {
        CCLog("CCFileUtils: refusing '%s': %s", name.c_str(), normal.refusal);
        return std::nullopt;
    }
    return normal.path;
}

} // namespace

std::optional<std::string> CCFileUtils::normalizeName(const std::string& name) {
    Normalized normal = normalize(name);
    if (normal.refusal) return std::nullopt;
    return normal.path;
}

std::string CCFileUtils::fullPathForFilename(const std::string& name) const {
    return resolve(m_root, name).value_or(std::string());
}

std::uintmax_t CCFileUtils::sizeLimit(FileKind kind) {
    switch (kind) {
    case FileKind::Layout:
        return kMaxLayoutBytes;
    case FileKind::Dictionary:
        return kMaxDictionaryBytes;
    case FileKind::Picture:
        return kMaxPictureBytes;
    case FileKind::Sound:
        return kMaxSoundBytes;
    case FileKind::Font:
        return kMaxFontBytes;
    case FileKind::Other:
        break;
    }
    return kMaxOtherBytes;
}

bool CCFileUtils::isFileExist(const std::string& name) const {
    if (m_archive) {
        std::optional<std::string> entry = archiveName(name);
        return entry && m_archive->contains(*entry);
    }
    // Whether a file is there, not whether it may be read whole.
    return check(m_root, name, FileKind::Other, UINTMAX_MAX).error == ReadError::None;
}

bool CCFileUtils::hasName(const std::string& name) const {
    const std::optional<std::string> normal = normalizeName(name);
    if (!normal) return false;
    if (m_archive) return m_archive->contains(*normal) || m_archive->refused(*normal);
    std::error_code ec;
    return fs::exists(m_root == "/" ? "/" + *normal : m_root + "/" + *normal, ec);
}

std::optional<CCFileUtils::FileVersion> CCFileUtils::fileVersion(const std::string& name) const {
    const std::optional<std::string> normal = normalizeName(name);
    if (!normal) return std::nullopt;
    struct stat info {};
    if (m_archive) {
        const std::optional<std::uint64_t> size = m_archive->sizeOf(*normal);
        if (!size || ::stat(m_archive->path().c_str(), &info) != 0) return std::nullopt;
        info.st_size = static_cast<off_t>(*size);
    } else {
        const std::string path = m_root == "/" ? "/" + *normal : m_root + "/" + *normal;
        if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
    }
    return FileVersion{static_cast<std::uintmax_t>(info.st_dev), static_cast<std::uintmax_t>(info.st_ino),
                       static_cast<std::uintmax_t>(info.st_size),
                       static_cast<std::int64_t>(info.st_mtim.tv_sec),
                       static_cast<std::int64_t>(info.st_mtim.tv_nsec)};
}

std::string CCFileUtils::pathForReading(const std::string& name, FileKind kind, ReadError* error) const {
    if (m_archive) {
        std::optional<std::string> entry = archiveName(name);
        if (error)
            *error = !entry                        ? ReadError::Refused
                     : m_archive->contains(*entry) ? ReadError::None
                                                   : ReadError::Missing;
        return {};
    }
    Checked checked = check(m_root, name, kind, sizeLimit(kind));
    if (error) *error = checked.error;
    return checked.path;
}

std::string CCFileUtils::describe(ReadError error) const {
    switch (error) {
    case ReadError::None:
        return {};
    case ReadError::Missing:
        return "no such file in " + m_root;
    case ReadError::Refused:
        return "refused name";
    case ReadError::Unreadable:
        break;
    }
    return "cannot be read from " + m_root;
}

std::optional<std::string> CCFileUtils::getFileData(const std::string& name, ReadError* error,
                                                    FileKind kind) const {
    ReadError ignored;
    ReadError& why = error ? *error : ignored;
    if (m_archive) {
        std::optional<std::string> entry = archiveName(name);
        if (!entry) {
            why = ReadError::Refused;
            return std::nullopt;
        }
        BookArchive::ReadError archiveError = BookArchive::ReadError::None;
        std::optional<std::string> bytes =
            m_archive->read(*entry, sizeLimit(kind), archiveError, kindName(kind));
        why = fromArchive(archiveError);
        return bytes;
    }
    Checked checked = check(m_root, name, kind, sizeLimit(kind));
    why = checked.error;
    if (why != ReadError::None) return std::nullopt;
    return readChecked(name, checked.path, kind, why);
}

} // namespace engine
