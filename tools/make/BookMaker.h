#pragma once
// lirra-make: a book from a folder a parent can write (book.txt, pictures,
// recordings) to a .lirra file or a book folder that the reader opens.
//
// Index: options | reading the source | narration per page | writing |
//        read-along table and timings | packing
#include "tools/book/BookSource.h"
#include "tools/make/Aligner.h"

#include <ostream>
#include <string>
#include <vector>

namespace maker {

struct MakeOptions {
    std::string source;  // the folder that holds book.txt
    std::string output;  // BOOK.lirra, or the book folder with `folder`
    bool folder = false;
    std::string timings; // a TSV of every word's times, when given
    std::string art;     // the maker's SVG art (library.svg and ui/)
};

// What the narration of one page came to.
struct PageNarration {
    std::vector<WordTime> words; // in the page recording's seconds
    double delay = 0;            // of the encoded recording's first sample
    Recording recording;         // until encoded, with its word clips
    std::vector<Recording> clips;
    double recordingSeconds = 0;
    bool hasRecording = false;   // written as the page's read-along recording
};

class BookMaker {
public:
    BookMaker(MakeOptions options, std::ostream& messages) : m_options(std::move(options)), m_out(messages) {}
    // 0 made, 1 a problem with the source (each named), 2 the maker itself
    // cannot work (its model or art missing, the output unwritable).
    int run();
    // The narration of `book`, whose pages name their recordings, into
    // `bookFolder` (its epc/ and read-along table, and the timings when
    // asked): for a book whose pages are made otherwise, as the sample
    // book's story makes its own. False, with each problem named, when a
    // page cannot be narrated.
    bool narrate(const bookmaker::BookSource& book, const std::string& bookFolder, const std::string& work);

private:
    bool checkNames();
    bool narratePage(const bookmaker::PageSource& page, Aligner& aligner, const std::string& work);
    bool encodeNarration(const std::string& epc);
    bool writeReadAlong(const std::string& bookFolder);
    bool writeTimings();
    bool pack(const std::string& root);
    void error(const bookmaker::PageSource* page, const std::string& file, const std::string& what);
    void warn(const bookmaker::PageSource* page, const std::string& what);

    MakeOptions m_options;
    std::ostream& m_out;
    bookmaker::BookSource m_book;
    std::vector<PageNarration> m_narration; // by page index
    int m_errors = 0;
    double m_recordedSeconds = 0;
};

} // namespace maker
