#include "FormFixture.h"

#include "app/AppState.h"
#include "document/Codec8Bit.h"
#include "platform/RichTextBox.h"
#include "platform/Twips.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>

#include <functional>

using BoxAction = std::function<void(RichTextBox&)>;
Q_DECLARE_METATYPE(BoxAction)

namespace {

QByteArray allBytes()
{
    QByteArray bytes(256, Qt::Uninitialized);
    for (int i = 0; i < 256; ++i)
        bytes[i] = char(i);
    return bytes;
}

// The text a document made from `text` reads back as: every CR, LF and CR LF is one
// line end, written CR LF.
QString withCrLf(const QString& text)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\r' || c == u'\n') {
            out += QLatin1String("\r\n");
            if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
        } else {
            out += c;
        }
    }
    return out;
}

QTextCharFormat formatAt(const RichTextBox& box, int position)
{
    // The format of the character at `position` is the cursor's just after it.
    QTextCursor cursor(box.document());
    cursor.setPosition(position + 1);
    return cursor.charFormat();
}

QMimeData* htmlAndText()
{
    auto* data = new QMimeData;
    data->setHtml(QStringLiteral("<b style=\"font-size:40pt\">rich</b> <i>stuff</i>"));
    data->setText(QStringLiteral("plain\r\nline"));
    return data;
}

} // namespace

class TestRichTextBox : public QObject {
    Q_OBJECT

private slots:
    void init();

    void textKeepsEveryCharacter_data();
    void textKeepsEveryCharacter();
    void everyByteSurvivesTheDocument_data();
    void everyByteSurvivesTheDocument();
    void newTextTakesNothingFromTheOld_data();
    void newTextTakesNothingFromTheOld();
    void plainTextIsNotReadAsRtf_data();
    void plainTextIsNotReadAsRtf();

    void programChangesAreNotTheUsers_data();
    void programChangesAreNotTheUsers();
    void userEditsAreTheUsers_data();
    void userEditsAreTheUsers();
    void everyUserChangeMarksTheDocument_data();
    void everyUserChangeMarksTheDocument();

    void keyPress_data();
    void keyPress();
    void keyPressComesBeforeTheKeyActs();
    void menuShortcutsReachTheMenu_data();
    void menuShortcutsReachTheMenu();

    void pasteAndDropTakePlainTextOnly();
    void copyGivesPlainTextWithLf();

    void findSeesEveryEditSinceTheLastFind();
    void imagesAreNoText();

    void selection_data();
    void selection();
    void setSelText_data();
    void setSelText();
    void selectionFontAppliesToTheSelectionOnly();
    void selectionFontWithNothingSelectedIsForTyping();

    void loadFile_data();
    void loadFile();

    void placement_data();
    void placement();
    void placementFollowsTheParentsSize();

    void accessible();

private:
    QTemporaryDir dir_;
};

void TestRichTextBox::init()
{
    QGuiApplication::clipboard()->clear();
}

// ---- plain text ---------------------------------------------------------------

void TestRichTextBox::textKeepsEveryCharacter_data()
{
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("read");
    QTest::addColumn<int>("length");
    QTest::newRow("empty") << QString() << QString() << 0;
    QTest::newRow("CR LF") << QStringLiteral("a\r\nb") << QStringLiteral("a\r\nb") << 3;
    QTest::newRow("lone LF") << QStringLiteral("a\nb") << QStringLiteral("a\r\nb") << 3;
    QTest::newRow("lone CR") << QStringLiteral("a\rb") << QStringLiteral("a\r\nb") << 3;
    QTest::newRow("CR then CR LF is two lines") << QStringLiteral("a\r\r\nb") << QStringLiteral("a\r\n\r\nb") << 4;
    QTest::newRow("LF CR is two lines") << QStringLiteral("a\n\rb") << QStringLiteral("a\r\n\r\nb") << 4;
    QTest::newRow("line end last") << QStringLiteral("a\r\n") << QStringLiteral("a\r\n") << 2;
    QTest::newRow("lone CR last") << QStringLiteral("a\r") << QStringLiteral("a\r\n") << 2;
    QTest::newRow("markers among every kind of line end")
        << QStringLiteral("\r\n\uFDD0\r\rx\n\uFFFC\r\n") << QStringLiteral("\r\n\uFFFD\r\n\r\nx\r\n\uFFFD\r\n") << 8;
    QTest::newRow("only line ends") << QStringLiteral("\n\n\n") << QStringLiteral("\r\n\r\n\r\n") << 3;
    QTest::newRow("line separator") << QStringLiteral("a\u2028b") << QStringLiteral("a\r\nb") << 3;
    QTest::newRow("no-break space") << QStringLiteral("1\u00A0000") << QStringLiteral("1\u00A0000") << 5;
    QTest::newRow("NUL") << QString(QChar(0)) + u'x' << QString(QChar(0)) + u'x' << 2;
    QTest::newRow("tab, vertical tab, form feed") << QStringLiteral("\t\v\f") << QStringLiteral("\t\v\f") << 3;
    QTest::newRow("unassigned bytes' controls")
        << QStringLiteral("\u0081\u008D\u008F\u0090\u009D") << QStringLiteral("\u0081\u008D\u008F\u0090\u009D") << 5;
    QTest::newRow("frame markers are no line breaks")
        << QStringLiteral("a\uFDD0b\uFDD1c") << QStringLiteral("a\uFFFDb\uFFFDc") << 5;
    QTest::newRow("object replacement is no image, byte order mark")
        << QStringLiteral("\uFFFC\uFEFF") << QStringLiteral("\uFFFD\uFEFF") << 2;
    QTest::newRow("escape and delete") << QStringLiteral("\x1B\x7F") << QStringLiteral("\x1B\x7F") << 2;
    QTest::newRow("blanks at the ends") << QStringLiteral("  a  \r\n ") << QStringLiteral("  a  \r\n ") << 7;
}

void TestRichTextBox::textKeepsEveryCharacter()
{
    QFETCH(QString, written);
    QFETCH(QString, read);
    QFETCH(int, length);
    RichTextBox box;
    box.setText(written);
    QCOMPARE(box.Text(), read);
    QCOMPARE(box.TextLength(), length);
    box.setSelStart(0);
    box.setSelLength(box.TextLength());
    QCOMPARE(box.SelText(), read);
}

void TestRichTextBox::everyByteSurvivesTheDocument_data()
{
    QTest::addColumn<bool>("throughRtfWrite");
    QTest::newRow("plain text write") << false;
    QTest::newRow("rich text write, not RTF") << true;
}

void TestRichTextBox::everyByteSurvivesTheDocument()
{
    QFETCH(bool, throughRtfWrite);
    const QString all = Codec8Bit::decode(allBytes());
    RichTextBox box;
    if (throughRtfWrite)
        box.setTextRTF(all);
    else
        box.setText(all);
    const QString read = box.Text();
    const QString expected = withCrLf(all);
    QCOMPARE(read.size(), 258); // LF and CR each became CR LF
    for (qsizetype i = 0; i < expected.size(); ++i)
        QVERIFY2(read.at(i) == expected.at(i), qPrintable(QStringLiteral("position %1: U+%2 read as U+%3")
                                                              .arg(i)
                                                              .arg(expected.at(i).unicode(), 4, 16, QLatin1Char('0'))
                                                              .arg(read.at(i).unicode(), 4, 16, QLatin1Char('0'))));
    QCOMPARE(read, expected);
    // and back to bytes: only the line ends differ
    QByteArray bytes = allBytes();
    bytes.replace('\n', "\r\n").replace("\x0B\x0C\r\x0E", "\x0B\x0C\r\n\x0E");
    QCOMPARE(Codec8Bit::encode(read).bytes, bytes);
}

void TestRichTextBox::newTextTakesNothingFromTheOld_data()
{
    QTest::addColumn<bool>("throughRtfWrite");
    QTest::newRow("plain text write") << false;
    QTest::newRow("rich text write, not RTF") << true;
}

void TestRichTextBox::newTextTakesNothingFromTheOld()
{
    QFETCH(bool, throughRtfWrite);
    RichTextBox box;
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSize(12);
    box.document()->setDefaultFont(font);
    box.setText(QStringLiteral("old text"));
    // the caret stands in bold, large text typed by the user
    box.setSelStart(4);
    QTest::keyClicks(&box, QStringLiteral("more "));
    QTextCursor bold(box.document());
    bold.select(QTextCursor::Document);
    QTextCharFormat heavy;
    heavy.setFontWeight(QFont::Bold);
    heavy.setFontPointSize(33);
    bold.mergeCharFormat(heavy);
    box.setSelStart(6);
    QVERIFY(box.textCursor().charFormat().fontWeight() == QFont::Bold);

    if (throughRtfWrite)
        box.setTextRTF(QStringLiteral("new\r\ntext"));
    else
        box.setText(QStringLiteral("new\r\ntext"));
    QCOMPARE(box.Text(), QStringLiteral("new\r\ntext"));
    for (int i = 0; i < box.TextLength(); ++i) {
        QVERIFY(formatAt(box, i).fontWeight() != QFont::Bold);
        QCOMPARE(formatAt(box, i).font().pointSize(), 12);
    }
    QCOMPARE(box.document()->defaultFont(), font);
    QCOMPARE(box.SelStart(), 0);
    QCOMPARE(box.SelLength(), 0);
    // the old document is gone for good: undo does not bring it back
    QVERIFY(!box.document()->isUndoAvailable());
    QTest::keyClick(&box, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(box.Text(), QStringLiteral("new\r\ntext"));
    // and typed text is the document's own
    QTest::keyClicks(&box, QStringLiteral("x"));
    QCOMPARE(formatAt(box, 0).font().pointSize(), 12);
    QVERIFY(formatAt(box, 0).fontWeight() != QFont::Bold);
}

void TestRichTextBox::plainTextIsNotReadAsRtf_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("short of the marker") << QStringLiteral("{\\rt1 x}");
    QTest::newRow("blank before the marker") << QStringLiteral(" {\\rtf1 x}");
    QTest::newRow("line end before the marker") << QStringLiteral("\r\n{\\rtf1 x}");
    QTest::newRow("marker without brace") << QStringLiteral("\\rtf1 x}");
    QTest::newRow("upper case") << QStringLiteral("{\\RTF1 x}");
    QTest::newRow("braces and backslashes") << QStringLiteral("{\\b bold} \\par {}");
}

void TestRichTextBox::plainTextIsNotReadAsRtf()
{
    QFETCH(QString, text);
    RichTextBox box;
    box.setTextRTF(text);
    QCOMPARE(box.Text(), withCrLf(text));
}

// ---- change tracking ------------------------------------------------------------

void TestRichTextBox::programChangesAreNotTheUsers_data()
{
    QTest::addColumn<BoxAction>("change");
    QTest::addColumn<QString>("text");
    const QString file = dir_.filePath(QStringLiteral("load.txt"));
    writeFile(file, QByteArrayLiteral("from a file\r\n"));
    QTest::newRow("plain text write") << BoxAction([](RichTextBox& b) { b.setText(QStringLiteral("new")); })
                                      << QStringLiteral("new");
    QTest::newRow("plain text write, empty") << BoxAction([](RichTextBox& b) { b.setText(QString()); }) << QString();
    QTest::newRow("rich text write, plain")
        << BoxAction([](RichTextBox& b) { b.setTextRTF(QStringLiteral("x\ny")); }) << QStringLiteral("x\r\ny");
    QTest::newRow("load a file") << BoxAction([file](RichTextBox& b) { QVERIFY(!b.LoadFile(file)); })
                                 << QStringLiteral("from a file\r\n");
    QTest::newRow("selected text write") << BoxAction([](RichTextBox& b) {
        b.setSelStart(1);
        b.setSelLength(2);
        b.setSelText(QStringLiteral("--"));
    }) << QStringLiteral("o--\r\ntext");
    QTest::newRow("font of the selection") << BoxAction([](RichTextBox& b) {
        b.setSelStart(0);
        b.setSelLength(b.TextLength());
        b.setSelFontName(QStringLiteral("DejaVu Serif"));
        b.setSelFontSize(20);
    }) << QStringLiteral("old\r\ntext");
    QTest::newRow("font at the caret") << BoxAction([](RichTextBox& b) {
        b.setText(QString());
        b.setSelFontName(QStringLiteral("DejaVu Serif"));
        b.setSelFontSize(20);
    }) << QString();
    QTest::newRow("selection and find") << BoxAction([](RichTextBox& b) {
        b.setSelStart(2);
        b.setSelLength(3);
        QCOMPARE(b.Find(QStringLiteral("text"), 0), 4);
    }) << QStringLiteral("old\r\ntext");
}

void TestRichTextBox::programChangesAreNotTheUsers()
{
    QFETCH(BoxAction, change);
    QFETCH(QString, text);
    RichTextBox box;
    box.setText(QStringLiteral("old\ntext"));
    QSignalSpy user(&box, &RichTextBox::UserChanged);
    QSignalSpy keys(&box, &RichTextBox::KeyPress);
    change(box);
    QCOMPARE(box.Text(), text);
    QCOMPARE(user.count(), 0);
    QCOMPARE(keys.count(), 0);
}

void TestRichTextBox::userEditsAreTheUsers_data()
{
    QTest::addColumn<BoxAction>("edit");
    QTest::addColumn<QString>("text");
    // The document holds "abc" with the caret at 1 when the edit starts.
    QTest::newRow("typing") << BoxAction([](RichTextBox& b) { QTest::keyClick(&b, Qt::Key_X); })
                            << QStringLiteral("axbc");
    QTest::newRow("Delete") << BoxAction([](RichTextBox& b) { QTest::keyClick(&b, Qt::Key_Delete); })
                            << QStringLiteral("ac");
    QTest::newRow("Backspace") << BoxAction([](RichTextBox& b) { QTest::keyClick(&b, Qt::Key_Backspace); })
                               << QStringLiteral("bc");
    QTest::newRow("Enter") << BoxAction([](RichTextBox& b) { QTest::keyClick(&b, Qt::Key_Return); })
                           << QStringLiteral("a\r\nbc");
    QTest::newRow("Delete of a selection") << BoxAction([](RichTextBox& b) {
        QTest::keyClick(&b, Qt::Key_End, Qt::ShiftModifier);
        QTest::keyClick(&b, Qt::Key_Delete);
    }) << QStringLiteral("a");
    QTest::newRow("undo of the program's insertion") << BoxAction([](RichTextBox& b) {
        b.setSelText(QStringLiteral("123"));
        QTest::keyClick(&b, Qt::Key_Z, Qt::ControlModifier);
    }) << QStringLiteral("abc");
    QTest::newRow("paste with Ctrl+V") << BoxAction([](RichTextBox& b) {
        QGuiApplication::clipboard()->setText(QStringLiteral("P"));
        QTest::keyClick(&b, Qt::Key_V, Qt::ControlModifier);
    }) << QStringLiteral("aPbc");
    QTest::newRow("cut from the context menu") << BoxAction([](RichTextBox& b) {
        b.setSelLength(2);
        std::unique_ptr<QMenu> menu(b.createStandardContextMenu());
        const QList<QAction*> actions = menu->actions();
        const auto cut = std::find_if(actions.begin(), actions.end(), [](QAction* a) {
            return a->text().remove(u'&').startsWith(QLatin1String("Cut"));
        });
        QVERIFY(cut != actions.end());
        (*cut)->trigger();
    }) << QStringLiteral("a");
    QTest::newRow("drop") << BoxAction([](RichTextBox& b) {
        auto data = std::make_unique<QMimeData>();
        data->setText(QStringLiteral("D"));
        const QPointF at = b.cursorRect(QTextCursor(b.document())).center();
        QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(b.viewport(), &enter);
        QDropEvent drop(at, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(b.viewport(), &drop);
    }) << QStringLiteral("Dabc");
}

void TestRichTextBox::userEditsAreTheUsers()
{
    QFETCH(BoxAction, edit);
    QFETCH(QString, text);
    RichTextBox box;
    box.setText(QStringLiteral("abc"));
    box.setSelStart(1);
    QSignalSpy user(&box, &RichTextBox::UserChanged);
    edit(box);
    QCOMPARE(box.Text(), text);
    QVERIFY(user.count() > 0);
}

void TestRichTextBox::everyUserChangeMarksTheDocument_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("caret");
    QTest::addColumn<bool>("marked");
    QTest::newRow("letter") << int(Qt::Key_Q) << 0 << true;
    QTest::newRow("Delete") << int(Qt::Key_Delete) << 0 << true;
    QTest::newRow("Backspace at the very start") << int(Qt::Key_Backspace) << 0 << true;
    QTest::newRow("Delete at the very end") << int(Qt::Key_Delete) << 4 << false;
    QTest::newRow("arrow") << int(Qt::Key_Right) << 0 << false;
    QTest::newRow("End") << int(Qt::Key_End) << 0 << false;
    QTest::newRow("Insert") << int(Qt::Key_Insert) << 0 << false;
}

void TestRichTextBox::everyUserChangeMarksTheDocument()
{
    QFETCH(int, key);
    QFETCH(int, caret);
    QFETCH(bool, marked);
    FormFixture f;
    RichTextBox& box = *f.form->RichTextBox1;
    box.setText(QStringLiteral("text"));
    box.setSelStart(caret);
    QVERIFY(!App.TextChanged);
    QTest::keyClick(&box, Qt::Key(key));
    QCOMPARE(App.TextChanged, marked);
    QVERIFY(f.host.unexpected.isEmpty());
}

// ---- keys -----------------------------------------------------------------------

void TestRichTextBox::keyPress_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("code");     // -1: no key-press notification
    QTest::addColumn<QString>("text"); // where set, the text the key types (else Qt Test's own)
    const int none = Qt::NoModifier, shift = Qt::ShiftModifier, ctrl = Qt::ControlModifier;
    QTest::newRow("letter") << int(Qt::Key_A) << none << int('a') << QString();
    QTest::newRow("Shift+letter") << int(Qt::Key_A) << shift << int('A') << QStringLiteral("A");
    QTest::newRow("digit") << int(Qt::Key_7) << none << int('7') << QString();
    QTest::newRow("blank") << int(Qt::Key_Space) << none << 32 << QString();
    QTest::newRow("punctuation") << int(Qt::Key_Comma) << none << int(',') << QStringLiteral(",");
    QTest::newRow("character beyond ASCII") << int(Qt::Key_Eacute) << none << 0xE9 << QStringLiteral("\u00E9");
    QTest::newRow("Enter") << int(Qt::Key_Return) << none << 13 << QString();
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << none << 13 << QString();
    QTest::newRow("Shift+Enter") << int(Qt::Key_Return) << shift << 13 << QString();
    QTest::newRow("Backspace") << int(Qt::Key_Backspace) << none << 8 << QString();
    QTest::newRow("Tab") << int(Qt::Key_Tab) << none << 9 << QString();
    QTest::newRow("Ctrl+A") << int(Qt::Key_A) << ctrl << 1 << QString();
    QTest::newRow("Ctrl+V") << int(Qt::Key_V) << ctrl << 22 << QString();
    QTest::newRow("Ctrl+Z") << int(Qt::Key_Z) << ctrl << 26 << QString();
    QTest::newRow("Ctrl+Shift+B") << int(Qt::Key_B) << (ctrl | shift) << 2 << QString();
    QTest::newRow("Delete") << int(Qt::Key_Delete) << none << -1 << QString();
    QTest::newRow("Insert") << int(Qt::Key_Insert) << none << -1 << QString();
    QTest::newRow("Left") << int(Qt::Key_Left) << none << -1 << QString();
    QTest::newRow("Right") << int(Qt::Key_Right) << none << -1 << QString();
    QTest::newRow("Up") << int(Qt::Key_Up) << none << -1 << QString();
    QTest::newRow("Down") << int(Qt::Key_Down) << none << -1 << QString();
    QTest::newRow("Home") << int(Qt::Key_Home) << none << -1 << QString();
    QTest::newRow("End") << int(Qt::Key_End) << none << -1 << QString();
    QTest::newRow("Page Up") << int(Qt::Key_PageUp) << none << -1 << QString();
    QTest::newRow("Page Down") << int(Qt::Key_PageDown) << none << -1 << QString();
    QTest::newRow("F1") << int(Qt::Key_F1) << none << -1 << QString();
    QTest::newRow("F3") << int(Qt::Key_F3) << none << -1 << QString();
    QTest::newRow("F12") << int(Qt::Key_F12) << none << -1 << QString();
    QTest::newRow("Shift alone") << int(Qt::Key_Shift) << shift << -1 << QString();
    QTest::newRow("Ctrl alone") << int(Qt::Key_Control) << ctrl << -1 << QString();
    QTest::newRow("Alt alone") << int(Qt::Key_Alt) << int(Qt::AltModifier) << -1 << QString();
    QTest::newRow("Escape") << int(Qt::Key_Escape) << none << -1 << QString();
    QTest::newRow("Ctrl+digit") << int(Qt::Key_5) << ctrl << -1 << QString();
    // menu shortcuts, which belong to the menu items even where none takes them
    QTest::newRow("Ctrl+X") << int(Qt::Key_X) << ctrl << -1 << QString();
    QTest::newRow("Ctrl+C") << int(Qt::Key_C) << ctrl << -1 << QString();
    QTest::newRow("Shift+Insert") << int(Qt::Key_Insert) << shift << -1 << QString();
}

void TestRichTextBox::keyPress()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, code);
    QFETCH(QString, text);
    RichTextBox box;
    box.setText(QStringLiteral("some text\r\nmore"));
    box.setSelStart(4);
    box.setMenuShortcuts({QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::CTRL | Qt::Key_C),
                          QKeySequence(Qt::SHIFT | Qt::Key_Insert), QKeySequence(Qt::Key_F3)});
    QSignalSpy keys(&box, &RichTextBox::KeyPress);
    if (!text.isEmpty())
        QTest::sendKeyEvent(QTest::Click, &box, Qt::Key(key), text, Qt::KeyboardModifiers(modifiers));
    else
        QTest::keyClick(&box, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    if (code < 0) {
        QCOMPARE(keys.count(), 0);
    } else {
        QCOMPARE(keys.count(), 1);
        QCOMPARE(keys.at(0).at(0).toInt(), code);
    }
}

void TestRichTextBox::keyPressComesBeforeTheKeyActs()
{
    RichTextBox box;
    box.setText(QStringLiteral("ab"));
    box.setSelStart(1);
    QStringList seen;
    connect(&box, &RichTextBox::KeyPress, &box, [&](int code) { seen << QString::number(code) + u':' + box.Text(); });
    QTest::keyClick(&box, Qt::Key_X);
    QTest::keyClick(&box, Qt::Key_Backspace);
    QTest::keyClick(&box, Qt::Key_Home);
    QTest::keyClick(&box, Qt::Key_Backspace); // removes nothing, still a key press
    QCOMPARE(seen, (QStringList{QStringLiteral("120:ab"), QStringLiteral("8:axb"), QStringLiteral("8:ab")}));
    QCOMPARE(box.Text(), QStringLiteral("ab"));
}

void TestRichTextBox::menuShortcutsReachTheMenu_data()
{
    QTest::addColumn<QKeySequence>("shortcut");
    QTest::addColumn<bool>("declared");
    QTest::addColumn<int>("triggered");
    const QKeySequence cut(Qt::CTRL | Qt::Key_X), copy(Qt::CTRL | Qt::Key_C), paste(Qt::SHIFT | Qt::Key_Insert),
        again(Qt::Key_F3);
    QTest::newRow("Ctrl+X") << cut << true << 1;
    QTest::newRow("Ctrl+C") << copy << true << 1;
    QTest::newRow("Shift+Insert") << paste << true << 1;
    QTest::newRow("F3") << again << true << 1;
    // The text control claims these for itself unless told they are the menu's.
    QTest::newRow("Ctrl+X, not declared") << cut << false << 0;
}

void TestRichTextBox::menuShortcutsReachTheMenu()
{
    QFETCH(QKeySequence, shortcut);
    QFETCH(bool, declared);
    QFETCH(int, triggered);
    QGuiApplication::clipboard()->setText(QStringLiteral("CLIP"));
    QMainWindow window;
    auto* box = new RichTextBox(&window);
    window.setCentralWidget(box);
    QAction* item = window.menuBar()->addMenu(QStringLiteral("Edit"))->addAction(QStringLiteral("Item"));
    item->setShortcut(shortcut);
    item->setShortcutContext(Qt::WindowShortcut);
    if (declared)
        box->setMenuShortcuts({shortcut});
    box->setText(QStringLiteral("select me"));
    box->setSelStart(0);
    box->setSelLength(6);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    box->setFocus();
    QTRY_VERIFY(box->hasFocus());

    QSignalSpy spy(item, &QAction::triggered);
    QSignalSpy keys(box, &RichTextBox::KeyPress);
    const QKeyCombination key = shortcut[0];
    QTest::keyClick(box, key.key(), key.keyboardModifiers());
    QCOMPARE(spy.count(), triggered);
    if (triggered) {
        // the menu's command ran instead of the control's own
        QCOMPARE(box->Text(), QStringLiteral("select me"));
        QCOMPARE(box->SelLength(), 6);
        QCOMPARE(keys.count(), 0);
    } else {
        QVERIFY(box->Text() != QStringLiteral("select me"));
    }
}

// ---- clipboard and drop ---------------------------------------------------------

void TestRichTextBox::pasteAndDropTakePlainTextOnly()
{
    RichTextBox box;
    box.setText(QStringLiteral("[]"));
    box.setSelStart(1);
    QGuiApplication::clipboard()->setMimeData(htmlAndText());
    QTest::keyClick(&box, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(box.Text(), QStringLiteral("[plain\r\nline]"));
    for (int i = 1; i < 11; ++i) {
        const QTextCharFormat format = formatAt(box, i);
        QVERIFY(format.fontWeight() != QFont::Bold);
        QVERIFY(!format.fontItalic());
        QVERIFY(format.fontPointSize() != 40);
    }

    // HTML without text brings nothing
    auto htmlOnly = std::make_unique<QMimeData>();
    htmlOnly->setHtml(QStringLiteral("<b>rich</b>"));
    QGuiApplication::clipboard()->setMimeData(htmlOnly.release());
    QVERIFY(!box.canPaste());
    QTest::keyClick(&box, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(box.Text(), QStringLiteral("[plain\r\nline]"));

    // a drop from another program
    std::unique_ptr<QMimeData> dropped(htmlAndText());
    box.setText(QStringLiteral("x"));
    const QPoint at = box.cursorRect(QTextCursor(box.document())).center();
    QDragEnterEvent enter(at, Qt::CopyAction, dropped.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(box.viewport(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, dropped.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(box.viewport(), &drop);
    QCOMPARE(box.Text(), QStringLiteral("plain\r\nlinex"));
    QVERIFY(formatAt(box, 0).fontWeight() != QFont::Bold);
}

void TestRichTextBox::copyGivesPlainTextWithLf()
{
    RichTextBox box;
    box.setText(QStringLiteral("one\r\ntw\u00A0o\u2028three"));
    box.setSelStart(1);
    box.setSelLength(12);
    box.copy();
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    QVERIFY(data);
    QCOMPARE(data->formats(), QStringList{QStringLiteral("text/plain")});
    QCOMPARE(data->text(), QStringLiteral("ne\ntw\u00A0o\nthre"));
}

// The control keeps the text it searched until the document changes.
void TestRichTextBox::findSeesEveryEditSinceTheLastFind()
{
    RichTextBox box;
    box.setText(QStringLiteral("alpha beta"));
    QCOMPARE(box.Find(QStringLiteral("gamma"), 0), -1);
    box.setSelStart(5);
    QTest::keyClicks(&box, QStringLiteral(" gamma"));
    QCOMPARE(box.Find(QStringLiteral("gamma"), 0), 6);
    QCOMPARE(box.SelLength(), 5);
    box.setSelStart(0);
    box.setSelLength(5);
    box.setSelText(QStringLiteral("x"));
    QCOMPARE(box.Find(QStringLiteral("gamma"), 0), 2);
    QTest::keyClick(&box, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(box.Find(QStringLiteral("gamma"), 0), 6);
    box.setText(QString());
    QCOMPARE(box.Find(QStringLiteral("gamma"), 0), -1);
}

// An inline image is an object of the document: plain text, a save and the clipboard
// get the characters around it only.
void TestRichTextBox::imagesAreNoText()
{
    RichTextBox box;
    box.setText(QStringLiteral("ab\r\ncd"));
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::red);
    box.document()->addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("img")), image);
    QTextCursor cursor(box.document());
    cursor.setPosition(1);
    QTextImageFormat format;
    format.setName(QStringLiteral("img"));
    cursor.insertImage(format);
    QCOMPARE(box.TextLength(), 6);
    QCOMPARE(box.Text(), QStringLiteral("ab\r\ncd"));
    box.setSelStart(0);
    box.setSelLength(4);
    QCOMPARE(box.SelText(), QStringLiteral("ab\r\n"));
}

// ---- selection ------------------------------------------------------------------

void TestRichTextBox::selection_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("readStart");
    QTest::addColumn<int>("readLength");
    QTest::addColumn<QString>("selected");
    // The document is "ab\r\ncd": five positions, the line break one of them.
    QTest::newRow("caret only") << 1 << 0 << 1 << 0 << QString();
    QTest::newRow("one character") << 0 << 1 << 0 << 1 << QStringLiteral("a");
    QTest::newRow("over the line break") << 1 << 3 << 1 << 3 << QStringLiteral("b\r\nc");
    QTest::newRow("the line break alone") << 2 << 1 << 2 << 1 << QStringLiteral("\r\n");
    QTest::newRow("all") << 0 << 5 << 0 << 5 << QStringLiteral("ab\r\ncd");
    QTest::newRow("length beyond the end") << 3 << 100 << 3 << 2 << QStringLiteral("cd");
    QTest::newRow("start beyond the end") << 99 << 2 << 5 << 0 << QString();
    QTest::newRow("negative start") << -7 << 2 << 0 << 2 << QStringLiteral("ab");
    QTest::newRow("negative length") << 2 << -3 << 2 << 0 << QString();
    QTest::newRow("largest length") << 1 << std::numeric_limits<int>::max() << 1 << 4 << QStringLiteral("b\r\ncd");
    QTest::newRow("smallest start") << std::numeric_limits<int>::min() << 1 << 0 << 1 << QStringLiteral("a");
}

void TestRichTextBox::selection()
{
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(int, readStart);
    QFETCH(int, readLength);
    QFETCH(QString, selected);
    RichTextBox box;
    box.setText(QStringLiteral("ab\r\ncd"));
    // an earlier selection must not survive writing the start
    box.setSelStart(0);
    box.setSelLength(5);
    box.setSelStart(start);
    QCOMPARE(box.SelStart(), readStart);
    QCOMPARE(box.SelLength(), 0);
    QCOMPARE(box.SelText(), QString());
    QCOMPARE(box.textCursor().position(), readStart);
    box.setSelLength(length);
    QCOMPARE(box.SelStart(), readStart);
    QCOMPARE(box.SelLength(), readLength);
    QCOMPARE(box.SelText(), selected);
    // writing 0 leaves nothing selected
    box.setSelLength(0);
    QCOMPARE(box.SelText(), QString());
    QCOMPARE(box.SelStart(), readStart);
}

void TestRichTextBox::setSelText_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("inserted");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("caret");
    // The document is "ab\r\ncd".
    QTest::newRow("insert at the caret") << 1 << 0 << QStringLiteral("XY") << QStringLiteral("aXYb\r\ncd") << 3;
    QTest::newRow("insert at the end") << 5 << 0 << QStringLiteral("!") << QStringLiteral("ab\r\ncd!") << 6;
    QTest::newRow("replace the selection") << 1 << 3 << QStringLiteral("-") << QStringLiteral("a-d") << 2;
    QTest::newRow("delete the selection") << 0 << 2 << QString() << QStringLiteral("\r\ncd") << 0;
    QTest::newRow("CR LF") << 0 << 0 << QStringLiteral("1\r\n2") << QStringLiteral("1\r\n2ab\r\ncd") << 3;
    QTest::newRow("lone LF") << 0 << 0 << QStringLiteral("1\n2") << QStringLiteral("1\r\n2ab\r\ncd") << 3;
    QTest::newRow("lone CR") << 0 << 0 << QStringLiteral("1\r2") << QStringLiteral("1\r\n2ab\r\ncd") << 3;
    QTest::newRow("CR CR LF") << 0 << 0 << QStringLiteral("\r\r\n") << QStringLiteral("\r\n\r\nab\r\ncd") << 2;
    QTest::newRow("frame marker") << 1 << 0 << QStringLiteral("\uFDD0") << QStringLiteral("a\uFFFDb\r\ncd") << 2;
    QTest::newRow("every character kept")
        << 2 << 0 << QStringLiteral("\u00A0\t\u0081") << QStringLiteral("ab\u00A0\t\u0081\r\ncd") << 5;
}

void TestRichTextBox::setSelText()
{
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(QString, inserted);
    QFETCH(QString, text);
    QFETCH(int, caret);
    RichTextBox box;
    box.setText(QStringLiteral("ab\r\ncd"));
    box.setSelStart(start);
    box.setSelLength(length);
    box.setSelText(inserted);
    QCOMPARE(box.Text(), text);
    QCOMPARE(box.SelStart(), caret);
    QCOMPARE(box.SelLength(), 0);
}

// ---- fonts ----------------------------------------------------------------------

void TestRichTextBox::selectionFontAppliesToTheSelectionOnly()
{
    RichTextBox box;
    box.setText(QStringLiteral("abc\r\ndef"));
    const QTextCharFormat before = formatAt(box, 0);
    box.setSelStart(2);
    box.setSelLength(4); // "c", the line break, "de"
    box.setSelFontName(QStringLiteral("DejaVu Serif"));
    box.setSelFontSize(21.5);
    for (int i = 0; i < box.TextLength(); ++i) {
        const QTextCharFormat format = formatAt(box, i);
        const bool selected = i >= 2 && i < 6;
        if (i == 3)
            continue; // the line break has no character format of its own
        QCOMPARE(format.fontFamilies().toStringList().value(0) == QStringLiteral("DejaVu Serif"), selected);
        QCOMPARE(format.fontPointSize() == 21.5, selected);
        if (!selected)
            QCOMPARE(format.fontPointSize(), before.fontPointSize());
    }
    // the selection stays as it was
    QCOMPARE(box.SelStart(), 2);
    QCOMPARE(box.SelLength(), 4);
    QCOMPARE(box.Text(), QStringLiteral("abc\r\ndef"));

    // sizes that no font has leave the text as it is
    box.setSelFontSize(0);
    box.setSelFontSize(-3);
    QCOMPARE(formatAt(box, 2).fontPointSize(), 21.5);
}

void TestRichTextBox::selectionFontWithNothingSelectedIsForTyping()
{
    RichTextBox box;
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    box.setText(QString());
    box.setSelFontName(QStringLiteral("DejaVu Serif"));
    box.setSelFontSize(30);
    QCOMPARE(box.Text(), QString());
    // the empty paragraph carries the font, so it lasts however the caret moves
    QCOMPARE(box.document()->firstBlock().charFormat().fontPointSize(), 30.0);
    box.setSelStart(0);
    QTest::keyClicks(&box, QStringLiteral("hi"));
    QCOMPARE(box.Text(), QStringLiteral("hi"));
    for (int i = 0; i < 2; ++i) {
        QCOMPARE(formatAt(box, i).fontFamilies().toStringList().value(0), QStringLiteral("DejaVu Serif"));
        QCOMPARE(formatAt(box, i).fontPointSize(), 30.0);
    }

    // in the middle of text, only what is typed there takes it
    box.setText(QStringLiteral("abc"));
    box.setSelStart(1);
    box.setSelFontSize(40);
    QTest::keyClick(&box, Qt::Key_X);
    QCOMPARE(box.Text(), QStringLiteral("axbc"));
    QCOMPARE(formatAt(box, 1).fontPointSize(), 40.0);
    for (int i : {0, 2, 3})
        QVERIFY(formatAt(box, i).fontPointSize() != 40.0);
}

// ---- files ----------------------------------------------------------------------

void TestRichTextBox::loadFile_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("failure"); // 0: loads
    QTest::addColumn<QString>("text");
    const QString rtf = dir_.filePath(QStringLiteral("markup.rtf"));
    writeFile(rtf, QByteArrayLiteral("{\\rtf1\\ansi {\\b bold}\\par }\n"));
    const QString bytes = dir_.filePath(QStringLiteral("every byte.bin"));
    writeFile(bytes, allBytes());
    const QString empty = dir_.filePath(QStringLiteral("empty.txt"));
    writeFile(empty, QByteArray());
    QTest::newRow("markup shows as characters") << rtf << 0 << QStringLiteral("{\\rtf1\\ansi {\\b bold}\\par }\r\n");
    QTest::newRow("every byte") << bytes << 0 << withCrLf(Codec8Bit::decode(allBytes()));
    QTest::newRow("empty file") << empty << 0 << QString();
    QTest::newRow("missing file") << dir_.filePath(QStringLiteral("missing.txt")) << 53 << QStringLiteral("kept");
    QTest::newRow("missing folder") << dir_.filePath(QStringLiteral("no/such.txt")) << 76 << QStringLiteral("kept");
    QTest::newRow("empty path") << QString() << 53 << QStringLiteral("kept");
    QTest::newRow("a folder") << dir_.path() << 75 << QStringLiteral("kept");
}

void TestRichTextBox::loadFile()
{
    QFETCH(QString, path);
    QFETCH(int, failure);
    QFETCH(QString, text);
    RichTextBox box;
    box.setText(QStringLiteral("kept"));
    QSignalSpy user(&box, &RichTextBox::UserChanged);
    const std::optional<Failure> result = box.LoadFile(path);
    QCOMPARE(result ? result->number : 0, failure);
    if (result)
        QVERIFY(!result->description.isEmpty());
    QCOMPARE(box.Text(), text);
    QCOMPARE(user.count(), 0);
}

// ---- placement ------------------------------------------------------------------

void TestRichTextBox::placement_data()
{
    // in pixels, so that the cases hold at any resolution
    QTest::addColumn<QRectF>("requested");
    QTest::addColumn<QRect>("placed");
    QTest::newRow("inside") << QRectF(10, 20, 200, 100) << QRect(10, 20, 200, 100);
    QTest::newRow("whole parent") << QRectF(0, 0, 400, 300) << QRect(0, 0, 400, 300);
    QTest::newRow("fractions round") << QRectF(0.4, 0.6, 99.6, 50.2) << QRect(0, 1, 100, 50);
    QTest::newRow("wider than the parent") << QRectF(0, 40, 585, 345) << QRect(0, 40, 400, 260);
    QTest::newRow("negative size") << QRectF(5, 5, -20, -1) << QRect(5, 5, 0, 0);
    QTest::newRow("beyond the parent") << QRectF(450, 10, 50, 50) << QRect(450, 10, 0, 50);
}

void TestRichTextBox::placement()
{
    QFETCH(QRectF, requested);
    QFETCH(QRect, placed);
    QWidget parent;
    parent.resize(400, 300);
    auto* box = new RichTextBox(&parent);
    const double left = Twips::fromPixelsX(requested.x()), top = Twips::fromPixelsY(requested.y());
    const double width = Twips::fromPixelsX(requested.width()), height = Twips::fromPixelsY(requested.height());
    box->setLeft(left);
    box->setTop(top);
    box->setWidth(width);
    box->setHeight(height);
    QCOMPARE(box->geometry(), placed);
    // the twips as given, fractions and all
    QCOMPARE(box->Left(), left);
    QCOMPARE(box->Top(), top);
    QCOMPARE(box->Width(), width);
    QCOMPARE(box->Height(), height);
}

void TestRichTextBox::placementFollowsTheParentsSize()
{
    QWidget parent;
    parent.resize(300, 200);
    parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&parent));
    auto* box = new RichTextBox(&parent);
    box->setTop(Twips::fromPixelsY(30));
    box->setWidth(Twips::fromPixelsX(500));
    box->setHeight(Twips::fromPixelsY(400));
    QCOMPARE(box->geometry(), QRect(0, 30, 300, 170));
    parent.resize(600, 300);
    QCOMPARE(box->geometry(), QRect(0, 30, 500, 270));
    parent.resize(100, 20);
    QCOMPARE(box->geometry(), QRect(0, 30, 100, 0));
    // also under a new parent
    QWidget other;
    other.resize(250, 130);
    other.show();
    QVERIFY(QTest::qWaitForWindowExposed(&other));
    box->setParent(&other);
    QCOMPARE(box->geometry(), QRect(0, 30, 250, 100));
    parent.resize(700, 700);
    QCOMPARE(box->geometry(), QRect(0, 30, 250, 100));
    other.resize(260, 500);
    QCOMPARE(box->geometry(), QRect(0, 30, 260, 400));
    delete box;
}

void TestRichTextBox::accessible()
{
    RichTextBox box;
    box.setText(QStringLiteral("read me\r\nplease"));
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&box);
    QVERIFY(iface);
    QVERIFY(!iface->text(QAccessible::Name).isEmpty());
    QAccessibleTextInterface* text = iface->textInterface();
    QVERIFY(text);
    QCOMPARE(text->characterCount(), box.TextLength());
    QVERIFY(text->text(0, 7) == QStringLiteral("read me"));
}

QTEST_MAIN(TestRichTextBox)
#include "tst_richtextbox.moc"
