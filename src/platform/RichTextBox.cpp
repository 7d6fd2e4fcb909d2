#include "platform/RichTextBox.h"

#include "document/Codec8Bit.h"
#include "platform/FileSystem.h"
#include "platform/RtfReader.h"
#include "platform/TextSearch.h"
#include "platform/Twips.h"

#include <QAbstractTextDocumentLayout>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <cmath>

namespace {

// The raw text's paragraph and line separators as the program sees them: CR LF.
QString withCrLf(const QString& raw)
{
    QString text;
    text.reserve(raw.size() + raw.size() / 32);
    qsizetype from = 0;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const char16_t c = raw[i].unicode();
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator) {
            text.append(QStringView(raw).mid(from, i - from));
            text.append(QLatin1String("\r\n"));
            from = i + 1;
        }
    }
    text.append(QStringView(raw).mid(from));
    return text;
}

// LF, CR and CR LF each end a line: all become LF, which the document takes as a break.
QString withLf(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

bool producesCharacterCode(const QKeyEvent& e)
{
    switch (e.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Backspace:
    case Qt::Key_Tab:
        return true;
    case Qt::Key_Delete:
    case Qt::Key_Escape:
    case Qt::Key_Backtab:
        return false;
    default:
        break;
    }
    if ((e.modifiers() & Qt::ControlModifier) && e.key() >= Qt::Key_A && e.key() <= Qt::Key_Z)
        return !(e.modifiers() & Qt::AltModifier);
    const QString text = e.text();
    return !text.isEmpty() && (text.at(0).isPrint() || text.at(0).isSpace());
}

int characterCode(const QKeyEvent& e)
{
    switch (e.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab: return 9;
    default: break;
    }
    if ((e.modifiers() & Qt::ControlModifier) && e.key() >= Qt::Key_A && e.key() <= Qt::Key_Z)
        return e.key() - Qt::Key_A + 1;
    return e.text().isEmpty() ? 0 : e.text().at(0).unicode();
}

} // namespace

RichTextBox::RichTextBox(QWidget* parent) : QTextEdit(parent)
{
    setAcceptRichText(false);
    setLineWrapMode(QTextEdit::WidgetWidth);
    setTabChangesFocus(false);
    setAccessibleName(QStringLiteral("Document"));
    connect(document(), &QTextDocument::contentsChange, this, [this](int, int removed, int added) {
        if (programChanges_ == 0 && (removed > 0 || added > 0))
            emit UserChanged();
    });
}

void RichTextBox::replaceDocument(const std::function<void(QTextDocument&)>& fill)
{
    ++programChanges_;
    QTextDocument* doc = document();
    doc->setUndoRedoEnabled(false);
    fill(*doc);
    doc->setUndoRedoEnabled(true);
    --programChanges_;
    setTextCursor(QTextCursor(doc));
}

QString RichTextBox::Text() const
{
    return withCrLf(document()->toRawText());
}

void RichTextBox::setText(const QString& text)
{
    replaceDocument([&](QTextDocument& doc) { doc.setPlainText(withLf(text)); });
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
    const QTextCursor cursor = textCursor();
    if (!cursor.hasSelection())
        return {};
    const QString raw = document()->toRawText().mid(cursor.selectionStart(),
                                                    cursor.selectionEnd() - cursor.selectionStart());
    return withCrLf(raw);
}

void RichTextBox::setSelText(const QString& text)
{
    ++programChanges_;
    QTextCursor cursor = textCursor();
    cursor.insertText(withLf(text));
    setTextCursor(cursor);
    --programChanges_;
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
    cursor.setPosition(start);
    cursor.setPosition(std::clamp(start + std::max(length, 0), 0, TextLength()), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

void RichTextBox::setSelFontName(const QString& name)
{
    QTextCharFormat format;
    format.setFontFamilies(QStringList{name});
    ++programChanges_;
    mergeCurrentCharFormat(format);
    --programChanges_;
}

void RichTextBox::setSelFontSize(double points)
{
    if (points <= 0)
        return;
    QTextCharFormat format;
    format.setFontPointSize(points);
    ++programChanges_;
    mergeCurrentCharFormat(format);
    --programChanges_;
}

int RichTextBox::Find(const QString& text, int start, int end, int options)
{
    const QString raw = document()->toRawText();
    const qsizetype at = TextSearch::find(raw, text, std::max(start, 0), end, options);
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
        w = std::clamp(w, 0, std::max(0, p->width() - x));
        h = std::clamp(h, 0, std::max(0, p->height() - y));
    }
    setGeometry(x, y, w, h);
}

void RichTextBox::resizeEvent(QResizeEvent* e)
{
    QTextEdit::resizeEvent(e);
}

void RichTextBox::setMenuShortcuts(const QList<QKeySequence>& shortcuts)
{
    menuShortcuts_ = shortcuts;
}

bool RichTextBox::event(QEvent* e)
{
    if (e->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(e);
        const QKeySequence pressed(key->keyCombination());
        for (const QKeySequence& shortcut : std::as_const(menuShortcuts_)) {
            if (shortcut.matches(pressed) == QKeySequence::ExactMatch) {
                // Not ours: let the menu item's shortcut have it.
                e->ignore();
                return true;
            }
        }
    }
    return QTextEdit::event(e);
}

void RichTextBox::keyPressEvent(QKeyEvent* e)
{
    if (producesCharacterCode(*e))
        emit KeyPress(characterCode(*e));
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
    auto* data = new QMimeData;
    QString text = SelText();
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    data->setText(text);
    return data;
}
