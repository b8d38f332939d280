#include "statuspanel.h"

#include "platform/twips.h"

#include <QMouseEvent>

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

void StatusPanel::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

void StatusPanel::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
    QLabel::mouseDoubleClickEvent(event);
}

} // namespace trovix
