#include "platform/PageFormatter.h"

#include <QAbstractTextDocumentLayout>
#include <QPaintDevice>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>

namespace {

double toDevice(std::int32_t twips, double dpi)
{
    return twips * dpi / 1440.0;
}

bool breaksBefore(const QTextBlock& block)
{
    return block.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore;
}

bool breaksAfter(const QTextBlock& block)
{
    return block.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysAfter;
}

} // namespace

PageFormatter::PageFormatter(QObject* parent) : QObject(parent) {}

PageFormatter::~PageFormatter() = default;

void PageFormatter::release()
{
    disconnect(sourceChanged_);
    disconnect(sourceDestroyed_);
    layout_.reset();
    source_ = nullptr;
    device_ = nullptr;
    width_ = 0;
}

QTextDocument& PageFormatter::laidOut(const QTextDocument& source, QPaintDevice& device, double width)
{
    if (layout_ && source_ == &source && device_ == &device && width_ == width)
        return *layout_;
    release();
    // A copy, so that the editor's own layout for the screen stays as it is.
    layout_.reset(source.clone());
    layout_->setUndoRedoEnabled(false);
    layout_->setDocumentMargin(0);
    // Fonts, indents and tab stops are measured for the printer's resolution.
    layout_->documentLayout()->setPaintDevice(&device);
    layout_->setTextWidth(width);
    source_ = &source;
    device_ = &device;
    width_ = width;
    // An edit between two requests makes the copy stale.
    sourceChanged_ = connect(&source, &QTextDocument::contentsChange, this, [this] { release(); });
    sourceDestroyed_ = connect(&source, &QObject::destroyed, this, [this] { release(); });
    return *layout_;
}

int PageFormatter::formatPage(const QTextDocument& source, const FormatRangeRequest& request, bool render)
{
    const int length = source.characterCount() - 1;
    const int first = std::clamp(int(request.chrg.cpMin), 0, length);
    const int end = request.chrg.cpMax < 0 ? length : std::clamp(int(request.chrg.cpMax), first, length);
    const DeviceContext& target = request.hdcTarget ? request.hdcTarget : request.hdc;
    if (!target || first >= end)
        return first;
    const QRectF rect(QPointF(toDevice(request.rc.left, target.dpiX), toDevice(request.rc.top, target.dpiY)),
                      QPointF(toDevice(request.rc.right, target.dpiX), toDevice(request.rc.bottom, target.dpiY)));
    // Not even one line can go into an empty rectangle.
    if (rect.width() < 1 || rect.height() < 1)
        return first;

    QTextDocument& doc = laidOut(source, *target.painter->device(), rect.width());
    QAbstractTextDocumentLayout* docLayout = doc.documentLayout();
    QPainter* painter = render && request.hdc ? request.hdc.painter : nullptr;
    if (painter) {
        painter->save();
        painter->setPen(Qt::black);
    }

    bool pageHasLine = false;
    double pageTop = 0; // in the layout's coordinates
    int next = length;
    QTextBlock block = doc.findBlock(first);
    bool startOfBlock = true;
    int lineIndex = -1;
    for (; block.isValid(); block = block.next(), lineIndex = -1) {
        docLayout->blockBoundingRect(block); // lays the text out up to this block
        const QTextLayout* layout = block.layout();
        if (!block.isVisible() || !layout || layout->lineCount() == 0)
            continue;
        if (lineIndex < 0) {
            lineIndex = 0;
            if (block.position() < first) {
                lineIndex = layout->lineForTextPosition(first - block.position()).lineNumber();
                lineIndex = std::max(lineIndex, 0);
            }
            startOfBlock = lineIndex == 0;
        }
        if (pageHasLine && startOfBlock && breaksBefore(block)) {
            next = block.position();
            break;
        }
        const QPointF origin = layout->position();
        bool full = false;
        for (int i = lineIndex; i < layout->lineCount(); ++i) {
            const QTextLine line = layout->lineAt(i);
            const int at = block.position() + line.textStart();
            const double top = origin.y() + line.y();
            if (at >= end || (pageHasLine && top + line.height() - pageTop > rect.height())) {
                next = std::max(at, first);
                full = true;
                break;
            }
            if (!pageHasLine)
                pageTop = top;
            if (painter)
                line.draw(painter, QPointF(rect.left() + origin.x(), rect.top() + origin.y() - pageTop));
            pageHasLine = true;
        }
        if (full)
            break;
        if (pageHasLine && breaksAfter(block) && block.next().isValid()) {
            next = block.next().position();
            break;
        }
        startOfBlock = true;
    }
    if (painter)
        painter->restore();
    return pageHasLine ? next : first;
}
