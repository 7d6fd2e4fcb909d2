#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The find dialog: created for each showing, destroyed after it.
class frmFind : public QDialog {
    Q_OBJECT

public:
    explicit frmFind(QWidget* parent = nullptr);

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
