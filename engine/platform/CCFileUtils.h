#pragma once
// Every file the program reads is named relative to one resource root, so a
// book cannot make the program read outside its folder.
//
// Names use '/' as separator. A leading "./", repeated slashes and "." parts
// are fine, and ".." may step back inside the root ("a/../b" is "b"). Refused,
// with one CCLog line naming the file, and then treated as missing: an empty
// name, an absolute name (starting with '/'), a name whose ".." climbs above
// the root ("../x", "a/../../x") and a name holding a NUL byte.
//
// A file that is read is checked again on what the name leads to, so that a
// book cannot make the program read outside its folder, block on a file or
// exhaust memory through one. Refused with one log line, before the file is
// opened: a path whose symbolic links lead outside the root, anything that is
// neither a regular file nor a folder (a FIFO would block the reader for good,
// a device would never end) and a file beyond the size limit of its kind.
// A folder counts as unreadable, without a log line of its own, as before.
//
// Default root: the first `resources` folder found in the executable's folder
// (from /proc/self/exe), its parent or its grandparent. That covers the build's
// symlink beside build/<kind>/lirra as well as a binary built anywhere under a
// source tree that holds `resources/`. When none exists the root is
// `resources` beside the executable, and every read names that path when it
// fails.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace engine {

class BookArchive;

class CCFileUtils {
public:
    // Why a read gave nothing.
    enum class ReadError {
        None,
        Refused,    // the name, or what it leads to, is not allowed (already logged)
        Missing,    // no such file
        Unreadable, // a folder, no permission or an I/O failure
    };

    // What a book file is for; each kind has its own size limit.
    enum class FileKind { Layout, Dictionary, Picture, Sound, Font, Other };
    static constexpr std::uintmax_t kMegabyte = 1024 * 1024;
    // Far beyond any real book's files, far below what would strain memory.
    static constexpr std::uintmax_t kMaxLayoutBytes = 64 * kMegabyte;
    static constexpr std::uintmax_t kMaxDictionaryBytes = 64 * kMegabyte; // also sprite sheets
    static constexpr std::uintmax_t kMaxPictureBytes = 64 * kMegabyte;
    static constexpr std::uintmax_t kMaxSoundBytes = 64 * kMegabyte;
    static constexpr std::uintmax_t kMaxFontBytes = 64 * kMegabyte; // also bitmap-font descriptions
    static constexpr std::uintmax_t kMaxOtherBytes = 64 * kMegabyte;
    static std::uintmax_t sizeLimit(FileKind kind);

    static CCFileUtils* sharedFileUtils();

    // An absolute folder without a trailing '/' (except for "/" itself).
    const std::string& getResourceRoot() const { return m_root; }
    // A relative folder is taken from the current directory; an empty one
    // means the current directory.
    void setResourceRoot(const std::string& folder);
    // Reads the book from a `.lirra` archive instead (see BookArchive): names
    // are entries at its root, and full paths read "<archive>/<name>". False,
    // with the reason, for an archive that cannot be used; the root is then
    // left as it was. A later setResourceRoot goes back to a folder.
    bool setResourceArchive(const std::string& file, std::string& error);
    // The open archive, or null when the book is a folder.
    const BookArchive* resourceArchive() const { return m_archive.get(); }

    // The full path of `name` under the root, whether or not the file exists;
    // an empty string for a refused name.
    std::string fullPathForFilename(const std::string& name) const;
    // True for an existing regular file under the root, links resolved (a
    // refused name or link is logged; the size is not looked at).
    bool isFileExist(const std::string& name) const;
    // Whether the book has something under `name` at all, even what its
    // rules refuse (a link leading out, an encrypted entry): for a tool that
    // reports a refused file rather than a missing one. Logs nothing.
    bool hasName(const std::string& name) const;

    // Tells one version of a book file from another without reading it: the
    // file's device, inode, size and modification time (for an archive, the
    // archive's and the entry's size, as an open archive does not change).
    struct FileVersion {
        std::uintmax_t device = 0, inode = 0, size = 0;
        std::int64_t seconds = 0, nanoseconds = 0;
        bool operator==(const FileVersion& other) const {
            return device == other.device && inode == other.inode && size == other.size &&
                   seconds == other.seconds && nanoseconds == other.nanoseconds;
        }
    };
    // None for a missing or refused name or one that is no regular file.
    std::optional<FileVersion> fileVersion(const std::string& name) const;
    // The whole file, or nothing. Only a refusal is logged here: callers name
    // the file in their own context for a missing or unreadable one.
    std::optional<std::string> getFileData(const std::string& name, ReadError* error = nullptr,
                                           FileKind kind = FileKind::Other) const;
    // A file named by its full path rather than by a book's name, read whole
    // under the same rules: a regular file within `kind`'s limit, checked on
    // the open file. Only a refusal is logged.
    static std::optional<std::string> readFileAtPath(const std::string& path, FileKind kind,
                                                     ReadError* error = nullptr);
    // Why a read gave nothing, for a caller's log line: "no such file in
    // ROOT", "refused name" (the refusal itself is logged), "cannot be read
    // from ROOT"; empty for None.
    std::string describe(ReadError error) const;
    // The real path (no links left) of a file that passes every rule above,
    // for libraries that open files by path; empty otherwise, logged as above.
    // A book in an archive has no paths: it gives empty, with `error` Missing
    // for a name the archive lacks and None for one it holds (read it with
    // getFileData).
    std::string pathForReading(const std::string& name, FileKind kind, ReadError* error = nullptr) const;

    // For tests: runs with the path just before a book file (or the book's
    // archive) is opened for reading, after every check on its name, which
    // is where a hostile book would swap the file for another kind. Null
    // removes it.
    using BeforeOpenHook = std::function<void(const std::string& path)>;
    static void setBeforeOpenHook(BeforeOpenHook hook);
    static void runBeforeOpenHook(const std::string& path);

    // The root that a fresh program would start with (see above).
    static std::string defaultResourceRoot();
    // The first `resources` folder in `executableFolder`, its parent or its
    // grandparent, else the installed book in ../share/lirra/resources;
    // `resources` in `executableFolder` when there is none.
    static std::string findResourceRoot(const std::string& executableFolder);
    // The name made relative and normal ("./a//b/../c" gives "a/c"), or nothing
    // when it is refused. Pure: logs nothing.
    static std::optional<std::string> normalizeName(const std::string& name);

private:
    CCFileUtils();

    std::string m_root;
    std::shared_ptr<BookArchive> m_archive;
};

} // namespace engine
