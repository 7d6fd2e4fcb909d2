#pragma once

#include "platform/Failure.h"

#include <QKeySequence>
#include <QList>
#include <QTextEdit>

#include <functional>
#include <optional>

// RichTextBox1: the editing control. Positions are the control's own: 0-based, a line
// break is one character. Values out of range are clamped, never an error.
class RichTextBox : public QTextEdit {
    Q_OBJECT

public:
    explicit RichTextBox(QWidget* parent = nullptr);

    // Plain text: the document's exact characters, CR LF between lines.
    QString Text() const;
    // Replaces the whole document by plain text.
    void setText(const QString& text);
    // Replaces the whole document: text that begins with {\rtf is read as Rich Text
    // Format and shown formatted; anything else is plain text, CR LF, CR and LF each
    // ending a line.
    void setTextRTF(const QString& text);

    QString SelText() const;
    // Replaces the selection, or inserts at the caret; LF, CR and CR LF each break a line.
    void setSelText(const QString& text);
    int SelStart() const;
    void setSelStart(int start);   // moves the caret there, nothing selected
    int SelLength() const;
    void setSelLength(int length); // selects from SelStart on
    void setSelFontName(const QString& name);
    void setSelFontSize(double points);

    // Options: 2 whole word, 4 match case. end -1 means to the end of the text.
    // Returns the match's position and selects it, or -1.
    int Find(const QString& text, int start, int end = -1, int options = 0);

    // Loads a file as plain text, replacing the document.
    std::optional<Failure> LoadFile(const QString& path);

    // The number of positions in the document (a line break counting one).
    int TextLength() const;

    void Refresh();

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
    // items even while it has the focus.
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
    void keyPressEvent(QKeyEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    QMimeData* createMimeDataFromSelection() const override;

private:
    void applyGeometry();
    void replaceDocument(const std::function<void(QTextDocument&)>& fill);

    double left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    QList<QKeySequence> menuShortcuts_;
    int programChanges_ = 0;   // > 0 while the program itself changes the document
};
