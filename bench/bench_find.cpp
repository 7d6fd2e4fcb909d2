// Find Again through a 50 MB document, side by side with QTextDocument::find on the same
// document, and the Font command on the whole of a 10 MB document.
//
// Usage: bench_find [megabytes for find, default 50] [megabytes for font, default 10]
#include "app/AppState.h"
#include "platform/RichTextBox.h"
#include "platform/ScriptedModalHost.h"
#include "platform/TextSearch.h"
#include "ui/Form1.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

constexpr qsizetype MB = 1024 * 1024;
const char* const LastLineWord = "zebracorn";
const char* const MissingWord = "quixotry";

// Lines of about 80 characters of ordinary words, CR LF between them; `LastLineWord`
// stands once, on the last line.
QString makeText(qsizetype characters)
{
    static const char* const words[] = {
        "the",    "quick",    "brown", "fox",    "jumps",  "over",        "lazy",         "dog",
        "and",    "then",     "runs",  "away",   "from",   "every",       "hunter",       "in",
        "forest", "while",    "rain",  "falls",  "softly", "on",          "leaves",       "Editor",
        "Window", "Document", "print", "margin", "inch",   "caf\xc3\xa9", "na\xc3\xafve", "r\xc3\xa9sum\xc3\xa9",
        "line",   "page",     "font",  "size",
    };
    constexpr int wordCount = int(sizeof(words) / sizeof(words[0]));
    std::vector<QString> dictionary;
    for (const char* w : words)
        dictionary.push_back(QString::fromUtf8(w));

    QString text;
    text.reserve(characters + 128);
    quint32 seed = 12345;
    qsizetype lineStart = 0;
    while (text.size() < characters - 100) {
        seed = seed * 1103515245u + 12345u;
        const QString& word = dictionary[(seed >> 16) % wordCount];
        if (text.size() - lineStart + word.size() > 79) {
            text += QLatin1String("\r\n");
            lineStart = text.size();
        } else if (text.size() > lineStart) {
            text += QLatin1Char(' ');
        }
        text += word;
    }
    text += QLatin1String("\r\nthe last line holds the ") + QLatin1String(LastLineWord) + QLatin1String(" at its end");
    return text;
}

// The median of up to `runs` runs; a slow operation is not repeated past a few seconds.
double milliseconds(const std::function<void()>& work, int runs = 1)
{
    std::vector<double> times;
    double total = 0;
    for (int i = 0; i < runs && (i == 0 || total < 3000); ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
        total += times.back();
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

QTextDocument::FindFlags qtFlags(int options)
{
    QTextDocument::FindFlags flags;
    if (options & TextSearch::WholeWord)
        flags |= QTextDocument::FindWholeWords;
    if (options & TextSearch::MatchCase)
        flags |= QTextDocument::FindCaseSensitively;
    return flags;
}

void benchFind(qsizetype megabytes)
{
    ScriptedModalHost host;
    App = AppState{};
    Form1 form(host);
    form.show();
    RichTextBox& box = *form.RichTextBox1;

    const QString text = makeText(megabytes * MB);
    const double loadMs = milliseconds([&] {
        box.setText(text);
        QCoreApplication::processEvents();
    });
    std::printf("document: %lld characters in %lld lines, loaded in %.0f ms\n", (long long)box.TextLength(),
                (long long)box.document()->blockCount(), loadMs);

    const QString raw = box.document()->toRawText();
    const double rawMs = milliseconds([&] { (void)box.document()->toRawText(); }, 3);
    std::printf("the document's raw text, read once: %.1f ms\n\n", rawMs);

    struct Case {
        const char* label;
        const char* word;
        int options;
        bool expectFound;
    };
    const Case cases[] = {
        {"word not there, no options", MissingWord, 0, false},
        {"word on the last line, no options", LastLineWord, 0, true},
        {"word not there, whole word + match case", MissingWord, 6, false},
        {"word on the last line, whole word + match case", LastLineWord, 6, true},
    };
    const qsizetype expectedAt = raw.lastIndexOf(QLatin1String(LastLineWord));

    // "command": Form1::SearchAgain as the user runs it (the control's Find, selecting the
    // match and scrolling to it); "search": the find engine alone on the document's text.
    std::printf("%-48s %11s %10s %11s %14s %13s\n", "Find Again", "command ms", "search ms", "Qt find ms",
                "Qt / command", "Qt / search");
    bool allFast = true;
    for (const Case& c : cases) {
        const QString word = QString::fromLatin1(c.word);
        App.SearchText = word;
        App.SearchOptions = std::int16_t(c.options);
        int foundAt = -1;
        const double commandMs = milliseconds(
            [&] {
                box.setSelStart(0);
                box.setSelLength(0);
                form.SearchAgain();
                foundAt = box.SelLength() > 0 ? box.SelStart() : -1;
            },
            3);
        const double searchMs = milliseconds([&] { (void)TextSearch::find(raw, word, 1, -1, c.options); }, 3);
        int qtFoundAt = -1;
        const double qtMs = milliseconds([&] {
            QTextCursor from(box.document());
            from.setPosition(1);
            const QTextCursor found = box.document()->find(word, from, qtFlags(c.options));
            qtFoundAt = found.isNull() ? -1 : found.selectionStart();
        });
        const bool agree = foundAt == qtFoundAt && (c.expectFound ? foundAt == expectedAt : foundAt == -1);
        const double ratio = qtMs / commandMs;
        allFast = allFast && ratio >= 20;
        std::printf("%-48s %11.1f %10.1f %11.1f %13.1fx %12.1fx%s\n", c.label, commandMs, searchMs, qtMs, ratio,
                    qtMs / searchMs, agree ? "" : "  RESULTS DIFFER");
    }
    std::printf("target: Find Again at least 20x faster than QTextDocument::find: %s\n\n", allFast ? "met" : "NOT MET");
}

void benchFont(qsizetype megabytes)
{
    ScriptedModalHost host;
    App = AppState{};
    Form1 form(host);
    form.show();
    RichTextBox& box = *form.RichTextBox1;
    box.setText(makeText(megabytes * MB));
    QCoreApplication::processEvents();
    box.setSelStart(box.TextLength() / 2);

    const double ms = milliseconds([&] {
        host.fontAnswers.push_back(FontChoice{QStringLiteral("DejaVu Serif"), 14, false, false});
        form.OptionsFont();
        QCoreApplication::processEvents();
    });
    QTextCursor probe(box.document());
    probe.setPosition(box.TextLength());
    const bool applied = probe.charFormat().font().family() == QLatin1String("DejaVu Serif");
    std::printf("Font on the whole of a %lld MB document (%lld characters): %.0f ms%s\n", (long long)megabytes,
                (long long)box.TextLength(), ms, applied ? "" : "  FONT NOT APPLIED");

    // The same change in a document that no widget shows: what the text's formats alone cost.
    QTextDocument bare;
    bare.setPlainText(box.document()->toPlainText());
    const double bareMs = milliseconds([&] {
        QTextCursor all(&bare);
        all.select(QTextCursor::Document);
        QTextCharFormat format;
        format.setFontFamilies({QStringLiteral("DejaVu Serif")});
        format.setFontPointSize(14);
        all.mergeCharFormat(format);
    });
    std::printf("  the same name and size merged into a document no widget shows: %.0f ms\n", bareMs);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const qsizetype findMb = args.size() > 1 ? args.at(1).toLongLong() : 50;
    const qsizetype fontMb = args.size() > 2 ? args.at(2).toLongLong() : 10;
    benchFind(findMb);
    benchFont(fontMb);
    return 0;
}
