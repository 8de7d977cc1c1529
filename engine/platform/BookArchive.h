#pragma once
// A book packed in one file: a ZIP archive holding a book folder's files at
// its root. It is opened once and indexed; entries are read into memory on
// request, never unpacked to disk.
//
// An archive comes from anywhere (mail, a download), so every entry is judged
// when the index is made. Refused with one CCLog line naming the archive and
// the entry, and then treated as missing: a name that is absolute or climbs
// out with "..", also where an unpacker takes a backslash for a separator
// ("..\..\x"), a symbolic link, a name that appears twice, an encrypted
// entry, a compression method that cannot be read, an entry larger than
// kMaxEntryBytes unpacked or packed more tightly than kMaxCompressionRatio
// (a decompression bomb), and entries beyond kMaxTotalBytes unpacked in all.
// What an entry claims is checked again while reading: it may not unpack to
// more than its stated size, and a damaged entry reads as unreadable.
//
// An archive that cannot be used at all (not a regular file, not a ZIP file,
// truncated, corrupt: a directory that does not end where its end record
// says, or an entry whose local header disagrees with the directory or whose
// data runs past the file's end; one name twice in its directory, or a
// directory that lists more than kMaxEntries entries, judged from its end
// record before the directory is read) gives no BookArchive, and the reason
// in `error`. The file is opened once, without blocking, and read only
// through that descriptor (minizip is handed reads at offsets in it).
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

namespace engine {

class BookArchive {
public:
    static constexpr std::uint64_t kMegabyte = 1024 * 1024;
    // Far beyond any real book, far below what would exhaust memory.
    static constexpr std::uint64_t kMaxEntryBytes = 256 * kMegabyte;
    static constexpr std::uint64_t kMaxTotalBytes = 256 * kMegabyte;
    // Book files pack to a tenth at the very best (XML, property lists);
    // deflate reaches about a thousand to one on a run of zeros.
    static constexpr std::uint64_t kMaxCompressionRatio = 100;
    // Below this unpacked size the ratio is not looked at: it cannot hurt.
    static constexpr std::uint64_t kRatioFreeBytes = 1 * kMegabyte;
    // Entries the directory may list: a book of a thousand pages with a
    // dozen narrated words each needs about 15,000.
    static constexpr std::uint64_t kMaxEntries = 20000;

    enum class ReadError { None, Missing, Refused, Unreadable };

    struct Limits {
        std::uint64_t entryBytes = kMaxEntryBytes;
        std::uint64_t totalBytes = kMaxTotalBytes;
        std::uint64_t compressionRatio = kMaxCompressionRatio;
        std::uint64_t ratioFreeBytes = kRatioFreeBytes;
        std::uint64_t entries = kMaxEntries;
    };

    // Null when the file is not a usable ZIP archive; `error` says why.
    static std::unique_ptr<BookArchive> open(const std::string& path, std::string& error);
    static std::unique_ptr<BookArchive> open(const std::string& path, std::string& error,
                                             const Limits& limits);
    ~BookArchive();
    BookArchive(const BookArchive&) = delete;
    BookArchive& operator=(const BookArchive&) = delete;

    const std::string& path() const { return m_path; }
    // `name` in the normal relative form ("a/b.png").
    bool contains(const std::string& name) const;
    // Whether the index refused an entry of this name.
    bool refused(const std::string& name) const { return m_refused.count(name) != 0; }
    // The unpacked size an accepted entry claims.
    std::optional<std::uint64_t> sizeOf(const std::string& name) const;
    // The whole entry, or nothing: a refused, missing or damaged entry, or one
    // beyond `limit` bytes (logged with `what`, as "a picture").
    std::optional<std::string> read(const std::string& name, std::uint64_t limit, ReadError& error,
                                    const char* what = "a book file") const;
    // Every accepted entry's name, sorted.
    std::map<std::string, std::uint64_t> entries() const;
    // How many entries were refused while indexing.
    size_t refusedCount() const { return m_refused.size(); }

private:
    struct Source; // the descriptor, as minizip reads it
    BookArchive(std::string path, std::unique_ptr<Source> source, void* archive);
    // False, with the reason in `error`, when the directory shows the archive damaged.
    bool index(const Limits& limits, std::string& error);
    void refuse(const std::string& entry, const std::string& why) const;

    struct Entry {
        // Where minizip finds the entry again: its directory record's offset and number.
        std::uint64_t directoryAt = 0;
        std::uint64_t number = 0;
        std::uint64_t size = 0;
        std::uint64_t packedSize = 0;
        std::uint32_t crc = 0;
        bool stored = false;
        bool crcUnchecked = false; // by minizip, which then misread its sizes
    };
    std::string m_path;
    std::unique_ptr<Source> m_source;
    void* m_zip = nullptr; // minizip's unzFile
    std::map<std::string, Entry> m_entries;
    std::map<std::string, std::string> m_refused; // normal name -> why
};

} // namespace engine
