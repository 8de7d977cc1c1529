#include "tools/book/BookSource.h"

#include <json/json.h>

#include <cctype>
#include <fstream>
#include <set>
#include <sstream>

namespace bookmaker {

namespace {

bool isWordChar(unsigned char c) {
    return std::isalnum(c) || c == '\'' || c >= 0x80;
}

std::string str(const Json::Value& object, const char* key, const std::string& fallback) {
    const Json::Value& value = object[key];
    return value.isString() ? value.asString() : fallback;
}

bool readPlacement(const Json::Value& item, Placement& out) {
    if (!item.isArray() || item.empty() || !item[0].isString()) return false;
    out.art = item[0].asString();
    const float values[3] = {item.size() > 1 && item[1].isNumeric() ? item[1].asFloat() : 0.0f,
                             item.size() > 2 && item[2].isNumeric() ? item[2].asFloat() : 0.0f,
                             item.size() > 3 && item[3].isNumeric() ? item[3].asFloat() : 1.0f};
    out.x = values[0];
    out.y = values[1];
    out.scale = values[2];
    return true;
}

} // namespace

std::map<std::string, std::string> BookSource::labelDefaults() {
    return {{"read", "Read the book"},      {"pick", "Pick a page"},
            {"go-on", "Go on reading"},     {"bye", "Bye"},
            {"how-to-read", "How shall we read?"}, {"i-touch", "I touch the words"},
            {"read-again", "Read this page again"}, {"read-me", "Read me the book"},
            {"ok", "OK"},                   {"cancel", "Cancel"},
            {"home-button", "Home"}};
}

std::map<std::string, std::string> BookSource::interfaceDefaults() {
    return {{"main_page", "Home"},          {"setmenu_set", "Settings"}, {"bntext", "Touch a word!"},
            {"nopresenglish", "Touch a word to hear it."}, {"up_page", "Back"}, {"after_page", "More"}};
}

std::vector<Word> splitWords(const std::string& sentence) {
    std::vector<Word> words;
    std::size_t i = 0;
    while (i < sentence.size()) {
        while (i < sentence.size() && (sentence[i] == ' ' || sentence[i] == '\n'))
            ++i;
        std::size_t end = sentence.find_first_of(" \n", i);
        if (end == std::string::npos) end = sentence.size();
        std::size_t first = i, last = end;
        while (first < last && !isWordChar(static_cast<unsigned char>(sentence[first])))
            ++first;
        while (last > first && !isWordChar(static_cast<unsigned char>(sentence[last - 1])))
            --last;
        if (first < last) words.push_back({sentence.substr(first, last - first), first});
        i = end;
    }
    return words;
}

std::optional<BookSource> BookSource::load(const std::string& path, std::string& error) {
    std::ifstream in(path);
    if (!in) {
        error = "cannot open " + path;
        return std::nullopt;
    }
    Json::CharReaderBuilder builder;
    builder["allowComments"] = true;
    Json::Value root;
    std::string parseErrors;
    if (!Json::parseFromStream(builder, in, &root, &parseErrors) || !root.isObject()) {
        error = path + " is not a JSON object: " + parseErrors;
        return std::nullopt;
    }

    BookSource book;
    book.title = str(root, "title", "");
    book.bookFolder = str(root, "bookFolder", book.bookFolder);
    book.subName = str(root, "subName", "");
    book.font = str(root, "font", book.font);
    if (root["fontSize"].isNumeric()) book.fontSize = root["fontSize"].asFloat();
    if (root["wordTextSize"].isInt()) book.wordTextSize = root["wordTextSize"].asInt();
    if (root.isMember("wordGap")) {
        if (!root["wordGap"].isInt() || root["wordGap"].asInt() < 1 || root["wordGap"].asInt() > 4) {
            error = "\"wordGap\" must be a whole number from 1 to 4";
            return std::nullopt;
        }
        book.wordGap = root["wordGap"].asInt();
    }
    if (root.isMember("stretchAcross")) {
        const Json::Value& stretch = root["stretchAcross"];
        if (!stretch.isNumeric() || stretch.asFloat() < 0.5f || stretch.asFloat() > 2.0f) {
            error = "\"stretchAcross\" must be a number from 0.5 to 2";
            return std::nullopt;
        }
        book.stretchAcross = stretch.asFloat();
    }
    // A sub-folder name is joined into file paths: keep it one plain name.
    if (book.subName.empty() || book.subName.find_first_of("/\\.") != std::string::npos) {
        error = "\"subName\" must be a plain folder name";
        return std::nullopt;
    }
    for (const std::string& key : root["interface"].getMemberNames())
        book.interfaceTexts[key] = str(root["interface"], key.c_str(), "");

    const Json::Value& pages = root["pages"];
    if (!pages.isArray() || pages.empty()) {
        error = "\"pages\" must list the pages";
        return std::nullopt;
    }
    std::set<std::string> knownFormats = {"newer", "older"};
    for (Json::ArrayIndex i = 0; i < pages.size(); ++i) {
        const Json::Value& source = pages[i];
        PageSource page;
        page.number = static_cast<int>(i) + 1;
        page.text = str(source, "text", "");
        page.words = splitWords(page.text);
        std::string format = str(source, "format", "newer");
        if (!knownFormats.count(format)) {
            error = "page " + std::to_string(page.number) + ": unknown format \"" + format + "\"";
            return std::nullopt;
        }
        page.olderFormat = format == "older";
        page.spriteSheet = source["sheet"].isBool() && source["sheet"].asBool();
        // Hotspot names and tags only tell words 1 to 9 apart from the page
        // number in every case (page 1 word 12 and page 11 word 2 share tag 112).
        if (page.words.size() > 9) {
            error = "page " + std::to_string(page.number) + " has more than 9 words";
            return std::nullopt;
        }
        for (const Json::Value& item : source["picture"]) {
            Placement placement;
            if (!readPlacement(item, placement)) {
                error = "page " + std::to_string(page.number) + ": a picture piece is not [id, x, y, scale]";
                return std::nullopt;
            }
            page.picture.push_back(placement);
        }
        book.pages.push_back(std::move(page));
    }
    return book;
}

} // namespace bookmaker
