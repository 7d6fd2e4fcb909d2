#include "platform/TextSearch.h"

#include <QChar>
#include <QVarLengthArray>

#include <algorithm>
#include <array>
#include <bit>
#include <optional>
#include <unordered_map>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

// Simple case folding of every UTF-16 unit outside the surrogate range. A character of
// the basic plane folds to one of the basic plane, so for a search text without
// surrogates, folding unit by unit is exact.
const std::array<char16_t, 0x10000>& foldTable()
{
    static const std::array<char16_t, 0x10000> table = [] {
        std::array<char16_t, 0x10000> t{};
        for (char32_t u = 0; u < 0x10000; ++u) {
            const char32_t folded = QChar::isSurrogate(u) ? u : QChar::toCaseFolded(u);
            t[u] = folded < 0x10000 ? char16_t(folded) : char16_t(u);
        }
        return t;
    }();
    return table;
}

// For each fold image that more than one unit has, those units ("k", "K" and the
// Kelvin sign for "k").
const std::unordered_map<char16_t, std::vector<char16_t>>& caseVariants()
{
    static const std::unordered_map<char16_t, std::vector<char16_t>> variants = [] {
        std::unordered_map<char16_t, std::vector<char16_t>> all;
        const auto& table = foldTable();
        for (char32_t u = 0; u < 0x10000; ++u)
            all[table[u]].push_back(char16_t(u));
        std::erase_if(all, [](const auto& entry) { return entry.second.size() < 2; });
        return all;
    }();
    return variants;
}

bool isWordChar(char32_t c)
{
    if (c < 0x80)
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    // A combining mark belongs to the letter before it: "cafe" is not a whole word
    // of a decomposed "café".
    return QChar::isLetterOrNumber(c) || QChar::isMark(c);
}

// The character that ends just before `at`, or 0 at the start.
char32_t charBefore(QStringView text, qsizetype at)
{
    if (at <= 0)
        return 0;
    const char16_t low = text[at - 1].unicode();
    if (QChar::isLowSurrogate(low) && at >= 2 && QChar::isHighSurrogate(text[at - 2].unicode()))
        return QChar::surrogateToUcs4(text[at - 2].unicode(), low);
    return low;
}

// The character that begins at `at`, or 0 at the end.
char32_t charAt(QStringView text, qsizetype at)
{
    if (at >= text.size())
        return 0;
    const char16_t high = text[at].unicode();
    if (QChar::isHighSurrogate(high) && at + 1 < text.size() && QChar::isLowSurrogate(text[at + 1].unicode()))
        return QChar::surrogateToUcs4(high, text[at + 1].unicode());
    return high;
}

bool splitsPair(QStringView text, qsizetype at)
{
    return at > 0 && at < text.size() && QChar::isHighSurrogate(text[at - 1].unicode()) &&
           QChar::isLowSurrogate(text[at].unicode());
}

// Whether a candidate at `at` of `length` units is a match under the options.
bool accepted(QStringView text, qsizetype at, qsizetype length, int options)
{
    if (splitsPair(text, at) || splitsPair(text, at + length))
        return false;
    if (options & TextSearch::WholeWord)
        return !isWordChar(charBefore(text, at)) && !isWordChar(charAt(text, at + length));
    return true;
}

// The units of text[start, end) compared one by one, each mapped through the fold table
// (or taken as it is).
template <bool Fold> struct UnitSearch {
    QStringView text;
    QStringView what;
    qsizetype start;
    qsizetype end;
    int options;

    static char16_t map(char16_t c) { return Fold ? foldTable()[c] : c; }

    QVarLengthArray<char16_t, 64> mappedNeedle() const
    {
        QVarLengthArray<char16_t, 64> needle(what.size());
        for (qsizetype j = 0; j < what.size(); ++j)
            needle[j] = map(what[j].unicode());
        return needle;
    }

    // Whether the candidate at `at` matches; the last unit is already known to.
    bool matchesAt(const char16_t* h, const QVarLengthArray<char16_t, 64>& needle, qsizetype at) const
    {
        const qsizetype m = needle.size();
        for (qsizetype j = 0; j + 1 < m; ++j) {
            if (map(h[at + j]) != needle[j])
                return false;
        }
        return accepted(text, at, m, options);
    }

    // Boyer-Moore-Horspool. The shift table is keyed by a unit's low byte, which only
    // ever makes a shift shorter than it could be, never too long.
    qsizetype horspool() const
    {
        const QVarLengthArray<char16_t, 64> needle = mappedNeedle();
        const qsizetype m = needle.size();
        std::array<qsizetype, 256> shift;
        shift.fill(m);
        for (qsizetype j = 0; j + 1 < m; ++j)
            shift[needle[j] & 0xFF] = m - 1 - j;

        const char16_t* h = reinterpret_cast<const char16_t*>(text.utf16());
        const char16_t last = needle[m - 1];
        for (qsizetype at = start; at + m <= end;) {
            const char16_t tail = map(h[at + m - 1]);
            if (tail == last && matchesAt(h, needle, at))
                return at;
            at += shift[tail & 0xFF];
        }
        return -1;
    }

#ifdef __SSE2__
    // Every unit that maps to `unit`'s image (its case variants), or nothing when there
    // are more than the vector compare takes.
    static std::optional<std::array<char16_t, 4>> variants(char16_t unit)
    {
        std::array<char16_t, 4> found;
        found.fill(unit);
        if (!Fold)
            return found;
        const auto& shared = caseVariants();
        const auto it = shared.find(foldTable()[unit]);
        if (it == shared.end())
            return found; // no other unit folds to the same
        if (it->second.size() > found.size())
            return std::nullopt;
        // The slots left over keep `unit`, one of the variants itself.
        std::copy(it->second.begin(), it->second.end(), found.begin());
        return found;
    }

    static __m128i equalsAny(__m128i units, const __m128i (&any)[4])
    {
        return _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(units, any[0]), _mm_cmpeq_epi16(units, any[1])),
                            _mm_or_si128(_mm_cmpeq_epi16(units, any[2]), _mm_cmpeq_epi16(units, any[3])));
    }

    // Eight candidate positions at a time: those whose first and last units can match
    // are compared in full.
    qsizetype vectorScan(const std::array<char16_t, 4>& first, const std::array<char16_t, 4>& last) const
    {
        const QVarLengthArray<char16_t, 64> needle = mappedNeedle();
        const qsizetype m = needle.size();
        __m128i firstAny[4], lastAny[4];
        for (int i = 0; i < 4; ++i) {
            firstAny[i] = _mm_set1_epi16(short(first[i]));
            lastAny[i] = _mm_set1_epi16(short(last[i]));
        }
        const char16_t* h = reinterpret_cast<const char16_t*>(text.utf16());
        const qsizetype lastStart = end - m; // the last position a match can begin at
        qsizetype at = start;
        for (; at + 7 <= lastStart; at += 8) {
            const __m128i head = _mm_loadu_si128(reinterpret_cast<const __m128i*>(h + at));
            const __m128i tail = _mm_loadu_si128(reinterpret_cast<const __m128i*>(h + at + m - 1));
            unsigned mask =
                unsigned(_mm_movemask_epi8(_mm_and_si128(equalsAny(head, firstAny), equalsAny(tail, lastAny))));
            while (mask) {
                const int i = std::countr_zero(mask) / 2;
                if (matchesAt(h, needle, at + i))
                    return at + i;
                mask &= ~(3u << (2 * i));
            }
        }
        for (; at <= lastStart; ++at) {
            if (map(h[at + m - 1]) == needle[m - 1] && matchesAt(h, needle, at))
                return at;
        }
        return -1;
    }
#endif

    qsizetype run() const
    {
#ifdef __SSE2__
        const auto first = variants(what.front().unicode());
        const auto last = variants(what.back().unicode());
        if (first && last)
            return vectorScan(*first, *last);
#endif
        return horspool();
    }
};

// Compares by code points, folding each; for search texts with surrogate pairs.
bool equalFolded(QStringView a, QStringView b)
{
    qsizetype i = 0;
    while (i < a.size()) {
        const char32_t ca = charAt(a, i);
        const char32_t cb = charAt(b, i);
        if ((ca > 0xFFFF) != (cb > 0xFFFF) || QChar::toCaseFolded(ca) != QChar::toCaseFolded(cb))
            return false;
        i += ca > 0xFFFF ? 2 : 1;
    }
    return true;
}

qsizetype findFoldedByCodePoint(QStringView text, QStringView what, qsizetype start, qsizetype end, int options)
{
    const qsizetype m = what.size();
    for (qsizetype at = start; at + m <= end; ++at) {
        if (equalFolded(text.mid(at, m), what) && accepted(text, at, m, options))
            return at;
    }
    return -1;
}

bool hasSurrogate(QStringView s)
{
    for (QChar c : s) {
        if (c.isSurrogate())
            return true;
    }
    return false;
}

} // namespace

namespace TextSearch {

qsizetype find(QStringView text, QStringView what, qsizetype start, qsizetype end, int options)
{
    if (what.isEmpty() || start < 0)
        return -1;
    if (end < 0 || end > text.size())
        end = text.size();
    if (start >= end || what.size() > end - start)
        return -1;
    if (options & MatchCase)
        return UnitSearch<false>{text, what, start, end, options}.run();
    // Characters outside the basic plane fold as pairs of units, not unit by unit.
    if (hasSurrogate(what))
        return findFoldedByCodePoint(text, what, start, end, options);
    return UnitSearch<true>{text, what, start, end, options}.run();
}

} // namespace TextSearch
