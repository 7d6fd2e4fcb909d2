#include "platform/BusyPointer.h"
#include "platform/ModalHost.h"
#include "platform/Printer.h"
#include "print/PrintRichText.h"
#include "ui/Form1.h"

#include <QPrinter>
#include <QPrinterInfo>

#include <optional>

namespace {

// The system's default printer; with printers but none chosen as the default, the
// first of them, as a desktop with any printer always has a default one.
QPrinterInfo defaultPrinter()
{
    QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        const QList<QPrinterInfo> printers = QPrinterInfo::availablePrinters();
        if (!printers.isEmpty())
            info = printers.first();
    }
    return info;
}

} // namespace

void Form1::FilePrint()
{
    std::optional<Failure> failure;
    bool noPrinter = false;
    {
        const BusyPointer busy;
        const QPrinterInfo info = defaultPrinter();
        if (info.isNull()) {
            noPrinter = true;
        } else {
            QPrinter device(info, QPrinter::HighResolution);
            device.setDocName(QStringLiteral("Corvana"));
            Printer printer(device);
            failure = PrintRichText(*RichTextBox1, printer, 1440, 1440, 1440, 1440);
        }
    }
    // The pointer is back to normal before anything is said.
    if (noPrinter)
        host().messageBox(this, {QStringLiteral("No printer is installed."),
                                 QStringLiteral("Corvana"),
                                 MsgButtons::OK,
                                 MsgIcon::None,
                                 {},
                                 0});
    else if (failure)
        ShowError(*failure, QStringLiteral("Corvana"));
}
