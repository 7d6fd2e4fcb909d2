// libFuzzer target: any bytes through the RTF reader. It must return, in time linear
// in the input, with a document whose text holds no character the document keeps
// for its own structure.
#include "platform/RtfReader.h"

#include <QGuiApplication>
#include <QTextDocument>

#include <cstdint>
#include <cstdlib>
#include <memory>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static auto app = std::make_unique<QGuiApplication>(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QTextDocument document;
    readRtf(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)), document);
    const QString text = document.toRawText();
    for (QChar c : text) {
        // Frame marks and line ends inside the text would mean a block the reader
        // did not make.
        if (c.unicode() == 0xFDD0 || c.unicode() == 0xFDD1 || c == u'\r' || c == u'\n')
            std::abort();
    }
    return 0;
}
