#pragma once

#include "clicklabel.h"

namespace trovix {

// One panel of a status bar: a text with a tool tip, a bevel and a design width
// in twips. It reports clicks and double clicks as a ClickLabel does. A panel
// wider than the window is cut, never widening the window.
class StatusPanel : public ClickLabel
{
    Q_OBJECT

public:
    enum class Bevel { None, Inset, Raised };

    StatusPanel(const QString& text, const QString& toolTip, int widthTwips, QWidget* parent = nullptr);

    Bevel bevel() const { return m_bevel; }
    void setBevel(Bevel bevel);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

private:
    int m_width;
    Bevel m_bevel = Bevel::Inset;
};

} // namespace trovix
