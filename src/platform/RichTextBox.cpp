#include "platform/RichTextBox.h"

#include "document/Codec8Bit.h"
#include "platform/DocumentLayout.h"
#include "platform/FileSystem.h"
#include "platform/RtfReader.h"
#include "platform/TextSearch.h"
#include "platform/Twips.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <cmath>

namespace {

bool isLineBreak(QChar c)
{
    return c == QChar::ParagraphSeparator || c == QChar::LineSeparator;
}

// The raw text's paragraph and line separators as the program sees them: CR LF. An
// inline image stands in the raw text as U+FFFC; it is an object, not text, and is
// left out. One pass to size the result, one to fill it, so megabytes cost no more
// than a copy.
QString withCrLf(QStringView raw)
{
    const auto breaks = std::count_if(raw.begin(), raw.end(), isLineBreak);
    const auto objects = std::count(raw.begin(), raw.end(), QChar::ObjectReplacementCharacter);
    if (breaks == 0 && objects == 0)
        return raw.toString();
    QString text(raw.size() + breaks - objects, Qt::Uninitialized);
    QChar* out = text.data();
    for (QChar c : raw) {
        if (isLineBreak(c)) {
            *out++ = u'\r';
            *out++ = u'\n';
        } else if (c != QChar::ObjectReplacementCharacter) {
            *out++ = c;
        }
    }
    return text;
}

// LF, CR and CR LF each end a line: all become LF, which the document takes as a break.
// The document also takes U+FDD0 and U+FDD1 as breaks (they mark its frames); those
// two noncharacters become U+FFFD instead, so no line break appears from nowhere;
// so does U+FFFC, which in the document stands for an image. One pass in place (the
// text never grows), so that tens of megabytes of CR LF lines cost about a copy.
QString withLf(QString text)
{
    const auto isMarker = [](QChar c) {
        return c.unicode() == 0xFDD0 || c.unicode() == 0xFDD1 || c == QChar::ObjectReplacementCharacter;
    };
    const auto needsChange = [&](QChar c) { return c == u'\r' || isMarker(c); };
    if (std::none_of(text.cbegin(), text.cend(), needsChange))
        return text;
    QChar* const begin = text.data();
    const QChar* const end = begin + text.size();
    QChar* out = begin;
    for (const QChar* in = begin; in != end; ++in) {
        QChar c = *in;
        if (c == u'\r') {
            if (in + 1 != end && in[1] == u'\n')
                ++in;
            c = u'\n';
        } else if (isMarker(c)) {
            c = QChar::ReplacementCharacter;
        }
        *out++ = c;
    }
    text.truncate(out - begin);
    return text;
}

// The character code of a key press, where the key produces one: printable
// characters, Enter, Backspace, Tab and Ctrl with a letter. Delete, Escape, the
// cursor and function keys and lone modifiers produce none.
std::optional<int> characterCode(const QKeyEvent& e)
{
    const Qt::KeyboardModifiers mods = e.modifiers();
    const bool ctrl = mods & Qt::ControlModifier;
    const bool alt = mods & Qt::AltModifier;
    switch (e.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return ctrl ? 10 : 13;
    case Qt::Key_Backspace: return ctrl ? 127 : 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return ctrl || alt ? std::nullopt : std::optional<int>(9);
    case Qt::Key_Delete:
    case Qt::Key_Escape: return std::nullopt;
    default: break;
    }
    if (ctrl && !alt) {
        if (e.key() >= Qt::Key_A && e.key() <= Qt::Key_Z)
            return e.key() - Qt::Key_A + 1;
        return std::nullopt; // Ctrl with anything else types nothing
    }
    const QString text = e.text();
    if (text.isEmpty() || !text.at(0).isPrint())
        return std::nullopt;
    return int(text.at(0).unicode());
}

} // namespace

RichTextBox::RichTextBox(QWidget* parent) : QTextEdit(parent)
{
    setAcceptRichText(false);
    setLineWrapMode(QTextEdit::WidgetWidth);
    setTabChangesFocus(false);
    setAccessibleName(QStringLiteral("Document"));
    installDocumentLayout();
    connect(document(), &QTextDocument::contentsChange, this, [this](int, int removed, int added) {
        rawTextCurrent_ = false;
        rawText_.clear();
        if (programChanges_ == 0 && (removed > 0 || added > 0))
            emit UserChanged();
    });
    watchParent();
}

void RichTextBox::installDocumentLayout()
{
    // Our own layout costs the same per edit in any size of document. QTextEdit gave
    // its paint device and cursor width to the layout it had: they are set again.
    QTextDocument* doc = document();
    const int caretWidth = cursorWidth();
    auto* layout = new DocumentLayout(doc);
    doc->setDocumentLayout(layout);
    layout->setPaintDevice(viewport());
    layout->setProperty("cursorWidth", caretWidth);
    layout->setScrollBar(verticalScrollBar());
    // A move without a button would reach a search of every block for list markers,
    // which this control never shows; presses and drags still arrive.
    viewport()->setMouseTracking(false);
}

void RichTextBox::withDeferredLayout(const std::function<void()>& change)
{
    // A layout may lay out all that a change touches before the change returns (Qt's
    // own does, for any change short of a whole new document). Without a page size
    // nothing is laid out, and giving the size back lays the document out anew, a
    // screenful at a time as it is shown.
    QTextDocument* doc = document();
    const QSizeF pageSize = doc->pageSize();
    doc->setPageSize(QSizeF());
    change();
    doc->setPageSize(pageSize);
}

void RichTextBox::clearDocument()
{
    forgetMouseSelection();
    QTextDocument* doc = document();
    // Without undo the document keeps no copy of what it replaces, and the user
    // cannot undo back into the previous file.
    doc->setUndoRedoEnabled(false);
    doc->clear();
    doc->setUndoRedoEnabled(true);
    // The caret's format is the one new text takes: the cleared document's default.
    setTextCursor(QTextCursor(doc));
}

void RichTextBox::replaceDocument(const std::function<void(QTextDocument&)>& fill)
{
    ProgramChange change(*this);
    clearDocument();
    QTextDocument* doc = document();
    doc->setUndoRedoEnabled(false);
    withDeferredLayout([&] { fill(*doc); });
    doc->setUndoRedoEnabled(true);
    setTextCursor(QTextCursor(doc));
}

QString RichTextBox::Text() const
{
    return withCrLf(document()->toRawText());
}

void RichTextBox::setText(const QString& text)
{
    // One insertion and nothing more: the stock plain-text load then sets the same
    // character format on every paragraph again. It leaves no undo step and the caret
    // at the start.
    const QString lines = withLf(text);
    replaceDocument([&](QTextDocument& doc) { QTextCursor(&doc).insertText(lines); });
}

void RichTextBox::setTextRTF(const QString& text)
{
    if (text.startsWith(QLatin1String("{\\rtf"))) {
        const QByteArray bytes = Codec8Bit::encode(text).bytes;
        replaceDocument([&](QTextDocument& doc) { readRtf(bytes, doc); });
    } else {
        setText(text);
    }
}

QString RichTextBox::SelText() const
{
    // selectedText() keeps every character as it is (no blank for a no-break space);
    // only its separators need mapping.
    return withCrLf(textCursor().selectedText());
}

void RichTextBox::setSelText(const QString& text)
{
    ProgramChange change(*this);
    QTextCursor cursor = textCursor();
    cursor.insertText(withLf(text));
    setTextCursor(cursor);
}

int RichTextBox::TextLength() const
{
    return document()->characterCount() - 1;
}

int RichTextBox::SelStart() const
{
    return textCursor().selectionStart();
}

void RichTextBox::setSelStart(int start)
{
    QTextCursor cursor = textCursor();
    cursor.setPosition(std::clamp(start, 0, TextLength()));
    setTextCursor(cursor);
}

int RichTextBox::SelLength() const
{
    const QTextCursor cursor = textCursor();
    return cursor.selectionEnd() - cursor.selectionStart();
}

void RichTextBox::setSelLength(int length)
{
    QTextCursor cursor = textCursor();
    const int start = cursor.selectionStart();
    const int end = int(std::clamp<qint64>(qint64(start) + std::max(length, 0), 0, TextLength()));
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

void RichTextBox::mergeSelectionFormat(const QTextCharFormat& format)
{
    ProgramChange change(*this);
    QTextCursor cursor = textCursor();
    // An empty paragraph keeps the format for the text typed into it, even once the
    // caret has left it and come back (the font command on an empty document).
    if (!cursor.hasSelection() && cursor.block().length() == 1)
        cursor.mergeBlockCharFormat(format);
    // The selection's characters, or with nothing selected what is typed at the caret.
    // A large selection (the font command gives the whole document) is laid out anew
    // lazily rather than all at once.
    constexpr int LargeSelection = 64 * 1024;
    if (cursor.selectionEnd() - cursor.selectionStart() > LargeSelection)
        withDeferredLayout([&] { mergeCurrentCharFormat(format); });
    else
        mergeCurrentCharFormat(format);
}

void RichTextBox::setSelFontName(const QString& name)
{
    QTextCharFormat format;
    format.setFontFamilies(QStringList{name});
    mergeSelectionFormat(format);
}

void RichTextBox::setSelFontSize(double points)
{
    if (!(points > 0))
        return;
    QTextCharFormat format;
    format.setFontPointSize(points);
    mergeSelectionFormat(format);
}

const QString& RichTextBox::rawText() const
{
    if (!rawTextCurrent_) {
        rawText_ = document()->toRawText();
        rawTextCurrent_ = true;
    }
    return rawText_;
}

int RichTextBox::Find(const QString& text, int start, int end, int options)
{
    const qsizetype at = TextSearch::find(rawText(), text, std::max(start, 0), end, options);
    if (at < 0)
        return -1;
    QTextCursor cursor = textCursor();
    cursor.setPosition(int(at));
    cursor.setPosition(int(at + text.size()), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
    return int(at);
}

std::optional<Failure> RichTextBox::LoadFile(const QString& path)
{
    Result<QByteArray> bytes = FileSystem::readWholeFile(path);
    if (!bytes)
        return bytes.failure();
    setText(Codec8Bit::decode(bytes.value()));
    return std::nullopt;
}

void RichTextBox::Refresh()
{
    viewport()->update();
}

void RichTextBox::setLeft(double twips)
{
    left_ = twips;
    applyGeometry();
}

void RichTextBox::setTop(double twips)
{
    top_ = twips;
    applyGeometry();
}

void RichTextBox::setWidth(double twips)
{
    width_ = twips;
    applyGeometry();
}

void RichTextBox::setHeight(double twips)
{
    height_ = twips;
    applyGeometry();
}

void RichTextBox::applyGeometry()
{
    const int x = int(std::lround(Twips::toPixelsX(left_)));
    const int y = int(std::lround(Twips::toPixelsY(top_)));
    int w = std::max(0, int(std::lround(Twips::toPixelsX(width_))));
    int h = std::max(0, int(std::lround(Twips::toPixelsY(height_))));
    // What lies outside the parent could not be seen or scrolled to: keep it inside.
    if (const QWidget* p = parentWidget()) {
        w = std::min(w, std::max(0, p->width() - x));
        h = std::min(h, std::max(0, p->height() - y));
    }
    setGeometry(x, y, w, h);
}

// The placement is clamped to the parent, so a change of the parent's size changes it.
void RichTextBox::watchParent()
{
    if (watchedParent_ == parentWidget())
        return;
    if (watchedParent_)
        watchedParent_->removeEventFilter(this);
    watchedParent_ = parentWidget();
    if (watchedParent_)
        watchedParent_->installEventFilter(this);
}

bool RichTextBox::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == watchedParent_ && e->type() == QEvent::Resize)
        applyGeometry();
    return QTextEdit::eventFilter(watched, e);
}

void RichTextBox::setMenuShortcuts(const QList<QKeySequence>& shortcuts)
{
    menuShortcuts_ = shortcuts;
}

bool RichTextBox::isMenuShortcut(const QKeyEvent& e) const
{
    // The keypad's Insert is the same key as the main block's for a shortcut.
    const QKeySequence pressed(QKeyCombination(e.modifiers() & ~Qt::KeypadModifier, Qt::Key(e.key())));
    return std::any_of(menuShortcuts_.begin(), menuShortcuts_.end(), [&](const QKeySequence& shortcut) {
        return shortcut.matches(pressed) == QKeySequence::ExactMatch;
    });
}

bool RichTextBox::event(QEvent* e)
{
    switch (e->type()) {
    case QEvent::ShortcutOverride:
        if (isMenuShortcut(*static_cast<QKeyEvent*>(e))) {
            // Not ours: the menu item's shortcut takes it.
            e->ignore();
            return true;
        }
        break;
    case QEvent::ParentChange: {
        const bool handled = QTextEdit::event(e);
        watchParent();
        applyGeometry();
        return handled;
    }
    default: break;
    }
    return QTextEdit::event(e);
}

void RichTextBox::keyPressEvent(QKeyEvent* e)
{
    // A menu's key that no menu item took is still no key of the text's.
    if (isMenuShortcut(*e)) {
        e->ignore();
        return;
    }
    if (const std::optional<int> code = characterCode(*e))
        emit KeyPress(*code);
    QTextEdit::keyPressEvent(e);
}

bool RichTextBox::canInsertFromMimeData(const QMimeData* source) const
{
    return source->hasText();
}

void RichTextBox::insertFromMimeData(const QMimeData* source)
{
    // Only the characters come in; formatting from other programs stays out.
    if (!source->hasText())
        return;
    QTextCursor cursor = textCursor();
    cursor.insertText(withLf(source->text()));
    setTextCursor(cursor);
    ensureCursorVisible();
}

QMimeData* RichTextBox::createMimeDataFromSelection() const
{
    auto* data = new QMimeData; // the caller takes it
    // Other programs here end lines with LF.
    QString text = textCursor().selectedText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    text.replace(QChar::LineSeparator, u'\n');
    data->setText(text);
    return data;
}
