#pragma once
// Small books that scene tests write into a headless view's resource root:
// the three dictionaries, a home layout with its four buttons, page layouts
// with word hotspots, the interface pictures and (when espeak-ng and lame
// are installed) spoken narration.
#include "engine/base/CCGeometry.h"
#include "support/HeadlessView.h"

#include <map>
#include <string>
#include <vector>

namespace booktest {

// Colours the pictures are painted in, so that pixels tell them apart.
constexpr std::uint32_t kPageColour = 0xffe6e6e6;      // page background (230, 230, 230)
constexpr std::uint32_t kHotspotColour = 0xffffd200;   // a word's normal picture
constexpr std::uint32_t kHighlightColour = 0xffff8000; // a word's pressed (highlighted) picture
constexpr std::uint32_t kBubbleColour = 0xffffffff;    // speech bubble, black frame

struct Word {
    int index;
    engine::CCPoint position;
    // The hotspot sits in an inner panel placed at `panelAt`, when not (0, 0).
    engine::CCPoint panelAt;
};

class SmallBook {
public:
    explicit SmallBook(const testsupport::HeadlessView& view) : m_view(view) {}

    // StringConfig.xml with these keys (sub-folder "tb", pages 1 to 5, wordMin 1 by default).
    void writeConfig(const std::map<std::string, std::string>& overrides = {}) const;
    // String.xml with the six interface texts.
    void writeInterfaceTexts() const;
    // Stringstr.xml: key -> text.
    void writeWordTexts(const std::map<std::string, std::string>& texts) const;
    // mainpage/mainpage_1.json with the four buttons (minus `leaveOut`).
    void writeHomeLayout(const std::vector<std::string>& leaveOut = {}) const;
    // tb/tb_<page>.json with one 120 x 50 hotspot button per word.
    void writePage(int page, const std::vector<Word>& words) const;
    // The pictures that the menu, the bubble and the ispep hotspots use.
    void writeImages() const;
    // A spoken narration file for word `tag` of `page`; false when the
    // tools to make one are missing.
    bool writeNarration(int tag, int page) const;
    // The whole recording of `page` (the same spoken sentence); false when
    // the tools to make one are missing.
    bool writePageRecording(int page) const;
    // StringReadAlong.xml: key -> value.
    void writeReadAlong(const std::map<std::string, std::string>& entries) const;
    // How long the spoken sentence of every narration lasts; 0 without it.
    static double spokenSeconds();
    // Everything above for a book of pages 1 and 2 with words; answers
    // whether narration could be made.
    bool writeAll();

    // Where a home button lies (design points).
    static engine::CCPoint homeButton(const std::string& name);

private:
    const testsupport::HeadlessView& m_view;
};

} // namespace booktest
