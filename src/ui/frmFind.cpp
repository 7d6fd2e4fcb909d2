#include "ui/frmFind.h"

#include <QKeyEvent>

frmFind::frmFind(QWidget* parent) : QDialog(parent) { setObjectName(QStringLiteral("frmFind")); }
void frmFind::keyPressEvent(QKeyEvent* event) { QDialog::keyPressEvent(event); }
void frmFind::Form_Load() {}
void frmFind::cmdOK_Click() {}
