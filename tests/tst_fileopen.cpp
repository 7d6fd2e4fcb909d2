// The open command through the real main window: every outcome of the command, the
// status panels, the dialog's memory of the last file, and what a load keeps of a file.
#include "DocumentScene.h"

#include "document/FileStatus.h"
#include "platform/CommonDialog.h"

#include <QApplication>
#include <QDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

using Scene::Desk;

namespace {

const QByteArray Previous = "previous\r\n";
const QByteArray Next = "next\r\nfile";

QStringList dialogKinds(const ScriptedModalHost& host)
{
    QStringList kinds;
    for (const FileDialogRequest& r : host.shownFileDialogs)
        kinds << (r.kind == FileDialogRequest::Kind::Open ? QStringLiteral("open") : QStringLiteral("save"));
    return kinds;
}

} // namespace

class FileOpenTest : public QObject {
    Q_OBJECT

private slots:
    void outcomes_data();
    void outcomes();
    void openDialogAsked();
    void dialogRemembersTheLastFile();
    void statusPanelsComeFromTheFileOnDisk_data();
    void statusPanelsComeFromTheFileOnDisk();
    void reopeningReadsTheFileAgain();
    void everyByteSurvivesARoundTrip_data();
    void everyByteSurvivesARoundTrip();
    void richTextIsShownFormattedAndSavedAsPlainText();
    void busyPointerDuringTheLoadOnly();
};

void FileOpenTest::outcomes_data()
{
    QTest::addColumn<bool>("changed");         // typed into before the command
    QTest::addColumn<bool>("named");           // the document has a file name
    QTest::addColumn<QString>("typed");        // what was typed, when changed
    QTest::addColumn<bool>("folderGone");      // the document's folder vanished meanwhile
    QTest::addColumn<QStringList>("answers");  // message boxes
    QTest::addColumn<QStringList>("files");    // file dialogs
    QTest::addColumn<QStringList>("messages"); // boxes expected
    QTest::addColumn<QStringList>("dialogs");  // file dialogs expected
    QTest::addColumn<bool>("loaded");          // the document is next.txt's content
    QTest::addColumn<QString>("fileName");     // "before", "" or a name in the folder
    QTest::addColumn<bool>("panelsOfLoaded");  // panels name next.txt, else as before
    QTest::addColumn<bool>("textChanged");
    QTest::addColumn<QString>("savedTo"); // file that now holds the edited text

    const QStringList none;
    const QString edit = QStringLiteral("edit");
    // clang-format off
    QTest::newRow("no changes: loads without a prompt")
        << false << true << edit << false << none << QStringList{"next.txt"}
        << none << QStringList{"open"} << true << "next.txt" << true << false << "";
    QTest::newRow("prompt Cancel: nothing changes")
        << true << true << edit << false << QStringList{"Cancel"} << none
        << QStringList{"prompt"} << none << false << "before" << false << true << "";
    QTest::newRow("prompt No: loads, the edits are gone")
        << true << true << edit << false << QStringList{"No"} << QStringList{"next.txt"}
        << QStringList{"prompt"} << QStringList{"open"} << true << "next.txt" << true << false << "";
    QTest::newRow("prompt Yes, named: saves, then loads")
        << true << true << edit << false << QStringList{"Yes"} << QStringList{"next.txt"}
        << QStringList{"prompt"} << QStringList{"open"} << true << "next.txt" << true << false << "sub/prev.txt";
    QTest::newRow("prompt Yes, unnamed: save as, then loads")
        << true << false << edit << false << QStringList{"Yes"} << QStringList{"saved.txt", "next.txt"}
        << QStringList{"prompt"} << QStringList{"save", "open"} << true << "next.txt" << true << false << "saved.txt";
    QTest::newRow("prompt Yes, save dialog cancelled: no open dialog")
        << true << false << edit << false << QStringList{"Yes", "OK"} << QStringList{""}
        << QStringList{"prompt", "Save Was Canceled"} << QStringList{"save"} << false << "before" << false << true << "";
    QTest::newRow("prompt Yes, the write fails: no open dialog")
        << true << true << edit << true << QStringList{"Yes", "OK"} << none
        << QStringList{"prompt", "error 76"} << none << false << "before" << false << true << "";
    QTest::newRow("prompt Yes, unnamed, save as can't write: no open dialog, the chosen name kept")
        << true << false << edit << false << QStringList{"Yes", "OK"} << QStringList{"nowhere/x.txt"}
        << QStringList{"prompt", "error 76"} << QStringList{"save"} << false << "nowhere/x.txt" << false << true << "";
    QTest::newRow("prompt Yes, lost characters refused: no open dialog")
        << true << true << QString::fromUtf8("Ω") << false << QStringList{"Yes", "No"} << none
        << QStringList{"prompt", "charset"} << none << false << "before" << false << true << "";
    QTest::newRow("open dialog cancelled: the name is forgotten, the panels stay")
        << true << true << edit << false << QStringList{"No", "OK"} << QStringList{""}
        << QStringList{"prompt", "No File Selected"} << QStringList{"open"} << false << "" << false << true << "";
    QTest::newRow("a typed name of a missing file stays the name")
        << false << true << edit << false << QStringList{"OK"} << QStringList{"missing.txt"}
        << QStringList{"No File Selected"} << QStringList{"open"} << false << "missing.txt" << false << false << "";
    QTest::newRow("a folder can't be read: the error box")
        << true << true << edit << false << QStringList{"No", "OK"} << QStringList{"folder"}
        << QStringList{"prompt", "error 75"} << QStringList{"open"} << false << "folder" << false << true << "";
    // clang-format on
}

void FileOpenTest::outcomes()
{
    QFETCH(bool, changed);
    QFETCH(bool, named);
    QFETCH(QString, typed);
    QFETCH(bool, folderGone);
    QFETCH(QStringList, answers);
    QFETCH(QStringList, files);
    QFETCH(QStringList, messages);
    QFETCH(QStringList, dialogs);
    QFETCH(bool, loaded);
    QFETCH(QString, fileName);
    QFETCH(bool, panelsOfLoaded);
    QFETCH(bool, textChanged);
    QFETCH(QString, savedTo);

    Desk desk;
    writeFile(desk.path("sub/prev.txt"), Previous);
    writeFile(desk.path("next.txt"), Next);
    QDir().mkpath(desk.path("folder"));
    desk.open("sub/prev.txt");
    if (!named) {
        desk.f.form->FileNew();
        // The panels still show a file, as after a cancelled open dialog.
        desk.f.form->StatusBar1->setPanelText(1, QStringLiteral("earlier"));
    }
    if (changed)
        desk.type(typed);
    QCOMPARE(App.TextChanged, changed);
    if (folderGone)
        QDir(desk.path("sub")).removeRecursively();
    desk.forgetShown();

    const QString textBefore = desk.text();
    const QString nameBefore = App.CurrentFileName;
    const QStringList panelsBefore = desk.panels();
    desk.answer(answers, files);
    desk.f.form->FileOpen();

    QCOMPARE_MESSAGES(desk.f.host.shownMessages, messages);
    QCOMPARE(dialogKinds(desk.f.host), dialogs);
    QVERIFY2(desk.f.host.unexpected.isEmpty(), qPrintable(desk.f.host.unexpected.join('\n')));
    QCOMPARE(desk.text(), loaded ? QString::fromLatin1(Next) : textBefore);
    QCOMPARE(App.CurrentFileName, fileName == "before" ? nameBefore
                                  : fileName.isEmpty() ? QString()
                                                       : desk.path(fileName));
    QCOMPARE(desk.panels(), panelsOfLoaded ? Scene::panelsFor(desk.path("next.txt")) : panelsBefore);
    QCOMPARE(App.TextChanged, textChanged);
    if (!savedTo.isEmpty())
        QCOMPARE(Scene::readBytes(desk.path(savedTo)), (textBefore + "\r\n").toLatin1());
    if (!folderGone && savedTo != "sub/prev.txt")
        QCOMPARE(Scene::readBytes(desk.path("sub/prev.txt")), Previous);
    QCOMPARE(Scene::readBytes(desk.path("next.txt")), Next);
}

void FileOpenTest::openDialogAsked()
{
    Desk desk;
    writeFile(desk.path("a.txt"), "a");
    desk.open("a.txt");
    QCOMPARE(desk.f.host.shownFileDialogs.size(), std::size_t(1));
    const FileDialogRequest& r = desk.f.host.shownFileDialogs.front();
    QCOMPARE(r.kind, FileDialogRequest::Kind::Open);
    QCOMPARE(r.nameFilters, (QStringList{"text (*.txt)", "ini (*.ini)", "all (*)"}));
    QCOMPARE(r.selectedFilter, 0);
    QCOMPARE(r.fileName, QString());
    QCOMPARE(desk.f.form->CommonDialog1.Filter, QStringLiteral("text (*.txt)|*.txt|ini (*.ini)|*.ini|all (*.*)|*.*"));
    QCOMPARE(desk.f.form->CommonDialog1.FilterIndex, 1);
}

// The one dialog component keeps the path it returned last, whichever command showed it.
void FileOpenTest::dialogRemembersTheLastFile()
{
    Desk desk;
    writeFile(desk.path("a.txt"), "a");
    auto lastOpenDialogName = [&] {
        desk.answer({"OK"}, {""});
        desk.f.form->OpenFile();
        return desk.f.host.shownFileDialogs.back().fileName;
    };

    desk.open("a.txt");
    desk.answer({}, {"b.txt"});
    desk.f.form->FileSaveAs();
    QCOMPARE(desk.f.host.shownFileDialogs.back().fileName, QString()); // Save As starts empty
    desk.f.form->FileNew();
    desk.answer({}, {"a.txt"});
    desk.f.form->OpenFile();
    QCOMPARE(desk.f.host.shownFileDialogs.back().fileName, desk.path("b.txt"));
    desk.f.form->FileNew(); // a new document leaves the dialog's name alone
    QCOMPARE(lastOpenDialogName(), desk.path("a.txt"));
    QCOMPARE(lastOpenDialogName(), QString()); // after a cancelled dialog, empty
    QVERIFY(desk.f.host.unexpected.isEmpty());
}

void FileOpenTest::statusPanelsComeFromTheFileOnDisk_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QDateTime>("modified");
    QTest::addColumn<QString>("size");

    QTest::newRow("75 bytes") << QByteArray(75, 'x') << QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7)) << "75 Bytes";
    QTest::newRow("empty file") << QByteArray() << QDateTime(QDate(2025, 12, 31), QTime(23, 59, 59)) << "0 Bytes";
    QTest::newRow("one byte at midnight") << QByteArray("1") << QDateTime(QDate(2024, 2, 29), QTime(0, 0)) << "1 Bytes";
}

void FileOpenTest::statusPanelsComeFromTheFileOnDisk()
{
    QFETCH(QByteArray, content);
    QFETCH(QDateTime, modified);
    QFETCH(QString, size);

    Desk desk;
    const QString path = writeFile(desk.path("f.txt"), content);
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(modified, QFileDevice::FileModificationTime));
    }
    desk.open("f.txt");
    QCOMPARE(desk.panels(), (QStringList{path, FileStatus::dateText(modified, QLocale::system()), size}));
    QCOMPARE(desk.text(), QString::fromLatin1(content));
    QCOMPARE(App.TextChanged, false);
    if (modified.time() == QTime(0, 0))
        QCOMPARE(desk.panels().at(1), QLocale::system().toString(modified.date(), QLocale::ShortFormat));
}

void FileOpenTest::reopeningReadsTheFileAgain()
{
    Desk desk;
    const QString path = writeFile(desk.path("a.txt"), "first");
    desk.open("a.txt");
    desk.type("typed");
    writeFile(path, "second version");
    desk.answer({"No"}, {"a.txt"});
    desk.f.form->FileOpen();
    QCOMPARE(desk.text(), QStringLiteral("second version"));
    QCOMPARE(desk.panels().at(2), QStringLiteral("14 Bytes"));
    QCOMPARE(App.TextChanged, false);
}

void FileOpenTest::everyByteSurvivesARoundTrip_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("saved");

    QByteArray all;
    for (int b = 0; b < 256; ++b) {
        if (b == '\r' || b == '\n')
            continue;
        all += char(b);
        if (b % 64 == 63)
            all += "\r\n";
    }
    QTest::newRow("every byte but the line ends, CR LF lines") << all << all + "\r\n";
    QTest::newRow("a lone LF and a lone CR become CR LF") << QByteArray("a\nb\rc") << QByteArray("a\r\nb\r\nc\r\n");
    QTest::newRow("empty file") << QByteArray() << QByteArray("\r\n");
}

void FileOpenTest::everyByteSurvivesARoundTrip()
{
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, saved);

    Desk desk;
    const QString path = writeFile(desk.path("bytes.bin"), content);
    desk.open("bytes.bin");
    QVERIFY(desk.f.host.shownMessages.empty());
    desk.f.form->FileSave();
    QVERIFY2(desk.f.host.unexpected.isEmpty(), qPrintable(desk.f.host.unexpected.join('\n')));
    const QByteArray back = Scene::readBytes(path);
    if (back != saved) {
        for (qsizetype i = 0; i < std::min(back.size(), saved.size()); ++i)
            QVERIFY2(back.at(i) == saved.at(i),
                     qPrintable(QStringLiteral("first difference at byte %1: %2, expected %3")
                                    .arg(i)
                                    .arg(quint8(back.at(i)))
                                    .arg(quint8(saved.at(i)))));
        QCOMPARE(back.size(), saved.size());
    }
    QCOMPARE(desk.panels().at(2), QString::number(saved.size()) + " Bytes");
}

void FileOpenTest::richTextIsShownFormattedAndSavedAsPlainText()
{
    Desk desk;
    const QString path = writeFile(desk.path("doc.rtf"), "{\\rtf1\\ansi Hello \\b World\\b0\\par}");
    desk.open("doc.rtf");
    QVERIFY(desk.text().startsWith(QStringLiteral("Hello World")));
    QTextCursor cursor(desk.box().document());
    cursor.setPosition(8); // inside "World"
    QVERIFY2(cursor.charFormat().fontWeight() >= QFont::Bold, "World is shown bold");
    cursor.setPosition(2); // inside "Hello"
    QVERIFY(cursor.charFormat().fontWeight() < QFont::Bold);

    const QString plain = desk.text();
    desk.f.form->FileSave();
    const QByteArray saved = Scene::readBytes(path);
    QCOMPARE(saved, (plain + "\r\n").toLatin1());
    QVERIFY(saved.startsWith("Hello World\r\n"));
    QVERIFY(!saved.contains('{') && !saved.contains('\\'));
}

// The busy pointer shows while the file is read and handed over, and never stays.
void FileOpenTest::busyPointerDuringTheLoadOnly()
{
    Desk desk;
    writeFile(desk.path("a.txt"), "some text");
    std::optional<Qt::CursorShape> duringLoad;
    connect(desk.box().document(), &QTextDocument::contentsChange, this, [&] {
        duringLoad = QApplication::overrideCursor() ? QApplication::overrideCursor()->shape() : Qt::ArrowCursor;
    });
    desk.open("a.txt");
    QCOMPARE(duringLoad, std::optional<Qt::CursorShape>(Qt::WaitCursor));
    QCOMPARE(QApplication::overrideCursor(), nullptr);

    desk.answer({"OK"}, {"missing.txt"});
    desk.f.form->FileOpen();
    QCOMPARE(QApplication::overrideCursor(), nullptr);
}

QTEST_MAIN(FileOpenTest)
#include "tst_fileopen.moc"
