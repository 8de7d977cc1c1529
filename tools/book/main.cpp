// lirra_bookmaker: writes the sample book's files from its story file.
//
//   lirra_bookmaker STORY.json ART_FOLDER OUT_FOLDER WORK_FOLDER
//   lirra_bookmaker --sentence STORY.json N
//   lirra_bookmaker --narrate STORY.json RECORDINGS OUT_FOLDER WORK_FOLDER [TIMINGS.tsv]
//   lirra_bookmaker --pack BOOK_FOLDER BOOK.lirra
//
// OUT_FOLDER is the resource root (resources/); WORK_FOLDER receives the
// intermediate pictures and narration.tsv, the words of each page. With
// --narrate, each page's recording RECORDINGS/page_N.wav is narrated into the
// book by lirra-make's own narration: word clips cut from the sentence,
// the page recordings and the read-along table. --pack packs a book folder
// into one file, the same bytes on every run and machine (the build packs
// the sample book that make install puts on the shelf).
#include "tools/book/BookPacker.h"
#include "tools/book/BookSource.h"
#include "tools/book/BookWriter.h"
#include "tools/make/BookMaker.h"

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <iostream>

namespace {

// Any fixed time would do; this one reads as "no particular day".
constexpr std::time_t kPackedTime = 946684800; // 2000-01-01 00:00 UTC

int pack(const char* folder, const char* archive) {
    // ZIP stores local times: read this one in UTC everywhere.
    setenv("TZ", "UTC0", 1);
    tzset();
    std::string error;
    if (bookmaker::packBook(folder, archive, error, kPackedTime)) return 0;
    std::cerr << "lirra_bookmaker: " << error << "\n";
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--pack") return pack(argv[2], argv[3]);
    if (argc == 4 && std::string(argv[1]) == "--sentence") {
        // Page N's sentence on one line, for the voice; nothing for a picture page.
        std::string error;
        auto book = bookmaker::BookSource::load(argv[2], error);
        const std::size_t page = std::strtoul(argv[3], nullptr, 10);
        if (!book || page < 1 || page > book->pages.size()) return 1;
        std::string text = book->pages[page - 1].text;
        for (char& c : text)
            if (c == '\n') c = ' ';
        if (!book->pages[page - 1].words.empty()) std::cout << text << "\n";
        return 0;
    }
    const bool narrate = argc >= 2 && std::string(argv[1]) == "--narrate";
    if ((!narrate && argc != 5) || (narrate && argc != 6 && argc != 7)) {
        std::cerr << "usage: lirra_bookmaker STORY.json ART_FOLDER OUT_FOLDER WORK_FOLDER\n"
                     "       lirra_bookmaker --narrate STORY.json RECORDINGS OUT_FOLDER WORK_FOLDER [TIMINGS.tsv]\n"
                     "       lirra_bookmaker --pack BOOK_FOLDER BOOK.lirra\n";
        return 2;
    }
    std::string error;
    auto book = bookmaker::BookSource::load(argv[narrate ? 2 : 1], error);
    if (!book) {
        std::cerr << "make-book: " << error << "\n";
        return 1;
    }
    if (!narrate) {
        bookmaker::BookWriter writer(*book, argv[2], argv[3], argv[4]);
        return writer.writeAll() ? 0 : 1;
    }
    for (bookmaker::PageSource& page : book->pages)
        if (!page.words.empty())
            page.recordingFile = std::string(argv[3]) + "/page_" + std::to_string(page.number) + ".wav";
    maker::MakeOptions options;
    if (argc == 7) options.timings = argv[6];
    maker::BookMaker narrator(options, std::cerr);
    return narrator.narrate(*book, std::string(argv[4]) + "/" + book->bookFolder, argv[5]) ? 0 : 1;
}
