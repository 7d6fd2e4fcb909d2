#include "document/FileStatus.h"

#include <algorithm>

namespace {

// Where each run of one format letter lies, quoted literals skipped.
struct Run {
    qsizetype start = -1;
    qsizetype end = -1;
};

Run findRun(const QString& format, const QString& letters, qsizetype from = 0)
{
    bool quoted = false;
    for (qsizetype i = from; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c == QLatin1Char('\'')) {
            quoted = !quoted;
            continue;
        }
        if (quoted || !letters.contains(c))
            continue;
        qsizetype end = i;
        while (end < format.size() && format.at(end) == c)
            ++end;
        return {i, end};
    }
    return {};
}

} // namespace

namespace FileStatus {

QString timeFormatWithSeconds(const QLocale& locale)
{
    QString format = locale.timeFormat(QLocale::ShortFormat);
    if (findRun(format, QStringLiteral("s")).start >= 0)
        return format;
    const Run hours = findRun(format, QStringLiteral("hH"));
    const Run minutes = findRun(format, QStringLiteral("m"), hours.end < 0 ? 0 : hours.end);
    if (minutes.start < 0)
        return locale.timeFormat(QLocale::LongFormat);
    // The seconds follow the minutes the way the minutes follow the hours ("H.mm" gives
    // "H.mm.ss"); a separator that is a word or a quoted literal gives way to a colon.
    QString separator = hours.end >= 0 ? format.mid(hours.end, minutes.start - hours.end) : QString();
    const bool plain = !separator.isEmpty() && separator.size() <= 2 &&
                       std::none_of(separator.cbegin(), separator.cend(),
                                    [](QChar c) { return c.isLetter() || c == QLatin1Char('\''); });
    if (!plain)
        separator = QStringLiteral(":");
    format.insert(minutes.end, separator + QStringLiteral("ss"));
    return format;
}

QString dateText(const QDateTime& modified, const QLocale& locale)
{
    const QString date = locale.toString(modified.date(), QLocale::ShortFormat);
    const QTime time = modified.time();
    if (time.hour() == 0 && time.minute() == 0 && time.second() == 0)
        return date;
    return date + QLatin1Char(' ') + locale.toString(time, timeFormatWithSeconds(locale));
}

QString sizeText(qint64 bytes)
{
    return QString::number(bytes) + QStringLiteral(" Bytes");
}

} // namespace FileStatus
