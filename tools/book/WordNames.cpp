#include "tools/book/WordNames.h"

#include "book/BookNames.h"

namespace bookmaker {

// The reader's own naming rules, in the book maker's terms of page and word.

std::string hotspotName(int page, int word) {
    return book::hotspotName(page, word);
}

int actionTag(int page, int word) {
    return book::hotspotTag(page, word);
}

std::string textKey(int page, int word) {
    return book::textKey(actionTag(page, word), page);
}

std::string soundName(int page, int word) {
    return book::soundName(actionTag(page, word), page);
}

std::string narrationFile(int page, int word) {
    return book::narrationFile(soundName(page, word));
}

std::string md5Hex(const std::string& text) {
    return book::md5Hex(text);
}

} // namespace bookmaker
