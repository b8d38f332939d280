#include "proportionallayout.h"

#include "twips.h"

#include <QWidget>

namespace trovix::ProportionalLayout {

namespace {

QWidget* find(const QWidget* window, const char* element)
{
    return window->findChild<QWidget*>(QString::fromLatin1(element));
}

bool horizontal(Coordinate which)
{
    return which == Left || which == Width;
}

} // namespace

double coordinate(const QWidget* window, const char* element, Coordinate which)
{
    const QWidget* widget = find(window, element);
    if (!widget)
        return 0;
    const QRect g = widget->geometry();
    switch (which) {
    case Left:
        return twips::fromPixelsX(g.x());
    case Top:
        return twips::fromPixelsY(g.y());
    case Width:
        return twips::fromPixelsX(g.width());
    case Height:
        return twips::fromPixelsY(g.height());
    }
    return 0;
}

void apply(QWidget* window, const QList<Statement>& statements)
{
    for (const Statement& s : statements) {
        QWidget* widget = find(window, s.element);
        if (!widget)
            continue;
        double twipsValue = 0;
        if (s.terms.isEmpty()) {
            // The size is read afresh for each statement; the product is kept in single precision.
            const double size = horizontal(s.coordinate) ? twips::fromPixelsX(window->width())
                                                         : twips::fromPixelsY(window->height());
            const double divisor = s.divisor != 0 ? s.divisor : (horizontal(s.coordinate) ? DesignWidth : DesignHeight);
            twipsValue = float(size * (s.value / divisor));
        } else {
            for (const Term& term : s.terms)
                twipsValue += coordinate(window, term.element, term.coordinate);
            twipsValue += s.gap;
        }
        QRect g = widget->geometry();
        switch (s.coordinate) {
        case Left:
            g.moveLeft(twips::toPixelsX(twipsValue));
            break;
        case Top:
            g.moveTop(twips::toPixelsY(twipsValue));
            break;
        case Width:
            g.setWidth(twips::toPixelsX(twipsValue));
            break;
        case Height:
            g.setHeight(twips::toPixelsY(twipsValue));
            break;
        }
        widget->setGeometry(g);
    }
}

} // namespace trovix::ProportionalLayout
