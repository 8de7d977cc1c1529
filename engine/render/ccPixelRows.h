#pragma once
// The two table lookups that pictures spend their pixels in: a palette row
// made colours, and a row of a picture sampled at given columns. On CPUs
// with AVX2 eight pixels go in one gather; elsewhere one at a time.
#include <cstdint>

namespace engine {

// out[i] = colours[indices[i]] for i < count.
void ccExpandPalette(std::uint32_t* out, const std::uint32_t* colours, const std::uint8_t* indices,
                     int count);
// out[i] = row[columns[i]] for i < count.
void ccSampleRow(std::uint32_t* out, const std::uint32_t* row, const int* columns, int count);

} // namespace engine
