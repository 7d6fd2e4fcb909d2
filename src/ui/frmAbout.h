#pragma once

#include "platform/VersionInformation.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// The about dialog: shows the version information, read afresh each time the dialog is
// created. Created for each showing and destroyed after it; what the user types into
// its boxes goes with it. cmdOK is neither default nor cancel button: Enter and Space
// press it only while it has the focus, Escape does nothing.
class frmAbout : public QDialog {
    Q_OBJECT

public:
    explicit frmAbout(QWidget* parent = nullptr);
    // With another record in place of the built-in one.
    frmAbout(const VersionInformation& information, QWidget* parent);

    // In tab order.
    QLabel* Label1 = nullptr;
    QLineEdit* txtCompanyName = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* txtCopyright = nullptr;
    QLineEdit* txtTrademarks = nullptr;
    QPlainTextEdit* txtComments = nullptr;
    QLineEdit* txtVersion = nullptr;
    QLabel* Label3 = nullptr;
    QPushButton* cmdOK = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load(const VersionInformation& information);
    void Form_Paint();
    void cmdOK_Click();
};
