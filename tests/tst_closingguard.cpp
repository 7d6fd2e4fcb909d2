// The closing guard through the real main window: every way of closing it, and every
// answer to the unsaved-changes prompt.
#include "DocumentScene.h"

#include "platform/Toolbar.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QTimer>
#include <QToolButton>
#include <QWindow>
#include <QtTest>

using Scene::Desk;

namespace {

const QByteArray Original = "original\r\n";

// Asks the window to close the way the user or the platform does.
void requestClose(Form1& form, const QString& path)
{
    if (path == "Exit menu item") {
        form.menuItem(QStringLiteral("FileExit"))->trigger();
    } else if (path == "bExit button") {
        QTest::mouseClick(form.Toolbar1->button(QStringLiteral("bExit")), Qt::LeftButton);
    } else if (path == "close box") {
        // What the window manager's close request becomes: a close event on the window.
        QCloseEvent close;
        QCoreApplication::sendEvent(form.windowHandle(), &close);
    } else if (path == "platform quit") {
        // The platform asks the application to quit, as at the end of a session.
        QEvent quit(QEvent::Quit);
        QCoreApplication::sendEvent(qApp, &quit);
    } else {
        QFAIL("unknown close path");
    }
}

} // namespace

class ClosingGuardTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup();
    void closing_data();
    void closing();
    void cancelledPromptIsAskedAgain();
    void keyThatChangesNothingStillCounts();
    void afterStartUpWithAFileNoPrompt();
};

void ClosingGuardTest::cleanup()
{
    // An accepted quit request ends every event loop until the application's own loop
    // has run again: let it run once.
    QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
}

void ClosingGuardTest::closing_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("changed");
    QTest::addColumn<bool>("named");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("folderGone");
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<bool>("closed");
    QTest::addColumn<QString>("savedTo");

    const QStringList none;
    const QString edit = QStringLiteral(" edited");
    const QStringList paths{"Exit menu item", "bExit button", "close box", "platform quit"};
    for (const QString& path : paths) {
        auto row = [&](const char* name) { return &(QTest::newRow(qPrintable(path + ": " + name)) << path); };
        // clang-format off
        *row("no changes: closes without a prompt")
            << false << true << edit << false << none << none << none << true << "";
        *row("Cancel: stays open")
            << true << true << edit << false << QStringList{"Cancel"} << none
            << QStringList{"prompt"} << false << "";
        *row("No: closes, the file untouched")
            << true << true << edit << false << QStringList{"No"} << none
            << QStringList{"prompt"} << true << "";
        *row("Yes, named: saved, closes")
            << true << true << edit << false << QStringList{"Yes"} << none
            << QStringList{"prompt"} << true << "sub/doc.txt";
        *row("Yes, unnamed: save as, closes")
            << true << false << edit << false << QStringList{"Yes"} << QStringList{"saved.txt"}
            << QStringList{"prompt"} << true << "saved.txt";
        *row("Yes, save dialog cancelled: stays open")
            << true << false << edit << false << QStringList{"Yes", "OK"} << QStringList{""}
            << QStringList{"prompt", "Save Was Canceled"} << false << "";
        *row("Yes, the write fails: stays open")
            << true << true << edit << true << QStringList{"Yes", "OK"} << none
            << QStringList{"prompt", "error 76"} << false << "";
        *row("Yes, lost characters refused: stays open")
            << true << true << QString::fromUtf8(" Ω") << false << QStringList{"Yes", "No"} << none
            << QStringList{"prompt", "charset"} << false << "";
        // clang-format on
    }
}

void ClosingGuardTest::closing()
{
    QFETCH(QString, path);
    QFETCH(bool, changed);
    QFETCH(bool, named);
    QFETCH(QString, typed);
    QFETCH(bool, folderGone);
    QFETCH(QStringList, answers);
    QFETCH(QStringList, files);
    QFETCH(QStringList, messages);
    QFETCH(bool, closed);
    QFETCH(QString, savedTo);

    Desk desk;
    writeFile(desk.path("sub/doc.txt"), Original);
    desk.open("sub/doc.txt");
    if (!named)
        desk.f.form->FileNew();
    if (changed)
        desk.type(typed);
    if (folderGone)
        QDir(desk.path("sub")).removeRecursively();
    desk.forgetShown();
    const QString text = desk.text();
    const QString nameBefore = App.CurrentFileName;

    desk.answer(answers, files);
    requestClose(*desk.f.form, path);

    QCOMPARE_MESSAGES(desk.f.host.shownMessages, messages);
    QVERIFY2(desk.f.host.unexpected.isEmpty(), qPrintable(desk.f.host.unexpected.join('\n')));
    QCOMPARE(!desk.f.form->isVisible(), closed);
    QCOMPARE(desk.text(), text);
    if (!closed) {
        QCOMPARE(App.TextChanged, true);
        QCOMPARE(App.CurrentFileName, nameBefore);
    }
    if (!savedTo.isEmpty())
        QCOMPARE(Scene::readBytes(desk.path(savedTo)), (text + "\r\n").toLatin1());
    if (savedTo != "sub/doc.txt" && !folderGone)
        QCOMPARE(Scene::readBytes(desk.path("sub/doc.txt")), Original);
}

// The guard keeps nothing: each close request is judged afresh.
void ClosingGuardTest::cancelledPromptIsAskedAgain()
{
    Desk desk;
    desk.type("x");
    desk.answer({"Cancel", "Cancel", "No"});
    desk.f.form->close();
    QVERIFY(desk.f.form->isVisible());
    desk.f.form->FileExit();
    QVERIFY(desk.f.form->isVisible());
    desk.f.form->close();
    QVERIFY(!desk.f.form->isVisible());
    QCOMPARE_MESSAGES(desk.f.host.shownMessages, (QStringList{"prompt", "prompt", "prompt"}));
}

// Backspace at the very start of the text changes nothing, but it is a key press.
void ClosingGuardTest::keyThatChangesNothingStillCounts()
{
    Desk desk;
    desk.box().setFocus();
    QTest::keyClick(&desk.box(), Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(&desk.box(), Qt::Key_Backspace);
    desk.answer({"Cancel"});
    desk.f.form->close();
    QCOMPARE_MESSAGES(desk.f.host.shownMessages, QStringList{"prompt"});
    QVERIFY(desk.f.form->isVisible());
}

void ClosingGuardTest::afterStartUpWithAFileNoPrompt()
{
    QTemporaryDir dir;
    const QString path = writeFile(dir.filePath("a.txt"), "loaded at start-up");
    FormFixture f({path});
    f.form->show();
    f.form->close();
    QVERIFY(!f.form->isVisible());
    QVERIFY(f.host.shownMessages.empty());
    QCOMPARE(Scene::readBytes(path), QByteArray("loaded at start-up"));
}

QTEST_MAIN(ClosingGuardTest)
#include "tst_closingguard.moc"
