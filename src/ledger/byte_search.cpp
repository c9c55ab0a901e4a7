#include "ledger/byte_search.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace ledger {

std::size_t findBytes(std::string_view hay, std::string_view needle, std::size_t from)
{
    const std::size_t n = needle.size();
    if (from > hay.size() || n > hay.size() - from)
        return std::string_view::npos;
    if (n == 0)
        return from;
    std::size_t at = from;
#if defined(__SSE2__)
    const char *s = hay.data();
    const __m128i first = _mm_set1_epi8(needle.front());
    const __m128i last = _mm_set1_epi8(needle.back());
    // Blocks of sixteen starting places whose last bytes lie inside hay.
    for (; at + n - 1 + 16 <= hay.size(); at += 16) {
        const __m128i starts = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s + at));
        const __m128i ends = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s + at + n - 1));
        unsigned mask = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(starts, first), _mm_cmpeq_epi8(ends, last))));
        while (mask != 0) {
            const unsigned bit = static_cast<unsigned>(__builtin_ctz(mask));
            if (n <= 2 || std::memcmp(s + at + bit + 1, needle.data() + 1, n - 2) == 0)
                return at + bit;
            mask &= mask - 1;
        }
    }
#endif
    // The places left over (all of them without the wide comparisons).
    const std::size_t found = hay.find(needle, at);
    return found;
}

} // namespace ledger
