#pragma once

#include "platform/Failure.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>

// The file system as the editor uses it: whole files, read or written in one piece,
// and the facts the status bar shows. Every failure comes back as a Failure record.
namespace FileSystem {

// The whole file: its length, read in one read. A pipe or device reads as empty rather
// than waiting for a writer.
Result<QByteArray> readWholeFile(const QString& path);

// Replaces the file whole. The bytes go to a temporary file beside it that takes the
// old file's place, with its permissions, only once everything is written, so a failed
// write leaves the old file as it was; where the folder takes no new file, the file is
// written in place. A device or a pipe is written into, never replaced.
std::optional<Failure> writeWholeFile(const QString& path, const QByteArray& bytes);

Result<qint64> fileSize(const QString& path);
Result<QDateTime> fileModified(const QString& path);

} // namespace FileSystem
