#pragma once
// Small pictures of books, made once: a book's cover (its home page drawn
// small, or its first page when it has none) and a picture of each page for
// the page menu. They live in $XDG_CACHE_HOME/lirra/covers (by default
// ~/.cache/lirra/covers) under a key made from the book's real path, size
// and modification time: a book that changes gets a new key, and its old
// pictures are simply never asked for again.
//
// Per key: KEY.png the cover, KEY-pN.png page N, KEY.pages (written last,
// once every page is drawn), KEY.title the title the book gives itself, and
// KEY.failed the reason a book could not be drawn (so it is not tried again
// until it changes).
#include <optional>
#include <string>

namespace engine {
class CCTexture2D;
}

namespace book::pictures {

// The pixel size of a cover and of a page picture: the 640 x 960 page at a
// quarter of its side.
constexpr int kCoverWidth = 160;
constexpr int kCoverHeight = 240;

// The folder of the pictures (it need not exist).
std::string cacheFolder();
// For tests: pictures go to `folder` instead; empty goes back to the default.
void setCacheFolder(const std::string& folder);

// How the reader draws covers and page pictures: raised whenever that
// changes, so that pictures cached by an older program are made again.
constexpr int kPictureVersion = 1;

// The key of a book: a digest of its real path, its size, its newest
// modification time (for a folder, over every file in it) and the drawing's
// version. None when the book cannot be looked at.
std::optional<std::string> keyOf(const std::string& bookPath, int drawingVersion = kPictureVersion);
// cacheFolder()/KEY plus `suffix`.
std::string fileFor(const std::string& key, const std::string& suffix);
std::string coverFile(const std::string& key);
std::string pageFile(const std::string& key, int page);

// What the cache holds for a key.
bool hasCover(const std::string& key);
bool hasPages(const std::string& key);
// The reason the book could not be drawn, when it could not.
std::optional<std::string> failure(const std::string& key);
// The title the book gives itself, when its pictures were made and it gives one.
std::optional<std::string> title(const std::string& key);

// A cached picture as a texture (autoreleased); none, with a log line, for a
// file that is missing, too large or not a picture.
engine::CCTexture2D* load(const std::string& file);

// Writes `bytes` to `file` through a temporary file and a rename, so that a
// reader never sees half a file; false on failure.
bool writeWhole(const std::string& file, const std::string& bytes);

} // namespace book::pictures
