#include "ui/frmAbout.h"

#include "platform/Twips.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWindow>

#include <cmath>

namespace {

QRect twipsRect(double left, double top, double width, double height)
{
    return QRect(int(std::lround(Twips::toPixelsX(left))), int(std::lround(Twips::toPixelsY(top))),
                 int(std::lround(Twips::toPixelsX(width))), int(std::lround(Twips::toPixelsY(height))));
}

template <typename Widget>
Widget* place(Widget* widget, const char* name, const QString& accessibleName, const QRect& geometry)
{
    widget->setObjectName(QString::fromLatin1(name));
    widget->setAccessibleName(accessibleName);
    widget->setGeometry(geometry);
    return widget;
}

QLineEdit* singleLineBox(QWidget* parent, const char* name, const QString& accessibleName, const QRect& geometry)
{
    auto* box = place(new QLineEdit(parent), name, accessibleName, geometry);
    box->setCursorPosition(0);
    return box;
}

} // namespace

frmAbout::frmAbout(QWidget* parent) : frmAbout(programVersionInformation(), parent) {}

frmAbout::frmAbout(const VersionInformation& information, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Corvana"));
    setAccessibleName(QStringLiteral("About Corvana"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setModal(true);
    // The client area's place and size on the screen; the window manager adds its frame.
    const QRect client = twipsRect(2130, 2670, 4980, 3060);
    setGeometry(client);
    setFixedSize(client.size());
    QPalette background = palette();
    background.setColor(QPalette::Window, QColor(192, 192, 192));
    setPalette(background);
    setAutoFillBackground(true);

    // Created in tab order; the labels take no focus.
    Label1 = place(new QLabel(QStringLiteral("Author:"), this), "Label1", QStringLiteral("Author:"),
                   twipsRect(120, 240, 615, 255));
    txtCompanyName = singleLineBox(this, "txtCompanyName", QStringLiteral("Author"), twipsRect(960, 240, 3135, 285));
    txtCompanyName->setReadOnly(true);
    Label2 = place(new QLabel(QStringLiteral("Version"), this), "Label2", QStringLiteral("Version"),
                   twipsRect(120, 1320, 735, 255));
    txtCopyright = singleLineBox(this, "txtCopyright", QStringLiteral("Copyright"), twipsRect(960, 600, 3135, 285));
    txtTrademarks = singleLineBox(this, "txtTrademarks", QStringLiteral("Trademarks"), twipsRect(960, 960, 3135, 285));
    txtComments =
        place(new QPlainTextEdit(this), "txtComments", QStringLiteral("Notes"), twipsRect(960, 1800, 3015, 495));
    txtComments->setTabChangesFocus(true);
    txtComments->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    txtVersion = singleLineBox(this, "txtVersion", QStringLiteral("Version"), twipsRect(960, 1320, 1215, 285));
    Label3 = place(new QLabel(QStringLiteral("Notes"), this), "Label3", QStringLiteral("Notes"),
                   twipsRect(120, 1920, 615, 255));
    cmdOK = place(new QPushButton(QStringLiteral("&Ok"), this), "cmdOK", QStringLiteral("Ok"),
                  twipsRect(2040, 2640, 735, 375));
    for (QLabel* label : {Label1, Label2, Label3}) {
        label->setTextFormat(Qt::PlainText);
        label->setFocusPolicy(Qt::NoFocus);
    }

    setTabOrder(txtCompanyName, txtCopyright);
    setTabOrder(txtCopyright, txtTrademarks);
    setTabOrder(txtTrademarks, txtComments);
    setTabOrder(txtComments, txtVersion);
    setTabOrder(txtVersion, cmdOK);

    // A push button in a dialog would make itself the default and take Enter from the
    // text boxes.
    cmdOK->setAutoDefault(false);
    cmdOK->setDefault(false);
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);

    Form_Load(information);
}

void frmAbout::Form_Load(const VersionInformation& information)
{
    // Shown exactly as the record holds them.
    txtCompanyName->setText(information.CompanyName);
    txtCopyright->setText(information.LegalCopyright);
    txtTrademarks->setText(information.LegalTrademarks);
    txtComments->setPlainText(information.Comments);
    txtVersion->setText(versionText(information.major, information.minor, information.revision));
    for (QLineEdit* box : {txtCompanyName, txtCopyright, txtTrademarks, txtVersion})
        box->setCursorPosition(0); // a text too long for its box shows its start
}

void frmAbout::Form_Paint()
{
    cmdOK->setFocus(Qt::OtherFocusReason);
}

void frmAbout::cmdOK_Click()
{
    accept();
}

bool frmAbout::event(QEvent* event)
{
    // The window-system window exists once the dialog is shown: its painting requests
    // are the dialog's paint events.
    if (event->type() == QEvent::Show) {
        if (QWindow* window = windowHandle())
            window->installEventFilter(this);
    }
    return QDialog::event(event);
}

bool frmAbout::eventFilter(QObject* watched, QEvent* event)
{
    // The window system asks for the dialog to be painted when it appears and when it
    // is uncovered; repaints of a single box as the user types are not that.
    if (watched == windowHandle() && event->type() == QEvent::Expose && windowHandle()->isExposed())
        Form_Paint();
    return QDialog::eventFilter(watched, event);
}

void frmAbout::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (focusWidget() == cmdOK)
            cmdOK->click();
        return;
    case Qt::Key_Escape: return; // no cancel button
    default: QDialog::keyPressEvent(event);
    }
}
