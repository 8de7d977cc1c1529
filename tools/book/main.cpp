// lirra_bookmaker: writes a book's files from its story file.
//
//   lirra_bookmaker STORY.json ART_FOLDER OUT_FOLDER WORK_FOLDER
//
// OUT_FOLDER is the resource root (resources/); WORK_FOLDER receives the
// intermediate pictures and narration.tsv, the words that make-book.sh speaks.
#include "tools/book/BookSource.h"
#include "tools/book/BookWriter.h"

#include <iostream>

int main(int argc, char** argv) {
    if (argc != 5) {
        std::cerr << "usage: lirra_bookmaker STORY.json ART_FOLDER OUT_FOLDER WORK_FOLDER\n";
        return 2;
    }
    std::string error;
    auto book = bookmaker::BookSource::load(argv[1], error);
    if (!book) {
        std::cerr << "make-book: " << error << "\n";
        return 1;
    }
    bookmaker::BookWriter writer(*book, argv[2], argv[3], argv[4]);
    return writer.writeAll() ? 0 : 1;
}
