#include "tools/make/BookText.h"

#include "book/BookContract.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace maker {

namespace fs = std::filesystem;
using bookmaker::BookSource;
using bookmaker::PageSource;

namespace {

std::string trim(const std::string& text) {
    std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

bool hasExtension(const std::string& name, std::initializer_list<const char*> extensions) {
    std::string ext = fs::path(name).extension().string();
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const char* one : extensions)
        if (ext == one) return true;
    return false;
}

// A file named in book.txt: a plain name in the source folder that is a
// regular file (never a FIFO, which would block the maker).
bool sourceFile(const std::string& source, const std::string& name, std::string& path, std::string& why) {
    if (name.find('/') != std::string::npos || name == "." || name == "..") {
        why = "must be a file in the book's folder, not a path";
        return false;
    }
    path = source + "/" + name;
    std::error_code ec;
    if (!fs::exists(path, ec)) {
        why = "is missing";
        return false;
    }
    if (!fs::is_regular_file(path, ec)) {
        why = "is not a plain file";
        return false;
    }
    return true;
}

} // namespace

bool readBookText(const std::string& source, BookSource& book, std::string& errors) {
    const std::string file = source + "/book.txt";
    std::error_code ec;
    if (!fs::is_regular_file(file, ec)) {
        errors = file + ": missing (the book's text: a title line and one page line per page)\n";
        return false;
    }
    std::ifstream in(file, std::ios::binary);
    book = BookSource();
    book.subName = "book";
    book.font = "Andika";
    book.stretchAcross = book::kStretchAcross;
    book.wordGap = 2;
    book.interfaceTexts = BookSource::interfaceDefaults();
    std::ostringstream problems;
    auto problem = [&](int line, const std::string& what) {
        problems << "book.txt line " << line << ": " << what << "\n";
    };
    std::string line;
    int number = 0;
    PageSource* page = nullptr;
    std::vector<std::string> pageLines;
    auto endPage = [&] {
        if (!page) return;
        while (!pageLines.empty() && pageLines.back().empty())
            pageLines.pop_back();
        std::string text;
        for (const std::string& one : pageLines)
            text += (text.empty() ? "" : "\n") + one;
        page->text = text;
        page->words = bookmaker::splitWords(text);
        pageLines.clear();
    };
    while (std::getline(in, line)) {
        ++number;
        if (number == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);
        std::string trimmed = trim(line);
        if (!trimmed.empty() && trimmed[0] == '#') continue;
        if (trimmed.rfind("page:", 0) == 0) {
            endPage();
            std::istringstream names(trimmed.substr(5));
            std::string picture, recording, extra;
            names >> picture >> recording >> extra;
            book.pages.emplace_back();
            page = &book.pages.back();
            page->number = static_cast<int>(book.pages.size());
            page->sourceLine = number;
            std::string why;
            if (picture.empty()) {
                problem(number, "page " + std::to_string(page->number) + " names no picture");
            } else if (!hasExtension(picture, {".png", ".jpg", ".jpeg"})) {
                problem(number, "the picture " + picture + " must be a PNG or JPEG file");
            } else if (!sourceFile(source, picture, page->pictureFile, why)) {
                problem(number, "the picture " + picture + " " + why);
            }
            if (!recording.empty()) {
                if (!hasExtension(recording, {".wav", ".mp3", ".ogg", ".flac"}))
                    problem(number, "the recording " + recording + " must be a WAV, MP3, OGG or FLAC file");
                else if (!sourceFile(source, recording, page->recordingFile, why))
                    problem(number, "the recording " + recording + " " + why);
            }
            if (!extra.empty()) problem(number, "a page line names a picture and at most one recording");
            continue;
        }
        if (page) {
            if (!trimmed.empty() || !pageLines.empty()) pageLines.push_back(trimmed);
            continue;
        }
        if (trimmed.empty()) continue;
        std::size_t colon = trimmed.find(':');
        if (colon == std::string::npos) {
            problem(number, "\"" + trimmed + "\" is neither \"key: value\" nor a page's text (a page starts with \"page:\")");
            continue;
        }
        std::string key = trim(trimmed.substr(0, colon)), value = trim(trimmed.substr(colon + 1));
        if (key == "title") {
            book.title = value;
        } else if (key == "author") {
            book.author = value;
        } else if (key == "voice") {
            book.voice = value;
        } else if (key == "language") {
            if (value != "en")
                problem(number, "the language \"" + value + "\" cannot be read aloud yet; only \"en\" (English) can");
        } else if (key == "font") {
            if (hasExtension(value, {".ttf", ".otf"})) {
                std::string why;
                if (!sourceFile(source, value, book.fontFile, why)) problem(number, "the font " + value + " " + why);
            } else {
                book.font = value;
            }
        } else if (book.labels.count(key)) {
            book.labels[key] = value;
        } else {
            bool known = false;
            for (const TextKey& text : kInterfaceTextKeys)
                if (key == text.name) {
                    book.interfaceTexts[text.interfaceKey] = value;
                    known = true;
                }
            if (!known) problem(number, "unknown key \"" + key + "\"");
        }
    }
    endPage();
    if (book.title.empty()) problem(1, "the book needs a \"title:\" line");
    if (book.pages.empty()) problem(number, "the book has no \"page:\" line");
    for (const PageSource& one : book.pages) {
        // Names join page and word numbers; past 30 words they are no longer
        // read back as one word (and no page holds that much print).
        if (one.words.size() > 30)
            problem(one.sourceLine, "page " + std::to_string(one.number) + " has " +
                                        std::to_string(one.words.size()) + " words; a page holds at most 30");
    }
    errors = problems.str();
    return errors.empty();
}

} // namespace maker
