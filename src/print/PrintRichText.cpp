#include "print/PrintRichText.h"

#include "platform/Printer.h"
#include "platform/RichTextBox.h"

#include <cmath>

namespace {
std::int32_t whole(double twips)
{
    return std::int32_t(std::lround(twips));
}
} // namespace

PrintRectangles printRectangles(const PrintMargins& margins, std::int32_t offsetX, std::int32_t offsetY, double width,
                                double height, double scaleWidth, double scaleHeight)
{
    PrintRectangles r;
    r.drawing.left = margins.left - offsetX;
    r.drawing.top = margins.top - offsetY;
    r.drawing.right = whole((width - margins.right) - offsetX);
    r.drawing.bottom = whole((height - margins.bottom) - offsetY);
    r.page = TwipsRect{0, 0, whole(scaleWidth), whole(scaleHeight)};
    return r;
}

std::optional<Failure> PrintRichText(RichTextBox& control, PrinterObject& printer, std::int32_t leftMargin,
                                     std::int32_t topMargin, std::int32_t rightMargin, std::int32_t bottomMargin)
{
    // The first output begins the print document and its first page.
    printer.Print(QStringLiteral(" "));
    printer.setScaleMode(ScaleUnit::Twips);

    const auto offsetX = whole(
        printer.ScaleX(GetDeviceCaps(printer.hdc(), DeviceCaps::PhysicalOffsetX), ScaleUnit::Pixels, ScaleUnit::Twips));
    const auto offsetY = whole(
        printer.ScaleY(GetDeviceCaps(printer.hdc(), DeviceCaps::PhysicalOffsetY), ScaleUnit::Pixels, ScaleUnit::Twips));
    const PrintRectangles rects =
        printRectangles({leftMargin, topMargin, rightMargin, bottomMargin}, offsetX, offsetY, printer.Width(),
                        printer.Height(), printer.ScaleWidth(), printer.ScaleHeight());

    FormatRangeRequest request;
    request.hdc = printer.hdc();
    request.hdcTarget = printer.hdc();
    request.rc = rects.drawing;
    request.rcPage = rects.page;
    request.chrg = CharRange{0, -1};

    // In the control's own positions, the same units as the positions it returns.
    const int textLength = control.TextLength();
    while (!printer.failure()) {
        const int next = control.FormatRange(true, &request);
        if (next >= textLength)
            break;
        // A page that took nothing would be followed by the same page without end.
        if (next <= request.chrg.cpMin)
            break;
        request.chrg.cpMin = next;
        printer.NewPage();
        printer.Print(QStringLiteral(" "));
        request.hdc = printer.hdc();
        request.hdcTarget = printer.hdc();
    }
    printer.EndDoc();
    control.FormatRange(false, nullptr);
    return printer.failure();
}
