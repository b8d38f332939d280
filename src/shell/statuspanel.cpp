#include "statuspanel.h"

#include "platform/twips.h"

#include <QMouseEvent>

#include <utility>

namespace trovix {

StatusPanel::StatusPanel(const QString& text, const QString& toolTip, int widthTwips, QWidget* parent)
    : QLabel(parent)
    , m_width(twips::toPixelsX(widthTwips))
{
    setTextFormat(Qt::PlainText);
    setText(text);
    setToolTip(toolTip);
    setBevel(Bevel::Inset);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

void StatusPanel::setBevel(Bevel bevel)
{
    m_bevel = bevel;
    switch (bevel) {
    case Bevel::None:
        setFrameStyle(QFrame::NoFrame);
        break;
    case Bevel::Inset:
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
        break;
    case Bevel::Raised:
        setFrameStyle(QFrame::Panel | QFrame::Raised);
        break;
    }
}

QSize StatusPanel::sizeHint() const
{
    return {m_width, QLabel::sizeHint().height()};
}

QSize StatusPanel::minimumSizeHint() const
{
    return {1, QLabel::minimumSizeHint().height()};
}

void StatusPanel::mousePressEvent(QMouseEvent* event)
{
    // A press of its own; the press of a double click is followed by the double-click event.
    m_doubleClicked = false;
    QLabel::mousePressEvent(event);
}

void StatusPanel::mouseReleaseEvent(QMouseEvent* event)
{
    const bool secondOfDouble = std::exchange(m_doubleClicked, false);
    if (event->button() == Qt::LeftButton && !secondOfDouble && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

void StatusPanel::mouseDoubleClickEvent(QMouseEvent* event)
{
    QLabel::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton) {
        m_doubleClicked = true;
        emit doubleClicked();
    }
}

} // namespace trovix
