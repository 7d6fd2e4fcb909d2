// The RTF reader: the text and the formats a document gets from Rich Text Format.
#include "platform/RichTextBox.h"
#include "platform/RtfReader.h"

#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {

// The document's text with each paragraph break as \n and each line break as \v, so
// that the two can be told apart.
QString shownText(const QTextDocument& document)
{
    QString text = document.toRawText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    text.replace(QChar::LineSeparator, u'\v');
    return text;
}

QString read(const QByteArray& rtf)
{
    QTextDocument document;
    readRtf(rtf, document);
    return shownText(document);
}

// The format of the character at a position (the one after the position's gap).
QTextCharFormat formatAt(QTextDocument& document, int position)
{
    QTextCursor cursor(&document);
    cursor.setPosition(position + 1);
    return cursor.charFormat();
}

const char InitialContent[] =
    "{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl{\\f0\\fnil MS Sans Serif;}{\\f1\\fnil\\fcharset2 "
    "Symbol;}{\\f2\\fswiss\\fprq2 System;}{\\f3\\fnil\\fprq2 MS Sans Serif;}}\r\n"
    "{\\colortbl\\red0\\green0\\blue0;}\r\n"
    "\\deflang1033\\pard\\plain\\f0\\fs24 \r\n"
    "\\par }\r\n";

} // namespace

class TestRtf : public QObject {
    Q_OBJECT

private slots:
    void textIsReadAsShown_data();
    void textIsReadAsShown();
    void initialContentIsOneEmptyParagraphInItsFont();
    void characterFormatsAreRead_data();
    void characterFormatsAreRead();
    void everyRunKeepsItsFormatInALongDocument();
    void paragraphAlignmentIsRead_data();
    void paragraphAlignmentIsRead();
    void readingReplacesTheWholeDocument();
    void brokenInputLoadsAsFarAsItGoes_data();
    void brokenInputLoadsAsFarAsItGoes();
};

void TestRtf::textIsReadAsShown_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text");

    QTest::newRow("plain words") << QByteArray("{\\rtf1 Hello world}") << "Hello world";
    QTest::newRow("blank after a control word is its delimiter")
        << QByteArray("{\\rtf1\\b bold\\b0  normal}") << "bold normal";
    QTest::newRow("line ends in the file are not text")
        << QByteArray("{\\rtf1 one\r\ntwo\nthree\rfour}") << "onetwothreefour";
    QTest::newRow("paragraphs") << QByteArray("{\\rtf1 one\\par two\\par three}") << "one\ntwo\nthree";
    QTest::newRow("the last paragraph mark opens no empty paragraph")
        << QByteArray("{\\rtf1 one\\par two\\par}") << "one\ntwo";
    QTest::newRow("empty paragraphs between kept")
        << QByteArray("{\\rtf1 one\\par\\par\\par two\\par}") << "one\n\n\ntwo";
    QTest::newRow("paragraph mark inside a group") << QByteArray("{\\rtf1 {one\\par}two}") << "one\ntwo";
    QTest::newRow("line break stays inside the paragraph") << QByteArray("{\\rtf1 one\\line two}") << "one\vtwo";
    QTest::newRow("tab") << QByteArray("{\\rtf1 a\\tab b}") << "a\tb";
    QTest::newRow("backslash before a line end is a paragraph mark")
        << QByteArray("{\\rtf1 one\\\r\ntwo}") << "one\ntwo";
    QTest::newRow("escaped markup characters") << QByteArray("{\\rtf1 \\\\ \\{ \\}}") << "\\ { }";
    QTest::newRow("hex bytes in Windows-1252 by default")
        << QByteArray("{\\rtf1 caf\\'e9 \\'80 \\'93q\\'94}") << QString::fromUtf8("café € “q”");
    QTest::newRow("hex bytes with upper-case digits") << QByteArray("{\\rtf1 \\'C4\\'d6}") << QString::fromUtf8("ÄÖ");
    QTest::newRow("raw bytes above 127 in the document's code page")
        << QByteArray("{\\rtf1\\ansi\\ansicpg1252 na\xefve}") << QString::fromUtf8("naïve");
    QTest::newRow("ansicpg sets the code page of \\'hh")
        << QByteArray("{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0\\'e8\\'e2\\'e5\\'f2}") << QString::fromUtf8("Привет");
    QTest::newRow("unicode with one fallback character skipped")
        << QByteArray("{\\rtf1 a\\u8364?b}") << QString::fromUtf8("a€b");
    QTest::newRow("unicode fallback as a hex byte") << QByteArray("{\\rtf1 \\u8364\\'80x}") << QString::fromUtf8("€x");
    QTest::newRow("uc2 skips two fallback characters")
        << QByteArray("{\\rtf1\\uc2 \\u8364\\'80\\'80x}") << QString::fromUtf8("€x");
    QTest::newRow("uc0 skips nothing") << QByteArray("{\\rtf1\\uc0 \\u8364 x}") << QString::fromUtf8("€x");
    QTest::newRow("uc is restored at the end of its group")
        << QByteArray("{\\rtf1 {\\uc0 \\u233}\\u233?}") << QString::fromUtf8("éé");
    QTest::newRow("the fallback ends at a group's end")
        << QByteArray("{\\rtf1\\uc3 {\\u233}xyz}") << QString::fromUtf8("éxyz");
    QTest::newRow("negative unicode values") << QByteArray("{\\rtf1 \\u-4064?}") << QString(QChar(0xF020));
    QTest::newRow("font and colour tables are not text")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red255\\green0\\blue0;}text}") << "text";
    QTest::newRow("ignorable destinations are left out whole")
        << QByteArray("{\\rtf1 a{\\*\\unknownthing hidden {nested} text}b}") << "ab";
    QTest::newRow("an unknown word without \\* keeps its text") << QByteArray("{\\rtf1 a{\\unknownword b}c}") << "abc";
    QTest::newRow("formatting words leave no trace")
        << QByteArray("{\\rtf1\\plain\\b\\i\\ul\\strike\\f0\\fs40 x}") << "x";

    // Code pages: the document's, and each font's own through \fcharset or \cpg.
    QTest::newRow("Central European") << QByteArray("{\\rtf1\\ansi\\ansicpg1250 \\'9ai\\'9d}")
                                      << QString::fromUtf8("šiť");
    QTest::newRow("Greek font")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset161 Arial Greek;}}\\f1 \\'e1\\'e2\\'e3}")
        << QString::fromUtf8("αβγ");
    QTest::newRow("Turkish font") << QByteArray("{\\rtf1{\\fonttbl{\\f1\\fcharset162 Arial;}}\\f1 \\'fd\\'f0\\'fe}")
                                  << QString::fromUtf8("ığş");
    QTest::newRow("Hebrew font") << QByteArray("{\\rtf1{\\fonttbl{\\f1\\fcharset177 David;}}\\f1 \\'f9\\'ec\\'e5\\'ed}")
                                 << QString::fromUtf8("שלום");
    QTest::newRow("Arabic font") << QByteArray(
                                        "{\\rtf1{\\fonttbl{\\f1\\fcharset178 Arial;}}\\f1 \\'e3\\'d1\\'cd\\'c8\\'c7}")
                                 << QString::fromUtf8("مرحبا");
    QTest::newRow("Baltic font") << QByteArray("{\\rtf1{\\fonttbl{\\f1\\fcharset186 Arial;}}\\f1 \\'e0\\'e8\\'fb}")
                                 << QString::fromUtf8("ąčū");
    QTest::newRow("Thai font") << QByteArray("{\\rtf1{\\fonttbl{\\f1\\fcharset222 Tahoma;}}\\f1 \\'a1\\'d2}")
                               << QString::fromUtf8("กา");
    QTest::newRow("Cyrillic font among Western ones")
        << QByteArray(
               "{\\rtf1{\\fonttbl{\\f0\\fcharset0 Arial;}{\\f1\\fcharset204 Arial;}}\\f0 \\'e9 {\\f1 \\'e9}\\'e9}")
        << QString::fromUtf8("é йé");
    QTest::newRow("cpg wins over fcharset")
        << QByteArray("{\\rtf1{\\fonttbl{\\f1\\fcharset0\\cpg1251 X;}}\\f1 \\'e0}") << QString::fromUtf8("а");
    QTest::newRow("Japanese: two bytes make one character")
        << QByteArray("{\\rtf1{\\fonttbl{\\f1\\fcharset128 MS Mincho;}}\\f1 \\'93\\'fa\\'96\\'7b}")
        << QString::fromUtf8("日本");
    QTest::newRow("Japanese: a raw trail byte after an escaped lead byte")
        << QByteArray("{\\rtf1{\\fonttbl{\\f1\\fcharset128 MS Mincho;}}\\f1 \\'82\\'a0\\'83A}")
        << QString::fromUtf8("あア");
    QTest::newRow("Simplified Chinese") << QByteArray("{\\rtf1\\ansicpg936 \\'d6\\'d0\\'ce\\'c4}")
                                        << QString::fromUtf8("中文");
    QTest::newRow("Traditional Chinese")
        << QByteArray("{\\rtf1{\\fonttbl{\\f1\\fcharset136 MingLiU;}}\\f1 \\'a4\\'a4\\'a4\\'e5}")
        << QString::fromUtf8("中文");
    QTest::newRow("Korean") << QByteArray("{\\rtf1{\\fonttbl{\\f1\\fcharset129 Batang;}}\\f1 \\'c7\\'d1\\'b1\\'db}")
                            << QString::fromUtf8("한글");
    QTest::newRow("double-byte fallback of unicode skipped with uc2")
        << QByteArray("{\\rtf1{\\fonttbl{\\f1\\fcharset128 MS Mincho;}}\\f1\\uc2 \\u26085\\'93\\'fa!}")
        << QString::fromUtf8("日!");
    QTest::newRow("a font name in its own code page")
        << QByteArray("{\\rtf1{\\fonttbl{\\f1\\fcharset204 \\'c0\\'f0\\'e8\\'e0\\'eb;}}\\f1 x}") << "x";
    QTest::newRow("Symbol font bytes")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset2 Symbol;}}{\\f1 a\\'b7\\'ae}}")
        << QString::fromUtf8("α•→");
    QTest::newRow("Symbol font private-use characters")
        << QByteArray("{\\rtf1{\\fonttbl{\\f1\\fcharset2 Symbol;}}\\f1 \\u61623\\'b7}") << QString::fromUtf8("•");
    QTest::newRow("surrogate pair") << QByteArray("{\\rtf1 \\u-10179?\\u-8704?}") << QString::fromUtf8("😀");
    QTest::newRow("unicode paragraph separator is a line break") << QByteArray("{\\rtf1 a\\u8233?b}") << "a\vb";

    // Symbols
    QTest::newRow("special characters")
        << QByteArray(
               "{\\rtf1 a\\~b\\-c\\_d\\emdash\\endash\\emspace\\enspace\\bullet\\lquote\\rquote\\ldblquote\\rdblquote}")
        << QString::fromUtf8("a\u00A0b\u00ADc\u2011d—–\u2003\u2002•‘’“”");
    QTest::newRow("bin data is not text") << QByteArray("{\\rtf1 a{\\*\\x\\bin3 }}}}b}") << "ab";
    QTest::newRow("bin data in the body is not text") << QByteArray("{\\rtf1 a\\bin2 xyb}") << "ab";

    // Destinations
    QTest::newRow("info and generator left out")
        << QByteArray("{\\rtf1{\\info{\\title T}{\\author A}}{\\*\\generator G;}body}") << "body";
    QTest::newRow("style sheet is not text")
        << QByteArray("{\\rtf1{\\stylesheet{\\s0 Normal;}{\\s1\\b Heading 1;}{\\*\\cs2 Emphasis;}}\\s1 body}")
        << "body";
    QTest::newRow("headers, footers and footnotes kept out of the body")
        << QByteArray(
               "{\\rtf1{\\header head}{\\footerr foot}a{\\super\\chftn}{\\*\\footnote\\chftn note}b{\\footnote c}}")
        << "a1b";
    QTest::newRow("field shows its result")
        << QByteArray("{\\rtf1 see {\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt {\\ul here}}}.}") << "see here.";
    QTest::newRow("field instruction without star")
        << QByteArray("{\\rtf1 {\\field{\\fldinst PAGE}{\\fldrslt 3}}}") << "3";
    QTest::newRow("object shows its result")
        << QByteArray("{\\rtf1 {\\object\\objemb{\\*\\objclass Paint}{\\*\\objdata 0102}{\\result shown}}}") << "shown";
    QTest::newRow("list text is the marker")
        << QByteArray("{\\rtf1 {\\listtext\\'95\\tab}one\\par{\\pntext 2.\\tab}two\\par}")
        << QString::fromUtf8("•\tone\n2.\ttwo");
    QTest::newRow("old numbering definitions left out")
        << QByteArray("{\\rtf1{\\*\\pn\\pnlvlblt{\\pntxtb x}}item}") << "item";
    QTest::newRow("bookmarks left out") << QByteArray("{\\rtf1 a{\\*\\bkmkstart m}b{\\*\\bkmkend m}c}") << "abc";
    QTest::newRow("unicode alternative preferred") << QByteArray("{\\rtf1{\\upr{ansi}{\\*\\ud{uni}}}}") << "uni";
    QTest::newRow("pictures of other kinds left out")
        << QByteArray("{\\rtf1 a{\\pict\\wmetafile8\\picw10\\pich10 0102030405}b}") << "ab";
    QTest::newRow("a second picture for old readers left out")
        << QByteArray("{\\rtf1 a{\\nonshppict{\\pict\\wmetafile8 0102}}b}") << "ab";

    // Hidden text and page breaks
    QTest::newRow("hidden text not shown")
        << QByteArray("{\\rtf1 shown{\\v hidden} too\\v  gone\\v0  back}") << "shown too back";
    QTest::newRow("page break ends the paragraph") << QByteArray("{\\rtf1 one\\page two}") << "one\ntwo";
    QTest::newRow("page break after a paragraph mark adds none")
        << QByteArray("{\\rtf1 one\\par\\page two\\par}") << "one\ntwo";
    QTest::newRow("section break ends the paragraph") << QByteArray("{\\rtf1 one\\sect two\\sect}") << "one\ntwo";
    QTest::newRow("paragraph marks inside groups") << QByteArray("{\\rtf1{a\\par}{{b\\par}}c}") << "a\nb\nc";

    // Tables: one line per row, cells separated by tabs
    QTest::newRow("table rows") << QByteArray(
                                       "{\\rtf1 before\\par\\trowd\\cellx1000\\cellx2000\\intbl a\\cell b\\cell\\row"
                                       "\\trowd\\cellx1000\\cellx2000\\intbl c\\cell d\\cell\\row\\pard after\\par}")
                                << "before\na\tb\nc\td\nafter";
    QTest::newRow("empty cells keep their place")
        << QByteArray("{\\rtf1\\trowd\\intbl\\cell b\\cell\\cell d\\cell\\row}") << "\tb\t\td";
    QTest::newRow("paragraphs inside a cell stay on the row's line")
        << QByteArray("{\\rtf1\\trowd\\intbl one\\par two\\cell three\\cell\\row}") << "one two\tthree";
    QTest::newRow("nested table inside a cell")
        << QByteArray(
               "{\\rtf1\\trowd\\intbl outer\\par\\itap2 A\\nestcell B\\nestcell{\\*\\nesttableprops\\trowd\\nestrow}"
               "{\\nonesttables\\par}\\itap2 C\\nestcell D\\nestcell{\\*\\nesttableprops\\trowd\\nestrow}"
               "{\\nonesttables\\par}\\itap1\\cell last\\cell\\row}")
        << "outer A\tB C\tD\tlast";
    QTest::newRow("empty document") << QByteArray("{\\rtf1}") << "";
    QTest::newRow("after the document's group nothing is read") << QByteArray("{\\rtf1 a}b") << "a";
}

void TestRtf::textIsReadAsShown()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    QCOMPARE(read(rtf), text);
}

void TestRtf::initialContentIsOneEmptyParagraphInItsFont()
{
    QTextDocument document;
    document.setPlainText(QStringLiteral("what was there before"));
    readRtf(QByteArray(InitialContent), document);

    QCOMPARE(document.blockCount(), 1);
    QCOMPARE(document.toRawText(), QString());
    const QTextCharFormat mark = document.firstBlock().charFormat();
    QCOMPARE(mark.fontFamilies().toStringList(), QStringList{QStringLiteral("MS Sans Serif")});
    QCOMPARE(mark.fontPointSize(), 12.0);

    // What is typed at the caret of the loaded document takes that font.
    QTextCursor caret(&document);
    QCOMPARE(caret.charFormat().fontFamilies().toStringList(), QStringList{QStringLiteral("MS Sans Serif")});
    caret.insertText(QStringLiteral("typed"));
    const QTextCharFormat typed = formatAt(document, 0);
    QCOMPARE(typed.fontFamilies().toStringList(), QStringList{QStringLiteral("MS Sans Serif")});
    QCOMPARE(typed.fontPointSize(), 12.0);
    QVERIFY(typed.fontWeight() <= QFont::Normal);

    // The editing control gives the same format to its caret after the load.
    RichTextBox box;
    box.setTextRTF(QString::fromLatin1(InitialContent));
    QCOMPARE(box.Text(), QString());
    QCOMPARE(box.currentCharFormat().fontFamilies().toStringList(), QStringList{QStringLiteral("MS Sans Serif")});
    QCOMPARE(box.currentCharFormat().fontPointSize(), 12.0);
}

void TestRtf::characterFormatsAreRead_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("word"); // the characters whose format is checked
    QTest::addColumn<QString>("family");
    QTest::addColumn<double>("points");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("italic");
    QTest::addColumn<bool>("underline");
    QTest::addColumn<bool>("strike");
    QTest::addColumn<QColor>("color"); // invalid: no colour of its own

    const QByteArray header = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman Times New Roman;}}"
                              "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}";
    QTest::newRow("default font and size") << header + "plain}"
                                           << "plain"
                                           << "Arial" << 12.0 << false << false << false << false << QColor();
    QTest::newRow("bold") << header + "a \\b bold\\b0  b}"
                          << "bold"
                          << "Arial" << 12.0 << true << false << false << false << QColor();
    QTest::newRow("bold ends with b0") << header + "\\b a\\b0  after}"
                                       << "after"
                                       << "Arial" << 12.0 << false << false << false << false << QColor();
    QTest::newRow("italic in a group") << header + "{\\i it}out}"
                                       << "it"
                                       << "Arial" << 12.0 << false << true << false << false << QColor();
    QTest::newRow("group end restores") << header + "{\\i it}out}"
                                        << "out"
                                        << "Arial" << 12.0 << false << false << false << false << QColor();
    QTest::newRow("underline") << header + "\\ul under\\ulnone  x}"
                               << "under"
                               << "Arial" << 12.0 << false << false << true << false << QColor();
    QTest::newRow("ulnone ends underline") << header + "\\ul a\\ulnone after}"
                                           << "after"
                                           << "Arial" << 12.0 << false << false << false << false << QColor();
    QTest::newRow("strike") << header + "\\strike gone}"
                            << "gone"
                            << "Arial" << 12.0 << false << false << false << true << QColor();
    QTest::newRow("font and size") << header + "\\f1\\fs36 big}"
                                   << "big"
                                   << "Times New Roman" << 18.0 << false << false << false << false << QColor();
    QTest::newRow("odd half-points") << header + "\\fs21 small}"
                                     << "small"
                                     << "Arial" << 10.5 << false << false << false << false << QColor();
    QTest::newRow("colour") << header + "\\cf1 red\\cf0  x}"
                            << "red"
                            << "Arial" << 12.0 << false << false << false << false << QColor(255, 0, 0);
    QTest::newRow("cf0 is the automatic colour") << header + "\\cf2 a\\cf0 auto}"
                                                 << "auto"
                                                 << "Arial" << 12.0 << false << false << false << false << QColor();
    QTest::newRow("plain resets everything") << header + "\\b\\i\\ul\\f1\\fs40\\cf1 a\\plain reset}"
                                             << "reset"
                                             << "Arial" << 12.0 << false << false << false << false << QColor();
    QTest::newRow("a font missing from the table is the default font")
        << header + "\\f7 missing}"
        << "missing"
        << "Arial" << 12.0 << false << false << false << false << QColor();
    QTest::newRow("a plain first word before bold text")
        << header + "first \\b one two three four five six seven eight nine ten}"
        << "first"
        << "Arial" << 12.0 << false << false << false << false << QColor();
    QTest::newRow("bold text after a plain first word")
        << header + "first \\b one two three four five six seven eight nine ten}"
        << "seven"
        << "Arial" << 12.0 << true << false << false << false << QColor();
    QTest::newRow("fonts listed without groups")
        << QByteArray("{\\rtf1{\\fonttbl\\f0\\fswiss Arial;\\f1\\fmodern Courier New;}\\f1 mono}") << "mono"
        << "Courier New" << 12.0 << false << false << false << false << QColor();
}

void TestRtf::characterFormatsAreRead()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, word);
    QTextDocument document;
    readRtf(rtf, document);
    const int at = document.toRawText().indexOf(word);
    QVERIFY2(at >= 0, qPrintable(document.toRawText()));

    // Every character of the word has the format, not just its first.
    for (int i = at; i < at + word.size(); ++i) {
        const QTextCharFormat f = formatAt(document, i);
        QTEST(f.fontFamilies().toStringList().value(0), "family");
        QTEST(f.fontPointSize(), "points");
        QTEST(f.fontWeight() >= QFont::Bold, "bold");
        QTEST(f.fontItalic(), "italic");
        QTEST(f.fontUnderline(), "underline");
        QTEST(f.fontStrikeOut(), "strike");
        QFETCH(QColor, color);
        if (color.isValid())
            QCOMPARE(f.foreground().color(), color);
        else
            QVERIFY(!f.hasProperty(QTextFormat::ForegroundBrush));
    }
}

void TestRtf::everyRunKeepsItsFormatInALongDocument()
{
    // More runs than the reader gathers into one insertion, alternating bold and plain,
    // with a paragraph now and then: each character keeps its own run's format.
    QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}";
    constexpr int runs = 70000;
    for (int i = 0; i < runs; ++i) {
        rtf += "{\\b x}y";
        if (i % 997 == 996)
            rtf += "\\par ";
    }
    rtf += "}";
    QTextDocument document;
    readRtf(rtf, document);
    int bold = 0, plain = 0;
    for (QTextBlock block = document.firstBlock(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const bool isBold = fragment.charFormat().fontWeight() >= QFont::Bold;
            for (QChar c : fragment.text()) {
                QVERIFY2((c == u'x') == isBold, qPrintable(QStringLiteral("'%1' in block %2 is %3")
                                                               .arg(c)
                                                               .arg(block.blockNumber())
                                                               .arg(isBold ? "bold" : "plain")));
                ++(isBold ? bold : plain);
            }
        }
    }
    QCOMPARE(bold, runs);
    QCOMPARE(plain, runs);
}

void TestRtf::paragraphAlignmentIsRead_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QList<int>>("alignments"); // Qt::Alignment of each paragraph

    const int left = Qt::AlignLeft, centre = Qt::AlignHCenter, right = Qt::AlignRight, justify = Qt::AlignJustify;
    QTest::newRow("each alignment")
        << QByteArray("{\\rtf1\\pard\\ql l\\par\\pard\\qc c\\par\\pard\\qr r\\par\\pard\\qj j\\par}")
        << QList<int>{left, centre, right, justify};
    QTest::newRow("alignment carries on until pard")
        << QByteArray("{\\rtf1\\qc a\\par b\\par\\pard c\\par}") << QList<int>{centre, centre, left};
    QTest::newRow("the last paragraph without a mark")
        << QByteArray("{\\rtf1 a\\par\\qr b}") << QList<int>{left, right};
    QTest::newRow("a style gives its alignment")
        << QByteArray("{\\rtf1{\\stylesheet{\\s0 Normal;}{\\s1\\qc Centred;}}\\pard\\s1 a\\par\\pard\\s0 b}")
        << QList<int>{centre, left};
    QTest::newRow("the paragraph's own alignment wins over its style's")
        << QByteArray("{\\rtf1{\\stylesheet{\\s1\\qc Centred;}}\\pard\\qr\\s1 a}") << QList<int>{right};
    QTest::newRow("an empty paragraph keeps its alignment")
        << QByteArray("{\\rtf1\\qc\\par\\pard x}") << QList<int>{centre, left};
}

void TestRtf::paragraphAlignmentIsRead()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QList<int>, alignments);
    QTextDocument document;
    readRtf(rtf, document);
    QCOMPARE(document.blockCount(), alignments.size());
    QTextBlock block = document.firstBlock();
    for (int expected : alignments) {
        QCOMPARE(int(block.blockFormat().alignment() & Qt::AlignHorizontal_Mask), expected);
        block = block.next();
    }
}

void TestRtf::readingReplacesTheWholeDocument()
{
    QTextDocument document;
    readRtf("{\\rtf1 first\\par second}", document);
    readRtf("{\\rtf1 \\qc third}", document);
    QCOMPARE(shownText(document), QStringLiteral("third"));
    QCOMPARE(document.blockCount(), 1);
}

void TestRtf::brokenInputLoadsAsFarAsItGoes_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text");

    QTest::newRow("missing closing braces") << QByteArray("{\\rtf1 a{\\b b{\\i c") << "abc";
    QTest::newRow("too many closing braces") << QByteArray("{\\rtf1 a}}}} b") << "a";
    QTest::newRow("closing braces inside") << QByteArray("{\\rtf1 {a}}}b}") << "a";
    QTest::newRow("cut off in a control word") << QByteArray("{\\rtf1 abc\\pa") << "abc";
    QTest::newRow("cut off after a backslash") << QByteArray("{\\rtf1 abc\\") << "abc";
    QTest::newRow("cut off in a hex byte")
        << QByteArray("{\\rtf1 abc\\'4") << "abc"; // a control character shows nothing
    QTest::newRow("hex byte without digits") << QByteArray("{\\rtf1 a\\'zz}") << "azz";
    QTest::newRow("cut off in the font table") << QByteArray("{\\rtf1{\\fonttbl{\\f0 Ari") << "";
    QTest::newRow("cut off in a skipped group") << QByteArray("{\\rtf1 a{\\*\\x b") << "a";
    QTest::newRow("cut off after unicode") << QByteArray("{\\rtf1 a\\u233") << QString::fromUtf8("aé");
}

void TestRtf::brokenInputLoadsAsFarAsItGoes()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    QCOMPARE(read(rtf), text);
}

QTEST_MAIN(TestRtf)
#include "tst_rtf.moc"
