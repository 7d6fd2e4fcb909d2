// Start-up through the real main window: the window's size and place, the layout rule
// of the editing area, loading the command-line file, change tracking, and the error
// message start-up shows.
#include "FormFixture.h"

#include "app/Startup.h"
#include "document/Codec8Bit.h"
#include "document/ErrorReport.h"
#include "platform/RichTextBox.h"
#include "platform/StatusBar.h"
#include "platform/Twips.h"

#include <QApplication>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

#include <cmath>

namespace {

void showAndActivate(Form1& form)
{
    form.show();
    QApplication::setActiveWindow(&form);
    QVERIFY(QTest::qWaitForWindowActive(&form));
}

void checkNoFileNoPanels(const Form1& form)
{
    QCOMPARE(App.CurrentFileName, QString());
    for (int i = 1; i <= 3; ++i)
        QCOMPARE(form.StatusBar1->panelText(i), QString());
}

} // namespace

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    void centeredOnScreen_data();
    void centeredOnScreen();
    void windowCoversTheMiddleOfTheScreen();
    void centerFormOnAnotherWindow();
    void editingAreaFor_data();
    void editingAreaFor();
    void layoutRuleFollowsTheWindow_data();
    void layoutRuleFollowsTheWindow();
    void endOfALongDocumentStaysReachable();
    void startupResetsTheSearchOptionsOnly();
    void startupWithoutAFile();
    void startupLoadsTheCommandLineFileAsPlainText_data();
    void startupLoadsTheCommandLineFileAsPlainText();
    void everyByteLoadsAtStartup();
    void startupReportsAFileItCannotLoad_data();
    void startupReportsAFileItCannotLoad();
    void changeTracking_data();
    void changeTracking();
    void showErrorText_data();
    void showErrorText();
};

void StartupTest::centeredOnScreen_data()
{
    QTest::addColumn<double>("W");
    QTest::addColumn<double>("H");
    QTest::addColumn<double>("left");
    QTest::addColumn<double>("top");
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::newRow("1600 x 1200 pixels") << 24000.0 << 18000.0 << 3000.0 << 2250.0 << 18000.0 << 13500.0;
    QTest::newRow("fractions kept") << 24001.0 << 18001.0 << 3000.125 << 2250.125 << 18000.75 << 13500.75;
    QTest::newRow("800 x 600 pixels") << 12000.0 << 9000.0 << 1500.0 << 1125.0 << 9000.0 << 6750.0;
    QTest::newRow("one twip") << 1.0 << 1.0 << 0.125 << 0.125 << 0.75 << 0.75;
}

void StartupTest::centeredOnScreen()
{
    QFETCH(double, W);
    QFETCH(double, H);
    QFETCH(double, left);
    QFETCH(double, top);
    QFETCH(double, width);
    QFETCH(double, height);
    const TwipsRect r = ::centeredOnScreen(W, H);
    QCOMPARE(r.width, width);
    QCOMPARE(r.height, height);
    QCOMPARE(r.left, left);
    QCOMPARE(r.top, top);
}

void StartupTest::windowCoversTheMiddleOfTheScreen()
{
    // The offscreen screen has no window frames: the outer size is the client size.
    FormFixture f;
    showAndActivate(*f.form);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const double W = Twips::fromPixelsX(screen.width());
    const double H = Twips::fromPixelsY(screen.height());
    const QRect outer = f.form->frameGeometry();
    QCOMPARE(outer.x(), int(std::lround(Twips::toPixelsX(W / 8))) + screen.x());
    QCOMPARE(outer.y(), int(std::lround(Twips::toPixelsY(H / 8))) + screen.y());
    QCOMPARE(outer.width(), int(std::lround(Twips::toPixelsX(0.75 * W))));
    QCOMPARE(outer.height(), int(std::lround(Twips::toPixelsY(0.75 * H))));
    // And the layout rule has seen that size.
    QCOMPARE(f.form->RichTextBox1->Width(), Twips::fromPixelsX(outer.width()) - 75);
    QCOMPARE(f.form->RichTextBox1->Height(), Twips::fromPixelsY(outer.height()) - 1600);
}

void StartupTest::centerFormOnAnotherWindow()
{
    FormFixture f;
    QWidget other;
    f.form->CenterForm(other);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QCOMPARE(other.width(), int(std::lround(screen.width() * 0.75)));
    QCOMPARE(other.height(), int(std::lround(screen.height() * 0.75)));
    QCOMPARE(other.pos(), QPoint(int(std::lround(screen.width() / 8.0)), int(std::lround(screen.height() / 8.0))));
}

void StartupTest::editingAreaFor_data()
{
    QTest::addColumn<double>("outerWidth");
    QTest::addColumn<double>("outerHeight");
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::newRow("the started window") << 18000.0 << 13500.0 << 17925.0 << 11900.0;
    QTest::newRow("fractions") << 76.5 << 1601.25 << 1.5 << 1.25;
    QTest::newRow("exactly the margins") << 75.0 << 1600.0 << 0.0 << 0.0;
    QTest::newRow("smaller than the margins") << 60.0 << 300.0 << 0.0 << 0.0;
    QTest::newRow("wide but low") << 9000.0 << 1000.0 << 8925.0 << 0.0;
}

void StartupTest::editingAreaFor()
{
    QFETCH(double, outerWidth);
    QFETCH(double, outerHeight);
    QFETCH(double, width);
    QFETCH(double, height);
    const TwipsRect r = ::editingAreaFor(outerWidth, outerHeight);
    QCOMPARE(r.left, 0.0);
    QCOMPARE(r.width, width);
    QCOMPARE(r.height, height);
}

void StartupTest::layoutRuleFollowsTheWindow_data()
{
    QTest::addColumn<QSize>("client");
    QTest::newRow("700 x 500") << QSize(700, 500);
    QTest::newRow("900 x 650") << QSize(900, 650);
    // As small as the toolbar and the status bar let the window be.
    QTest::newRow("the smallest window") << QSize(1, 1);
}

void StartupTest::layoutRuleFollowsTheWindow()
{
    QFETCH(QSize, client);
    FormFixture f;
    showAndActivate(*f.form);
    RichTextBox* box = f.form->RichTextBox1;
    const double top = box->Top();
    f.form->resize(client);
    const QSize expected = client.expandedTo(f.form->minimumSizeHint());
    QTRY_COMPARE(f.form->size(), expected);
    // The rule works from the outer size, frame included.
    const QRect outer = f.form->frameGeometry();
    QVERIFY(outer.width() > expected.width());
    const double w = Twips::fromPixelsX(outer.width()), h = Twips::fromPixelsY(outer.height());
    QCOMPARE(box->Left(), 0.0);
    QCOMPARE(box->Width(), std::max(0.0, w - 75));
    QCOMPARE(box->Height(), std::max(0.0, h - 1600));
    QCOMPARE(box->Top(), top); // directly below the toolbar, as laid out
    // Whatever the rule asks, the area stays inside the client area between the bars.
    QVERIFY(f.form->centralWidget()->rect().contains(box->geometry()));
    QCOMPARE(box->geometry().left(), 0);
}

void StartupTest::endOfALongDocumentStaysReachable()
{
    QTemporaryDir dir;
    QByteArray text;
    for (int i = 1; i <= 400; ++i)
        text += "line " + QByteArray::number(i) + "\r\n";
    text += "the very end";
    const QString path = writeFile(dir.filePath(QStringLiteral("long.txt")), text);
    FormFixture f({path});
    showAndActivate(*f.form);
    RichTextBox* box = f.form->RichTextBox1;
    // The rule asks for more than the space between the bars; the area is held to it.
    const QRect boxOnWindow(box->mapTo(f.form.get(), QPoint(0, 0)), box->size());
    const QRect statusOnWindow = f.form->StatusBar1->geometry();
    QVERIFY2(boxOnWindow.bottom() < statusOnWindow.top(),
             qPrintable(QStringLiteral("%1 >= %2").arg(boxOnWindow.bottom()).arg(statusOnWindow.top())));
    QTest::keyClick(box, Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(box->SelStart(), box->TextLength());
    const QRect caret = box->cursorRect();
    QVERIFY(box->viewport()->rect().contains(caret));
    // Scrolled as far as it goes, the last line is in full view.
    box->verticalScrollBar()->setValue(box->verticalScrollBar()->maximum());
    QVERIFY(box->viewport()->rect().contains(box->cursorRect()));
}

void StartupTest::startupResetsTheSearchOptionsOnly()
{
    App = AppState{};
    App.SearchOptions = 6;
    App.SearchText = QStringLiteral("kept");
    App.TextChanged = true;
    ScriptedModalHost host;
    Form1 form(host, {});
    QCOMPARE(App.SearchOptions, std::int16_t(0));
    QCOMPARE(App.SearchText, QStringLiteral("kept"));
    QCOMPARE(App.TextChanged, false);
}

void StartupTest::startupWithoutAFile()
{
    FormFixture f;
    QVERIFY(f.host.shownMessages.empty());
    QCOMPARE(f.form->RichTextBox1->Text(), QString());
    QCOMPARE(App.TextChanged, false);
    checkNoFileNoPanels(*f.form);
}

void StartupTest::startupLoadsTheCommandLineFileAsPlainText_data()
{
    QTest::addColumn<QStringList>("arguments"); // relative to the temporary folder
    QTest::newRow("one argument with blanks") << QStringList{"my notes/a b.txt"};
    QTest::newRow("arguments joined with single blanks") << QStringList{"my", "notes/a", "b.txt"};
    QTest::newRow("no blanks") << QStringList{"plain.txt"};
}

void StartupTest::startupLoadsTheCommandLineFileAsPlainText()
{
    QFETCH(QStringList, arguments);
    QTemporaryDir dir;
    // Rich-text markup in a file given on the command line shows as characters.
    const QByteArray content = "{\\rtf1\\ansi {\\b bold}}\r\nsecond line\r\n";
    const QString path = writeFile(dir.filePath(arguments.join(QLatin1Char(' '))), content);
    arguments[0] = dir.filePath(arguments[0]);
    QCOMPARE(arguments.join(QLatin1Char(' ')), path);

    FormFixture f(arguments);
    QVERIFY(f.host.shownMessages.empty());
    QCOMPARE(f.form->RichTextBox1->Text(), QString::fromLatin1(content));
    QCOMPARE(App.TextChanged, false); // loading is not typing
    checkNoFileNoPanels(*f.form);
}

void StartupTest::everyByteLoadsAtStartup()
{
    QTemporaryDir dir;
    QByteArray bytes(256, Qt::Uninitialized);
    for (int i = 0; i < 256; ++i)
        bytes[i] = char(i);
    FormFixture f({writeFile(dir.filePath(QStringLiteral("bytes.bin")), bytes)});
    QString expected = Codec8Bit::decode(bytes);
    QCOMPARE(expected.size(), 256);
    // The lone LF (10) and the lone CR (13) each end a line, read back as CR LF.
    expected.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    expected.replace(QStringLiteral("\r\x0e"), QStringLiteral("\r\n\x0e"));
    QCOMPARE(f.form->RichTextBox1->Text(), expected);
    QCOMPARE(f.form->RichTextBox1->Text().at(0xA0 + 2), QChar(0xA0)); // no-break space kept
}

void StartupTest::startupReportsAFileItCannotLoad_data()
{
    QTest::addColumn<QString>("name"); // inside the temporary folder
    QTest::addColumn<QString>("text");
    QTest::newRow("missing file") << "no such file.txt" << QStringLiteral("Error #  53\rFile not found");
    QTest::newRow("a folder") << "" << QStringLiteral("Error #  75\rPath/File access error");
}

void StartupTest::startupReportsAFileItCannotLoad()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QTemporaryDir dir;
    FormFixture f({dir.filePath(name)});
    QCOMPARE(f.host.shownMessages.size(), std::size_t(1));
    const MessageBoxRequest& box = f.host.shownMessages[0];
    QCOMPARE(box.text, text);
    QCOMPARE(box.title, QStringLiteral("Error"));
    QCOMPARE(box.buttons, MsgButtons::OK);
    QCOMPARE(box.icon, MsgIcon::None);
    // The window then opens with its initial content.
    QCOMPARE(App.TextChanged, false);
    QCOMPARE(App.SearchOptions, std::int16_t(0));
    checkNoFileNoPanels(*f.form);
    QCOMPARE(f.form->RichTextBox1->Text(), QString());
    QTest::keyClicks(f.form->RichTextBox1, QStringLiteral("x"));
    QTextCursor cursor(f.form->RichTextBox1->document());
    cursor.setPosition(1);
    QCOMPARE(cursor.charFormat().font().pointSizeF(), 12.0);
}

void StartupTest::changeTracking_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("caret");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("changed");
    QTest::addColumn<QString>("after");
    QTest::newRow("a letter") << "abc" << 3 << int(Qt::Key_X) << true << "abcx";
    QTest::newRow("Enter") << "abc" << 1 << int(Qt::Key_Return) << true << "a\r\nbc";
    QTest::newRow("Backspace") << "abc" << 2 << int(Qt::Key_Backspace) << true << "ac";
    QTest::newRow("Backspace at the very start") << "abc" << 0 << int(Qt::Key_Backspace) << true << "abc";
    // Delete changes the text without a character code: it must count all the same.
    QTest::newRow("Delete") << "abc" << 0 << int(Qt::Key_Delete) << true << "bc";
    QTest::newRow("Delete at the end changes nothing") << "abc" << 3 << int(Qt::Key_Delete) << false << "abc";
    QTest::newRow("Right") << "abc" << 1 << int(Qt::Key_Right) << false << "abc";
    QTest::newRow("Left") << "abc" << 1 << int(Qt::Key_Left) << false << "abc";
    QTest::newRow("Up") << "ab\r\ncd" << 4 << int(Qt::Key_Up) << false << "ab\r\ncd";
    QTest::newRow("Down") << "ab\r\ncd" << 1 << int(Qt::Key_Down) << false << "ab\r\ncd";
    QTest::newRow("Home") << "abc" << 2 << int(Qt::Key_Home) << false << "abc";
    QTest::newRow("End") << "abc" << 0 << int(Qt::Key_End) << false << "abc";
    QTest::newRow("Page Down") << "abc" << 0 << int(Qt::Key_PageDown) << false << "abc";
    QTest::newRow("Shift alone") << "abc" << 0 << int(Qt::Key_Shift) << false << "abc";
}

void StartupTest::changeTracking()
{
    QFETCH(QString, text);
    QFETCH(int, caret);
    QFETCH(int, key);
    QFETCH(bool, changed);
    QFETCH(QString, after);

    FormFixture f;
    RichTextBox* box = f.form->RichTextBox1;
    box->setText(text); // the program's own change
    QCOMPARE(App.TextChanged, false);
    box->setSelStart(caret);
    QTest::keyClick(box, Qt::Key(key));
    QCOMPARE(box->Text(), after);
    QCOMPARE(App.TextChanged, changed);
}

void StartupTest::showErrorText_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("text"); // empty: nothing is shown
    QTest::newRow("75") << 75 << "Path/File access error" << QStringLiteral("Error #  75\rPath/File access error");
    QTest::newRow("53") << 53 << "File not found" << QStringLiteral("Error #  53\rFile not found");
    QTest::newRow("negative") << -5 << "Below zero" << QStringLiteral("Error # -5\rBelow zero");
    QTest::newRow("empty description") << 61 << "" << QStringLiteral("Error #  61\r");
    QTest::newRow("large") << 32755 << "Cancel was selected." << QStringLiteral("Error #  32755\rCancel was selected.");
    QTest::newRow("zero shows nothing") << 0 << "none" << QString();
}

void StartupTest::showErrorText()
{
    QFETCH(int, number);
    QFETCH(QString, description);
    QFETCH(QString, text);

    FormFixture f;
    const Failure failure{number, description, QStringLiteral("/usr/share/help/corvana.txt"), 1234};
    if (!text.isEmpty())
        QCOMPARE(errorMessageText(failure), text);
    f.host.messageAnswers.push_back(MsgAnswer::OK);
    f.form->ShowError(failure, QStringLiteral("Some title"));
    if (text.isEmpty()) {
        QVERIFY(f.host.shownMessages.empty());
        return;
    }
    QCOMPARE(f.host.shownMessages.size(), std::size_t(1));
    const MessageBoxRequest& box = f.host.shownMessages[0];
    QCOMPARE(box.text, text);
    QCOMPARE(box.title, QStringLiteral("Some title"));
    QCOMPARE(box.buttons, MsgButtons::OK);
    QCOMPARE(box.icon, MsgIcon::None);
    QCOMPARE(box.helpFile, failure.helpFile);
    QCOMPARE(box.helpContext, 1234);
}

QTEST_MAIN(StartupTest)
#include "tst_startup.moc"
