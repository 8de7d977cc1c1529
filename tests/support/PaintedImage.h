#pragma once
// PNG files painted block by block, for tests that need to know which
// colour lies where in a picture.
#include "support/TestSupport.h"

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

struct Block {
    int x, y, w, h;     // pixels, y down from the top row
    std::uint32_t argb; // 0xAARRGGBB
};

// A `w` x `h` transparent picture with the blocks painted in order, saved as
// `name` under `dir` (folders made); answers its path, empty on failure.
std::string writePng(const TempDir& dir, const std::string& name, int w, int h,
                     const std::vector<Block>& blocks);
// The same, its left half `left` and its right half `right`.
std::string writePng(const TempDir& dir, const std::string& name, int w, int h, std::uint32_t left,
                     std::uint32_t right);

// Consecutive `cell`-wide columns of `h` pixels in the given colours, from the left.
std::vector<Block> columns(int cell, int h, const std::vector<std::uint32_t>& colours);

} // namespace testsupport
