#include "platform/ModalHost.h"
#include "platform/Platform.h"
#include "ui/Form1.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    Platform::initialise();
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    QtModalHost host;
    Form1 form(host, arguments);
    form.show();
    return app.exec();
}
