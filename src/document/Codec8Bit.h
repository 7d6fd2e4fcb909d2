#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

// The system's 8-bit character set: Windows-1252, whose five unassigned bytes stand
// for the C1 controls of the same value, so every byte is one character and back.
namespace Codec8Bit {

QString decode(QByteArrayView bytes);

struct Encoded {
    QByteArray bytes;
    qsizetype unmappable = 0;   // characters written as '?'
};
Encoded encode(QStringView text);

// Whether every character of the text has a byte in the set.
bool canEncode(QStringView text);

} // namespace Codec8Bit
