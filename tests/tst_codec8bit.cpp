#include "document/Codec8Bit.h"

#include <QStringDecoder>
#include <QTest>

namespace {

QByteArray allBytes()
{
    QByteArray bytes(256, Qt::Uninitialized);
    for (int i = 0; i < 256; ++i)
        bytes[i] = char(i);
    return bytes;
}

// Bytes 0x80..0x9F of Windows-1252 as its published table gives them; the five bytes
// that table leaves unassigned stand for the C1 control of the same number.
constexpr char16_t Windows1252High[32] = {
    u'\u20AC', u'\u0081', u'\u201A', u'\u0192', u'\u201E', u'\u2026', u'\u2020', u'\u2021',
    u'\u02C6', u'\u2030', u'\u0160', u'\u2039', u'\u0152', u'\u008D', u'\u017D', u'\u008F',
    u'\u0090', u'\u2018', u'\u2019', u'\u201C', u'\u201D', u'\u2022', u'\u2013', u'\u2014',
    u'\u02DC', u'\u2122', u'\u0161', u'\u203A', u'\u0153', u'\u009D', u'\u017E', u'\u0178',
};

} // namespace

class TestCodec8Bit : public QObject {
    Q_OBJECT

private slots:
    void decodesEveryByte_data();
    void decodesEveryByte();
    void agreesWithTheSystemsTable();
    void everyByteRoundTrips();
    void encodeOfCharactersOutsideTheSet_data();
    void encodeOfCharactersOutsideTheSet();
    void canEncode_data();
    void canEncode();
};

void TestCodec8Bit::decodesEveryByte_data()
{
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("character");
    for (int b = 0; b < 256; ++b) {
        const int expected = (b >= 0x80 && b < 0xA0) ? int(Windows1252High[b - 0x80]) : b;
        QTest::addRow("0x%02X", b) << b << expected;
    }
}

void TestCodec8Bit::decodesEveryByte()
{
    QFETCH(int, byte);
    QFETCH(int, character);
    const char one = char(byte);
    const QString decoded = Codec8Bit::decode(QByteArrayView(&one, 1));
    QCOMPARE(decoded.size(), 1);
    QCOMPARE(int(decoded.at(0).unicode()), character);
    // and back to the same byte
    const Codec8Bit::Encoded encoded = Codec8Bit::encode(decoded);
    QCOMPARE(encoded.bytes, QByteArray(1, one));
    QCOMPARE(encoded.unmappable, 0);
}

void TestCodec8Bit::agreesWithTheSystemsTable()
{
    // A second opinion where the system's converters know the set: every assigned
    // byte must decode as they decode it.
    QStringDecoder system("windows-1252");
    if (!system.isValid())
        QSKIP("no Windows-1252 converter on this system");
    const QByteArray bytes = allBytes();
    const QString ours = Codec8Bit::decode(bytes);
    for (int b = 0; b < 256; ++b) {
        if (b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D)
            continue;
        const QString theirs = system.decode(QByteArrayView(bytes.constData() + b, 1));
        QVERIFY2(theirs == QString(ours.at(b)), qPrintable(QStringLiteral("byte 0x%1").arg(b, 2, 16)));
    }
}

void TestCodec8Bit::everyByteRoundTrips()
{
    const QByteArray bytes = allBytes();
    const QString text = Codec8Bit::decode(bytes);
    QCOMPARE(text.size(), 256);
    QVERIFY(Codec8Bit::canEncode(text));
    const Codec8Bit::Encoded encoded = Codec8Bit::encode(text);
    QCOMPARE(encoded.bytes, bytes);
    QCOMPARE(encoded.unmappable, 0);
}

void TestCodec8Bit::encodeOfCharactersOutsideTheSet_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("unmappable");
    QTest::newRow("all in the set") << QStringLiteral("Caf\u00E9 \u20AC5 \u201Cq\u201D")
                                    << QByteArray("Caf\xE9 \x80"
                                                  "5 \x93q\x94")
                                    << 0;
    QTest::newRow("Greek letter") << QStringLiteral("a\u03A9b") << QByteArray("a?b") << 1;
    // 0x80 is the euro sign, so U+0080 has no byte of its own
    QTest::newRow("C1 control with no byte") << QStringLiteral("\u0080\u0081") << QByteArray("?\x81") << 1;
    QTest::newRow("one character in two units") << QStringLiteral("x\U0001F600y") << QByteArray("x?y") << 1;
    QTest::newRow("lone surrogate") << QString(QChar(0xD800)) + u'z' << QByteArray("?z") << 1;
    QTest::newRow("several") << QStringLiteral("\u4E2D\u6587 ok \u2603") << QByteArray("?? ok ?") << 3;
    QTest::newRow("NUL kept") << QString(QChar(0)) << QByteArray(1, '\0') << 0;
    QTest::newRow("empty") << QString() << QByteArray() << 0;
}

void TestCodec8Bit::encodeOfCharactersOutsideTheSet()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QFETCH(int, unmappable);
    const Codec8Bit::Encoded encoded = Codec8Bit::encode(text);
    QCOMPARE(encoded.bytes, bytes);
    QCOMPARE(encoded.unmappable, unmappable);
    QCOMPARE(Codec8Bit::canEncode(text), unmappable == 0);
}

void TestCodec8Bit::canEncode_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("expected");
    QTest::newRow("ASCII") << QStringLiteral("plain text\r\n") << true;
    QTest::newRow("Latin-1 upper half") << QStringLiteral("\u00A0\u00FF\u00C6") << true;
    QTest::newRow("typographic quotes and dashes") << QStringLiteral("\u2018\u2019\u2013\u2014\u2122") << true;
    QTest::newRow("unassigned bytes' controls") << QStringLiteral("\u0081\u008D\u008F\u0090\u009D") << true;
    QTest::newRow("other C1 control") << QStringLiteral("\u0085") << false;
    QTest::newRow("Cyrillic") << QStringLiteral("\u0416") << false;
    QTest::newRow("one bad among good") << QStringLiteral("abc\u2260def") << false;
}

void TestCodec8Bit::canEncode()
{
    QFETCH(QString, text);
    QFETCH(bool, expected);
    QCOMPARE(Codec8Bit::canEncode(text), expected);
}

QTEST_APPLESS_MAIN(TestCodec8Bit)
#include "tst_codec8bit.moc"
