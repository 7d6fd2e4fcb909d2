#include "platform/TextSearch.h"

#include <QString>

namespace {
bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}
} // namespace

namespace TextSearch {

qsizetype find(QStringView text, QStringView what, qsizetype start, qsizetype end, int options)
{
    if (what.isEmpty() || start < 0)
        return -1;
    if (end < 0 || end > text.size())
        end = text.size();
    if (start >= end)
        return -1;
    const QStringView range = text.left(end);
    const Qt::CaseSensitivity cs = (options & MatchCase) ? Qt::CaseSensitive : Qt::CaseInsensitive;
    for (qsizetype at = range.indexOf(what, start, cs); at >= 0; at = range.indexOf(what, at + 1, cs)) {
        if (!(options & WholeWord))
            return at;
        const bool before = at > 0 && isWordChar(text[at - 1]);
        const bool after = at + what.size() < text.size() && isWordChar(text[at + what.size()]);
        if (!before && !after)
            return at;
    }
    return -1;
}

} // namespace TextSearch
