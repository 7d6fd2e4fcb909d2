#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>

#include <array>
#include <memory>
#include <optional>

// The character sets of Rich Text Format: \ansicpg and the fonts' \fcharset and \cpg
// name Windows code pages; the Symbol font has a set of its own.
namespace RtfCodePage {

constexpr int Western = 1252;
constexpr int Symbol = 42; // the code page number Windows gives the Symbol font

// The code page of a font's \fcharset; the document's own for ANSI-default sets,
// nothing for a set we don't know (the document's is used then).
std::optional<int> forCharset(int charset);

// The character the Symbol font draws for a byte (Greek letters, arrows, maths).
char16_t symbolCharacter(unsigned char byte);

// Decodes bytes of one code page. Single-byte pages map through a table; double-byte
// pages keep a lead byte that ends one piece of input for the next.
class Decoder {
public:
    explicit Decoder(int codePage);

    int codePage() const { return codePage_; }
    bool isSingleByte() const { return !multi_; }
    // For single-byte pages: the character of a byte, 0 for bytes that show nothing.
    const std::array<char16_t, 256>& table() const { return table_; }
    // For double-byte pages (single-byte ones map through the table).
    QString decode(QByteArrayView bytes);
    void reset();

private:
    int codePage_;
    std::array<char16_t, 256> table_{};
    std::unique_ptr<QStringDecoder> multi_;
};

} // namespace RtfCodePage
