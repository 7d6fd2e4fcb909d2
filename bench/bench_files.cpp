// Opening and saving large documents through the real main window: plain text of 1, 10
// and 50 MB and Rich Text Format of 10 MB. Prints the time of each command, the time
// until the window has painted the loaded document, and the sizes on disk.
#include "app/AppState.h"
#include "document/Codec8Bit.h"
#include "platform/FileSystem.h"
#include "platform/RichTextBox.h"
#include "platform/ScriptedModalHost.h"
#include "platform/StatusBar.h"
#include "ui/Form1.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr qint64 MB = 1024 * 1024;

QByteArray plainText(qint64 size)
{
    // Lines of words of every length, every byte value of text included now and then.
    QByteArray line = "The quick brown fox jumps over the lazy dog; 0123456789 \xe4\xf6\xfc\xdf \x80\x85\x99 end.\r\n";
    QByteArray text;
    text.reserve(size + line.size());
    while (text.size() < size)
        text += line;
    text.truncate(size);
    return text;
}

QByteArray richText(qint64 size)
{
    QByteArray rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fmodern Courier New;}}"
                     "{\\colortbl;\\red255\\green0\\blue0;}\\pard\\plain\\f0\\fs24 ";
    const QByteArray paragraph = "Plain words, then \\b bold\\b0 , \\i italic\\i0 , \\cf1 red\\cf0 , "
                                 "{\\f1\\fs20 a smaller mono font} and \\'e4\\'f6\\'fc escapes.\\par\r\n";
    rtf.reserve(size + paragraph.size());
    while (rtf.size() < size - 2)
        rtf += paragraph;
    rtf += "}";
    return rtf;
}

struct Figures {
    double readMs = 0; // of the open, the file system's read and the decoding alone
    double openMs = 0, paintMs = 0, saveMs = 0;
    qint64 chars = 0, savedBytes = 0;
};

Figures run(const QString& path, const QString& savePath)
{
    ScriptedModalHost host;
    App = AppState{};
    Form1 form(host);
    form.show();
    QCoreApplication::processEvents();

    Figures f;
    QElapsedTimer timer;
    timer.start();
    const QString text = Codec8Bit::decode(FileSystem::readWholeFile(path).value());
    f.readMs = double(timer.nsecsElapsed()) / 1e6;
    if (text.isEmpty())
        return f;

    host.fileAnswers.push_back(path);
    timer.restart();
    form.FileOpen();
    f.openMs = double(timer.nsecsElapsed()) / 1e6;
    timer.restart();
    form.RichTextBox1->viewport()->repaint();
    QCoreApplication::processEvents();
    f.paintMs = double(timer.nsecsElapsed()) / 1e6;
    f.chars = form.RichTextBox1->TextLength();

    host.fileAnswers.push_back(savePath);
    timer.restart();
    form.FileSaveAs();
    f.saveMs = double(timer.nsecsElapsed()) / 1e6;
    f.savedBytes = QFileInfo(savePath).size();
    if (!host.unexpected.isEmpty() || !host.shownMessages.empty())
        std::fprintf(stderr, "unexpected message: %s\n",
                     qPrintable(host.shownMessages.empty() ? host.unexpected.join('\n') : host.shownMessages[0].text));
    return f;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    struct Case {
        const char* name;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"plain  1 MB", plainText(1 * MB)},
        {"plain 10 MB", plainText(10 * MB)},
        {"plain 50 MB", plainText(50 * MB)},
        {"RTF   10 MB", richText(10 * MB)},
    };
    std::printf("%-12s %10s %10s %9s %10s %9s %9s %11s\n", "file", "bytes", "chars", "read ms", "open ms", "paint ms",
                "save ms", "saved bytes");
    int i = 0;
    for (const Case& c : cases) {
        const QString path = dir.filePath(QStringLiteral("in%1").arg(i));
        const QString savePath = dir.filePath(QStringLiteral("out%1").arg(i++));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(c.bytes) != c.bytes.size())
            return 1;
        file.close();
        const Figures f = run(path, savePath);
        std::printf("%-12s %10lld %10lld %9.1f %10.1f %9.1f %9.1f %11lld\n", c.name, qint64(c.bytes.size()), f.chars,
                    f.readMs, f.openMs, f.paintMs, f.saveMs, f.savedBytes);
        std::fflush(stdout);
        QFile::remove(path);
        QFile::remove(savePath);
    }
    return 0;
}
