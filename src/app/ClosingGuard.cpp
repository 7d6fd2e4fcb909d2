#include "ui/Form1.h"

#include <QCloseEvent>

void Form1::closeEvent(QCloseEvent* event) { event->accept(); }
bool Form1::offerToSave(OnNo) { return true; }
