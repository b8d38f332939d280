#pragma once

#include <QPolygon>

class QWidget;

// The window-system requests the windows make: shapes, the topmost band, the foreground.
namespace trovix::WindowSystem {

// Keeps the window above all others, or stops doing so; a visible window stays visible.
void setTopmost(QWidget* window, bool topmost);
bool isTopmost(const QWidget* window);

// Cuts the window to a rounded rectangle from (0, 0) to (width, height) with the given corner ellipse.
void setRoundRectRegion(QWidget* window, int width, int height, int cornerWidth, int cornerHeight);
// Cuts the window to a polygon; only the inside shows and takes the mouse.
void setPolygonRegion(QWidget* window, const QPolygon& polygon, Qt::FillRule fillRule);

// Makes a visible window the active one; a hidden one stays hidden.
void setForeground(QWidget* window);
// Shows the window if hidden or minimised and makes it the active one.
void bringToForeground(QWidget* window);

// Ties a top-level window to the owner's window, so that the window manager keeps it in front of the owner,
// in the owner's layer: a window tied to nothing would stay beneath an owner kept on top of all others.
void keepInFrontOf(QWidget* window, QWidget* owner);

} // namespace trovix::WindowSystem
