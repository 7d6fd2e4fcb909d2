#pragma once

#include "platform/Failure.h"

#include <QPainter>
#include <QString>

#include <optional>

class QPrinter;

// What a printer's hdc stands for: the painter of the current page. Its origin is the
// top-left corner of the printable area, and its lengths are device pixels.
struct DeviceContext {
    QPainter* painter = nullptr;
    double dpiX = 0, dpiY = 0; // device pixels per inch
    int physicalOffsetX = 0;   // device pixels from the sheet's left edge to the printable area
    int physicalOffsetY = 0;   // device pixels from the sheet's top edge to the printable area

    explicit operator bool() const { return painter && painter->isActive() && dpiX > 0 && dpiY > 0; }
};

// The indices of the device capabilities the editor asks for.
namespace DeviceCaps {
constexpr int LogPixelsX = 88;
constexpr int LogPixelsY = 90;
constexpr int PhysicalOffsetX = 112;
constexpr int PhysicalOffsetY = 113;
} // namespace DeviceCaps

// A capability of the device behind hdc; 0 for an index it does not know.
int GetDeviceCaps(const DeviceContext& hdc, int index);

// The units a printer object can measure in.
namespace ScaleUnit {
constexpr int Twips = 1;
constexpr int Points = 2;
constexpr int Pixels = 3;
constexpr int Inches = 5;
constexpr int Millimeters = 6;
constexpr int Centimeters = 7;
} // namespace ScaleUnit

// The printer object: one print document on one printer, addressed in the units of
// ScaleMode. The first output begins the document and its first page. A call that
// fails is remembered in failure(); every call after it does nothing.
class PrinterObject {
public:
    virtual ~PrinterObject() = default;

    // Text output of one line at the current position, which then moves down a line.
    virtual void Print(const QString& line) = 0;
    virtual int ScaleMode() const = 0;
    virtual void setScaleMode(int mode) = 0;
    virtual DeviceContext hdc() const = 0;
    // Converts a horizontal (X) or vertical (Y) length between two units.
    virtual double ScaleX(double value, int fromScale, int toScale) const = 0;
    virtual double ScaleY(double value, int fromScale, int toScale) const = 0;
    // The sheet, in twips.
    virtual double Width() const = 0;
    virtual double Height() const = 0;
    // The printable area, in the units of ScaleMode.
    virtual double ScaleWidth() const = 0;
    virtual double ScaleHeight() const = 0;
    // Ends the current page; the next output begins the next one.
    virtual void NewPage() = 0;
    // Ends the document and hands it to the printing system.
    virtual void EndDoc() = 0;
    virtual std::optional<Failure> failure() const = 0;
};

// The printer object over a Qt printer (a CUPS queue or a PDF file), which must outlive it.
class Printer final : public PrinterObject {
public:
    explicit Printer(QPrinter& device);
    ~Printer() override;

    void Print(const QString& line) override;
    int ScaleMode() const override { return scaleMode_; }
    void setScaleMode(int mode) override;
    DeviceContext hdc() const override;
    double ScaleX(double value, int fromScale, int toScale) const override;
    double ScaleY(double value, int fromScale, int toScale) const override;
    double Width() const override;
    double Height() const override;
    double ScaleWidth() const override;
    double ScaleHeight() const override;
    void NewPage() override;
    void EndDoc() override;
    std::optional<Failure> failure() const override { return failure_; }

private:
    bool beginDocument(); // begins the document unless it is open; false after a failure
    void fail();

    QPrinter& device_;
    mutable QPainter painter_;
    int scaleMode_ = ScaleUnit::Twips;
    bool documentOpen_ = false;
    double currentY_ = 0; // device pixels below the printable area's top
    std::optional<Failure> failure_;
};

// The failure number of a print call that did not succeed.
namespace FailureNumber {
constexpr int PrinterError = 482;
} // namespace FailureNumber
