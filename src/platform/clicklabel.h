#pragma once

#include <QLabel>

namespace trovix {

// A label that answers a click of the left button released over it. A double
// click is one click: the release that ends it is not another.
class ClickLabel : public QLabel
{
    Q_OBJECT

public:
    using QLabel::QLabel;

signals:
    void Click();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    bool m_doubleClicked = false;
};

} // namespace trovix
