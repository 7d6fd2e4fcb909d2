#include "platform/RtfOutput.h"

#include <QTextDocument>
#include <QTextImageFormat>

#include <algorithm>

namespace {
// Text is inserted once this much is gathered, so memory stays bounded on huge input.
constexpr qsizetype RunLimit = 1 << 20;
// Text is also inserted once it has this many runs, however short.
constexpr std::size_t SpanLimit = 1 << 16;
// How many of the first distinct formats are weighed for the one to insert text in.
constexpr std::size_t FormatsWeighed = 8;
} // namespace

RtfOutput::RtfOutput(QTextDocument& document) : cursor_(&document)
{
    spans_.push_back({0, runFormat_});
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
    if (spans_.back().start < run_.size()) {
        if (spans_.size() < SpanLimit) {
            runFormat_ = format;
            spans_.push_back({run_.size(), format});
            return;
        }
        flush();
    }
    // The format before has no text: this one takes its place, or the one before it
    // goes on.
    runFormat_ = format;
    spans_.back().format = format;
    if (spans_.size() > 1 && spans_[spans_.size() - 2].format == format)
        spans_.pop_back();
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

const QTextCharFormat& RtfOutput::mostUsedFormat() const
{
    struct Count {
        const QTextCharFormat* format;
        int runs;
    };
    std::vector<Count> counts;
    for (const Span& span : spans_) {
        auto it = std::find_if(counts.begin(), counts.end(), [&](const Count& c) { return *c.format == span.format; });
        if (it != counts.end())
            ++it->runs;
        else if (counts.size() < FormatsWeighed)
            counts.push_back({&span.format, 1});
    }
    return *std::max_element(counts.begin(), counts.end(), [](const Count& a, const Count& b) {
                return a.runs < b.runs;
            })->format;
}

void RtfOutput::flush()
{
    if (!run_.isEmpty()) {
        if (spans_.size() == 1) {
            cursor_.insertText(run_, runFormat_);
        } else {
            const QTextCharFormat base = mostUsedFormat();
            const int start = cursor_.position();
            cursor_.insertText(run_, base);
            QTextCursor range(cursor_);
            for (std::size_t i = 0; i < spans_.size(); ++i) {
                if (spans_[i].format == base)
                    continue;
                const qsizetype end = i + 1 < spans_.size() ? spans_[i + 1].start : run_.size();
                range.setPosition(start + int(spans_[i].start));
                range.setPosition(start + int(end), QTextCursor::KeepAnchor);
                range.setCharFormat(spans_[i].format);
            }
        }
        run_.resize(0); // keeps its room for the next run
    }
    spans_.clear();
    spans_.push_back({0, runFormat_});
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
