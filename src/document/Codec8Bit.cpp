#include "document/Codec8Bit.h"

#include <array>

namespace {

// Windows-1252 bytes 0x80..0x9F; the five unassigned ones keep their own value.
constexpr std::array<char16_t, 32> HighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// The byte for a character, or -1 when the set has none.
int byteFor(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (std::size_t i = 0; i < HighControls.size(); ++i)
        if (HighControls[i] == c)
            return int(0x80 + i);
    return -1;
}

} // namespace

namespace Codec8Bit {

QString decode(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        out[i] = (b >= 0x80 && b < 0xA0) ? HighControls[b - 0x80] : char16_t(b);
    }
    return text;
}

Encoded encode(QStringView text)
{
    Encoded result;
    result.bytes.resize(text.size());
    char* out = result.bytes.data();
    qsizetype n = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        const int b = c < 0x80 ? c : byteFor(c);
        if (b >= 0) {
            out[n++] = char(b);
            continue;
        }
        // A character outside the set is one '?', even one written as two UTF-16 units.
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        out[n++] = '?';
        ++result.unmappable;
    }
    result.bytes.truncate(n);
    return result;
}

bool canEncode(QStringView text)
{
    for (QChar c : text)
        if (c.unicode() >= 0x80 && byteFor(c.unicode()) < 0)
            return false;
    return true;
}

} // namespace Codec8Bit
