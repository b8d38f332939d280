#pragma once

#include <QLabel>

namespace trovix {

// A label that answers a click of the left button released over it, and a double
// click of that button. A double click is one action: the release that ends it
// is no second click.
class ClickLabel : public QLabel
{
    Q_OBJECT

public:
    using QLabel::QLabel;

signals:
    void clicked();
    void doubleClicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    bool m_doubleClicked = false;
};

} // namespace trovix
