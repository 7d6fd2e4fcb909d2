#include "platform/Printer.h"

#include <QFontMetricsF>
#include <QPrinter>

#include <cmath>

int GetDeviceCaps(const DeviceContext& hdc, int index)
{
    switch (index) {
    case DeviceCaps::LogPixelsX: return int(std::lround(hdc.dpiX));
    case DeviceCaps::LogPixelsY: return int(std::lround(hdc.dpiY));
    case DeviceCaps::PhysicalOffsetX: return hdc.physicalOffsetX;
    case DeviceCaps::PhysicalOffsetY: return hdc.physicalOffsetY;
    default: return 0;
    }
}

namespace {

// How many of a unit make an inch; pixels are the device's.
double unitsPerInch(int scale, double dpi)
{
    switch (scale) {
    case ScaleUnit::Points: return 72.0;
    case ScaleUnit::Pixels: return dpi;
    case ScaleUnit::Inches: return 1.0;
    case ScaleUnit::Millimeters: return 25.4;
    case ScaleUnit::Centimeters: return 2.54;
    case ScaleUnit::Twips:
    default: return 1440.0;
    }
}

double convert(double value, int fromScale, int toScale, double dpi)
{
    if (dpi <= 0)
        return 0;
    return value / unitsPerInch(fromScale, dpi) * unitsPerInch(toScale, dpi);
}

} // namespace

Printer::Printer(QPrinter& device) : device_(device) {}

Printer::~Printer()
{
    if (painter_.isActive())
        painter_.end();
}

void Printer::fail()
{
    if (!failure_)
        failure_ = Failure{FailureNumber::PrinterError, QStringLiteral("Printer error"), {}, 0};
}

bool Printer::beginDocument()
{
    if (failure_)
        return false;
    if (documentOpen_)
        return true;
    if (!painter_.begin(&device_)) {
        fail();
        return false;
    }
    documentOpen_ = true;
    currentY_ = 0;
    return true;
}

void Printer::Print(const QString& line)
{
    if (!beginDocument())
        return;
    const QFontMetricsF metrics(painter_.font(), &device_);
    painter_.drawText(QPointF(0, currentY_ + metrics.ascent()), line);
    currentY_ += metrics.lineSpacing();
}

void Printer::setScaleMode(int mode)
{
    scaleMode_ = mode;
}

DeviceContext Printer::hdc() const
{
    DeviceContext dc;
    dc.painter = &painter_;
    dc.dpiX = device_.logicalDpiX();
    dc.dpiY = device_.logicalDpiY();
    const QRectF paper = device_.paperRect(QPrinter::DevicePixel);
    const QRectF page = device_.pageRect(QPrinter::DevicePixel);
    dc.physicalOffsetX = int(std::lround(page.left() - paper.left()));
    dc.physicalOffsetY = int(std::lround(page.top() - paper.top()));
    return dc;
}

double Printer::ScaleX(double value, int fromScale, int toScale) const
{
    return convert(value, fromScale, toScale, device_.logicalDpiX());
}

double Printer::ScaleY(double value, int fromScale, int toScale) const
{
    return convert(value, fromScale, toScale, device_.logicalDpiY());
}

double Printer::Width() const
{
    return ScaleX(device_.paperRect(QPrinter::DevicePixel).width(), ScaleUnit::Pixels, ScaleUnit::Twips);
}

double Printer::Height() const
{
    return ScaleY(device_.paperRect(QPrinter::DevicePixel).height(), ScaleUnit::Pixels, ScaleUnit::Twips);
}

double Printer::ScaleWidth() const
{
    return ScaleX(device_.pageRect(QPrinter::DevicePixel).width(), ScaleUnit::Pixels, scaleMode_);
}

double Printer::ScaleHeight() const
{
    return ScaleY(device_.pageRect(QPrinter::DevicePixel).height(), ScaleUnit::Pixels, scaleMode_);
}

void Printer::NewPage()
{
    if (!beginDocument())
        return;
    if (!device_.newPage())
        fail();
    currentY_ = 0;
}

void Printer::EndDoc()
{
    if (failure_ || !documentOpen_)
        return;
    documentOpen_ = false;
    if (!painter_.end())
        fail();
}
