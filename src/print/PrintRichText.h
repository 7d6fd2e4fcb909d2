#pragma once

#include "platform/Failure.h"
#include "platform/PageFormatter.h"

#include <cstdint>
#include <optional>

class PrinterObject;
class RichTextBox;

// Margins in twips, measured from the sheet's edges.
struct PrintMargins {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
};

struct PrintRectangles {
    TwipsRect drawing; // where the text goes, from the printable area's corner
    TwipsRect page;    // the printable area
};

// The rectangles for a sheet `width` by `height` twips whose printable area, `scaleWidth`
// by `scaleHeight`, begins `offsetX`, `offsetY` twips from the sheet's corner. The
// margins hold on the sheet; the offsets move the rectangle into the printable area's
// coordinates.
PrintRectangles printRectangles(const PrintMargins& margins, std::int32_t offsetX, std::int32_t offsetY, double width,
                                double height, double scaleWidth, double scaleHeight);

// Prints the whole of the control's document on the printer, page by page, inside
// the margins (twips). Returns the failure of the first print call that failed.
std::optional<Failure> PrintRichText(RichTextBox& control, PrinterObject& printer, std::int32_t leftMargin,
                                     std::int32_t topMargin, std::int32_t rightMargin, std::int32_t bottomMargin);
