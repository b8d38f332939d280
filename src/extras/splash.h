#pragma once

#include <QList>
#include <QWidget>

class QLabel;
class QTimer;

namespace trovix {

class Module1;

// The start-up window: the product name over a picture, cut to a polygon, with
// an underline stepping down its letters. Its first tick opens the database
// (which loads the main window unseen); its seventh shows the main window.
class Splash : public QWidget
{
    Q_OBJECT

public:
    explicit Splash(Module1& module);

    QTimer* Timer1;
    QList<QLabel*> Label1; // indices 0 to 8
    qint16 splashStep = 0;

    void Form_Load();
    void Form_Unload();
    void Form_Click();
    void Timer1_Timer();
    // Gives the window the splash outline.
    void CreatePolygon(QWidget* window);

signals:
    void unloaded();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    bool openDatabase();
    void setUnderline(int index, bool on);
    void showMainAndUnload();

    Module1& m_module;
    QPixmap m_background;
    // Until the seventh tick, a click or a failed opening ends the wait.
    bool m_waiting = true;
};

} // namespace trovix
