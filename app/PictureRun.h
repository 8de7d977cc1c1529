#pragma once
// The reader run headless on one book to draw its small pictures for the
// picture cache (book/PictureCache.h): the cover (the home page, or the
// first page when the book has no home page) and, when asked, every page.
// This is what `lirra --make-pictures BOOK --into PREFIX [--pages]` runs, in
// a child process of the shelf or the page menu.
#include <cstdint>
#include <string>
#include <vector>

namespace app {

// Writes PREFIX.png, PREFIX.title (when the book names its title) and, with
// `pages`, PREFIX-pN.png for every page and then PREFIX.pages. 0 when all
// were written; otherwise 2, with the reason in PREFIX.failed.
int makePictures(const std::string& bookPath, const std::string& prefix, bool pages);

// A frame (0xAARRGGBB, rows top down) made `toWidth` x `toHeight` by
// averaging each block of pixels that falls on one pixel.
std::vector<std::uint32_t> shrink(const std::vector<std::uint32_t>& pixels, int width, int height,
                                  int toWidth, int toHeight);

} // namespace app
