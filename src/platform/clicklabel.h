#pragma once

#include <QLabel>

namespace trovix {

// A label that answers a click of the left button released over it.
class ClickLabel : public QLabel
{
    Q_OBJECT

public:
    using QLabel::QLabel;

signals:
    void Click();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

} // namespace trovix
