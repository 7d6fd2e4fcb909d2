#include "ui/frmAbout.h"

#include <QKeyEvent>

frmAbout::frmAbout(QWidget* parent) : QDialog(parent) { setObjectName(QStringLiteral("frmAbout")); }
void frmAbout::paintEvent(QPaintEvent* event) { QDialog::paintEvent(event); }
void frmAbout::keyPressEvent(QKeyEvent* event) { QDialog::keyPressEvent(event); }
void frmAbout::Form_Load() {}
void frmAbout::cmdOK_Click() {}
