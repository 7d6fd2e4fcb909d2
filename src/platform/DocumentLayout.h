#pragma once

#include <QAbstractTextDocumentLayout>
#include <QFont>
#include <QHash>
#include <QPointer>
#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTimer>

#include <optional>
#include <vector>

class QScrollBar;
class QTextLayout;

// The editing control's document layout: its cost per edit does not grow with the
// document.
//
// Every block stacks under the one before it, all at the same x; indents go into the
// positions of its lines. A block's height in whole pixels is kept in the document's
// own block tree (QTextBlock::setLineCount), whose prefix sums give the top of a block
// (firstLineNumber) and the block at a height (findBlockByLineNumber) in logarithmic
// time, and which the document keeps in step as blocks come and go.
//
// Blocks are laid out lazily: only what is drawn, hit or asked for by the cursor. The
// others carry a height estimated from their length and font, replaced once they are
// laid out. The lines of blocks far from the view are dropped again, their heights
// kept, so memory stays bounded however much of the document has been seen. A change
// of width re-wraps what is shown at the next paint and the rest in short steps while
// the event loop is idle.
//
// A block's QTextBlock::userState tells whether its lines and height belong to the
// current width; nothing else in the control uses it.
class DocumentLayout : public QAbstractTextDocumentLayout {
    Q_OBJECT
    // QTextEdit sets and reads the cursor width by this name.
    Q_PROPERTY(int cursorWidth READ cursorWidth WRITE setCursorWidth)

public:
    explicit DocumentLayout(QTextDocument* document);

    void draw(QPainter* painter, const PaintContext& context) override;
    int hitTest(const QPointF& point, Qt::HitTestAccuracy accuracy) const override;
    int pageCount() const override;
    QSizeF documentSize() const override;
    QRectF frameBoundingRect(QTextFrame* frame) const override;
    QRectF blockBoundingRect(const QTextBlock& block) const override;

    int cursorWidth() const { return cursorWidth_; }
    void setCursorWidth(int width);

    // The scroll bar that shows the document: while idle-time re-wrapping changes the
    // heights of blocks above the view, its value follows so that the text shown stays.
    void setScrollBar(QScrollBar* bar);

    // True while blocks still wait for re-wrapping at the current width.
    bool rewrapPending() const { return rewrapTimer_.isActive(); }
    // How many blocks hold laid-out lines now (bounded by the cache).
    int cachedBlockCount() const { return int(cached_.size()); }
    // The most blocks that keep their lines after the idle-time clean-up.
    static constexpr int cacheLimit = 3000;

protected:
    void documentChanged(int from, int charsRemoved, int charsAdded) override;

private:
    struct CharMetrics {
        qreal lineHeight = 0;
        qreal averageWidth = 0;
    };
    // What a block's estimated height depends on besides its length.
    struct Shape {
        qreal width = 1, textIndent = 0, averageWidth = 0;
        qreal top = 0, bottom = 0, lineAdvance = 0;
        bool wraps = false;
        int height(int length) const;
    };

    // Estimates the heights of blocks taken in document order.
    class Estimator {
    public:
        explicit Estimator(const DocumentLayout& layout);
        int height(const QTextBlock& block);

    private:
        static constexpr int lookupEvery = 32;
        const DocumentLayout& layout_;
        QFont defaultFont_;
        std::optional<CharMetrics> uniform_; // the whole document has one character format
        QHash<int, CharMetrics> byCharFormat_;
        std::optional<CharMetrics> metrics_;
        int charFormatIndex_ = -1;
        Shape shape_;
        int untilLookup_ = 0;
        int blockFormatIndex_ = -1;
        QTextBlockFormat blockFormat_;
    };

    qreal availableWidth() const;
    qreal blockTop(const QTextBlock& block) const;
    QTextBlock blockAtY(qreal y) const;
    int totalHeight() const;

    bool isLaidOut(const QTextBlock& block) const;
    // Lays the block out now if its lines do not belong to the current width; keeps its
    // layout's position at the block's top.
    void ensureLaidOut(const QTextBlock& block) const;
    // Breaks the block into lines at the current width; returns its height.
    int layoutBlock(const QTextBlock& block) const;
    Shape shapeFor(const QTextBlockFormat& format, const CharMetrics& metrics) const;
    CharMetrics metricsFor(const QFont& font) const;
    // Gives every block from first to last (inclusive) an estimated height.
    void estimateRange(QTextBlock first, const QTextBlock& last) const;
    // Whether the whole document has one character format, as plain text has.
    bool hasOneCharFormat() const;
    void releaseLines(const QTextBlock& block) const;
    void releaseAllLines() const;

    void forgetCached(int firstOld, int lastOld, int delta);
    void heightChangedOutsideEdit() const;
    void scheduleNotify() const;
    void trimCache();

    void startRewrap();
    void rewrapStep();

    int laidOutState() const { return 2 * generation_ + 1; }
    int exactState() const { return 2 * generation_; }

    int cursorWidth_ = 1;
    qreal width_ = 0; // the page width lines wrap at; 0 until the control is sized
    bool heightsValid_ = false;
    int generation_ = 1; // advances with every change of width or of the whole layout
    int blockCount_ = 1;

    // The last content change the document announced, to tell it from a re-layout.
    int pendingFrom_ = -1, pendingRemoved_ = 0, pendingAdded_ = 0;

    mutable std::vector<int> cached_; // numbers of the blocks that hold lines
    mutable int firstShown_ = 0, lastShown_ = 0;
    mutable bool notifyPending_ = false;
    mutable bool trimPending_ = false;
    mutable int reportedHeight_ = -1;

    QTimer rewrapTimer_;
    int rewrapAnchor_ = 0; // re-wrapping starts at the view and wraps round to it
    int rewrapNext_ = 0;
    bool rewrapWrapped_ = false;
    QPointer<QScrollBar> scrollBar_;
};
