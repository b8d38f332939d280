#include "trayicon.h"

#include "desktop/services.h"
#include "desktop/windowsystem.h"
#include "formelements.h"

#include <QCursor>
#include <QMenu>

namespace trovix {

const QString TrayIcon::Tip = QStringLiteral("Trovix 1.0");

TrayIcon::TrayIcon(Services& services, const QIcon& icon, QWidget* window)
    : QObject(window)
    , m_window(window)
    , m_icon(services.addTrayIcon(icon, Tip, this))
    , m_menu(addMenu(window, "trayMenu", tr("&Systray")))
{
    setObjectName(QStringLiteral("trayIconOwner"));
    QAction* show = addMenuItem(m_menu, "trayShowAction", tr("&Trovix"));
    m_menu->addSeparator();
    QAction* exit = addMenuItem(m_menu, "trayExitAction", tr("&Exit"));
    connect(show, &QAction::triggered, this, &TrayIcon::showRequested);
    connect(exit, &QAction::triggered, this, &TrayIcon::exitRequested);
    // Queued: the menu runs an event loop of its own, and its Exit deletes this icon, which must not happen
    // inside the icon's own handling of the press.
    connect(m_icon, &QSystemTrayIcon::activated, this, &TrayIcon::pressed, Qt::QueuedConnection);
}

TrayIcon::~TrayIcon()
{
    hide();
    delete m_menu;
}

void TrayIcon::hide()
{
    if (m_icon)
        m_icon->hide();
}

void TrayIcon::pressed(QSystemTrayIcon::ActivationReason reason)
{
    if (reason != QSystemTrayIcon::Trigger && reason != QSystemTrayIcon::Context)
        return;
    WindowSystem::setForeground(m_window);
    if (reason == QSystemTrayIcon::Context)
        m_menu->exec(QCursor::pos());
    else
        emit showRequested();
}

} // namespace trovix
