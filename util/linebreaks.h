#pragma once

// The one scanner for line breaks that every text reader shares, so a file
// read whole, a file read line by line and a text in memory split alike: a
// line ends at CR, LF or CR LF, a NUL byte ends the text, and a UTF-8
// byte-order mark at the text's start is skipped or kept as the reader asks.

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <bit>
#include <cstddef>
#include <string_view>

namespace morvane {

// EF BB BF: some editors put it before the first line of a UTF-8 file.
inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Whether a byte-order mark at a text's start is skipped (the newer inputs) or
// kept as the first line's start (the first imports' file reading, which
// passes every byte on).
enum class TByteOrderMark { Skip, Keep };

// The length of a byte-order mark at the start of text (0 or 3).
inline std::size_t ByteOrderMarkLength(std::string_view text) {
    return text.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
}

inline std::string_view WithoutByteOrderMark(std::string_view text) {
    return text.substr(ByteOrderMarkLength(text));
}

// A UTF-16 byte-order mark (little- or big-endian) at the text's start: text
// these readers cannot take, whose first NUL byte would end it at once.
inline bool StartsWithUtf16Mark(std::string_view text) {
    return text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF");
}

inline bool IsBreakOrNul(char c) {
    return c == '\r' || c == '\n' || c == '\0';
}

// Calls atBreak(position) for every CR, LF and NUL in text[from, to) in order,
// while it returns true (sixteen bytes are tested at a time where the
// processor allows it). Returns false when atBreak stopped the scan.
template <typename AtBreak>
bool ForEachBreak(const char* const text, std::size_t from, const std::size_t to, AtBreak&& atBreak) {
#if defined(__SSE2__)
    const __m128i returns = _mm_set1_epi8('\r');
    const __m128i feeds = _mm_set1_epi8('\n');
    const __m128i nuls = _mm_setzero_si128();
    for (; from + 16 <= to; from += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + from));
        const __m128i hits =
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(block, returns), _mm_cmpeq_epi8(block, feeds)),
                         _mm_cmpeq_epi8(block, nuls));
        for (auto mask = static_cast<unsigned>(_mm_movemask_epi8(hits)); mask != 0; mask &= mask - 1) {
            if (!atBreak(from + static_cast<std::size_t>(std::countr_zero(mask)))) {
                return false;
            }
        }
    }
#endif
    for (; from < to; ++from) {
        if (IsBreakOrNul(text[from]) && !atBreak(from)) {
            return false;
        }
    }
    return true;
}

// The position of the first CR, LF or NUL in text[from, to), or to.
inline std::size_t FindBreak(const char* const text, const std::size_t from, const std::size_t to) {
    std::size_t found = to;
    ForEachBreak(text, from, to, [&](std::size_t at) {
        found = at;
        return false;
    });
    return found;
}

// Splits text[0, size) into lines: addLine(offset, length) is called for each
// in order. After a line one CR, then one LF is skipped, so CR LF is one break
// and LF CR two; the last line counts without a break after it. Returns where
// the text ends: at its first NUL byte, or after its last.
template <typename AddLine>
std::size_t ScanLines(const char* const text, const std::size_t size, TByteOrderMark mark,
                      AddLine&& addLine) {
    std::size_t start = mark == TByteOrderMark::Skip ? ByteOrderMarkLength(std::string_view(text, size)) : 0;
    std::size_t end = size;
    ForEachBreak(text, start, size, [&](std::size_t at) {
        if (at < start) {
            return true;  // the LF of a CR LF, already skipped
        }
        const char c = text[at];
        if (c == '\0') {
            end = at;  // nothing after a NUL byte belongs to the text
            return false;
        }
        addLine(start, at - start);
        start = at + 1;
        if (c == '\r' && start < size && text[start] == '\n') {
            ++start;
        }
        return true;
    });
    if (start < end) {
        addLine(start, end - start);
    }
    return end;
}

}  // namespace morvane
