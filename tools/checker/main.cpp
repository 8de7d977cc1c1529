// lirra-check BOOK: reads a book folder or .lirra file as the reader would and lists
// every file that is missing or does not load, with how to mend it.
// Exit status: 0 ready (warnings allowed), 1 problems, 2 unusable.
#include "engine/base/CCLog.h"
#include "engine/director/CCDirector.h"
#include "engine/platform/CCEGLView.h"
#include "engine/platform/HeadlessRun.h"
#include "engine/render/CCTextureCache.h"
#include "tools/checker/BookChecker.h"

#include <SDL.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

const char* const kHelp =
    "usage: lirra-check BOOK\n"
    "Checks the book in BOOK (the folder holding String.xml, mainpage/, 3age/, Images/ and\n"
    "testLirra/, or a .lirra file: a ZIP archive of that folder): every layout, picture, text and\n"
    "narration that the reader will look for, and in an archive every entry it refuses.\n"
    "Prints one line per problem (file: error|warning: what; fix: how) and a summary.\n"
    "Exit status: 0 the book is ready, 1 problems found, 2 the book or the arguments are unusable.\n";

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h"))) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    if (argc != 2) {
        std::fputs(kHelp, stderr);
        return 2;
    }
    // Layouts are read by the real reader, which needs a renderer: an offscreen
    // one, so the checker runs on machines without a display.
    SDL_setenv("SDL_VIDEODRIVER", "dummy", 0);
    engine::CCLogSetEchoToStderr(false);
    if (!engine::HeadlessRun::openView({640, 960}, {640, 960})) {
        std::fprintf(stderr, "lirra-check: no offscreen renderer: %s\n", SDL_GetError());
        return 2;
    }

    checker::BookChecker checker;
    checker.check(argv[1]);
    const std::string report = checker.report();
    std::fwrite(report.data(), 1, report.size(), stdout);
    int status = checker.exitStatus();

    engine::CCDirector::sharedDirector()->reset();
    engine::CCEGLView::sharedOpenGLView()->close();
    engine::CCTextureCache::sharedTextureCache()->removeAllTextures();
    return status;
}
