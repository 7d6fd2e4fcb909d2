#include "platform/DocumentLayout.h"

#include "platform/InlineImageHandler.h"

#include <QElapsedTimer>
#include <QHash>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>

namespace {

// Changes of up to this many blocks are laid out at once; larger ones (loading,
// pasting a long text) get estimated heights and are laid out as they are shown.
constexpr int syncLayoutBlocks = 64;
// A document of up to this many blocks is laid out whole (its lines then dropped), so
// that its heights are exact from the start and nothing moves while it is scrolled.
constexpr int exactLayoutBlocks = 1000;
// One idle-time step of re-wrapping stops after this long, so input stays prompt.
constexpr qint64 rewrapStepMs = 8;
// Width given to lines before the control has a size of its own.
constexpr qreal unboundedWidth = 1e6;
constexpr qreal farAway = 1e9;

int ceilPixels(qreal height)
{
    return std::max(1, int(std::ceil(height - 1e-6)));
}

} // namespace

DocumentLayout::DocumentLayout(QTextDocument* document) : QAbstractTextDocumentLayout(document)
{
    registerHandler(QTextFormat::ImageObject, new InlineImageHandler(this));
    rewrapTimer_.setSingleShot(true);
    rewrapTimer_.setInterval(0);
    connect(&rewrapTimer_, &QTimer::timeout, this, &DocumentLayout::rewrapStep);
    // The document announces content changes just before it tells the layout; a
    // re-layout of the whole (new width, new default font, a new layout) comes unannounced.
    connect(document, &QTextDocument::contentsChange, this, [this](int from, int removed, int added) {
        pendingFrom_ = from;
        pendingRemoved_ = removed;
        pendingAdded_ = added;
    });
    blockCount_ = document->blockCount();
}

void DocumentLayout::setCursorWidth(int width)
{
    cursorWidth_ = std::max(0, width);
}

void DocumentLayout::setScrollBar(QScrollBar* bar)
{
    scrollBar_ = bar;
}

qreal DocumentLayout::availableWidth() const
{
    if (width_ <= 0)
        return unboundedWidth;
    return std::max<qreal>(1, width_ - 2 * document()->documentMargin());
}

qreal DocumentLayout::blockTop(const QTextBlock& block) const
{
    return document()->documentMargin() + block.firstLineNumber();
}

int DocumentLayout::totalHeight() const
{
    return document()->lineCount();
}

QTextBlock DocumentLayout::blockAtY(qreal y) const
{
    const QTextDocument* doc = document();
    const int line = int(std::floor(y - doc->documentMargin()));
    if (line <= 0)
        return doc->firstBlock();
    const QTextBlock block = doc->findBlockByLineNumber(line);
    return block.isValid() ? block : doc->lastBlock();
}

bool DocumentLayout::isLaidOut(const QTextBlock& block) const
{
    return block.userState() == laidOutState() && block.layout()->lineCount() > 0;
}

int DocumentLayout::layoutBlock(const QTextBlock& block) const
{
    QTextLayout* tl = block.layout();
    const QTextBlockFormat format = block.blockFormat();
    const Qt::LayoutDirection direction = block.textDirection();

    QTextOption option = document()->defaultTextOption();
    option.setTextDirection(direction);
    Qt::Alignment alignment = option.alignment();
    if (format.hasProperty(QTextFormat::BlockAlignment))
        alignment = format.alignment();
    option.setAlignment(QStyle::visualAlignment(direction, alignment));
    const QList<QTextOption::Tab> tabs = format.tabPositions();
    if (!tabs.isEmpty())
        option.setTabs(tabs);
    if (format.nonBreakableLines() || width_ <= 0)
        option.setWrapMode(QTextOption::ManualWrap);
    tl->setTextOption(option);

    const qreal indent = format.indent() * document()->indentWidth();
    const qreal left = format.leftMargin() + (direction == Qt::RightToLeft ? 0 : indent);
    const qreal right = format.rightMargin() + (direction == Qt::RightToLeft ? indent : 0);
    const qreal lineWidth = std::max<qreal>(1, availableWidth() - left - right);

    qreal y = format.topMargin();
    bool first = true;
    tl->beginLayout();
    for (;;) {
        QTextLine line = tl->createLine();
        if (!line.isValid())
            break;
        line.setLeadingIncluded(true);
        qreal x = left;
        qreal width = lineWidth;
        if (first) {
            const qreal textIndent = format.textIndent();
            if (direction != Qt::RightToLeft)
                x += textIndent;
            width -= textIndent;
            first = false;
        }
        line.setLineWidth(std::max<qreal>(1, width));
        line.setPosition(QPointF(x, y));
        y += format.lineHeight(line.height(), 1.0);
    }
    tl->endLayout();
    y += format.bottomMargin();
    return ceilPixels(y);
}

DocumentLayout::CharMetrics DocumentLayout::metricsFor(const QFont& font) const
{
    // The height of one laid-out line, exactly as layoutBlock gets it.
    QTextLayout sample(QStringLiteral("The quick brown fox jumps over the lazy dog "), font, paintDevice());
    sample.beginLayout();
    QTextLine line = sample.createLine();
    line.setLeadingIncluded(true);
    line.setLineWidth(unboundedWidth);
    sample.endLayout();
    return {line.height(), line.naturalTextWidth() / 44.0};
}

DocumentLayout::Shape DocumentLayout::shapeFor(const QTextBlockFormat& format, const CharMetrics& metrics) const
{
    const qreal indent = format.indent() * document()->indentWidth();
    Shape shape;
    shape.width = availableWidth() - format.leftMargin() - format.rightMargin() - indent;
    shape.wraps = width_ > 0 && shape.width > 0 && !format.nonBreakableLines();
    shape.textIndent = format.textIndent();
    shape.averageWidth = metrics.averageWidth;
    shape.top = format.topMargin();
    shape.bottom = format.bottomMargin();
    shape.lineAdvance = format.lineHeight(metrics.lineHeight, 1.0);
    return shape;
}

int DocumentLayout::Shape::height(int length) const
{
    int lines = 1;
    if (wraps)
        lines = std::max(1, int(std::ceil(((length - 1) * averageWidth + textIndent) / width)));
    return ceilPixels(top + lines * lineAdvance + bottom);
}

void DocumentLayout::estimateRange(QTextBlock first, const QTextBlock& last) const
{
    QTextDocument* doc = document();
    if (doc->blockCount() <= exactLayoutBlocks) {
        for (QTextBlock b = first; b.isValid(); b = b.next()) {
            const int height = layoutBlock(b);
            releaseLines(b);
            b.setUserState(exactState());
            if (b.lineCount() != height)
                b.setLineCount(height);
            if (b == last)
                break;
        }
        return;
    }
    Estimator estimator(*this);
    for (QTextBlock b = first; b.isValid(); b = b.next()) {
        b.clearLayout();
        const int height = estimator.height(b);
        if (b.lineCount() != height)
            b.setLineCount(height);
        if (b.userState() != -1)
            b.setUserState(-1);
        if (b == last)
            break;
    }
}

DocumentLayout::Estimator::Estimator(const DocumentLayout& layout)
    : layout_(layout), defaultFont_(layout.document()->defaultFont())
{
    if (layout.hasOneCharFormat())
        uniform_ = layout.metricsFor(defaultFont_);
}

int DocumentLayout::Estimator::height(const QTextBlock& block)
{
    const int blockFormatIndex = block.blockFormatIndex();
    bool changed = blockFormatIndex != blockFormatIndex_;
    if (changed) {
        blockFormatIndex_ = blockFormatIndex;
        blockFormat_ = block.blockFormat();
    }
    if (uniform_) {
        if (!metrics_) {
            metrics_ = uniform_;
            changed = true;
        }
    } else if (changed || untilLookup_ == 0) {
        // Finding a block's character format searches the document's fragments; a
        // run of paragraphs of one kind mostly shares its font, so only every so
        // often, and where the paragraph format changes, is it looked up.
        const int index = block.charFormatIndex();
        auto it = byCharFormat_.find(index);
        if (it == byCharFormat_.end())
            it = byCharFormat_.insert(index, layout_.metricsFor(block.charFormat().font().resolve(defaultFont_)));
        if (index != charFormatIndex_) {
            charFormatIndex_ = index;
            metrics_ = *it;
            changed = true;
        }
        untilLookup_ = lookupEvery;
    }
    if (untilLookup_ > 0)
        --untilLookup_;
    // The block format's margins and the font's line height are the same for every
    // block until one of them changes.
    if (changed)
        shape_ = layout_.shapeFor(blockFormat_, *metrics_);
    return shape_.height(block.length());
}

bool DocumentLayout::hasOneCharFormat() const
{
    int charFormats = 0;
    for (const QTextFormat& f : document()->allFormats())
        charFormats += f.isCharFormat() ? 1 : 0;
    return charFormats <= 1;
}

void DocumentLayout::releaseLines(const QTextBlock& block) const
{
    // An empty layout pass drops the lines and the shaped glyphs; the height stays.
    QTextLayout* tl = block.layout();
    tl->beginLayout();
    tl->endLayout();
}

void DocumentLayout::releaseAllLines() const
{
    const QTextDocument* doc = document();
    for (int number : cached_) {
        const QTextBlock block = doc->findBlockByNumber(number);
        if (block.isValid())
            releaseLines(block);
    }
    cached_.clear();
}

void DocumentLayout::ensureLaidOut(const QTextBlock& block) const
{
    QTextLayout* tl = block.layout();
    if (!isLaidOut(block)) {
        const bool hadLines = tl->lineCount() > 0;
        const int height = layoutBlock(block);
        QTextBlock b = block;
        b.setUserState(laidOutState());
        if (!hadLines)
            cached_.push_back(block.blockNumber());
        if (b.lineCount() != height) {
            b.setLineCount(height);
            heightChangedOutsideEdit();
        }
        if (int(cached_.size()) > cacheLimit && !trimPending_) {
            trimPending_ = true;
            QMetaObject::invokeMethod(const_cast<DocumentLayout*>(this), &DocumentLayout::trimCache,
                                      Qt::QueuedConnection);
        }
    }
    tl->setPosition(QPointF(document()->documentMargin(), blockTop(block)));
}

void DocumentLayout::heightChangedOutsideEdit() const
{
    // Blocks below moved: the size and the view are brought up to date once control
    // is back in the event loop, never from inside a paint.
    scheduleNotify();
}

void DocumentLayout::scheduleNotify() const
{
    if (notifyPending_)
        return;
    notifyPending_ = true;
    auto* self = const_cast<DocumentLayout*>(this);
    QMetaObject::invokeMethod(
        self,
        [self] {
            self->notifyPending_ = false;
            const int total = self->totalHeight();
            if (total != self->reportedHeight_) {
                self->reportedHeight_ = total;
                emit self->documentSizeChanged(self->documentSize());
            }
            emit self->update();
        },
        Qt::QueuedConnection);
}

void DocumentLayout::trimCache()
{
    trimPending_ = false;
    if (int(cached_.size()) <= cacheLimit)
        return;
    std::sort(cached_.begin(), cached_.end());
    cached_.erase(std::unique(cached_.begin(), cached_.end()), cached_.end());
    const auto distance = [this](int n) {
        return n < firstShown_ ? firstShown_ - n : (n > lastShown_ ? n - lastShown_ : 0);
    };
    // Keep the blocks nearest the view; the rest give up their lines.
    std::stable_sort(cached_.begin(), cached_.end(), [&](int a, int b) { return distance(a) < distance(b); });
    const std::size_t keep = std::size_t(cacheLimit) * 3 / 4;
    const QTextDocument* doc = document();
    for (std::size_t i = keep; i < cached_.size(); ++i) {
        QTextBlock block = doc->findBlockByNumber(cached_[i]);
        if (!block.isValid())
            continue;
        releaseLines(block);
        if (block.userState() == laidOutState())
            block.setUserState(exactState());
    }
    cached_.resize(std::min(keep, cached_.size()));
}

void DocumentLayout::forgetCached(int firstOld, int lastOld, int delta)
{
    std::size_t out = 0;
    for (int n : cached_) {
        if (n < firstOld)
            cached_[out++] = n;
        else if (n > lastOld)
            cached_[out++] = n + delta;
    }
    cached_.resize(out);
    const auto shift = [&](int& n) {
        if (n > lastOld)
            n += delta;
        else if (n >= firstOld)
            n = firstOld;
    };
    shift(rewrapNext_);
    shift(rewrapAnchor_);
    shift(firstShown_);
    shift(lastShown_);
}

void DocumentLayout::documentChanged(int from, int charsRemoved, int charsAdded)
{
    QTextDocument* doc = document();
    const bool announced = from == pendingFrom_ && charsRemoved == pendingRemoved_ && charsAdded == pendingAdded_;
    pendingFrom_ = -1;
    const bool wholeRelayout = !announced && from == 0 && charsAdded >= doc->characterCount();

    const int newCount = doc->blockCount();
    const int delta = newCount - blockCount_;
    blockCount_ = newCount;
    QTextBlock first = doc->findBlock(from);
    if (!first.isValid())
        first = doc->lastBlock();
    QTextBlock last = charsAdded > 0 ? doc->findBlock(from + charsAdded - 1) : first;
    if (!last.isValid())
        last = doc->lastBlock();
    const int firstNumber = first.blockNumber();
    const int lastNumber = std::max(firstNumber, last.blockNumber());

    if (wholeRelayout)
        releaseAllLines();
    const std::size_t cachedBefore = cached_.size();
    forgetCached(firstNumber, lastNumber - delta, delta);
    const bool cachedInRange = cached_.size() != cachedBefore;

    if (doc->pageSize().width() <= 0) {
        // Not sized (a hidden control, or a page size taken away while the whole
        // document is replaced): nothing is laid out until a width comes.
        if (cachedInRange) {
            for (QTextBlock b = first; b.isValid(); b = b.next()) {
                b.clearLayout();
                if (b == last)
                    break;
            }
        }
        if (!wholeRelayout)
            heightsValid_ = false;
        return;
    }

    if (wholeRelayout || !heightsValid_) {
        width_ = doc->pageSize().width();
        ++generation_;
        releaseAllLines();
        rewrapTimer_.stop();
        if (!heightsValid_) {
            estimateRange(doc->firstBlock(), doc->lastBlock());
            heightsValid_ = true;
        } else {
            startRewrap();
        }
        reportedHeight_ = totalHeight();
        emit documentSizeChanged(documentSize());
        emit update();
        return;
    }

    const qreal top = blockTop(first);
    const int blocks = lastNumber - firstNumber + 1;
    if (blocks <= syncLayoutBlocks) {
        for (QTextBlock b = first; b.isValid(); b = b.next()) {
            const int height = layoutBlock(b);
            b.setUserState(laidOutState());
            cached_.push_back(b.blockNumber());
            if (b.lineCount() != height)
                b.setLineCount(height);
            if (b == last)
                break;
        }
    } else {
        estimateRange(first, last);
    }
    const int total = totalHeight();
    const qreal width = width_ > 0 ? width_ : farAway;
    if (total == reportedHeight_ && blocks <= syncLayoutBlocks) {
        // Nothing below moved: only the changed blocks are repainted.
        emit update(QRectF(0, top, width, blockTop(last) + last.lineCount() - top));
    } else {
        emit update(QRectF(0, top, width, farAway));
    }
    if (total != reportedHeight_) {
        reportedHeight_ = total;
        emit documentSizeChanged(documentSize());
    }
    if (int(cached_.size()) > cacheLimit && !trimPending_) {
        trimPending_ = true;
        QMetaObject::invokeMethod(this, &DocumentLayout::trimCache, Qt::QueuedConnection);
    }
}

void DocumentLayout::startRewrap()
{
    int anchor = firstShown_;
    if (scrollBar_)
        anchor = blockAtY(scrollBar_->value()).blockNumber();
    rewrapAnchor_ = std::clamp(anchor, 0, blockCount_ - 1);
    rewrapNext_ = rewrapAnchor_;
    rewrapWrapped_ = false;
    rewrapTimer_.start();
}

void DocumentLayout::rewrapStep()
{
    const QTextDocument* doc = document();
    QElapsedTimer clock;
    clock.start();

    // From the view down to the end first, then from the top down to the view; while
    // blocks above the view change, the scroll bar keeps the same text in view.
    QTextBlock anchor;
    qreal anchorOffset = 0;
    if (rewrapWrapped_ && scrollBar_) {
        anchor = blockAtY(scrollBar_->value());
        anchorOffset = scrollBar_->value() - blockTop(anchor);
    }

    Estimator estimator(*this);
    bool done = false;
    QTextBlock b = doc->findBlockByNumber(rewrapNext_);
    for (int processed = 0;; ++processed) {
        if (!b.isValid()) {
            if (rewrapWrapped_) {
                done = true;
            } else {
                rewrapWrapped_ = true;
                rewrapNext_ = 0;
            }
            break;
        }
        if (rewrapWrapped_ && rewrapNext_ >= rewrapAnchor_) {
            done = true;
            break;
        }
        const int state = b.userState();
        if (state != laidOutState() && state != exactState()) {
            int height;
            if (state >= 2) {
                // Its height was exact at the old width: it is again.
                height = layoutBlock(b);
                releaseLines(b);
                b.setUserState(exactState());
            } else {
                height = estimator.height(b);
            }
            if (b.lineCount() != height)
                b.setLineCount(height);
        }
        ++rewrapNext_;
        b = b.next();
        if ((processed & 63) == 63 && clock.elapsed() >= rewrapStepMs)
            break;
    }

    const int total = totalHeight();
    if (total != reportedHeight_) {
        reportedHeight_ = total;
        emit documentSizeChanged(documentSize());
        if (anchor.isValid() && scrollBar_)
            scrollBar_->setValue(int(std::lround(blockTop(anchor) + anchorOffset)));
        else if (rewrapWrapped_)
            emit update();
    }
    if (!done)
        rewrapTimer_.start();
}

void DocumentLayout::draw(QPainter* painter, const PaintContext& context)
{
    const QRectF clip = context.clip.isValid() ? context.clip : QRectF(0, 0, farAway, farAway);
    QTextBlock block = blockAtY(clip.top());
    int number = block.blockNumber();
    firstShown_ = number;
    for (; block.isValid(); block = block.next(), ++number) {
        ensureLaidOut(block);
        const QTextLayout* tl = block.layout();
        const qreal top = tl->position().y();
        if (top > clip.bottom())
            break;
        lastShown_ = number;

        const QTextBlockFormat format = block.blockFormat();
        const QBrush background = format.background();
        if (background != Qt::NoBrush)
            painter->fillRect(QRectF(tl->position(), QSizeF(availableWidth(), block.lineCount())), background);

        const int blockPos = block.position();
        const int blockLen = block.length();
        QList<QTextLayout::FormatRange> selections;
        for (const Selection& range : context.selections) {
            const int selStart = range.cursor.selectionStart() - blockPos;
            const int selEnd = range.cursor.selectionEnd() - blockPos;
            if (selStart < blockLen && selEnd > 0 && selEnd > selStart) {
                selections.append({selStart, selEnd - selStart, range.format});
            } else if (!range.cursor.hasSelection() && range.format.hasProperty(QTextFormat::FullWidthSelection) &&
                       block.contains(range.cursor.position())) {
                // A full-width selection needs only a position to name its line.
                const QTextLine line = tl->lineForTextPosition(range.cursor.position() - blockPos);
                if (!line.isValid())
                    continue;
                QTextLayout::FormatRange o{line.textStart(), line.textLength(), range.format};
                if (o.start + o.length == blockLen - 1)
                    ++o.length; // the line break
                selections.append(o);
            }
        }

        const QPen oldPen = painter->pen();
        painter->setPen(context.palette.color(QPalette::Text));
        tl->draw(painter, QPointF(), selections, clip);
        const int cursor = context.cursorPosition;
        if ((cursor >= blockPos && cursor < blockPos + blockLen) || (cursor < -1 && !tl->preeditAreaText().isEmpty())) {
            // Inside pre-edit text the position counts from the start of that text.
            const int inBlock = cursor < -1 ? tl->preeditAreaPosition() - (cursor + 2) : cursor - blockPos;
            tl->drawCursor(painter, QPointF(), inBlock, cursorWidth_);
        }
        painter->setPen(oldPen);
    }
}

int DocumentLayout::hitTest(const QPointF& point, Qt::HitTestAccuracy accuracy) const
{
    // Above the text is its start, below it its end, as with QTextEdit's own layout.
    const qreal margin = document()->documentMargin();
    if (point.y() < margin)
        return accuracy == Qt::ExactHit ? -1 : 0;
    if (point.y() >= margin + totalHeight())
        return accuracy == Qt::ExactHit ? -1 : document()->characterCount() - 1;
    const QTextBlock block = blockAtY(point.y());
    ensureLaidOut(block);
    const QTextLayout* tl = block.layout();
    const QPointF local = point - tl->position();
    const int lines = tl->lineCount();
    if (lines == 0)
        return accuracy == Qt::ExactHit ? -1 : block.position();
    // The line at that height; above the first or below the last, the nearest one.
    int i = 0;
    while (i + 1 < lines && local.y() >= tl->lineAt(i).y() + tl->lineAt(i).height())
        ++i;
    const QTextLine line = tl->lineAt(i);
    if (accuracy == Qt::ExactHit && !line.naturalTextRect().contains(local))
        return -1;
    return block.position() + line.xToCursor(local.x());
}

int DocumentLayout::pageCount() const
{
    return 1;
}

QSizeF DocumentLayout::documentSize() const
{
    // Both parts are kept by the document and the block tree: nothing to lay out here.
    const qreal margin = document()->documentMargin();
    return {width_ > 0 ? width_ : availableWidth() + 2 * margin, totalHeight() + 2 * margin};
}

QRectF DocumentLayout::frameBoundingRect(QTextFrame* frame) const
{
    if (!frame || frame == document()->rootFrame())
        return {QPointF(0, 0), documentSize()};
    const QTextBlock first = document()->findBlock(frame->firstPosition());
    const QTextBlock last = document()->findBlock(frame->lastPosition());
    if (!first.isValid() || !last.isValid())
        return {};
    const qreal top = blockTop(first);
    return {document()->documentMargin(), top, availableWidth(), blockTop(last) + last.lineCount() - top};
}

QRectF DocumentLayout::blockBoundingRect(const QTextBlock& block) const
{
    if (!block.isValid())
        return {};
    ensureLaidOut(block);
    return {block.layout()->position(), QSizeF(availableWidth(), block.lineCount())};
}
