#include "app/LogFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace app {

LogFile::~LogFile() {
    if (m_file) std::fclose(m_file);
}

bool LogFile::open(const std::string& path, std::string& error) {
    // O_NONBLOCK makes opening a FIFO that nothing reads fail (ENXIO) at once
    // instead of waiting for a reader; O_TRUNC is harmless on the others.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_CLOEXEC, 0644);
    if (fd < 0) {
        error = errno == ENXIO ? "a FIFO that nothing reads" : std::strerror(errno);
        return false;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode) || S_ISSOCK(info.st_mode)) {
        ::close(fd);
        error = "not a file to write to";
        return false;
    }
    // From here a pipe may make a line wait for its reader, as any pipe does.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    m_file = ::fdopen(fd, "w");
    if (!m_file) {
        error = std::strerror(errno);
        ::close(fd);
        return false;
    }
    return true;
}

bool LogFile::write(const std::string& line) {
    if (!m_file) return false;
    std::fputs(line.c_str(), m_file);
    std::fputc('\n', m_file);
    return std::fflush(m_file) == 0 && !std::ferror(m_file);
}

} // namespace app
