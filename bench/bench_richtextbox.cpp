// How fast the editing control takes and gives whole documents of tens of megabytes.
#include "document/Codec8Bit.h"
#include "platform/RichTextBox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

namespace {

// A document of `size` characters in lines of about 70 characters, CR LF ended.
QString sampleText(qsizetype size)
{
    const QString line = QStringLiteral("The quick brown fox jumps over the lazy dog, 1234567890 \u00A0 \u20AC ok\r\n");
    QString text;
    text.reserve(size + line.size());
    while (text.size() < size)
        text += line;
    text.truncate(size);
    return text;
}

double millis(const std::function<void()>& work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e6;
}

void report(const char* what, qsizetype characters, double ms)
{
    std::printf("%-40s %6.1f MB %10.1f ms %8.1f MB/s\n", what, double(characters) / 1e6, ms,
                double(characters) / 1e6 / (ms / 1000.0));
}

} // namespace

// Arguments: document sizes in megabytes (10 and 50 unless given). The steps that
// move the caret to the end of the text, which lays out the whole document, run for
// the first size only.
int main(int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    QApplication app(argc, argv);
    QList<qsizetype> sizes;
    for (const QString& arg : QApplication::arguments().mid(1))
        sizes << qsizetype(arg.toDouble() * 1e6);
    if (sizes.isEmpty())
        sizes = {10'000'000, 50'000'000};
    QTemporaryDir dir;

    RichTextBox box;
    box.resize(1000, 700);
    box.show();
    QApplication::processEvents();

    for (const qsizetype size : std::as_const(sizes)) {
        const QString text = sampleText(size);
        report("setText", size, millis([&] { box.setText(text); }));
        report("  then the first screen", size, millis([&] {
                   box.viewport()->repaint();
                   QApplication::processEvents();
               }));
        QString read;
        report("Text()", size, millis([&] { read = box.Text(); }));
        if (read != text) {
            std::fprintf(stderr, "Text() differs from what setText wrote\n");
            return 1;
        }
        const QString path = dir.filePath(QStringLiteral("sample.txt"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(Codec8Bit::encode(text).bytes) != size)
            return 1;
        file.close();
        report("LoadFile", size, millis([&] { box.LoadFile(path); }));
        report("Find near the start", size, millis([&] { box.Find(QStringLiteral("lazy"), 0); }));
        report("setSelText at the caret", size, millis([&] { box.setSelText(QStringLiteral("x\r\n")); }));
        if (size != sizes.first())
            continue;
        report("select everything (lays out all)", size, millis([&] {
                   box.setSelStart(0);
                   box.setSelLength(box.TextLength());
               }));
        report("SelText() of everything", size, millis([&] { read = box.SelText(); }));
        report("setSelFontName/Size of everything", size, millis([&] {
                   box.setSelFontName(QStringLiteral("DejaVu Serif"));
                   box.setSelFontSize(14);
               }));
        report("  then the first screen", size, millis([&] {
                   box.viewport()->repaint();
                   QApplication::processEvents();
               }));
    }
    return 0;
}
