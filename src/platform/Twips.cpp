#include "platform/Twips.h"

#include <QGuiApplication>
#include <QScreen>

namespace {
double dpiX()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchX() : 96.0;
}
double dpiY()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchY() : 96.0;
}
} // namespace

namespace Twips {
double toPixelsX(double twips)
{
    return twips * dpiX() / PerInch;
}
double toPixelsY(double twips)
{
    return twips * dpiY() / PerInch;
}
double fromPixelsX(double pixels)
{
    return pixels * PerInch / dpiX();
}
double fromPixelsY(double pixels)
{
    return pixels * PerInch / dpiY();
}
} // namespace Twips
