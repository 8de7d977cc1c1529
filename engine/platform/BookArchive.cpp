#include "engine/platform/BookArchive.h"

#include "engine/base/CCLog.h"
#include "engine/platform/CCFileUtils.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <vector>

namespace engine {

namespace {

constexpr std::uint32_t kFileTypeMask = 0170000;
constexpr std::uint32_t kSymbolicLink = 0120000;

std::string megabytes(std::uint64_t bytes) {
    return std::to_string(bytes / BookArchive::kMegabyte) + " MB";
}

// Absolute in any of the forms an unpacker might honour: "/x", "\x", "C:x".
bool isAbsolute(const std::string& name) {
    if (name.empty()) return false;
    if (name.front() == '/' || name.front() == '\\') return true;
    return name.size() >= 2 && name[1] == ':' &&
           ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z'));
}

// Whether a name written with Windows separators ("..\..\evil") climbs out
// of the book where an unpacker takes a backslash for a folder separator.
bool climbsWithBackslashes(const std::string& name) {
    if (name.find('\\') == std::string::npos) return false;
    std::string slashed = name;
    std::replace(slashed.begin(), slashed.end(), '\\', '/');
    return !CCFileUtils::normalizeName(slashed);
}

std::uint64_t littleEndian(const unsigned char* bytes, int count) {
    std::uint64_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = value << 8 | bytes[i];
    return value;
}

bool readAt(int fd, std::uint64_t offset, unsigned char* into, size_t length) {
    size_t done = 0;
    while (done < length) {
        const ssize_t got = ::pread(fd, into + done, length - done, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        done += static_cast<size_t>(got);
    }
    return true;
}

// How many entries the archive's end record says its directory lists, read
// from the file's last bytes (the record and its comment, at most 64 KB)
// and, for a ZIP64 archive, its 64-bit record. Nothing when no end record is
// found: libzip then says what is wrong.
std::optional<std::uint64_t> listedEntries(int fd, std::uint64_t fileSize) {
    constexpr size_t kEndRecord = 22, kLargestComment = 0xFFFF, kLocator = 20, kEndRecord64 = 56;
    const size_t tailSize =
        static_cast<size_t>(std::min<std::uint64_t>(fileSize, kEndRecord + kLargestComment));
    if (tailSize < kEndRecord) return std::nullopt;
    std::vector<unsigned char> tail(tailSize);
    const std::uint64_t tailStart = fileSize - tailSize;
    if (!readAt(fd, tailStart, tail.data(), tail.size())) return std::nullopt;
    for (size_t at = tailSize - kEndRecord + 1; at-- > 0;) {
        if (std::memcmp(&tail[at], "PK\5\6", 4) != 0) continue;
        const std::uint64_t listed =
            std::max(littleEndian(&tail[at + 8], 2), littleEndian(&tail[at + 10], 2));
        if (listed != 0xFFFF) return listed;
        // ZIP64: a locator just before the record gives the 64-bit record's offset.
        unsigned char locator[kLocator];
        unsigned char record[kEndRecord64];
        const std::uint64_t recordAt = tailStart + at;
        if (recordAt < kLocator || !readAt(fd, recordAt - kLocator, locator, kLocator) ||
            std::memcmp(locator, "PK\6\7", 4) != 0)
            return listed;
        const std::uint64_t record64At = littleEndian(locator + 8, 8);
        if (record64At > fileSize - kEndRecord64 || !readAt(fd, record64At, record, kEndRecord64) ||
            std::memcmp(record, "PK\6\6", 4) != 0)
            return listed;
        return std::max(littleEndian(record + 24, 8), littleEndian(record + 32, 8));
    }
    return std::nullopt;
}

} // namespace

std::unique_ptr<BookArchive> BookArchive::open(const std::string& path, std::string& error) {
    return open(path, error, Limits());
}

std::unique_ptr<BookArchive> BookArchive::open(const std::string& path, std::string& error,
                                               const Limits& limits) {
    // The file is opened once, without blocking, and judged on what was
    // opened: a FIFO or a device would block or never end, and a name checked
    // first and opened after might by then lead somewhere else.
    CCFileUtils::runBeforeOpenHook(path);
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = errno == ENOENT || errno == ENOTDIR
                    ? std::string("no such file")
                    : std::string("cannot be opened: ") + std::strerror(errno);
        return nullptr;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        error = "not a regular file";
        return nullptr;
    }
    // libzip reads the whole directory before anything can be judged: a
    // million entries take it most of a minute and hundreds of megabytes.
    const std::optional<std::uint64_t> listed = listedEntries(fd, static_cast<std::uint64_t>(info.st_size));
    if (listed && *listed > limits.entries) {
        ::close(fd);
        error = "its directory lists " + std::to_string(*listed) + " entries, more than the " +
                std::to_string(limits.entries) + " a book may hold";
        return nullptr;
    }
    int code = 0;
    // The consistency check catches a truncated archive whose central
    // directory no longer matches its entries. libzip reads through a copy
    // of the descriptor and closes this one once the archive is open.
    zip* archive = zip_fdopen(fd, ZIP_CHECKCONS, &code);
    if (!archive) {
        ::close(fd);
        zip_error_t reason;
        zip_error_init_with_code(&reason, code);
        // libzip itself will not open a directory that names one entry twice.
        error = code == ZIP_ER_NOZIP ? std::string("not a ZIP archive")
                : code == ZIP_ER_EXISTS
                    ? std::string("two entries have the same name")
                    : std::string("a damaged ZIP archive (") + zip_error_strerror(&reason) + ")";
        zip_error_fini(&reason);
        return nullptr;
    }
    std::unique_ptr<BookArchive> book(new BookArchive(path, archive));
    book->index(limits);
    return book;
}

BookArchive::BookArchive(std::string path, zip* archive) : m_path(std::move(path)), m_zip(archive) {}

BookArchive::~BookArchive() {
    if (m_zip) zip_discard(m_zip); // read-only: nothing to write back
}

void BookArchive::refuse(const std::string& entry, const std::string& why) const {
    CCLog("BookArchive: %s: refusing entry '%s': %s", m_path.c_str(), entry.c_str(), why.c_str());
}

void BookArchive::index(const Limits& limits) {
    const zip_int64_t count = zip_get_num_entries(m_zip, 0);
    std::uint64_t total = 0;
    for (zip_int64_t i = 0; i < count; ++i) {
        const auto at = static_cast<zip_uint64_t>(i);
        const char* rawName = zip_get_name(m_zip, at, 0);
        const std::string name = rawName ? rawName : "";
        const std::optional<std::string> normal = CCFileUtils::normalizeName(name);
        const std::string key = normal.value_or(name);
        auto refuseEntry = [&](const std::string& why) {
            refuse(name, why);
            m_refused.emplace(key, why);
        };
        if (name.empty()) {
            refuse("#" + std::to_string(i), "it has no name");
            continue;
        }
        if (isAbsolute(name)) {
            refuseEntry("absolute names are not allowed");
            continue;
        }
        if (!normal || climbsWithBackslashes(name)) {
            refuseEntry("the name climbs out of the book");
            continue;
        }
        if (name.back() == '/' || normal->empty()) continue; // a folder: nothing to read

        zip_uint8_t system = 0;
        zip_uint32_t attributes = 0;
        if (zip_file_get_external_attributes(m_zip, at, 0, &system, &attributes) == 0 &&
            system == ZIP_OPSYS_UNIX && ((attributes >> 16) & kFileTypeMask) == kSymbolicLink) {
            refuseEntry("a symbolic link");
            continue;
        }
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(m_zip, at, 0, &stat) != 0 ||
            (stat.valid & (ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE)) != (ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE)) {
            refuseEntry("its sizes cannot be read");
            continue;
        }
        if ((stat.valid & ZIP_STAT_ENCRYPTION_METHOD) && stat.encryption_method != ZIP_EM_NONE) {
            refuseEntry("encrypted");
            continue;
        }
        if ((stat.valid & ZIP_STAT_COMP_METHOD) &&
            !zip_compression_method_supported(static_cast<zip_int32_t>(stat.comp_method), 0)) {
            refuseEntry("compression method " + std::to_string(stat.comp_method) + " cannot be read");
            continue;
        }
        if (stat.size > limits.entryBytes) {
            refuseEntry(std::to_string(stat.size) + " bytes unpacked, beyond the limit of " +
                        std::to_string(limits.entryBytes) + " bytes for one entry");
            continue;
        }
        if (stat.size > limits.ratioFreeBytes && stat.comp_size * limits.compressionRatio < stat.size) {
            refuseEntry(std::to_string(stat.comp_size) + " bytes unpack to " + std::to_string(stat.size) +
                        ", beyond a ratio of " + std::to_string(limits.compressionRatio) +
                        " to 1 (a decompression bomb)");
            continue;
        }
        if (m_refused.count(*normal)) {
            refuseEntry("the name appears twice");
            continue;
        }
        auto same = m_entries.find(*normal);
        if (same != m_entries.end()) {
            // Which copy an unpacker keeps differs; neither is trusted.
            total -= same->second.size;
            m_entries.erase(same);
            refuseEntry("the name appears twice");
            continue;
        }
        if (total + stat.size > limits.totalBytes) {
            refuseEntry("the entries unpack to more than " + std::to_string(limits.totalBytes) +
                        " bytes in all");
            continue;
        }
        total += stat.size;
        m_entries.emplace(*normal, Entry{at, stat.size});
    }
}

bool BookArchive::contains(const std::string& name) const {
    return m_entries.count(name) != 0;
}

std::optional<std::uint64_t> BookArchive::sizeOf(const std::string& name) const {
    auto found = m_entries.find(name);
    if (found == m_entries.end()) return std::nullopt;
    return found->second.size;
}

std::map<std::string, std::uint64_t> BookArchive::entries() const {
    std::map<std::string, std::uint64_t> result;
    for (const auto& [name, entry] : m_entries)
        result.emplace(name, entry.size);
    return result;
}

std::optional<std::string> BookArchive::read(const std::string& name, std::uint64_t limit, ReadError& error,
                                             const char* what) const {
    auto found = m_entries.find(name);
    if (found == m_entries.end()) {
        error = m_refused.count(name) ? ReadError::Refused : ReadError::Missing;
        return std::nullopt;
    }
    const Entry& entry = found->second;
    if (entry.size > limit) {
        refuse(name, std::to_string(entry.size) + " bytes, beyond the limit of " + megabytes(limit) +
                         " for " + what);
        error = ReadError::Refused;
        return std::nullopt;
    }
    zip_file_t* file = zip_fopen_index(m_zip, entry.index, 0);
    if (!file) {
        CCLog("BookArchive: %s: entry '%s' cannot be read: %s", m_path.c_str(), name.c_str(),
              zip_strerror(m_zip));
        error = ReadError::Unreadable;
        return std::nullopt;
    }
    std::string contents;
    error = ReadError::None;
    try {
        contents.reserve(static_cast<size_t>(entry.size));
        char buffer[64 * 1024];
        // One byte more than claimed shows an entry that lies about its size.
        for (;;) {
            const zip_int64_t got = zip_fread(file, buffer, sizeof buffer);
            if (got < 0) {
                CCLog("BookArchive: %s: entry '%s' is damaged: %s", m_path.c_str(), name.c_str(),
                      zip_file_strerror(file));
                error = ReadError::Unreadable;
                break;
            }
            if (got == 0) break;
            contents.append(buffer, static_cast<size_t>(got));
            if (contents.size() > entry.size) {
                refuse(name,
                       "it unpacks to more than the " + std::to_string(entry.size) + " bytes it claims");
                error = ReadError::Refused;
                break;
            }
        }
    } catch (const std::bad_alloc&) {
        error = ReadError::Unreadable;
    }
    zip_fclose(file);
    if (error == ReadError::None && contents.size() != entry.size) {
        CCLog("BookArchive: %s: entry '%s' is damaged: %zu of its %llu bytes", m_path.c_str(), name.c_str(),
              contents.size(), static_cast<unsigned long long>(entry.size));
        error = ReadError::Unreadable;
    }
    if (error != ReadError::None) return std::nullopt;
    return contents;
}

} // namespace engine
