// A book's read-along table from outside, judged for a page as the reader
// and the checker judge it, with a real recording beside it when the seed
// corpus gives one: any bytes must give either faults or an entry whose times
// are finite, rising and within the recording, with no leaked object and no
// undefined arithmetic (run with UBSAN_OPTIONS=halt_on_error=1).
#include "book/BookContract.h"
#include "book/BookNames.h"
#include "book/ReadAlongTable.h"
#include "engine/base/CCAutoreleasePool.h"
#include "engine/base/CCLog.h"
#include "engine/base/CCObject.h"
#include "engine/platform/CCFileUtils.h"

#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

using namespace engine;
namespace fs = std::filesystem;

namespace {

const fs::path& root() {
    static const fs::path folder = [] {
        fs::path made = fs::temp_directory_path() / ("lirra-readalong-fuzz-" + std::to_string(getpid()));
        fs::create_directories(made / "testLirra/epc");
        CCFileUtils::sharedFileUtils()->setResourceRoot(made.string());
        CCLogSetEchoToStderr(false);
        std::atexit([] {
            fs::remove_all(fs::temp_directory_path() / ("lirra-readalong-fuzz-" + std::to_string(getpid())));
        });
        return made;
    }();
    return folder;
}

void write(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const fs::path& folder = root();
    FuzzedDataProvider input(data, size);
    const int page = input.ConsumeIntegralInRange(1, 12);
    std::set<int> hotspots;
    for (int index = 1, count = input.ConsumeIntegralInRange(0, 50); index <= count; ++index)
        hotspots.insert(index);
    write(folder / book::narrationPath("testLirra", book::pageRecordingName(page)),
          input.ConsumeRandomLengthString(size));
    write(folder / book::readAlongFile("testLirra"), input.ConsumeRemainingBytesAsString());

    const long before = CCObject::liveObjectCount();
    std::string problem;
    std::optional<book::ReadAlongTable> table = book::ReadAlongTable::read("testLirra", &problem);
    if (table) {
        std::vector<book::ReadAlongFault> faults;
        std::optional<book::ReadAlongEntry> entry = table->entry("testLirra", page, hotspots, faults);
        if (entry) {
            if (!faults.empty() || entry->words.size() != hotspots.size()) std::abort();
            double lastStart = -1;
            for (const book::ReadAlongWord& word : entry->words) {
                if (!std::isfinite(word.start) || !std::isfinite(word.end) || word.start <= lastStart ||
                    word.start < 0 || word.end <= word.start || word.end > entry->recordingSeconds)
                    std::abort();
                lastStart = word.start;
            }
        } else if (table->hasPage(page) && faults.empty()) {
            std::abort(); // a page's entry is either used or faulted
        }
        (void)table->strayKeys(1, 12);
    }
    CCAutoreleasePool::sharedPool()->drain();
    if (CCObject::liveObjectCount() != before) std::abort();
    return 0;
}
