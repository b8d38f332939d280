#pragma once

#include <QList>
#include <QPixmap>
#include <QWidget>

class QLabel;
class QTimer;

namespace trovix {

class Session;

// The start-up window: the product name over a picture, cut to a polygon, with an underline stepping down
// its letters. Its first step opens the database (which makes the main window unseen); its seventh shows
// the main window. A click on its own surface, or its closing, ends the wait at once.
class SplashWindow : public QWidget
{
    Q_OBJECT

public:
    explicit SplashWindow(Session& session);

    // Gives the window its outline and starts the steps.
    void load();
    // One step, as the timer takes it every 150 ms.
    void step();

signals:
    void unloaded();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    bool openDatabase();
    void setUnderline(int index, bool on);
    void showMainAndClose();

    Session& m_session;
    QPixmap m_background;
    QTimer* m_stepTimer;
    QList<QLabel*> m_letters;
    int m_step = 0;
    // Until the seventh step, a click or a failed opening ends the wait.
    bool m_waiting = true;
};

} // namespace trovix
