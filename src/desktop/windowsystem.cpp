#include "windowsystem.h"

#include <QApplication>
#include <QPainterPath>
#include <QRegion>
#include <QWidget>
#include <QWindow>

namespace trovix::WindowSystem {

void setTopmost(QWidget* window, bool topmost)
{
    if (isTopmost(window) == topmost)
        return;
    Qt::WindowFlags flags = window->windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, topmost);
    // The widget's own setWindowFlags() would make a new native window and hide it; the windows tied to
    // the old one would then lose their owner. Told to the native window, the change keeps it.
    window->overrideWindowFlags(flags);
    if (QWindow* native = window->windowHandle())
        native->setFlags(flags);
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

namespace {

void activate(QWidget* window)
{
    window->activateWindow();
    // Shown again before the window system's news of its hiding was taken in (that waits a moment for the
    // focus to come back), the window system still names this window the focused one, and its coming back
    // changes nothing there: the widgets would stay inactive, and Tab would move no focus. The widgets are
    // told at once; should the window system not give the window the focus after all, its late news
    // makes the window inactive again.
    if (QGuiApplication::focusWindow() == window->windowHandle() && !window->isActiveWindow())
        QApplication::setActiveWindow(window);
}

} // namespace

void setForeground(QWidget* window)
{
    if (!window->isVisible())
        return;
    window->raise();
    activate(window);
}

void bringToForeground(QWidget* window)
{
    if (window->isMinimized())
        window->showNormal();
    else
        window->show();
    window->raise();
    activate(window);
}

void keepInFrontOf(QWidget* window, QWidget* owner)
{
    if (!window || !owner)
        return;
    // Both need a native window: the tie is between those.
    window->winId();
    owner->window()->winId();
    window->windowHandle()->setTransientParent(owner->window()->windowHandle());
}

} // namespace trovix::WindowSystem
