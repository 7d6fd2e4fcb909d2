#include "platform/TextSearch.h"

#include <QRandomGenerator>
#include <QString>
#include <QTest>

namespace {

QString str(const char16_t* text)
{
    return QString::fromUtf16(text);
}

constexpr int WholeWord = TextSearch::WholeWord;
constexpr int MatchCase = TextSearch::MatchCase;

// A plain, obviously right search to hold the fast one against: every position in
// turn, characters compared one by one.
bool referenceWordChar(QChar c)
{
    return c.isLetterOrNumber() || c.isMark() || c == QLatin1Char('_');
}

qsizetype referenceFind(const QString& text, const QString& what, qsizetype start, int options)
{
    if (what.isEmpty())
        return -1;
    for (qsizetype at = start; at + what.size() <= text.size(); ++at) {
        bool equal = true;
        for (qsizetype j = 0; j < what.size() && equal; ++j) {
            const QChar a = text.at(at + j), b = what.at(j);
            equal = (options & MatchCase) ? a == b : a.toCaseFolded() == b.toCaseFolded();
        }
        if (!equal)
            continue;
        if (options & WholeWord) {
            if (at > 0 && referenceWordChar(text.at(at - 1)))
                continue;
            if (at + what.size() < text.size() && referenceWordChar(text.at(at + what.size())))
                continue;
        }
        return at;
    }
    return -1;
}

} // namespace

class TestTextSearch : public QObject {
    Q_OBJECT

private slots:
    void findsTheFirstMatchInRange_data();
    void findsTheFirstMatchInRange();
    void caseFolding_data();
    void caseFolding();
    void wholeWordBoundaries_data();
    void wholeWordBoundaries();
    void charactersOutsideTheBasicPlane_data();
    void charactersOutsideTheBasicPlane();
    void agreesWithAPlainSearchOnRandomText();
};

void TestTextSearch::findsTheFirstMatchInRange_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("what");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");
    QTest::addColumn<int>("options");
    QTest::addColumn<int>("expected");

    // clang-format off
    QTest::newRow("empty search text finds nothing") << "abc" << "" << 0 << -1 << 0 << -1;
    QTest::newRow("empty search text, match case") << "abc" << "" << 0 << -1 << MatchCase << -1;
    QTest::newRow("empty document") << "" << "a" << 0 << -1 << 0 << -1;
    QTest::newRow("match at the start") << "abc abc" << "abc" << 0 << -1 << 0 << 0;
    QTest::newRow("start is inclusive") << "abc abc" << "abc" << 4 << -1 << 0 << 4;
    QTest::newRow("start just past a match") << "abc abc" << "abc" << 1 << -1 << 0 << 4;
    QTest::newRow("start past the last match") << "abc abc" << "abc" << 5 << -1 << 0 << -1;
    QTest::newRow("start at the end") << "abc" << "c" << 3 << -1 << 0 << -1;
    QTest::newRow("start beyond the end") << "abc" << "c" << 10 << -1 << 0 << -1;
    QTest::newRow("negative start") << "abc" << "a" << -1 << -1 << 0 << -1;
    QTest::newRow("match at the very end") << "xxxxabc" << "abc" << 0 << -1 << 0 << 4;
    QTest::newRow("longer than the text") << "ab" << "abc" << 0 << -1 << 0 << -1;
    QTest::newRow("overlapping, from 0") << "aaaa" << "aa" << 0 << -1 << 0 << 0;
    QTest::newRow("overlapping, from 1") << "aaaa" << "aa" << 1 << -1 << 0 << 1;
    QTest::newRow("overlapping, from 3") << "aaaa" << "aa" << 3 << -1 << 0 << -1;
    QTest::newRow("match must end before end") << "abcabc" << "abc" << 1 << 5 << 0 << -1;
    QTest::newRow("match ending at end") << "abcabc" << "abc" << 1 << 6 << 0 << 3;
    QTest::newRow("end beyond the text") << "abcabc" << "abc" << 1 << 99 << 0 << 3;
    QTest::newRow("end before start") << "abcabc" << "abc" << 3 << 2 << 0 << -1;
    QTest::newRow("whole word: the letter beyond the end still counts") << "cats" << "cat" << 0 << 3 << WholeWord << -1;
    QTest::newRow("partial match then a full one") << "abcabd abd" << "abd" << 0 << -1 << 0 << 3;
    QTest::newRow("repeated prefix") << "aabaabaaab" << "aaab" << 0 << -1 << 0 << 6;
    QTest::newRow("last character repeats inside") << "xbabxbab" << "bab" << 2 << -1 << 0 << 5;
    QTest::newRow("shift keys share a low byte") << str(u"\u0161xa") << "a" << 0 << -1 << 0 << 2;
    QTest::newRow("low byte equal, character not") << str(u"\u0161") << "a" << 0 << -1 << 0 << -1;
    QTest::newRow("across a paragraph break") << str(u"one\u2029two") << str(u"e\u2029t") << 0 << -1 << 0 << 2;
    // clang-format on
}

void TestTextSearch::findsTheFirstMatchInRange()
{
    QFETCH(QString, text);
    QFETCH(QString, what);
    QFETCH(int, start);
    QFETCH(int, end);
    QFETCH(int, options);
    QFETCH(int, expected);
    QCOMPARE(TextSearch::find(text, what, start, end, options), qsizetype(expected));
}

void TestTextSearch::caseFolding_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("what");
    QTest::addColumn<int>("options");
    QTest::addColumn<int>("expected");

    // clang-format off
    QTest::newRow("ASCII, any case") << "xx HeLLo" << "hello" << 0 << 3;
    QTest::newRow("ASCII, match case misses") << "xx HeLLo" << "hello" << MatchCase << -1;
    QTest::newRow("ASCII, match case finds the exact one") << "HeLLo hello" << "hello" << MatchCase << 6;
    QTest::newRow("capital E acute finds small") << str(u"caf\u00e9") << str(u"\u00c9") << 0 << 3;
    QTest::newRow("small e acute finds capital") << str(u"CAF\u00c9") << str(u"caf\u00e9") << 0 << 0;
    QTest::newRow("e acute, match case misses") << str(u"caf\u00e9") << str(u"\u00c9") << MatchCase << -1;
    QTest::newRow("e acute is not e") << str(u"caf\u00e9") << "cafe" << 0 << -1;
    QTest::newRow("Greek final sigma") << str(u"\u039b\u039f\u0393\u039f\u03a3") << str(u"\u03bb\u03bf\u03b3\u03bf\u03c2") << 0 << 0;
    QTest::newRow("Cyrillic") << str(u"\u041f\u0420\u0418\u0412\u0415\u0422") << str(u"\u043f\u0440\u0438") << 0 << 0;
    QTest::newRow("Kelvin sign folds to k") << str(u"\u212a") << "k" << 0 << 0;
    QTest::newRow("long s folds to s") << str(u"\u017f") << "S" << 0 << 0;
    QTest::newRow("long text: sigma in three forms") << QString(40, u'x') + str(u"\u03c2 \u03c3") << str(u"\u03a3") << 0 << 40;
    QTest::newRow("long text: Kelvin sign as the last letter") << QString(40, u'x') + str(u"o\u212a ok") << "OK" << 0 << 40;
    QTest::newRow("long text: theta in four forms") << QString(40, u'x') + str(u"\u03f4\u03d1") << str(u"\u03b8\u0398") << 0 << 40;
    QTest::newRow("digits and punctuation") << "a1-b2" << "1-B" << 0 << 1;
    // clang-format on
}

void TestTextSearch::caseFolding()
{
    QFETCH(QString, text);
    QFETCH(QString, what);
    QFETCH(int, options);
    QFETCH(int, expected);
    QCOMPARE(TextSearch::find(text, what, 0, -1, options), qsizetype(expected));
}

void TestTextSearch::wholeWordBoundaries_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("what");
    QTest::addColumn<int>("options");
    QTest::addColumn<int>("expected");

    // clang-format off
    QTest::newRow("whole text") << "cat" << "cat" << WholeWord << 0;
    QTest::newRow("inside a word: skipped") << "concat cat" << "cat" << WholeWord << 7;
    QTest::newRow("prefix of a word: skipped") << "cats cat" << "cat" << WholeWord << 5;
    QTest::newRow("after underscore: not a word") << "snake_case" << "case" << WholeWord << -1;
    QTest::newRow("before underscore: not a word") << "case_x" << "case" << WholeWord << -1;
    QTest::newRow("after a digit: not a word") << "2case" << "case" << WholeWord << -1;
    QTest::newRow("before a digit: not a word") << "case2" << "case" << WholeWord << -1;
    QTest::newRow("after an Arabic-Indic digit") << str(u"\u0663case") << "case" << WholeWord << -1;
    QTest::newRow("next to an accented letter") << str(u"\u00e9case case") << "case" << WholeWord << 6;
    QTest::newRow("before a combining accent") << str(u"cafe\u0301 cafe") << "cafe" << WholeWord << 6;
    QTest::newRow("punctuation bounds a word") << "(cat)." << "cat" << WholeWord << 1;
    QTest::newRow("hyphen bounds a word") << "tom-cat" << "cat" << WholeWord << 4;
    QTest::newRow("apostrophe bounds a word") << "cat's" << "cat" << WholeWord << 0;
    QTest::newRow("paragraph break bounds a word") << str(u"x\u2029cat\u2029y") << "cat" << WholeWord << 2;
    QTest::newRow("line break bounds a word") << str(u"cat\u2028") << "cat" << WholeWord << 0;
    QTest::newRow("no-break space bounds a word") << str(u"\u00a0cat\u00a0") << "cat" << WholeWord << 1;
    QTest::newRow("search text of two words") << "a big cat, big cats" << "big cat" << WholeWord << 2;
    QTest::newRow("whole word and any case") << "Concat CAT" << "cat" << WholeWord << 7;
    QTest::newRow("whole word and match case") << "Cat xcat cat" << "cat" << (WholeWord | MatchCase) << 9;
    QTest::newRow("punctuation search text next to letters") << "a..b .." << ".." << WholeWord << 5;
    // clang-format on
}

void TestTextSearch::wholeWordBoundaries()
{
    QFETCH(QString, text);
    QFETCH(QString, what);
    QFETCH(int, options);
    QFETCH(int, expected);
    QCOMPARE(TextSearch::find(text, what, 0, -1, options), qsizetype(expected));
}

void TestTextSearch::charactersOutsideTheBasicPlane_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("what");
    QTest::addColumn<int>("options");
    QTest::addColumn<int>("expected");

    const QString deseretCapital = QString::fromUcs4(U"\U00010400");
    const QString deseretSmall = QString::fromUcs4(U"\U00010428");
    const QString mathBoldA = QString::fromUcs4(U"\U0001D400");
    const QString emoji = QString::fromUcs4(U"\U0001F600");

    // clang-format off
    QTest::newRow("capital finds small") << "x" + deseretSmall << deseretCapital << 0 << 1;
    QTest::newRow("match case misses") << "x" + deseretSmall << deseretCapital << MatchCase << -1;
    QTest::newRow("mixed with basic letters") << "ab" + deseretSmall + "C" << "B" + deseretCapital + "c" << 0 << 1;
    QTest::newRow("after a letter from another plane") << mathBoldA + "cat" << "cat" << WholeWord << -1;
    QTest::newRow("before a letter from another plane") << "cat" + mathBoldA << "cat" << WholeWord << -1;
    QTest::newRow("next to an emoji") << emoji + "cat" + emoji << "cat" << WholeWord << 2;
    QTest::newRow("emoji as search text") << "a" + emoji + "b" << emoji << 0 << 1;
    QTest::newRow("half a pair is not found") << "a" + emoji << QString(emoji.at(1)) << MatchCase << -1;
    QTest::newRow("half a pair, any case") << "a" + emoji << QString(emoji.at(1)) << 0 << -1;
    // clang-format on
}

void TestTextSearch::charactersOutsideTheBasicPlane()
{
    QFETCH(QString, text);
    QFETCH(QString, what);
    QFETCH(int, options);
    QFETCH(int, expected);
    QCOMPARE(TextSearch::find(text, what, 0, -1, options), qsizetype(expected));
}

void TestTextSearch::agreesWithAPlainSearchOnRandomText()
{
    // A small alphabet gives many partial and overlapping matches, the cases where a
    // skip table goes wrong.
    const QString alphabet = str(u"aAbB _\u00e9\u00c91.");
    QRandomGenerator random(20261211);
    auto randomText = [&](int length) {
        QString s;
        for (int i = 0; i < length; ++i)
            s += alphabet.at(random.bounded(int(alphabet.size())));
        return s;
    };
    for (int round = 0; round < 3000; ++round) {
        const QString text = randomText(random.bounded(1, 60));
        const QString what = random.bounded(3) == 0 ? text.mid(random.bounded(int(text.size())), random.bounded(1, 5))
                                                    : randomText(random.bounded(1, 5));
        const int start = random.bounded(int(text.size()) + 1);
        for (int options : {0, WholeWord, MatchCase, WholeWord | MatchCase}) {
            const qsizetype expected = referenceFind(text, what, start, options);
            const qsizetype found = TextSearch::find(text, what, start, -1, options);
            if (found != expected)
                QFAIL(qPrintable(QStringLiteral("\"%1\" in \"%2\" from %3, options %4: %5, expected %6")
                                     .arg(what, text)
                                     .arg(start)
                                     .arg(options)
                                     .arg(found)
                                     .arg(expected)));
        }
    }
}

QTEST_APPLESS_MAIN(TestTextSearch)
#include "tst_textsearch.moc"
