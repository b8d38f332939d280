#include "windowsystem.h"

#include <QPainterPath>
#include <QRegion>
#include <QWidget>

namespace trovix::WindowSystem {

void setTopmost(QWidget* window, bool topmost)
{
    if (isTopmost(window) == topmost)
        return;
    const bool wasVisible = window->isVisible();
    // Changing the flags re-creates the native window and hides it.
    window->setWindowFlag(Qt::WindowStaysOnTopHint, topmost);
    if (wasVisible)
        window->show();
}

bool isTopmost(const QWidget* window)
{
    return window->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

void setRoundRectRegion(QWidget* window, int width, int height, int cornerWidth, int cornerHeight)
{
    QPainterPath path;
    path.addRoundedRect(QRectF(0, 0, width, height), cornerWidth / 2.0, cornerHeight / 2.0);
    window->setMask(QRegion(path.toFillPolygon().toPolygon()));
}

void setPolygonRegion(QWidget* window, const QPolygon& polygon, Qt::FillRule fillRule)
{
    window->setMask(QRegion(polygon, fillRule));
}

void setForeground(QWidget* window)
{
    if (!window->isVisible())
        return;
    window->raise();
    window->activateWindow();
}

void bringToForeground(QWidget* window)
{
    if (window->isMinimized())
        window->showNormal();
    else
        window->show();
    window->raise();
    window->activateWindow();
}

} // namespace trovix::WindowSystem
