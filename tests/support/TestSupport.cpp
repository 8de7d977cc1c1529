#include "support/TestSupport.h"

#include <filesystem>
#include <fstream>
#include <random>

namespace testsupport {

LogCapture::LogCapture() {
    engine::CCLogSetEchoToStderr(false);
    m_id = engine::CCLogAddListener([this](const std::string& line) { m_lines.push_back(line); });
}

LogCapture::~LogCapture() {
    engine::CCLogRemoveListener(m_id);
    engine::CCLogSetEchoToStderr(true);
}

int LogCapture::count(const std::string& fragment) const {
    int n = 0;
    for (const auto& line : m_lines)
        if (line.find(fragment) != std::string::npos) ++n;
    return n;
}

TempDir::TempDir() {
    std::random_device random;
    auto base = std::filesystem::temp_directory_path() / "lirra-tests";
    std::filesystem::create_directories(base);
    for (;;) {
        auto candidate = base / ("t" + std::to_string(random()));
        if (std::filesystem::create_directory(candidate)) {
            m_path = candidate.string();
            break;
        }
    }
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::string TempDir::write(const std::string& name, const std::string& contents) const {
    std::filesystem::path full = std::filesystem::path(m_path) / name;
    std::filesystem::create_directories(full.parent_path());
    std::ofstream out(full, std::ios::binary);
    out << contents;
    return full.string();
}

} // namespace testsupport
