#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// The about dialog: shows the version information, read afresh at each showing.
class frmAbout : public QDialog {
    Q_OBJECT

public:
    explicit frmAbout(QWidget* parent = nullptr);

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
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Form_Load();
    void cmdOK_Click();
};
