#pragma once

#include <QRect>
#include <QSize>

// Element geometry is stated in twips (1/1440 inch); these convert with the
// screen's logical resolution, 15 twips a pixel at 96 dots per inch.
namespace trovix::twips {

double twipsPerPixelX();
double twipsPerPixelY();

// Rounds to the nearest whole number, a half to the even neighbour.
int roundHalfEven(double value);

int toPixelsX(double twips);
int toPixelsY(double twips);
QSize toPixels(double width, double height);
QRect toPixels(double left, double top, double width, double height);

double fromPixelsX(int pixels);
double fromPixelsY(int pixels);

} // namespace trovix::twips
