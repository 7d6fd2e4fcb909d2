#include "ui/frmFind.h"

#include "app/AppState.h"
#include "platform/Twips.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace {

QRect twipsRect(double left, double top, double width, double height)
{
    return QRect(int(std::lround(Twips::toPixelsX(left))), int(std::lround(Twips::toPixelsY(top))),
                 int(std::lround(Twips::toPixelsX(width))), int(std::lround(Twips::toPixelsY(height))));
}

QFont dialogFont()
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSizeF(9.75);
    font.setWeight(QFont::Normal);
    return font;
}

template <typename Widget>
Widget* place(Widget* widget, const char* name, const QString& accessibleName, const QRect& geometry)
{
    widget->setObjectName(QString::fromLatin1(name));
    widget->setAccessibleName(accessibleName);
    widget->setGeometry(geometry);
    return widget;
}

} // namespace

frmFind::frmFind(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmFind"));
    setWindowTitle(QStringLiteral("Find"));
    setAccessibleName(QStringLiteral("Find"));
    // A fixed dialog: a title and a close control, nothing to minimise or maximise.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(true);
    // The client area's place and size on the screen; the window manager adds its frame.
    const QRect client = twipsRect(2115, 3405, 5370, 2400);
    setGeometry(client);
    setFixedSize(client.size());

    // Created in tab order: the focus starts in txtFind, the first of them.
    const QString labelText = QStringLiteral("String to Search For");
    txtFind = place(new QLineEdit(this), "txtFind", labelText, twipsRect(360, 720, 4455, 375));
    chkWholeWord = place(new QCheckBox(QStringLiteral("Whole Word Only"), this), "chkWholeWord",
                         QStringLiteral("Whole Word Only"), twipsRect(360, 1320, 1935, 375));
    chkCaseSensitive = place(new QCheckBox(QStringLiteral("Case Sensitive"), this), "chkCaseSensitive",
                             QStringLiteral("Case Sensitive"), twipsRect(360, 1920, 1815, 375));
    cmdOK = place(new QPushButton(QStringLiteral("&OK"), this), "cmdOK", QStringLiteral("OK"),
                  twipsRect(3480, 1560, 1215, 615));
    Label1 = place(new QLabel(labelText, this), "Label1", labelText, twipsRect(1440, 240, 1935, 255));
    Label1->setTextFormat(Qt::PlainText);

    for (QWidget* w : std::initializer_list<QWidget*>{txtFind, chkWholeWord, chkCaseSensitive, Label1})
        w->setFont(dialogFont());
    // Where the font at hand is wider than the one the layout was drawn for, a caption
    // grows to the right rather than lose its last letters.
    for (QWidget* w : std::initializer_list<QWidget*>{chkWholeWord, chkCaseSensitive, Label1})
        w->resize(std::max(w->width(), w->sizeHint().width()), w->height());

    setTabOrder(txtFind, chkWholeWord);
    setTabOrder(chkWholeWord, chkCaseSensitive);
    setTabOrder(chkCaseSensitive, cmdOK);

    // A push button in a dialog would make itself the default and take Enter.
    cmdOK->setAutoDefault(false);
    cmdOK->setDefault(false);
    connect(cmdOK, &QPushButton::clicked, this, &frmFind::cmdOK_Click);

    Form_Load();
}

void frmFind::keyPressEvent(QKeyEvent* event)
{
    // No cancel button: Escape leaves the dialog open.
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmFind::Form_Load()
{
    // The boxes are not set from SearchOptions: they open unchecked every time.
    txtFind->setText(App.SearchText);
}

void frmFind::cmdOK_Click()
{
    App.SearchOptions = 0;
    App.SearchText = txtFind->text();
    if (chkWholeWord->isChecked())
        App.SearchOptions = 2;
    if (chkCaseSensitive->isChecked())
        App.SearchOptions += 4;
    accept();
}
