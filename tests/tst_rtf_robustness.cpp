// Broken and hostile RTF: each input loads, in time linear in its size, and leaves a
// document that can be edited. What can't be read is shown as far as it was read.
#include "platform/RtfReader.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

namespace {

// A bound far above what any of these inputs takes (well under a second each); it only
// tells a hang or a quadratic loop from a load.
constexpr qint64 HangBoundMs = 30000;

QByteArray repeated(const QByteArray& piece, qsizetype times)
{
    return piece.repeated(times);
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return file.readAll();
}

// The document can still be edited: text typed at its end is there to read back.
void checkUsable(QTextDocument& document)
{
    QTextCursor cursor(&document);
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(QStringLiteral("typed"));
    QVERIFY(document.toRawText().endsWith(QStringLiteral("typed")));
    QVERIFY(document.documentLayout()->documentSize().height() >= 0);
}

} // namespace

class TestRtfRobustness : public QObject {
    Q_OBJECT

private slots:
    void hostileInputLoads_data();
    void hostileInputLoads();
    void fileCutOffAnywhereShowsWhatCameBefore_data();
    void fileCutOffAnywhereShowsWhatCameBefore();
};

void TestRtfRobustness::hostileInputLoads_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text"); // the document's text after the load

    QTest::newRow("100,000 nested groups")
        << QByteArray("{\\rtf1 ") + repeated("{\\b ", 100000) + "deep" + repeated("}", 100000) + " after}"
        << "deep after";
    QTest::newRow("100,000 nested groups never closed") << QByteArray("{\\rtf1 a") + repeated("{", 100000) + "b"
                                                        << "ab";
    QTest::newRow("10 MB of opening braces") << QByteArray("{\\rtf1 x") + repeated("{", 10 << 20) << "x";
    QTest::newRow("10 MB of closing braces") << QByteArray("{\\rtf1 x") + repeated("}", 10 << 20) << "x";
    QTest::newRow("bin longer than the file") << QByteArray("{\\rtf1 a\\bin999999999 xyz}") << "a";
    QTest::newRow("bin with the largest number") << QByteArray("{\\rtf1 a\\bin2147483647 xyz}") << "a";
    QTest::newRow("bin with a negative length") << QByteArray("{\\rtf1 a\\bin-5 b}") << "ab";
    QTest::newRow("control word of 10,000 letters") << QByteArray("{\\rtf1 a\\") + repeated("x", 10000) + " b}"
                                                    << "ab";
    QTest::newRow("parameter of 10,000 digits") << QByteArray("{\\rtf1 a\\fs") + repeated("9", 10000) + " b}"
                                                << "ab";
    QTest::newRow("huge and negative numbers")
        << QByteArray("{\\rtf1{\\fonttbl{\\f-1 A;}{\\f2147483647 B;}}{\\colortbl;\\red-7\\green999999\\blue3;}"
                      "\\fs99999999999\\fs-5\\f-1\\cf-3\\cf999999\\li-2147483648\\ri2147483647\\fi-99999999999"
                      "\\sb-1\\sa99999999\\sl-2147483648\\slmult1\\up-2147483648\\dn2147483647\\tx-5\\tx99999999 text}")
        << "text";
    QTest::newRow("uc out of range") << QByteArray("{\\rtf1\\uc-1 \\u233 a{\\uc99999999 \\u233 bcd}e}")
                                     << QString::fromUtf8("éaée");
    QTest::newRow("unicode out of range")
        << QByteArray("{\\rtf1\\uc0 \\u99999999999 \\u-99999999 x}") << QString::fromUtf8("\uFFFD\uFFFDx");
    QTest::newRow("NUL bytes") << QByteArray("{\\rtf1 a\0b\\\0c\\'00d\\u0?e}", 24) << "abcde";
    QTest::newRow("a million bare hex escapes") << QByteArray("{\\rtf1 a") + repeated("\\'", 1000000) + " b}"
                                                << "a b";
    QTest::newRow("a million backslashes") << QByteArray("{\\rtf1 a") + repeated("\\", 1000001)
                                           << QStringLiteral("a") + QStringLiteral("\\").repeated(500000);
    QTest::newRow("hundred thousand fonts")
        << QByteArray("{\\rtf1{\\fonttbl") + repeated("{\\f1\\fcharset128 F;}", 100000) + "}x}"
        << "x";
    QTest::newRow("hundred thousand paragraphs in a table")
        << QByteArray("{\\rtf1\\intbl ") + repeated("a\\par ", 100000) + "\\cell\\row}"
        << (QStringLiteral("a ").repeated(100000).chopped(1));
    QTest::newRow("picture data that is not a picture")
        << QByteArray("{\\rtf1 a{\\pict\\pngblip\\picwgoal-99\\pichgoal99999999 ") + repeated("zz12", 100000) + "}b}"
        << "ab";
    QTest::newRow("picture cut off") << QByteArray("{\\rtf1 a{\\pict\\jpegblip ffd8ffe0") << "a";
    QTest::newRow("stray ignorable marks") << QByteArray("{\\rtf1 \\*a\\*{\\*}b\\*\\*\\*\\par c}") << "ab\nc";
    QTest::newRow("not RTF at all") << QByteArray("plain words, no markup") << "plain words, no markup";
    QTest::newRow("empty input") << QByteArray() << "";
}

void TestRtfRobustness::hostileInputLoads()
{
    QFETCH(QByteArray, rtf);
    QTextDocument document;
    QElapsedTimer timer;
    timer.start();
    readRtf(rtf, document);
    QVERIFY2(timer.elapsed() < HangBoundMs, qPrintable(QString::number(timer.elapsed())));
    QString text = document.toRawText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    QTEST(text, "text");
    checkUsable(document);
}

void TestRtfRobustness::fileCutOffAnywhereShowsWhatCameBefore_data()
{
    QTest::addColumn<QString>("fixture");
    for (const char* name : {"libreoffice-formatting", "abiword-tables", "pandoc-pandoc", "libreoffice-notes"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestRtfRobustness::fileCutOffAnywhereShowsWhatCameBefore()
{
    QFETCH(QString, fixture);
    const QByteArray whole = fileBytes(QStringLiteral(CORVANA_FIXTURES "/rtf/") + fixture + QStringLiteral(".rtf"));
    QTextDocument full;
    readRtf(whole, full);
    const QString fullText = full.toRawText();

    for (qsizetype cut = 0; cut < whole.size(); cut += 3) {
        QTextDocument document;
        readRtf(QByteArrayView(whole).first(cut), document);
        // The text shown is the text up to the cut; only its last character may differ
        // (a \u number or a \'hh byte cut in the middle).
        const QString text = document.toRawText();
        const QString shown = text.isEmpty() ? text : text.chopped(1);
        if (!fullText.startsWith(shown))
            QFAIL(qPrintable(QStringLiteral("cut at %1: \"%2\"").arg(cut).arg(text.right(40))));
    }
    QTextDocument last;
    readRtf(QByteArrayView(whole).first(whole.size() / 2), last);
    checkUsable(last);
}

QTEST_MAIN(TestRtfRobustness)
#include "tst_rtf_robustness.moc"
