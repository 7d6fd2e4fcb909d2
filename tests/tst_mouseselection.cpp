// The editing control's left mouse button: clicks, Shift+clicks, double and triple
// clicks and drags must select exactly what a stock QTextEdit selects for the same
// gestures on the same text, and a drag held below the view scrolls it.
#include "platform/RichTextBox.h"

#include <QApplication>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextCursor>
#include <QTextEdit>

#include <memory>

namespace {

// Lines are 16 pixels high from y 4 on with this font: rows at 12 + 16 n hit the middle
// of line n, never the edge between two lines.
QString sampleText()
{
    return QStringLiteral("alpha beta gamma delta\n"
                          "\n"
                          "the quick brown fox jumps over the lazy dog and keeps running far past the edge\n"
                          "tab\tseparated\tcells here\n"
                          "short\n"
                          "last line of words");
}

void prepare(QTextEdit& edit)
{
    edit.setFont(QFont(QStringLiteral("DejaVu Sans"), 10));
    edit.setLineWrapMode(QTextEdit::WidgetWidth);
    edit.setPlainText(sampleText());
    edit.resize(320, 220);
    edit.show();
    QApplication::processEvents();
}

struct Step {
    QEvent::Type type;
    QPoint at;
    Qt::KeyboardModifiers modifiers;
};

Step press(int x, int y, Qt::KeyboardModifiers m = {})
{
    return {QEvent::MouseButtonPress, {x, y}, m};
}
Step release(int x, int y)
{
    return {QEvent::MouseButtonRelease, {x, y}, {}};
}
Step doubleClick(int x, int y)
{
    return {QEvent::MouseButtonDblClick, {x, y}, {}};
}
Step move(int x, int y)
{
    return {QEvent::MouseMove, {x, y}, {}};
}

// How the window system delivers a double click: press, release, double click, release.
QList<Step> doubleClickAt(int x, int y)
{
    return {press(x, y), release(x, y), doubleClick(x, y), release(x, y)};
}

void send(QWidget* viewport, const Step& step, bool buttonHeld)
{
    const bool pressing = step.type == QEvent::MouseButtonPress || step.type == QEvent::MouseButtonDblClick;
    const Qt::MouseButton button = step.type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons buttons =
        pressing || (step.type == QEvent::MouseMove && buttonHeld) ? Qt::LeftButton : Qt::NoButton;
    const QPointF local(step.at);
    QMouseEvent e(step.type, local, viewport->mapToGlobal(local), button, buttons, step.modifiers);
    QApplication::sendEvent(viewport, &e);
}

} // namespace

Q_DECLARE_METATYPE(QList<Step>)

class MouseSelectionTest : public QObject {
    Q_OBJECT

private slots:
    void gesturesSelectAsAStockTextEditDoes_data();
    void gesturesSelectAsAStockTextEditDoes();
    void aDragHeldBelowTheViewScrollsAndExtends();
    void otherButtonsKeepTheirStockHandling();
};

void MouseSelectionTest::gesturesSelectAsAStockTextEditDoes_data()
{
    QTest::addColumn<QList<Step>>("steps");
    QTest::newRow("click") << QList<Step>{press(60, 12), release(60, 12)};
    QTest::newRow("click below the text") << QList<Step>{press(100, 210), release(100, 210)};
    QTest::newRow("drag forward over lines")
        << QList<Step>{press(30, 12), move(100, 12), move(150, 44), move(20, 76), release(20, 76)};
    QTest::newRow("drag backward") << QList<Step>{press(200, 60), move(150, 44), move(40, 12), release(40, 12)};
    QTest::newRow("Shift+click extends") << QList<Step>{press(40, 12), release(40, 12),
                                                        press(200, 60, Qt::ShiftModifier), release(200, 60)};
    QTest::newRow("Shift+click backward after a drag") << QList<Step>{
        press(100, 44), move(220, 44), release(220, 44), press(20, 12, Qt::ShiftModifier), release(20, 12)};
    QTest::newRow("double click selects a word") << doubleClickAt(70, 12);
    QTest::newRow("double click on an empty line") << doubleClickAt(70, 28);
    QTest::newRow("double click on a tab") << doubleClickAt(24, 76);

    QList<Step> byWords = doubleClickAt(70, 12);
    byWords.insert(3, move(150, 12));
    byWords.insert(4, move(160, 44));
    byWords.insert(5, move(8, 12));
    QTest::newRow("double click and drag extends by words") << byWords;

    QList<Step> shiftAfterDouble = doubleClickAt(70, 12);
    shiftAfterDouble << press(170, 12, Qt::ShiftModifier) << release(170, 12);
    QTest::newRow("Shift+click after a double click extends by words") << shiftAfterDouble;

    QList<Step> triple = doubleClickAt(70, 44);
    triple << press(70, 44) << release(70, 44);
    QTest::newRow("triple click selects the line") << triple;

    QList<Step> tripleDrag = doubleClickAt(70, 12);
    tripleDrag << press(70, 12) << move(90, 76) << move(90, 60) << release(90, 60);
    QTest::newRow("triple click and drag extends by lines") << tripleDrag;

    QList<Step> tripleUp = doubleClickAt(70, 92);
    tripleUp << press(70, 92) << move(30, 44) << release(30, 44);
    QTest::newRow("triple click and drag up") << tripleUp;

    QTest::newRow("click inside the selection without moving places the caret")
        << QList<Step>{press(10, 44), move(250, 44), release(250, 44), press(100, 44), release(100, 44)};
    QTest::newRow("a small wobble inside the selection is no drag")
        << QList<Step>{press(10, 44), move(250, 44), release(250, 44), press(100, 44), move(101, 44), release(101, 44)};
    QTest::newRow("a new click ends word mode") << QList<Step>{press(70, 12),
                                                               release(70, 12),
                                                               doubleClick(70, 12),
                                                               release(70, 12),
                                                               press(20, 60),
                                                               release(20, 60),
                                                               press(200, 60, Qt::ShiftModifier),
                                                               release(200, 60)};
}

void MouseSelectionTest::gesturesSelectAsAStockTextEditDoes()
{
    QFETCH(QList<Step>, steps);
    RichTextBox ours;
    QTextEdit theirs;
    theirs.setAcceptRichText(false);
    prepare(ours);
    prepare(theirs);
    QCOMPARE(ours.viewport()->size(), theirs.viewport()->size());

    bool held = false;
    for (qsizetype i = 0; i < steps.size(); ++i) {
        send(ours.viewport(), steps[i], held);
        send(theirs.viewport(), steps[i], held);
        held = steps[i].type == QEvent::MouseButtonPress || steps[i].type == QEvent::MouseButtonDblClick ||
               (held && steps[i].type == QEvent::MouseMove);
        const QTextCursor a = ours.textCursor();
        const QTextCursor b = theirs.textCursor();
        QVERIFY2(a.anchor() == b.anchor() && a.position() == b.position(),
                 qPrintable(QStringLiteral("after step %1: %2..%3 instead of %4..%5")
                                .arg(i)
                                .arg(a.anchor())
                                .arg(a.position())
                                .arg(b.anchor())
                                .arg(b.position())));
    }
    QCOMPARE(ours.verticalScrollBar()->value(), theirs.verticalScrollBar()->value());
}

void MouseSelectionTest::aDragHeldBelowTheViewScrollsAndExtends()
{
    RichTextBox box;
    box.setFont(QFont(QStringLiteral("DejaVu Sans"), 10));
    QString text;
    for (int i = 0; i < 200; ++i)
        text += QStringLiteral("line %1 of a long document\n").arg(i);
    box.setText(text);
    box.resize(320, 220);
    box.show();
    QApplication::processEvents();

    QWidget* viewport = box.viewport();
    const int lastShown = box.cursorForPosition(QPoint(30, viewport->height() - 1)).position();
    send(viewport, press(30, 12), false);
    const int start = box.textCursor().position();
    const QPoint below(30, viewport->height() + 30);
    send(viewport, move(below.x(), below.y()), true);
    // The pointer stays put below the view: the view keeps scrolling and the
    // selection keeps growing with it, from where the press was.
    QTRY_VERIFY(box.verticalScrollBar()->value() > 3 * box.verticalScrollBar()->singleStep());
    QTRY_VERIFY(box.textCursor().position() > lastShown + 100);
    QCOMPARE(box.textCursor().anchor(), start);

    send(viewport, release(below.x(), below.y()), false);
    const int selectedTo = box.textCursor().position();
    // Once let go, the scrolling stops.
    QSignalSpy scrolled(box.verticalScrollBar(), &QScrollBar::valueChanged);
    QVERIFY(!scrolled.wait(300));
    QCOMPARE(box.textCursor().position(), selectedTo);
    QCOMPARE(box.textCursor().anchor(), start);
}

void MouseSelectionTest::otherButtonsKeepTheirStockHandling()
{
    RichTextBox box;
    prepare(box);
    QTextCursor cursor = box.textCursor();
    cursor.setPosition(3);
    cursor.setPosition(9, QTextCursor::KeepAnchor);
    box.setTextCursor(cursor);
    // A right-button press is the context menu's, not a click that moves the caret.
    QMouseEvent right(QEvent::MouseButtonPress, QPointF(200, 60), box.viewport()->mapToGlobal(QPointF(200, 60)),
                      Qt::RightButton, Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(box.viewport(), &right);
    QMouseEvent up(QEvent::MouseButtonRelease, QPointF(200, 60), box.viewport()->mapToGlobal(QPointF(200, 60)),
                   Qt::RightButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(box.viewport(), &up);
    QCOMPARE(box.textCursor().anchor(), 3);
    QCOMPARE(box.textCursor().position(), 9);
}

QTEST_MAIN(MouseSelectionTest)
#include "tst_mouseselection.moc"
