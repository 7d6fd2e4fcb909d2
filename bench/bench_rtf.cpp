// The RTF reader's speed: the tokenizer's throughput, and a 10 MB RTF document shown
// in the editing control beside the same text loaded as plain text. Beside each load,
// its floor: the runs of one format that the load wrote, inserted straight into a fresh
// document with no reader at all (run by run, and as text in one format given the
// others afterwards), against the same text inserted as one run. What the floor costs
// above one run is the document's own price for its fragments.
#include "document/Codec8Bit.h"
#include "platform/RichTextBox.h"
#include "platform/RtfTokenizer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace {

constexpr qsizetype TargetBytes = 10 << 20;

// Paragraphs as word processors write them: paragraph properties, runs in groups,
// a Western accent through \'hh and a Unicode character with its fallback. `runs` is
// how many formatted phrases each paragraph has (0 to 3; each adds two format changes).
struct Document {
    QByteArray rtf;
    QString plain; // the same text, lines ended by CR LF
};

Document makeDocument(int everyNth, int runs)
{
    Document d;
    d.rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}{\\f1\\froman\\fcharset0 "
            "Times New Roman;}}{\\colortbl;\\red255\\green0\\blue0;}\\uc1\n";
    d.rtf.reserve(TargetBytes + 4096);
    QStringList lines;
    static const char* const open[] = {"{\\b ", "{\\i ", "{\\cf1 "};
    int n = 0;
    while (d.rtf.size() < TargetBytes) {
        ++n;
        const int formatted = n % everyNth == 0 ? runs : 0;
        auto phrase = [&](int i, const char* text) {
            return i < formatted ? QByteArray(open[i]) + text + "}" : QByteArray(text);
        };
        d.rtf += "\\pard\\plain\\s0\\ql\\sa120\\f0\\fs24 {Paragraph " + QByteArray::number(n) +
                 " has ordinary words in it, }" + phrase(0, "some bold words") + ", " + phrase(1, "an italic phrase") +
                 " and a caf\\'e9 with \\u8364\\'80 prices in " + phrase(2, "red") + " before its end.\\par\n";
        lines << QStringLiteral("Paragraph %1 has ordinary words in it, some bold words, an italic phrase and a "
                                "café with € prices in red before its end.")
                     .arg(n);
    }
    d.rtf += "}";
    d.plain = lines.join(QStringLiteral("\r\n"));
    return d;
}

double seconds(const QElapsedTimer& t)
{
    return double(t.nsecsElapsed()) / 1e9;
}

double best(int runs, const std::function<double()>& once)
{
    double b = 1e9;
    for (int i = 0; i < runs; ++i)
        b = std::min(b, once());
    return b;
}

// One insertion as the reader's output makes it: text of one character format, then the
// format of the block the cursor stands in, where it differs from the block before.
struct Run {
    QString text;
    QTextCharFormat format;
    std::optional<QTextBlockFormat> nextBlock;
};

struct Runs {
    QTextBlockFormat firstBlock;
    std::vector<Run> runs;
    QString text;             // all of it as one string, paragraphs separated as in the document
    QTextCharFormat mostUsed; // the format of most runs
    int formats = 0;
};

// The runs that make up a loaded document: each paragraph mark starts the paragraph
// after it and carries that paragraph's character format, as the reader writes it.
Runs runsOf(const QTextDocument& document)
{
    Runs r;
    r.firstBlock = document.firstBlock().blockFormat();
    std::vector<std::pair<QTextCharFormat, int>> distinct;
    auto append = [&](const QString& text, const QTextCharFormat& format) {
        r.text += text;
        if (!r.runs.empty() && !r.runs.back().nextBlock && r.runs.back().format == format) {
            r.runs.back().text += text;
            return;
        }
        auto it = std::find_if(distinct.begin(), distinct.end(), [&](const auto& d) { return d.first == format; });
        if (it == distinct.end())
            distinct.emplace_back(format, 1);
        else
            ++it->second;
        r.runs.push_back({text, format, std::nullopt});
    };
    QTextBlockFormat previous = r.firstBlock;
    for (QTextBlock b = document.firstBlock(); b.isValid(); b = b.next()) {
        if (b != document.firstBlock()) {
            append(QString(QChar::ParagraphSeparator), b.charFormat());
            if (b.blockFormat() != previous)
                r.runs.back().nextBlock = b.blockFormat();
            previous = b.blockFormat();
        }
        for (auto it = b.begin(); !it.atEnd(); ++it)
            append(it.fragment().text(), it.fragment().charFormat());
    }
    r.formats = int(distinct.size());
    const auto most = std::max_element(distinct.begin(), distinct.end(),
                                       [](const auto& a, const auto& b) { return a.second < b.second; });
    if (most != distinct.end())
        r.mostUsed = most->first;
    return r;
}

enum class Insertion {
    RunByRun,          // each run through insertText in its own format
    FormatsAfterwards, // all the text in the format of most runs, then the others given theirs
    OneRun,            // all the text in one format: what the document costs without formats
};

// Inserts the runs into a fresh document with nothing to read; returns the seconds it
// took and the plain text.
double insertRuns(const Runs& r, Insertion how, QString* text = nullptr)
{
    QTextDocument document;
    document.setUndoRedoEnabled(false);
    QElapsedTimer t;
    t.start();
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    cursor.setBlockFormat(r.firstBlock);
    if (how == Insertion::RunByRun) {
        for (const Run& run : r.runs) {
            cursor.insertText(run.text, run.format);
            if (run.nextBlock)
                cursor.setBlockFormat(*run.nextBlock);
        }
    } else if (!r.runs.empty()) {
        const QTextCharFormat& base = how == Insertion::OneRun ? r.runs.front().format : r.mostUsed;
        cursor.insertText(r.text, base);
        if (how == Insertion::FormatsAfterwards) {
            QTextCursor range(&document);
            int at = 0;
            for (const Run& run : r.runs) {
                const int end = at + int(run.text.size());
                if (run.format != base) {
                    range.setPosition(at);
                    range.setPosition(end, QTextCursor::KeepAnchor);
                    range.setCharFormat(run.format);
                }
                if (run.nextBlock) {
                    range.setPosition(end);
                    range.setBlockFormat(*run.nextBlock);
                }
                at = end;
            }
        }
    }
    cursor.endEditBlock();
    const double s = seconds(t);
    if (text)
        *text = document.toRawText();
    return s;
}

// Loads the document in the control as RTF and its text as plain text; prints both.
bool compareLoads(RichTextBox& box, const char* name, const Document& d)
{
    // The open command hands the file's bytes over as 8-bit characters.
    const QString rtfText = Codec8Bit::decode(d.rtf);
    QString shownRtf;
    const double rtfLoad = best(3, [&] {
        QElapsedTimer t;
        t.start();
        box.setTextRTF(rtfText);
        QApplication::processEvents();
        const double s = seconds(t);
        shownRtf = box.Text();
        return s;
    });
    const double plainLoad = best(3, [&] {
        QElapsedTimer t;
        t.start();
        box.setText(d.plain);
        QApplication::processEvents();
        return seconds(t);
    });
    if (shownRtf != d.plain) {
        std::fprintf(stderr, "%s: the RTF document's text differs from the plain text\n", name);
        return false;
    }
    std::printf("%s, %.1f MB: RTF shown in %.3f s, the same text as plain text in %.3f s: %.2f times\n", name,
                double(d.rtf.size()) / (1 << 20), rtfLoad, plainLoad, rtfLoad / plainLoad);

    box.setTextRTF(rtfText);
    const Runs runs = runsOf(*box.document());
    const QString loaded = box.document()->toRawText();
    box.setText(QString());
    QString byRun, afterwards;
    const double runByRun = best(3, [&] { return insertRuns(runs, Insertion::RunByRun, &byRun); });
    const double formatsAfterwards =
        best(3, [&] { return insertRuns(runs, Insertion::FormatsAfterwards, &afterwards); });
    const double oneRun = best(3, [&] { return insertRuns(runs, Insertion::OneRun); });
    if (byRun != loaded || afterwards != loaded) {
        std::fprintf(stderr, "%s: the runs inserted again differ from the loaded document\n", name);
        return false;
    }
    std::printf("  floor, no reader: its %zu runs of %d formats inserted into a fresh document run by run in %.3f s "
                "(%.2f times one run), as text in one format and then given the others in %.3f s (%.2f times); "
                "the text as one run in %.3f s\n",
                runs.runs.size(), runs.formats, runByRun, runByRun / oneRun, formatsAfterwards,
                formatsAfterwards / oneRun, oneRun);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const Document typical = makeDocument(4, 1);
    const double megabytes = double(typical.rtf.size()) / (1 << 20);

    std::size_t tokens = 0;
    const double tokenizing = best(5, [&] {
        QElapsedTimer t;
        t.start();
        RtfTokenizer tokenizer(typical.rtf);
        std::size_t count = 0;
        while (tokenizer.next().kind != RtfTokenizer::Kind::End)
            ++count;
        tokens = count;
        return seconds(t);
    });
    std::printf("tokenizer: %.1f MB of RTF, %zu tokens in %.3f s: %.0f MB/s (needs 50)\n", megabytes, tokens,
                tokenizing, megabytes / tokenizing);

    RichTextBox box;
    box.resize(800, 600);
    box.show();
    std::printf("10 MB documents (the RTF load needs at most 1.5 times the plain one):\n");
    bool ok = compareLoads(box, "prose, a bold phrase in every 4th paragraph", typical);
    ok = compareLoads(box, "no formatting within paragraphs", makeDocument(1, 0)) && ok;
    ok = compareLoads(box, "three formatted phrases in every paragraph", makeDocument(1, 3)) && ok;
    return ok ? 0 : 1;
}
