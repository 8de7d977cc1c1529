// Start-up to the first presented frame, headless: the whole process, from
// exec to exit after one frame (`--frames 1`), so it includes loading the
// first scene's files and tearing down.
#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>

extern char** environ;

#ifdef LIRRA_BINARY
static void BM_StartupToFirstFrameHeadless(benchmark::State& state) {
    char binary[] = LIRRA_BINARY;
    char headless[] = "--headless";
    char frames[] = "--frames";
    char one[] = "1";
    char* argv[] = {binary, headless, frames, one, nullptr};
    for (auto _ : state) {
        pid_t pid;
        if (posix_spawn(&pid, binary, nullptr, nullptr, argv, environ) != 0) {
            state.SkipWithError("cannot start lirra");
            return;
        }
        int status = 0;
        waitpid(pid, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("lirra failed");
            return;
        }
    }
}
BENCHMARK(BM_StartupToFirstFrameHeadless)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);
#endif

BENCHMARK_MAIN();
