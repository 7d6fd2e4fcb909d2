#pragma once

#include <QStringView>

// Finding text in a document's raw text (one character per position).
namespace TextSearch {
constexpr int WholeWord = 2;
constexpr int MatchCase = 4;

// The position of the first match in [start, end) (end -1: to the end of the text), or
// -1. Whole word: the match is not preceded or followed by a letter, digit or
// underscore. Without MatchCase, characters compare by Unicode case folding.
qsizetype find(QStringView text, QStringView what, qsizetype start, qsizetype end, int options);
} // namespace TextSearch
