#pragma once
// A file swapped for a FIFO after it was checked: what a hostile book does
// to a reader that opens a name twice. A helper thread answers every open
// of the FIFO at once with an empty stream (the writer comes and goes), so
// code that does open it reads nothing instead of blocking the test for
// good, and the test can count how often that happened.
#include <atomic>
#include <string>
#include <thread>

namespace testsupport {

class SwappedFifo {
public:
    // Replaces the file at `path` (if any) with a FIFO.
    explicit SwappedFifo(std::string path);
    ~SwappedFifo();
    SwappedFifo(const SwappedFifo&) = delete;
    SwappedFifo& operator=(const SwappedFifo&) = delete;

    bool made() const { return m_made; }
    // How many times something opened the FIFO for reading.
    int opens() const { return m_opens.load(); }

private:
    void answer();

    std::string m_path;
    bool m_made = false;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_opens{0};
    std::thread m_thread;
};

} // namespace testsupport
