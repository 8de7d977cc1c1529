#pragma once
// Breaking text into lines, shared by the TTF and bitmap-font labels.
//
// "\n" always ends a line. With a width above 0 each paragraph is filled
// greedily: words (runs between spaces) move to the next line whole, the
// spaces at a break are dropped (so a centred line centres on its ink), a
// word wider than the line is split between characters (at least one per
// line), and CJK characters are words of their own, so CJK text breaks
// between any two of them.
#include <functional>
#include <string>
#include <vector>

namespace engine {

// `measure` gives the width of a UTF-8 string, in the same unit as `width`.
std::vector<std::string> ccWrapText(const std::string& text, float width,
                                    const std::function<float(const std::string&)>& measure);

} // namespace engine
