#pragma once
// The read-along table of a book (readAlongFile, BookContract.h) and the
// judgement of one page's entry in it, shared by the reader, which reads a
// page along only when its entry is sound, and the checker, which names
// every fault.
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace book {

struct ReadAlongWord {
    double start = 0; // seconds into the page's recording
    double end = 0;
};

// A sound entry: the page's recording and the times of its words 1 to N.
struct ReadAlongEntry {
    int page = 0;
    std::string recording; // the narration file, under the resource root
    double recordingSeconds = 0;
    std::vector<ReadAlongWord> words; // words[i - 1] is word i
};

struct ReadAlongFault {
    bool aboutRecording = false; // the recording itself, not the table
    std::string what;
    std::string fix;
};

class ReadAlongTable {
public:
    // The table of the book in `bookDir`; none, silently, when the book has
    // no table file. A file that is there but not a dictionary gives an
    // empty table and the reason in `problem`.
    static std::optional<ReadAlongTable> read(const std::string& bookDir, std::string* problem = nullptr);

    // Whether the table has an entry for `page` (its word count key).
    bool hasPage(int page) const;
    // The entry of `page`, judged against the page's hotspots (the word
    // indexes that have one) and its recording in `bookDir`. Every fault
    // found goes to `faults`; the entry is given only when there is none.
    std::optional<ReadAlongEntry> entry(const std::string& bookDir, int page, const std::set<int>& hotspots,
                                        std::vector<ReadAlongFault>& faults) const;
    // Keys of the table that no page from `firstPage` to `lastPage` reads.
    std::vector<std::string> strayKeys(int firstPage, int lastPage) const;

private:
    std::map<std::string, std::string> m_values;
};

// The faults' texts in one line, for a log.
std::string describeFaults(const std::vector<ReadAlongFault>& faults);

} // namespace book
