#pragma once
// The shelf: where a family's books live, which of them the program can
// show, and the one book that is open when the shelf opened it.
//
// Books live on two shelves: the user's ($XDG_DATA_HOME/lirra/books, by
// default ~/.local/share/lirra/books) and the installed one
// (<prefix>/share/lirra/books beside <prefix>/bin). A shelf holds `.lirra`
// files and book folders; anything else on it is passed over.
#include <optional>
#include <string>
#include <vector>

namespace book {

struct ShelfBook {
    std::string path;  // absolute: a .lirra file or a book folder
    std::string title; // shown under its cover
};

namespace shelf {

// The user's shelf folder (it need not exist).
std::string userShelf();
// The installed shelf of a program in `executableFolder`: its
// ../share/lirra/books (it need not exist).
std::string installedShelf(const std::string& executableFolder);

// Whether `path` is a book the reader can be pointed at: a `.lirra` file, or
// a folder holding a book configuration.
bool isBook(const std::string& path);
// The books on the shelves, each once (by real path), in title order; a
// shelf that is missing or cannot be read adds none (an unreadable one is
// logged).
std::vector<ShelfBook> findBooks(const std::vector<std::string>& shelves);
// A title from a book's file name: "pip-and-the-moon.lirra" reads
// "Pip and the moon".
std::string titleFromName(const std::string& path);

// The books that the running shelf shows, as the program found them.
void setBooks(std::vector<ShelfBook> books);
const std::vector<ShelfBook>& books();

// Opens `path` as the reader's book, in place of whatever book was open:
// the resource root moves to it, the book state starts afresh and nothing
// cached from the previous book (pictures, fonts, sprite frames, texts,
// sound) is left to be found under the same names. False, with the reason
// logged, when the book cannot be opened; the previous root then stays.
bool openBook(const std::string& path);
// Opens `path` as openBook does and shows its home page; its exit button then
// comes back to the shelf. False (nothing changes) when it cannot be opened.
bool readFromShelf(const std::string& path);
// Whether the open book came from the shelf, so its exit goes back there.
bool bookCameFromShelf();
// Leaves the open book (sound stops, its caches go) and shows the shelf again.
void backToShelf();

// Where the shelf's scroll stood and which cover the keyboard was on, so
// that coming back from a book finds the shelf as it was left.
struct ShelfPlace {
    float scrolled = 0; // how far the covers are scrolled up, in points
    int focused = -1;   // the cover the keyboard's ring was on, -1 none
    bool ringShown = false;
};
ShelfPlace& place();

// Forgets the shelf's books and place and that a book came from it (tests).
void reset();

} // namespace shelf
} // namespace book
