#include "FormFixture.h"

#include "platform/RichTextBox.h"

#include <QAction>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <optional>
#include <vector>

namespace {

// One character as the screen shows it.
struct Shown {
    QChar character;
    QString family;
    double points = 0;
    int weight = 0;
    bool italic = false;
    bool underline = false;
    QColor colour;
};

std::vector<Shown> shownCharacters(const QTextDocument& document)
{
    std::vector<Shown> shown;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            const QFont font = format.font();
            for (QChar c : fragment.text())
                shown.push_back({c, font.family(), font.pointSizeF(), font.weight(), font.italic(), font.underline(),
                                 format.foreground().color()});
        }
    }
    return shown;
}

// Two paragraphs in three fonts, with bold, italic, underline and colour.
void fillWithSeveralFonts(RichTextBox& box)
{
    box.setText(QString());
    QTextCursor cursor(box.document());
    QTextCharFormat plain;
    // The single-family property, as older formatted text carries it.
    plain.setProperty(QTextFormat::FontFamily, QStringLiteral("DejaVu Sans"));
    plain.setFontPointSize(10);
    cursor.insertText(QStringLiteral("Plain "), plain);
    QTextCharFormat bold;
    bold.setFontFamilies({QStringLiteral("DejaVu Serif")});
    bold.setFontPointSize(14);
    bold.setFontWeight(QFont::Bold);
    cursor.insertText(QStringLiteral("bold"), bold);
    cursor.insertBlock();
    QTextCharFormat marked;
    marked.setFontFamilies({QStringLiteral("DejaVu Sans Mono")});
    marked.setFontPointSize(8);
    marked.setFontItalic(true);
    marked.setFontUnderline(true);
    marked.setForeground(QColor(Qt::red));
    cursor.insertText(QStringLiteral("italic underlined red"), marked);
}

constexpr int SeveralFontsLength = 6 + 4 + 1 + 21;

#define VERIFY_NOTHING_UNEXPECTED(f)                                                                                   \
    do {                                                                                                               \
        QVERIFY2((f).host.unexpected.isEmpty(), qPrintable((f).host.unexpected.join(QLatin1Char('\n'))));              \
        QVERIFY((f).host.shownMessages.empty());                                                                       \
    } while (false)

} // namespace

Q_DECLARE_METATYPE(FontChoice)
Q_DECLARE_METATYPE(std::optional<FontChoice>)

class TestFont : public QObject {
    Q_OBJECT

private slots:
    void wholeDocumentGetsNameAndSizeOnly_data();
    void wholeDocumentGetsNameAndSizeOnly();
    void emptyDocument();
    void cancelledDialogChangesNothing_data();
    void cancelledDialogChangesNothing();
    void dialogKeepsItsSettingsBetweenShowings();
};

void TestFont::wholeDocumentGetsNameAndSizeOnly_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("textChanged");
    QTest::addColumn<FontChoice>("choice");

    const FontChoice serif20{QStringLiteral("DejaVu Serif"), 20, false, false};
    const FontChoice monoBoldItalic{QStringLiteral("DejaVu Sans Mono"), 10.5, true, true};
    // clang-format off
    QTest::newRow("selection inside the text") << 3 << 6 << false << serif20;
    QTest::newRow("selection across the paragraphs") << 8 << 10 << true << serif20;
    QTest::newRow("caret at the start") << 0 << 0 << false << serif20;
    QTest::newRow("caret at the end") << SeveralFontsLength << 0 << true << serif20;
    QTest::newRow("everything selected") << 0 << SeveralFontsLength << false << serif20;
    QTest::newRow("bold italic chosen: only name and size") << 3 << 6 << false << monoBoldItalic;
    // clang-format on
}

void TestFont::wholeDocumentGetsNameAndSizeOnly()
{
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(bool, textChanged);
    QFETCH(FontChoice, choice);

    FormFixture f;
    RichTextBox& box = *f.form->RichTextBox1;
    fillWithSeveralFonts(box);
    QCOMPARE(box.TextLength(), SeveralFontsLength);
    box.setSelStart(start);
    box.setSelLength(length);
    App.TextChanged = textChanged;
    const QString textBefore = box.Text();
    const std::vector<Shown> before = shownCharacters(*box.document());
    f.host.fontAnswers.push_back(choice);

    f.form->OptionsFont();

    QCOMPARE(f.host.shownFontDialogs.size(), size_t(1));
    QCOMPARE(f.host.shownFontDialogs.front().flags, 1);
    QCOMPARE(f.form->CommonDialog1.Flags, 1);
    QCOMPARE(box.Text(), textBefore);
    const std::vector<Shown> after = shownCharacters(*box.document());
    QCOMPARE(after.size(), before.size());
    for (size_t i = 0; i < after.size(); ++i) {
        const QString where = QStringLiteral("character %1 '%2'").arg(i).arg(after[i].character);
        QVERIFY2(after[i].family == choice.name, qPrintable(where + QStringLiteral(": ") + after[i].family));
        QVERIFY2(after[i].points == choice.size, qPrintable(where + QStringLiteral(": %1 pt").arg(after[i].points)));
        // Everything else stays as it was, whatever style the dialog offered.
        QVERIFY2(after[i].weight == before[i].weight, qPrintable(where));
        QVERIFY2(after[i].italic == before[i].italic, qPrintable(where));
        QVERIFY2(after[i].underline == before[i].underline, qPrintable(where));
        QVERIFY2(after[i].colour == before[i].colour, qPrintable(where));
    }
    // Nothing selected; the caret where the selection began.
    QCOMPARE(box.SelStart(), start);
    QCOMPARE(box.SelLength(), 0);
    QCOMPARE(App.TextChanged, textChanged);
    VERIFY_NOTHING_UNEXPECTED(f);
}

void TestFont::emptyDocument()
{
    FormFixture f;
    RichTextBox& box = *f.form->RichTextBox1;
    box.setText(QString());
    App.TextChanged = false;
    f.host.fontAnswers.push_back(FontChoice{QStringLiteral("DejaVu Serif"), 20, true, false});

    f.form->Toolbar1_ButtonClick(QStringLiteral("bFont"));

    QCOMPARE(f.host.shownFontDialogs.size(), size_t(1));
    QCOMPARE(box.TextLength(), 0);
    QCOMPARE(box.SelStart(), 0);
    QCOMPARE(box.SelLength(), 0);
    QVERIFY(!App.TextChanged);
    VERIFY_NOTHING_UNEXPECTED(f);

    // What the user types next comes in the chosen font, without the bold.
    QTest::keyClicks(&box, QStringLiteral("abc"));
    QCOMPARE(box.Text(), QStringLiteral("abc"));
    const std::vector<Shown> typed = shownCharacters(*box.document());
    QCOMPARE(typed.size(), size_t(3));
    for (const Shown& c : typed) {
        QCOMPARE(c.family, QStringLiteral("DejaVu Serif"));
        QCOMPARE(c.points, 20.0);
        QVERIFY(c.weight != QFont::Bold);
    }
}

void TestFont::cancelledDialogChangesNothing_data()
{
    QTest::addColumn<bool>("cancelError");
    QTest::addColumn<std::optional<FontChoice>>("earlierChoice");

    const FontChoice serif{QStringLiteral("DejaVu Serif"), 16, false, false};
    QTest::newRow("first showing") << false << std::optional<FontChoice>();
    QTest::newRow("after an earlier choice") << false << std::optional<FontChoice>(serif);
    QTest::newRow("cancel reporting on, after Save As") << true << std::optional<FontChoice>();
    QTest::newRow("cancel reporting on, after an earlier choice") << true << std::optional<FontChoice>(serif);
}

void TestFont::cancelledDialogChangesNothing()
{
    QFETCH(bool, cancelError);
    QFETCH(std::optional<FontChoice>, earlierChoice);

    FormFixture f;
    RichTextBox& box = *f.form->RichTextBox1;
    if (earlierChoice) {
        // The earlier choice went to another text; the one now shown is new.
        f.host.fontAnswers.push_back(*earlierChoice);
        f.form->OptionsFont();
    }
    fillWithSeveralFonts(box);
    box.setSelStart(3);
    box.setSelLength(6);
    App.TextChanged = true;
    f.form->CommonDialog1.CancelError = cancelError;
    const std::vector<Shown> before = shownCharacters(*box.document());
    f.host.fontAnswers.push_back(std::nullopt);

    f.form->OptionsFont();

    QCOMPARE(f.host.shownFontDialogs.size(), size_t(earlierChoice ? 2 : 1));
    const std::vector<Shown> after = shownCharacters(*box.document());
    QCOMPARE(after.size(), before.size());
    for (size_t i = 0; i < after.size(); ++i) {
        QCOMPARE(after[i].family, before[i].family);
        QCOMPARE(after[i].points, before[i].points);
    }
    QCOMPARE(box.SelStart(), 3);
    QCOMPARE(box.SelLength(), 6);
    QVERIFY(App.TextChanged);
    VERIFY_NOTHING_UNEXPECTED(f);
}

void TestFont::dialogKeepsItsSettingsBetweenShowings()
{
    FormFixture f;
    fillWithSeveralFonts(*f.form->RichTextBox1);
    f.host.fontAnswers.push_back(FontChoice{QStringLiteral("DejaVu Serif"), 16, false, false});
    f.form->menuItem(QStringLiteral("OptionsFont"))->trigger();
    f.host.fontAnswers.push_back(FontChoice{QStringLiteral("DejaVu Sans Mono"), 9, false, false});
    f.form->OptionsFont();

    QCOMPARE(f.host.shownFontDialogs.size(), size_t(2));
    QCOMPARE(f.host.shownFontDialogs[1].fontName, QStringLiteral("DejaVu Serif"));
    QCOMPARE(f.host.shownFontDialogs[1].fontSize, 16.0);
    QCOMPARE(f.host.shownFontDialogs[1].flags, 1);
    for (const Shown& c : shownCharacters(*f.form->RichTextBox1->document())) {
        QCOMPARE(c.family, QStringLiteral("DejaVu Sans Mono"));
        QCOMPARE(c.points, 9.0);
    }
    VERIFY_NOTHING_UNEXPECTED(f);
}

QTEST_MAIN(TestFont)
#include "tst_font.moc"
