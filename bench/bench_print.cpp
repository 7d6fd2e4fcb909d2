// Printing a 10 MB document to a PDF file: pages per second over the whole print run,
// layout for the printer included.
#include "platform/Printer.h"
#include "platform/RichTextBox.h"
#include "print/PrintRichText.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPrinter>
#include <QTemporaryDir>

#include <cstdio>

namespace {

// Passes every call on, counting the pages begun.
class PageCounter final : public PrinterObject {
public:
    explicit PageCounter(PrinterObject& inner) : inner_(inner) {}
    int newPages = 0;

    void Print(const QString& line) override { inner_.Print(line); }
    int ScaleMode() const override { return inner_.ScaleMode(); }
    void setScaleMode(int mode) override { inner_.setScaleMode(mode); }
    DeviceContext hdc() const override { return inner_.hdc(); }
    double ScaleX(double v, int from, int to) const override { return inner_.ScaleX(v, from, to); }
    double ScaleY(double v, int from, int to) const override { return inner_.ScaleY(v, from, to); }
    double Width() const override { return inner_.Width(); }
    double Height() const override { return inner_.Height(); }
    double ScaleWidth() const override { return inner_.ScaleWidth(); }
    double ScaleHeight() const override { return inner_.ScaleHeight(); }
    void NewPage() override
    {
        ++newPages;
        inner_.NewPage();
    }
    void EndDoc() override { inner_.EndDoc(); }
    std::optional<Failure> failure() const override { return inner_.failure(); }

private:
    PrinterObject& inner_;
};

// Lines of prose-like words, about `bytes` characters with CR LF line ends.
QString document(qsizetype bytes)
{
    static const char* const words[] = {"printing", "the",   "whole",   "document", "page", "by",
                                        "page",     "with",  "margins", "of",       "one",  "inch",
                                        "on",       "every", "side",    "and",      "fonts"};
    QString text;
    text.reserve(bytes + 128);
    int n = 0;
    while (text.size() < bytes) {
        for (int w = 0; w < 14; ++w) {
            text += QLatin1String(words[(n * 7 + w) % std::size(words)]);
            text += QLatin1Char(' ');
        }
        text += QString::number(n++);
        text += QLatin1String("\r\n");
    }
    return text;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const qsizetype bytes = 10 * 1024 * 1024;
    RichTextBox box;
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSize(12);
    box.document()->setDefaultFont(font);
    box.resize(800, 600);
    box.setText(document(bytes));

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.pdf"));
    QPrinter device(QPrinter::HighResolution);
    device.setOutputFormat(QPrinter::PdfFormat);
    device.setOutputFileName(path);
    device.setPageSize(QPageSize(QPageSize::Letter));

    QElapsedTimer timer;
    timer.start();
    int pages = 0;
    {
        Printer printer(device);
        PageCounter counter(printer);
        if (const auto failure = PrintRichText(box, counter, 1440, 1440, 1440, 1440)) {
            std::fprintf(stderr, "printing failed: %s\n", qPrintable(failure->description));
            return 1;
        }
        pages = counter.newPages + 1;
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    std::printf("print %lld characters to PDF: %d pages in %.2f s, %.1f pages/s, %.1f MB of PDF\n",
                static_cast<long long>(box.TextLength()), pages, seconds, pages / seconds,
                QFileInfo(path).size() / 1e6);
    return 0;
}
