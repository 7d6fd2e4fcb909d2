// The real message boxes: what the user sees (text with its line breaks, title,
// buttons, icon), what each way of closing answers, and what a screen reader reads.
#include "platform/ModalHost.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

Q_DECLARE_METATYPE(MsgButtons)
Q_DECLARE_METATYPE(MsgIcon)
Q_DECLARE_METATYPE(MsgAnswer)

namespace {

struct SeenBox {
    QString title, text, accessibleName, accessibleLabelName;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons; // standard buttons' texts, in the box's order
    QString defaultButton;
    bool modal = false;
};

// Runs the box through the real host; `act` gets it once it is on the screen and
// closes it in some way.
MsgAnswer showAndAct(const MessageBoxRequest& request, SeenBox& seen, const std::function<void(QMessageBox&)>& act)
{
    QtModalHost host;
    QObject guard; // no timer outlives this box
    std::function<void()> poll = [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible()) {
            QTimer::singleShot(10, &guard, poll);
            return;
        }
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        seen.modal = box->isModal();
        for (QAbstractButton* b : box->buttons())
            seen.buttons << b->text().remove(QLatin1Char('&'));
        if (box->defaultButton())
            seen.defaultButton = box->defaultButton()->text().remove(QLatin1Char('&'));
        if (QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(box))
            seen.accessibleName = iface->text(QAccessible::Name);
        for (QLabel* label : box->findChildren<QLabel*>())
            if (label->text() == box->text())
                if (QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(label))
                    seen.accessibleLabelName = iface->text(QAccessible::Name);
        act(*box);
    };
    QTimer::singleShot(0, &guard, poll);
    return host.messageBox(nullptr, request);
}

} // namespace

class MessageBoxTest : public QObject {
    Q_OBJECT

private slots:
    void whatTheBoxShows_data();
    void whatTheBoxShows();
    void answers_data();
    void answers();
    void ctrlCCopiesTheMessage();
};

void MessageBoxTest::whatTheBoxShows_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("title");
    QTest::addColumn<MsgButtons>("buttons");
    QTest::addColumn<MsgIcon>("icon");
    QTest::addColumn<QString>("helpFile");
    QTest::addColumn<QString>("shownText");
    QTest::addColumn<QString>("shownTitle");
    QTest::addColumn<QStringList>("shownButtons");
    QTest::addColumn<QMessageBox::Icon>("shownIcon");

    QTest::newRow("error: CR starts a new line") << "Error #  53\rFile not found"
                                                 << "Error" << MsgButtons::OK << MsgIcon::None << ""
                                                 << "Error #  53\nFile not found"
                                                 << "Error" << QStringList{"OK"} << QMessageBox::NoIcon;
    QTest::newRow("no title of its own") << "No File Selected"
                                         << "" << MsgButtons::OK << MsgIcon::None << ""
                                         << "No File Selected"
                                         << "Corvana" << QStringList{"OK"} << QMessageBox::NoIcon;
    QTest::newRow("prompt") << "Do You Want To Save The File"
                            << "Warning! Text Has Changed" << MsgButtons::YesNoCancel << MsgIcon::Exclamation << ""
                            << "Do You Want To Save The File"
                            << "Warning! Text Has Changed" << QStringList{"Yes", "No", "Cancel"}
                            << QMessageBox::Warning;
    QTest::newRow("help offered with a help file")
        << "Error #  57\rDevice I/O error"
        << "Corvana" << MsgButtons::OK << MsgIcon::None << "/nowhere/help.txt"
        << "Error #  57\nDevice I/O error"
        << "Corvana" << QStringList{"OK", "Help"} << QMessageBox::NoIcon;
}

void MessageBoxTest::whatTheBoxShows()
{
    QFETCH(QString, text);
    QFETCH(QString, title);
    QFETCH(MsgButtons, buttons);
    QFETCH(MsgIcon, icon);
    QFETCH(QString, helpFile);
    QFETCH(QString, shownText);
    QFETCH(QString, shownTitle);
    QFETCH(QStringList, shownButtons);
    QFETCH(QMessageBox::Icon, shownIcon);

    SeenBox seen;
    showAndAct({text, title, buttons, icon, helpFile, 7}, seen, [](QMessageBox& box) {
        box.button(box.buttons().contains(box.button(QMessageBox::Cancel)) ? QMessageBox::Cancel : QMessageBox::Ok)
            ->click();
    });
    QCOMPARE(seen.text, shownText);
    QCOMPARE(seen.title, shownTitle);
    QCOMPARE(seen.icon, shownIcon);
    QVERIFY(seen.modal);
    QStringList sortedSeen = seen.buttons, sortedExpected = shownButtons;
    sortedSeen.sort();
    sortedExpected.sort();
    QCOMPARE(sortedSeen, sortedExpected);
    QCOMPARE(seen.defaultButton, shownButtons.first());
    // A screen reader reads the title and the message.
    QCOMPARE(seen.accessibleName, shownTitle);
    QCOMPARE(seen.accessibleLabelName, shownText);
}

void MessageBoxTest::answers_data()
{
    QTest::addColumn<MsgButtons>("buttons");
    QTest::addColumn<int>("key"); // 0: the box's close button; -1: a click on No
    QTest::addColumn<MsgAnswer>("answer");
    QTest::newRow("OK by Enter") << MsgButtons::OK << int(Qt::Key_Return) << MsgAnswer::OK;
    QTest::newRow("OK by Escape") << MsgButtons::OK << int(Qt::Key_Escape) << MsgAnswer::OK;
    QTest::newRow("OK closed") << MsgButtons::OK << 0 << MsgAnswer::OK;
    QTest::newRow("Yes is the default") << MsgButtons::YesNoCancel << int(Qt::Key_Return) << MsgAnswer::Yes;
    QTest::newRow("Escape is Cancel") << MsgButtons::YesNoCancel << int(Qt::Key_Escape) << MsgAnswer::Cancel;
    QTest::newRow("closed is Cancel") << MsgButtons::YesNoCancel << 0 << MsgAnswer::Cancel;
    QTest::newRow("No clicked") << MsgButtons::YesNoCancel << -1 << MsgAnswer::No;
}

void MessageBoxTest::answers()
{
    QFETCH(MsgButtons, buttons);
    QFETCH(int, key);
    QFETCH(MsgAnswer, answer);
    SeenBox seen;
    const MsgAnswer given =
        showAndAct({QStringLiteral("Question"), QStringLiteral("Title"), buttons, MsgIcon::None, {}, 0}, seen,
                   [key](QMessageBox& box) {
                       if (key == 0)
                           box.close();
                       else if (key < 0)
                           box.button(QMessageBox::No)->click();
                       else
                           QTest::keyClick(&box, Qt::Key(key));
                   });
    QCOMPARE(given, answer);
}

void MessageBoxTest::ctrlCCopiesTheMessage()
{
    QGuiApplication::clipboard()->clear();
    SeenBox seen;
    showAndAct(
        {QStringLiteral("Error #  53\rFile not found"), QStringLiteral("Error"), MsgButtons::OK, MsgIcon::None, {}, 0},
        seen, [](QMessageBox& box) {
            QApplication::setActiveWindow(&box);
            QTest::keyClick(&box, Qt::Key_C, Qt::ControlModifier);
            box.button(QMessageBox::Ok)->click();
        });
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("Error #  53\nFile not found"));
}

QTEST_MAIN(MessageBoxTest)
#include "tst_messagebox.moc"
