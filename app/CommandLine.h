#pragma once
// The automation flags. With no arguments the program runs as a reader
// expects; the flags serve tests, tools and people who automate.
#include <optional>
#include <string>
#include <vector>

namespace app {

struct LaunchOptions {
    // --resources BOOK or BOOK as the one plain argument: a book folder or a
    // .lirra archive of one (empty: the book beside the executable).
    std::string resourceRoot;
    bool headless = false;       // --headless
    std::string scriptFile;      // --script FILE
    unsigned int frameLimit = 0; // --frames N (0: no limit)
    std::string logFile;         // --log FILE
    std::string renderer;        // --renderer NAME (empty: the program's choice)
    bool showHelp = false;       // --help
    // --add BOOK: check the book and copy it onto the user's shelf.
    std::string addBook;
    // --make-pictures BOOK --into PREFIX [--pages]: draw the book's small
    // pictures for the picture cache (the shelf runs this in a child).
    std::string pictureBook;
    std::string picturePrefix;
    bool picturePages = false;
};

struct CommandLineResult {
    std::optional<LaunchOptions> options; // none when the arguments are wrong
    std::string error;                    // what is wrong, for the user
};

CommandLineResult parseCommandLine(const std::vector<std::string>& arguments);
const char* commandLineHelp();

} // namespace app
