#pragma once
// Every file the program reads is named relative to one resource root, so a
// book cannot make the program read outside its folder.
//
// Names use '/' as separator. A leading "./", repeated slashes and "." parts
// are fine, and ".." may step back inside the root ("a/../b" is "b"). Refused,
// with one CCLog line naming the file, and then treated as missing: an empty
// name, an absolute name (starting with '/'), a name whose ".." climbs above
// the root ("../x", "a/../../x") and a name holding a NUL byte. The check is on
// the text of the name; links inside the root are followed like any other path.
//
// Default root: the first `resources` folder found in the executable's folder
// (from /proc/self/exe), its parent or its grandparent. That covers the build's
// symlink beside build/<kind>/lirra as well as a binary built anywhere under a
// source tree that holds `resources/`. When none exists the root is
// `resources` beside the executable, and every read names that path when it
// fails.
#include <optional>
#include <string>

namespace engine {

class CCFileUtils {
  public:
    // Why a read gave nothing.
    enum class ReadError {
        None,
        Refused,    // the name is not allowed (already logged)
        Missing,    // no such file
        Unreadable, // a folder, no permission or an I/O failure
    };

    static CCFileUtils* sharedFileUtils();

    // An absolute folder without a trailing '/' (except for "/" itself).
    const std::string& getResourceRoot() const { return m_root; }
    // A relative folder is taken from the current directory; an empty one
    // means the current directory.
    void setResourceRoot(const std::string& folder);

    // The full path of `name` under the root, whether or not the file exists;
    // an empty string for a refused name.
    std::string fullPathForFilename(const std::string& name) const;
    // True for an existing regular file (or a link to one) under the root.
    bool isFileExist(const std::string& name) const;
    // The whole file, or nothing. Only a refusal is logged here: callers name
    // the file in their own context for a missing or unreadable one.
    std::optional<std::string> getFileData(const std::string& name, ReadError* error = nullptr) const;

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
};

} // namespace engine
