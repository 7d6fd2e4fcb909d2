// The toolbar's dispatch by key, checked by what each button does to the editor
// against what its menu item does, and the commands of their own: Help, About, Exit.
#include "FormFixture.h"

#include "platform/RichTextBox.h"
#include "platform/StatusBar.h"
#include "platform/Toolbar.h"
#include "ui/frmFind.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolButton>

#include <functional>

namespace {

const QString Document = QStringLiteral("alpha beta gamma");

// A window as a user has it before pressing a button: some text, "beta" selected,
// nothing to save, the clipboard holding a word, and an answer for every dialog.
struct Scene {
    FormFixture f;

    Scene()
    {
        QGuiApplication::clipboard()->setText(QStringLiteral("PASTED"));
        f.form->show();
        QApplication::setActiveWindow(f.form.get());
        // Laid out and on the screen, so that a click lands on the button it aims at.
        if (!QTest::qWaitForWindowExposed(f.form.get()))
            qFatal("the main window did not appear");
        f.form->RichTextBox1->setText(Document);
        f.form->RichTextBox1->setSelStart(6);
        f.form->RichTextBox1->setSelLength(4);
        App.TextChanged = false;
        f.host.messageAnswers = {MsgAnswer::OK, MsgAnswer::OK};
        f.host.fileAnswers = {std::nullopt};
        f.host.fontAnswers = {FontChoice{QStringLiteral("DejaVu Serif"), 14, false, false}};
        f.host.dialogActions.push_back([](QDialog& d) {
            auto& find = dynamic_cast<frmFind&>(d);
            find.txtFind->setText(QStringLiteral("gamma"));
            find.cmdOK->click();
        });
    }

    Form1& form() { return *f.form; }
};

QString fontAt(RichTextBox& box, int position)
{
    QTextCursor cursor(box.document());
    cursor.setPosition(position + 1);
    const QFont font = cursor.charFormat().font();
    return QStringLiteral("%1 %2").arg(font.families().value(0, font.family())).arg(font.pointSizeF());
}

// Everything a command may change or show, as lines that compare and print well.
QStringList snapshot(Scene& s)
{
    RichTextBox* box = s.form().RichTextBox1;
    QStringList lines{
        "text=" + box->Text(),
        QStringLiteral("selection=%1+%2").arg(box->SelStart()).arg(box->SelLength()),
        QStringLiteral("font=") + fontAt(*box, 0),
        QStringLiteral("TextChanged=%1").arg(App.TextChanged),
        "CurrentFileName=" + App.CurrentFileName,
        QStringLiteral("search=%1/%2").arg(App.SearchText).arg(App.SearchOptions),
        "clipboard=" + QGuiApplication::clipboard()->text(),
        QStringLiteral("visible=%1").arg(s.form().isVisible()),
    };
    for (int i = 1; i <= 3; ++i)
        lines << QStringLiteral("panel%1=").arg(i) + s.form().StatusBar1->panelText(i);
    for (const MessageBoxRequest& m : s.f.host.shownMessages)
        lines << "message=" + m.title + ": " + m.text;
    for (const FileDialogRequest& d : s.f.host.shownFileDialogs)
        lines << (d.kind == FileDialogRequest::Kind::Open ? "file dialog=open" : "file dialog=save");
    for (const FontDialogRequest& d : s.f.host.shownFontDialogs)
        lines << "font dialog=" + d.fontName;
    for (const QString& d : s.f.host.shownDialogs)
        lines << "dialog=" + d;
    return lines;
}

using Effect = std::function<void(Scene&)>;

} // namespace

Q_DECLARE_METATYPE(Effect)

class DispatchTest : public QObject {
    Q_OBJECT

private slots:
    void buttonRunsWhatItsMenuItemRuns_data();
    void buttonRunsWhatItsMenuItemRuns();
    void unknownKeyDoesNothing_data();
    void unknownKeyDoesNothing();
    void helpChangesNothing();
    void exitWithUnsavedChangesAsksFirst_data();
    void exitWithUnsavedChangesAsksFirst();
};

void DispatchTest::buttonRunsWhatItsMenuItemRuns_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("item");
    QTest::addColumn<Effect>("effect"); // what shows that the command ran

    QTest::newRow("bNew") << "bNew"
                          << "FileNew" << Effect([](Scene& s) { QCOMPARE(s.form().RichTextBox1->Text(), QString()); });
    QTest::newRow("bOpen") << "bOpen"
                           << "FileOpen" << Effect([](Scene& s) {
                                  QCOMPARE(s.f.host.shownFileDialogs.size(), std::size_t(1));
                                  QCOMPARE(s.f.host.shownFileDialogs[0].kind, FileDialogRequest::Kind::Open);
                              });
    QTest::newRow("bSave") << "bSave"
                           << "FileSave" << Effect([](Scene& s) {
                                  // Unnamed: the save dialog asks for a name.
                                  QCOMPARE(s.f.host.shownFileDialogs.size(), std::size_t(1));
                                  QCOMPARE(s.f.host.shownFileDialogs[0].kind, FileDialogRequest::Kind::Save);
                              });
    QTest::newRow("bCut") << "bCut"
                          << "EditCut" << Effect([](Scene& s) {
                                 QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("beta"));
                                 QCOMPARE(s.form().RichTextBox1->Text(), QStringLiteral("alpha  gamma"));
                                 QCOMPARE(App.TextChanged, true);
                             });
    QTest::newRow("bCopy") << "bCopy"
                           << "EditCopy" << Effect([](Scene& s) {
                                  QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("beta"));
                                  QCOMPARE(s.form().RichTextBox1->Text(), Document);
                              });
    QTest::newRow("bPaste") << "bPaste"
                            << "EditPaste" << Effect([](Scene& s) {
                                   QCOMPARE(s.form().RichTextBox1->Text(), QStringLiteral("alpha PASTED gamma"));
                                   QCOMPARE(App.TextChanged, true);
                               });
    QTest::newRow("bFind") << "bFind"
                           << "SearchFind" << Effect([](Scene& s) {
                                  QCOMPARE(s.f.host.shownDialogs, (std::vector<QString>{"frmFind"}));
                                  QCOMPARE(App.SearchText, QStringLiteral("gamma"));
                                  QCOMPARE(s.form().RichTextBox1->SelStart(), 11);
                                  QCOMPARE(s.form().RichTextBox1->SelLength(), 5);
                              });
    QTest::newRow("bFont") << "bFont"
                           << "OptionsFont" << Effect([](Scene& s) {
                                  QCOMPARE(s.f.host.shownFontDialogs.size(), std::size_t(1));
                                  QCOMPARE(fontAt(*s.form().RichTextBox1, 0), QStringLiteral("DejaVu Serif 14"));
                                  QCOMPARE(fontAt(*s.form().RichTextBox1, 15), QStringLiteral("DejaVu Serif 14"));
                              });
    QTest::newRow("bPrint") << "bPrint"
                            << "FilePrint" << Effect([](Scene& s) {
                                   // With no printer to print on, the command says so.
                                   QCOMPARE(s.f.host.shownMessages.size(), std::size_t(1));
                                   QCOMPARE(s.f.host.shownMessages[0].text, QStringLiteral("No printer is installed."));
                               });
    QTest::newRow("bExit") << "bExit"
                           << "FileExit" << Effect([](Scene& s) {
                                  QVERIFY(!s.form().isVisible());
                                  QVERIFY(s.f.host.shownMessages.empty()); // nothing to save: no question
                              });
}

void DispatchTest::buttonRunsWhatItsMenuItemRuns()
{
    QFETCH(QString, key);
    QFETCH(QString, item);
    QFETCH(Effect, effect);

    QStringList byButton, byMenu;
    {
        Scene s;
        QToolButton* button = s.form().Toolbar1->button(key);
        QVERIFY(button);
        QTest::mouseClick(button, Qt::LeftButton);
        effect(s);
        if (QTest::currentTestFailed())
            return;
        byButton = snapshot(s);
        QVERIFY2(s.f.host.unexpected.isEmpty(), qPrintable(s.f.host.unexpected.join(", ")));
    }
    {
        Scene s;
        s.form().menuItem(item)->trigger();
        effect(s);
        if (QTest::currentTestFailed())
            return;
        byMenu = snapshot(s);
    }
    QCOMPARE(byButton, byMenu);
}

void DispatchTest::unknownKeyDoesNothing_data()
{
    QTest::addColumn<QString>("key");
    QTest::newRow("empty") << "";
    QTest::newRow("another case") << "bnew";
    QTest::newRow("blank after") << "bExit ";
    QTest::newRow("a caption") << "Exit";
    QTest::newRow("a command without a button") << "bSaveAs";
    QTest::newRow("a menu item's name") << "FileNew";
}

void DispatchTest::unknownKeyDoesNothing()
{
    QFETCH(QString, key);
    Scene s;
    const QStringList before = snapshot(s);
    s.form().Toolbar1_ButtonClick(key);
    QCOMPARE(snapshot(s), before);
}

void DispatchTest::helpChangesNothing()
{
    Scene s;
    App.TextChanged = true;
    App.CurrentFileName = QStringLiteral("/tmp/named.txt");
    const QStringList before = snapshot(s);
    s.f.host.messageAnswers = {MsgAnswer::OK};
    s.form().Help();
    QCOMPARE(s.f.host.shownMessages.size(), std::size_t(1));
    const MessageBoxRequest& box = s.f.host.shownMessages[0];
    QCOMPARE(box.text, QStringLiteral("For This Price You've Got To Be Kidding!"));
    QCOMPARE(box.title, QStringLiteral("Corvana Help"));
    QCOMPARE(box.buttons, MsgButtons::OK);
    QCOMPARE(box.icon, MsgIcon::Exclamation);
    QVERIFY(box.helpFile.isEmpty());
    s.f.host.shownMessages.clear();
    QCOMPARE(snapshot(s), before);
}

void DispatchTest::exitWithUnsavedChangesAsksFirst_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<MsgAnswer>("answer");
    QTest::addColumn<bool>("closes");
    QTest::newRow("button, Cancel") << "bExit" << MsgAnswer::Cancel << false;
    QTest::newRow("button, No") << "bExit" << MsgAnswer::No << true;
    QTest::newRow("menu, Cancel") << "FileExit" << MsgAnswer::Cancel << false;
    QTest::newRow("menu, No") << "FileExit" << MsgAnswer::No << true;
    QTest::newRow("close box, Cancel") << "close" << MsgAnswer::Cancel << false;
}

void DispatchTest::exitWithUnsavedChangesAsksFirst()
{
    QFETCH(QString, how);
    QFETCH(MsgAnswer, answer);
    QFETCH(bool, closes);
    Scene s;
    QTest::keyClicks(s.form().RichTextBox1, QStringLiteral("x"));
    QCOMPARE(App.TextChanged, true);
    s.f.host.messageAnswers = {answer};
    if (how == QLatin1String("bExit"))
        QTest::mouseClick(s.form().Toolbar1->button(how), Qt::LeftButton);
    else if (how == QLatin1String("FileExit"))
        s.form().menuItem(how)->trigger();
    else
        s.form().close();
    QCOMPARE(s.f.host.shownMessages.size(), std::size_t(1));
    QCOMPARE(s.f.host.shownMessages[0].text, QStringLiteral("Do You Want To Save The File"));
    QCOMPARE(s.f.host.shownMessages[0].title, QStringLiteral("Warning! Text Has Changed"));
    QCOMPARE(s.form().isVisible(), !closes);
    QCOMPARE(s.form().RichTextBox1->Text(), QStringLiteral("alpha x gamma")); // typed over the selection
}

int main(int argc, char* argv[])
{
    // Printing finds no printer here: a run of the tests never reaches a real one.
    qputenv("CUPS_SERVER", "/nonexistent/cups.sock");
    QApplication app(argc, argv);
    DispatchTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_dispatch.moc"
