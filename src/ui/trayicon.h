#pragma once

#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>

class QIcon;
class QMenu;
class QWidget;

namespace trovix {

class Services;

// The program's icon in the notification area, with the tip "Trovix 1.0". A left press asks for the main
// window; a right press opens the icon's menu ("&Trovix", "&Exit") at the mouse. Other presses do nothing.
class TrayIcon : public QObject
{
    Q_OBJECT

public:
    static const QString Tip;

    // Made for the window, whose child it is, as its menu is.
    TrayIcon(Services& services, const QIcon& icon, QWidget* window);
    ~TrayIcon() override;

    // Takes the icon out of the notification area at once.
    void hide();

signals:
    void showRequested();
    void exitRequested();

private:
    void pressed(QSystemTrayIcon::ActivationReason reason);

    QWidget* m_window;
    QPointer<QSystemTrayIcon> m_icon;
    QMenu* m_menu;
};

} // namespace trovix
