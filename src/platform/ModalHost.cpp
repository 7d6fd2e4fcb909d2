#include "platform/ModalHost.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

QString screenText(const QString& text)
{
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

MsgAnswer QtModalHost::messageBox(QWidget* parent, const MessageBoxRequest& request)
{
    const QString title = request.title.isEmpty() ? QStringLiteral("Corvana") : request.title;
    QMessageBox box(parent);
    box.setWindowTitle(title);
    box.setText(screenText(request.text));
    box.setTextFormat(Qt::PlainText);
    box.setIcon(request.icon == MsgIcon::Exclamation ? QMessageBox::Warning : QMessageBox::NoIcon);
    box.setAccessibleName(title);
    box.setAccessibleDescription(screenText(request.text));

    switch (request.buttons) {
    case MsgButtons::OK:
        box.setStandardButtons(QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
        break;
    case MsgButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
        break;
    case MsgButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    }
    // Wide enough for the window manager to show the whole title above a short text:
    // the title bar also holds the window's buttons.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        const int titleWidth = box.fontMetrics().horizontalAdvance(title) + 120;
        grid->addItem(new QSpacerItem(titleWidth, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                      grid->columnCount());
    }
    QPushButton* help = nullptr;
    if (!request.helpFile.isEmpty())
        help = box.addButton(QMessageBox::Help);
    // Ctrl+C puts the message on the clipboard, for a report or a search.
    QAction copy(&box);
    copy.setShortcut(QKeySequence::Copy);
    copy.setShortcutContext(Qt::WindowShortcut);
    QObject::connect(&copy, &QAction::triggered, &box, [&box] { QGuiApplication::clipboard()->setText(box.text()); });
    box.addAction(&copy);

    for (;;) {
        box.exec();
        if (help && box.clickedButton() == help) {
            QDesktopServices::openUrl(QUrl::fromLocalFile(request.helpFile));
            continue;
        }
        break;
    }
    switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Yes: return MsgAnswer::Yes;
    case QMessageBox::No: return MsgAnswer::No;
    case QMessageBox::Ok: return MsgAnswer::OK;
    default: return request.buttons == MsgButtons::OK ? MsgAnswer::OK : MsgAnswer::Cancel;
    }
}

std::optional<QString> QtModalHost::fileDialog(QWidget* parent, const FileDialogRequest& request)
{
    QFileDialog dialog(parent);
    const bool save = request.kind == FileDialogRequest::Kind::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // A typed name of a file that doesn't exist is returned too: the caller reports it.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (!request.nameFilters.isEmpty()) {
        dialog.setNameFilters(request.nameFilters);
        if (request.selectedFilter >= 0 && request.selectedFilter < request.nameFilters.size())
            dialog.selectNameFilter(request.nameFilters.at(request.selectedFilter));
    }
    if (!request.fileName.isEmpty()) {
        const QFileInfo info(request.fileName);
        dialog.setDirectory(info.absolutePath());
        dialog.selectFile(info.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<FontChoice> QtModalHost::fontDialog(QWidget* parent, const FontDialogRequest& request)
{
    QFont initial;
    if (!request.fontName.isEmpty())
        initial.setFamilies({request.fontName});
    if (request.fontSize > 0)
        initial.setPointSizeF(request.fontSize);
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, initial, parent);
    if (!ok)
        return std::nullopt;
    return FontChoice{font.family(), font.pointSizeF(), font.bold(), font.italic()};
}

void QtModalHost::execDialog(QDialog& dialog)
{
    dialog.exec();
}
