// Start-up to the first presented frame, headless: the whole process, from
// exec to exit after one frame (`--frames 1`), so it includes loading the
// first scene's files and tearing down.
#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/wait.h>
#include <zip.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern char** environ;

#ifdef LIRRA_BINARY
// Starts lirra with `argv` and waits for it to end; answers why it failed, or none.
static const char* runToEnd(char* const argv[]) {
    pid_t pid;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv, environ) != 0) return "cannot start lirra";
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? nullptr : "lirra failed";
}

static void BM_StartupToFirstFrameHeadless(benchmark::State& state) {
    char binary[] = LIRRA_BINARY;
    char headless[] = "--headless";
    char frames[] = "--frames";
    char one[] = "1";
    char* argv[] = {binary, headless, frames, one, nullptr};
    for (auto _ : state) {
        if (const char* failure = runToEnd(argv)) {
            state.SkipWithError(failure);
            return;
        }
    }
}
BENCHMARK(BM_StartupToFirstFrameHeadless)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

namespace {
// The sample book packed as a .lirra file, made once (as `zip -qrX` would).
std::string packedSampleBook() {
    static const std::string path = [] {
        namespace fs = std::filesystem;
        const fs::path folder = fs::path(LIRRA_SOURCE_DIR) / "resources";
        const std::string out = (fs::temp_directory_path() / "lirra-startup-bench.lirra").string();
        int code = 0;
        zip* archive = zip_open(out.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
        if (!archive) return std::string();
        std::vector<std::string> contents; // held until zip_close reads them
        std::vector<std::string> names;
        for (const auto& item : fs::recursive_directory_iterator(folder)) {
            if (!item.is_regular_file()) continue;
            std::ifstream in(item.path(), std::ios::binary);
            contents.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
            names.push_back(fs::relative(item.path(), folder).string());
        }
        for (size_t i = 0; i < names.size(); ++i) {
            zip_source_t* source = zip_source_buffer(archive, contents[i].data(), contents[i].size(), 0);
            if (zip_file_add(archive, names[i].c_str(), source, ZIP_FL_ENC_UTF_8) < 0) {
                zip_discard(archive);
                return std::string();
            }
        }
        return zip_close(archive) == 0 ? out : std::string();
    }();
    return path;
}

// The same start-up with the book named: its folder (arg 0) or its archive (arg 1).
void BM_StartupToFirstFrameFromBook(benchmark::State& state) {
    const bool packed = state.range(0) == 1;
    std::string book = packed ? packedSampleBook() : std::string(LIRRA_SOURCE_DIR) + "/resources";
    if (book.empty()) {
        state.SkipWithError("cannot pack the sample book");
        return;
    }
    state.SetLabel(packed ? "archive" : "folder");
    char binary[] = LIRRA_BINARY;
    std::string flags[] = {"--headless", "--frames", "1", "--resources", book};
    char* argv[] = {binary,          flags[0].data(), flags[1].data(), flags[2].data(),
                    flags[3].data(), flags[4].data(), nullptr};
    for (auto _ : state) {
        if (const char* failure = runToEnd(argv)) {
            state.SkipWithError(failure);
            return;
        }
    }
}
} // namespace
// Side by side, alternating, so that a busy machine weighs on both alike.
BENCHMARK(BM_StartupToFirstFrameFromBook)
    ->Arg(0)
    ->Arg(1)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(10);
#endif

BENCHMARK_MAIN();
