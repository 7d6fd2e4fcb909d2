#include "document/ErrorReport.h"

#include "platform/ModalHost.h"
#include "ui/Form1.h"

QString errorMessageText(const Failure& failure)
{
    const QString number =
        failure.number < 0 ? QString::number(failure.number) : QLatin1Char(' ') + QString::number(failure.number);
    return QStringLiteral("Error # ") + number + QLatin1Char('\r') + failure.description;
}

void Form1::ShowError(const Failure& failure, const QString& title)
{
    if (failure.number == 0)
        return;
    host_.messageBox(
        this, {errorMessageText(failure), title, MsgButtons::OK, MsgIcon::None, failure.helpFile, failure.helpContext});
}
