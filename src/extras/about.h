#pragma once

#include <QDialog>
#include <QPixmap>

class QLabel;
class QPushButton;
class QTimer;

namespace trovix {

class Module1;

// The about box: the product's name, underlined every other half second, and its version.
class About : public QDialog
{
    Q_OBJECT

public:
    explicit About(Module1& module);

    QLabel* picIcon;
    QLabel* lblTitle;
    QLabel* lblVersion;
    QLabel* lblDisclaimer;
    QPushButton* cmdOK;
    QTimer* Timer1;

    void Form_Load();
    void Timer1_Timer();
    void cmdOK_Click();

    // Every way of ending the dialog closes the window, so that it is unloaded.
    void done(int result) override;

signals:
    void unloaded();

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    Module1& m_module;
    QPixmap m_background;
};

} // namespace trovix
