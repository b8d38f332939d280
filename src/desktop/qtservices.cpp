#include "qtservices.h"

#include "desktopnotifier.h"
#include "filedialog.h"
#include "helpviewer.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QSoundEffect>
#include <QSystemTrayIcon>
#include <QUrl>

namespace trovix {

QtServices::QtServices(QString soundLog)
    : m_soundLog(std::move(soundLog))
{}

QtServices::~QtServices() = default;

LaunchResult QtServices::open(const OpenFile& request)
{
    return Launcher::open(request);
}

LaunchResult QtServices::start(const StartProgram& request)
{
    return Launcher::start(request);
}

QString QtServices::openFileName(QWidget* parent, const QString& filter)
{
    return FileDialog::getOpenFileName(parent, filter);
}

QDateTime QtServices::now()
{
    return QDateTime::currentDateTime();
}

void QtServices::playSound(const QString& fileName)
{
    if (!m_soundLog.isEmpty()) {
        QFile log(m_soundLog);
        if (log.open(QIODevice::Append | QIODevice::Text))
            log.write(QFileInfo(fileName).fileName().toUtf8() + '\n');
    }
    if (!QFileInfo(fileName).isFile()) {
        QApplication::beep();
        return;
    }
    if (!m_sound)
        m_sound = std::make_unique<QSoundEffect>();
    // One sound at a time: a new one replaces the one playing.
    m_sound->stop();
    m_sound->setSource(QUrl::fromLocalFile(QFileInfo(fileName).absoluteFilePath()));
    m_sound->play();
}

void QtServices::showHelp(QWidget* owner, const QString& helpFile, std::optional<int> topic)
{
    HelpViewer::of(owner)->showTopic(helpFile, topic ? QString::number(*topic) : QStringLiteral("contents"));
}

QSystemTrayIcon* QtServices::addTrayIcon(const QIcon& icon, const QString& tip, QObject* owner)
{
    auto* tray = new QSystemTrayIcon(icon, owner);
    tray->setObjectName(QStringLiteral("trayIcon"));
    tray->setToolTip(tip);
    tray->show();
    return tray;
}

bool QtServices::isSystemTrayAvailable()
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void QtServices::showNotification(const QString& summary, const QString& body, std::function<void()> activated,
                                  std::function<void()> dismissed)
{
    if (!m_notifier)
        m_notifier = std::make_unique<DesktopNotifier>(QDBusConnection::sessionBus(),
                                                       DesktopNotifier::Sender{QCoreApplication::applicationName(),
                                                                               QStringLiteral(TROVIX_ICON_NAME),
                                                                               QStringLiteral(TROVIX_APP_ID)});
    m_notifier->show(summary, body, std::move(activated), std::move(dismissed));
}

void QtServices::closeNotification()
{
    if (m_notifier)
        m_notifier->close();
}

void QtServices::reportStartupFailure(const QString& text)
{
    // The text names the program folder, whatever characters its name holds: never read as markup.
    QMessageBox box(QMessageBox::Critical, QStringLiteral("TROVIX"), text);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace trovix
