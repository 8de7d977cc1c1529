#include "engine/platform/BookArchive.h"

#include "engine/base/CCLog.h"
#include "engine/platform/CCFileUtils.h"

#include <fcntl.h>
#include <minizip/unzip.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <new>
#include <set>
#include <vector>

namespace engine {

namespace {

constexpr std::uint32_t kFileTypeMask = 0170000;
constexpr std::uint32_t kSymbolicLink = 0120000;
constexpr unsigned kMadeOnUnix = 3;            // "version made by", high byte
constexpr unsigned long kEncrypted = 1;        // general purpose flag bit 0
constexpr unsigned long kNameIsUtf8 = 1 << 11; // general purpose flag bit 11
constexpr std::uint64_t kDirectoryRecord = 46; // fixed part of a directory record

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

// The upper half of code page 437, the ZIP format's own encoding of names.
constexpr std::uint16_t kCp437[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE,
    0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9, 0x00FF, 0x00D6,
    0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA,
    0x00BA, 0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB, 0x2591, 0x2592, 0x2593, 0x2502,
    0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510, 0x2514,
    0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F, 0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550,
    0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C,
    0x2588, 0x2584, 0x258C, 0x2590, 0x2580, 0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4,
    0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229, 0x2261, 0x00B1, 0x2265, 0x2264, 0x2320,
    0x2321, 0x00F7, 0x2248, 0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,
};

bool isUtf8(const std::string& text) {
    for (size_t at = 0; at < text.size();) {
        const auto lead = static_cast<unsigned char>(text[at]);
        const size_t more = lead < 0x80                    ? 0
                            : lead >= 0xC2 && lead <= 0xDF ? 1
                            : lead >= 0xE0 && lead <= 0xEF ? 2
                            : lead >= 0xF0 && lead <= 0xF4 ? 3
                                                           : 4;
        if (more == 4 || text.size() - at - 1 < more) return false;
        for (size_t k = 1; k <= more; ++k)
            if ((static_cast<unsigned char>(text[at + k]) & 0xC0) != 0x80) return false;
        at += more + 1;
    }
    return true;
}

// A name as the book's files name it, in UTF-8. A name not marked as UTF-8
// is code page 437 by the format's rule, but most tools write UTF-8 without
// the mark: it is converted only when it is not valid UTF-8 already.
std::string utf8Name(std::string raw, bool markedUtf8) {
    if (markedUtf8 || isUtf8(raw)) return raw;
    std::string name;
    for (const char c : raw) {
        const auto byte = static_cast<unsigned char>(c);
        const unsigned code = byte < 0x80 ? byte : kCp437[byte - 0x80];
        if (code < 0x80) {
            name += static_cast<char>(code);
        } else if (code < 0x800) {
            name += static_cast<char>(0xC0 | code >> 6);
            name += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            name += static_cast<char>(0xE0 | code >> 12);
            name += static_cast<char>(0x80 | (code >> 6 & 0x3F));
            name += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return name;
}

// What a minizip result code means, for a log line or an error.
std::string describe(int code) {
    switch (code) {
    case UNZ_CRCERROR:
        return "CRC error";
    case UNZ_ERRNO:
        return "the file cannot be read";
    case UNZ_BADZIPFILE:
        return "its local header does not match the directory";
    case Z_DATA_ERROR:
    case Z_BUF_ERROR:
        return "its compressed data is corrupt";
    case Z_MEM_ERROR:
        return "out of memory";
    default:
        return "error " + std::to_string(code);
    }
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

// minizip 1.1 takes the 64-bit sizes from an entry's ZIP64 extra field only
// where an unsigned long has 32 bits: on 64-bit Linux a size that the
// directory escapes as 0xFFFFFFFF stays so. They are read here from the
// directory's extra field; whether any was.
bool takeZip64Sizes(const unsigned char* extra, size_t length, unz_file_info64& stat) {
    constexpr std::uint64_t kEscaped = 0xFFFFFFFF;
    if (stat.uncompressed_size != kEscaped && stat.compressed_size != kEscaped) return false;
    for (size_t at = 0; length - at >= 4;) {
        const auto id = littleEndian(extra + at, 2);
        const auto size = static_cast<size_t>(littleEndian(extra + at + 2, 2));
        if (size > length - at - 4) break;
        if (id == 1) {
            const unsigned char* field = extra + at + 4;
            size_t used = 0;
            bool taken = false;
            for (ZPOS64_T* value : {&stat.uncompressed_size, &stat.compressed_size})
                if (*value == kEscaped && size - used >= 8) {
                    *value = littleEndian(field + used, 8);
                    used += 8;
                    taken = true;
                }
            return taken;
        }
        at += 4 + size;
    }
    return false;
}

struct EndRecord {
    std::uint64_t entries = 0;      // what the directory lists
    std::uint64_t directoryEnd = 0; // its offset and size, as recorded
};

// The archive's end record, found in the file's last bytes (the record and
// its comment, at most 64 KB), and for a ZIP64 archive the 64-bit record it
// points to, as minizip takes them. Nothing when the file has none.
std::optional<EndRecord> endRecord(int fd, std::uint64_t fileSize) {
    constexpr size_t kEndRecord = 22, kLargestComment = 0xFFFF, kLocator = 20, kEndRecord64 = 56;
    const size_t tailSize =
        static_cast<size_t>(std::min<std::uint64_t>(fileSize, kEndRecord + kLargestComment));
    if (tailSize < kEndRecord) return std::nullopt;
    std::vector<unsigned char> tail(tailSize);
    const std::uint64_t tailStart = fileSize - tailSize;
    if (!readAt(fd, tailStart, tail.data(), tail.size())) return std::nullopt;
    for (size_t at = tailSize - kEndRecord + 1; at-- > 0;) {
        if (std::memcmp(&tail[at], "PK\5\6", 4) != 0) continue;
        EndRecord found;
        found.entries = std::max(littleEndian(&tail[at + 8], 2), littleEndian(&tail[at + 10], 2));
        found.directoryEnd = littleEndian(&tail[at + 16], 4) + littleEndian(&tail[at + 12], 4);
        // ZIP64: a locator just before the record gives the 64-bit record's offset.
        unsigned char locator[kLocator];
        unsigned char record[kEndRecord64];
        const std::uint64_t recordAt = tailStart + at;
        if (recordAt < kLocator || !readAt(fd, recordAt - kLocator, locator, kLocator) ||
            std::memcmp(locator, "PK\6\7", 4) != 0)
            return found;
        const std::uint64_t record64At = littleEndian(locator + 8, 8);
        if (fileSize < kEndRecord64 || record64At > fileSize - kEndRecord64 ||
            !readAt(fd, record64At, record, kEndRecord64) || std::memcmp(record, "PK\6\6", 4) != 0)
            return found;
        found.entries = std::max(littleEndian(record + 24, 8), littleEndian(record + 32, 8));
        found.directoryEnd = littleEndian(record + 48, 8) + littleEndian(record + 40, 8);
        return found;
    }
    return std::nullopt;
}

} // namespace

std::unique_ptr<BookArchive> BookArchive::open(const std::string& path, std::string& error) {
    return open(path, error, Limits());
}

// The archive file as minizip reads it: through the one descriptor, at
// offsets, so that nothing reopens the path. The directory comes in many
// small reads (a few bytes a field); a window of the file serves them with
// few system calls, while entry data goes straight to minizip's buffer.
struct BookArchive::Source {
    static constexpr size_t kWindow = 4096;
    int fd = -1;
    std::uint64_t size = 0;
    std::uint64_t directoryEnd = 0; // as the end record gives it
    std::uint64_t position = 0;
    bool failed = false;
    std::uint64_t windowAt = 0;
    size_t windowFill = 0;
    std::array<unsigned char, kWindow> window{};

    ~Source() {
        if (fd >= 0) ::close(fd);
    }

    unsigned long read(unsigned char* into, unsigned long length) {
        unsigned long done = 0;
        while (done < length) {
            if (position >= windowAt && position - windowAt < windowFill) {
                const auto from = static_cast<size_t>(position - windowAt);
                const size_t count = std::min<std::uint64_t>(length - done, windowFill - from);
                std::memcpy(into + done, window.data() + from, count);
                position += count;
                done += count;
                continue;
            }
            if (position >= size) break;
            const bool direct = length - done >= kWindow;
            const size_t ask = direct ? length - done : kWindow;
            ssize_t got;
            do
                got = ::pread(fd, direct ? into + done : window.data(), ask, static_cast<off_t>(position));
            while (got < 0 && errno == EINTR);
            if (got < 0) failed = true;
            if (got <= 0) break;
            if (direct) {
                position += static_cast<std::uint64_t>(got);
                done += static_cast<unsigned long>(got);
            } else {
                windowAt = position;
                windowFill = static_cast<size_t>(got);
            }
        }
        return done;
    }
};

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
    auto source = std::make_unique<Source>();
    source->fd = fd; // closed with the source from here on
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        error = "not a regular file";
        return nullptr;
    }
    source->size = static_cast<std::uint64_t>(info.st_size);
    const std::optional<EndRecord> end = endRecord(fd, source->size);
    if (!end) {
        error = "not a ZIP archive";
        return nullptr;
    }
    // The whole directory is read while indexing: a million entries would
    // take most of a minute and hundreds of megabytes.
    if (end->entries > limits.entries) {
        error = "its directory lists " + std::to_string(end->entries) + " entries, more than the " +
                std::to_string(limits.entries) + " a book may hold";
        return nullptr;
    }
    source->directoryEnd = end->directoryEnd;
    // An empty archive is only its end record, which minizip does not find
    // at the very start of a file.
    if (end->entries == 0)
        return std::unique_ptr<BookArchive>(new BookArchive(path, std::move(source), nullptr));

    zlib_filefunc64_def files{};
    files.opaque = source.get();
    files.zopen64_file = [](voidpf opaque, const void*, int) -> voidpf { return opaque; };
    files.zread_file = [](voidpf, voidpf stream, void* into, uLong length) -> uLong {
        return static_cast<Source*>(stream)->read(static_cast<unsigned char*>(into), length);
    };
    files.zwrite_file = [](voidpf, voidpf, const void*, uLong) -> uLong { return 0; };
    files.ztell64_file = [](voidpf, voidpf stream) -> ZPOS64_T {
        return static_cast<Source*>(stream)->position;
    };
    // As fseeko would take it: minizip steps back with a negative offset cast to unsigned.
    files.zseek64_file = [](voidpf, voidpf stream, ZPOS64_T offset, int origin) -> long {
        Source& from = *static_cast<Source*>(stream);
        const auto step = static_cast<std::int64_t>(offset);
        const auto base = static_cast<std::int64_t>(origin == ZLIB_FILEFUNC_SEEK_SET   ? 0
                                                    : origin == ZLIB_FILEFUNC_SEEK_CUR ? from.position
                                                                                       : from.size);
        if ((origin != ZLIB_FILEFUNC_SEEK_SET && origin != ZLIB_FILEFUNC_SEEK_CUR &&
             origin != ZLIB_FILEFUNC_SEEK_END) ||
            step < -base || (step > 0 && base > INT64_MAX - step))
            return -1;
        from.position = static_cast<std::uint64_t>(base + step);
        return 0;
    };
    files.zclose_file = [](voidpf, voidpf) -> int { return 0; }; // the source closes its descriptor
    files.zerror_file = [](voidpf, voidpf stream) -> int { return static_cast<Source*>(stream)->failed; };
    unzFile archive = unzOpen2_64(path.c_str(), &files);
    if (!archive) {
        error = "a damaged ZIP archive (its end record cannot be read)";
        return nullptr;
    }
    std::unique_ptr<BookArchive> book(new BookArchive(path, std::move(source), archive));
    if (!book->index(limits, error)) return nullptr;
    return book;
}

BookArchive::BookArchive(std::string path, std::unique_ptr<Source> source, void* archive)
    : m_path(std::move(path)), m_source(std::move(source)), m_zip(archive) {}

BookArchive::~BookArchive() {
    if (m_zip) unzClose(m_zip);
}

void BookArchive::refuse(const std::string& entry, const std::string& why) const {
    CCLog("BookArchive: %s: refusing entry '%s': %s", m_path.c_str(), entry.c_str(), why.c_str());
}

bool BookArchive::index(const Limits& limits, std::string& error) {
    unz_global_info64 global{};
    if (unzGetGlobalInfo64(m_zip, &global) != UNZ_OK) {
        error = "a damaged ZIP archive (its end record cannot be read)";
        return false;
    }
    // Refusals are logged once the archive has shown itself usable.
    std::vector<std::pair<std::string, std::string>> refusals;
    std::set<std::string> names;
    std::vector<char> rawName(0x10000); // room for the longest name and minizip's NUL
    std::vector<unsigned char> extra(0xFFFF);
    std::uint64_t total = 0;
    std::uint64_t directoryEnd = m_source->directoryEnd;
    int status = global.number_entry == 0 ? UNZ_END_OF_LIST_OF_FILE : unzGoToFirstFile(m_zip);
    for (std::uint64_t i = 0; status == UNZ_OK; ++i, status = unzGoToNextFile(m_zip)) {
        unz_file_info64 stat{};
        unz64_file_pos where{};
        if (unzGetCurrentFileInfo64(m_zip, &stat, rawName.data(), rawName.size(), extra.data(), extra.size(),
                                    nullptr, 0) != UNZ_OK ||
            unzGetFilePos64(m_zip, &where) != UNZ_OK) {
            status = UNZ_BADZIPFILE;
            break;
        }
        // minizip would read on past the data of an entry whose packed size it misread.
        const bool packedSizeMisread = stat.compressed_size == 0xFFFFFFFF;
        // It checks no CRC where it misread the unpacked size: that is checked here after reading.
        const bool crcUnchecked =
            takeZip64Sizes(extra.data(), std::min<size_t>(stat.size_file_extra, extra.size()), stat);
        directoryEnd = where.pos_in_zip_directory + kDirectoryRecord + stat.size_filename +
                       stat.size_file_extra + stat.size_file_comment;
        const std::string name = utf8Name(rawName.data(), stat.flag & kNameIsUtf8);
        // Which copy an unpacker keeps differs; other tools refuse the archive.
        if (!name.empty() && !names.insert(name).second) {
            error = "two entries have the same name";
            return false;
        }
        const std::optional<std::string> normal = CCFileUtils::normalizeName(name);
        const std::string key = normal.value_or(name);
        auto refuseEntry = [&](const std::string& why) {
            refusals.emplace_back(name, why);
            m_refused.emplace(key, why);
        };
        if (name.empty()) {
            refusals.emplace_back("#" + std::to_string(i), "it has no name");
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

        if ((stat.version >> 8) == kMadeOnUnix &&
            ((stat.external_fa >> 16) & kFileTypeMask) == kSymbolicLink) {
            refuseEntry("a symbolic link");
            continue;
        }
        if (stat.flag & kEncrypted) {
            refuseEntry("encrypted");
            continue;
        }
        if (stat.compression_method != 0 && stat.compression_method != Z_DEFLATED) {
            refuseEntry("compression method " + std::to_string(stat.compression_method) + " cannot be read");
            continue;
        }
        if (packedSizeMisread && crcUnchecked) {
            refuseEntry("its sizes cannot be read");
            continue;
        }
        const std::uint64_t size = stat.uncompressed_size;
        if (size > limits.entryBytes) {
            refuseEntry(std::to_string(size) + " bytes unpacked, beyond the limit of " +
                        std::to_string(limits.entryBytes) + " bytes for one entry");
            continue;
        }
        if (size > limits.ratioFreeBytes && stat.compressed_size * limits.compressionRatio < size) {
            refuseEntry(std::to_string(stat.compressed_size) + " bytes unpack to " + std::to_string(size) +
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
        if (total + size > limits.totalBytes) {
            refuseEntry("the entries unpack to more than " + std::to_string(limits.totalBytes) +
                        " bytes in all");
            continue;
        }
        // What will be read must have a local header that agrees with the
        // directory, and data within the file: a truncated or patched
        // archive is caught here rather than entry by entry.
        int method = 0;
        const int opened = unzOpenCurrentFile2(m_zip, &method, nullptr, 1);
        const ZPOS64_T dataAt = opened == UNZ_OK ? unzGetCurrentFileZStreamPos64(m_zip) : 0;
        if (opened == UNZ_OK) unzCloseCurrentFile(m_zip);
        if (opened != UNZ_OK || dataAt > m_source->size || stat.compressed_size > m_source->size - dataAt) {
            error = "a damaged ZIP archive (entry '" + name + "': " +
                    (opened != UNZ_OK ? describe(opened)
                                      : std::string("its data runs past the end of the file")) +
                    ")";
            return false;
        }
        total += size;
        m_entries.emplace(*normal, Entry{where.pos_in_zip_directory, where.num_of_file, size,
                                         stat.compressed_size, static_cast<std::uint32_t>(stat.crc),
                                         stat.compression_method == 0, crcUnchecked});
    }
    if (status != UNZ_END_OF_LIST_OF_FILE) {
        error = "a damaged ZIP archive (its directory cannot be read: " + describe(status) + ")";
        return false;
    }
    if (directoryEnd != m_source->directoryEnd) {
        error = "a damaged ZIP archive (its directory does not end where its end record says)";
        return false;
    }
    for (const auto& [entry, why] : refusals)
        refuse(entry, why);
    return true;
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
    // Stored data is its own unpacked form: more of it than claimed is a lie.
    // (minizip unpacks no more than the claim, and the CRC then fails.)
    if (entry.stored && entry.packedSize > entry.size) {
        refuse(name, "it unpacks to more than the " + std::to_string(entry.size) + " bytes it claims");
        error = ReadError::Refused;
        return std::nullopt;
    }
    std::string contents;
    try {
        contents.resize(static_cast<size_t>(entry.size));
    } catch (const std::bad_alloc&) {
        error = ReadError::Unreadable;
        return std::nullopt;
    }
    unz64_file_pos where{entry.directoryAt, entry.number};
    int code = unzGoToFilePos64(m_zip, &where);
    if (code == UNZ_OK) code = unzOpenCurrentFile(m_zip);
    if (code != UNZ_OK) {
        CCLog("BookArchive: %s: entry '%s' cannot be read: %s", m_path.c_str(), name.c_str(),
              describe(code).c_str());
        error = ReadError::Unreadable;
        return std::nullopt;
    }
    error = ReadError::None;
    size_t done = 0;
    while (done < contents.size()) {
        const auto piece = static_cast<unsigned>(std::min<size_t>(contents.size() - done, 1u << 30));
        const int got = unzReadCurrentFile(m_zip, contents.data() + done, piece);
        if (got < 0) {
            CCLog("BookArchive: %s: entry '%s' is damaged: %s", m_path.c_str(), name.c_str(),
                  describe(got).c_str());
            error = ReadError::Unreadable;
            break;
        }
        if (got == 0) break;
        done += static_cast<size_t>(got);
    }
    // The CRC is checked here, once all that the entry claims was read.
    const int closed = unzCloseCurrentFile(m_zip);
    if (error == ReadError::None && done != entry.size) {
        CCLog("BookArchive: %s: entry '%s' is damaged: %zu of its %llu bytes", m_path.c_str(), name.c_str(),
              done, static_cast<unsigned long long>(entry.size));
        error = ReadError::Unreadable;
    } else if (error == ReadError::None &&
               (closed != UNZ_OK ||
                (entry.crcUnchecked && crc32_z(0, reinterpret_cast<const Bytef*>(contents.data()),
                                               contents.size()) != entry.crc))) {
        CCLog("BookArchive: %s: entry '%s' is damaged: %s", m_path.c_str(), name.c_str(),
              describe(closed == UNZ_OK ? UNZ_CRCERROR : closed).c_str());
        error = ReadError::Unreadable;
    }
    if (error != ReadError::None) return std::nullopt;
    return contents;
}

} // namespace engine
