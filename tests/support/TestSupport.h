#pragma once
// Helpers shared by the test binaries.
#include "engine/base/CCLog.h"

#include <string>
#include <vector>

namespace testsupport {

// Collects CCLog lines while alive; standard error stays quiet meanwhile.
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    const std::vector<std::string>& lines() const { return m_lines; }
    // Number of lines that contain `fragment`.
    int count(const std::string& fragment) const;
    bool contains(const std::string& fragment) const { return count(fragment) > 0; }
    void clear() { m_lines.clear(); }

private:
    std::vector<std::string> m_lines;
    int m_id;
};

// A fresh directory under the build tree, removed when the object dies.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::string& path() const { return m_path; }
    // Writes `contents` to path()/name (creating folders) and returns the full path.
    std::string write(const std::string& name, const std::string& contents) const;

private:
    std::string m_path;
};

} // namespace testsupport
