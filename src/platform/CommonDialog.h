#pragma once

#include "platform/Failure.h"

#include <QString>

#include <cstdint>
#include <optional>

class ModalHost;
class QWidget;

// CommonDialog1: the one component through which the editor shows the file-open,
// file-save and font dialogs. Its settings stay as the last command left them.
class CommonDialog {
public:
    CommonDialog(ModalHost& host, QWidget* owner);

    QString FileName;          // full path; the next file dialog's name field starts with it
    QString Filter;            // "description|pattern|description|pattern..."
    int FilterIndex = 0;       // counted from 1; 0 selects none
    std::int32_t Flags = 0;
    bool CancelError = false;  // a cancelled save dialog is the failure 32755
    QString FontName;
    double FontSize = 8;

    // A cancel leaves FileName empty.
    void ShowOpen();
    // A cancel empties FileName and, with CancelError on, is the failure 32755.
    std::optional<Failure> ShowSave();
    // True when a font was chosen; a cancel changes no setting.
    bool ShowFont();

private:
    ModalHost& host_;
    QWidget* owner_;
};

// The bar-separated filter list in Qt's form; the pattern *.* stands for every file.
QStringList qtNameFilters(const QString& filter);
