#pragma once
// Makes the pictures of the picture cache without holding up the window:
// each book is drawn by a child process, the reader itself run headless on
// that book (`lirra --make-pictures BOOK --into PREFIX [--pages]`), one book
// at a time. A book that crashes, hangs its drawing or cannot be opened
// stops only its own child; the window polls once a frame and never waits.
//
// Without a program to run (setProgram was never called, as in tests that
// do not ask for pictures) nothing is drawn and every book stays plain.
#include <string>
#include <vector>

namespace book::pictures {

class PictureMaker {
public:
    static PictureMaker& shared();

    // The reader's own executable, run for each book; empty for none.
    void setProgram(const std::string& executable) { m_program = executable; }
    const std::string& program() const { return m_program; }

    // Asks for the cover of `bookPath` (with its pages too when `pages`, and
    // then before every cover asked for); a book already drawn, asked for or
    // failed is not asked for again.
    void request(const std::string& bookPath, bool pages);
    // Starts the next child when none runs and notes one that ended; call
    // once a frame. Never blocks.
    void poll();
    // Counts every child that ended, so that screens know when to look in the
    // cache again.
    unsigned finished() const { return m_finished; }
    // Books asked for and not yet drawn, the one being drawn included.
    int waiting() const;
    bool busy() const { return m_child > 0 || !m_queue.empty(); }

    // A book whose drawing takes longer than this is taken as broken: its
    // child is stopped and the book gets a plain cover.
    void setTimeLimit(double seconds) { m_timeLimit = seconds; }
    static constexpr double kDefaultTimeLimit = 120;

    // Stops the running child (if any) and forgets what was asked for.
    void cancelAll();

private:
    struct Job {
        std::string book, key;
        bool pages = false;
    };
    bool start(const Job& job);
    void ended(int status);

    std::string m_program;
    std::vector<Job> m_queue;
    Job m_running;
    int m_child = 0; // process id of the running child, 0 for none
    unsigned m_finished = 0;
    double m_timeLimit = kDefaultTimeLimit;
};

} // namespace book::pictures
