#pragma once

#include "platform/Failure.h"

#include <QBasicTimer>
#include <QElapsedTimer>
#include <QKeySequence>
#include <QList>
#include <QPointer>
#include <QTextCursor>
#include <QTextEdit>

#include <functional>
#include <optional>

class QTextCharFormat;
struct FormatRangeRequest;

// RichTextBox1: the editing control. Positions are the control's own: 0-based, a line
// break is one character. Values out of range are clamped, never an error.
class RichTextBox : public QTextEdit {
    Q_OBJECT

public:
    explicit RichTextBox(QWidget* parent = nullptr);

    // Plain text: the document's exact characters, CR LF between lines.
    QString Text() const;
    // Replaces the whole document by plain text; LF, CR and CR LF each end a line.
    void setText(const QString& text);
    // Replaces the whole document: text that begins with {\rtf is read as Rich Text
    // Format and shown formatted; anything else is plain text as for setText.
    void setTextRTF(const QString& text);

    // The selected characters with CR LF between lines, "" when nothing is selected.
    QString SelText() const;
    // Replaces the selection, or inserts at the caret; LF, CR and CR LF each break a line.
    void setSelText(const QString& text);
    int SelStart() const;
    void setSelStart(int start); // moves the caret there, nothing selected
    int SelLength() const;
    void setSelLength(int length); // selects from SelStart on
    // Applied to the selected characters only; with nothing selected, to what is typed
    // next at the caret.
    void setSelFontName(const QString& name);
    void setSelFontSize(double points);

    // Options: 2 whole word, 4 match case. end -1 means to the end of the text.
    // Returns the match's position and selects it, or -1.
    int Find(const QString& text, int start, int end = -1, int options = 0);

    // Loads a file as plain text (markup shows as characters), replacing the document.
    std::optional<Failure> LoadFile(const QString& path);

    // The number of positions in the document (a line break counting one).
    int TextLength() const;

    void Refresh();

    // The page formatter: lays the text out for request's device and, when render,
    // draws one page of it; returns the first position that did not fit. A null
    // request frees what the formatter kept from the print run.
    int FormatRange(bool render, const FormatRangeRequest* request);

    // Placement inside the parent, in twips. The widget never gets a negative size
    // and never reaches outside its parent, so all of the text stays reachable.
    void setLeft(double twips);
    void setTop(double twips);
    void setWidth(double twips);
    void setHeight(double twips);
    double Left() const { return left_; }
    double Top() const { return top_; }
    double Width() const { return width_; }
    double Height() const { return height_; }

    // Key sequences that belong to the menus: the control leaves them to the menu
    // items even while it has the focus, and they are no key presses of its own.
    void setMenuShortcuts(const QList<QKeySequence>& shortcuts);

signals:
    // A key press that produces a character code (printable, Enter, Backspace, Tab,
    // Ctrl with a letter), before the key acts on the text.
    void KeyPress(int keyAscii);
    // The user changed the text (typing, Delete, drag and drop, undo...); changes the
    // program makes through this interface do not count.
    void UserChanged();

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    // The left button's clicks, drags and multiple clicks are the control's own: the
    // stock handling searches every paragraph for list markers on each press.
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void timerEvent(QTimerEvent* e) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    QMimeData* createMimeDataFromSelection() const override;

    // Marks the lifetime of a change the program makes, so it is not taken for the
    // user's. Every member that edits the document holds one.
    class ProgramChange {
    public:
        explicit ProgramChange(RichTextBox& box) : box_(box) { ++box_.programChanges_; }
        ~ProgramChange() { --box_.programChanges_; }
        ProgramChange(const ProgramChange&) = delete;
        ProgramChange& operator=(const ProgramChange&) = delete;

    private:
        RichTextBox& box_;
    };

private:
    void installDocumentLayout();
    void applyGeometry();
    void watchParent();
    void replaceDocument(const std::function<void(QTextDocument&)>& fill);
    void withDeferredLayout(const std::function<void()>& change);
    void clearDocument();
    void mergeSelectionFormat(const QTextCharFormat& format);
    bool isMenuShortcut(const QKeyEvent& e) const;

    // What a press of the left button started (RichTextBoxMouse.cpp).
    struct MouseSelection {
        bool selecting = false;    // the button is down and drags extend the selection
        bool mightDrag = false;    // pressed inside the selection: a drag may carry it off
        QPoint pressAt;            // in the viewport
        QPoint lastAt;             // the latest position while selecting, in the viewport
        QTextCursor word;          // the word a double click chose; drags extend by words
        QTextCursor line;          // the line a triple click chose; drags extend by lines
        QElapsedTimer sinceDouble; // a press soon after a double click is a triple click
        QPoint doubleAt;
        QBasicTimer autoScroll; // scrolls while a drag is held outside the view
    };
    void forgetMouseSelection();
    bool isPreediting() const;
    bool leftButtonHandled(const QMouseEvent& e) const;
    int positionAt(QPoint inViewport) const;
    int scrolledX() const;
    bool exactlyOnText(QPoint inViewport) const;
    void placeCursor(int position, bool keepAnchor);
    void extendSelection(QPoint inViewport);
    void extendByWords(int position, qreal x);
    void extendByLines(int position);
    void setPrimarySelection();
    void startDrag();
    MouseSelection mouse_;

    double left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    QPointer<QWidget> watchedParent_; // whose resizes re-apply the placement
    QList<QKeySequence> menuShortcuts_;
    int programChanges_ = 0; // > 0 while the program itself changes the document
    // The document's raw text, kept between finds until the next change: taking it
    // afresh costs more than searching it.
    const QString& rawText() const;
    mutable QString rawText_;
    mutable bool rawTextCurrent_ = false;
};
