#pragma once

#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>

#include <vector>

class QImage;
class QTextDocument;
class QTextImageFormat;

// Writes what the RTF reader reads into a document through one cursor. Text is
// gathered, paragraph breaks included, and inserted in one piece in the format most of
// its runs have; the runs of other formats are then given theirs. Each run of its own
// costs the document a fragment either way, but giving a format to text already in
// place costs less than inserting text in a format of its own.
//
// A paragraph break is held back until something follows it: the last paragraph mark
// of a document ends its last paragraph and opens no empty one after it.
class RtfOutput {
public:
    explicit RtfOutput(QTextDocument& document);
    ~RtfOutput();
    RtfOutput(const RtfOutput&) = delete;
    RtfOutput& operator=(const RtfOutput&) = delete;

    // The format of the text appended from now on.
    void setCharFormat(const QTextCharFormat& format);
    void appendText(QStringView text);
    void appendChar(QChar c);
    // Room for n more characters at the end of the run; trim with commit(written).
    QChar* reserve(qsizetype n);
    void commit(qsizetype written);

    void appendImage(const QTextImageFormat& image);

    // Ends the current paragraph with its block format. An empty paragraph takes the
    // mark's character format as its own, so that typing into it uses that format.
    void endParagraph(const QTextBlockFormat& block, const QTextCharFormat& mark);
    // Whether nothing was shown since the last paragraph mark.
    bool paragraphIsEmpty() const { return breakHeld_ || !hasContent_; }

    // Gives the last paragraph its format, when it has no mark of its own, and writes
    // out what is held back.
    void finish(const QTextBlockFormat& block, const QTextCharFormat& mark);

private:
    void openHeldParagraph();
    void flush();
    void applyBlockFormat(const QTextBlockFormat& block);

    const QTextCharFormat& mostUsedFormat() const;

    // Where a format starts in the text gathered: the first at 0, each differing from
    // the one before it.
    struct Span {
        qsizetype start;
        QTextCharFormat format;
    };

    QTextCursor cursor_;
    QString run_;
    QTextCharFormat runFormat_; // the last span's
    std::vector<Span> spans_;
    QTextBlockFormat blockFormat_; // what the cursor's block has (or will have)
    qsizetype reserved_ = 0;
    bool breakHeld_ = false;
    bool hasContent_ = false; // the current paragraph has text or an image
    bool documentEmpty_ = true;
};
