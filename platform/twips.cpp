#include "platform/twips.h"

#include <QGuiApplication>
#include <QScreen>

namespace {
double dpi(bool horizontal)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return 96.0;
    const double d = horizontal ? screen->logicalDotsPerInchX() : screen->logicalDotsPerInchY();
    return d > 0 ? d : 96.0;
}
int perPixel(bool horizontal)
{
    const int t = static_cast<int>(1440.0 / dpi(horizontal) + 0.5);
    return t > 0 ? t : 1;
}
} // namespace

namespace Twips {
int perPixelX()
{
    return perPixel(true);
}
int perPixelY()
{
    return perPixel(false);
}
int toPixelsX(int twips)
{
    return twips / perPixelX();
}
int toPixelsY(int twips)
{
    return twips / perPixelY();
}
int fromPixelsX(int pixels)
{
    return pixels * perPixelX();
}
int fromPixelsY(int pixels)
{
    return pixels * perPixelY();
}
} // namespace Twips
