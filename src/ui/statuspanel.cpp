#include "statuspanel.h"

#include "twips.h"

namespace trovix {

StatusPanel::StatusPanel(const QString& text, const QString& toolTip, int widthTwips, QWidget* parent)
    : ClickLabel(parent)
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

} // namespace trovix
