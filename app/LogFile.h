#pragma once
// The file of --log: every log line goes to it as well, flushed at once.
//
// It is opened without blocking and judged on what was opened: a regular
// file, a device (/dev/null, /dev/full, a terminal), or a pipe or FIFO that
// something already reads. A FIFO that nobody reads would hold the program
// before its first frame for good, so it is refused like a folder.
#include <cstdio>
#include <string>

namespace app {

class LogFile {
public:
    LogFile() = default;
    ~LogFile();
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;

    // False with the reason in `error` ("a FIFO that nothing reads").
    bool open(const std::string& path, std::string& error);
    // False once the file stopped taking lines (a full disk).
    bool write(const std::string& line);

private:
    std::FILE* m_file = nullptr;
};

} // namespace app
