#include "qtservices.h"

#include "desktopnotifier.h"
#include "filedialog.h"
#include "helpviewer.h"
#include "programstart.h"
#include "trayicondata.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QSoundEffect>
#include <QStandardPaths>
#include <QSystemTrayIcon>
#include <QUrl>

namespace trovix {

namespace {

// Shell-style results: above 32 is success.
constexpr int ShellOk = 42;
constexpr int ShellFileNotFound = 2;
constexpr int ShellAccessDenied = 5;
constexpr int ShellNoAssociation = 31;

// The desktop's own way to open a document with its associated application.
const QString DocumentOpener = QStringLiteral("xdg-open");

qintptr defaultWindowProc(QWidget*, unsigned, qintptr, qintptr)
{
    return 0;
}

} // namespace

QtServices::QtServices() = default;

QtServices::~QtServices()
{
    delete m_tray;
    delete m_sound;
}

int QtServices::shellExecute(const QString& /*operation*/, const QString& file, const QString& parameters,
                             const QString& directory, int /*showCommand*/)
{
    const QStringList arguments = QProcess::splitCommand(parameters);
    // A bare name is a program on the search path, never a file in the process's working folder.
    if (!file.contains(QLatin1Char('/'))) {
        const QString program = QStandardPaths::findExecutable(file.trimmed());
        if (program.isEmpty())
            return ShellFileNotFound;
        return QProcess::startDetached(program, arguments, directory) ? ShellOk : ShellAccessDenied;
    }
    const QFileInfo info(file);
    if (!info.exists())
        return ShellFileNotFound;
    if (info.isFile() && info.isExecutable())
        return QProcess::startDetached(info.absoluteFilePath(), arguments, directory) ? ShellOk : ShellAccessDenied;
    const QString opener = QStandardPaths::findExecutable(DocumentOpener);
    if (opener.isEmpty())
        return ShellNoAssociation;
    return QProcess::startDetached(opener, {info.absoluteFilePath()}, directory) ? ShellOk : ShellNoAssociation;
}

qint64 QtServices::startProgram(const QStringList& words, const QString& folder)
{
    return ProgramStart::startDetached(words, folder);
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
    // For the end-to-end runs: every sound asked for, one line each, where the environment says.
    static const QString soundLog = qEnvironmentVariable("TROVIX_SOUND_LOG");
    if (!soundLog.isEmpty()) {
        QFile log(soundLog);
        if (log.open(QIODevice::Append | QIODevice::Text))
            log.write(QFileInfo(fileName).fileName().toUtf8() + '\n');
    }
    if (!QFileInfo(fileName).isFile()) {
        QApplication::beep();
        return;
    }
    if (!m_sound)
        m_sound = new QSoundEffect;
    // One sound at a time: a new one replaces the one playing.
    m_sound->stop();
    m_sound->setSource(QUrl::fromLocalFile(QFileInfo(fileName).absoluteFilePath()));
    m_sound->play();
}

QString QtServices::currentSound() const
{
    return m_sound ? m_sound->source().toLocalFile() : QString();
}

void QtServices::winHelp(QWidget* owner, const QString& helpFile, int command, int data)
{
    const QString anchor = command == HelpCommand::Context ? QString::number(data) : QStringLiteral("contents");
    HelpViewer::of(owner)->showTopic(helpFile, anchor);
}

bool QtServices::shellNotifyIcon(int message, const TrayIconData& data)
{
    if (message == TrayMessage::Add) {
        if (m_tray)
            return false;
        m_tray = new QSystemTrayIcon(data.hIcon);
        m_tray->setToolTip(data.tipText());
        m_trayWindow = data.hWnd;
        m_trayCallbackMessage = data.uCallbackMessage;
        m_trayId = data.uID;
        // Queued: the pop-up menu runs an event loop of its own, and its Exit deletes
        // this icon, which must not happen inside the icon's own mouse handling.
        QObject::connect(
                m_tray, &QSystemTrayIcon::activated, m_tray,
                [this](QSystemTrayIcon::ActivationReason reason) {
                    switch (reason) {
                    case QSystemTrayIcon::Trigger:
                        deliverTrayNotification(TrayMessage::LeftButtonDown);
                        break;
                    case QSystemTrayIcon::Context:
                        deliverTrayNotification(TrayMessage::RightButtonDown);
                        break;
                    case QSystemTrayIcon::DoubleClick:
                        deliverTrayNotification(TrayMessage::LeftButtonDoubleClick);
                        break;
                    case QSystemTrayIcon::MiddleClick:
                        deliverTrayNotification(TrayMessage::MiddleButtonDown);
                        break;
                    case QSystemTrayIcon::Unknown:
                        break;
                    }
                },
                Qt::QueuedConnection);
        m_tray->show();
        return true;
    }
    if (message == TrayMessage::Delete) {
        if (!m_tray)
            return false;
        m_tray->hide();
        m_tray->deleteLater();
        m_tray = nullptr;
        return true;
    }
    return false;
}

void QtServices::deliverTrayNotification(unsigned notification)
{
    QWidget* window = m_trayWindow;
    if (!window)
        return;
    const auto procedure = m_windowProcs.value(window, defaultWindowProc);
    procedure(window, m_trayCallbackMessage, m_trayId, notification);
}

bool QtServices::isSystemTrayAvailable()
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

WindowProc QtServices::setWindowProc(QWidget* window, WindowProc procedure)
{
    WindowProc previous = m_windowProcs.value(window, defaultWindowProc);
    m_windowProcs.insert(window, std::move(procedure));
    return previous;
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
