#include "clicklabel.h"

#include <QMouseEvent>

#include <utility>

namespace trovix {

void ClickLabel::mousePressEvent(QMouseEvent* event)
{
    // A press of its own; the press of a double click is followed by the double-click event.
    m_doubleClicked = false;
    QLabel::mousePressEvent(event);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    const bool secondOfDouble = std::exchange(m_doubleClicked, false);
    if (event->button() == Qt::LeftButton && !secondOfDouble && rect().contains(event->position().toPoint()))
        emit clicked();
}

void ClickLabel::mouseDoubleClickEvent(QMouseEvent* event)
{
    QLabel::mouseDoubleClickEvent(event);
    m_doubleClicked = event->button() == Qt::LeftButton;
    if (m_doubleClicked)
        emit doubleClicked();
}

} // namespace trovix
