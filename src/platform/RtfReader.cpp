#include "platform/RtfReader.h"

#include "platform/RtfCodePage.h"
#include "platform/RtfOutput.h"
#include "platform/RtfTokenizer.h"

#include <QBuffer>
#include <QHashFunctions>
#include <QImage>
#include <QImageReader>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QTextOption>
#include <QUrl>

#include <algorithm>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace {

using Token = RtfTokenizer::Token;
using Kind = RtfTokenizer::Kind;

// Groups deeper than this share the innermost state kept: what a group saves costs
// memory, and no real document nests this deep.
constexpr std::size_t MaxSavedDepth = 4096;
// Document units are pixels at 96 dots per inch: 15 twips each.
constexpr double TwipsPerUnit = 15.0;
// Indents, spacing and picture sizes beyond 22 inches (the largest page) are taken as
// 22 inches, so that a number out of all reason can't make the layout fail.
constexpr int MaxTwips = 31680;

enum class Destination : std::uint8_t {
    Body,  // text shown
    Skip,  // everything up to the group's end left out
    Shell, // text left out, but groups inside may be shown (\object's \result)
    FontTable,
    ColorTable,
    StyleSheet,
    StyleEntry,
    Picture,
};

enum class Underline : std::uint8_t { None, Single, Dotted, Dash, DashDot, DashDotDot, Wave };
enum class Vertical : std::uint8_t { Normal, Super, Sub };

struct CharState {
    int font = -1; // -1: the document's default font
    int halfPoints = 24;
    int color = 0; // indexes into the colour table; 0 is "auto"
    int background = 0;
    int highlight = 0;
    int raise = 0; // half-points up (down when negative)
    Underline underline = Underline::None;
    Vertical vertical = Vertical::Normal;
    bool bold = false;
    bool italic = false;
    bool strike = false;
    bool caps = false;
    bool smallCaps = false;
    bool hidden = false;
    bool operator==(const CharState&) const = default;
};

struct CharStateHash {
    std::size_t operator()(const CharState& c) const noexcept
    {
        return qHashMulti(0, c.font, c.halfPoints, c.color, c.background, c.highlight, c.raise, int(c.underline),
                          int(c.vertical), c.bold, c.italic, c.strike, c.caps, c.smallCaps, c.hidden);
    }
};

// Formats kept for reuse before the cache starts over: real documents use far fewer,
// and input that makes more only loses the reuse.
constexpr std::size_t MaxCachedFormats = 4096;

struct ParaState {
    QList<QTextOption::Tab> tabs;
    int leftIndent = 0; // twips
    int rightIndent = 0;
    int firstIndent = 0;
    int spaceBefore = 0;
    int spaceAfter = 0;
    int lineSpacing = 0;
    bool lineMultiple = false;
    Qt::Alignment alignment = Qt::AlignLeft;
    QTextOption::TabType nextTabType = QTextOption::LeftTab;
    bool inTable = false;
    bool pageBreakBefore = false;
    bool keepTogether = false;
    bool rightToLeft = false;
    bool operator==(const ParaState&) const = default;
};

// What { saves and } restores.
struct GroupState {
    CharState chars;
    ParaState para;
    Destination destination = Destination::Body;
    int unicodeSkip = 1; // \uc: fallback characters after each \u
};

struct Font {
    QString name;
    std::optional<int> codePage; // from \fcharset or \cpg
};

// A style gives what the paragraph or run does not give itself: writers name the
// style after the formatting as often as before it, and repeat the formatting.
template <typename T> void takeDefault(T& value, const T& styled, const T& unset)
{
    if (value == unset)
        value = styled;
}

void applyStyle(CharState& c, const CharState& style)
{
    const CharState unset;
    takeDefault(c.font, style.font, unset.font);
    takeDefault(c.halfPoints, style.halfPoints, unset.halfPoints);
    takeDefault(c.color, style.color, unset.color);
    takeDefault(c.background, style.background, unset.background);
    takeDefault(c.highlight, style.highlight, unset.highlight);
    takeDefault(c.raise, style.raise, unset.raise);
    takeDefault(c.underline, style.underline, unset.underline);
    takeDefault(c.vertical, style.vertical, unset.vertical);
    c.bold = c.bold || style.bold;
    c.italic = c.italic || style.italic;
    c.strike = c.strike || style.strike;
    c.caps = c.caps || style.caps;
    c.smallCaps = c.smallCaps || style.smallCaps;
    c.hidden = c.hidden || style.hidden;
}

void applyStyle(ParaState& p, const ParaState& style)
{
    const ParaState unset;
    takeDefault(p.tabs, style.tabs, unset.tabs);
    takeDefault(p.leftIndent, style.leftIndent, unset.leftIndent);
    takeDefault(p.rightIndent, style.rightIndent, unset.rightIndent);
    takeDefault(p.firstIndent, style.firstIndent, unset.firstIndent);
    takeDefault(p.spaceBefore, style.spaceBefore, unset.spaceBefore);
    takeDefault(p.spaceAfter, style.spaceAfter, unset.spaceAfter);
    if (p.lineSpacing == 0) {
        p.lineSpacing = style.lineSpacing;
        p.lineMultiple = style.lineMultiple;
    }
    takeDefault(p.alignment, style.alignment, unset.alignment);
    p.pageBreakBefore = p.pageBreakBefore || style.pageBreakBefore;
    p.keepTogether = p.keepTogether || style.keepTogether;
    p.rightToLeft = p.rightToLeft || style.rightToLeft;
}

struct Style {
    CharState chars;
    ParaState para;
};

// The control words the reader acts on.
// clang-format off
enum class Kw : std::uint8_t {
    // character set
    Ansi, Mac, Pc, Pca, AnsiCpg, Deff, Uc, U, Cpg, Fcharset,
    // destinations
    FontTbl, ColorTbl, StyleSheet, Pict, SkipDest, ShellDest, BodyDest, NonShpPict,
    // character formatting
    Plain, B, I, Ul, UlDotted, UlDash, UlDashDot, UlDashDotDot, UlWave, UlNone, Strike, Caps, SmallCaps, V,
    F, Fs, Cf, Cb, Highlight, Super, Sub, NoSuperSub, Up, Dn, Cs,
    // paragraph formatting
    Pard, Ql, Qc, Qr, Qj, Li, Ri, Fi, Sb, Sa, Sl, SlMult, Tx, Tqr, Tqc, Tqdec, Keep, PageBb, InTbl, S, RtlPar,
    LtrPar,
    // breaks and characters
    Par, Line, Tab, Page, Sect, SbkNone, SbkOther, Cell, Row, NestCell, NestRow, Char, FootnoteMark,
    // colour table
    Red, Green, Blue,
    // pictures
    PngBlip, JpegBlip, OtherBlip, PicW, PicH, PicWGoal, PicHGoal, PicScaleX, PicScaleY,
};

struct Keyword {
    Kw kw;
    char16_t ch = 0; // for Kw::Char
};

const std::unordered_map<std::string_view, Keyword>& keywords()
{
    static const std::unordered_map<std::string_view, Keyword> table = [] {
        std::unordered_map<std::string_view, Keyword> t = {
            {"ansi", {Kw::Ansi}}, {"mac", {Kw::Mac}}, {"pc", {Kw::Pc}}, {"pca", {Kw::Pca}},
            {"ansicpg", {Kw::AnsiCpg}}, {"deff", {Kw::Deff}}, {"uc", {Kw::Uc}}, {"u", {Kw::U}},
            {"cpg", {Kw::Cpg}}, {"fcharset", {Kw::Fcharset}},
            {"fonttbl", {Kw::FontTbl}}, {"colortbl", {Kw::ColorTbl}}, {"stylesheet", {Kw::StyleSheet}},
            {"pict", {Kw::Pict}}, {"nonshppict", {Kw::NonShpPict}},
            // Shown: a field's result, an object's result, list markers, Unicode alternatives.
            {"fldrslt", {Kw::BodyDest}}, {"result", {Kw::BodyDest}}, {"listtext", {Kw::BodyDest}},
            {"pntext", {Kw::BodyDest}}, {"ud", {Kw::BodyDest}},
            // Text left out, but groups inside may be shown: pictures, results, nested rows.
            {"shppict", {Kw::ShellDest}}, {"object", {Kw::ShellDest}}, {"upr", {Kw::ShellDest}},
            {"shp", {Kw::ShellDest}}, {"nesttableprops", {Kw::ShellDest}},
            {"plain", {Kw::Plain}}, {"b", {Kw::B}}, {"i", {Kw::I}}, {"ul", {Kw::Ul}},
            {"uld", {Kw::UlDotted}}, {"uldash", {Kw::UlDash}}, {"uldashd", {Kw::UlDashDot}},
            {"uldashdd", {Kw::UlDashDotDot}}, {"uldb", {Kw::Ul}}, {"ulth", {Kw::Ul}}, {"ulw", {Kw::Ul}},
            {"ulthd", {Kw::UlDotted}}, {"ulthdash", {Kw::UlDash}}, {"ulldash", {Kw::UlDash}},
            {"ulthldash", {Kw::UlDash}}, {"ulthdashd", {Kw::UlDashDot}}, {"ulthdashdd", {Kw::UlDashDotDot}},
            {"ulwave", {Kw::UlWave}}, {"ulhwave", {Kw::UlWave}}, {"ululdbwave", {Kw::UlWave}},
            {"ulnone", {Kw::UlNone}}, {"strike", {Kw::Strike}}, {"striked", {Kw::Strike}},
            {"caps", {Kw::Caps}}, {"scaps", {Kw::SmallCaps}}, {"v", {Kw::V}},
            {"f", {Kw::F}}, {"fs", {Kw::Fs}}, {"cf", {Kw::Cf}}, {"cb", {Kw::Cb}}, {"chcbpat", {Kw::Cb}},
            {"highlight", {Kw::Highlight}}, {"super", {Kw::Super}}, {"sub", {Kw::Sub}},
            {"nosupersub", {Kw::NoSuperSub}}, {"up", {Kw::Up}}, {"dn", {Kw::Dn}}, {"cs", {Kw::Cs}},
            {"pard", {Kw::Pard}}, {"ql", {Kw::Ql}}, {"qc", {Kw::Qc}}, {"qr", {Kw::Qr}}, {"qj", {Kw::Qj}},
            {"qd", {Kw::Qj}}, {"li", {Kw::Li}}, {"lin", {Kw::Li}}, {"ri", {Kw::Ri}}, {"rin", {Kw::Ri}},
            {"fi", {Kw::Fi}}, {"sb", {Kw::Sb}}, {"sa", {Kw::Sa}}, {"sl", {Kw::Sl}}, {"slmult", {Kw::SlMult}},
            {"tx", {Kw::Tx}}, {"tb", {Kw::Tx}}, {"tqr", {Kw::Tqr}}, {"tqc", {Kw::Tqc}}, {"tqdec", {Kw::Tqdec}},
            {"keep", {Kw::Keep}}, {"pagebb", {Kw::PageBb}}, {"intbl", {Kw::InTbl}}, {"s", {Kw::S}},
            {"rtlpar", {Kw::RtlPar}}, {"ltrpar", {Kw::LtrPar}},
            {"par", {Kw::Par}}, {"line", {Kw::Line}}, {"tab", {Kw::Tab}}, {"page", {Kw::Page}},
            {"column", {Kw::Par}}, {"sect", {Kw::Sect}}, {"sbknone", {Kw::SbkNone}}, {"sbkcol", {Kw::SbkNone}},
            {"sbkpage", {Kw::SbkOther}}, {"sbkeven", {Kw::SbkOther}}, {"sbkodd", {Kw::SbkOther}},
            {"cell", {Kw::Cell}}, {"row", {Kw::Row}}, {"nestcell", {Kw::NestCell}}, {"nestrow", {Kw::NestRow}},
            {"chftn", {Kw::FootnoteMark}},
            {"emdash", {Kw::Char, 0x2014}}, {"endash", {Kw::Char, 0x2013}}, {"emspace", {Kw::Char, 0x2003}},
            {"enspace", {Kw::Char, 0x2002}}, {"qmspace", {Kw::Char, 0x2005}}, {"bullet", {Kw::Char, 0x2022}},
            {"lquote", {Kw::Char, 0x2018}}, {"rquote", {Kw::Char, 0x2019}}, {"ldblquote", {Kw::Char, 0x201C}},
            {"rdblquote", {Kw::Char, 0x201D}}, {"zwj", {Kw::Char, 0x200D}}, {"zwnj", {Kw::Char, 0x200C}},
            {"ltrmark", {Kw::Char, 0x200E}}, {"rtlmark", {Kw::Char, 0x200F}}, {"zwbo", {Kw::Char, 0x200B}},
            {"red", {Kw::Red}}, {"green", {Kw::Green}}, {"blue", {Kw::Blue}},
            {"pngblip", {Kw::PngBlip}}, {"jpegblip", {Kw::JpegBlip}}, {"emfblip", {Kw::OtherBlip}},
            {"wmetafile", {Kw::OtherBlip}}, {"macpict", {Kw::OtherBlip}}, {"dibitmap", {Kw::OtherBlip}},
            {"wbitmap", {Kw::OtherBlip}}, {"pmmetafile", {Kw::OtherBlip}}, {"picw", {Kw::PicW}},
            {"pich", {Kw::PicH}}, {"picwgoal", {Kw::PicWGoal}}, {"pichgoal", {Kw::PicHGoal}},
            {"picscalex", {Kw::PicScaleX}}, {"picscaley", {Kw::PicScaleY}},
        };
        // Text that is not part of the body: document properties, headers, footers,
        // notes, field instructions, index entries, bookmarks, drawing internals, the
        // tables of lists, revisions and such, and text kept for readers without nested
        // tables.
        for (std::string_view name : {
                 "info", "header", "headerl", "headerr", "headerf", "footer", "footerl", "footerr", "footerf",
                 "footnote", "annotation", "fldinst", "pn", "pntxta", "pntxtb", "xe", "tc", "txe", "rxe", "bxe",
                 "comment", "author", "title", "subject", "operator", "keywords", "doccomm", "company",
                 "listtable", "listoverridetable", "revtbl", "rsidtbl", "filetbl", "generator", "themedata",
                 "colorschememapping", "latentstyles", "datastore", "xmlnstbl", "pgdsctbl", "template",
                 "userprops", "objdata", "objclass", "objname", "datafield", "formfield", "ftnsep", "ftnsepc",
                 "ftncn", "aftnsep", "aftnsepc", "aftncn", "nonesttables", "bkmkstart", "bkmkend", "shpinst",
                 "shptxt", "sp", "sn", "sv", "do", "docvar", "protusertbl", "mmathPr", "passwordhash",
                 "wgrffmtfilter", "pgptbl", "private", "atnid", "atnauthor", "atndate", "atnref", "atrfstart",
                 "atrfend", "picprop", "blipuid", "background", "fchars", "lchars", "pxe", "ts", "tsrowd",
                 "listpicture", "fname", "panose", "falt"}) {
            t.emplace(name, Keyword{Kw::SkipDest});
        }
        return t;
    }();
    return table;
}
// clang-format on

class Reader {
public:
    Reader(QByteArrayView rtf, QTextDocument& document) : tokens_(rtf), document_(document), out_(document) {}
    void run();

private:
    GroupState& state() { return stack_.back(); }
    void pushGroup();
    void popGroup();
    void endOfGroup(const GroupState& closed);

    void controlWord(const Token& t);
    void controlSymbol(char symbol);
    void destination(Kw kw);
    void text(QByteArrayView bytes);
    void hexByte(unsigned char byte);
    void unicode(int value);

    // Body text
    bool showsText() { return state().destination == Destination::Body && !state().chars.hidden; }
    RtfCodePage::Decoder& decoderFor(int fontNumber);
    void prepareText();
    void appendShown(QChar c);
    void appendBodyBytes(QByteArrayView bytes);
    void flushBytes();
    void paragraphBreak();
    void cellEnd();
    void rowEnd();
    void pageBreak();

    // Formats
    const Font* fontFor(int number) const;
    QTextCharFormat charFormat(const CharState& c) const;
    const QTextCharFormat& sharedCharFormat(const CharState& c);
    void charFormatsChanged();
    QTextBlockFormat blockFormat(const ParaState& p, bool pageBreak) const;
    const QTextCharFormat& currentCharFormat();

    // Tables of the header
    void fontTableText(QByteArrayView bytes);
    void fontTableByte(unsigned char byte);
    void finishFontEntry();
    QString fontNameDecoded();
    void colorTableText(QByteArrayView bytes);
    void picture(QByteArrayView hexOrBinary, bool binary);
    void finishPicture();

    RtfTokenizer tokens_;
    QTextDocument& document_;
    RtfOutput out_;
    std::vector<GroupState> stack_;
    std::optional<GroupState> lastClosed_; // the document's group, once it has closed
    std::size_t unsavedDepth_ = 0;         // groups past MaxSavedDepth
    std::size_t skipDepth_ = 0;            // > 0 inside a group that is left out
    bool ignorable_ = false;               // after \*
    int unicodeSkipLeft_ = 0;

    int documentCodePage_ = RtfCodePage::Western;
    int defaultFont_ = 0;
    std::unordered_map<int, Font> fonts_;
    std::unordered_map<int, std::unique_ptr<RtfCodePage::Decoder>> decoders_;
    std::vector<std::optional<QColor>> colors_;
    std::unordered_map<int, Style> styles_;

    // The character format last handed to the output, and the state it was made from.
    std::optional<CharState> formatFor_;
    QTextCharFormat format_;
    // One format per state: equal formats share one instance, whose hash is then worked
    // out once, and a run compares with the one before it by identity.
    std::unordered_map<CharState, QTextCharFormat, CharStateHash> charFormats_;
    // Bytes of a double-byte code page, decoded together so a character split over
    // two \'hh decodes whole.
    QByteArray pendingBytes_;
    RtfCodePage::Decoder* pendingDecoder_ = nullptr;
    QChar pendingSeparator_; // between table cells, shown once the next cell has text
    bool pageBreakNext_ = false;
    bool sectionBreaksPage_ = true;

    // The font table entry being read
    int fontNumber_ = -1;
    QByteArray fontName_; // bytes not yet decoded
    QString fontNameText_;
    std::optional<int> fontCodePage_;
    bool fontNameDone_ = false;
    // The colour table entry being read
    int red_ = 0, green_ = 0, blue_ = 0;
    bool colorGiven_ = false;
    // The style sheet entry being read
    int styleNumber_ = 0;
    // The picture being read
    enum class Blip : std::uint8_t { None, Png, Jpeg, Other } blip_ = Blip::None;
    QByteArray pictureData_;
    bool pictureBinary_ = false; // the data came through \bin, not as hex digits
    int picW_ = 0, picH_ = 0, picWGoal_ = 0, picHGoal_ = 0, picScaleX_ = 100, picScaleY_ = 100;
    int images_ = 0;
    int footnotes_ = 0;
};

void Reader::run()
{
    document_.clear();
    stack_.reserve(64);
    stack_.emplace_back();
    bool open = true;
    while (open) {
        const Token t = tokens_.next();
        if (t.kind == Kind::End)
            break;
        if (skipDepth_ > 0) {
            // A left-out group is only counted through (\bin's bytes are the tokenizer's).
            if (t.kind == Kind::GroupStart) {
                ++skipDepth_;
            } else if (t.kind == Kind::GroupEnd) {
                if (--skipDepth_ == 0)
                    popGroup();
            }
            continue;
        }
        if (t.kind != Kind::ControlWord)
            ignorable_ = false; // a \* that marks no word marks nothing
        switch (t.kind) {
        case Kind::GroupStart:
            unicodeSkipLeft_ = 0;
            pushGroup();
            break;
        case Kind::GroupEnd:
            unicodeSkipLeft_ = 0;
            popGroup();
            open = stack_.size() > 1 || unsavedDepth_ > 0; // until the document's own group closes
            break;
        case Kind::ControlWord: controlWord(t); break;
        case Kind::ControlSymbol: controlSymbol(t.symbol); break;
        case Kind::HexByte: hexByte(t.byte); break;
        case Kind::Text: text(t.data); break;
        case Kind::Binary:
            if (unicodeSkipLeft_ > 0)
                --unicodeSkipLeft_;
            else if (state().destination == Destination::Picture)
                picture(t.data, true);
            break;
        case Kind::End: break;
        }
    }
    flushBytes();
    // The last paragraph has the format it had inside the document's group (or where
    // a file that was cut off ended).
    const GroupState& last = stack_.size() > 1 || !lastClosed_ ? state() : *lastClosed_;
    formatFor_.reset();
    const QTextCharFormat mark = charFormat(last.chars);
    out_.setCharFormat(mark);
    out_.finish(blockFormat(last.para, pageBreakNext_), mark);
}

void Reader::pushGroup()
{
    if (stack_.size() >= MaxSavedDepth) {
        ++unsavedDepth_;
        return;
    }
    stack_.push_back(stack_.back());
}

void Reader::popGroup()
{
    if (unsavedDepth_ > 0) {
        --unsavedDepth_;
        return;
    }
    if (stack_.size() <= 1)
        return; // a } too many: nothing to restore
    GroupState closed = std::move(stack_.back());
    stack_.pop_back();
    endOfGroup(closed);
    if (stack_.size() == 1)
        lastClosed_ = std::move(closed);
}

void Reader::endOfGroup(const GroupState& closed)
{
    const Destination outer = state().destination;
    switch (closed.destination) {
    case Destination::FontTable:
        if (fontNumber_ >= 0 && !fontNameDone_)
            finishFontEntry();
        if (outer != Destination::FontTable)
            fontNumber_ = -1;
        break;
    case Destination::StyleEntry:
        if (outer == Destination::StyleSheet)
            styles_[styleNumber_] = Style{closed.chars, closed.para};
        break;
    case Destination::Picture:
        if (outer != Destination::Picture)
            finishPicture();
        break;
    default: break;
    }
}

void Reader::destination(Kw kw)
{
    GroupState& s = state();
    switch (kw) {
    case Kw::FontTbl:
        s.destination = Destination::FontTable;
        fontNumber_ = -1;
        break;
    case Kw::ColorTbl:
        s.destination = Destination::ColorTable;
        colors_.clear();
        red_ = green_ = blue_ = 0;
        colorGiven_ = false;
        break;
    case Kw::StyleSheet: s.destination = Destination::StyleSheet; break;
    case Kw::Pict:
        s.destination = Destination::Picture;
        blip_ = Blip::None;
        pictureData_.clear();
        pictureBinary_ = false;
        picW_ = picH_ = picWGoal_ = picHGoal_ = 0;
        picScaleX_ = picScaleY_ = 100;
        break;
    case Kw::NonShpPict:
    case Kw::SkipDest: skipDepth_ = 1; break;
    case Kw::ShellDest: s.destination = Destination::Shell; break;
    case Kw::BodyDest:
        if (s.destination == Destination::Body || s.destination == Destination::Shell)
            s.destination = Destination::Body;
        break;
    default: break;
    }
}

void Reader::controlWord(const Token& t)
{
    const bool wasIgnorable = ignorable_;
    ignorable_ = false;
    const auto& table = keywords();
    const auto found = table.find(std::string_view(t.word.data(), std::size_t(t.word.size())));
    if (found == table.end()) {
        if (wasIgnorable)
            skipDepth_ = 1; // an optional destination we don't know
        return;
    }
    const Keyword k = found->second;
    const int p = t.parameter;
    const bool on = !t.hasParameter || p != 0;
    GroupState& s = state();
    CharState& c = s.chars;
    ParaState& para = s.para;
    const Destination dest = s.destination;

    switch (k.kw) {
    case Kw::Ansi: documentCodePage_ = RtfCodePage::Western; break;
    case Kw::Mac: documentCodePage_ = 10000; break;
    case Kw::Pc: documentCodePage_ = 437; break;
    case Kw::Pca: documentCodePage_ = 850; break;
    case Kw::AnsiCpg:
        if (p > 0)
            documentCodePage_ = p;
        break;
    case Kw::Deff: defaultFont_ = p; break;
    case Kw::Uc: s.unicodeSkip = std::clamp(p, 0, 0xFFFF); break;
    case Kw::U: unicode(p); break;
    case Kw::Cpg:
        if (dest == Destination::FontTable && p > 0)
            fontCodePage_ = p;
        break;
    case Kw::Fcharset:
        if (dest == Destination::FontTable && !fontCodePage_)
            fontCodePage_ = RtfCodePage::forCharset(p);
        break;

    case Kw::FontTbl:
    case Kw::ColorTbl:
    case Kw::StyleSheet:
    case Kw::Pict:
    case Kw::SkipDest:
    case Kw::ShellDest:
    case Kw::BodyDest:
    case Kw::NonShpPict: destination(k.kw); break;

    case Kw::Plain: c = CharState{}; break;
    case Kw::B: c.bold = on; break;
    case Kw::I: c.italic = on; break;
    case Kw::Ul: c.underline = on ? Underline::Single : Underline::None; break;
    case Kw::UlDotted: c.underline = on ? Underline::Dotted : Underline::None; break;
    case Kw::UlDash: c.underline = on ? Underline::Dash : Underline::None; break;
    case Kw::UlDashDot: c.underline = on ? Underline::DashDot : Underline::None; break;
    case Kw::UlDashDotDot: c.underline = on ? Underline::DashDotDot : Underline::None; break;
    case Kw::UlWave: c.underline = on ? Underline::Wave : Underline::None; break;
    case Kw::UlNone: c.underline = Underline::None; break;
    case Kw::Strike: c.strike = on; break;
    case Kw::Caps: c.caps = on; break;
    case Kw::SmallCaps: c.smallCaps = on; break;
    case Kw::V: c.hidden = on; break;
    case Kw::F:
        if (dest == Destination::FontTable) {
            if (fontNumber_ >= 0 && !fontNameDone_)
                finishFontEntry();
            fontNumber_ = p;
            fontName_.clear();
            fontNameText_.clear();
            fontCodePage_.reset();
            fontNameDone_ = false;
        } else {
            c.font = p;
        }
        break;
    case Kw::Fs: c.halfPoints = t.hasParameter ? std::clamp(p, 2, 3276) : 24; break;
    case Kw::Cf: c.color = p; break;
    case Kw::Cb: c.background = p; break;
    case Kw::Highlight: c.highlight = p; break;
    case Kw::Super: c.vertical = on ? Vertical::Super : Vertical::Normal; break;
    case Kw::Sub: c.vertical = on ? Vertical::Sub : Vertical::Normal; break;
    case Kw::NoSuperSub:
        c.vertical = Vertical::Normal;
        c.raise = 0;
        break;
    case Kw::Up: c.raise = t.hasParameter ? std::clamp(p, -3276, 3276) : 6; break;
    case Kw::Dn: c.raise = t.hasParameter ? -std::clamp(p, -3276, 3276) : -6; break;
    case Kw::Cs:
        if (dest == Destination::StyleSheet || dest == Destination::StyleEntry) {
            s.destination = Destination::StyleEntry;
            styleNumber_ = p;
            c = CharState{};
        } else if (const auto it = styles_.find(p); it != styles_.end()) {
            applyStyle(c, it->second.chars);
        }
        break;

    case Kw::Pard: para = ParaState{}; break;
    case Kw::Ql: para.alignment = Qt::AlignLeft; break;
    case Kw::Qc: para.alignment = Qt::AlignHCenter; break;
    case Kw::Qr: para.alignment = Qt::AlignRight; break;
    case Kw::Qj: para.alignment = Qt::AlignJustify; break;
    case Kw::Li: para.leftIndent = std::clamp(p, -MaxTwips, MaxTwips); break;
    case Kw::Ri: para.rightIndent = std::clamp(p, -MaxTwips, MaxTwips); break;
    case Kw::Fi: para.firstIndent = std::clamp(p, -MaxTwips, MaxTwips); break;
    case Kw::Sb: para.spaceBefore = std::clamp(p, 0, MaxTwips); break;
    case Kw::Sa: para.spaceAfter = std::clamp(p, 0, MaxTwips); break;
    case Kw::Sl: para.lineSpacing = std::clamp(p, -MaxTwips, MaxTwips); break;
    case Kw::SlMult: para.lineMultiple = on; break;
    case Kw::Tx:
        if (para.tabs.size() < 256)
            para.tabs.append(QTextOption::Tab(std::clamp(p, 0, MaxTwips) / TwipsPerUnit, para.nextTabType));
        para.nextTabType = QTextOption::LeftTab;
        break;
    case Kw::Tqr: para.nextTabType = QTextOption::RightTab; break;
    case Kw::Tqc: para.nextTabType = QTextOption::CenterTab; break;
    case Kw::Tqdec: para.nextTabType = QTextOption::DelimiterTab; break;
    case Kw::Keep: para.keepTogether = on; break;
    case Kw::PageBb: para.pageBreakBefore = on; break;
    case Kw::InTbl: para.inTable = on; break;
    case Kw::RtlPar: para.rightToLeft = true; break;
    case Kw::LtrPar: para.rightToLeft = false; break;
    case Kw::S:
        if (dest == Destination::StyleSheet || dest == Destination::StyleEntry) {
            s.destination = Destination::StyleEntry;
            styleNumber_ = p;
            c = CharState{};
            para = ParaState{};
        } else if (const auto it = styles_.find(p); it != styles_.end()) {
            applyStyle(para, it->second.para);
            applyStyle(c, it->second.chars);
        }
        break;

    case Kw::Par:
        if (dest == Destination::Body)
            paragraphBreak();
        break;
    case Kw::Line:
        if (showsText())
            appendShown(QChar::LineSeparator);
        break;
    case Kw::Tab:
        if (showsText())
            appendShown(u'\t');
        break;
    case Kw::Page:
        if (dest == Destination::Body)
            pageBreak();
        break;
    case Kw::Sect:
        if (dest == Destination::Body) {
            if (sectionBreaksPage_)
                pageBreak();
            else
                paragraphBreak();
        }
        break;
    case Kw::SbkNone: sectionBreaksPage_ = false; break;
    case Kw::SbkOther: sectionBreaksPage_ = true; break;
    case Kw::Cell:
    case Kw::NestCell:
        if (dest == Destination::Body)
            cellEnd();
        break;
    case Kw::Row:
        if (dest == Destination::Body)
            rowEnd();
        break;
    case Kw::NestRow:
        // A nested table's row stays inside the outer cell: its end separates like a
        // paragraph inside a cell. Its mark comes among the nested row's properties.
        if ((dest == Destination::Body || dest == Destination::Shell) && !pendingSeparator_.isNull())
            pendingSeparator_ = u' ';
        break;
    case Kw::FootnoteMark:
        // The note's number where the note is anchored (the note's own text is left out).
        if (showsText()) {
            prepareText();
            flushBytes();
            out_.appendText(QString::number(++footnotes_));
        }
        break;
    case Kw::Char:
        if (showsText())
            appendShown(QChar(k.ch));
        break;

    case Kw::Red:
    case Kw::Green:
    case Kw::Blue:
        if (dest == Destination::ColorTable) {
            const int v = std::clamp(p, 0, 255);
            (k.kw == Kw::Red ? red_ : k.kw == Kw::Green ? green_ : blue_) = v;
            colorGiven_ = true;
        }
        break;

    case Kw::PngBlip:
        if (dest == Destination::Picture)
            blip_ = Blip::Png;
        break;
    case Kw::JpegBlip:
        if (dest == Destination::Picture)
            blip_ = Blip::Jpeg;
        break;
    case Kw::OtherBlip:
        if (dest == Destination::Picture)
            blip_ = Blip::Other;
        break;
    case Kw::PicW: picW_ = p; break;
    case Kw::PicH: picH_ = p; break;
    case Kw::PicWGoal: picWGoal_ = std::clamp(p, 0, MaxTwips); break;
    case Kw::PicHGoal: picHGoal_ = std::clamp(p, 0, MaxTwips); break;
    case Kw::PicScaleX: picScaleX_ = p; break;
    case Kw::PicScaleY: picScaleY_ = p; break;
    }
}

void Reader::controlSymbol(char symbol)
{
    if (symbol == '*') {
        ignorable_ = true;
        return;
    }
    switch (symbol) {
    case '\\':
    case '{':
    case '}': {
        const char byte = symbol;
        text(QByteArrayView(&byte, 1));
        break;
    }
    case '~':
        if (showsText())
            appendShown(QChar(0x00A0));
        break;
    case '-':
        if (showsText())
            appendShown(QChar(0x00AD));
        break;
    case '_':
        if (showsText())
            appendShown(QChar(0x2011));
        break;
    case '\t':
        if (showsText())
            appendShown(u'\t');
        break;
    case '\r':
    case '\n':
        if (state().destination == Destination::Body)
            paragraphBreak();
        break;
    default: break; // \: \| and the unknown ones stand for nothing here
    }
}

// ---- text ----

RtfCodePage::Decoder& Reader::decoderFor(int fontNumber)
{
    int codePage = documentCodePage_;
    if (const Font* f = fontFor(fontNumber); f && f->codePage)
        codePage = *f->codePage;
    auto& slot = decoders_[codePage];
    if (!slot)
        slot = std::make_unique<RtfCodePage::Decoder>(codePage);
    return *slot;
}

const Font* Reader::fontFor(int number) const
{
    auto it = fonts_.find(number < 0 ? defaultFont_ : number);
    if (it == fonts_.end() && number >= 0)
        it = fonts_.find(defaultFont_); // a font missing from the table: the default one
    return it == fonts_.end() ? nullptr : &it->second;
}

const QTextCharFormat& Reader::currentCharFormat()
{
    const CharState& c = state().chars;
    if (!formatFor_ || !(*formatFor_ == c)) {
        flushBytes();
        formatFor_ = c;
        format_ = sharedCharFormat(c);
    }
    return format_;
}

const QTextCharFormat& Reader::sharedCharFormat(const CharState& c)
{
    if (charFormats_.size() >= MaxCachedFormats)
        charFormats_.clear();
    auto [it, made] = charFormats_.try_emplace(c);
    if (made)
        it->second = charFormat(c);
    return it->second;
}

void Reader::charFormatsChanged()
{
    formatFor_.reset();
    charFormats_.clear();
}

void Reader::prepareText()
{
    out_.setCharFormat(currentCharFormat());
    if (!pendingSeparator_.isNull()) {
        flushBytes();
        const QChar sep = pendingSeparator_;
        pendingSeparator_ = QChar();
        out_.appendChar(sep);
    }
}

void Reader::appendShown(QChar c)
{
    prepareText();
    flushBytes();
    out_.appendChar(c);
}

void Reader::flushBytes()
{
    if (pendingBytes_.isEmpty())
        return;
    QString decoded = pendingDecoder_->decode(pendingBytes_);
    pendingBytes_.clear();
    // Line ends and controls decoded from bytes are not text of their own.
    decoded.removeIf([](QChar ch) {
        return (ch.unicode() < 0x20 && ch != u'\t') || ch == QChar::ParagraphSeparator || ch.unicode() == 0xFDD0 ||
               ch.unicode() == 0xFDD1;
    });
    out_.appendText(decoded);
}

void Reader::appendBodyBytes(QByteArrayView bytes)
{
    prepareText();
    RtfCodePage::Decoder& decoder = decoderFor(state().chars.font);
    if (!decoder.isSingleByte()) {
        if (pendingDecoder_ && pendingDecoder_ != &decoder) {
            flushBytes();
            pendingDecoder_->reset();
        }
        pendingDecoder_ = &decoder;
        pendingBytes_.append(bytes);
        return;
    }
    flushBytes();
    const auto& table = decoder.table();
    QChar* out = out_.reserve(bytes.size());
    qsizetype n = 0;
    for (char b : bytes)
        if (const char16_t ch = table[static_cast<unsigned char>(b)])
            out[n++] = QChar(ch);
    out_.commit(n);
}

void Reader::text(QByteArrayView bytes)
{
    if (unicodeSkipLeft_ > 0) {
        const qsizetype skipped = std::min<qsizetype>(unicodeSkipLeft_, bytes.size());
        unicodeSkipLeft_ -= int(skipped);
        bytes = bytes.sliced(skipped);
        if (bytes.isEmpty())
            return;
    }
    switch (state().destination) {
    case Destination::Body:
        if (!state().chars.hidden)
            appendBodyBytes(bytes);
        break;
    case Destination::FontTable: fontTableText(bytes); break;
    case Destination::ColorTable: colorTableText(bytes); break;
    case Destination::Picture: picture(bytes, false); break;
    default: break;
    }
}

void Reader::hexByte(unsigned char byte)
{
    if (unicodeSkipLeft_ > 0) {
        --unicodeSkipLeft_;
        return;
    }
    const char b = static_cast<char>(byte);
    switch (state().destination) {
    case Destination::Body:
        if (!state().chars.hidden)
            appendBodyBytes(QByteArrayView(&b, 1));
        break;
    case Destination::FontTable: fontTableByte(byte); break;
    default: break;
    }
}

void Reader::unicode(int value)
{
    unicodeSkipLeft_ = state().unicodeSkip;
    char16_t ch = static_cast<char16_t>(value < 0 ? value + 0x10000 : value);
    if (value < -0x8000 || value > 0xFFFF)
        ch = 0xFFFD;
    const Destination dest = state().destination;
    if (dest == Destination::FontTable) {
        if (fontNumber_ >= 0 && !fontNameDone_) {
            fontNameText_ += fontNameDecoded();
            fontNameText_ += QChar(ch);
        }
        return;
    }
    if (dest != Destination::Body || state().chars.hidden)
        return;
    // The Symbol font's characters also come as U+F020 to U+F0FF.
    if (ch >= 0xF020 && ch <= 0xF0FF) {
        if (const Font* f = fontFor(state().chars.font); f && f->codePage == RtfCodePage::Symbol)
            ch = RtfCodePage::symbolCharacter(static_cast<unsigned char>(ch - 0xF000));
    }
    if ((ch < 0x20 && ch != u'\t') || ch == 0xFDD0 || ch == 0xFDD1)
        return;
    if (ch == QChar::ParagraphSeparator)
        ch = QChar::LineSeparator;
    appendShown(QChar(ch));
}

// ---- paragraphs and tables ----

void Reader::paragraphBreak()
{
    if (state().chars.hidden)
        return; // a hidden paragraph mark joins the paragraphs
    flushBytes();
    if (state().para.inTable) {
        // A paragraph inside a cell: the row stays one line.
        if (pendingSeparator_.isNull() && !out_.paragraphIsEmpty())
            pendingSeparator_ = u' ';
        return;
    }
    flushBytes();
    pendingSeparator_ = QChar();
    const QTextCharFormat& mark = currentCharFormat();
    out_.setCharFormat(mark);
    out_.endParagraph(blockFormat(state().para, pageBreakNext_), mark);
    pageBreakNext_ = false;
}

void Reader::cellEnd()
{
    if (pendingSeparator_ == u'\t') {
        // The cell before was empty: its separator is shown now.
        prepareText();
    }
    flushBytes();
    pendingSeparator_ = u'\t';
}

void Reader::rowEnd()
{
    pendingSeparator_ = QChar();
    flushBytes();
    const QTextCharFormat& mark = currentCharFormat();
    out_.setCharFormat(mark);
    out_.endParagraph(blockFormat(state().para, pageBreakNext_), mark);
    pageBreakNext_ = false;
}

void Reader::pageBreak()
{
    if (!out_.paragraphIsEmpty())
        paragraphBreak();
    pageBreakNext_ = true;
}

// ---- formats ----

QTextCharFormat Reader::charFormat(const CharState& c) const
{
    QTextCharFormat f;
    if (const Font* font = fontFor(c.font); font && !font->name.isEmpty())
        f.setFontFamilies(QStringList{font->name});
    f.setFontPointSize(c.halfPoints / 2.0);
    if (c.bold)
        f.setFontWeight(QFont::Bold);
    if (c.italic)
        f.setFontItalic(true);
    if (c.underline != Underline::None) {
        f.setFontUnderline(true);
        switch (c.underline) {
        case Underline::Dotted: f.setUnderlineStyle(QTextCharFormat::DotLine); break;
        case Underline::Dash: f.setUnderlineStyle(QTextCharFormat::DashUnderline); break;
        case Underline::DashDot: f.setUnderlineStyle(QTextCharFormat::DashDotLine); break;
        case Underline::DashDotDot: f.setUnderlineStyle(QTextCharFormat::DashDotDotLine); break;
        case Underline::Wave: f.setUnderlineStyle(QTextCharFormat::WaveUnderline); break;
        default: break;
        }
    }
    if (c.strike)
        f.setFontStrikeOut(true);
    if (c.caps)
        f.setFontCapitalization(QFont::AllUppercase);
    else if (c.smallCaps)
        f.setFontCapitalization(QFont::SmallCaps);
    auto color = [this](int index) -> std::optional<QColor> {
        if (index <= 0 || std::size_t(index) >= colors_.size())
            return std::nullopt;
        return colors_[std::size_t(index)];
    };
    if (const auto fg = color(c.color))
        f.setForeground(*fg);
    if (const auto bg = c.highlight > 0 ? color(c.highlight) : color(c.background))
        f.setBackground(*bg);
    if (c.vertical == Vertical::Super)
        f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    else if (c.vertical == Vertical::Sub)
        f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    else if (c.raise != 0)
        f.setBaselineOffset(100.0 * c.raise / c.halfPoints);
    return f;
}

QTextBlockFormat Reader::blockFormat(const ParaState& p, bool pageBreak) const
{
    QTextBlockFormat b;
    if (p.alignment != Qt::AlignLeft)
        b.setAlignment(p.alignment);
    if (p.leftIndent)
        b.setLeftMargin(p.leftIndent / TwipsPerUnit);
    if (p.rightIndent)
        b.setRightMargin(p.rightIndent / TwipsPerUnit);
    if (p.firstIndent)
        b.setTextIndent(p.firstIndent / TwipsPerUnit);
    if (p.spaceBefore)
        b.setTopMargin(p.spaceBefore / TwipsPerUnit);
    if (p.spaceAfter)
        b.setBottomMargin(p.spaceAfter / TwipsPerUnit);
    if (p.lineSpacing > 0 && p.lineMultiple)
        b.setLineHeight(100.0 * p.lineSpacing / 240.0, QTextBlockFormat::ProportionalHeight);
    else if (p.lineSpacing > 0)
        b.setLineHeight(p.lineSpacing / TwipsPerUnit, QTextBlockFormat::MinimumHeight);
    else if (p.lineSpacing < 0)
        b.setLineHeight(-double(p.lineSpacing) / TwipsPerUnit, QTextBlockFormat::FixedHeight);
    if (!p.tabs.isEmpty())
        b.setTabPositions(p.tabs);
    if (pageBreak || p.pageBreakBefore)
        b.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    if (p.keepTogether)
        b.setNonBreakableLines(true);
    if (p.rightToLeft)
        b.setLayoutDirection(Qt::RightToLeft);
    return b;
}

// ---- header tables ----

void Reader::fontTableText(QByteArrayView bytes)
{
    for (char b : bytes)
        fontTableByte(static_cast<unsigned char>(b));
}

void Reader::fontTableByte(unsigned char byte)
{
    if (fontNumber_ < 0 || fontNameDone_)
        return;
    if (byte == ';') {
        finishFontEntry();
        return;
    }
    if (fontName_.size() < 256)
        fontName_.append(static_cast<char>(byte));
}

QString Reader::fontNameDecoded()
{
    // The name's bytes are in the font's own code page.
    RtfCodePage::Decoder decoder(fontCodePage_.value_or(documentCodePage_));
    QString name = decoder.decode(fontName_);
    fontName_.clear();
    return name;
}

void Reader::finishFontEntry()
{
    fontNameDone_ = true;
    fontNameText_ += fontNameDecoded();
    Font& font = fonts_[fontNumber_];
    font.name = fontNameText_.trimmed();
    fontNameText_.clear();
    font.codePage = fontCodePage_;
    charFormatsChanged(); // formats made before the table may name this font
}

void Reader::colorTableText(QByteArrayView bytes)
{
    for (char b : bytes) {
        if (b != ';')
            continue;
        if (colors_.size() < 65536) {
            colors_.push_back(colorGiven_ ? std::optional<QColor>(QColor(red_, green_, blue_)) : std::nullopt);
        }
        red_ = green_ = blue_ = 0;
        colorGiven_ = false;
    }
    charFormatsChanged();
}

void Reader::picture(QByteArrayView data, bool binary)
{
    if (blip_ == Blip::Other)
        return; // a format we don't show: its data is not kept
    if (binary)
        pictureBinary_ = true;
    pictureData_.append(data);
}

void Reader::finishPicture()
{
    const Blip blip = blip_;
    QByteArray data = std::move(pictureData_);
    pictureData_.clear();
    blip_ = Blip::None;
    if (blip != Blip::Png && blip != Blip::Jpeg)
        return;
    const Destination where = state().destination;
    if ((where != Destination::Body && where != Destination::Shell) || state().chars.hidden)
        return;
    // Hex digits, with blanks between them, unless the data came through \bin.
    QImage image;
    image.loadFromData(pictureBinary_ ? data : QByteArray::fromHex(data), blip == Blip::Png ? "PNG" : "JPEG");
    pictureBinary_ = false;
    if (image.isNull())
        return;
    const QUrl name(QStringLiteral("rtfimage:%1").arg(++images_));
    document_.addResource(QTextDocument::ImageResource, name, image);
    // The size shown: \picwgoal/\pichgoal in twips, else the picture's own, scaled.
    double width = picWGoal_ > 0 ? picWGoal_ / TwipsPerUnit : image.width();
    double height = picHGoal_ > 0 ? picHGoal_ / TwipsPerUnit : image.height();
    width *= std::clamp(picScaleX_, 1, 1000) / 100.0;
    height *= std::clamp(picScaleY_, 1, 1000) / 100.0;
    QTextImageFormat format;
    format.merge(currentCharFormat());
    format.setName(name.toString());
    format.setWidth(width);
    format.setHeight(height);
    prepareText();
    flushBytes();
    out_.appendImage(format);
}

} // namespace

void readRtf(QByteArrayView rtf, QTextDocument& document)
{
    Reader(rtf, document).run();
}
