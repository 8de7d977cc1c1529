#include "book/PictureMaker.h"

#include "book/PictureCache.h"
#include "engine/base/CCLog.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

extern char** environ;

using namespace engine;
namespace fs = std::filesystem;

namespace book::pictures {

namespace {

std::chrono::steady_clock::time_point g_started;

// The last line of a child's log, for the reason of a failure.
std::string lastLine(const std::string& file) {
    std::ifstream in(file);
    std::string line, last;
    while (std::getline(in, line))
        if (!line.empty()) last = line;
    return last.substr(0, 300);
}

} // namespace

// Whether the picture cache's folder is there or can be made; said once
// per folder when it cannot.
static bool cacheUsable() {
    static std::string refused;
    const std::string folder = cacheFolder();
    std::error_code error;
    fs::create_directories(folder, error);
    if (fs::is_directory(folder, error) && ::access(folder.c_str(), W_OK) == 0) return true;
    if (refused != folder)
        CCLog("pictures: cannot keep pictures in %s; the books keep plain covers", folder.c_str());
    refused = folder;
    return false;
}

PictureMaker& PictureMaker::shared() {
    static PictureMaker maker;
    return maker;
}

void PictureMaker::request(const std::string& bookPath, bool pages) {
    if (m_program.empty() || !cacheUsable()) return;
    std::optional<std::string> key = keyOf(bookPath);
    if (!key) {
        CCLog("pictures: cannot look at the book %s; it gets a plain cover", bookPath.c_str());
        return;
    }
    if (failure(*key) || (hasCover(*key) && (!pages || hasPages(*key)))) return;
    if (m_child > 0 && m_running.key == *key && (m_running.pages || !pages)) return;
    Job job{bookPath, *key, pages};
    auto queued = std::find_if(m_queue.begin(), m_queue.end(), [&](const Job& j) { return j.key == *key; });
    if (queued != m_queue.end()) {
        job.pages = job.pages || queued->pages;
        m_queue.erase(queued);
    }
    // The page menu's pictures are for the book being read: before the
    // shelf's covers still waiting.
    if (pages)
        m_queue.insert(m_queue.begin(), job);
    else
        m_queue.push_back(job);
}

int PictureMaker::waiting() const {
    return static_cast<int>(m_queue.size()) + (m_child > 0 ? 1 : 0);
}

void PictureMaker::poll() {
    if (m_child > 0) {
        int status = 0;
        const pid_t done = ::waitpid(m_child, &status, WNOHANG);
        if (done == 0) {
            if (std::chrono::steady_clock::now() - g_started < std::chrono::duration<double>(m_timeLimit))
                return;
            CCLog("pictures: drawing %s took too long; it is stopped", m_running.book.c_str());
            ::kill(m_child, SIGKILL);
            ::waitpid(m_child, &status, 0);
            status = -1;
        } else if (done < 0) {
            status = -1;
        }
        m_child = 0;
        ended(status);
    }
    while (m_child == 0 && !m_queue.empty()) {
        Job job = m_queue.front();
        m_queue.erase(m_queue.begin());
        // Another screen may have had it drawn meanwhile.
        if (failure(job.key) || (hasCover(job.key) && (!job.pages || hasPages(job.key)))) continue;
        if (!start(job)) ++m_finished;
    }
}

bool PictureMaker::start(const Job& job) {
    std::error_code error;
    fs::create_directories(cacheFolder(), error);
    const std::string prefix = fileFor(job.key, "");
    const std::string log = prefix + ".log";
    std::vector<std::string> arguments = {m_program, "--make-pictures", job.book, "--into", prefix};
    if (job.pages) arguments.push_back("--pages");
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&files, STDERR_FILENO, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    // Nothing of the window's (its display connection, the log file) goes along.
    posix_spawn_file_actions_addclosefrom_np(&files, STDERR_FILENO + 1);
    pid_t child = 0;
    const int failed = posix_spawn(&child, m_program.c_str(), &files, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&files);
    if (failed != 0) {
        CCLog("pictures: cannot run %s to draw %s (%s)", m_program.c_str(), job.book.c_str(),
              std::strerror(failed));
        writeWhole(prefix + ".failed", "the picture maker could not be started");
        return false;
    }
    m_child = child;
    m_running = job;
    g_started = std::chrono::steady_clock::now();
    return true;
}

void PictureMaker::ended(int status) {
    ++m_finished;
    const Job job = m_running;
    const std::string log = fileFor(job.key, ".log");
    const bool drawn = hasCover(job.key) && (!job.pages || hasPages(job.key));
    if (!drawn) {
        std::optional<std::string> reason = failure(job.key);
        if (!reason) {
            std::string last = lastLine(log);
            reason = "the picture maker ended " +
                     (WIFEXITED(status)     ? "with status " + std::to_string(WEXITSTATUS(status))
                      : WIFSIGNALED(status) ? "by signal " + std::to_string(WTERMSIG(status))
                                            : std::string("abnormally")) +
                     (last.empty() ? "" : ": " + last);
            writeWhole(fileFor(job.key, ".failed"), *reason);
        }
        CCLog("pictures: %s gets a plain cover: %s", job.book.c_str(), reason->c_str());
    } else {
        CCLog("pictures: drew %s", job.book.c_str());
    }
    if (drawn && status != 0) {
        // The pictures are whole (written by rename); say what else went wrong.
        CCLog("pictures: drawing %s ended with status %d: %s", job.book.c_str(), status,
              lastLine(log).c_str());
    }
    std::error_code error;
    if (drawn && status == 0) fs::remove(log, error);
}

void PictureMaker::cancelAll() {
    m_queue.clear();
    if (m_child > 0) {
        ::kill(m_child, SIGKILL);
        int status = 0;
        ::waitpid(m_child, &status, 0);
        m_child = 0;
    }
}

} // namespace book::pictures
