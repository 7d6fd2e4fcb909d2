// The main window as it is created: caption, icon, menus, toolbar, status bar, the
// editing area's font and focus, and what a screen reader learns of each control.
#include "FormFixture.h"

#include "platform/RichTextBox.h"
#include "platform/StatusBar.h"
#include "platform/Toolbar.h"
#include "platform/Twips.h"
#include "ui/Icons.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QSignalSpy>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolButton>
#include <QToolTip>

#include <cmath>

namespace {

const QStringList ButtonKeys = {"bNew",   "bOpen", "bSave", "bCut",   "bCopy",
                                "bPaste", "bFind", "bFont", "bPrint", "bExit"};
const QStringList ButtonCaptions = {"New", "Open", "Save", "Cut", "Copy", "Paste", "Find", "Font", "Print", "Exit"};

QString accessibleText(QObject* object, QAccessible::Text kind = QAccessible::Name)
{
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(object);
    return iface ? iface->text(kind) : QStringLiteral("<no interface>");
}

QList<QToolButton*> toolbarButtons(const Form1& form)
{
    QList<QToolButton*> buttons;
    for (QAction* action : form.Toolbar1->actions())
        if (auto* button = qobject_cast<QToolButton*>(form.Toolbar1->widgetForAction(action)))
            buttons << button;
    return buttons;
}

void showAndActivate(Form1& form)
{
    form.show();
    QApplication::setActiveWindow(&form);
    QVERIFY(QTest::qWaitForWindowActive(&form));
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void captionAndIcon();
    void installedIconsAreTheWindowIcon_data();
    void installedIconsAreTheWindowIcon();
    void menuBarEntries();
    void menuItems_data();
    void menuItems();
    void aboutAndHelpRunFromTheBar();
    void altFOpensTheFileMenu();
    void shortcutsReachTheMenuWhileTheEditorHasTheFocus_data();
    void shortcutsReachTheMenuWhileTheEditorHasTheFocus();
    void toolbarButtons();
    void toolbarShowsNoTooltips();
    void toolbarImagesAreDrawnOnTheMaskColour();
    void statusBarPanels();
    void editorHasTheFocusAndTypesInItsFont();
    void accessibleNames();
};

void MainWindowTest::captionAndIcon()
{
    FormFixture f;
    QCOMPARE(f.form->windowTitle(), QStringLiteral("Corvana"));
    const QList<QSize> sizes = f.form->windowIcon().availableSizes();
    QVERIFY(sizes.contains(QSize(32, 32)));
    QVERIFY(sizes.contains(QSize(16, 16)));
    for (int size : {32, 16}) {
        const QImage image = Icons::windowIconImage(size);
        QCOMPARE(image.size(), QSize(size, size));
        QSet<QRgb> colours;
        int transparent = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const QRgb pixel = image.pixel(x, y);
                if (qAlpha(pixel) == 0)
                    ++transparent;
                else
                    colours.insert(pixel);
            }
        QVERIFY2(colours.size() <= 16, qPrintable(QString::number(colours.size())));
        // A notebook with a white label on a dark marbled cover, standing free.
        QVERIFY(colours.contains(qRgb(255, 255, 255)) && colours.contains(qRgb(0, 0, 0)));
        QVERIFY(transparent > 0 && transparent < size * size / 2);
    }
}

void MainWindowTest::installedIconsAreTheWindowIcon_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("drawnAt"); // the pixel art it is an exact enlargement of
    QTest::newRow("16") << 16 << 16;
    QTest::newRow("32") << 32 << 32;
    QTest::newRow("48") << 48 << 16;
    QTest::newRow("64") << 64 << 32;
    QTest::newRow("128") << 128 << 32;
}

void MainWindowTest::installedIconsAreTheWindowIcon()
{
    QFETCH(int, size);
    QFETCH(int, drawnAt);
    const QString path = QStringLiteral(CORVANA_FIXTURES "/../../data/icons/hicolor/%1x%1/apps/corvana.png").arg(size);
    const QImage installed(path);
    QVERIFY2(!installed.isNull(), qPrintable(path));
    QCOMPARE(installed.size(), QSize(size, size));
    const QImage drawn = Icons::windowIconImage(drawnAt);
    const int scale = size / drawnAt;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const QRgb a = installed.pixel(x, y), b = drawn.pixel(x / scale, y / scale);
            QCOMPARE(qAlpha(a), qAlpha(b));
            if (qAlpha(b) != 0)
                QCOMPARE(a, b);
        }
}

void MainWindowTest::menuBarEntries()
{
    FormFixture f;
    const QList<QAction*> entries = f.form->menuBar()->actions();
    QStringList captions;
    for (QAction* a : entries)
        captions << a->text();
    QCOMPARE(captions, (QStringList{"&File", "Edit", "Search", "Options", "About", "Help"}));
    for (int i = 0; i < entries.size(); ++i) {
        // The first four open menus; About and Help are commands on the bar itself.
        QCOMPARE(entries[i]->menu() != nullptr, i < 4);
        QVERIFY(entries[i]->isEnabled() && entries[i]->isVisible() && !entries[i]->isCheckable());
    }
}

void MainWindowTest::menuItems_data()
{
    QTest::addColumn<int>("menu");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<QStringList>("shortcuts");

    QTest::newRow("File") << 0 << QStringList{"FileNew", "FileOpen", "FileSave", "FileSaveAs", "FilePrint", "FileExit"}
                          << QStringList{"New", "&Open", "&Save", "Save As", "Print", "E&xit"}
                          << QStringList{"", "", "", "", "", ""};
    QTest::newRow("Edit") << 1 << QStringList{"EditCut", "EditCopy", "EditPaste"} << QStringList{"Cut", "Copy", "Paste"}
                          << QStringList{"Ctrl+X", "Ctrl+C", "Shift+Ins"};
    QTest::newRow("Search") << 2 << QStringList{"SearchFind", "SearchAgain"} << QStringList{"Find", "Find Again"}
                            << QStringList{"", "F3"};
    QTest::newRow("Options") << 3 << QStringList{"OptionsFont"} << QStringList{"Font"} << QStringList{""};
}

void MainWindowTest::menuItems()
{
    QFETCH(int, menu);
    QFETCH(QStringList, names);
    QFETCH(QStringList, captions);
    QFETCH(QStringList, shortcuts);

    FormFixture f;
    QMenu* dropDown = f.form->menuBar()->actions().at(menu)->menu();
    QVERIFY(dropDown);
    const QList<QAction*> items = dropDown->actions();
    QCOMPARE(items.size(), names.size()); // no separators in between either
    for (int i = 0; i < items.size(); ++i) {
        QAction* item = items[i];
        QCOMPARE(item->objectName(), names[i]);
        QCOMPARE(f.form->menuItem(names[i]), item);
        QCOMPARE(item->text(), captions[i]);
        QVERIFY(!item->isSeparator());
        QVERIFY(item->isEnabled() && item->isVisible() && !item->isCheckable());
        QCOMPARE(item->shortcut().toString(QKeySequence::PortableText), shortcuts[i]);
        // The menu shows the shortcut beside the caption: a screen reader reads it too.
        QAccessibleInterface* menuIface = QAccessible::queryAccessibleInterface(dropDown);
        QVERIFY(menuIface);
        QAccessibleInterface* itemIface = menuIface->child(i);
        QVERIFY(itemIface);
        QCOMPARE(itemIface->text(QAccessible::Name), QString(captions[i]).remove(QLatin1Char('&')));
        if (!shortcuts[i].isEmpty())
            QCOMPARE(itemIface->text(QAccessible::Accelerator), item->shortcut().toString(QKeySequence::NativeText));
    }
}

void MainWindowTest::aboutAndHelpRunFromTheBar()
{
    FormFixture f;
    showAndActivate(*f.form);
    QMenuBar* bar = f.form->menuBar();
    QAction* about = f.form->menuItem(QStringLiteral("About"));
    QAction* help = f.form->menuItem(QStringLiteral("Help"));
    QVERIFY(about && help);

    f.host.dialogActions.push_back([](QDialog& d) { d.accept(); });
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(about).center());
    QCOMPARE(f.host.shownDialogs, (std::vector<QString>{"frmAbout"}));
    QVERIFY(!QApplication::activePopupWidget()); // no drop-down opened

    f.host.messageAnswers.push_back(MsgAnswer::OK);
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(help).center());
    QCOMPARE(f.host.shownMessages.size(), std::size_t(1));
    QCOMPARE(f.host.shownMessages[0].title, QStringLiteral("Corvana Help"));
    QVERIFY(!QApplication::activePopupWidget());
    QVERIFY2(f.host.unexpected.isEmpty(), qPrintable(f.host.unexpected.join(", ")));
}

void MainWindowTest::altFOpensTheFileMenu()
{
    FormFixture f;
    showAndActivate(*f.form);
    QTest::keyClick(f.form->RichTextBox1, Qt::Key_F, Qt::AltModifier);
    QMenu* file = f.form->menuBar()->actions().at(0)->menu();
    QTRY_VERIFY(file->isVisible());
    QCOMPARE(QApplication::activePopupWidget(), file);
    file->close();
}

void MainWindowTest::shortcutsReachTheMenuWhileTheEditorHasTheFocus_data()
{
    QTest::addColumn<QKeyCombination>("keys");
    QTest::addColumn<QString>("item");
    QTest::newRow("Ctrl+X") << QKeyCombination(Qt::ControlModifier, Qt::Key_X) << "EditCut";
    QTest::newRow("Ctrl+C") << QKeyCombination(Qt::ControlModifier, Qt::Key_C) << "EditCopy";
    QTest::newRow("Shift+Insert") << QKeyCombination(Qt::ShiftModifier, Qt::Key_Insert) << "EditPaste";
    QTest::newRow("F3") << QKeyCombination(Qt::NoModifier, Qt::Key_F3) << "SearchAgain";
}

void MainWindowTest::shortcutsReachTheMenuWhileTheEditorHasTheFocus()
{
    QFETCH(QKeyCombination, keys);
    QFETCH(QString, item);

    FormFixture f;
    showAndActivate(*f.form);
    QVERIFY(f.form->RichTextBox1->hasFocus());
    QSignalSpy triggered(f.form->menuItem(item), &QAction::triggered);
    QSignalSpy keyPress(f.form->RichTextBox1, &RichTextBox::KeyPress);
    QTest::keyClick(f.form->RichTextBox1, keys.key(), keys.keyboardModifiers());
    QCOMPARE(triggered.count(), 1);
    // A menu shortcut is the menu's, not a key press of the editing area.
    QCOMPARE(keyPress.count(), 0);
}

void MainWindowTest::toolbarButtons()
{
    FormFixture f;
    showAndActivate(*f.form);
    const QList<QToolButton*> buttons = ::toolbarButtons(*f.form);
    QCOMPARE(buttons.size(), 10);
    QStringList keys, captions;
    for (QToolButton* b : buttons) {
        keys << b->objectName();
        captions << b->text();
        QCOMPARE(b->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
        QCOMPARE(f.form->Toolbar1->button(b->objectName()), b);
        QVERIFY(!b->icon().isNull());
        QVERIFY(!b->isCheckable());
    }
    QCOMPARE(keys, ButtonKeys);
    QCOMPARE(captions, ButtonCaptions);
    // Along the top, no separators, each button where the one before it ends.
    for (QAction* a : f.form->Toolbar1->actions())
        QVERIFY(!a->isSeparator());
    for (int i = 1; i < buttons.size(); ++i)
        QCOMPARE(buttons[i]->geometry().left(), buttons[i - 1]->geometry().right() + 1);
    QCOMPARE(f.form->toolBarArea(f.form->Toolbar1), Qt::TopToolBarArea);
    QVERIFY(f.form->Toolbar1->geometry().bottom() < f.form->centralWidget()->geometry().top());
    // The image shows above the caption.
    QCOMPARE(f.form->Toolbar1->iconSize(), QSize(16, 16));
}

void MainWindowTest::toolbarShowsNoTooltips()
{
    FormFixture f;
    showAndActivate(*f.form);
    for (QToolButton* b : ::toolbarButtons(*f.form)) {
        QVERIFY(b->toolTip().isEmpty());
        const QPoint inside = b->rect().center();
        QHelpEvent rest(QEvent::ToolTip, inside, b->mapToGlobal(inside));
        QApplication::sendEvent(b, &rest);
        QVERIFY2(!QToolTip::isVisible(), qPrintable(b->objectName()));
        QVERIFY(QToolTip::text().isEmpty());
    }
}

void MainWindowTest::toolbarImagesAreDrawnOnTheMaskColour()
{
    FormFixture f;
    QCOMPARE(f.form->ImageList1.count(), 10);
    QSet<QByteArray> distinct;
    for (int i = 1; i <= 10; ++i) {
        const QImage drawn = Icons::toolbarImage(i);
        QCOMPARE(drawn.size(), QSize(16, 16));
        // The picture lies on light grey, which the image list makes transparent.
        QCOMPARE(drawn.pixel(0, 15), qRgb(192, 192, 192));
        const QImage shown = f.form->ImageList1.icon(i).pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
        int opaque = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const bool mask = drawn.pixel(x, y) == qRgb(192, 192, 192);
                QCOMPARE(qAlpha(shown.pixel(x, y)) == 0, mask);
                if (!mask) {
                    ++opaque;
                    QCOMPARE(shown.pixel(x, y), drawn.pixel(x, y));
                }
            }
        QVERIFY2(opaque >= 20, qPrintable(QString::number(i)));
        distinct.insert(QByteArray(reinterpret_cast<const char*>(drawn.constBits()), drawn.sizeInBytes()));
    }
    QCOMPARE(distinct.size(), 10);
    QVERIFY(Icons::toolbarImage(0).isNull() && Icons::toolbarImage(11).isNull());
}

void MainWindowTest::statusBarPanels()
{
    FormFixture f;
    showAndActivate(*f.form);
    StatusBar* bar = f.form->StatusBar1;
    QCOMPARE(bar->panelCount(), 3);
    QCOMPARE(bar->font().family(), QStringLiteral("MS Sans Serif"));
    QCOMPARE(bar->font().pointSizeF(), 9.75);
    QCOMPARE(bar->font().weight(), QFont::Normal);
    const int width = int(std::lround(Twips::toPixelsX(2700)));
    int right = -1;
    for (int i = 1; i <= 3; ++i) {
        QCOMPARE(bar->panelText(i), QString());
        auto* panel = bar->findChild<QLabel*>(QStringLiteral("Panel%1").arg(i));
        QVERIFY(panel);
        QCOMPARE(panel->width(), width);
        QCOMPARE(panel->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
        QVERIFY(panel->x() > right); // left to right
        right = panel->geometry().right();
    }
    // A long text does not widen its panel.
    bar->setPanelText(1, QString(200, QLatin1Char('x')));
    QCOMPARE(bar->findChild<QLabel*>(QStringLiteral("Panel1"))->width(), width);
    QCOMPARE(f.form->statusBar(), bar);
}

void MainWindowTest::editorHasTheFocusAndTypesInItsFont()
{
    FormFixture f;
    showAndActivate(*f.form);
    QCOMPARE(QApplication::focusWidget(), f.form->RichTextBox1);
    QCOMPARE(f.form->RichTextBox1->Text(), QString());
    QTest::keyClicks(f.form->RichTextBox1, QStringLiteral("Hello"));
    QCOMPARE(f.form->RichTextBox1->Text(), QStringLiteral("Hello"));
    QTextCursor cursor(f.form->RichTextBox1->document());
    cursor.setPosition(3);
    const QFont typed = cursor.charFormat().font();
    QCOMPARE(typed.families().value(0, typed.family()), QStringLiteral("MS Sans Serif"));
    QCOMPARE(typed.pointSizeF(), 12.0);
    QCOMPARE(typed.bold(), false);
    QCOMPARE(typed.italic(), false);
}

void MainWindowTest::accessibleNames()
{
    FormFixture f;
    showAndActivate(*f.form);
    for (QToolButton* b : ::toolbarButtons(*f.form))
        QCOMPARE(accessibleText(b), b->text());

    QAccessibleInterface* barIface = QAccessible::queryAccessibleInterface(f.form->menuBar());
    QVERIFY(barIface);
    QStringList bar;
    for (int i = 0; i < barIface->childCount(); ++i)
        bar << barIface->child(i)->text(QAccessible::Name);
    QCOMPARE(bar, (QStringList{"File", "Edit", "Search", "Options", "About", "Help"}));

    // The panels are labels that carry their text.
    f.form->StatusBar1->setPanelText(2, QStringLiteral("12/11/2026 15:04:55"));
    auto* panel = f.form->StatusBar1->findChild<QLabel*>(QStringLiteral("Panel2"));
    QCOMPARE(accessibleText(panel), QStringLiteral("12/11/2026 15:04:55"));
    QAccessibleInterface* panelIface = QAccessible::queryAccessibleInterface(panel);
    QCOMPARE(panelIface->role(), QAccessible::StaticText);

    // The editing area exposes its text.
    QTest::keyClicks(f.form->RichTextBox1, QStringLiteral("read me"));
    QAccessibleInterface* editor = QAccessible::queryAccessibleInterface(f.form->RichTextBox1);
    QVERIFY(editor);
    QVERIFY(!editor->text(QAccessible::Name).isEmpty());
    QAccessibleTextInterface* text = editor->textInterface();
    QVERIFY(text);
    QCOMPARE(text->text(0, text->characterCount()), QStringLiteral("read me"));
    QCOMPARE(accessibleText(f.form.get()), QStringLiteral("Corvana"));
}

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
