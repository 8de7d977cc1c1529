// lirra-make: a book from pictures, text and recordings.
//
//   lirra-make SOURCE -o BOOK.lirra [--timings FILE.tsv] [--folder DIR]
#include "tools/book/BookWriter.h"
#include "tools/make/BookMaker.h"

#include <SDL.h>

#include <filesystem>
#include <iostream>
#include <string>
#include <unistd.h>

namespace {

const char* const kUsage =
    "usage: lirra-make SOURCE -o BOOK.lirra [--timings FILE.tsv]\n"
    "       lirra-make SOURCE --folder DIR [--timings FILE.tsv]\n"
    "SOURCE holds book.txt, the pictures and the recordings it names.\n";

// The maker's art: installed beside the program, or in the source tree it
// was built from.
std::string artFolder(const char* argv0) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (ec) self = argv0;
    fs::path installed = self.parent_path().parent_path() / "share/lirra/maker/art";
    if (fs::exists(installed / "library.svg")) return installed.string();
    return LIRRA_MAKER_ART;
}

} // namespace

int main(int argc, char** argv) {
    maker::MakeOptions options;
    bool haveOutput = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= argc) return false;
            into = argv[++i];
            return true;
        };
        if (arg == "-o" || arg == "--output") {
            if (!value(options.output) || haveOutput) return std::cerr << kUsage, 2;
            haveOutput = true;
        } else if (arg == "--folder") {
            if (!value(options.output) || haveOutput) return std::cerr << kUsage, 2;
            haveOutput = options.folder = true;
        } else if (arg == "--timings") {
            if (!value(options.timings)) return std::cerr << kUsage, 2;
        } else if (arg == "-h" || arg == "--help") {
            std::cout << kUsage;
            return 0;
        } else if (options.source.empty() && arg[0] != '-') {
            options.source = arg;
        } else {
            std::cerr << "lirra-make: unknown argument " << arg << "\n" << kUsage;
            return 2;
        }
    }
    if (options.source.empty() || !haveOutput || options.output.empty()) return std::cerr << kUsage, 2;
    options.art = artFolder(argv[0]);
    bookmaker::BookWriter::kToolName = "lirra-make";
    // The pictures are drawn with the engine's own text code, headless.
    if (!getenv("SDL_VIDEODRIVER")) setenv("SDL_VIDEODRIVER", "dummy", 1);
    maker::BookMaker bookMaker(options, std::cerr);
    return bookMaker.run();
}
