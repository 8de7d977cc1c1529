// What a still screen costs: the real `lirra` binary in a window (OpenGL,
// llvmpipe under Xvfb) is driven by a script to a screen and left alone;
// the process's own CPU time (user + system, all its threads) over the
// following seconds is printed as a share of one core. A book left open on
// a family laptop should cost next to nothing.
//
// Screens: the home page; a still page (word learning; auto-play is off
// until its play item is pressed);
// the page menu once its squares have flown in; the settings panel.
//
//   xvfb-run -a -s '-screen 0 1280x1024x24' idle_bench [--seconds=N]
//            [--binary=PATH] [--software]
//
// --software draws with SDL's software renderer instead of OpenGL. Without
// DISPLAY it says so and measures nothing.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

struct Screen {
    const char* name;
    // Script lines (at SECONDS ...) that lead there from the start.
    const char* script;
    // The log line that says the screen is up.
    const char* ready;
    // Seconds to wait after that line for what moves to come to rest.
    double settle;
};

// Design points of the sample book's home buttons: word learning, page menu.
const Screen kScreens[] = {
    {"home page", "", "TestController", 2.0},
    {"still page", "at 1.0 down 320 290\nat 1.05 up 320 290\n", "Scene 1: onEnterTransitionDidFinish", 4.0},
    {"page menu after its fly-in", "at 1.0 down 320 180\nat 1.05 up 320 180\n", "page menu: pages", 4.0},
    {"settings panel", "at 1.0 down 320 290\nat 1.05 up 320 290\nat 3.0 key s\n",
     "SetLayer 2: onEnterTransitionDidFinish", 3.0},
};

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// User + system time of the process and its threads, in seconds.
double cpuSeconds(pid_t pid) {
    std::string stat = readFile("/proc/" + std::to_string(pid) + "/stat");
    // The command name may hold spaces: count fields after its closing parenthesis.
    size_t close = stat.rfind(')');
    if (close == std::string::npos) return -1;
    std::istringstream fields(stat.substr(close + 2));
    std::string field;
    unsigned long long utime = 0, stime = 0;
    // Fields 3 to 15 of stat(5): state first, utime is the 14th, stime the 15th.
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14) utime = std::stoull(field);
        if (i == 15) stime = std::stoull(field);
    }
    return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

bool alive(pid_t pid) {
    int status = 0;
    return waitpid(pid, &status, WNOHANG) == 0;
}

// Waits (up to a minute, however loaded the machine) for `line` in the log.
bool waitForLog(const std::string& log, const std::string& line, pid_t pid) {
    for (int i = 0; i < 600; ++i) {
        if (readFile(log).find(line) != std::string::npos) return true;
        if (!alive(pid)) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

std::string loadAverage() {
    std::string load = readFile("/proc/loadavg");
    return load.substr(0, load.find(' ', load.find(' ', load.find(' ') + 1) + 1));
}

pid_t launch(const std::string& binary, const std::string& script, const std::string& log) {
    pid_t pid = fork();
    if (pid != 0) return pid;
    int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
    std::string resources = LIRRA_SOURCE_DIR "/resources";
    execl(binary.c_str(), binary.c_str(), "--resources", resources.c_str(), "--script", script.c_str(),
          "--log", log.c_str(), static_cast<char*>(nullptr));
    _exit(127);
}

void measure(const Screen& screen, const std::string& binary, double seconds) {
    char dir[] = "/tmp/lirra-idle.XXXXXX";
    if (!mkdtemp(dir)) return;
    std::string script = std::string(dir) + "/script.txt", log = std::string(dir) + "/lirra.log";
    std::ofstream(script) << screen.script;
    pid_t pid = launch(binary, script, log);
    if (pid < 0) return;
    if (!waitForLog(log, screen.ready, pid)) {
        std::printf("%-28s  did not come up (see %s)\n", screen.name, log.c_str());
    } else {
        std::this_thread::sleep_for(std::chrono::duration<double>(screen.settle));
        double before = cpuSeconds(pid);
        auto start = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
        double after = cpuSeconds(pid);
        double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf("%-28s  %6.2f %% of one core  (%.2f s CPU in %.1f s; load average %s)\n", screen.name,
                    100.0 * (after - before) / wall, after - before, wall, loadAverage().c_str());
    }
    std::fflush(stdout);
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    unlink(script.c_str());
    unlink(log.c_str());
    rmdir(dir);
}

} // namespace

int main(int argc, char** argv) {
    double seconds = 10;
    std::string binary = LIRRA_BINARY;
    bool software = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--seconds=", 10) == 0) seconds = std::atof(argv[i] + 10);
        if (std::strncmp(argv[i], "--binary=", 9) == 0) binary = argv[i] + 9;
        if (std::strcmp(argv[i], "--software") == 0) software = true;
    }
    if (!std::getenv("DISPLAY")) {
        std::printf("DISPLAY is not set: no window to measure (run under xvfb-run -a -s '-screen 0 "
                    "1280x1024x24')\n");
        return 0;
    }
    setenv("SDL_RENDER_DRIVER", software ? "software" : "opengl", 1);
    std::printf("idle CPU of %s on %s, %.0f s per screen\n", binary.c_str(), software ? "software" : "OpenGL",
                seconds);
    for (const Screen& screen : kScreens)
        measure(screen, binary, seconds);
    return 0;
}
