// The about dialog: its layout, the version information it shows, the keys that close
// it and those that don't, and that each showing starts afresh.
#include "FormFixture.h"

#include "platform/RichTextBox.h"
#include "platform/Twips.h"
#include "ui/frmAbout.h"

#include "VersionInfo.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <cmath>
#include <functional>

namespace {

QRect pixels(double left, double top, double width, double height)
{
    return QRect(int(std::lround(Twips::toPixelsX(left))), int(std::lround(Twips::toPixelsY(top))),
                 int(std::lround(Twips::toPixelsX(width))), int(std::lround(Twips::toPixelsY(height))));
}

VersionInformation sample()
{
    VersionInformation info;
    info.major = 2;
    info.minor = 10;
    info.revision = 0;
    info.CompanyName = QStringLiteral("  Example Makers  ");
    info.LegalCopyright = QStringLiteral("Copyright 2026 Example Makers");
    info.LegalTrademarks = QStringLiteral("No marks");
    info.Comments = QStringLiteral("First line of the notes, long enough to wrap in its box.\nSecond line.");
    return info;
}

// Shows the dialog modally through the real host; `act` runs once it is on the screen
// with the focus where painting put it. Returns whether the dialog was still open
// after `act`, then closes it if so. A dialog that never gets there fails the test
// rather than hanging it.
bool showModally(frmAbout& dialog, const std::function<void(frmAbout&)>& act)
{
    bool stillOpen = false;
    int tries = 0;
    QObject guard; // timers still pending when the dialog closes die with it
    std::function<void()> poll = [&] {
        if (!dialog.isVisible() || dialog.focusWidget() != dialog.cmdOK) {
            if (++tries < 500) {
                QTimer::singleShot(10, &guard, poll);
            } else {
                QTest::qFail("the dialog never showed with the focus on cmdOK", __FILE__, __LINE__);
                dialog.cmdOK->click();
            }
            return;
        }
        QApplication::setActiveWindow(&dialog);
        act(dialog);
        QTimer::singleShot(50, &guard, [&] {
            stillOpen = dialog.isVisible();
            if (stillOpen)
                dialog.cmdOK->click();
        });
    };
    QTimer::singleShot(0, &guard, poll);
    QtModalHost host;
    host.execDialog(dialog);
    return stillOpen;
}

} // namespace

class AboutTest : public QObject {
    Q_OBJECT

private slots:
    void versionText_data();
    void versionText();
    void windowAndControls_data();
    void windowAndControls();
    void showsTheInformationAsItIs();
    void showsTheBuiltInInformation();
    void tabOrder();
    void keysOnTheDialog_data();
    void keysOnTheDialog();
    void onlyTheOtherBoxesAcceptTyping();
    void eachShowingStartsAfreshAndChangesNothing();
    void accessibleNames();
};

void AboutTest::versionText_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<int>("revision");
    QTest::addColumn<QString>("text");
    QTest::newRow("1.0.16") << 1 << 0 << 16 << "1.0.16";
    QTest::newRow("2.10.0") << 2 << 10 << 0 << "2.10.0";
    QTest::newRow("zeros") << 0 << 0 << 0 << "0.0.0";
    QTest::newRow("largest") << 65535 << 65535 << 65535 << "65535.65535.65535";
}

void AboutTest::versionText()
{
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(int, revision);
    QFETCH(QString, text);
    QCOMPARE(::versionText(std::uint16_t(major), std::uint16_t(minor), std::uint16_t(revision)), text);
    VersionInformation info;
    info.major = std::uint16_t(major);
    info.minor = std::uint16_t(minor);
    info.revision = std::uint16_t(revision);
    frmAbout dialog(info, nullptr);
    QCOMPARE(dialog.txtVersion->text(), text);
}

void AboutTest::windowAndControls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("geometry");
    QTest::newRow("Label1") << "Label1"
                            << "Author:" << pixels(120, 240, 615, 255);
    QTest::newRow("txtCompanyName") << "txtCompanyName"
                                    << "" << pixels(960, 240, 3135, 285);
    QTest::newRow("Label2") << "Label2"
                            << "Version" << pixels(120, 1320, 735, 255);
    QTest::newRow("txtCopyright") << "txtCopyright"
                                  << "" << pixels(960, 600, 3135, 285);
    QTest::newRow("txtTrademarks") << "txtTrademarks"
                                   << "" << pixels(960, 960, 3135, 285);
    QTest::newRow("txtComments") << "txtComments"
                                 << "" << pixels(960, 1800, 3015, 495);
    QTest::newRow("txtVersion") << "txtVersion"
                                << "" << pixels(960, 1320, 1215, 285);
    QTest::newRow("Label3") << "Label3"
                            << "Notes" << pixels(120, 1920, 615, 255);
    QTest::newRow("cmdOK") << "cmdOK"
                           << "&Ok" << pixels(2040, 2640, 735, 375);
}

void AboutTest::windowAndControls()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QRect, geometry);

    frmAbout dialog(sample(), nullptr);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("About Corvana"));
    QCOMPARE(dialog.geometry(), pixels(2130, 2670, 4980, 3060)); // the client area on the screen
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
    QVERIFY(dialog.autoFillBackground());
    QCOMPARE(dialog.palette().color(QPalette::Window), QColor(192, 192, 192));
    QVERIFY(!dialog.cmdOK->isDefault() && !dialog.cmdOK->autoDefault());

    auto* control = dialog.findChild<QWidget*>(name);
    QVERIFY(control);
    QCOMPARE(control->geometry(), geometry);
    if (auto* label = qobject_cast<QLabel*>(control)) {
        QCOMPARE(label->text(), caption);
        QCOMPARE(label->focusPolicy(), Qt::NoFocus);
    }
    if (auto* button = qobject_cast<QPushButton*>(control))
        QCOMPARE(button->text(), caption);
    // No control has a font of its own.
    QVERIFY(!control->testAttribute(Qt::WA_SetFont));
}

void AboutTest::showsTheInformationAsItIs()
{
    const VersionInformation info = sample();
    frmAbout dialog(info, nullptr);
    QCOMPARE(dialog.txtCompanyName->text(), info.CompanyName); // blanks and all
    QCOMPARE(dialog.txtCopyright->text(), info.LegalCopyright);
    QCOMPARE(dialog.txtTrademarks->text(), info.LegalTrademarks);
    QCOMPARE(dialog.txtComments->toPlainText(), info.Comments);
    QCOMPARE(dialog.txtVersion->text(), QStringLiteral("2.10.0"));
    // A text too long for its single-line box shows its start.
    QCOMPARE(dialog.txtCopyright->cursorPosition(), 0);
    QCOMPARE(dialog.txtComments->lineWrapMode(), QPlainTextEdit::WidgetWidth);

    frmAbout empty(VersionInformation{}, nullptr);
    QCOMPARE(empty.txtCompanyName->text(), QString());
    QCOMPARE(empty.txtComments->toPlainText(), QString());
    QCOMPARE(empty.txtVersion->text(), QStringLiteral("0.0.0"));
}

void AboutTest::showsTheBuiltInInformation()
{
    const VersionInformation built = programVersionInformation();
    QVERIFY(!built.CompanyName.isEmpty() && !built.LegalCopyright.isEmpty() && !built.FileDescription.isEmpty());
    frmAbout dialog;
    QCOMPARE(dialog.txtCompanyName->text(), built.CompanyName);
    QCOMPARE(dialog.txtComments->toPlainText(), built.Comments);
    QCOMPARE(dialog.txtVersion->text(), ::versionText(built.major, built.minor, built.revision));
    // The numbers are the project's version.
    QCOMPARE(QStringLiteral("%1.%2.%3").arg(built.major).arg(built.minor).arg(built.revision),
             QStringLiteral(CORVANA_PROJECT_VERSION));
}

void AboutTest::tabOrder()
{
    frmAbout dialog(sample(), nullptr);
    QStringList order;
    showModally(dialog, [&](frmAbout& d) {
        for (int i = 0; i < 6; ++i) {
            QTest::keyClick(d.focusWidget(), Qt::Key_Tab);
            order << d.focusWidget()->objectName();
        }
    });
    QCOMPARE(order,
             (QStringList{"txtCompanyName", "txtCopyright", "txtTrademarks", "txtComments", "txtVersion", "cmdOK"}));
}

void AboutTest::keysOnTheDialog_data()
{
    QTest::addColumn<QString>("focus"); // where the key is pressed
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("closes");
    QTest::newRow("Enter on Ok") << "cmdOK" << int(Qt::Key_Return) << true;
    QTest::newRow("keypad Enter on Ok") << "cmdOK" << int(Qt::Key_Enter) << true;
    QTest::newRow("Space on Ok") << "cmdOK" << int(Qt::Key_Space) << true;
    QTest::newRow("Escape: no cancel button") << "cmdOK" << int(Qt::Key_Escape) << false;
    QTest::newRow("Enter in a text box: no default button") << "txtCopyright" << int(Qt::Key_Return) << false;
    QTest::newRow("Escape in a text box") << "txtCopyright" << int(Qt::Key_Escape) << false;
}

void AboutTest::keysOnTheDialog()
{
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(bool, closes);
    frmAbout dialog(sample(), nullptr);
    const bool stillOpen = showModally(dialog, [&](frmAbout& d) {
        auto* target = d.findChild<QWidget*>(focus);
        target->setFocus(Qt::MouseFocusReason);
        QTest::keyClick(target, Qt::Key(key));
    });
    QCOMPARE(stillOpen, !closes);
}

void AboutTest::onlyTheOtherBoxesAcceptTyping()
{
    frmAbout dialog(sample(), nullptr);
    QString company, copyright, comments;
    showModally(dialog, [&](frmAbout& d) {
        for (QWidget* box : {static_cast<QWidget*>(d.txtCompanyName), static_cast<QWidget*>(d.txtCopyright),
                             static_cast<QWidget*>(d.txtComments)}) {
            box->setFocus(Qt::MouseFocusReason);
            QTest::keyClick(box, Qt::Key_End, Qt::ControlModifier); // the end of the notes
            QTest::keyClick(box, Qt::Key_End);                      // the end of a line
            QTest::keyClicks(box, QStringLiteral("!"));
        }
        company = d.txtCompanyName->text();
        copyright = d.txtCopyright->text();
        comments = d.txtComments->toPlainText();
    });
    QCOMPARE(company, sample().CompanyName);
    QCOMPARE(copyright, sample().LegalCopyright + QLatin1Char('!'));
    QCOMPARE(comments, sample().Comments + QLatin1Char('!'));
}

void AboutTest::eachShowingStartsAfreshAndChangesNothing()
{
    FormFixture f;
    f.form->RichTextBox1->setText(QStringLiteral("some text"));
    f.form->RichTextBox1->setSelStart(2);
    f.form->RichTextBox1->setSelLength(3);
    App.TextChanged = true;
    App.CurrentFileName = QStringLiteral("/tmp/some.txt");
    const VersionInformation built = programVersionInformation();

    QStringList seen;
    f.host.dialogActions.push_back([&](QDialog& d) {
        auto& about = dynamic_cast<frmAbout&>(d);
        QVERIFY(about.isModal());
        about.txtCopyright->setText(QStringLiteral("typed over"));
        about.txtComments->setPlainText(QStringLiteral("typed over"));
        about.cmdOK->click();
    });
    f.host.dialogActions.push_back([&](QDialog& d) {
        auto& about = dynamic_cast<frmAbout&>(d);
        seen << about.txtCopyright->text() << about.txtComments->toPlainText();
        about.close(); // through the window's frame: the same as Ok
    });
    f.form->About();
    f.form->About();
    QCOMPARE(f.host.shownDialogs, (std::vector<QString>{"frmAbout", "frmAbout"}));
    QCOMPARE(seen, (QStringList{built.LegalCopyright, built.Comments}));
    QVERIFY(!f.form->findChild<frmAbout*>()); // nothing kept between showings
    QCOMPARE(f.form->RichTextBox1->Text(), QStringLiteral("some text"));
    QCOMPARE(f.form->RichTextBox1->SelStart(), 2);
    QCOMPARE(f.form->RichTextBox1->SelLength(), 3);
    QCOMPARE(App.TextChanged, true);
    QCOMPARE(App.CurrentFileName, QStringLiteral("/tmp/some.txt"));
    QVERIFY2(f.host.unexpected.isEmpty(), qPrintable(f.host.unexpected.join(", ")));
}

void AboutTest::accessibleNames()
{
    frmAbout dialog(sample(), nullptr);
    auto name = [](QObject* o) { return QAccessible::queryAccessibleInterface(o)->text(QAccessible::Name); };
    QCOMPARE(name(&dialog), QStringLiteral("About Corvana"));
    QCOMPARE(name(dialog.cmdOK), QStringLiteral("Ok"));
    QCOMPARE(name(dialog.Label1), QStringLiteral("Author:"));
    QCOMPARE(name(dialog.txtCompanyName), QStringLiteral("Author"));
    QCOMPARE(name(dialog.txtVersion), QStringLiteral("Version"));
    QCOMPARE(name(dialog.txtComments), QStringLiteral("Notes"));
    QAccessibleInterface* version = QAccessible::queryAccessibleInterface(dialog.txtVersion);
    QCOMPARE(version->text(QAccessible::Value), QStringLiteral("2.10.0"));
}

QTEST_MAIN(AboutTest)
#include "tst_about.moc"
