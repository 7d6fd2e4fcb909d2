#include "platform/Platform.h"

#include <QApplication>
#include <QFont>

namespace Platform {

void initialise()
{
    QApplication::setApplicationName(QStringLiteral("Corvana"));
    QApplication::setDesktopFileName(QStringLiteral("corvana"));
    // The editor's fonts keep their names; on Linux they are drawn with a similar face.
    QFont::insertSubstitutions(
        QStringLiteral("MS Sans Serif"),
        {QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans"), QStringLiteral("Sans Serif")});
    QFont::insertSubstitutions(QStringLiteral("System"), {QStringLiteral("DejaVu Sans"), QStringLiteral("Sans Serif")});
}

} // namespace Platform
