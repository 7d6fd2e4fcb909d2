// The editing control (its document layout and mouse handling) against a stock
// QTextEdit with its own layout, side by side, on documents of ~80-character lines
// from 10 KB to 50 MB.
//
//   bench_layout [sizes in MB...]        (default: 0.01 1 10 50)
//
// Every size and layout runs in a child process of its own, so that the peak memory is
// that run's alone; a child that runs past its time limit is stopped and its missing
// figures are shown as "capped".
#include "platform/DocumentLayout.h"
#include "platform/RichTextBox.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QMap>
#include <QMouseEvent>
#include <QProcess>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

QString documentText(qint64 bytes)
{
    QString text;
    text.reserve(bytes + 100);
    const QString words = QStringLiteral("the quick brown fox jumps over the lazy dog while editors keep pace ");
    for (qint64 line = 0; text.size() < bytes; ++line) {
        QString l = QString::number(line).rightJustified(8, QLatin1Char('0')) + QLatin1Char(' ');
        const int length = 60 + int(line * 7 % 38); // 60..97, about 80 on average
        while (l.size() < length)
            l += words;
        l.truncate(length);
        text += l;
        text += QLatin1Char('\n');
    }
    return text;
}

qint64 peakKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

double msSince(const QElapsedTimer& t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

void report(const char* name, double value)
{
    std::printf("%s %.3f\n", name, value);
    std::fflush(stdout);
}

void key(QTextEdit& edit, Qt::Key k, Qt::KeyboardModifiers modifiers = {}, const QString& text = {})
{
    QKeyEvent press(QEvent::KeyPress, k, modifiers, text);
    QApplication::sendEvent(&edit, &press);
    QKeyEvent release(QEvent::KeyRelease, k, modifiers, text);
    QApplication::sendEvent(&edit, &release);
}

// Mouse events go to the window, as the window system's do: the application decides
// which widget gets them and whether a move without a button reaches it at all.
void mouse(QTextEdit& edit, QEvent::Type type, QPoint inViewport, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QWindow* window = edit.window()->windowHandle();
    const QPointF local = edit.viewport()->mapTo(edit.window(), QPointF(inViewport));
    const QPointF global = edit.viewport()->mapToGlobal(QPointF(inViewport));
    QMouseEvent e(type, local, local, global, button, buttons, Qt::NoModifier);
    QApplication::sendEvent(window, &e);
}

void settle()
{
    QApplication::processEvents();
}

// One size, one layout: prints "figure value" lines.
int runChild(const QString& mode, qint64 bytes)
{
    const QString text = documentText(bytes);
    if (mode == QLatin1String("bare")) {
        QTextDocument doc;
        doc.setUndoRedoEnabled(false);
        QElapsedTimer t;
        t.start();
        QTextCursor(&doc).insertText(text);
        report("bare_insert_ms", msSince(t));
        return 0;
    }
    const bool ours = mode == QLatin1String("ours");

    // Ours is the editing control itself: our layout and its own mouse handling.
    std::unique_ptr<QTextEdit> holder = ours ? std::make_unique<RichTextBox>() : std::make_unique<QTextEdit>();
    QTextEdit& edit = *holder;
    edit.setAcceptRichText(false);
    edit.setLineWrapMode(QTextEdit::WidgetWidth);
    edit.resize(900, 700);
    edit.show();
    edit.activateWindow();
    edit.setFocus();
    settle();

    {
        QElapsedTimer t;
        t.start();
        if (ours) {
            static_cast<RichTextBox&>(edit).setText(text);
        } else {
            edit.document()->setUndoRedoEnabled(false);
            edit.setPlainText(text);
            edit.document()->setUndoRedoEnabled(true);
        }
        edit.viewport()->repaint();
        settle();
        report("open_ms", msSince(t));
        // The text is shown; the heights of the blocks out of view are estimated
        // again for the width the scroll bar leaves, in idle-time steps.
        auto* layout = qobject_cast<DocumentLayout*>(edit.document()->documentLayout());
        while (layout && layout->rewrapPending())
            QApplication::processEvents();
        report("open_settled_ms", msSince(t));
        report("peak_mb", double(peakKb()) / 1024.0);
    }

    const int middle = (edit.document()->characterCount() - 1) / 2;
    {
        QTextCursor c(edit.document());
        c.setPosition(middle);
        edit.setTextCursor(c);
        edit.ensureCursorVisible();
        edit.viewport()->repaint();
        settle();
        std::vector<double> times;
        for (int i = 0; i < 101; ++i) {
            QElapsedTimer t;
            t.start();
            key(edit, Qt::Key_A, {}, QStringLiteral("a"));
            settle();
            times.push_back(msSince(t));
        }
        report("keystroke_ms", median(times));
    }
    {
        QElapsedTimer t;
        t.start();
        key(edit, Qt::Key_End, Qt::ControlModifier);
        settle();
        report("ctrl_end_ms", msSince(t));
        t.restart();
        key(edit, Qt::Key_Home, Qt::ControlModifier);
        settle();
        report("ctrl_home_ms", msSince(t));
    }
    {
        QTextCursor c(edit.document());
        c.setPosition(middle);
        edit.setTextCursor(c);
        edit.ensureCursorVisible();
        settle();
        std::vector<double> times;
        for (int i = 0; i < 7; ++i) {
            QElapsedTimer t;
            t.start();
            key(edit, Qt::Key_PageDown);
            settle();
            times.push_back(msSince(t));
        }
        report("page_down_ms", median(times));
    }
    {
        std::vector<double> times;
        QScrollBar* bar = edit.verticalScrollBar();
        for (int i = 0; i < 5; ++i) {
            bar->setValue(int(bar->maximum() * (0.6 + 0.08 * i)));
            edit.viewport()->repaint();
            settle();
            const QPoint at(120 + 30 * i, 200 + 40 * i);
            QElapsedTimer t;
            t.start();
            mouse(edit, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
            mouse(edit, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
            settle();
            times.push_back(msSince(t));
        }
        report("click_far_down_ms", median(times));
    }
    {
        std::vector<double> times;
        for (int i = 0; i < 21; ++i) {
            const QPoint at(100 + 13 * i, 150 + 11 * i);
            QElapsedTimer t;
            t.start();
            mouse(edit, QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton);
            settle();
            times.push_back(msSince(t));
        }
        report("hover_move_ms", median(times));
    }
    {
        // The longest single pass of the event loop while the window is narrowed and
        // widened again, until the layout has nothing left to do.
        double longest = 0;
        QElapsedTimer total;
        total.start();
        for (int width : {560, 900}) {
            QElapsedTimer pass;
            pass.start();
            edit.resize(width, 700);
            settle();
            longest = std::max(longest, msSince(pass));
            auto* layout = qobject_cast<DocumentLayout*>(edit.document()->documentLayout());
            QElapsedTimer quiet;
            quiet.start();
            while ((layout && layout->rewrapPending()) || quiet.elapsed() < 100) {
                pass.restart();
                QApplication::processEvents(QEventLoop::AllEvents);
                longest = std::max(longest, msSince(pass));
                if (total.elapsed() > 120000)
                    break;
            }
        }
        report("resize_longest_pass_ms", longest);
        report("resize_settled_ms", msSince(total));
    }
    return 0;
}

struct Figure {
    const char* key;
    const char* label;
};

const Figure figures[] = {
    {"keystroke_ms", "keystroke in the middle (ms)"},
    {"ctrl_end_ms", "Ctrl+End (ms)"},
    {"ctrl_home_ms", "Ctrl+Home (ms)"},
    {"page_down_ms", "Page Down (ms)"},
    {"click_far_down_ms", "click far down (ms)"},
    {"open_ms", "open: hand over + first paint (ms)"},
    {"open_settled_ms", "open: until all heights settle (ms)"},
    {"peak_mb", "peak memory (MB)"},
    {"hover_move_ms", "hover move (ms)"},
    {"resize_longest_pass_ms", "resize: longest event-loop pass (ms)"},
    {"resize_settled_ms", "resize: until re-wrapped (ms)"},
};

QMap<QString, double> runInChild(const QString& program, const QString& mode, qint64 bytes, int capSeconds,
                                 bool* capped)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(program, {QStringLiteral("--child"), mode, QString::number(bytes)});
    QMap<QString, double> values;
    QByteArray out;
    QElapsedTimer t;
    t.start();
    *capped = false;
    while (!child.waitForFinished(200)) {
        out += child.readAllStandardOutput();
        if (t.elapsed() > capSeconds * 1000) {
            child.kill();
            child.waitForFinished();
            *capped = true;
            break;
        }
    }
    out += child.readAllStandardOutput();
    for (const QByteArray& line : out.split('\n')) {
        const QList<QByteArray> parts = line.split(' ');
        if (parts.size() == 2)
            values.insert(QString::fromLatin1(parts[0]), parts[1].toDouble());
    }
    return values;
}

QString cell(const QMap<QString, double>& values, const char* key, bool capped)
{
    if (!values.contains(QLatin1String(key)))
        return capped ? QStringLiteral("capped") : QStringLiteral("-");
    return QString::number(values.value(QLatin1String(key)), 'f', 2);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 4 && QByteArray(argv[1]) == "--child") {
        QApplication app(argc, argv);
        return runChild(QString::fromLatin1(argv[2]), QByteArray(argv[3]).toLongLong());
    }
    QCoreApplication app(argc, argv);
    QList<double> sizesMb;
    for (int i = 1; i < argc; ++i)
        sizesMb.append(QByteArray(argv[i]).toDouble());
    if (sizesMb.isEmpty())
        sizesMb = {0.01, 1, 10, 50};
    const QString program = QCoreApplication::applicationFilePath();
    std::printf("Document layout: ours against QTextEdit's own (offscreen, 900x700 window).\n");
    for (double mb : sizesMb) {
        const qint64 bytes = qint64(mb * 1000 * 1000);
        bool bareCapped = false, oursCapped = false, qtCapped = false;
        const auto bare = runInChild(program, QStringLiteral("bare"), bytes, 300, &bareCapped);
        const auto ours = runInChild(program, QStringLiteral("ours"), bytes, 300, &oursCapped);
        // QTextEdit's own layout takes minutes on the largest documents: it is capped.
        const auto qt = runInChild(program, QStringLiteral("qt"), bytes, 240, &qtCapped);
        std::printf("\n== %.2f MB (bare QTextDocument insertion %s ms)\n", mb,
                    qPrintable(cell(bare, "bare_insert_ms", bareCapped)));
        std::printf("%-40s %12s %12s %10s\n", "figure", "ours", "QTextEdit", "Qt/ours");
        for (const Figure& f : figures) {
            QString ratio = QStringLiteral("-");
            if (ours.contains(QLatin1String(f.key)) && qt.contains(QLatin1String(f.key)) &&
                ours.value(QLatin1String(f.key)) > 0)
                ratio = QString::number(qt.value(QLatin1String(f.key)) / ours.value(QLatin1String(f.key)), 'f', 1);
            std::printf("%-40s %12s %12s %10s\n", f.label, qPrintable(cell(ours, f.key, oursCapped)),
                        qPrintable(cell(qt, f.key, qtCapped)), qPrintable(ratio));
        }
        if (bare.contains(QStringLiteral("bare_insert_ms")) && ours.contains(QStringLiteral("open_ms")))
            std::printf("%-40s %12.2f\n", "open / bare insertion (ours)",
                        ours.value(QStringLiteral("open_ms")) / bare.value(QStringLiteral("bare_insert_ms")));
        if (ours.contains(QStringLiteral("peak_mb")))
            std::printf("%-40s %12.2f\n", "peak memory / document size (ours)",
                        ours.value(QStringLiteral("peak_mb")) * 1024 * 1024 / double(bytes));
        std::fflush(stdout);
    }
    return 0;
}
