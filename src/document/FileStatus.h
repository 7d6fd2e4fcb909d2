#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

// What the status bar says about the document's file.
namespace FileStatus {

// The modification time as the locale writes it: the short date, a blank and the time
// with seconds; the date alone at exactly midnight.
QString dateText(const QDateTime& modified, const QLocale& locale);

// The locale's short time format, with seconds added after the minutes where it has none.
QString timeFormatWithSeconds(const QLocale& locale);

// The size in decimal digits, no grouping, then " Bytes".
QString sizeText(qint64 bytes);

} // namespace FileStatus
