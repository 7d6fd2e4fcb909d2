#include "FormFixture.h"

#include "platform/RichTextBox.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>

#include <functional>

namespace {

enum class Command { Cut, Copy };
using FillClipboard = std::function<void(QMimeData&)>;

QClipboard& clipboard()
{
    return *QGuiApplication::clipboard();
}

void putOnClipboard(const FillClipboard& fill)
{
    auto* data = new QMimeData;
    fill(*data);
    clipboard().setMimeData(data);
}

void select(RichTextBox& box, int start, int length)
{
    box.setSelStart(start);
    box.setSelLength(length);
}

// Appends text in the given font, weight and colour at the end of the document.
void appendRun(RichTextBox& box, const QString& text, const QString& family, double points, bool bold = false,
               QColor colour = Qt::black)
{
    QTextCharFormat format;
    format.setFontFamilies({family});
    format.setFontPointSize(points);
    format.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    format.setForeground(colour);
    QTextCursor cursor(box.document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text, format);
}

QTextCharFormat formatAt(const RichTextBox& box, int position)
{
    QTextCursor cursor(box.document());
    cursor.setPosition(position + 1); // the format of the character before the cursor
    return cursor.charFormat();
}

} // namespace

Q_DECLARE_METATYPE(Command)
Q_DECLARE_METATYPE(FillClipboard)

class TestClipboard : public QObject {
    Q_OBJECT

private slots:
    void clipboardIsAvailable();
    void cutAndCopy_data();
    void cutAndCopy();
    void paste_data();
    void paste();
    void pasteWithoutTextOnTheClipboard_data();
    void pasteWithoutTextOnTheClipboard();
    void formattingNeverReachesTheClipboard();
    void pastedTextBringsNoFormatting();
    void menuItemsRunTheCommands();
};

void TestClipboard::clipboardIsAvailable()
{
    // The commands are tested through the real clipboard; make sure it holds what it is given.
    clipboard().setText(QStringLiteral("probe"));
    QCOMPARE(clipboard().text(), QStringLiteral("probe"));
}

void TestClipboard::cutAndCopy_data()
{
    QTest::addColumn<Command>("command");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("textChangedBefore");
    QTest::addColumn<QString>("expectedClipboard");
    QTest::addColumn<QString>("expectedText");
    QTest::addColumn<int>("expectedStart");
    QTest::addColumn<bool>("expectedTextChanged");

    // clang-format off
    QTest::newRow("cut a selection") << Command::Cut << "Hello world" << 0 << 6 << false
                                     << "Hello " << "world" << 0 << true;
    QTest::newRow("cut in the middle") << Command::Cut << "Hello world" << 4 << 3 << false
                                       << "o w" << "Hellorld" << 4 << true;
    QTest::newRow("cut with nothing selected") << Command::Cut << "Hello" << 2 << 0 << false
                                               << "" << "Hello" << 2 << true;
    QTest::newRow("cut across lines: LF on the clipboard") << Command::Cut << "one\r\ntwo\r\nthree" << 2 << 7 << false
                                                           << "e\ntwo\nt" << "onhree" << 2 << true;
    QTest::newRow("copy a selection") << Command::Copy << "Hello world" << 6 << 5 << false
                                      << "world" << "Hello world" << 6 << false;
    QTest::newRow("copy keeps TextChanged set") << Command::Copy << "Hello world" << 6 << 5 << true
                                                << "world" << "Hello world" << 6 << true;
    QTest::newRow("copy with nothing selected") << Command::Copy << "Hello" << 5 << 0 << false
                                                << "" << "Hello" << 5 << false;
    QTest::newRow("copy across lines: LF on the clipboard") << Command::Copy << "one\r\ntwo" << 0 << 7 << false
                                                            << "one\ntwo" << "one\r\ntwo" << 0 << false;
    QTest::newRow("copy of accented text") << Command::Copy << QString::fromUtf16(u"caf\u00e9 \u20ac") << 0 << 6 << false
                                           << QString::fromUtf16(u"caf\u00e9 \u20ac") << QString::fromUtf16(u"caf\u00e9 \u20ac") << 0 << false;
    // clang-format on
}

void TestClipboard::cutAndCopy()
{
    QFETCH(Command, command);
    QFETCH(QString, text);
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(bool, textChangedBefore);
    QFETCH(QString, expectedClipboard);
    QFETCH(QString, expectedText);
    QFETCH(int, expectedStart);
    QFETCH(bool, expectedTextChanged);

    FormFixture f;
    RichTextBox& box = *f.form->RichTextBox1;
    box.setText(text);
    select(box, start, length);
    App.TextChanged = textChangedBefore;
    // What was there before is replaced, also by an empty selection.
    clipboard().setText(QStringLiteral("previous"));

    if (command == Command::Cut)
        f.form->EditCut();
    else
        f.form->EditCopy();

    QCOMPARE(clipboard().text(), expectedClipboard);
    QVERIFY(clipboard().mimeData()->hasText());
    QCOMPARE(box.Text(), expectedText);
    QCOMPARE(box.SelStart(), expectedStart);
    QCOMPARE(box.SelLength(), command == Command::Copy ? length : 0);
    QCOMPARE(App.TextChanged, expectedTextChanged);
    QVERIFY2(f.host.unexpected.isEmpty(), qPrintable(f.host.unexpected.join(QLatin1Char('\n'))));
    QVERIFY(f.host.shownMessages.empty());
}

void TestClipboard::paste_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("clipboardText");
    QTest::addColumn<QString>("expectedText");
    QTest::addColumn<int>("expectedCaret");

    // clang-format off
    QTest::newRow("insert at the caret") << "Hello world" << 5 << 0 << ", dear"
                                         << "Hello, dear world" << 11;
    QTest::newRow("insert at the start") << "world" << 0 << 0 << "Hello "
                                         << "Hello world" << 6;
    QTest::newRow("insert into an empty document") << "" << 0 << 0 << "abc"
                                                   << "abc" << 3;
    QTest::newRow("replace the selection") << "Hello world" << 6 << 5 << "there"
                                           << "Hello there" << 11;
    QTest::newRow("replace everything") << "one\r\ntwo" << 0 << 7 << "x"
                                        << "x" << 1;
    QTest::newRow("empty clipboard text deletes the selection") << "Hello world" << 5 << 6 << ""
                                                                << "Hello" << 5;
    QTest::newRow("LF breaks a line") << "ab" << 1 << 0 << "1\n2"
                                      << "a1\r\n2b" << 4;
    QTest::newRow("CR LF breaks a line") << "ab" << 1 << 0 << "1\r\n2"
                                         << "a1\r\n2b" << 4;
    QTest::newRow("CR breaks a line") << "ab" << 1 << 0 << "1\r2"
                                      << "a1\r\n2b" << 4;
    QTest::newRow("mixed line ends, trailing break") << "" << 0 << 0 << "a\r\nb\rc\n"
                                                     << "a\r\nb\r\nc\r\n" << 6;
    // clang-format on
}

void TestClipboard::paste()
{
    QFETCH(QString, text);
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(QString, clipboardText);
    QFETCH(QString, expectedText);
    QFETCH(int, expectedCaret);

    FormFixture f;
    RichTextBox& box = *f.form->RichTextBox1;
    box.setText(text);
    select(box, start, length);
    App.TextChanged = false;
    clipboard().setText(clipboardText);

    f.form->EditPaste();

    QCOMPARE(box.Text(), expectedText);
    QCOMPARE(box.SelStart(), expectedCaret);
    QCOMPARE(box.SelLength(), 0);
    QVERIFY(App.TextChanged);
    QCOMPARE(clipboard().text(), clipboardText); // pasting leaves the clipboard as it was
    QVERIFY(f.host.shownMessages.empty());
    QVERIFY2(f.host.unexpected.isEmpty(), qPrintable(f.host.unexpected.join(QLatin1Char('\n'))));
}

void TestClipboard::pasteWithoutTextOnTheClipboard_data()
{
    QTest::addColumn<FillClipboard>("fill");
    QTest::addColumn<bool>("textChangedBefore");

    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QTest::newRow("a picture only") << FillClipboard([picture](QMimeData& d) { d.setImageData(picture); }) << false;
    QTest::newRow("a picture only, document already changed")
        << FillClipboard([picture](QMimeData& d) { d.setImageData(picture); }) << true;
    QTest::newRow("nothing at all") << FillClipboard([](QMimeData&) {}) << false;
    QTest::newRow("data of another program's own format")
        << FillClipboard([](QMimeData& d) { d.setData("application/x-other", "bytes"); }) << false;
}

void TestClipboard::pasteWithoutTextOnTheClipboard()
{
    QFETCH(FillClipboard, fill);
    QFETCH(bool, textChangedBefore);

    FormFixture f;
    RichTextBox& box = *f.form->RichTextBox1;
    box.setText(QStringLiteral("Hello world"));
    select(box, 2, 3);
    App.TextChanged = textChangedBefore;
    putOnClipboard(fill);
    QVERIFY(!clipboard().mimeData()->hasText());
    f.host.messageAnswers.push_back(MsgAnswer::OK);

    f.form->EditPaste();

    QCOMPARE(f.host.shownMessages.size(), size_t(1));
    const MessageBoxRequest& shown = f.host.shownMessages.front();
    QCOMPARE(shown.text, QStringLiteral("There is no text on the Clipboard."));
    QVERIFY(shown.title.isEmpty()); // the application's title, "Corvana"
    QCOMPARE(shown.buttons, MsgButtons::OK);
    QCOMPARE(shown.icon, MsgIcon::None);
    QVERIFY(shown.helpFile.isEmpty());
    QCOMPARE(box.Text(), QStringLiteral("Hello world"));
    QCOMPARE(box.SelStart(), 2);
    QCOMPARE(box.SelLength(), 3);
    QCOMPARE(App.TextChanged, textChangedBefore);
    QVERIFY(f.host.unexpected.isEmpty());
}

void TestClipboard::formattingNeverReachesTheClipboard()
{
    FormFixture f;
    RichTextBox& box = *f.form->RichTextBox1;
    box.setText(QString());
    appendRun(box, QStringLiteral("plain "), QStringLiteral("DejaVu Sans"), 10);
    appendRun(box, QStringLiteral("bold red"), QStringLiteral("DejaVu Serif"), 18, true, Qt::red);
    appendRun(box, QStringLiteral(" mono"), QStringLiteral("DejaVu Sans Mono"), 8);
    App.TextChanged = false;

    for (auto command : {&Form1::EditCopy, &Form1::EditCut}) {
        select(box, 3, 13);
        clipboard().clear();
        (f.form.get()->*command)();
        const QMimeData* data = clipboard().mimeData();
        QCOMPARE(data->text(), QStringLiteral("in bold red m"));
        QCOMPARE(data->formats(), QStringList{QStringLiteral("text/plain")});
        QVERIFY(!data->hasHtml());
        if (command == &Form1::EditCopy)
            QCOMPARE(box.Text(), QStringLiteral("plain bold red mono"));
    }
    QCOMPARE(box.Text(), QStringLiteral("plaono"));
}

void TestClipboard::pastedTextBringsNoFormatting()
{
    // Copy from a text in several fonts, then paste it back inside the plain run: the
    // characters come back in the font at the caret, not in their former ones.
    FormFixture f;
    RichTextBox& box = *f.form->RichTextBox1;
    box.setText(QString());
    appendRun(box, QStringLiteral("plain text"), QStringLiteral("DejaVu Sans"), 10);
    appendRun(box, QStringLiteral("BOLD"), QStringLiteral("DejaVu Serif"), 18, true, Qt::red);
    select(box, 10, 4);
    f.form->EditCopy();
    box.setSelStart(5);
    f.form->EditPaste();
    QCOMPARE(box.Text(), QStringLiteral("plainBOLD textBOLD"));
    for (int p = 5; p < 9; ++p) {
        const QTextCharFormat format = formatAt(box, p);
        QCOMPARE(format.font().family(), QStringLiteral("DejaVu Sans"));
        QCOMPARE(format.fontPointSize(), 10.0);
        QCOMPARE(format.fontWeight(), int(QFont::Normal));
        QCOMPARE(format.foreground().color(), QColor(Qt::black));
    }

    // A clipboard that offers formatted text as well: only its plain text comes in.
    putOnClipboard([](QMimeData& d) {
        d.setHtml(QStringLiteral("<b style=\"font-family:'DejaVu Serif'; font-size:30pt\">Big</b> <i>news</i>"));
        d.setText(QStringLiteral("Big news"));
    });
    box.setSelStart(0);
    f.form->EditPaste();
    QCOMPARE(box.Text(), QStringLiteral("Big newsplainBOLD textBOLD"));
    for (int p = 0; p < 8; ++p) {
        const QTextCharFormat format = formatAt(box, p);
        QCOMPARE(format.font().family(), QStringLiteral("DejaVu Sans"));
        QCOMPARE(format.fontPointSize(), 10.0);
        QCOMPARE(format.fontWeight(), int(QFont::Normal));
        QVERIFY(!format.fontItalic());
    }
    QVERIFY(f.host.unexpected.isEmpty());
}

void TestClipboard::menuItemsRunTheCommands()
{
    FormFixture f;
    RichTextBox& box = *f.form->RichTextBox1;
    box.setText(QStringLiteral("abc def"));
    App.TextChanged = false;

    select(box, 4, 3);
    f.form->menuItem(QStringLiteral("EditCopy"))->trigger();
    QCOMPARE(clipboard().text(), QStringLiteral("def"));
    QVERIFY(!App.TextChanged);

    select(box, 0, 4);
    f.form->menuItem(QStringLiteral("EditCut"))->trigger();
    QCOMPARE(clipboard().text(), QStringLiteral("abc "));
    QCOMPARE(box.Text(), QStringLiteral("def"));
    QVERIFY(App.TextChanged);

    App.TextChanged = false;
    box.setSelStart(3);
    f.form->Toolbar1_ButtonClick(QStringLiteral("bPaste"));
    QCOMPARE(box.Text(), QStringLiteral("defabc "));
    QVERIFY(App.TextChanged);
    QVERIFY(f.host.unexpected.isEmpty());
}

QTEST_MAIN(TestClipboard)
#include "tst_clipboard.moc"
