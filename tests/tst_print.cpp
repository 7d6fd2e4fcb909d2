// Printing: the page geometry, the page loop and the control's page formatter, printed
// to real PDF files and read back with poppler's pdfinfo and pdftotext.
#include "FormFixture.h"
#include "platform/PageFormatter.h"
#include "platform/Printer.h"
#include "platform/RichTextBox.h"
#include "print/PrintRichText.h"

#include <QGuiApplication>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>

#include <cmath>

Q_DECLARE_METATYPE(PrintMargins)
Q_DECLARE_METATYPE(TwipsRect)

namespace {

// A word as pdftotext -bbox reports it, in points from the sheet's top-left corner.
struct PdfWord {
    QString text;
    double xMin, yMin, xMax, yMax;
};
struct PdfPage {
    double width = 0, height = 0;
    std::vector<PdfWord> words;
};

bool havePoppler()
{
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty();
}

QString run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        qWarning("%s failed: %s", qPrintable(program), process.readAllStandardError().constData());
    return QString::fromUtf8(process.readAllStandardOutput());
}

int pdfPageCount(const QString& pdf)
{
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("^Pages:\\s+(\\d+)"), QRegularExpression::MultilineOption)
            .match(run(QStringLiteral("pdfinfo"), {pdf}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

std::vector<PdfPage> pdfWords(const QString& pdf)
{
    const QString html = run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    std::vector<PdfPage> pages;
    static const QRegularExpression tag(
        QStringLiteral("<page width=\"([\\d.]+)\" height=\"([\\d.]+)\">|<word xMin=\"([\\d.-]+)\" yMin=\"([\\d.-]+)\" "
                       "xMax=\"([\\d.-]+)\" yMax=\"([\\d.-]+)\">([^<]*)</word>"));
    for (const QRegularExpressionMatch& m : tag.globalMatch(html)) {
        if (!m.captured(1).isEmpty()) {
            pages.push_back({m.captured(1).toDouble(), m.captured(2).toDouble(), {}});
        } else if (!pages.empty()) {
            pages.back().words.push_back({m.captured(7), m.captured(3).toDouble(), m.captured(4).toDouble(),
                                          m.captured(5).toDouble(), m.captured(6).toDouble()});
        }
    }
    return pages;
}

QStringList wordsOf(const QString& text)
{
    return text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
}

QStringList allWords(const std::vector<PdfPage>& pages)
{
    QStringList words;
    for (const PdfPage& page : pages)
        for (const PdfWord& w : page.words)
            words << w.text;
    return words;
}

// Records the calls the page loop makes and passes them on to the real printer object.
// With an offset it stands for a printer whose printable area begins that many device
// pixels from the sheet's corner (and ends as far from the far edges), on a device
// whose own origin is the sheet's corner.
class RecordingPrinter final : public PrinterObject {
public:
    explicit RecordingPrinter(PrinterObject& inner, QPoint offset = {}) : inner_(inner), offset_(offset) {}

    mutable QStringList calls;
    int count(const QString& call) const { return int(calls.count(call)); }

    void Print(const QString& line) override
    {
        calls << QStringLiteral("Print(%1)").arg(line);
        inner_.Print(line);
    }
    int ScaleMode() const override { return inner_.ScaleMode(); }
    void setScaleMode(int mode) override
    {
        calls << QStringLiteral("ScaleMode=%1").arg(mode);
        inner_.setScaleMode(mode);
    }
    DeviceContext hdc() const override
    {
        calls << QStringLiteral("hdc");
        DeviceContext dc = inner_.hdc();
        if (!offset_.isNull() && dc.painter && dc.painter->isActive()) {
            dc.painter->setTransform(
                QTransform::fromTranslate(dc.physicalOffsetX + offset_.x(), dc.physicalOffsetY + offset_.y()));
        }
        dc.physicalOffsetX += offset_.x();
        dc.physicalOffsetY += offset_.y();
        return dc;
    }
    double ScaleX(double value, int from, int to) const override { return inner_.ScaleX(value, from, to); }
    double ScaleY(double value, int from, int to) const override { return inner_.ScaleY(value, from, to); }
    double Width() const override { return inner_.Width(); }
    double Height() const override { return inner_.Height(); }
    double ScaleWidth() const override
    {
        return inner_.ScaleWidth() - 2 * inner_.ScaleX(offset_.x(), ScaleUnit::Pixels, inner_.ScaleMode());
    }
    double ScaleHeight() const override
    {
        return inner_.ScaleHeight() - 2 * inner_.ScaleY(offset_.y(), ScaleUnit::Pixels, inner_.ScaleMode());
    }
    void NewPage() override
    {
        calls << QStringLiteral("NewPage");
        inner_.NewPage();
    }
    void EndDoc() override
    {
        calls << QStringLiteral("EndDoc");
        inner_.EndDoc();
    }
    std::optional<Failure> failure() const override { return inner_.failure(); }

private:
    PrinterObject& inner_;
    QPoint offset_;
};

// A PDF printer at a printer's resolution; margins (points) make a printable area
// smaller than the sheet, as a real printer's is.
std::unique_ptr<QPrinter> pdfPrinter(const QString& path, QPageSize::PageSizeId size = QPageSize::Letter,
                                     QMarginsF margins = {})
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(path);
    printer->setPageLayout(QPageLayout(QPageSize(size), QPageLayout::Portrait, margins, QPageLayout::Point));
    return printer;
}

// Paragraphs of numbered words, so that every word in the output can be told apart.
QString numberedText(int paragraphs, int wordsEach)
{
    QStringList lines;
    int n = 0;
    for (int p = 0; p < paragraphs; ++p) {
        QStringList words;
        for (int w = 0; w < wordsEach; ++w)
            words << QStringLiteral("w%1").arg(++n, 5, 10, QLatin1Char('0'));
        lines << words.join(QLatin1Char(' '));
    }
    return lines.join(QStringLiteral("\r\n"));
}

std::unique_ptr<RichTextBox> textBox(const QString& text)
{
    auto box = std::make_unique<RichTextBox>();
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSize(12);
    box->document()->setDefaultFont(font);
    box->resize(600, 400);
    box->setText(text);
    return box;
}

constexpr double OneInch = 72.0; // points

} // namespace

class tst_print : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void rectangles_data();
    void rectangles();
    void pagesAndNewPages_data();
    void pagesAndNewPages();
    void callOrder();
    void everyPageBeginsWhereTheLastEnded();
    void marginsOnTheSheet_data();
    void marginsOnTheSheet();
    void editorFontsAtPrinterResolution();
    void pageBreakBefore();
    void editBetweenRequests();
    void richTextOfTheMainWindow();
    void rectangleTooSmall_data();
    void rectangleTooSmall();
    void failingPrinterIsReported();
    void filePrintWithoutPrinter();

private:
    QTemporaryDir dir_;
    QString pdf(const char* name) const { return dir_.filePath(QString::fromLatin1(name) + QStringLiteral(".pdf")); }
};

void tst_print::initTestCase()
{
    QVERIFY(dir_.isValid());
    // No test here may reach a real print server: the machine seems to have none.
    qputenv("CUPS_SERVER", dir_.filePath(QStringLiteral("no-such-server")).toLocal8Bit());
}

void tst_print::rectangles_data()
{
    QTest::addColumn<PrintMargins>("margins");
    QTest::addColumn<int>("offsetX");
    QTest::addColumn<int>("offsetY");
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::addColumn<double>("scaleWidth");
    QTest::addColumn<double>("scaleHeight");
    QTest::addColumn<TwipsRect>("drawing");
    QTest::addColumn<TwipsRect>("page");

    const PrintMargins inch{1440, 1440, 1440, 1440};
    QTest::newRow("letter, no offsets") << inch << 0 << 0 << 12240.0 << 15840.0 << 12240.0 << 15840.0
                                        << TwipsRect{1440, 1440, 10800, 14400} << TwipsRect{0, 0, 12240, 15840};
    QTest::newRow("letter, quarter-inch offsets")
        << inch << 360 << 360 << 12240.0 << 15840.0 << 11520.0 << 15120.0 << TwipsRect{1080, 1080, 10440, 14040}
        << TwipsRect{0, 0, 11520, 15120};
    QTest::newRow("a4, unequal offsets") << inch << 240 << 300 << 11906.0 << 16838.0 << 11426.0 << 16238.0
                                         << TwipsRect{1200, 1140, 10226, 15098} << TwipsRect{0, 0, 11426, 16238};
    QTest::newRow("unequal margins, fractional sheet")
        << PrintMargins{720, 1000, 2000, 500} << 100 << 50 << 12240.4 << 15839.6 << 12000.4 << 15700.6
        << TwipsRect{620, 950, 10140, 15290} << TwipsRect{0, 0, 12000, 15701};
}

void tst_print::rectangles()
{
    QFETCH(PrintMargins, margins);
    QFETCH(int, offsetX);
    QFETCH(int, offsetY);
    QFETCH(double, width);
    QFETCH(double, height);
    QFETCH(double, scaleWidth);
    QFETCH(double, scaleHeight);
    QFETCH(TwipsRect, drawing);
    QFETCH(TwipsRect, page);
    const PrintRectangles r = printRectangles(margins, offsetX, offsetY, width, height, scaleWidth, scaleHeight);
    QCOMPARE(r.drawing.left, drawing.left);
    QCOMPARE(r.drawing.top, drawing.top);
    QCOMPARE(r.drawing.right, drawing.right);
    QCOMPARE(r.drawing.bottom, drawing.bottom);
    QCOMPARE(r.page.left, page.left);
    QCOMPARE(r.page.top, page.top);
    QCOMPARE(r.page.right, page.right);
    QCOMPARE(r.page.bottom, page.bottom);
}

void tst_print::pagesAndNewPages_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QString();
    QTest::newRow("one word") << QStringLiteral("w00001");
    QTest::newRow("one page of paragraphs") << numberedText(20, 8);
    QTest::newRow("several pages of paragraphs") << numberedText(240, 8);
    QTest::newRow("one long paragraph") << numberedText(1, 3000);
    QTest::newRow("empty lines between") << numberedText(60, 3).replace(QStringLiteral("\r\n"),
                                                                        QStringLiteral("\r\n\r\n\r\n"));
}

// n pages take n - 1 page breaks, and the pages hold the document's words once each,
// in order; the document itself is left as it was.
void tst_print::pagesAndNewPages()
{
    if (!havePoppler())
        QSKIP("pdfinfo and pdftotext (poppler-utils) are not installed");
    QFETCH(QString, text);
    auto box = textBox(text);
    box->setSelStart(3);
    box->setSelLength(2);
    const int selStart = box->SelStart(), selLength = box->SelLength();
    const QString before = box->Text();

    const QString path = pdf(QTest::currentDataTag());
    {
        auto device = pdfPrinter(path);
        Printer printer(*device);
        RecordingPrinter recorder(printer);
        QCOMPARE(PrintRichText(*box, recorder, 1440, 1440, 1440, 1440), std::nullopt);
        const int pages = pdfPageCount(path);
        QVERIFY(pages >= 1);
        QCOMPARE(recorder.count(QStringLiteral("NewPage")), pages - 1);
        QCOMPARE(recorder.count(QStringLiteral("EndDoc")), 1);
    }
    const std::vector<PdfPage> pages = pdfWords(path);
    QCOMPARE(allWords(pages), wordsOf(text));
    if (text.isEmpty())
        QCOMPARE(int(pages.size()), 1);
    if (text.size() > 20000)
        QVERIFY(pages.size() > 3);
    for (const PdfPage& page : pages)
        QVERIFY(!page.words.empty() || text.isEmpty());
    QCOMPARE(box->Text(), before);
    QCOMPARE(box->SelStart(), selStart);
    QCOMPARE(box->SelLength(), selLength);
}

// The loop's calls come in the order the page geometry relies on.
void tst_print::callOrder()
{
    auto box = textBox(numberedText(120, 8));
    auto device = pdfPrinter(pdf("order"));
    Printer printer(*device);
    RecordingPrinter recorder(printer);
    QCOMPARE(PrintRichText(*box, recorder, 1440, 1440, 1440, 1440), std::nullopt);
    const int newPages = recorder.count(QStringLiteral("NewPage"));
    QVERIFY(newPages >= 1);
    // hdc for each offset, then for the two device fields of the request.
    QStringList expected{QStringLiteral("Print( )"), QStringLiteral("ScaleMode=1"), QStringLiteral("hdc"),
                         QStringLiteral("hdc"),      QStringLiteral("hdc"),         QStringLiteral("hdc")};
    for (int i = 0; i < newPages; ++i)
        expected << QStringLiteral("NewPage") << QStringLiteral("Print( )") << QStringLiteral("hdc")
                 << QStringLiteral("hdc");
    expected << QStringLiteral("EndDoc");
    QCOMPARE(recorder.calls, expected);
}

// Each request starts its page with the character the one before returned.
void tst_print::everyPageBeginsWhereTheLastEnded()
{
    if (!havePoppler())
        QSKIP("pdftotext (poppler-utils) is not installed");
    auto box = textBox(numberedText(150, 9) + QStringLiteral("\r\n") +
                       numberedText(1, 1500).replace(QLatin1Char('w'), QLatin1Char('v')));
    const QString path = pdf("formatter");
    std::vector<int> starts{0};
    {
        auto device = pdfPrinter(path);
        Printer printer(*device);
        printer.Print(QStringLiteral(" "));
        FormatRangeRequest request;
        request.hdc = request.hdcTarget = printer.hdc();
        request.rc = {1440, 1440, 12240 - 1440, 15840 - 1440};
        request.rcPage = {0, 0, 12240, 15840};
        for (;;) {
            const int next = box->FormatRange(true, &request);
            QVERIFY2(next > request.chrg.cpMin, "every request makes progress");
            if (next >= box->TextLength())
                break;
            starts.push_back(next);
            request.chrg.cpMin = next;
            printer.NewPage();
        }
        printer.EndDoc();
        box->FormatRange(false, nullptr);
        QVERIFY(box->findChildren<PageFormatter*>().isEmpty());
    }
    QVERIFY(starts.size() > 3);
    const std::vector<PdfPage> pages = pdfWords(path);
    QCOMPARE(pages.size(), starts.size());
    const QString raw = box->document()->toRawText();
    for (size_t i = 0; i < pages.size(); ++i) {
        QVERIFY(!pages[i].words.empty());
        const QString expected = raw.mid(starts[i], 6);
        QCOMPARE(pages[i].words.front().text, expected);
        // The page starts a line: what comes before it is a break or a blank.
        if (starts[i] > 0)
            QVERIFY(raw.at(starts[i] - 1).isSpace() || raw.at(starts[i] - 1) == QChar::ParagraphSeparator);
    }
    QCOMPARE(allWords(pages), wordsOf(box->Text()));
}

void tst_print::marginsOnTheSheet_data()
{
    QTest::addColumn<int>("pageSize");
    QTest::addColumn<QMarginsF>("deviceMargins"); // points: the printable area of a real device
    QTest::addColumn<QPoint>("doubleOffset");     // device pixels: a printer double's offsets

    QTest::newRow("letter, whole sheet printable") << int(QPageSize::Letter) << QMarginsF() << QPoint();
    QTest::newRow("a4, whole sheet printable") << int(QPageSize::A4) << QMarginsF() << QPoint();
    QTest::newRow("letter, device with unequal offsets")
        << int(QPageSize::Letter) << QMarginsF(18, 30, 18, 30) << QPoint();
    QTest::newRow("a4, device with offsets") << int(QPageSize::A4) << QMarginsF(12.5, 12.5, 12.5, 12.5) << QPoint();
    QTest::newRow("letter, double reporting offsets") << int(QPageSize::Letter) << QMarginsF() << QPoint(250, 420);
}

// The text's left and top edges lie one inch from the sheet's edges, and the text
// keeps an inch from the right and bottom edges too, whatever the printable area.
void tst_print::marginsOnTheSheet()
{
    if (!havePoppler())
        QSKIP("pdftotext (poppler-utils) is not installed");
    QFETCH(int, pageSize);
    QFETCH(QMarginsF, deviceMargins);
    QFETCH(QPoint, doubleOffset);
    const QString text = numberedText(200, 10);
    auto box = textBox(text);
    const QString path = pdf(QTest::currentDataTag());
    {
        auto device = pdfPrinter(path, QPageSize::PageSizeId(pageSize), deviceMargins);
        Printer printer(*device);
        RecordingPrinter recorder(printer, doubleOffset);
        QCOMPARE(PrintRichText(*box, recorder, 1440, 1440, 1440, 1440), std::nullopt);
    }
    const std::vector<PdfPage> pages = pdfWords(path);
    QVERIFY(pages.size() >= 2);
    QCOMPARE(allWords(pages), wordsOf(text));
    for (const PdfPage& page : pages) {
        double left = 1e9, top = 1e9, right = 0, bottom = 0;
        for (const PdfWord& w : page.words) {
            left = std::min(left, w.xMin);
            top = std::min(top, w.yMin);
            right = std::max(right, w.xMax);
            bottom = std::max(bottom, w.yMax);
        }
        QVERIFY2(std::abs(left - OneInch) <= 1.0, qPrintable(QStringLiteral("left edge at %1 pt").arg(left)));
        QVERIFY2(std::abs(top - OneInch) <= 1.0, qPrintable(QStringLiteral("top edge at %1 pt").arg(top)));
        QVERIFY2(right <= page.width - OneInch + 0.5, qPrintable(QStringLiteral("right edge at %1 pt").arg(right)));
        QVERIFY2(bottom <= page.height - OneInch + 0.5, qPrintable(QStringLiteral("bottom edge at %1 pt").arg(bottom)));
    }
    // Full pages reach down near the bottom margin: the page is not laid out short.
    double lastBottom = 0;
    for (const PdfWord& w : pages.front().words)
        lastBottom = std::max(lastBottom, w.yMax);
    QVERIFY2(lastBottom > pages.front().height - OneInch - 40, qPrintable(QString::number(lastBottom)));
}

// Fonts print at the sizes the editor shows, measured for the printer, not the screen.
void tst_print::editorFontsAtPrinterResolution()
{
    if (!havePoppler())
        QSKIP("pdftotext (poppler-utils) is not installed");
    auto box = textBox(QString());
    QTextCursor cursor(box->document());
    QTextCharFormat small, large;
    small.setFontFamilies({QStringLiteral("DejaVu Sans")});
    small.setFontPointSize(12);
    large.setFontFamilies({QStringLiteral("DejaVu Serif")});
    large.setFontPointSize(36);
    cursor.insertText(QStringLiteral("small "), small);
    cursor.insertText(QStringLiteral("LARGE"), large);
    const QString path = pdf("fonts");
    {
        auto device = pdfPrinter(path);
        Printer printer(*device);
        QCOMPARE(PrintRichText(*box, printer, 1440, 1440, 1440, 1440), std::nullopt);
    }
    const std::vector<PdfPage> pages = pdfWords(path);
    QCOMPARE(int(pages.size()), 1);
    QCOMPARE(pages[0].words.size(), size_t(2));
    const PdfWord& s = pages[0].words[0];
    const PdfWord& l = pages[0].words[1];
    QCOMPARE(s.text, QStringLiteral("small"));
    QCOMPARE(l.text, QStringLiteral("LARGE"));
    // A word's box is about its font's size high (ascent and descent).
    QVERIFY2(s.yMax - s.yMin > 11 && s.yMax - s.yMin < 16, qPrintable(QString::number(s.yMax - s.yMin)));
    QVERIFY2(l.yMax - l.yMin > 33 && l.yMax - l.yMin < 48, qPrintable(QString::number(l.yMax - l.yMin)));
    // One line: the two words share a baseline, the small one after the large one's ascent.
    QVERIFY(s.yMin > l.yMin + 10);
    QVERIFY(l.xMin > s.xMax);
}

// A paragraph that must begin a page (the RTF \page) begins one.
void tst_print::pageBreakBefore()
{
    if (!havePoppler())
        QSKIP("pdftotext (poppler-utils) is not installed");
    auto box = textBox(QStringLiteral("first\r\nsecond\r\nthird\r\nfourth"));
    QTextBlockFormat breakBefore;
    breakBefore.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    for (int i : {1, 3}) {
        QTextCursor cursor(box->document()->findBlockByNumber(i));
        cursor.mergeBlockFormat(breakBefore);
    }
    const QString path = pdf("pagebreak");
    {
        auto device = pdfPrinter(path);
        Printer printer(*device);
        RecordingPrinter recorder(printer);
        QCOMPARE(PrintRichText(*box, recorder, 1440, 1440, 1440, 1440), std::nullopt);
        QCOMPARE(recorder.count(QStringLiteral("NewPage")), 2);
    }
    const std::vector<PdfPage> pages = pdfWords(path);
    QCOMPARE(pages.size(), size_t(3));
    QCOMPARE(pages[0].words.size(), size_t(1));
    QCOMPARE(pages[1].words.size(), size_t(2));
    QCOMPARE(pages[2].words.size(), size_t(1));
    QCOMPARE(pages[1].words[0].text, QStringLiteral("second"));
    QCOMPARE(pages[2].words[0].text, QStringLiteral("fourth"));
}

// What the formatter keeps between requests never outlives an edit of the document.
void tst_print::editBetweenRequests()
{
    auto device = pdfPrinter(pdf("edit"));
    Printer printer(*device);
    printer.Print(QStringLiteral(" "));
    FormatRangeRequest request;
    request.hdc = request.hdcTarget = printer.hdc();
    request.rc = {1440, 1440, 12240 - 1440, 15840 - 1440};
    request.rcPage = {0, 0, 12240, 15840};
    auto measure = [&](RichTextBox& box, int from) {
        request.chrg.cpMin = from;
        return box.FormatRange(false, &request);
    };

    const QString longWords = numberedText(1, 2000);
    const QString shortWords = QString(longWords).replace(QLatin1String("w0"), QLatin1String("x"));
    auto box = textBox(longWords);
    const int firstPage = measure(*box, 0);
    QVERIFY(firstPage > 0 && firstPage < box->TextLength());
    box->setText(shortWords);
    auto fresh = textBox(shortWords);
    QCOMPARE(measure(*box, firstPage), measure(*fresh, firstPage));
    QCOMPARE(measure(*box, 0), measure(*fresh, 0));
    QVERIFY(measure(*box, 0) > firstPage); // shorter words: more of them on a page
    box->FormatRange(false, nullptr);
    fresh->FormatRange(false, nullptr);
    printer.EndDoc();
}

// The main window's own control, filled with Rich Text Format: its fonts print at their
// sizes and \\page begins a page.
void tst_print::richTextOfTheMainWindow()
{
    if (!havePoppler())
        QSKIP("pdftotext (poppler-utils) is not installed");
    FormFixture fixture;
    RichTextBox& box = *fixture.form->RichTextBox1;
    box.setTextRTF(QStringLiteral("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}"
                                  "\\f0\\fs24 alpha beta\\par\\fs48 gamma\\page\\fs24 delta\\par}"));
    const QString path = pdf("form");
    {
        auto device = pdfPrinter(path);
        Printer printer(*device);
        RecordingPrinter recorder(printer);
        QCOMPARE(PrintRichText(box, recorder, 1440, 1440, 1440, 1440), std::nullopt);
        QCOMPARE(recorder.count(QStringLiteral("NewPage")), 1);
    }
    const std::vector<PdfPage> pages = pdfWords(path);
    QCOMPARE(pages.size(), size_t(2));
    QCOMPARE(allWords(pages), wordsOf(box.Text()));
    QCOMPARE(pages[1].words.front().text, QStringLiteral("delta"));
    const PdfWord& alpha = pages[0].words.front();
    const PdfWord& gamma = pages[0].words.back();
    QCOMPARE(gamma.text, QStringLiteral("gamma"));
    const double ratio = (gamma.yMax - gamma.yMin) / (alpha.yMax - alpha.yMin);
    QVERIFY2(ratio > 1.8 && ratio < 2.2, qPrintable(QString::number(ratio)));
    QVERIFY(fixture.host.unexpected.isEmpty());
}

void tst_print::rectangleTooSmall_data()
{
    QTest::addColumn<PrintMargins>("margins");
    QTest::addColumn<int>("expectedPages"); // -1: one a line
    // Margins wider than the sheet leave no room at all: one page, and the loop stops.
    QTest::newRow("no room") << PrintMargins{7000, 1440, 7000, 1440} << 1;
    QTest::newRow("upside down") << PrintMargins{1440, 9000, 1440, 9000} << 1;
    // Room for less than a line: a line a page, never a page without progress.
    QTest::newRow("less than a line high") << PrintMargins{1440, 1440, 1440, 15840 - 1440 - 60} << -1;
}

void tst_print::rectangleTooSmall()
{
    QFETCH(PrintMargins, margins);
    QFETCH(int, expectedPages);
    auto box = textBox(QStringLiteral("alpha\r\nbeta\r\ngamma\r\ndelta"));
    const QString path = pdf(QTest::currentDataTag());
    auto device = pdfPrinter(path);
    Printer printer(*device);
    RecordingPrinter recorder(printer);
    QCOMPARE(PrintRichText(*box, recorder, margins.left, margins.top, margins.right, margins.bottom), std::nullopt);
    const int pages = recorder.count(QStringLiteral("NewPage")) + 1;
    QCOMPARE(pages, expectedPages < 0 ? 4 : expectedPages);
    QCOMPARE(recorder.count(QStringLiteral("EndDoc")), 1);
}

// A document that cannot be begun is reported as the printer's failure; nothing after
// it is attempted.
void tst_print::failingPrinterIsReported()
{
    auto box = textBox(numberedText(300, 8));
    auto device = pdfPrinter(QStringLiteral("/nonexistent-folder/cannot/be.pdf"));
    Printer printer(*device);
    RecordingPrinter recorder(printer);
    const std::optional<Failure> failure = PrintRichText(*box, recorder, 1440, 1440, 1440, 1440);
    QVERIFY(failure.has_value());
    QCOMPARE(failure->number, FailureNumber::PrinterError);
    QCOMPARE(failure->description, QStringLiteral("Printer error"));
    QCOMPARE(recorder.count(QStringLiteral("NewPage")), 0);
}

// With no printer at all the user is told so, and the pointer is back to normal.
void tst_print::filePrintWithoutPrinter()
{
    FormFixture fixture;
    fixture.form->RichTextBox1->setText(QStringLiteral("some text"));
    App.TextChanged = true;
    fixture.host.messageAnswers.push_back(MsgAnswer::OK);
    fixture.form->FilePrint();

    QCOMPARE(fixture.host.shownMessages.size(), size_t(1));
    const MessageBoxRequest& box = fixture.host.shownMessages.front();
    QCOMPARE(box.text, QStringLiteral("No printer is installed."));
    QCOMPARE(box.title, QStringLiteral("Corvana"));
    QCOMPARE(box.buttons, MsgButtons::OK);
    QCOMPARE(box.icon, MsgIcon::None);
    QVERIFY(fixture.host.unexpected.isEmpty());
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    QCOMPARE(fixture.form->RichTextBox1->Text(), QStringLiteral("some text"));
    QVERIFY(App.TextChanged);
}

QTEST_MAIN(tst_print)
#include "tst_print.moc"
