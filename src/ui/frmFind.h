#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The find dialog: created for each showing, destroyed after it. OK stores the search
// text and options in the application state; closing the window keeps them as they were.
// There is no default and no cancel button: Enter and Escape do nothing here.
class frmFind : public QDialog {
    Q_OBJECT

public:
    explicit frmFind(QWidget* parent = nullptr);

    // In tab order.
    QLineEdit* txtFind = nullptr;
    QCheckBox* chkWholeWord = nullptr;
    QCheckBox* chkCaseSensitive = nullptr;
    QPushButton* cmdOK = nullptr;
    QLabel* Label1 = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Form_Load();
    void cmdOK_Click();
};
