#include "engine/render/ccPixelRows.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define LIRRA_GATHER 1
#endif

namespace engine {

namespace {

void expandOneByOne(std::uint32_t* out, const std::uint32_t* colours, const std::uint8_t* indices,
                    int count) {
    for (int i = 0; i < count; ++i)
        out[i] = colours[indices[i]];
}

void sampleOneByOne(std::uint32_t* out, const std::uint32_t* row, const int* columns, int count) {
    for (int i = 0; i < count; ++i)
        out[i] = row[columns[i]];
}

#ifdef LIRRA_GATHER
__attribute__((target("avx2"))) void expandGathered(std::uint32_t* out, const std::uint32_t* colours,
                                                    const std::uint8_t* indices, int count) {
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256i at =
            _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(indices + i)));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i),
                            _mm256_i32gather_epi32(reinterpret_cast<const int*>(colours), at, 4));
    }
    expandOneByOne(out + i, colours, indices + i, count - i);
}

__attribute__((target("avx2"))) void sampleGathered(std::uint32_t* out, const std::uint32_t* row,
                                                    const int* columns, int count) {
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256i at = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(columns + i));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i),
                            _mm256_i32gather_epi32(reinterpret_cast<const int*>(row), at, 4));
    }
    sampleOneByOne(out + i, row, columns + i, count - i);
}

// Asked from a static initialiser, which may run before the compiler's own
// CPU detection has: hence the explicit init.
const bool g_avx2 = (__builtin_cpu_init(), __builtin_cpu_supports("avx2"));
#endif

} // namespace

void ccExpandPalette(std::uint32_t* out, const std::uint32_t* colours, const std::uint8_t* indices,
                     int count) {
#ifdef LIRRA_GATHER
    if (g_avx2) return expandGathered(out, colours, indices, count);
#endif
    expandOneByOne(out, colours, indices, count);
}

void ccSampleRow(std::uint32_t* out, const std::uint32_t* row, const int* columns, int count) {
#ifdef LIRRA_GATHER
    if (g_avx2) return sampleGathered(out, row, columns, count);
#endif
    sampleOneByOne(out, row, columns, count);
}

} // namespace engine
