#include "engine/platform/BookArchive.h"

#include "engine/base/CCLog.h"
#include "engine/platform/CCFileUtils.h"

#include <sys/stat.h>
#include <zip.h>

#include <algorithm>
#include <new>

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

} // namespace

std::unique_ptr<BookArchive> BookArchive::open(const std::string& path, std::string& error) {
    return open(path, error, Limits());
}

std::unique_ptr<BookArchive> BookArchive::open(const std::string& path, std::string& error,
                                               const Limits& limits) {
    // A FIFO or a device would block or never end; only a plain file is opened.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        error = "no such file";
        return nullptr;
    }
    if (!S_ISREG(info.st_mode)) {
        error = "not a regular file";
        return nullptr;
    }
    int code = 0;
    // The consistency check catches a truncated archive whose central
    // directory no longer matches its entries.
    zip* archive = zip_open(path.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
    if (!archive) {
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
        if (!normal) {
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
