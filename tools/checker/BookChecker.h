#pragma once
// Checks a book folder (a resource root) the way the reader will use it:
// every file that the configuration, the layouts and the naming rules imply
// must exist and load. Findings are collected, not printed, so that tests and
// the command line share them.
#include <map>
#include <set>
#include <string>
#include <vector>

namespace gui {
class UIWidget;
struct NamedResource;
} // namespace gui
namespace checker {


struct Problem {
    bool warning = false;
    std::string file; // relative to the book folder
    std::string what;
    std::string fix;
};

class BookChecker {
public:
    // Whether the checker could read the book at all (its folder and its
    // configuration); when false the findings say why.
    bool check(const std::string& root);

    const std::vector<Problem>& problems() const { return m_problems; }
    int errorCount() const;
    int warningCount() const;
    // 0 clean (warnings allowed), 1 errors, 2 unusable.
    int exitStatus() const;
    // The text report: one line per finding, then a summary line. Bytes that
    // do not print (control bytes, broken UTF-8) are written \xNN.
    std::string report() const;

private:
    void error(const std::string& file, const std::string& what, const std::string& fix);
    void warn(const std::string& file, const std::string& what, const std::string& fix);

    bool checkBook(const std::string& root);
    bool checkConfiguration();
    void checkWordTexts();
    void checkInterfaceTexts();
    void checkFixedImages();
    void checkScreen(const std::string& layout, const std::vector<const char*>& buttons);
    void checkPages();
    void checkPage(int page);
    void checkSharedNames();
    // The read-along table, against the pages' hotspots that checkPage found.
    void checkReadAlong();

    // Reads a layout with the real reader and checks every file and sprite
    // frame that the reader loaded for it; null when it cannot be used.
    gui::UIWidget* readLayout(const std::string& file);
    // A picture, sprite frame, sheet or font that the reader loaded for `layout`.
    void checkResource(const std::string& layout, const gui::NamedResource& resource);
    void checkImage(const std::string& from, const std::string& image, const std::string& fix);
    void checkNarration(const std::string& from, const std::string& file, const std::string& word);

    std::string m_root;
    std::string m_book;
    bool m_unusable = false;
    std::vector<Problem> m_problems;
    std::set<std::string> m_checkedImages;
    std::set<std::string> m_wordTexts;
    bool m_wordTextsUsable = false; // the word table reads as a dictionary
    // Narration name of each word found, with the words that use it.
    std::map<std::string, std::vector<std::string>> m_soundUsers;
    // The word indexes with a hotspot, of each page whose layout was read.
    std::map<int, std::set<int>> m_pageHotspots;
};

} // namespace checker
