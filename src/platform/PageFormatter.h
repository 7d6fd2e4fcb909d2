#pragma once

#include "platform/Printer.h"

#include <QObject>

#include <cstdint>
#include <memory>

class QPaintDevice;
class QTextBlock;
class QTextDocument;
class QTextLayout;

// A rectangle in twips; left and top inclusive.
struct TwipsRect {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const TwipsRect&) const = default;
};

// A range of character positions; cpMax -1 means to the end of the text.
struct CharRange {
    std::int32_t cpMin = 0, cpMax = -1;
};

// One page request to the control's page formatter.
struct FormatRangeRequest {
    DeviceContext hdc;       // the device drawn on
    DeviceContext hdcTarget; // the device the text is laid out for
    TwipsRect rc;            // the drawing rectangle, from the device's origin
    TwipsRect rcPage;        // the page rectangle: the device's whole printable area
    CharRange chrg;          // the characters to format, from the first one on
};

// Lays a document out for a printer, at the printer's resolution with the fonts the
// editor shows, and draws it one page at a time. Paragraphs are laid out as pages reach
// them, so a page costs the same at the end of a long document as at its start; the
// paragraph a page ends in is kept for the next request.
class PageFormatter : public QObject {
    Q_OBJECT

public:
    explicit PageFormatter(QObject* parent = nullptr);
    ~PageFormatter() override;

    // Draws (when render) the whole lines from request.chrg.cpMin on that fit in the
    // drawing rectangle, at least one when the rectangle is not empty, and returns the
    // position of the first character that did not fit: the text's length once all of
    // it is done. A paragraph that must begin a page ends the page before it.
    int formatPage(const QTextDocument& source, const FormatRangeRequest& request, bool render);

private:
    // One paragraph laid out for the device: its lines placed from its own top, and
    // its height with the space before and after it.
    struct Paragraph {
        int blockNumber = -1;
        std::unique_ptr<QTextLayout> layout;
        double height = 0;
    };
    const Paragraph& laidOut(const QTextBlock& block, QPaintDevice& device, double width, double scale);
    void watch(const QTextDocument& source);
    void release();

    Paragraph current_;
    const QTextDocument* source_ = nullptr;
    QMetaObject::Connection sourceChanged_, sourceDestroyed_;
    QPaintDevice* device_ = nullptr;
    double width_ = 0;
};
