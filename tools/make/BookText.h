#pragma once
// book.txt, the source of a made book, as a parent writes it:
//
//   title: The Red Kite
//   author: Ama
//
//   page: kite1.jpg kite1.wav
//   Zuri has a red kite.
//
// "key: value" lines before the first page give the book's facts (title,
// author, font, language, voice) and may replace any caption or interface
// text by its name; each "page:" line names a picture and, optionally, a
// recording in the source folder, and the lines after it, up to the next
// page, are the page's text. Lines that start with "#" are comments.
#include "tools/book/BookSource.h"

#include <string>

namespace maker {

// The keys that replace interface texts, with the interface key each sets.
struct TextKey {
    const char* name;
    const char* interfaceKey;
};
inline constexpr TextKey kInterfaceTextKeys[] = {
    {"home", "main_page"}, {"settings", "setmenu_set"}, {"hint", "bntext"},
    {"no-word", "nopresenglish"}, {"back", "up_page"}, {"more", "after_page"},
};

// Reads SOURCE/book.txt into a book whose files are paths under `source`;
// false with every problem (line by line) in `errors`.
bool readBookText(const std::string& source, bookmaker::BookSource& book, std::string& errors);

} // namespace maker
