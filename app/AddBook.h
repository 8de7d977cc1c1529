#pragma once
// `lirra --add BOOK`: a book a family made or was given goes onto their
// shelf, but only a book that the reader can read: it is checked as
// lirra-check checks it, and a book with errors is refused with the
// checker's findings. Warnings do not stop it.
#include <string>

namespace app {

// Checks `book` and copies it into `shelf` (made when missing) under its own
// file name, replacing a book of that name; what happened goes to `report`
// (the checker's findings too when it is refused). 0 added, 1 refused for
// its errors, 2 not a book or not copied.
int addBook(const std::string& book, const std::string& shelf, std::string& report);

} // namespace app
