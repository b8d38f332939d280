#pragma once

#include <QDialog>
#include <QPixmap>

class QLabel;
class QTimer;

namespace trovix {

class Session;

// The about box: the product's name, underlined every other half second, and its version.
class AboutBox : public QDialog
{
    Q_OBJECT

public:
    explicit AboutBox(Session& session);

    // Starts the title's blinking.
    void load();

    // Every way of ending the dialog closes the window, so that it is gone.
    void done(int result) override;

signals:
    void unloaded();

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void blink();

    QPixmap m_background;
    QLabel* m_title;
    QTimer* m_blinkTimer;
};

} // namespace trovix
