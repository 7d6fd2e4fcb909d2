#include "ui/Icons.h"

#include <QPixmap>

#include <array>
#include <string_view>

namespace {

// One character a pixel, from the 16-colour palette below. In the toolbar pictures
// '.' is the mask colour (light grey), in the window icon it is transparent.
struct PaletteEntry {
    char code;
    QRgb rgb;
};
constexpr std::array<PaletteEntry, 16> Palette{{
    {'k', 0x000000},
    {'m', 0x800000},
    {'G', 0x008000},
    {'o', 0x808000},
    {'n', 0x000080},
    {'p', 0x800080},
    {'t', 0x008080},
    {'.', 0xc0c0c0},
    {'g', 0x808080},
    {'r', 0xff0000},
    {'L', 0x00ff00},
    {'y', 0xffff00},
    {'b', 0x0000ff},
    {'f', 0xff00ff},
    {'c', 0x00ffff},
    {'w', 0xffffff},
}};

constexpr bool inPalette(char c)
{
    for (const PaletteEntry& e : Palette)
        if (e.code == c)
            return true;
    return false;
}

template <std::size_t N> using Picture = std::array<std::string_view, N>;

// Every row as wide as the picture is high, every pixel a palette colour.
template <std::size_t N> constexpr bool wellFormed(const Picture<N>& rows)
{
    for (std::string_view row : rows) {
        if (row.size() != N)
            return false;
        for (char c : row)
            if (!inPalette(c))
                return false;
    }
    return true;
}

QRgb colourOf(char c)
{
    for (const PaletteEntry& e : Palette)
        if (e.code == c)
            return e.rgb;
    return 0xc0c0c0;
}

template <std::size_t N> QImage draw(const Picture<N>& rows, bool clearIsTransparent)
{
    const int side = static_cast<int>(N);
    QImage image(side, side, clearIsTransparent ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    for (std::size_t y = 0; y < N; ++y)
        for (std::size_t x = 0; x < N; ++x) {
            const char c = rows[y][x];
            image.setPixel(int(x), int(y),
                           clearIsTransparent && c == '.' ? qRgba(0, 0, 0, 0) : (0xff000000u | colourOf(c)));
        }
    return image;
}

// clang-format off
constexpr Picture<16> BlankSheet{
    "................",
    "..kkkkkkkk......",
    "..kwwwwwwkk.....",
    "..kwwwwwwkwk....",
    "..kwwwwwwkwwk...",
    "..kwwwwwwkkkkk..",
    "..kwwwwwwwwwwk..",
    "..kwwwwwwwwwwk..",
    "..kwwwwwwwwwwk..",
    "..kwwwwwwwwwwk..",
    "..kwwwwwwwwwwk..",
    "..kwwwwwwwwwwk..",
    "..kwwwwwwwwwwk..",
    "..kwwwwwwwwwwk..",
    "..kkkkkkkkkkkk..",
    "................",
};

constexpr Picture<16> OpenFolder{
    "................",
    "................",
    ".kkkk...........",
    "kyooyk..........",
    "kooooykkkkkkk...",
    "koooooooooooyk..",
    "kooookkkkkkkkkkk",
    "koookyyyyyyyyyyk",
    "kookyyyyyyyyyyk.",
    "kookyyyyyyyyyyk.",
    "kokyyyyyyyyyyk..",
    "kokyyyyyyyyyyk..",
    "kkyyyyyyyyyyk...",
    "kkkkkkkkkkkkk...",
    "................",
    "................",
};

constexpr Picture<16> FloppyDisk{
    "................",
    ".kkkkkkkkkkkkkk.",
    ".knwwwwwwwwwwnk.",
    ".knwwwwwwwwwwnk.",
    ".knwggggggggwnk.",
    ".knwwwwwwwwwwnk.",
    ".knwggggggggwnk.",
    ".knwwwwwwwwwwnk.",
    ".knnnnnnnnnnnnk.",
    ".knnnnnnnnnnnnk.",
    ".knngggggggnnnk.",
    ".knnggnngggnnnk.",
    ".knnggnngggnnnk.",
    ".knngggggggnnnk.",
    ".kkkkkkkkkkkkkk.",
    "................",
};

constexpr Picture<16> Scissors{
    "................",
    "...k.......k....",
    "...gk.....kg....",
    "....gk...kg.....",
    "....gk...kg.....",
    ".....gk.kg......",
    "......gkg.......",
    ".......k........",
    "......rkr.......",
    ".....rr.rr......",
    "..rrrr...rrrr...",
    ".rr..r...r..rr..",
    ".r...r...r...r..",
    ".rr.rr...rr.rr..",
    "..rrr.....rrr...",
    "................",
};

constexpr Picture<16> TwoSheets{
    "kkkkkkkkk.......",
    "kwwwwwwwk.......",
    "kwnnnnnwk.......",
    "kwwwwwwwk.......",
    "kwnnnnnwk.......",
    "kwwwwwkkkkkkkkkk",
    "kwnnnnkwwwwwwwwk",
    "kwwwwwkwnnnnnnwk",
    "kwnnnnkwwwwwwwwk",
    "kwwwwwkwnnnnnnwk",
    "kkkkkkkwwwwwwwwk",
    "......kwnnnnnnwk",
    "......kwwwwwwwwk",
    "......kwnnnnwwwk",
    "......kwwwwwwwwk",
    "......kkkkkkkkkk",
};

constexpr Picture<16> Clipboard{
    "................",
    "......kkkk......",
    "..kkkkggggkkkk..",
    ".kooookkkkooook.",
    ".koowwwwwwwwook.",
    ".koowkkkkkkwook.",
    ".koowwwwwwwwook.",
    ".koowkkkkkkwook.",
    ".koowwwwwwwwook.",
    ".koowkkkkwwwook.",
    ".koowwwwwwwwook.",
    ".koowkkkkkkwook.",
    ".koowwwwwwwwook.",
    ".kooooooooooook.",
    ".kkkkkkkkkkkkkk.",
    "................",
};

constexpr Picture<16> Binoculars{
    "................",
    "................",
    "..kkkk....kkkk..",
    "..kggk....kggk..",
    ".kkkkkk..kkkkkk.",
    ".kggggkkkkggggk.",
    ".kggggkggkggggk.",
    ".kggggkkkkggggk.",
    ".kggggk..kggggk.",
    ".kggggk..kggggk.",
    ".kkkkkk..kkkkkk.",
    ".kbbbbk..kbbbbk.",
    ".kbwbbk..kbwbbk.",
    ".kbbbbk..kbbbbk.",
    ".kkkkkk..kkkkkk.",
    "................",
};

constexpr Picture<16> LettersABC{
    "................",
    "................",
    "................",
    "..kk..kkk...kk..",
    ".k..k.k..k.k..k.",
    ".k..k.k..k.k....",
    ".k..k.k..k.k....",
    ".kkkk.kkk..k....",
    ".k..k.k..k.k....",
    ".k..k.k..k.k....",
    ".k..k.k..k.k..k.",
    ".k..k.kkk...kk..",
    "................",
    "................",
    "................",
    "................",
};

constexpr Picture<16> Printer{
    "................",
    "....kkkkkkkk....",
    "....kwwwwwwk....",
    "....kwnnnnwk....",
    "....kwwwwwwk....",
    ".kkkkkkkkkkkkkk.",
    ".kwwwwwwwwwwwwk.",
    ".kggggggggggLgk.",
    ".kggggggggggggk.",
    ".kggkkkkkkkkggk.",
    ".kkkkwwwwwwkkkk.",
    "....kwnnnnwk....",
    "....kwwwwwwk....",
    "....kkkkkkkk....",
    "................",
    "................",
};

constexpr Picture<16> ArrowIntoDoor{
    "................",
    ".......mmmmmm...",
    ".......mwwwwmo..",
    ".......mwwwwmoo.",
    "......Gmwwwwmooo",
    "......GGwwwwmooo",
    "......GGGwwwmooo",
    "GGGGGGGGGGwwmooo",
    "GGGGGGGGGGwwmooo",
    "......GGGwwwmooo",
    "......GGwwwwmooo",
    "......Gmwwwwmooo",
    ".......mwwwwmooo",
    ".......mwwwwmoo.",
    ".......mwwwwmo..",
    ".......mmmmmm...",
};

constexpr Picture<32> Notebook32{
    "................................",
    "...kkkkkkkkkkkkkkkkkkkkkkkkk....",
    "...kkkkgkkgwkwkkkkkkkkkkkwgkg...",
    "...kkkkgkkgwkwwkkkkkkkkkwkkkwg..",
    "...kkkkgkkgwkkwwwkkkkkgwkkkkgg..",
    "...kkkkgkkwwkkwkkkgkkkwkkkwkwg..",
    "...kkkkgwwwkkkkkkkkkkkkkkkwkgg..",
    "...kkkkgkkwkwwwwwwwwwwwwkkwkwg..",
    "...kkkkgwkwkwwwwwwwwwwwwkkwkgg..",
    "...kkkkgkwkkwwwwwwwwwwwwkkwkwg..",
    "...kkkkggwkkwwwwwwwwwwwwkkwkgg..",
    "...kkkkgwwkkwwwwwwwwwwwwkkkkwg..",
    "...kkkkgwwgkwwwwwwwwwwwwkkkkgg..",
    "...kkkkgwwwkkkkkkkkkkkkkkkkkwg..",
    "...kkkkgwwwwkkkkwwwwkkkwwwwkgg..",
    "...kkkkgwwwgkwwkkkkkkgwwwkkkwg..",
    "...kkkkgwwwkkwwwwkkkwwwwgkkkgg..",
    "...kkkkgwwwkwkkkgwkgwkgwkkgkwg..",
    "...kkkkgkkgkgwkkkwkwkkwwwkgkgg..",
    "...kkkkgkkgkkwgkkwkwkkwgwkkkwg..",
    "...kkkkgwkkkkwwkkwgwkkwkwkkkgg..",
    "...kkkkgwgkkkwkkkkwwkkwgwkwkwg..",
    "...kkkkgwwkkwgkkkkkkkkkkkgwkgg..",
    "...kkkkgwwkkwkkkkkkkkkkgwwkkwg..",
    "...kkkkgwwkkwkkkkkkkkkwwgkkkgg..",
    "...kkkkgwwkggkkkkgwwkkwwwkkkwg..",
    "...kkkkgkkgwkkkgwwwwgkgwwgkkgg..",
    "...kkkkgwkwkkkkwkkkggkkkgwkkwg..",
    "...kkkkgwkwkkkkgkkkkwkkkkwgkgg..",
    "...kkkkgwkwkkkkgkkkkwkkkwwkkwg..",
    "...kkkkkkkkkkkkkkkkkkkkkkkkkgg..",
    "................................",
};

constexpr Picture<16> Notebook16{
    "..kkkkkkkkkkkk..",
    "..kkkgkgkkkkkkw.",
    "..kkkwkwwgkgkkg.",
    "..kkkwkkkkkkkkw.",
    "..kkgwkwwwwwkkg.",
    "..kkwkkwwwwwkkw.",
    "..kkwwkkkkkkkkg.",
    "..kkwwkkkgkwwkw.",
    "..kkwwwgwkgwkkg.",
    "..kkkgwkkgkwkkw.",
    "..kkwkkkkwkkkkg.",
    "..kkwkwkkkkkwkw.",
    "..kkwkkkkgkwkkg.",
    "..kkkwkkwwkwwkw.",
    "..kkwgkwkkkkwkg.",
    "..kkkkkkkkkkkkw.",
};

constexpr std::array<const Picture<16>*, 10> ToolbarPictures{
    &BlankSheet, &OpenFolder, &FloppyDisk, &Scissors, &TwoSheets,
    &Clipboard,  &Binoculars, &LettersABC, &Printer,  &ArrowIntoDoor,
};

// clang-format on

static_assert(wellFormed(BlankSheet) && wellFormed(OpenFolder) && wellFormed(FloppyDisk) && wellFormed(Scissors) &&
              wellFormed(TwoSheets) && wellFormed(Clipboard) && wellFormed(Binoculars) && wellFormed(LettersABC) &&
              wellFormed(Printer) && wellFormed(ArrowIntoDoor) && wellFormed(Notebook32) && wellFormed(Notebook16));

} // namespace

namespace Icons {

QImage toolbarImage(int index)
{
    if (index < 1 || index > int(ToolbarPictures.size()))
        return {};
    return draw(*ToolbarPictures[std::size_t(index - 1)], false);
}

QIcon windowIcon()
{
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(draw(Notebook32, true)));
    icon.addPixmap(QPixmap::fromImage(draw(Notebook16, true)));
    return icon;
}

QImage windowIconImage(int size)
{
    if (size == 32)
        return draw(Notebook32, true);
    if (size == 16)
        return draw(Notebook16, true);
    return {};
}

} // namespace Icons
