#include "platform/TextSearch.h"

#include <QChar>
#include <QVarLengthArray>

#include <array>

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

// Boyer-Moore-Horspool over the units of text[start, end), each unit mapped through
// `fold` (or taken as it is). The shift table is keyed by a unit's low byte, which
// only ever makes a shift shorter than it could be, never too long.
template <bool Fold> qsizetype horspool(QStringView text, QStringView what, qsizetype start, qsizetype end, int options)
{
    const auto& table = foldTable();
    auto map = [&table](char16_t c) { return Fold ? table[c] : c; };

    const qsizetype m = what.size();
    QVarLengthArray<char16_t, 64> needle(m);
    for (qsizetype j = 0; j < m; ++j)
        needle[j] = map(what[j].unicode());
    std::array<qsizetype, 256> shift;
    shift.fill(m);
    for (qsizetype j = 0; j + 1 < m; ++j)
        shift[needle[j] & 0xFF] = m - 1 - j;

    const char16_t* h = reinterpret_cast<const char16_t*>(text.utf16());
    const char16_t last = needle[m - 1];
    for (qsizetype at = start; at + m <= end;) {
        const char16_t tail = map(h[at + m - 1]);
        if (tail == last) {
            qsizetype j = 0;
            while (j + 1 < m && map(h[at + j]) == needle[j])
                ++j;
            if (j + 1 == m && accepted(text, at, m, options))
                return at;
        }
        at += shift[tail & 0xFF];
    }
    return -1;
}

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
        return horspool<false>(text, what, start, end, options);
    // Characters outside the basic plane fold as pairs of units, not unit by unit.
    if (hasSurrogate(what))
        return findFoldedByCodePoint(text, what, start, end, options);
    return horspool<true>(text, what, start, end, options);
}

} // namespace TextSearch
