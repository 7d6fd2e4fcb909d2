#pragma once

#include <QByteArrayView>

#include <cstdint>

// Splits Rich Text Format into its tokens and nothing more: groups, control words with
// their parameters, control symbols, \'hh bytes, runs of text and the raw bytes of
// \binN. It never looks back and never fails: any input, however broken, is a finite
// sequence of tokens ending with End, taken in one pass.
class RtfTokenizer {
public:
    enum class Kind : std::uint8_t {
        End,
        GroupStart,
        GroupEnd,
        ControlWord,   // word, optional parameter
        ControlSymbol, // symbol: the one character after the backslash
        HexByte,       // byte: the value of \'hh
        Text,          // data: bytes without markup; line ends and NULs are left out
        Binary,        // data: the raw bytes of \binN (never more than remain)
    };

    struct Token {
        Kind kind = Kind::End;
        bool hasParameter = false;
        char symbol = 0;
        unsigned char byte = 0;
        std::int32_t parameter = 0; // clamped to 32 bits
        QByteArrayView word;        // the control word's letters, however many
        QByteArrayView data;
    };

    explicit RtfTokenizer(QByteArrayView input) : data_(input) {}

    Token next();
    qsizetype position() const { return pos_; }
    bool atEnd() const { return pos_ >= data_.size(); }

private:
    Token controlSequence();

    QByteArrayView data_;
    qsizetype pos_ = 0;
};
