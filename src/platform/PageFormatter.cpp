#include "platform/PageFormatter.h"

#include "platform/Twips.h"

#include <QPaintDevice>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>

namespace {

double toDevice(std::int32_t twips, double dpi)
{
    return twips * dpi / Twips::PerInch;
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
    current_ = Paragraph{};
    source_ = nullptr;
    device_ = nullptr;
    width_ = 0;
}

void PageFormatter::watch(const QTextDocument& source)
{
    if (source_ == &source)
        return;
    release();
    source_ = &source;
    // An edit between two requests makes what was laid out stale.
    sourceChanged_ = connect(&source, &QTextDocument::contentsChange, this, [this] { current_ = Paragraph{}; });
    sourceDestroyed_ = connect(&source, &QObject::destroyed, this, [this] { release(); });
}

// The paragraph as the editor lays it out (indents, alignment, tab stops, line height,
// space before and after), with its lengths, which are the screen's pixels, taken to
// the device's.
const PageFormatter::Paragraph& PageFormatter::laidOut(const QTextBlock& block, QPaintDevice& device, double width,
                                                       double scale)
{
    if (current_.layout && current_.blockNumber == block.blockNumber() && device_ == &device && width_ == width)
        return current_;
    device_ = &device;
    width_ = width;

    const QTextDocument& doc = *block.document();
    const QTextBlockFormat format = block.blockFormat();
    const QFont font = block.charFormat().font().resolve(doc.defaultFont());
    auto layout = std::make_unique<QTextLayout>(block.text(), font, &device);
    layout->setFormats(block.textFormats());

    QTextOption option = doc.defaultTextOption();
    const Qt::LayoutDirection direction = block.textDirection();
    option.setTextDirection(direction);
    if (format.hasProperty(QTextFormat::BlockAlignment))
        option.setAlignment(format.alignment());
    option.setTabStopDistance(option.tabStopDistance() * scale);
    QList<QTextOption::Tab> tabs = format.tabPositions();
    for (QTextOption::Tab& tab : tabs)
        tab.position *= scale;
    if (!tabs.isEmpty())
        option.setTabs(tabs);
    option.setWrapMode(format.nonBreakableLines() ? QTextOption::ManualWrap
                                                  : QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout->setTextOption(option);

    const double indent = format.indent() * doc.indentWidth() * scale;
    const double left = format.leftMargin() * scale + (direction == Qt::RightToLeft ? 0 : indent);
    const double right = format.rightMargin() * scale + (direction == Qt::RightToLeft ? indent : 0);
    const double lineWidth = std::max(1.0, width - left - right);
    double y = format.topMargin() * scale;
    bool first = true;
    layout->beginLayout();
    for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
        line.setLeadingIncluded(true);
        double x = left, w = lineWidth;
        if (first) {
            const double textIndent = format.textIndent() * scale;
            if (direction != Qt::RightToLeft)
                x += textIndent;
            w -= textIndent;
            first = false;
        }
        line.setLineWidth(std::max(1.0, w));
        line.setPosition(QPointF(x, y));
        y += format.lineHeight(line.height(), scale);
    }
    layout->endLayout();

    current_.blockNumber = block.blockNumber();
    current_.layout = std::move(layout);
    current_.height = y + format.bottomMargin() * scale;
    return current_;
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

    watch(source);
    QPaintDevice& device = *target.painter->device();
    // The document's lengths are the screen's pixels: as the editor shows them, in inches.
    const double scale = Twips::fromPixelsY(1.0) * target.dpiY / Twips::PerInch;
    QPainter* painter = render && request.hdc ? request.hdc.painter : nullptr;
    if (painter) {
        painter->save();
        painter->setPen(Qt::black);
    }

    bool pageHasLine = false;
    double pageY = 0; // how far down the drawing rectangle the page has got
    int next = length;
    bool full = false;
    for (QTextBlock block = source.findBlock(first); block.isValid() && !full; block = block.next()) {
        if (!block.isVisible())
            continue;
        const Paragraph& paragraph = laidOut(block, device, rect.width(), scale);
        const QTextLayout& layout = *paragraph.layout;
        int lineIndex = 0;
        if (block.position() < first)
            lineIndex = std::max(0, layout.lineForTextPosition(first - block.position()).lineNumber());
        if (pageHasLine && lineIndex == 0 && breaksBefore(block)) {
            next = block.position();
            break;
        }
        // Where the paragraph's own top falls on this page.
        const double top = pageY - (lineIndex == 0 ? 0 : layout.lineAt(lineIndex).y());
        for (int i = lineIndex; i < layout.lineCount(); ++i) {
            const QTextLine line = layout.lineAt(i);
            const int at = block.position() + line.textStart();
            if (at >= end || (pageHasLine && top + line.y() + line.height() > rect.height())) {
                next = std::max(at, first);
                full = true;
                break;
            }
            if (painter)
                line.draw(painter, QPointF(rect.left(), rect.top() + top));
            pageHasLine = true;
        }
        if (full)
            break;
        pageY = top + paragraph.height;
        if (pageHasLine && breaksAfter(block) && block.next().isValid()) {
            next = block.next().position();
            break;
        }
    }
    if (painter)
        painter->restore();
    return pageHasLine ? next : first;
}
