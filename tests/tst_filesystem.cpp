// Whole-file reads and writes, and the failures the editor reports for them.
#include "platform/FileSystem.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

QString make(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

mode_t fileType(const QString& path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? (st.st_mode & S_IFMT) : 0;
}

} // namespace

class FileSystemTest : public QObject {
    Q_OBJECT

private slots:
    void readFailures_data();
    void readFailures();
    void readsEveryByte();
    void readingAPipeDoesNotHang();
    void writeFailures_data();
    void writeFailures();
    void replacesWholeAndLeavesNoTemporaryFile();
    void writesToAPipeWithoutReplacingIt();
    void deviceThatIsFull();
    void sizeAndDate();
};

void FileSystemTest::readFailures_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("number");
    QTest::newRow("empty path") << "" << 53;
    QTest::newRow("missing file") << "missing.txt" << 53;
    QTest::newRow("missing folder") << "nowhere/missing.txt" << 76;
    QTest::newRow("a file used as a folder") << "plain.txt/x" << 76;
    QTest::newRow("a folder") << "folder" << 75;
}

void FileSystemTest::readFailures()
{
    QFETCH(QString, name);
    QFETCH(int, number);
    QTemporaryDir dir;
    make(dir.filePath("plain.txt"), "x");
    QDir().mkpath(dir.filePath("folder"));
    const Result<QByteArray> read = FileSystem::readWholeFile(name.isEmpty() ? QString() : dir.filePath(name));
    QVERIFY(!read);
    QCOMPARE(read.failure().number, number);
    QVERIFY(!read.failure().description.isEmpty());
}

void FileSystemTest::readsEveryByte()
{
    QTemporaryDir dir;
    QByteArray all;
    for (int round = 0; round < 300; ++round)
        for (int b = 0; b < 256; ++b)
            all += char(b);
    const Result<QByteArray> read = FileSystem::readWholeFile(make(dir.filePath("all.bin"), all));
    QVERIFY(read);
    QCOMPARE(read.value(), all);
}

void FileSystemTest::readingAPipeDoesNotHang()
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath("pipe");
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const Result<QByteArray> read = FileSystem::readWholeFile(fifo);
    QVERIFY(read);
    QCOMPARE(read.value(), QByteArray());
}

void FileSystemTest::writeFailures_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("number");
    QTest::newRow("empty path") << "" << 52;
    QTest::newRow("missing folder") << "nowhere/new.txt" << 76;
    QTest::newRow("a file used as a folder") << "plain.txt/new.txt" << 76;
    QTest::newRow("a folder") << "folder" << 75;
}

void FileSystemTest::writeFailures()
{
    QFETCH(QString, name);
    QFETCH(int, number);
    QTemporaryDir dir;
    make(dir.filePath("plain.txt"), "x");
    QDir().mkpath(dir.filePath("folder"));
    const std::optional<Failure> failure =
        FileSystem::writeWholeFile(name.isEmpty() ? QString() : dir.filePath(name), "text\r\n");
    QVERIFY(failure);
    QCOMPARE(failure->number, number);
    QCOMPARE(contents(dir.filePath("plain.txt")), QByteArray("x"));
    QVERIFY(!QFileInfo::exists(dir.filePath("nowhere")));
    QCOMPARE(QDir(dir.filePath("folder")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList());
}

void FileSystemTest::replacesWholeAndLeavesNoTemporaryFile()
{
    QTemporaryDir dir;
    const QString path = make(dir.filePath("a.txt"), "a much longer old content than the new one");
    QVERIFY(!FileSystem::writeWholeFile(path, "new\r\n"));
    QCOMPARE(contents(path), QByteArray("new\r\n"));
    QVERIFY(!FileSystem::writeWholeFile(dir.filePath("b.txt"), QByteArray()));
    QCOMPARE(QFileInfo(dir.filePath("b.txt")).size(), 0);
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             (QStringList{"a.txt", "b.txt"}));
}

// A pipe (like a device) is written into, not replaced by a plain file.
void FileSystemTest::writesToAPipeWithoutReplacingIt()
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath("pipe");
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const int reader = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK);
    QVERIFY(reader >= 0);
    const auto closeReader = qScopeGuard([&] { ::close(reader); });
    QVERIFY(!FileSystem::writeWholeFile(fifo, "through the pipe\r\n"));
    char buffer[64] = {};
    QCOMPARE(::read(reader, buffer, sizeof buffer), ssize_t(18));
    QCOMPARE(QByteArray(buffer, 18), QByteArray("through the pipe\r\n"));
    QCOMPARE(fileType(fifo), mode_t(S_IFIFO));

    // With no reader the write fails at once instead of waiting for one.
    const QString lonely = dir.filePath("lonely");
    QCOMPARE(::mkfifo(QFile::encodeName(lonely).constData(), 0600), 0);
    const std::optional<Failure> failure = FileSystem::writeWholeFile(lonely, "x");
    QVERIFY(failure);
    QCOMPARE(failure->number, 57);
    QCOMPARE(fileType(lonely), mode_t(S_IFIFO));
}

// A device that is always full reports the disk full, and stays the device it was.
void FileSystemTest::deviceThatIsFull()
{
    QTemporaryDir dir;
    QString full = QStringLiteral("/dev/full");
    if (::geteuid() == 0) {
        // Root could replace /dev/full itself if the write went wrong: use a node of
        // our own for the same device.
        full = dir.filePath("full");
        if (::mknod(QFile::encodeName(full).constData(), S_IFCHR | 0666, makedev(1, 7)) != 0)
            QSKIP("no device node can be made here");
        const int probe = ::open(QFile::encodeName(full).constData(), O_WRONLY);
        if (probe < 0)
            QSKIP("device nodes don't open on this file system (mounted nodev)");
        ::close(probe);
    } else if (fileType(full) != S_IFCHR) {
        QSKIP("this machine has no /dev/full");
    }
    const std::optional<Failure> failure = FileSystem::writeWholeFile(full, "text\r\n");
    QVERIFY(failure);
    QCOMPARE(failure->number, 61);
    QCOMPARE(fileType(full), mode_t(S_IFCHR));
}

void FileSystemTest::sizeAndDate()
{
    QTemporaryDir dir;
    const QString path = make(dir.filePath("a.txt"), QByteArray(75, 'x'));
    const QDateTime when(QDate(2026, 1, 2), QTime(3, 4, 5));
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(when, QFileDevice::FileModificationTime));
    }
    const Result<qint64> size = FileSystem::fileSize(path);
    QVERIFY(size);
    QCOMPARE(size.value(), 75);
    const Result<QDateTime> modified = FileSystem::fileModified(path);
    QVERIFY(modified);
    QCOMPARE(modified.value(), when);
    QCOMPARE(FileSystem::fileSize(dir.filePath("none")).failure().number, 53);
    QCOMPARE(FileSystem::fileModified(dir.filePath("none")).failure().number, 53);
}

QTEST_MAIN(FileSystemTest)
#include "tst_filesystem.moc"
