#include "platform/RtfOutput.h"

#include <QTextDocument>
#include <QTextImageFormat>

namespace {
// A run is inserted once it is this long, so memory stays bounded on huge input.
constexpr qsizetype RunLimit = 1 << 20;
} // namespace

RtfOutput::RtfOutput(QTextDocument& document) : cursor_(&document)
{
    blockFormat_ = cursor_.blockFormat();
    // One edit for the whole document: those who watch it (the layout, the editing
    // control) hear of it once, not once per run.
    cursor_.beginEditBlock();
}

RtfOutput::~RtfOutput()
{
    cursor_.endEditBlock();
}

void RtfOutput::setCharFormat(const QTextCharFormat& format)
{
    if (format == runFormat_)
        return;
    flush();
    runFormat_ = format;
}

void RtfOutput::openHeldParagraph()
{
    if (breakHeld_) {
        breakHeld_ = false;
        run_.append(QChar::ParagraphSeparator);
        hasContent_ = false;
    }
}

void RtfOutput::appendText(QStringView text)
{
    if (text.isEmpty())
        return;
    openHeldParagraph();
    run_.append(text);
    hasContent_ = true;
    documentEmpty_ = false;
    if (run_.size() >= RunLimit)
        flush();
}

void RtfOutput::appendChar(QChar c)
{
    openHeldParagraph();
    run_.append(c);
    hasContent_ = true;
    documentEmpty_ = false;
}

QChar* RtfOutput::reserve(qsizetype n)
{
    openHeldParagraph();
    if (run_.size() >= RunLimit)
        flush();
    const qsizetype size = run_.size();
    run_.resize(size + n);
    reserved_ = n;
    return run_.data() + size;
}

void RtfOutput::commit(qsizetype written)
{
    run_.chop(reserved_ - written);
    reserved_ = 0;
    if (written > 0) {
        hasContent_ = true;
        documentEmpty_ = false;
    }
}

void RtfOutput::appendImage(const QTextImageFormat& image)
{
    openHeldParagraph();
    flush();
    cursor_.insertImage(image);
    hasContent_ = true;
    documentEmpty_ = false;
}

void RtfOutput::flush()
{
    if (run_.isEmpty())
        return;
    cursor_.insertText(run_, runFormat_);
    run_.resize(0); // keeps its room for the next run
}

void RtfOutput::applyBlockFormat(const QTextBlockFormat& block)
{
    // Blocks opened inside a run take the format of the block the run started in, so
    // the format is set only where it changes.
    if (block == blockFormat_)
        return;
    flush();
    cursor_.setBlockFormat(block);
    blockFormat_ = block;
}

void RtfOutput::endParagraph(const QTextBlockFormat& block, const QTextCharFormat& mark)
{
    openHeldParagraph();
    applyBlockFormat(block);
    if (!hasContent_) {
        flush();
        cursor_.setBlockCharFormat(mark);
    }
    breakHeld_ = true;
    documentEmpty_ = false;
}

void RtfOutput::finish(const QTextBlockFormat& block, const QTextCharFormat& mark)
{
    if (!breakHeld_ && hasContent_)
        applyBlockFormat(block);
    flush();
    if (documentEmpty_)
        cursor_.setBlockCharFormat(mark);
    breakHeld_ = false;
}
