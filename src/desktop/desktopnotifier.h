#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>

#include <functional>

namespace trovix {

// One notification at a time on the desktop's notification server, through the freedesktop
// Notifications interface on the session bus. Every call is asynchronous: the server's answers
// arrive later on the event loop, and without a server, or when it refuses, nothing happens.
class DesktopNotifier : public QObject
{
    Q_OBJECT

public:
    // The program's name, icon and desktop entry as the server shows them.
    struct Sender
    {
        QString appName;
        QString iconName;
        QString desktopEntry;
    };

    DesktopNotifier(QDBusConnection bus, Sender sender);
    ~DesktopNotifier() override;

    // Replaces the notification shown, if any: critical, kept until the user closes it, with a default
    // action. The summary goes as it is (the protocol keeps it plain); the body is escaped, since
    // servers may read markup in it.
    void show(const QString& summary, const QString& body, std::function<void()> activated,
              std::function<void()> dismissed);
    // Closes the notification shown, or the one on its way as soon as the server names it.
    void close();

private slots:
    void onActivationToken(uint id, const QString& token);
    void onActionInvoked(uint id, const QString& actionKey);
    void onNotificationClosed(uint id, uint reason);

private:
    void sendNotify();

    QDBusConnection m_bus;
    Sender m_sender;
    bool m_listening = false;
    uint m_id = 0;             // the server's name of the notification shown; 0: none
    bool m_awaitingId = false; // a Notify call has no answer yet
    bool m_sendAgain = false;  // show() was called meanwhile: the newest texts go out with the id
    bool m_closeOnId = false;  // close() was called meanwhile
    QString m_summary, m_body;
    std::function<void()> m_activated, m_dismissed;
};

} // namespace trovix
