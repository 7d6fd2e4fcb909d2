// The left mouse button in the editing control: click, Shift+click, double and triple
// click, dragging to select (by characters, words or lines), carrying the selection
// off by drag and drop, and scrolling while a drag is held outside the view.
//
// The stock handling behaves the same but looks through every paragraph of the
// document for a list marker under the pointer on each press, which costs tens of
// milliseconds in a document of hundreds of thousands of lines. The other buttons
// (the context menu, pasting the primary selection) and everything while an input
// method composes text keep the stock handling.
#include "platform/RichTextBox.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QClipboard>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>

namespace {

QTextLine lineOf(const QTextCursor& cursor)
{
    const QTextBlock block = cursor.block();
    const QTextLayout* layout = block.layout();
    if (!layout)
        return {};
    return layout->lineForTextPosition(cursor.position() - block.position());
}

// Drags within the view keep it where it is; only the timer scrolls, so the view does
// not jump with every move of the mouse.
class KeepScrollPosition {
public:
    explicit KeepScrollPosition(QAbstractScrollArea& area)
        : horizontal_(area.horizontalScrollBar()), vertical_(area.verticalScrollBar()), x_(horizontal_->value()),
          y_(vertical_->value())
    {}
    ~KeepScrollPosition()
    {
        horizontal_->setValue(x_);
        vertical_->setValue(y_);
    }
    KeepScrollPosition(const KeepScrollPosition&) = delete;
    KeepScrollPosition& operator=(const KeepScrollPosition&) = delete;

private:
    QScrollBar* horizontal_;
    QScrollBar* vertical_;
    int x_, y_;
};

constexpr int autoScrollIntervalMs = 50;

} // namespace

void RichTextBox::forgetMouseSelection()
{
    // The cursors kept for word and line selection would follow every later edit of
    // the document, a new one included.
    mouse_.selecting = false;
    mouse_.mightDrag = false;
    mouse_.word = QTextCursor();
    mouse_.line = QTextCursor();
    mouse_.sinceDouble.invalidate();
    mouse_.autoScroll.stop();
}

bool RichTextBox::isPreediting() const
{
    const QTextLayout* layout = textCursor().block().layout();
    return layout && !layout->preeditAreaText().isEmpty();
}

bool RichTextBox::leftButtonHandled(const QMouseEvent& e) const
{
    return e.button() == Qt::LeftButton && !isPreediting();
}

int RichTextBox::positionAt(QPoint inViewport) const
{
    return cursorForPosition(inViewport).position();
}

int RichTextBox::scrolledX() const
{
    // Right to left, the view starts at the document's right edge.
    const QScrollBar* h = horizontalScrollBar();
    return isRightToLeft() ? h->maximum() - h->value() : h->value();
}

bool RichTextBox::exactlyOnText(QPoint inViewport) const
{
    const QPointF inDocument = QPointF(inViewport) + QPointF(scrolledX(), verticalScrollBar()->value());
    return document()->documentLayout()->hitTest(inDocument, Qt::ExactHit) != -1;
}

void RichTextBox::placeCursor(int position, bool keepAnchor)
{
    QTextCursor cursor = textCursor();
    cursor.setPosition(position, keepAnchor ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor);
    if (!keepAnchor) {
        mouse_.word = QTextCursor();
        mouse_.line = QTextCursor();
    }
    setTextCursor(cursor);
}

void RichTextBox::extendByWords(int position, qreal x)
{
    const QTextCursor& chosen = mouse_.word;
    if (position >= chosen.selectionStart() && position <= chosen.selectionEnd()) {
        setTextCursor(chosen);
        return;
    }
    // The word under the pointer, if the pointer is over it, joins the selection up to
    // its nearer edge.
    QTextCursor probe = chosen;
    probe.setPosition(position, QTextCursor::KeepAnchor);
    if (!probe.movePosition(QTextCursor::StartOfWord))
        return;
    const int wordStart = probe.position();
    const QTextLine line = lineOf(probe);
    if (!line.isValid())
        return;
    const int blockPosition = probe.block().position();
    const qreal blockX = document()->documentLayout()->blockBoundingRect(probe.block()).x();
    const qreal startX = line.cursorToX(wordStart - blockPosition) + blockX;
    if (!probe.movePosition(QTextCursor::EndOfWord))
        return;
    const int wordEnd = probe.position();
    if (lineOf(probe).textStart() != line.textStart() || wordEnd == wordStart)
        return;
    const qreal endX = line.cursorToX(wordEnd - blockPosition) + blockX;
    if (x < startX || x > endX)
        return;

    QTextCursor cursor = textCursor();
    // The word first chosen stays selected whichever way the drag goes.
    cursor.setPosition(position < chosen.position() ? chosen.selectionEnd() : chosen.selectionStart());
    cursor.setPosition(x - startX < endX - x ? wordStart : wordEnd, QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

void RichTextBox::extendByLines(int position)
{
    const QTextCursor& chosen = mouse_.line;
    if (position >= chosen.selectionStart() && position <= chosen.selectionEnd()) {
        setTextCursor(chosen);
        return;
    }
    QTextCursor cursor = textCursor();
    if (position < chosen.position()) {
        cursor.setPosition(chosen.selectionEnd());
        cursor.setPosition(position, QTextCursor::KeepAnchor);
        cursor.movePosition(QTextCursor::StartOfBlock, QTextCursor::KeepAnchor);
    } else {
        cursor.setPosition(chosen.selectionStart());
        cursor.setPosition(position, QTextCursor::KeepAnchor);
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
    }
    setTextCursor(cursor);
}

void RichTextBox::extendSelection(QPoint inViewport)
{
    const int position = positionAt(inViewport);
    if (mouse_.line.hasSelection()) {
        extendByLines(position);
    } else if (mouse_.word.hasSelection()) {
        extendByWords(position, inViewport.x() + scrolledX());
    } else {
        placeCursor(position, true);
    }
}

void RichTextBox::setPrimarySelection()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!textCursor().hasSelection() || !clipboard->supportsSelection())
        return;
    clipboard->setMimeData(createMimeDataFromSelection(), QClipboard::Selection);
}

void RichTextBox::startDrag()
{
    mouse_.selecting = false;
    mouse_.mightDrag = false;
    auto* drag = new QDrag(viewport()); // Qt disposes of it once the drop is done
    drag->setMimeData(createMimeDataFromSelection());
    const Qt::DropAction action = isReadOnly() ? drag->exec(Qt::CopyAction, Qt::CopyAction)
                                               : drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::MoveAction);
    // A move within the control has already taken the text from where it was.
    if (action == Qt::MoveAction && drag->target() != viewport()) {
        QTextCursor cursor = textCursor();
        cursor.removeSelectedText();
        setTextCursor(cursor);
    }
}

void RichTextBox::mousePressEvent(QMouseEvent* e)
{
    if (!leftButtonHandled(*e)) {
        QTextEdit::mousePressEvent(e);
        return;
    }
    e->accept();
    const QPoint at = e->position().toPoint();
    mouse_.pressAt = at;
    mouse_.lastAt = at;
    mouse_.mightDrag = false;
    mouse_.selecting = true;

    if (mouse_.sinceDouble.isValid() && mouse_.sinceDouble.elapsed() < QApplication::doubleClickInterval() &&
        (at - mouse_.doubleAt).manhattanLength() < QApplication::startDragDistance()) {
        // A triple click selects the whole line, its break included.
        mouse_.sinceDouble.invalidate();
        QTextCursor cursor = textCursor();
        cursor.movePosition(QTextCursor::StartOfBlock);
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
        mouse_.line = cursor;
        setTextCursor(cursor);
        return;
    }
    mouse_.sinceDouble.invalidate();

    const int position = positionAt(at);
    if (e->modifiers() == Qt::ShiftModifier) {
        extendSelection(at);
        ensureCursorVisible();
        return;
    }
    const QTextCursor cursor = textCursor();
    if (cursor.hasSelection() && position >= cursor.selectionStart() && position <= cursor.selectionEnd() &&
        exactlyOnText(at)) {
        mouse_.mightDrag = true;
        return;
    }
    placeCursor(position, false);
}

void RichTextBox::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (!leftButtonHandled(*e)) {
        QTextEdit::mouseDoubleClickEvent(e);
        return;
    }
    e->accept();
    const QPoint at = e->position().toPoint();
    mouse_.mightDrag = false;
    mouse_.selecting = true;
    mouse_.lastAt = at;
    placeCursor(positionAt(at), false);
    QTextCursor cursor = textCursor();
    const QTextLine line = lineOf(cursor);
    if (line.isValid() && line.textLength() > 0)
        cursor.select(QTextCursor::WordUnderCursor);
    mouse_.word = cursor;
    setTextCursor(cursor);
    mouse_.doubleAt = at;
    mouse_.sinceDouble.start();
    setPrimarySelection();
}

void RichTextBox::mouseMoveEvent(QMouseEvent* e)
{
    if (!(e->buttons() & Qt::LeftButton) || !(mouse_.selecting || mouse_.mightDrag)) {
        QTextEdit::mouseMoveEvent(e);
        return;
    }
    e->accept();
    const QPoint at = e->position().toPoint();
    mouse_.lastAt = at;
    if (mouse_.mightDrag) {
        if ((at - mouse_.pressAt).manhattanLength() > QApplication::startDragDistance())
            startDrag();
        return;
    }
    {
        KeepScrollPosition keep(*this);
        extendSelection(at);
    }
    if (viewport()->rect().contains(at))
        mouse_.autoScroll.stop();
    else if (!mouse_.autoScroll.isActive())
        mouse_.autoScroll.start(autoScrollIntervalMs, this);
}

void RichTextBox::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton || !(mouse_.selecting || mouse_.mightDrag)) {
        QTextEdit::mouseReleaseEvent(e);
        return;
    }
    e->accept();
    const bool scrolling = mouse_.autoScroll.isActive();
    mouse_.autoScroll.stop();
    if (mouse_.mightDrag) {
        // Pressed inside the selection and let go without dragging: a plain click.
        placeCursor(positionAt(e->position().toPoint()), false);
    } else {
        setPrimarySelection();
    }
    mouse_.selecting = false;
    mouse_.mightDrag = false;
    if (scrolling)
        ensureCursorVisible();
}

void RichTextBox::timerEvent(QTimerEvent* e)
{
    if (e->timerId() != mouse_.autoScroll.timerId()) {
        QTextEdit::timerEvent(e);
        return;
    }
    const QRect view = viewport()->rect();
    const QPoint at = mouse_.lastAt;
    if (at.y() < view.top())
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    else if (at.y() > view.bottom())
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    if (at.x() < view.left())
        horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    else if (at.x() > view.right())
        horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    KeepScrollPosition keep(*this);
    extendSelection(at);
}
