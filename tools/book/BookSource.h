#pragma once
// The book maker's source: the story file that lists the book's pages, their
// sentences and the pieces of their pictures (tools/book/story.json).
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace bookmaker {

// One piece of art placed on a page's picture.
struct Placement {
    std::string art;    // id in the art library
    float x = 0, y = 0; // from the picture's top-left corner, y down
    float scale = 1;    // negative mirrors the piece
};

// A printed word: what is shown in the bubble and read aloud, and where it
// lies in the sentence (bytes), without the punctuation around it.
struct Word {
    std::string text;
    std::size_t offset = 0;
};

struct PageSource {
    int number = 0;
    std::string text;
    std::vector<Word> words;
    std::vector<Placement> picture;
    // A made book's page: its picture (PNG or JPEG of any size), fitted
    // into the page's picture area, and its recording, when it has one.
    std::string pictureFile;
    std::string recordingFile;
    int sourceLine = 0; // of its "page:" line in book.txt
    bool olderFormat = false;
    bool spriteSheet = false;
};

struct BookSource {
    std::string title;
    std::string bookFolder = "testLirra";
    std::string subName;
    std::string font = "Andika";
    float fontSize = 56;
    int wordTextSize = 40;
    // How much wider than high the reader's window shows a design point (it
    // stretches the 640 x 960 design over a frame of another shape). The
    // pictures are drawn that much narrower, so that they look right.
    float stretchAcross = 1;
    // Spaces printed between two words of a sentence: room for the hotspots
    // that grow past their words.
    int wordGap = 1;
    std::map<std::string, std::string> interfaceTexts;
    // Captions drawn into the home page's buttons and the settings panel,
    // by their names in labelDefaults().
    std::map<std::string, std::string> labels = labelDefaults();
    std::vector<PageSource> pages;

    // A made book's other facts: its author, a font file of its own (whose
    // family is `font`), and the festival voice of pages without a recording.
    std::string author;
    std::string fontFile;
    std::string voice = "cmu_us_slt_arctic_hts";

    static std::map<std::string, std::string> labelDefaults();
    static std::map<std::string, std::string> interfaceDefaults();

    // The story file; nothing and a message in `error` when it is unreadable
    // or breaks a rule the book reader relies on.
    static std::optional<BookSource> load(const std::string& path, std::string& error);
};

// Words of a sentence: runs between spaces and line breaks, with leading and trailing
// punctuation left out ("Pip," gives "Pip"); a run without letters or digits
// is no word.
std::vector<Word> splitWords(const std::string& sentence);

} // namespace bookmaker
