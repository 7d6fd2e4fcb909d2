#pragma once

#include <QApplication>
#include <QCursor>

// The busy mouse pointer for as long as it lives: shown on construction, the previous
// pointer back on every way out of the scope.
class BusyPointer {
public:
    BusyPointer() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyPointer() { QApplication::restoreOverrideCursor(); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
};
