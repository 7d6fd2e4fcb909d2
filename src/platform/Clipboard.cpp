#include "platform/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace Clipboard {

void SetText(const QString& text)
{
    QString lf = text;
    lf.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lf.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QGuiApplication::clipboard()->setText(lf);
}

bool GetFormat(int format)
{
    if (format != TextFormat)
        return false;
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasText();
}

QString GetText(int format)
{
    if (format != TextFormat)
        return {};
    return QGuiApplication::clipboard()->text();
}

} // namespace Clipboard
