// Book files from outside: any bytes must open as an archive whose accepted
// entries read back at exactly their stated size, or be refused with a
// reason; never a crash, a hang, or a read outside the archive.
#include "engine/base/CCLog.h"
#include "engine/platform/BookArchive.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

using namespace engine;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool quiet = (CCLogSetEchoToStderr(false), true);
    (void)quiet;
    // The reader opens archives by name; a memory-backed file gives one without disk.
    static const int fd = ::memfd_create("archive-fuzz", MFD_CLOEXEC);
    static const std::string path = "/proc/self/fd/" + std::to_string(fd);
    if (fd < 0 || ::ftruncate(fd, 0) != 0 || ::pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) return 0;
    std::string error;
    BookArchive::Limits limits;
    limits.entryBytes = 1 << 20; // small limits keep each run quick
    limits.totalBytes = 4 << 20;
    limits.ratioFreeBytes = 64 * 1024;
    auto archive = BookArchive::open(path, error, limits);
    if (!archive) {
        if (error.empty()) std::abort();
        return 0;
    }
    for (const auto& [name, stated] : archive->entries()) {
        if (name.empty() || name.front() == '/' || name.find("..") == 0) std::abort();
        BookArchive::ReadError why = BookArchive::ReadError::None;
        auto bytes = archive->read(name, limits.entryBytes, why);
        if (bytes && (bytes->size() != stated || why != BookArchive::ReadError::None)) std::abort();
        if (!bytes && why == BookArchive::ReadError::None) std::abort();
    }
    return 0;
}
