#include "ui/Form1.h"

#include "app/AppState.h"
#include "platform/RichTextBox.h"
#include "platform/StatusBar.h"
#include "platform/Toolbar.h"
#include "platform/Twips.h"
#include "ui/Icons.h"

#include <QAction>
#include <QMenuBar>

namespace {

// The initial content of the editing area: one empty paragraph in MS Sans Serif, 12 points.
const char InitialContent[] =
    "{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl{\\f0\\fnil MS Sans Serif;}{\\f1\\fnil\\fcharset2 "
    "Symbol;}{\\f2\\fswiss\\fprq2 System;}{\\f3\\fnil\\fprq2 MS Sans Serif;}}\r\n"
    "{\\colortbl\\red0\\green0\\blue0;}\r\n"
    "\\deflang1033\\pard\\plain\\f0\\fs24 \r\n"
    "\\par }\r\n";
static_assert(sizeof(InitialContent) - 1 == 223);

struct MenuEntry {
    const char* name;
    const char* caption;
    QKeySequence shortcut;
    void (Form1::*command)();
};

} // namespace

Form1::Form1(ModalHost& host, const QStringList& arguments, QWidget* parent)
    : QMainWindow(parent),
      ImageList1(QSize(16, 16), QColor(192, 192, 192)),
      CommonDialog1(host, this),
      host_(host)
{
    setAttribute(Qt::WA_DeleteOnClose, false);
    createControls();
    createMenus();
    guardSessionEnd();
    Form_Load(arguments);
}

Form1::~Form1() = default;

void Form1::createControls()
{
    setWindowTitle(QStringLiteral("Corvana"));
    setWindowIcon(Icons::windowIcon());
    setAccessibleName(QStringLiteral("Corvana"));

    for (int i = 1; i <= 10; ++i)
        ImageList1.add(Icons::toolbarImage(i));

    Toolbar1 = new Toolbar(this);
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setAccessibleName(QStringLiteral("Toolbar"));
    const struct {
        const char* caption;
        const char* key;
    } buttons[] = {{"New", "bNew"},   {"Open", "bOpen"},   {"Save", "bSave"}, {"Cut", "bCut"},
                   {"Copy", "bCopy"}, {"Paste", "bPaste"}, {"Find", "bFind"}, {"Font", "bFont"},
                   {"Print", "bPrint"}, {"Exit", "bExit"}};
    int image = 1;
    for (const auto& b : buttons)
        Toolbar1->addButton(QString::fromLatin1(b.caption), QString::fromLatin1(b.key), ImageList1.icon(image++));
    addToolBar(Qt::TopToolBarArea, Toolbar1);
    connect(Toolbar1, &Toolbar::ButtonClick, this, &Form1::Toolbar1_ButtonClick);

    StatusBar1 = new StatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setAccessibleName(QStringLiteral("Status"));
    QFont statusFont(QStringLiteral("MS Sans Serif"));
    statusFont.setPointSizeF(9.75);
    StatusBar1->setFont(statusFont);
    for (int i = 0; i < 3; ++i)
        StatusBar1->addPanel(2700);
    setStatusBar(StatusBar1);

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);
    client->installEventFilter(this);
    RichTextBox1 = new RichTextBox(client);
    RichTextBox1->setObjectName(QStringLiteral("RichTextBox1"));
    QFont editFont(QStringLiteral("MS Sans Serif"));
    editFont.setPointSize(12);
    RichTextBox1->document()->setDefaultFont(editFont);
    RichTextBox1->setTextRTF(QString::fromLatin1(InitialContent));
    // The toolbar is docked above the client area, so "directly under the toolbar" is
    // the client's top edge.
    RichTextBox1->setLeft(0);
    RichTextBox1->setTop(0);
    RichTextBox1->setWidth(8775);
    RichTextBox1->setHeight(5175);
    RichTextBox1->setFocus();
    connect(RichTextBox1, &RichTextBox::KeyPress, this, [] { App.TextChanged = true; });
    // Every change the user makes marks the document, keys without a character
    // code (Delete) and drag and drop included.
    connect(RichTextBox1, &RichTextBox::UserChanged, this, [] { App.TextChanged = true; });
}

void Form1::createMenus()
{
    const MenuEntry file[] = {
        {"FileNew", "New", {}, &Form1::FileNew},
        {"FileOpen", "&Open", {}, &Form1::FileOpen},
        {"FileSave", "&Save", {}, &Form1::FileSave},
        {"FileSaveAs", "Save As", {}, &Form1::FileSaveAs},
        {"FilePrint", "Print", {}, &Form1::FilePrint},
        {"FileExit", "E&xit", {}, &Form1::FileExit},
    };
    const MenuEntry edit[] = {
        {"EditCut", "Cut", QKeySequence(Qt::CTRL | Qt::Key_X), &Form1::EditCut},
        {"EditCopy", "Copy", QKeySequence(Qt::CTRL | Qt::Key_C), &Form1::EditCopy},
        {"EditPaste", "Paste", QKeySequence(Qt::SHIFT | Qt::Key_Insert), &Form1::EditPaste},
    };
    const MenuEntry search[] = {
        {"SearchFind", "Find", {}, &Form1::SearchFind},
        {"SearchAgain", "Find Again", QKeySequence(Qt::Key_F3), &Form1::SearchAgain},
    };
    const MenuEntry options[] = {
        {"OptionsFont", "Font", {}, &Form1::OptionsFont},
    };

    QList<QKeySequence> shortcuts;
    auto addItems = [&](QMenu* menu, const auto& entries) {
        for (const MenuEntry& e : entries) {
            QAction* action = menu->addAction(QString::fromLatin1(e.caption));
            action->setObjectName(QString::fromLatin1(e.name));
            if (!e.shortcut.isEmpty()) {
                action->setShortcut(e.shortcut);
                action->setShortcutContext(Qt::WindowShortcut);
                shortcuts << e.shortcut;
            }
            connect(action, &QAction::triggered, this, e.command);
        }
    };
    auto addMenu = [&](const char* name, const char* caption) {
        QMenu* menu = menuBar()->addMenu(QString::fromLatin1(caption));
        menu->setObjectName(QString::fromLatin1(name));
        menu->menuAction()->setObjectName(QString::fromLatin1(name));
        return menu;
    };
    addItems(addMenu("File", "&File"), file);
    addItems(addMenu("Edit", "Edit"), edit);
    addItems(addMenu("Search", "Search"), search);
    addItems(addMenu("Options", "Options"), options);
    // About and Help stand on the bar itself and run at once.
    QAction* about = menuBar()->addAction(QStringLiteral("About"));
    about->setObjectName(QStringLiteral("About"));
    connect(about, &QAction::triggered, this, &Form1::About);
    QAction* help = menuBar()->addAction(QStringLiteral("Help"));
    help->setObjectName(QStringLiteral("Help"));
    connect(help, &QAction::triggered, this, &Form1::Help);

    RichTextBox1->setMenuShortcuts(shortcuts);
}

QAction* Form1::menuItem(const QString& name) const
{
    return findChild<QAction*>(name);
}
