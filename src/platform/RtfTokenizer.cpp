#include "platform/RtfTokenizer.h"

#include <algorithm>
#include <array>
#include <limits>

namespace {

// Bytes that end a run of text: markup, line ends (not part of the text) and NUL.
constexpr std::array<bool, 256> makeTextStops()
{
    std::array<bool, 256> stops{};
    for (unsigned char c : {'\\', '{', '}', '\r', '\n', '\0'})
        stops[c] = true;
    return stops;
}
constexpr std::array<bool, 256> TextStops = makeTextStops();

constexpr bool isLetter(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

constexpr bool isDigit(unsigned char c)
{
    return c >= '0' && c <= '9';
}

RtfTokenizer::Token tokenOf(RtfTokenizer::Kind kind)
{
    RtfTokenizer::Token token;
    token.kind = kind;
    return token;
}

int hexValue(unsigned char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

RtfTokenizer::Token RtfTokenizer::next()
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(data_.data());
    const qsizetype size = data_.size();
    while (pos_ < size) {
        const unsigned char c = bytes[pos_];
        switch (c) {
        case '{': ++pos_; return tokenOf(Kind::GroupStart);
        case '}': ++pos_; return tokenOf(Kind::GroupEnd);
        case '\\': {
            // A sequence that stands for nothing (a \' without digits) yields no token.
            const Token token = controlSequence();
            if (token.kind != Kind::End)
                return token;
            continue;
        }
        case '\r':
        case '\n':
        case '\0': ++pos_; continue;
        default: break;
        }
        const qsizetype start = pos_;
        while (pos_ < size && !TextStops[bytes[pos_]])
            ++pos_;
        Token token = tokenOf(Kind::Text);
        token.data = data_.sliced(start, pos_ - start);
        return token;
    }
    return tokenOf(Kind::End);
}

RtfTokenizer::Token RtfTokenizer::controlSequence()
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(data_.data());
    const qsizetype size = data_.size();
    ++pos_; // the backslash
    if (pos_ >= size)
        return tokenOf(Kind::End);
    const unsigned char first = bytes[pos_];
    if (!isLetter(first)) {
        ++pos_;
        if (first == '\'') {
            // \'hh: a missing or bad digit is recovered from by taking what is there.
            int value = 0;
            int digits = 0;
            while (digits < 2 && pos_ < size) {
                const int v = hexValue(bytes[pos_]);
                if (v < 0)
                    break;
                value = value * 16 + v;
                ++digits;
                ++pos_;
            }
            if (digits == 0)
                return tokenOf(Kind::End);
            Token token = tokenOf(Kind::HexByte);
            token.byte = static_cast<unsigned char>(value);
            return token;
        }
        Token token = tokenOf(Kind::ControlSymbol);
        token.symbol = static_cast<char>(first);
        return token;
    }

    const qsizetype start = pos_;
    while (pos_ < size && isLetter(bytes[pos_]))
        ++pos_;
    Token token = tokenOf(Kind::ControlWord);
    token.word = data_.sliced(start, pos_ - start);

    if (pos_ < size && (bytes[pos_] == '-' || isDigit(bytes[pos_]))) {
        const bool negative = bytes[pos_] == '-';
        if (negative)
            ++pos_;
        std::int64_t value = 0;
        bool any = false;
        while (pos_ < size && isDigit(bytes[pos_])) {
            // Keep reading the digits, but the value stops growing past 32 bits.
            if (value <= std::numeric_limits<std::int32_t>::max())
                value = value * 10 + (bytes[pos_] - '0');
            any = true;
            ++pos_;
        }
        if (any) {
            if (negative)
                value = -value;
            value = std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                             std::numeric_limits<std::int32_t>::max());
            token.hasParameter = true;
            token.parameter = static_cast<std::int32_t>(value);
        }
    }
    if (pos_ < size && bytes[pos_] == ' ')
        ++pos_; // the delimiting blank belongs to the word

    if (token.word == QByteArrayView("bin")) {
        const qsizetype remaining = size - pos_;
        const qsizetype length =
            token.hasParameter && token.parameter > 0 ? std::min<qsizetype>(token.parameter, remaining) : 0;
        Token binary = tokenOf(Kind::Binary);
        binary.data = data_.sliced(pos_, length);
        pos_ += length;
        return binary;
    }
    return token;
}
