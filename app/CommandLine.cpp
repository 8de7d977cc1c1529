#include "app/CommandLine.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>

namespace app {

namespace {
bool parseFrameCount(const std::string& text, unsigned int& out) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return false;
    errno = 0;
    unsigned long value = std::strtoul(text.c_str(), nullptr, 10);
    if (errno == ERANGE || value == 0 || value > UINT_MAX) return false;
    out = static_cast<unsigned int>(value);
    return true;
}
bool isRendererName(const std::string& name) {
    return name == "software" || name == "opengl" || name == "opengles2";
}
} // namespace

const char* commandLineHelp() {
    return "usage: lirra [options] [BOOK | SHELF]\n"
           "  BOOK             a book folder or a .lirra file (a ZIP archive of one); the same as\n"
           "                   --resources BOOK\n"
           "  SHELF            a folder of books: shows their covers to choose from\n"
           "  (none)           the books on the user's shelf ($XDG_DATA_HOME/lirra/books) and the\n"
           "                   installed one: their covers when there are several, else the one book\n"
           "  --add BOOK       check BOOK as lirra-check does and copy it onto the user's shelf\n"
           "  --make-pictures BOOK --into PREFIX [--pages]\n"
           "                   draw BOOK's cover (and with --pages each page) small, as PREFIX.png\n"
           "                   and PREFIX-pN.png: what the shelf runs to fill its picture cache\n"
           "  --resources BOOK read the book from BOOK instead of resources/ beside the program\n"
           "  --headless       no window: draw offscreen, advance a virtual clock one frame at a time,\n"
           "                   and play narration silently\n"
           "  --script FILE    timed input, one event a line: 'at SECONDS EVENT' where EVENT is\n"
           "                   'down X Y', 'move X Y', 'up X Y' (design points), 'key NAME',\n"
           "                   'text UTF8', 'shot FILE.png', 'turnshot FILE.png' (the first frame\n"
           "                   from then on that shows a scene change halfway) or 'quit'\n"
           "  --frames N       stop after N frames\n"
           "  --log FILE       also write every log line and audio request to FILE\n"
           "  --renderer NAME  draw the window with SDL's 'software' or 'opengl' renderer (or\n"
           "                   'opengles2'); by default software where OpenGL has no GPU\n"
           "  --help           show this text\n";
}

CommandLineResult parseCommandLine(const std::vector<std::string>& arguments) {
    LaunchOptions options;
    bool namedBook = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& flag = arguments[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= arguments.size() || arguments[i + 1].empty()) return false;
            out = arguments[++i];
            return true;
        };
        if (flag == "--headless") {
            options.headless = true;
        } else if (flag == "--help" || flag == "-h") {
            options.showHelp = true;
        } else if (flag == "--pages") {
            options.picturePages = true;
        } else if (flag == "--add" || flag == "--make-pictures" || flag == "--into") {
            std::string& target = flag == "--add"             ? options.addBook
                                  : flag == "--make-pictures" ? options.pictureBook
                                                              : options.picturePrefix;
            if (!value(target)) return {std::nullopt, flag + " needs a value"};
        } else if (flag == "--resources" || flag == "--script" || flag == "--log") {
            std::string& target = flag == "--resources" ? options.resourceRoot
                                  : flag == "--script"  ? options.scriptFile
                                                        : options.logFile;
            if (flag == "--resources" && !options.resourceRoot.empty())
                return {std::nullopt, "the book is named twice (--resources)"};
            if (!value(target)) return {std::nullopt, flag + " needs a value"};
        } else if (flag == "--renderer") {
            if (!value(options.renderer) || !isRendererName(options.renderer))
                return {std::nullopt, "--renderer needs one of software, opengl, opengles2"};
        } else if (flag == "--frames") {
            std::string count;
            if (!value(count) || !parseFrameCount(count, options.frameLimit))
                return {std::nullopt, "--frames needs a whole number from 1 to " + std::to_string(UINT_MAX)};
        } else if (!flag.empty() && flag.front() != '-') {
            if (namedBook) return {std::nullopt, "only one book can be opened ('" + flag + "')"};
            if (!options.resourceRoot.empty())
                return {std::nullopt, "the book is named twice ('" + flag + "' and --resources)"};
            options.resourceRoot = flag;
            namedBook = true;
        } else {
            return {std::nullopt, "unknown option '" + flag + "'"};
        }
    }
    if (options.pictureBook.empty() != options.picturePrefix.empty())
        return {std::nullopt, "--make-pictures and --into go together"};
    if (!options.addBook.empty() && (!options.resourceRoot.empty() || !options.pictureBook.empty()))
        return {std::nullopt, "--add takes the book to add and nothing else to open"};
    return {options, ""};
}

} // namespace app
