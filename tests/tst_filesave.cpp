// The save commands through the real main window: every outcome, what lands on disk,
// and that a write that fails leaves the old file exactly as it was.
#include "DocumentScene.h"

#include <QDir>
#include <QProcess>
#include <QScopeGuard>
#include <QtTest>

#include <csignal>
#include <sys/mount.h>
#include <sys/resource.h>

using Scene::Desk;

namespace {

const QByteArray Original = "original\r\n";

// The bytes a save must write for the text: one byte a character, Ω as '?'.
QByteArray expectedBytes(QString text)
{
    text.replace(QString::fromUtf8("Ω"), QStringLiteral("?"));
    return (text + "\r\n").toLatin1();
}

// The folder's entries, to see that no temporary file was left behind.
QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
}

} // namespace

class FileSaveTest : public QObject {
    Q_OBJECT

private slots:
    void outcomes_data();
    void outcomes();
    void saveAsDialogAsked();
    void failedSaveAsIsRetriedWithoutDialog();
    void emptyDocumentWritesCrLf();
    void keepsPermissionsAndLinks();
    void readOnlyFolder_data();
    void readOnlyFolder();
    void fullFileSystem();
    void fileSizeLimit();
    void busyPointerNeverStays();
};

void FileSaveTest::outcomes_data()
{
    QTest::addColumn<bool>("named");      // the document has the file sub/doc.txt
    QTest::addColumn<QString>("command"); // FileSave or FileSaveAs
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("folderGone"); // sub/ vanished after the open
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<int>("dialogs");       // save dialogs expected
    QTest::addColumn<QString>("fileName");  // "before" or a name in the folder
    QTest::addColumn<QString>("writtenTo"); // the file holding the text now, or ""
    QTest::addColumn<bool>("completed");    // TextChanged false, panels of the written file

    const QStringList none;
    const QString edit = QStringLiteral(" edited");
    const QString omega = QString::fromUtf8(" Ω");
    // clang-format off
    QTest::newRow("Save, named: under its name, no dialog")
        << true << "FileSave" << edit << false << none << none
        << none << 0 << "before" << "sub/doc.txt" << true;
    QTest::newRow("Save, unnamed: asks for a name")
        << false << "FileSave" << edit << false << none << QStringList{"new.txt"}
        << none << 1 << "new.txt" << "new.txt" << true;
    QTest::newRow("Save As: the chosen path")
        << true << "FileSaveAs" << edit << false << none << QStringList{"other.txt"}
        << none << 1 << "other.txt" << "other.txt" << true;
    QTest::newRow("Save As over an existing file: replaced without a question")
        << true << "FileSaveAs" << edit << false << none << QStringList{"existing.txt"}
        << none << 1 << "existing.txt" << "existing.txt" << true;
    QTest::newRow("Save As, a name without extension is used as typed")
        << true << "FileSaveAs" << edit << false << none << QStringList{"noext"}
        << none << 1 << "noext" << "noext" << true;
    QTest::newRow("Save As cancelled: nothing changes")
        << true << "FileSaveAs" << edit << false << QStringList{"OK"} << QStringList{""}
        << QStringList{"Save Was Canceled"} << 1 << "before" << "" << false;
    QTest::newRow("Save As into a missing folder: error 76, the chosen path kept")
        << true << "FileSaveAs" << edit << false << QStringList{"OK"} << QStringList{"nowhere/x.txt"}
        << QStringList{"error 76"} << 1 << "nowhere/x.txt" << "" << false;
    QTest::newRow("Save As onto a folder: error 75, the chosen path kept")
        << true << "FileSaveAs" << edit << false << QStringList{"OK"} << QStringList{"folder"}
        << QStringList{"error 75"} << 1 << "folder" << "" << false;
    QTest::newRow("Save, the file's folder is gone: error 76")
        << true << "FileSave" << edit << true << QStringList{"OK"} << none
        << QStringList{"error 76"} << 0 << "before" << "" << false;
    QTest::newRow("lost characters accepted: written as question marks")
        << true << "FileSave" << omega << false << QStringList{"Yes"} << none
        << QStringList{"charset"} << 0 << "before" << "sub/doc.txt" << true;
    QTest::newRow("lost characters refused on Save: nothing written")
        << true << "FileSave" << omega << false << QStringList{"No"} << none
        << QStringList{"charset"} << 0 << "before" << "" << false;
    QTest::newRow("lost characters refused on Save As: nothing written, the name kept")
        << true << "FileSaveAs" << omega << false << QStringList{"No"} << QStringList{"other.txt"}
        << QStringList{"charset"} << 1 << "before" << "" << false;
    // clang-format on
}

void FileSaveTest::outcomes()
{
    QFETCH(bool, named);
    QFETCH(QString, command);
    QFETCH(QString, typed);
    QFETCH(bool, folderGone);
    QFETCH(QStringList, answers);
    QFETCH(QStringList, files);
    QFETCH(QStringList, messages);
    QFETCH(int, dialogs);
    QFETCH(QString, fileName);
    QFETCH(QString, writtenTo);
    QFETCH(bool, completed);

    Desk desk;
    writeFile(desk.path("sub/doc.txt"), Original);
    writeFile(desk.path("existing.txt"), "an older file, longer than the text");
    QDir().mkpath(desk.path("folder"));
    desk.open("sub/doc.txt");
    if (!named)
        desk.f.form->FileNew();
    desk.type(typed);
    if (folderGone)
        QDir(desk.path("sub")).removeRecursively();
    desk.forgetShown();
    const QStringList before = entries(desk.dir.path());

    const QString text = desk.text();
    const QString nameBefore = App.CurrentFileName;
    const QStringList panelsBefore = desk.panels();
    desk.answer(answers, files);
    if (command == "FileSave")
        desk.f.form->FileSave();
    else
        desk.f.form->FileSaveAs();

    QCOMPARE_MESSAGES(desk.f.host.shownMessages, messages);
    QCOMPARE(int(desk.f.host.shownFileDialogs.size()), dialogs);
    QVERIFY2(desk.f.host.unexpected.isEmpty(), qPrintable(desk.f.host.unexpected.join('\n')));
    QCOMPARE(desk.text(), text);
    QCOMPARE(App.CurrentFileName, fileName == "before" ? nameBefore : desk.path(fileName));
    QCOMPARE(App.TextChanged, !completed);
    QCOMPARE(desk.panels(), completed ? Scene::panelsFor(App.CurrentFileName) : panelsBefore);
    if (!writtenTo.isEmpty()) {
        QCOMPARE(Scene::readBytes(desk.path(writtenTo)), expectedBytes(text));
        QCOMPARE(desk.panels().at(2), QString::number(text.size() + 2) + " Bytes");
    }
    if (writtenTo != "sub/doc.txt" && !folderGone)
        QCOMPARE(Scene::readBytes(desk.path("sub/doc.txt")), Original);
    if (writtenTo != "existing.txt")
        QCOMPARE(Scene::readBytes(desk.path("existing.txt")), QByteArray("an older file, longer than the text"));
    // Nothing else appeared: no temporary file, no half-made file.
    QStringList expected = before;
    if (!writtenTo.isEmpty() && !writtenTo.contains('/') && !expected.contains(writtenTo)) {
        expected << writtenTo;
        expected.sort();
    }
    QCOMPARE(entries(desk.dir.path()), expected);
}

void FileSaveTest::saveAsDialogAsked()
{
    Desk desk;
    writeFile(desk.path("a.txt"), "a");
    desk.open("a.txt");
    desk.answer({}, {"b.txt"});
    desk.f.form->FileSaveAs();
    const FileDialogRequest& r = desk.f.host.shownFileDialogs.back();
    QCOMPARE(r.kind, FileDialogRequest::Kind::Save);
    QCOMPARE(r.fileName, QString()); // empty even right after an open
    QCOMPARE(r.nameFilters, (QStringList{"text (*.txt)", "ini (*.ini)", "all (*)"}));
    QCOMPARE(r.selectedFilter, 0);
    QVERIFY(desk.f.form->CommonDialog1.CancelError);
    QCOMPARE(desk.f.form->CommonDialog1.FileName, desk.path("b.txt"));

    desk.answer({"OK"}, {""});
    desk.f.form->FileSaveAs();
    QCOMPARE(desk.f.form->CommonDialog1.FileName, QString()); // a cancelled dialog forgets
    QVERIFY(desk.f.host.unexpected.isEmpty());
}

// After a save-as that could not write, the document is named after the place chosen,
// and the next Save tries it again, without a dialog.
void FileSaveTest::failedSaveAsIsRetriedWithoutDialog()
{
    Desk desk;
    desk.type("text");
    desk.answer({"OK"}, {"later/x.txt"});
    desk.f.form->FileSaveAs();
    QCOMPARE(App.CurrentFileName, desk.path("later/x.txt"));
    QVERIFY(App.TextChanged);

    QVERIFY(QDir().mkpath(desk.path("later")));
    desk.forgetShown();
    desk.f.form->FileSave();
    QVERIFY(desk.f.host.shownFileDialogs.empty());
    QVERIFY(desk.f.host.shownMessages.empty());
    QCOMPARE(Scene::readBytes(desk.path("later/x.txt")), QByteArray("text\r\n"));
    QVERIFY(!App.TextChanged);
}

void FileSaveTest::emptyDocumentWritesCrLf()
{
    Desk desk;
    desk.answer({}, {"empty.txt"});
    desk.f.form->FileSave();
    QCOMPARE(Scene::readBytes(desk.path("empty.txt")), QByteArray("\r\n"));
    QCOMPARE(desk.panels().at(2), QStringLiteral("2 Bytes"));
}

void FileSaveTest::keepsPermissionsAndLinks()
{
    Desk desk;
    const QString target = writeFile(desk.path("target.txt"), Original);
    QVERIFY(QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    QVERIFY(QFile::link(target, desk.path("link.txt")));
    desk.open("link.txt");
    desk.type("more");
    desk.f.form->FileSave();
    QVERIFY(QFileInfo(desk.path("link.txt")).isSymLink());
    QCOMPARE(Scene::readBytes(target), QByteArray("original\r\nmore\r\n"));
    struct stat st {};
    QCOMPARE(::stat(QFile::encodeName(target).constData(), &st), 0);
    QCOMPARE(st.st_mode & 07777, mode_t(0640));
}

void FileSaveTest::readOnlyFolder_data()
{
    QTest::addColumn<bool>("fileWritable");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QByteArray>("onDisk"); // the file afterwards
    QTest::addColumn<QStringList>("messages");

    QTest::newRow("read-only file: error 70, the old file kept")
        << false << "FileSave" << Original << QStringList{"error 70"};
    QTest::newRow("writable file: written in place")
        << true << "FileSave" << QByteArray("original\r\nX\r\n") << QStringList{};
    QTest::newRow("a new file: error 70") << true << "FileSaveAs" << QByteArray("<missing>") << QStringList{"error 70"};
}

// A folder that takes no new file. Permission bits don't hold for root, so the save
// runs with an unprivileged effective user there.
void FileSaveTest::readOnlyFolder()
{
    QFETCH(bool, fileWritable);
    QFETCH(QString, command);
    QFETCH(QByteArray, onDisk);
    QFETCH(QStringList, messages);

    Desk desk;
    QVERIFY(QFile::setPermissions(desk.dir.path(), QFileDevice::Permissions(0x7755)));
    const QString folder = desk.path("ro");
    const QString path = writeFile(folder + "/doc.txt", Original);
    desk.open("ro/doc.txt");
    desk.type("X");
    QVERIFY(QFile::setPermissions(path,
                                  fileWritable ? QFileDevice::Permissions(0x6666) : QFileDevice::Permissions(0x4444)));
    QVERIFY(QFile::setPermissions(folder, QFileDevice::Permissions(0x5555)));
    const auto restore = qScopeGuard([&] { QFile::setPermissions(folder, QFileDevice::Permissions(0x7777)); });
    desk.forgetShown();
    {
        const Scene::Unprivileged user;
        if (!user.ok)
            QSKIP("running as root and the effective user can't be changed: permission bits would not hold");
        if (command == "FileSave") {
            desk.f.form->FileSave();
        } else {
            desk.answer({"OK"}, {"ro/new.txt"});
            desk.f.form->FileSaveAs();
        }
    }
    QCOMPARE_MESSAGES(desk.f.host.shownMessages, messages);
    const QString written = command == "FileSave" ? path : folder + "/new.txt";
    QCOMPARE(Scene::readBytes(written), onDisk);
    QCOMPARE(App.TextChanged, !messages.isEmpty());
    QCOMPARE(entries(folder), QStringList{"doc.txt"}); // nothing could be made there
    if (command == "FileSaveAs")
        QCOMPARE(App.CurrentFileName, written);
}

// A file system that runs out of space while the new text is written: the old file is
// still there, byte for byte, and the user is told.
void FileSaveTest::fullFileSystem()
{
    Desk desk;
    const QString mountPoint = desk.path("small");
    QVERIFY(QDir().mkpath(mountPoint));
    if (::mount("tmpfs", QFile::encodeName(mountPoint).constData(), "tmpfs", 0, "size=64k") != 0)
        QSKIP(qPrintable(QStringLiteral("no small file system to fill: mounting a tmpfs failed (%1)")
                             .arg(QString::fromLocal8Bit(strerror(errno)))));
    const auto unmount = qScopeGuard([&] { ::umount2(QFile::encodeName(mountPoint).constData(), MNT_DETACH); });

    const QString path = writeFile(mountPoint + "/doc.txt", Original);
    desk.open("small/doc.txt");
    // Fill what is left with another file.
    {
        QFile filler(mountPoint + "/filler");
        QVERIFY(filler.open(QIODevice::WriteOnly));
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
    }
    desk.box().setText(QStringLiteral("a line of text\r\n").repeated(2000));
    desk.type("X");
    desk.forgetShown();
    desk.answer({"OK"});
    desk.f.form->FileSave();

    QCOMPARE_MESSAGES(desk.f.host.shownMessages, QStringList{"error 61"});
    QCOMPARE(Scene::readBytes(path), Original);
    QCOMPARE(entries(mountPoint), (QStringList{"doc.txt", "filler"}));
    QVERIFY(App.TextChanged);
}

// The same through a limit on the size of files a process may write, which works
// wherever the tests run.
void FileSaveTest::fileSizeLimit()
{
    Desk desk;
    const QString path = writeFile(desk.path("doc.txt"), Original);
    desk.open("doc.txt");
    desk.box().setText(QStringLiteral("a line of text\r\n").repeated(2000));
    desk.type("X");
    desk.forgetShown();
    desk.answer({"OK"});

    rlimit old{};
    QVERIFY(::getrlimit(RLIMIT_FSIZE, &old) == 0);
    const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 4096;
    QVERIFY(::setrlimit(RLIMIT_FSIZE, &small) == 0);
    desk.f.form->FileSave();
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldSignal);

    QCOMPARE_MESSAGES(desk.f.host.shownMessages, QStringList{"error 61"});
    QCOMPARE(Scene::readBytes(path), Original);
    QCOMPARE(entries(desk.dir.path()), QStringList{"doc.txt"});
    QCOMPARE(desk.panels(), Scene::panelsFor(path));
    QVERIFY(App.TextChanged);
}

void FileSaveTest::busyPointerNeverStays()
{
    Desk desk;
    desk.type("a");
    desk.answer({}, {"a.txt"});
    desk.f.form->FileSave();
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    desk.answer({"OK"}, {"nowhere/a.txt"});
    desk.f.form->FileSaveAs();
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    desk.type(QString::fromUtf8("Ω"));
    desk.answer({"No"});
    desk.f.form->FileSave();
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    QVERIFY(desk.f.host.unexpected.isEmpty());
}

QTEST_MAIN(FileSaveTest)
#include "tst_filesave.moc"
