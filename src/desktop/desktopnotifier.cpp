#include "desktopnotifier.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QGuiApplication>
#include <QStringList>
#include <QVariantMap>

namespace trovix {

namespace {

const QString Service = QStringLiteral("org.freedesktop.Notifications");
const QString Path = QStringLiteral("/org/freedesktop/Notifications");
const QString Interface = Service;
const QString DefaultAction = QStringLiteral("default");
constexpr uchar Critical = 2;
constexpr int NeverExpires = 0;
constexpr uint DismissedByUser = 2; // NotificationClosed's reason
constexpr int CloseAtExitMs = 250;

QString escapedMarkup(QString text)
{
    return text.replace(QLatin1Char('&'), QStringLiteral("&amp;"))
            .replace(QLatin1Char('<'), QStringLiteral("&lt;"))
            .replace(QLatin1Char('>'), QStringLiteral("&gt;"));
}

QDBusMessage closeCall(uint id)
{
    QDBusMessage call = QDBusMessage::createMethodCall(Service, Path, Interface, QStringLiteral("CloseNotification"));
    call << id;
    // A server that has gone is not started again only to close what it no longer shows.
    call.setAutoStartService(false);
    return call;
}

} // namespace

DesktopNotifier::DesktopNotifier(QDBusConnection bus, Sender sender)
    : m_bus(std::move(bus))
    , m_sender(std::move(sender))
{}

DesktopNotifier::~DesktopNotifier()
{
    // The notification's action could reach nobody once the program has ended. This one call may wait,
    // briefly: the event loop that would send it is gone.
    if (m_id != 0)
        m_bus.call(closeCall(m_id), QDBus::Block, CloseAtExitMs);
}

void DesktopNotifier::show(const QString& summary, const QString& body, std::function<void()> activated,
                           std::function<void()> dismissed)
{
    m_summary = summary;
    m_body = body;
    m_activated = std::move(activated);
    m_dismissed = std::move(dismissed);
    m_closeOnId = false;
    if (!m_bus.isConnected())
        return;
    if (!m_listening) {
        m_bus.connect(Service, Path, Interface, QStringLiteral("ActionInvoked"), this,
                      SLOT(onActionInvoked(uint, QString)));
        m_bus.connect(Service, Path, Interface, QStringLiteral("NotificationClosed"), this,
                      SLOT(onNotificationClosed(uint, uint)));
        m_bus.connect(Service, Path, Interface, QStringLiteral("ActivationToken"), this,
                      SLOT(onActivationToken(uint, QString)));
        m_listening = true;
    }
    if (m_awaitingId) {
        m_sendAgain = true;
        return;
    }
    sendNotify();
}

void DesktopNotifier::sendNotify()
{
    QDBusMessage call = QDBusMessage::createMethodCall(Service, Path, Interface, QStringLiteral("Notify"));
    const QVariantMap hints{{QStringLiteral("urgency"), QVariant::fromValue(Critical)},
                            {QStringLiteral("desktop-entry"), m_sender.desktopEntry}};
    call << m_sender.appName << m_id << m_sender.iconName << m_summary << escapedMarkup(m_body)
         << QStringList{DefaultAction, tr("Show")} << hints << NeverExpires;
    m_awaitingId = true;
    m_sendAgain = false;
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* answered) {
        answered->deleteLater();
        m_awaitingId = false;
        const QDBusPendingReply<uint> reply = *answered;
        if (!reply.isError())
            m_id = reply.value();
        if (m_closeOnId) {
            m_closeOnId = false;
            close();
        } else if (m_sendAgain) {
            sendNotify();
        }
    });
}

void DesktopNotifier::close()
{
    m_activated = nullptr;
    m_dismissed = nullptr;
    if (m_awaitingId) {
        m_closeOnId = true;
        m_sendAgain = false;
        return;
    }
    if (m_id == 0)
        return;
    m_bus.asyncCall(closeCall(m_id));
    m_id = 0;
}

void DesktopNotifier::onActivationToken(uint id, const QString& token)
{
    // Wayland lets a window come forward only with a token from what the user touched: the next
    // activation of a window takes it from here.
    if (id != 0 && id == m_id && QGuiApplication::platformName() == QLatin1String("wayland"))
        qputenv("XDG_ACTIVATION_TOKEN", token.toUtf8());
}

void DesktopNotifier::onActionInvoked(uint id, const QString& actionKey)
{
    if (id == 0 || id != m_id || actionKey != DefaultAction || !m_activated)
        return;
    const auto activated = m_activated;
    activated();
}

void DesktopNotifier::onNotificationClosed(uint id, uint reason)
{
    if (id == 0 || id != m_id)
        return;
    m_id = 0;
    const auto dismissed = std::move(m_dismissed);
    m_activated = nullptr;
    m_dismissed = nullptr;
    if (reason == DismissedByUser && dismissed)
        dismissed();
}

} // namespace trovix
