// RTF files written by real programs (tests/fixtures/rtf, made by generate.sh there):
// the plain text the editor saves for each equals the text LibreOffice exports for it,
// apart from the differences listed below, where LibreOffice's text is wrong.
#include "document/Codec8Bit.h"
#include "platform/RichTextBox.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>

namespace {

QString corpusDir()
{
    return QStringLiteral(CORVANA_FIXTURES "/rtf");
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return file.readAll();
}

// What saving writes, as characters: the plain text and a closing CR LF.
QString savedText(const RichTextBox& box)
{
    return box.Text() + QStringLiteral("\r\n");
}

// LibreOffice's text export: UTF-8 with a byte order mark, LF after every paragraph.
QString libreOfficeText(const QString& path)
{
    QString text = QString::fromUtf8(fileBytes(path));
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    text.replace(QLatin1String("\n"), QLatin1String("\r\n"));
    return text;
}

// A place where LibreOffice's text is wrong: what it wrote and what the document shows.
struct Difference {
    const char* fixture;
    QString libreOffice;
    QString ours;
    const char* reason;
};

const QList<Difference>& differences()
{
    // A table row is one line, its cells separated by tabs; LibreOffice writes every
    // paragraph of every cell on a line of its own.
    static const char* const tableReason =
        "LibreOffice puts each table cell on lines of its own; the document shows a row as one line of "
        "tab-separated cells";
    static const char* const hiddenReason =
        "LibreOffice's text export includes text formatted hidden (\\v), which the document does not show";
    static const QList<Difference> list = {
        {"libreoffice-tables", u"Name\r\nAge\r\nTown\r\nAlice\r\n34\r\nLeeds\r\nBob\r\n\r\nYork\r\n"_qs,
         u"Name\tAge\tTown\r\nAlice\t34\tLeeds\r\nBob\t\tYork\r\n"_qs, tableReason},
        {"libreoffice-tables",
         u"Outer one\r\nInner A\r\nInner B\r\nInner C\r\nInner D\r\n\r\n\r\n\r\nOuter two\r\nOuter three\r\n"_qs,
         u"Outer one Inner A\tInner B Inner C\tInner D\t\t\r\nOuter two\tOuter three\r\n"_qs,
         "LibreOffice puts each cell on lines of its own; the document shows the outer row as one line, the nested "
         "table's cells separated by tabs and its rows by a blank, as paragraphs inside a cell are"},
        {"abiword-tables", u"Name\r\nAge\r\nTown\r\nAlice\r\n34\r\nLeeds\r\nBob\r\n\r\nYork\r\n"_qs,
         u"Name\tAge\tTown\r\nAlice\t34\tLeeds\r\nBob\t\tYork\r\n"_qs, tableReason},
        {"abiword-tables",
         u"Outer one\r\nInner A\r\nInner B\r\nInner C\r\nInner D\r\n\r\n\r\n\r\nOuter two\r\nOuter three\r\n"_qs,
         u"Outer one Inner A\tInner B Inner C\tInner D\t\r\nOuter two\tOuter three\r\n"_qs, tableReason},
        {"pandoc-pandoc",
         u"Fruit\r\n\r\nColour\r\n\r\nCount\r\n\r\nApple\r\n\r\nRed\r\n\r\n3\r\n\r\nBanana\r\n\r\nYellow\r\n\r\n12\r\n\r\n"_qs,
         u"Fruit\tColour\tCount\r\nApple\tRed\t3\r\nBanana\tYellow\t12\r\n"_qs, tableReason},
        {"libreoffice-lists",
         u"    \u2022 Apples\r\n    \u2022 Pears\r\n        \u25E6 Conference\r\n        \u25E6 Comice\r\n    \u2022 Bread\r\n"_qs,
         u"\u2022\tApples\r\n\u2022\tPears\r\n\u2022\tConference\r\n\u2022\tComice\r\n\u2022\tBread\r\n"_qs,
         "LibreOffice indents list items with blanks and puts a blank after the marker, and takes the second "
         "level's marker from its list table; the file's \\listtext shows each marker (\\u8226, a bullet) "
         "followed by a tab"},
        {"libreoffice-lists", u"    1. Open the lid\r\n    2. Pour the water\r\n    3. Close the lid\r\n"_qs,
         u" 1.\tOpen the lid\r\n 2.\tPour the water\r\n 3.\tClose the lid\r\n"_qs,
         "LibreOffice indents list items with blanks; the file's \\listtext is \" 1.\" and a tab"},
        {"abiword-lists", u"Shopping:\r\nSteps:\r\nDone.\r\n"_qs,
         u"Shopping:\r\n\tApples\r\n\tPears\r\n\tConference\r\n\tComice\r\n\tBread\r\nSteps:\r\n\tOpen the lid\r\n"
         u"\tPour the water\r\n\tClose the lid\r\nDone.\r\n"_qs,
         "AbiWord writes each list item's text inside its \\listtext group; LibreOffice drops list text and "
         "with it every item"},
        {"libreoffice-notes", u"Shown hidden text."_qs, u"Shown text."_qs, hiddenReason},
        {"abiword-notes", u"Shown hidden text."_qs, u"Shown text."_qs, hiddenReason},
        {"abiword-notes", u"inline.\r\n\r\n\r\nAfter"_qs, u"inline.\r\n\r\nAfter"_qs,
         "AbiWord writes the page break as the only content of a paragraph; LibreOffice splits that paragraph "
         "in two empty ones"},
        {"abiword-scripts", u"and\u2006 \u2006 beyond"_qs, u"and  beyond"_qs,
         "the file has two plain blanks between the words; LibreOffice's text has six-per-em spaces there"},
    };
    return list;
}

void loadRtf(RichTextBox& box, const QString& path)
{
    // As the open command does: the file's bytes as 8-bit characters.
    box.setTextRTF(Codec8Bit::decode(fileBytes(path)));
}

// The format of the character at a position.
QTextCharFormat formatAt(QTextDocument& document, int position)
{
    QTextCursor cursor(&document);
    cursor.setPosition(position + 1);
    return cursor.charFormat();
}

} // namespace

class TestRtfCorpus : public QObject {
    Q_OBJECT

private slots:
    void savedTextEqualsLibreOfficesText_data();
    void savedTextEqualsLibreOfficesText();
    void characterFormatsOfChosenRunsAreShown_data();
    void characterFormatsOfChosenRunsAreShown();
    void paragraphFormatsAreShown_data();
    void paragraphFormatsAreShown();
    void imagesAreShownAtTheirSize_data();
    void imagesAreShownAtTheirSize();
};

void TestRtfCorpus::savedTextEqualsLibreOfficesText_data()
{
    QTest::addColumn<QString>("rtf");
    const QStringList files = QDir(corpusDir()).entryList({QStringLiteral("*.rtf")}, QDir::Files, QDir::Name);
    QVERIFY(files.size() >= 10);
    for (const QString& file : files)
        QTest::newRow(qPrintable(file)) << corpusDir() + u'/' + file;
}

void TestRtfCorpus::savedTextEqualsLibreOfficesText()
{
    QFETCH(QString, rtf);
    RichTextBox box;
    loadRtf(box, rtf);
    QString expected = libreOfficeText(rtf.chopped(4) + QStringLiteral(".txt"));
    const QString fixture = QFileInfo(rtf).completeBaseName();
    for (const Difference& d : differences()) {
        if (fixture != QLatin1String(d.fixture))
            continue;
        // Each listed difference must still be there, once.
        QVERIFY2(expected.count(d.libreOffice) == 1, d.reason);
        expected.replace(d.libreOffice, d.ours);
    }
    const QString ours = savedText(box);
    if (ours != expected) {
        const QStringList a = ours.split(QStringLiteral("\r\n"));
        const QStringList b = expected.split(QStringLiteral("\r\n"));
        for (qsizetype i = 0; i < std::max(a.size(), b.size()); ++i) {
            if (a.value(i) != b.value(i)) {
                qWarning("line %lld differs:\n  ours:        %s\n  LibreOffice: %s", qlonglong(i + 1),
                         qPrintable(a.value(i)), qPrintable(b.value(i)));
            }
        }
    }
    QCOMPARE(ours, expected);
}

void TestRtfCorpus::characterFormatsOfChosenRunsAreShown_data()
{
    QTest::addColumn<QString>("fixture");
    QTest::addColumn<QString>("run"); // the characters whose format is checked
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("italic");
    QTest::addColumn<bool>("underline");
    QTest::addColumn<bool>("strike");
    QTest::addColumn<QString>("family"); // empty: not checked
    QTest::addColumn<double>("points");  // 0: not checked
    QTest::addColumn<QColor>("color");   // invalid: not checked

    for (const char* writer : {"libreoffice", "abiword"}) {
        const QString fixture = QString::fromLatin1(writer) + QStringLiteral("-formatting");
        auto row = [&](const char* name) -> QTestData& { return QTest::addRow("%s: %s", writer, name) << fixture; };
        row("bold") << u"bold words"_qs << true << false << false << false << u"Liberation Serif"_qs << 12.0
                    << QColor();
        row("italic") << u"italic words"_qs << false << true << false << false << u"Liberation Serif"_qs << 12.0
                      << QColor();
        row("underline") << u"underlined words"_qs << false << false << true << false << QString() << 0.0 << QColor();
        row("strike") << u"struck words"_qs << false << false << false << true << QString() << 0.0 << QColor();
        row("plain between") << u" in it."_qs << false << false << false << false << u"Liberation Serif"_qs << 12.0
                             << QColor();
        row("sans 14") << u"Sans at fourteen points"_qs << false << false << false << false << u"Liberation Sans"_qs
                       << 14.0 << QColor();
        row("mono 10") << u"mono at ten"_qs << false << false << false << false << u"Liberation Mono"_qs << 10.0
                       << QColor();
        row("red") << u"Red text"_qs << false << false << false << false << QString() << 0.0 << QColor(255, 0, 0);
        row("blue") << u"blue text"_qs << false << false << false << false << QString() << 0.0 << QColor(0, 0, 255);
        row("heading") << u"Quarterly Report"_qs << true << false << false << false << QString() << 0.0 << QColor();
    }
}

void TestRtfCorpus::characterFormatsOfChosenRunsAreShown()
{
    QFETCH(QString, fixture);
    QFETCH(QString, run);
    RichTextBox box;
    loadRtf(box, corpusDir() + u'/' + fixture + QStringLiteral(".rtf"));
    QTextDocument& document = *box.document();
    const int at = document.toRawText().indexOf(run);
    QVERIFY2(at >= 0, qPrintable(run));
    QFETCH(QString, family);
    QFETCH(double, points);
    QFETCH(QColor, color);
    for (int i = at; i < at + run.size(); ++i) {
        const QTextCharFormat f = formatAt(document, i);
        QTEST(f.fontWeight() >= QFont::Bold, "bold");
        QTEST(f.fontItalic(), "italic");
        QTEST(f.fontUnderline(), "underline");
        QTEST(f.fontStrikeOut(), "strike");
        if (!family.isEmpty())
            QCOMPARE(f.fontFamilies().toStringList().value(0), family);
        if (points > 0)
            QCOMPARE(f.fontPointSize(), points);
        if (color.isValid())
            QCOMPARE(f.foreground().color(), color);
    }
}

void TestRtfCorpus::paragraphFormatsAreShown_data()
{
    QTest::addColumn<QString>("fixture");
    QTest::addColumn<QString>("paragraph"); // the start of the paragraph checked
    QTest::addColumn<int>("alignment");
    QTest::addColumn<double>("leftMargin"); // document units, 15 twips each

    for (const char* writer : {"libreoffice", "abiword"}) {
        const QString fixture = QString::fromLatin1(writer) + QStringLiteral("-formatting");
        auto row = [&](const char* name) -> QTestData& { return QTest::addRow("%s: %s", writer, name) << fixture; };
        row("left") << u"This paragraph"_qs << int(Qt::AlignLeft) << 0.0;
        row("centre") << u"A centred line."_qs << int(Qt::AlignHCenter) << 0.0;
        row("right") << u"A right-aligned line."_qs << int(Qt::AlignRight) << 0.0;
        row("justified") << u"A justified paragraph"_qs << int(Qt::AlignJustify) << 0.0;
        row("indented an inch") << u"Indented by one inch"_qs << int(Qt::AlignLeft) << 96.0;
    }
}

void TestRtfCorpus::paragraphFormatsAreShown()
{
    QFETCH(QString, fixture);
    QFETCH(QString, paragraph);
    RichTextBox box;
    loadRtf(box, corpusDir() + u'/' + fixture + QStringLiteral(".rtf"));
    const QTextDocument& document = *box.document();
    const int at = document.toRawText().indexOf(paragraph);
    QVERIFY2(at >= 0, qPrintable(paragraph));
    const QTextBlockFormat f = document.findBlock(at).blockFormat();
    QTEST(int(f.alignment() & Qt::AlignHorizontal_Mask), "alignment");
    QFETCH(double, leftMargin);
    QCOMPARE(qRound(f.leftMargin()), qRound(leftMargin));
}

void TestRtfCorpus::imagesAreShownAtTheirSize_data()
{
    QTest::addColumn<QString>("fixture");
    QTest::newRow("LibreOffice") << u"libreoffice-notes"_qs;
    QTest::newRow("AbiWord") << u"abiword-notes"_qs;
}

void TestRtfCorpus::imagesAreShownAtTheirSize()
{
    QFETCH(QString, fixture);
    RichTextBox box;
    loadRtf(box, corpusDir() + u'/' + fixture + QStringLiteral(".rtf"));
    QTextDocument& document = *box.document();
    const int at = document.toRawText().indexOf(QChar::ObjectReplacementCharacter);
    QVERIFY(at >= 0);
    QCOMPARE(document.toRawText().count(QChar::ObjectReplacementCharacter), 1);
    const QTextCharFormat f = formatAt(document, at);
    QVERIFY(f.isImageFormat());
    const QTextImageFormat image = f.toImageFormat();
    // 1.27 cm by 0.847 cm: 720 by 480 twips.
    QCOMPARE(qRound(image.width()), 48);
    QCOMPARE(qRound(image.height()), 32);
    const QImage stored = document.resource(QTextDocument::ImageResource, QUrl(image.name())).value<QImage>();
    QCOMPARE(stored.size(), QSize(12, 8)); // the picture's own pixels
    QCOMPARE(stored.pixelColor(0, 0), QColor(200, 30, 30));
}

QTEST_MAIN(TestRtfCorpus)
#include "tst_rtf_corpus.moc"
