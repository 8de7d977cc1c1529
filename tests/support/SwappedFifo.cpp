#include "support/SwappedFifo.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace testsupport {

SwappedFifo::SwappedFifo(std::string path) : m_path(std::move(path)) {
    ::unlink(m_path.c_str());
    m_made = ::mkfifo(m_path.c_str(), 0600) == 0;
    if (m_made) m_thread = std::thread([this] { answer(); });
}

SwappedFifo::~SwappedFifo() {
    m_stop = true;
    if (m_thread.joinable()) m_thread.join();
    ::unlink(m_path.c_str());
}

void SwappedFifo::answer() {
    // A non-blocking open for writing succeeds only while a reader holds the
    // FIFO open (ENXIO otherwise): that is the moment a reader arrived.
    while (!m_stop) {
        int fd = ::open(m_path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0) {
            ++m_opens;
            ::close(fd); // the reader sees the end of the stream
            // Wait for that reader to let go before looking for the next one.
            while (!m_stop) {
                int again = ::open(m_path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
                if (again < 0) break;
                ::close(again);
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            continue;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

} // namespace testsupport
