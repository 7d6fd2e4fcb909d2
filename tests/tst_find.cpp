#include "FormFixture.h"

#include "platform/RichTextBox.h"
#include "platform/Twips.h"
#include "ui/frmFind.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <cmath>

namespace {

// What the dialog showed when it opened.
struct Opened {
    QString text;
    bool wholeWord = true;
    bool caseSensitive = true;
};

template <typename T> T* control(QDialog& dialog, const char* name)
{
    T* widget = dialog.findChild<T*>(QString::fromLatin1(name));
    if (!widget)
        qFatal("the find dialog has no %s", name);
    return widget;
}

// The user types the text, sets the boxes and presses OK; what the dialog showed on
// opening goes to `opened`.
void answerFind(ScriptedModalHost& host, const QString& text, bool wholeWord, bool caseSensitive,
                Opened* opened = nullptr)
{
    host.dialogActions.push_back([=](QDialog& dialog) {
        auto* txtFind = control<QLineEdit>(dialog, "txtFind");
        auto* chkWholeWord = control<QCheckBox>(dialog, "chkWholeWord");
        auto* chkCaseSensitive = control<QCheckBox>(dialog, "chkCaseSensitive");
        if (opened)
            *opened = {txtFind->text(), chkWholeWord->isChecked(), chkCaseSensitive->isChecked()};
        txtFind->selectAll();
        QTest::keyClicks(txtFind, text);
        if (text.isEmpty())
            txtFind->clear();
        chkWholeWord->setChecked(wholeWord);
        chkCaseSensitive->setChecked(caseSensitive);
        control<QPushButton>(dialog, "cmdOK")->click();
    });
}

void select(RichTextBox& box, int start, int length)
{
    box.setSelStart(start);
    box.setSelLength(length);
}

#define COMPARE_SELECTION(box, start, length)                                                                          \
    do {                                                                                                               \
        QCOMPARE((box).SelStart(), start);                                                                             \
        QCOMPARE((box).SelLength(), length);                                                                           \
    } while (false)

#define VERIFY_NOTHING_UNEXPECTED(f)                                                                                   \
    do {                                                                                                               \
        QVERIFY2((f).host.unexpected.isEmpty(), qPrintable((f).host.unexpected.join(QLatin1Char('\n'))));              \
        QVERIFY((f).host.shownMessages.empty());                                                                       \
    } while (false)

// Whether a pixel value stands for the given twips, to the nearest pixel.
bool isTwips(int pixels, double twips, double (*fromPixels)(double))
{
    return std::abs(fromPixels(pixels) - twips) <= fromPixels(0.5) + 1e-9;
}

} // namespace

class TestFind : public QObject {
    Q_OBJECT

private slots:
    void findWithTheDialogsOptions_data();
    void findWithTheDialogsOptions();
    void secondFindFindsTheSameMatch();
    void dialogOpensWithTheTextButUncheckedBoxes();
    void closingTheDialogKeepsTheLastSearch();
    void findAgain_data();
    void findAgain();
    void fourEqualLettersSkipTheMatchBehindTheSelection();
    void findAgainBeforeAnyFindFindsNothing();
    void dialogIsLaidOutInTwips_data();
    void dialogIsLaidOutInTwips();
    void dialogTabOrderAndFocus();
    void enterAndEscapeDoNotCloseTheDialog();
    void accessKeyOPressesOK();
};

void TestFind::findWithTheDialogsOptions_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("searchText");
    QTest::addColumn<bool>("wholeWord");
    QTest::addColumn<bool>("caseSensitive");
    QTest::addColumn<int>("expectedOptions");
    QTest::addColumn<int>("expectedStart");
    QTest::addColumn<int>("expectedLength");

    // Each combination of the boxes finds another "cat" in the same text.
    const QString cats = QStringLiteral("xCat Cat xcat cat");
    // clang-format off
    QTest::newRow("no options: any case, inside a word") << cats << 0 << 0 << "cat" << false << false << 0 << 1 << 3;
    QTest::newRow("whole word") << cats << 0 << 0 << "cat" << true << false << 2 << 5 << 3;
    QTest::newRow("match case") << cats << 0 << 0 << "cat" << false << true << 4 << 10 << 3;
    QTest::newRow("whole word and match case") << cats << 0 << 0 << "cat" << true << true << 6 << 14 << 3;
    QTest::newRow("from the selection start") << cats << 6 << 2 << "cat" << false << false << 0 << 10 << 3;
    QTest::newRow("capital E acute finds small") << QString::fromUtf16(u"Caf\u00e9") << 0 << 0 << QString::fromUtf16(u"\u00c9") << false << false << 0 << 3 << 1;
    QTest::newRow("match case: no match keeps the selection") << QString::fromUtf16(u"Caf\u00e9") << 1 << 2 << QString::fromUtf16(u"\u00c9") << false << true << 4 << 1 << 2;
    QTest::newRow("not there: the selection stays") << "abc" << 1 << 1 << "zzz" << false << false << 0 << 1 << 1;
    QTest::newRow("empty search text finds nothing") << "abc" << 1 << 1 << "" << false << false << 0 << 1 << 1;
    QTest::newRow("on a later line") << "one\r\ntwo\r\nthree" << 0 << 0 << "three" << false << false << 0 << 8 << 5;
    QTest::newRow("no wrap-around") << "cat dog" << 4 << 0 << "cat" << false << false << 0 << 4 << 0;
    QTest::newRow("the search text is taken untrimmed") << "a cat,cat " << 0 << 0 << "cat " << false << false << 0 << 6 << 4;
    // clang-format on
}

void TestFind::findWithTheDialogsOptions()
{
    QFETCH(QString, text);
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(QString, searchText);
    QFETCH(bool, wholeWord);
    QFETCH(bool, caseSensitive);
    QFETCH(int, expectedOptions);
    QFETCH(int, expectedStart);
    QFETCH(int, expectedLength);

    FormFixture f;
    RichTextBox& box = *f.form->RichTextBox1;
    box.setText(text);
    select(box, start, length);
    App.TextChanged = false;
    answerFind(f.host, searchText, wholeWord, caseSensitive);

    f.form->SearchFind();

    QCOMPARE(f.host.shownDialogs, std::vector<QString>{QStringLiteral("frmFind")});
    QCOMPARE(App.SearchText, searchText);
    QCOMPARE(int(App.SearchOptions), expectedOptions);
    COMPARE_SELECTION(box, expectedStart, expectedLength);
    QCOMPARE(box.Text(), text);
    QVERIFY(!App.TextChanged);
    VERIFY_NOTHING_UNEXPECTED(f);
}

void TestFind::secondFindFindsTheSameMatch()
{
    FormFixture f;
    RichTextBox& box = *f.form->RichTextBox1;
    box.setText(QStringLiteral("one cat, two cats"));
    answerFind(f.host, QStringLiteral("cat"), false, false);
    f.form->SearchFind();
    COMPARE_SELECTION(box, 4, 3);

    Opened opened;
    QPointer<QDialog> dialogShown;
    f.host.dialogActions.push_back([&](QDialog& dialog) {
        dialogShown = &dialog;
        opened.text = control<QLineEdit>(dialog, "txtFind")->text();
        control<QPushButton>(dialog, "cmdOK")->click();
    });
    f.form->menuItem(QStringLiteral("SearchFind"))->trigger();
    QCOMPARE(opened.text, QStringLiteral("cat"));
    COMPARE_SELECTION(box, 4, 3);
    // A new dialog each time, gone once the command is done.
    QCOMPARE(f.host.shownDialogs.size(), size_t(2));
    QVERIFY(dialogShown.isNull());
    VERIFY_NOTHING_UNEXPECTED(f);
}

void TestFind::dialogOpensWithTheTextButUncheckedBoxes()
{
    FormFixture f;
    RichTextBox& box = *f.form->RichTextBox1;
    box.setText(QStringLiteral("xCat Cat xcat cat"));
    answerFind(f.host, QStringLiteral("cat"), true, true);
    f.form->SearchFind();
    QCOMPARE(int(App.SearchOptions), 6);
    COMPARE_SELECTION(box, 14, 3);

    // Open it again and press OK at once: the options are recomputed from the
    // unchecked boxes.
    box.setSelStart(0);
    Opened opened;
    f.host.dialogActions.push_back([&](QDialog& dialog) {
        opened = {control<QLineEdit>(dialog, "txtFind")->text(),
                  control<QCheckBox>(dialog, "chkWholeWord")->isChecked(),
                  control<QCheckBox>(dialog, "chkCaseSensitive")->isChecked()};
        control<QPushButton>(dialog, "cmdOK")->click();
    });
    f.form->Toolbar1_ButtonClick(QStringLiteral("bFind"));
    QCOMPARE(opened.text, QStringLiteral("cat"));
    QVERIFY(!opened.wholeWord);
    QVERIFY(!opened.caseSensitive);
    QCOMPARE(App.SearchText, QStringLiteral("cat"));
    QCOMPARE(int(App.SearchOptions), 0);
    COMPARE_SELECTION(box, 1, 3);
    VERIFY_NOTHING_UNEXPECTED(f);
}

void TestFind::closingTheDialogKeepsTheLastSearch()
{
    FormFixture f;
    RichTextBox& box = *f.form->RichTextBox1;
    box.setText(QStringLiteral("xCat Cat xcat cat dog"));
    answerFind(f.host, QStringLiteral("cat"), true, true);
    f.form->SearchFind();
    box.setSelStart(0);

    // The user types another text and checks a box, then closes the window instead of OK.
    f.host.dialogActions.push_back([](QDialog& dialog) {
        QTest::keyClicks(control<QLineEdit>(dialog, "txtFind"), QStringLiteral("dog"));
        control<QCheckBox>(dialog, "chkWholeWord")->setChecked(false);
        QVERIFY(dialog.close());
    });
    f.form->SearchFind();
    QCOMPARE(App.SearchText, QStringLiteral("cat"));
    QCOMPARE(int(App.SearchOptions), 6);
    // It searched all the same, with the values kept.
    COMPARE_SELECTION(box, 14, 3);
    VERIFY_NOTHING_UNEXPECTED(f);
}

void TestFind::findAgain_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("searchText");
    QTest::addColumn<int>("options");
    QTest::addColumn<int>("expectedStart");
    QTest::addColumn<int>("expectedLength");

    // clang-format off
    QTest::newRow("next match") << "ab ab ab" << 0 << 2 << "ab" << 0 << 3 << 2;
    QTest::newRow("four equal letters: the match behind the selection is skipped") << "aaaa" << 0 << 2 << "aa" << 0 << 0 << 0;
    QTest::newRow("a match right after the selection is skipped") << "abab" << 0 << 2 << "ab" << 0 << 0 << 0;
    QTest::newRow("nothing selected: a match at the caret is skipped") << "abc abc" << 0 << 0 << "abc" << 0 << 4 << 3;
    QTest::newRow("nothing selected: a match one beyond the caret") << "xabc" << 0 << 0 << "abc" << 0 << 1 << 3;
    QTest::newRow("selection reaches the end of the text") << "one two" << 4 << 3 << "two" << 0 << 4 << 0;
    QTest::newRow("caret at the end of the text") << "one two" << 7 << 0 << "o" << 0 << 7 << 0;
    QTest::newRow("empty document") << "" << 0 << 0 << "a" << 0 << 0 << 0;
    QTest::newRow("no wrap-around") << "cat dog" << 4 << 3 << "cat" << 0 << 4 << 0;
    QTest::newRow("no further match: caret to the old start") << "cat dog cow" << 8 << 2 << "cat" << 0 << 8 << 0;
    QTest::newRow("a line break is one position") << "one\r\ntwo\r\nthree" << 0 << 3 << "t" << 0 << 4 << 1;
    QTest::newRow("whole word") << "cat concat cat" << 0 << 3 << "cat" << 2 << 11 << 3;
    QTest::newRow("match case") << "Cat cat CAT Cat" << 0 << 3 << "Cat" << 4 << 12 << 3;
    QTest::newRow("whole word and match case") << "Cat Cats cat Cat" << 0 << 3 << "Cat" << 6 << 13 << 3;
    QTest::newRow("any case across accents") << QString::fromUtf16(u"\u00e9t\u00e9 \u00c9T\u00c9") << 0 << 3 << QString::fromUtf16(u"\u00e9t\u00e9") << 0 << 4 << 3;
    QTest::newRow("empty search text") << "text" << 1 << 2 << "" << 0 << 1 << 0;
    // clang-format on
}

void TestFind::findAgain()
{
    QFETCH(QString, text);
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(QString, searchText);
    QFETCH(int, options);
    QFETCH(int, expectedStart);
    QFETCH(int, expectedLength);

    FormFixture f;
    RichTextBox& box = *f.form->RichTextBox1;
    box.setText(text);
    select(box, start, length);
    App.SearchText = searchText;
    App.SearchOptions = std::int16_t(options);
    App.TextChanged = false;

    f.form->SearchAgain();

    COMPARE_SELECTION(box, expectedStart, expectedLength);
    QCOMPARE(App.SearchText, searchText);
    QCOMPARE(int(App.SearchOptions), options);
    QCOMPARE(box.Text(), text);
    QVERIFY(!App.TextChanged);
    QVERIFY(f.host.shownDialogs.empty());
    VERIFY_NOTHING_UNEXPECTED(f);
}

void TestFind::fourEqualLettersSkipTheMatchBehindTheSelection()
{
    FormFixture f;
    RichTextBox& box = *f.form->RichTextBox1;
    box.setText(QStringLiteral("aaaa"));
    box.setSelStart(0);
    answerFind(f.host, QStringLiteral("aa"), false, false);

    f.form->SearchFind();
    COMPARE_SELECTION(box, 0, 2);
    // Find Again starts at 3 and finds nothing: back to 0, nothing selected.
    f.form->SearchAgain();
    COMPARE_SELECTION(box, 0, 0);
    // From the bare caret it starts at 1.
    f.form->menuItem(QStringLiteral("SearchAgain"))->trigger();
    COMPARE_SELECTION(box, 1, 2);
    f.form->SearchAgain();
    COMPARE_SELECTION(box, 1, 0);
    VERIFY_NOTHING_UNEXPECTED(f);
}

void TestFind::findAgainBeforeAnyFindFindsNothing()
{
    FormFixture f;
    RichTextBox& box = *f.form->RichTextBox1;
    box.setText(QStringLiteral("some text"));
    select(box, 2, 3);
    QVERIFY(App.SearchText.isEmpty());
    QCOMPARE(int(App.SearchOptions), 0);
    f.form->SearchAgain();
    COMPARE_SELECTION(box, 2, 0);
    QVERIFY(f.host.shownDialogs.empty());
    VERIFY_NOTHING_UNEXPECTED(f);
}

void TestFind::dialogIsLaidOutInTwips_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("accessibleName");
    QTest::addColumn<QRectF>("twips");
    QTest::addColumn<bool>("dialogFont");

    // clang-format off
    QTest::newRow("txtFind") << "txtFind" << "" << "String to Search For" << QRectF(360, 720, 4455, 375) << true;
    QTest::newRow("chkWholeWord") << "chkWholeWord" << "Whole Word Only" << "Whole Word Only" << QRectF(360, 1320, 1935, 375) << true;
    QTest::newRow("chkCaseSensitive") << "chkCaseSensitive" << "Case Sensitive" << "Case Sensitive" << QRectF(360, 1920, 1815, 375) << true;
    QTest::newRow("cmdOK") << "cmdOK" << "&OK" << "OK" << QRectF(3480, 1560, 1215, 615) << false;
    QTest::newRow("Label1") << "Label1" << "String to Search For" << "String to Search For" << QRectF(1440, 240, 1935, 255) << true;
    // clang-format on
}

void TestFind::dialogIsLaidOutInTwips()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, accessibleName);
    QFETCH(QRectF, twips);
    QFETCH(bool, dialogFont);

    App = AppState{};
    App.SearchText = QStringLiteral("the last text");
    frmFind dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Find"));
    QVERIFY(dialog.isModal());
    // The client area: 5370 x 2400 at 2115, 3405 on the screen, not resizable.
    const QRect client = dialog.geometry();
    QVERIFY(isTwips(client.x(), 2115, Twips::fromPixelsX));
    QVERIFY(isTwips(client.y(), 3405, Twips::fromPixelsY));
    QVERIFY(isTwips(client.width(), 5370, Twips::fromPixelsX));
    QVERIFY(isTwips(client.height(), 2400, Twips::fromPixelsY));
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());

    auto* widget = dialog.findChild<QWidget*>(name);
    QVERIFY(widget);
    QCOMPARE(widget->parentWidget(), &dialog);
    const QRect g = widget->geometry();
    const QString where =
        QStringLiteral("%1 at %2,%3 %4x%5 px").arg(name).arg(g.x()).arg(g.y()).arg(g.width()).arg(g.height());
    QVERIFY2(isTwips(g.x(), twips.left(), Twips::fromPixelsX), qPrintable(where));
    QVERIFY2(isTwips(g.y(), twips.top(), Twips::fromPixelsY), qPrintable(where));
    QVERIFY2(isTwips(g.height(), twips.height(), Twips::fromPixelsY), qPrintable(where));
    // The laid-out width, or wider where the caption needs it in the font at hand.
    const bool captionFits = g.width() >= widget->sizeHint().width() || qobject_cast<QLineEdit*>(widget);
    QVERIFY2(captionFits, qPrintable(where));
    QVERIFY2(isTwips(g.width(), twips.width(), Twips::fromPixelsX) ||
                 (g.width() == widget->sizeHint().width() && Twips::fromPixelsX(g.width()) > twips.width()),
             qPrintable(where));
    QVERIFY2(g.right() < dialog.width(), qPrintable(where));
    if (qobject_cast<QCheckBox*>(widget)) // a grown box stays clear of the button
        QVERIFY2(!g.intersects(dialog.cmdOK->geometry()), qPrintable(where));

    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        QCOMPARE(edit->text(), QStringLiteral("the last text")); // filled from SearchText
    else if (auto* box = qobject_cast<QCheckBox*>(widget)) {
        QCOMPARE(box->text(), caption);
        QVERIFY(!box->isChecked());
    } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
        QCOMPARE(button->text(), caption);
        QVERIFY(!button->isDefault());
        QVERIFY(!button->autoDefault());
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        QCOMPARE(label->text(), caption);
    } else {
        QFAIL("unexpected kind of control");
    }

    if (dialogFont) {
        QCOMPARE(widget->font().family(), QStringLiteral("MS Sans Serif"));
        QCOMPARE(widget->font().pointSizeF(), 9.75);
        QCOMPARE(widget->font().weight(), QFont::Normal);
    } else {
        QVERIFY(!widget->testAttribute(Qt::WA_SetFont)); // the default font
    }

    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    QVERIFY(accessible);
    QCOMPARE(accessible->text(QAccessible::Name), accessibleName);
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&dialog);
    QCOMPARE(window->text(QAccessible::Name), QStringLiteral("Find"));
}

void TestFind::dialogTabOrderAndFocus()
{
    App = AppState{};
    frmFind dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QCOMPARE(QApplication::focusWidget(), dialog.txtFind);

    // Tab goes txtFind, chkWholeWord, chkCaseSensitive, cmdOK and round again; the
    // label takes no focus.
    const QList<QWidget*> expected{dialog.chkWholeWord, dialog.chkCaseSensitive, dialog.cmdOK, dialog.txtFind};
    for (QWidget* next : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), next);
    }
    QCOMPARE(dialog.Label1->focusPolicy(), Qt::NoFocus);
}

void TestFind::enterAndEscapeDoNotCloseTheDialog()
{
    App = AppState{};
    App.SearchText = QStringLiteral("old");
    frmFind dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    dialog.txtFind->selectAll();
    QTest::keyClicks(dialog.txtFind, QStringLiteral("new"));

    for (QWidget* target : {static_cast<QWidget*>(dialog.txtFind), static_cast<QWidget*>(dialog.chkWholeWord),
                            static_cast<QWidget*>(dialog.cmdOK)}) {
        target->setFocus();
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
            QTest::keyClick(target, key);
            QVERIFY2(dialog.isVisible(), qPrintable(target->objectName()));
            QCOMPARE(dialog.result(), 0);
        }
    }
    QVERIFY(!dialog.cmdOK->isDefault());
    QCOMPARE(App.SearchText, QStringLiteral("old"));

    // The window's own close control closes it and stores nothing.
    QVERIFY(dialog.close());
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(App.SearchText, QStringLiteral("old"));
}

void TestFind::accessKeyOPressesOK()
{
    App = AppState{};
    App.SearchOptions = 6;
    frmFind dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QTest::keyClicks(dialog.txtFind, QStringLiteral("word"));
    dialog.chkCaseSensitive->setChecked(true);
    QTest::keyClick(dialog.txtFind, Qt::Key_O, Qt::AltModifier);
    QTRY_VERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(App.SearchText, QStringLiteral("word"));
    QCOMPARE(int(App.SearchOptions), 4);
}

QTEST_MAIN(TestFind)
#include "tst_find.moc"
