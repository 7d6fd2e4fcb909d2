// How the status bar writes a file's date, time and size.
#include "document/FileStatus.h"

#include <QtTest>

class FileStatusTest : public QObject {
    Q_OBJECT

private slots:
    void dateText_data();
    void dateText();
    void secondsAreAdded_data();
    void secondsAreAdded();
    void sizeText();
};

void FileStatusTest::dateText_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QDateTime>("when");
    QTest::addColumn<QString>("text");

    const QLocale de(QLocale::German, QLocale::Germany);
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const QLocale uk(QLocale::English, QLocale::UnitedKingdom);
    const QDate day(2026, 12, 3);
    const QString usTime = us.toString(QTime(14, 5, 9), QStringLiteral("h:mm:ss AP"));
    QTest::newRow("de_DE afternoon") << de << QDateTime(day, QTime(14, 5, 9)) << "03.12.26 14:05:09";
    QTest::newRow("de_DE one second after midnight") << de << QDateTime(day, QTime(0, 0, 1)) << "03.12.26 00:00:01";
    QTest::newRow("de_DE midnight: the date alone") << de << QDateTime(day, QTime(0, 0)) << "03.12.26";
    QTest::newRow("de_DE midnight and some milliseconds") << de << QDateTime(day, QTime(0, 0, 0, 400)) << "03.12.26";
    QTest::newRow("en_US afternoon") << us << QDateTime(day, QTime(14, 5, 9)) << "12/3/26 " + usTime;
    QTest::newRow("en_US midnight") << us << QDateTime(day, QTime(0, 0)) << "12/3/26";
    QTest::newRow("en_GB morning") << uk << QDateTime(day, QTime(9, 8, 7)) << "03/12/2026 09:08:07";
}

void FileStatusTest::dateText()
{
    QFETCH(QLocale, locale);
    QFETCH(QDateTime, when);
    QFETCH(QString, text);
    QCOMPARE(FileStatus::dateText(when, locale), text);
}

void FileStatusTest::secondsAreAdded_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("format");
    QTest::newRow("de_DE") << QLocale(QLocale::German, QLocale::Germany) << "HH:mm:ss";
    QTest::newRow("fi_FI, a dot between") << QLocale(QLocale::Finnish, QLocale::Finland) << "H.mm.ss";
    QTest::newRow("ja_JP") << QLocale(QLocale::Japanese, QLocale::Japan) << "H:mm:ss";
    QTest::newRow("fr_CA, a word between: a colon") << QLocale(QLocale::French, QLocale::Canada) << "HH 'h' mm:ss";
    QTest::newRow("C has seconds already") << QLocale::c() << "HH:mm:ss";
}

void FileStatusTest::secondsAreAdded()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, format);
    QCOMPARE(FileStatus::timeFormatWithSeconds(locale), format);
    QVERIFY(FileStatus::timeFormatWithSeconds(locale).contains(QStringLiteral("ss")));
}

void FileStatusTest::sizeText()
{
    QCOMPARE(FileStatus::sizeText(0), QStringLiteral("0 Bytes"));
    QCOMPARE(FileStatus::sizeText(1), QStringLiteral("1 Bytes"));
    QCOMPARE(FileStatus::sizeText(75), QStringLiteral("75 Bytes"));
    // No grouping of digits, whatever the locale.
    QCOMPARE(FileStatus::sizeText(52428802), QStringLiteral("52428802 Bytes"));
}

QTEST_MAIN(FileStatusTest)
#include "tst_filestatus.moc"
