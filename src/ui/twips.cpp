#include "twips.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace trovix::twips {

namespace {
constexpr double TwipsPerInch = 1440.0;
constexpr double DefaultDpi = 96.0;

double logicalDpi(bool horizontal)
{
    const QScreen* screen = qGuiApp ? QGuiApplication::primaryScreen() : nullptr;
    if (!screen)
        return DefaultDpi;
    const double dpi = horizontal ? screen->logicalDotsPerInchX() : screen->logicalDotsPerInchY();
    return dpi > 0 ? dpi : DefaultDpi;
}
} // namespace

double twipsPerPixelX()
{
    return TwipsPerInch / logicalDpi(true);
}
double twipsPerPixelY()
{
    return TwipsPerInch / logicalDpi(false);
}

int roundHalfEven(double value)
{
    return static_cast<int>(std::nearbyint(value));
}

int toPixelsX(double twips)
{
    return roundHalfEven(twips / twipsPerPixelX());
}
int toPixelsY(double twips)
{
    return roundHalfEven(twips / twipsPerPixelY());
}

QSize toPixels(double width, double height)
{
    return {toPixelsX(width), toPixelsY(height)};
}

QRect toPixels(double left, double top, double width, double height)
{
    return {toPixelsX(left), toPixelsY(top), toPixelsX(width), toPixelsY(height)};
}

double fromPixelsX(int pixels)
{
    return pixels * twipsPerPixelX();
}
double fromPixelsY(int pixels)
{
    return pixels * twipsPerPixelY();
}

} // namespace trovix::twips
