#pragma once

#include <QLabel>

namespace trovix {

// One panel of a status bar: a text with a tool tip, a bevel and a design width
// in twips. It reports clicks and double clicks; the release that ends a double
// click is not another click. A panel wider than the window is cut, never
// widening the window.
class StatusPanel : public QLabel
{
    Q_OBJECT

public:
    enum class Bevel { None, Inset, Raised };

    StatusPanel(const QString& text, const QString& toolTip, int widthTwips, QWidget* parent = nullptr);

    Bevel bevel() const { return m_bevel; }
    void setBevel(Bevel bevel);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void clicked();
    void doubleClicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    int m_width;
    Bevel m_bevel = Bevel::Inset;
    bool m_doubleClicked = false;
};

} // namespace trovix
