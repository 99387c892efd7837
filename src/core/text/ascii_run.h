#pragma once

// Scanning text for the run of plain ASCII at its start, sixteen or eight bytes at a time: most
// texts of a backup are nothing else, and are then copied whole.

#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace orrelin {

namespace ascii_detail {
inline constexpr std::uint64_t kOnes = 0x0101010101010101;
inline constexpr std::uint64_t kHighBits = 0x8080808080808080;

inline std::uint64_t Load8(const void* at) {
    std::uint64_t x;
    std::memcpy(&x, at, sizeof x);
    return x;
}
// Whether no byte of x lies outside 0x20..0x7F: a byte below 0x20 borrows into its high bit,
// a byte from 0x80 has it set.
inline bool AllPrintable(std::uint64_t x) {
    return ((x - 0x20 * kOnes) | x) & kHighBits ? false : true;
}
// Whether some byte of x may be 0 (never misses one).
inline bool MayHoldZero(std::uint64_t x) {
    return ((x - kOnes) & ~x & kHighBits) != 0;
}
}  // namespace ascii_detail

// The number of bytes at the start of [p, p + n) that lie in 0x20..0x7F.
inline std::size_t PrintableAsciiRun(const unsigned char* p, std::size_t n) {
    std::size_t i = 0;
#if defined(__SSE2__)
    // Sixteen at a time: compared as signed bytes, those from 0x80 lie below 0x20 too.
    const __m128i space = _mm_set1_epi8(0x20);
    for (; i + 16 <= n; i += 16) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        if (const int mask = _mm_movemask_epi8(_mm_cmplt_epi8(x, space)); mask != 0)
            return i + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
    }
#endif
    while (i + 8 <= n && ascii_detail::AllPrintable(ascii_detail::Load8(p + i)))
        i += 8;
    while (i < n && p[i] >= 0x20 && p[i] < 0x80)
        ++i;
    return i;
}

// The same, also stopping at `a` and `b` (the quote and backslash of a JSON string).
inline std::size_t PrintableAsciiRunWithout(const unsigned char* p, std::size_t n, unsigned char a,
                                            unsigned char b) {
    using namespace ascii_detail;
    std::size_t i = 0;
    while (i + 8 <= n) {
        const std::uint64_t x = Load8(p + i);
        if (!AllPrintable(x) || MayHoldZero(x ^ (a * kOnes)) || MayHoldZero(x ^ (b * kOnes))) break;
        i += 8;
    }
    while (i < n && p[i] >= 0x20 && p[i] < 0x80 && p[i] != a && p[i] != b)
        ++i;
    return i;
}

}  // namespace orrelin
