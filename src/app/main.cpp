#include "platform/ModalHost.h"
#include "platform/Platform.h"
#include "ui/Form1.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    // The command line is taken before Qt reads it: Qt removes the options it knows
    // ("-style", "-reverse"...), and the whole text after the program's name is a path.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QApplication app(argc, argv);
    Platform::initialise();
    QtModalHost host;
    Form1 form(host, arguments);
    form.show();
    return app.exec();
}
