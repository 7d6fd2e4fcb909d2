#pragma once

#include <QStringView>

// Finding text in a document's raw text (one character per position).
namespace TextSearch {
constexpr int WholeWord = 2;
constexpr int MatchCase = 4;

// The position of the first match that lies in [start, end) (end -1: to the end of the
// text), or -1; an empty `what` matches nothing. Whole word: the match is not preceded
// or followed by a letter, digit, underscore or combining mark. Without MatchCase,
// characters compare by Unicode simple case folding, which keeps a match as long as
// `what`. A match never begins or ends inside a surrogate pair.
qsizetype find(QStringView text, QStringView what, qsizetype start, qsizetype end, int options);
} // namespace TextSearch
