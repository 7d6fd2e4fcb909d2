// The new-document command through the real main window.
#include "DocumentScene.h"

#include <QDir>
#include <QtTest>

using Scene::Desk;

namespace {
const QByteArray Original = "original\r\n";
}

class FileNewTest : public QObject {
    Q_OBJECT

private slots:
    void outcomes_data();
    void outcomes();
    void afterwards();
};

void FileNewTest::outcomes_data()
{
    QTest::addColumn<bool>("changed");
    QTest::addColumn<bool>("named");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("folderGone");
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<bool>("emptied"); // document, panels and name emptied
    QTest::addColumn<bool>("textChanged");
    QTest::addColumn<QString>("savedTo");

    const QStringList none;
    const QString edit = QStringLiteral(" edited");
    // clang-format off
    QTest::newRow("no changes: empties without a prompt")
        << false << true << edit << false << none << none << none << true << false << "";
    QTest::newRow("prompt Cancel: nothing changes")
        << true << true << edit << false << QStringList{"Cancel"} << none
        << QStringList{"prompt"} << false << true << "";
    QTest::newRow("prompt No: empties, the changes are dropped")
        << true << true << edit << false << QStringList{"No"} << none
        << QStringList{"prompt"} << true << false << "";
    QTest::newRow("prompt Yes, named: saves, then empties")
        << true << true << edit << false << QStringList{"Yes"} << none
        << QStringList{"prompt"} << true << false << "sub/doc.txt";
    QTest::newRow("prompt Yes, unnamed: save as, then empties")
        << true << false << edit << false << QStringList{"Yes"} << QStringList{"saved.txt"}
        << QStringList{"prompt"} << true << false << "saved.txt";
    QTest::newRow("prompt Yes, save dialog cancelled: the document stays")
        << true << false << edit << false << QStringList{"Yes", "OK"} << QStringList{""}
        << QStringList{"prompt", "Save Was Canceled"} << false << true << "";
    QTest::newRow("prompt Yes, the write fails: the document stays")
        << true << true << edit << true << QStringList{"Yes", "OK"} << none
        << QStringList{"prompt", "error 76"} << false << true << "";
    QTest::newRow("prompt Yes, lost characters refused: the document stays")
        << true << true << QString::fromUtf8(" Ω") << false << QStringList{"Yes", "No"} << none
        << QStringList{"prompt", "charset"} << false << true << "";
    // clang-format on
}

void FileNewTest::outcomes()
{
    QFETCH(bool, changed);
    QFETCH(bool, named);
    QFETCH(QString, typed);
    QFETCH(bool, folderGone);
    QFETCH(QStringList, answers);
    QFETCH(QStringList, files);
    QFETCH(QStringList, messages);
    QFETCH(bool, emptied);
    QFETCH(bool, textChanged);
    QFETCH(QString, savedTo);

    Desk desk;
    writeFile(desk.path("sub/doc.txt"), Original);
    desk.open("sub/doc.txt");
    if (!named)
        App.CurrentFileName.clear(); // as after a cancelled open dialog: panels still full
    if (changed)
        desk.type(typed);
    if (folderGone)
        QDir(desk.path("sub")).removeRecursively();
    desk.forgetShown();
    const QString text = desk.text();
    const QString nameBefore = App.CurrentFileName;
    const QStringList panelsBefore = desk.panels();

    desk.answer(answers, files);
    desk.f.form->FileNew();

    QCOMPARE_MESSAGES(desk.f.host.shownMessages, messages);
    QVERIFY2(desk.f.host.unexpected.isEmpty(), qPrintable(desk.f.host.unexpected.join('\n')));
    QCOMPARE(desk.text(), emptied ? QString() : text);
    QCOMPARE(desk.panels(), emptied ? QStringList(3, QString()) : panelsBefore);
    QCOMPARE(App.CurrentFileName, emptied ? QString() : nameBefore);
    QCOMPARE(App.TextChanged, textChanged);
    if (!savedTo.isEmpty())
        QCOMPARE(Scene::readBytes(desk.path(savedTo)), (text + "\r\n").toLatin1());
    if (savedTo != "sub/doc.txt" && !folderGone)
        QCOMPARE(Scene::readBytes(desk.path("sub/doc.txt")), Original);
}

// After a new document: Save asks for a name, the open dialog still remembers the last
// file, and the search text is kept.
void FileNewTest::afterwards()
{
    Desk desk;
    writeFile(desk.path("a.txt"), "a");
    desk.open("a.txt");
    App.SearchText = QStringLiteral("needle");
    App.SearchOptions = 6;
    desk.f.form->FileNew();
    QCOMPARE(App.SearchText, QStringLiteral("needle"));
    QCOMPARE(App.SearchOptions, std::int16_t(6));
    QCOMPARE(desk.f.form->CommonDialog1.FileName, desk.path("a.txt"));

    desk.forgetShown();
    desk.answer({}, {"b.txt"});
    desk.f.form->FileSave();
    QCOMPARE(desk.f.host.shownFileDialogs.size(), std::size_t(1));
    QCOMPARE(desk.f.host.shownFileDialogs.front().kind, FileDialogRequest::Kind::Save);
    QCOMPARE(Scene::readBytes(desk.path("b.txt")), QByteArray("\r\n"));
    QVERIFY(desk.f.host.unexpected.isEmpty());
}

QTEST_MAIN(FileNewTest)
#include "tst_filenew.moc"
