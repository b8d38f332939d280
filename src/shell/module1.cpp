#include "module1.h"

#include "categories/categorytraits.h"
#include "categories/categorywindow.h"
#include "categories/documents.h"
#include "extras/about.h"
#include "extras/splash.h"
#include "extras/tip.h"
#include "mains.h"
#include "platform/connection.h"
#include "platform/runtimeerror.h"
#include "platform/windowsystem.h"
#include "reminders/reminders.h"
#include "statuspanel.h"
#include "store/catalog.h"
#include "store/programfiles.h"

#include <cstdio>
#include <malloc.h>

namespace trovix {

namespace {
// The callback message of the notification-area icon: the number the platform
// also gives the right button's release.
constexpr unsigned TrayCallbackMessage = TrayMessage::RightButtonUp;
constexpr qintptr Handled = -1;
} // namespace

Module1::Module1(QString programFolder, std::unique_ptr<Services> services)
    : m_programFolder(std::move(programFolder))
    , m_services(std::move(services))
    , splash(*this)
    , mains(*this)
    , softwares(*this, std::cref(Categories::softwares()))
    , games(*this, std::cref(Categories::games()))
    , windows(*this, std::cref(Categories::windows()))
    , documents(*this)
    , reminders(*this)
    , about(*this)
    , tip(*this)
{
    m_idleMemory.setSingleShot(true);
    m_idleMemory.setInterval(IdleMemoryMs);
    connect(&m_idleMemory, &QTimer::timeout, this, &Module1::releaseIdleMemory);
}

void Module1::listRead()
{
    m_idleMemory.start();
}

void Module1::releaseIdleMemory()
{
    if (dbConnection)
        dbConnection->releaseCachedPages();
    // The allocator (glibc) keeps freed memory for later use; hand what it can back to the system.
    malloc_trim(0);
}

Module1::~Module1() = default;

QString Module1::programFile(const QString& fileName) const
{
    return ProgramFiles::path(m_programFolder, fileName);
}

void Module1::OpenDatabase()
{
    const QString folder = m_programFolder;
    const QString connectionString = Catalog::connectionString(folder);
    dbConnection = std::make_unique<Connection>();
    dbConnection->Open(connectionString, QString(), QString(), -1);
    mains.get();
}

ListWindow* Module1::childWindow(ChildWindow which)
{
    switch (which) {
    case ChildWindow::Softwares:
        return softwares.get();
    case ChildWindow::Games:
        return games.get();
    case ChildWindow::Windows:
        return windows.get();
    case ChildWindow::Documents:
        return documents.get();
    case ChildWindow::Reminders:
        return reminders.get();
    }
    return nullptr;
}

void Module1::BringForward()
{
    if (Splash* window = splash.ifLoaded())
        window->raise();
    else if (Mains* window = mains.ifLoaded())
        window->mnutrovix_Click();
}

void Module1::ShowChild(ChildWindow which)
{
    if (ListWindow* window = childWindow(which))
        window->showChild();
}

void Module1::ShowTips()
{
    showModeless(tip.get());
}

void Module1::ShowAbout()
{
    showModeless(about.get());
}

void Module1::showModeless(QWidget* window)
{
    // Shown beside the main window, which stays usable; the window is not handed the focus.
    if (window->isVisible()) {
        window->raise();
        return;
    }
    WindowSystem::keepInFrontOf(window, mains.ifLoaded());
    window->show();
}

void Module1::ToggleOnTop()
{
    Mains* window = mains.get();
    if (!alwaysOnTop) {
        WindowSystem::setTopmost(window, true);
        alwaysOnTop = true;
        window->Panels(3)->setText(QStringLiteral("A"));
        window->Panels(3)->setBevel(StatusPanel::Bevel::Inset);
    } else {
        WindowSystem::setTopmost(window, false);
        alwaysOnTop = false;
        window->Panels(3)->setText(QStringLiteral("N"));
        window->Panels(3)->setBevel(StatusPanel::Bevel::Raised);
    }
}

void Module1::MinimizeToTray()
{
    Mains* window = mains.get();
    // Without a tray host the icon could never bring a hidden window back.
    if (m_services->isSystemTrayAvailable())
        window->hide();
    else
        window->showMinimized();
}

void Module1::HookWindow(QWidget* window)
{
    if (isHooked)
        return;
    previousWindowProc =
            m_services->setWindowProc(window, [this](QWidget* w, unsigned message, qintptr wParam, qintptr lParam) {
                return MainWindowProc(w, message, wParam, lParam);
            });
    isHooked = true;
}

qintptr Module1::MainWindowProc(QWidget* window, unsigned message, qintptr wParam, qintptr lParam)
{
    if (message == TrayCallbackMessage && lParam == TrayMessage::RightButtonDown) {
        mains.get()->SysTrayMouseEventHandler(QStringLiteral("p"));
        return Handled;
    }
    if (message == TrayCallbackMessage && lParam == TrayMessage::LeftButtonDown) {
        mains.get()->SysTrayMouseEventHandler(QStringLiteral("o"));
        return Handled;
    }
    return previousWindowProc ? previousWindowProc(window, message, wParam, lParam) : 0;
}

void Module1::AddTrayIcon(QWidget* window, std::uint32_t id, const QIcon& icon, const QString& tip)
{
    trayIconData.cbSize = TrayIconData::RecordSize;
    trayIconData.hWnd = window;
    trayIconData.uID = id;
    trayIconData.uFlags = TrayIconData::MessageFlag | TrayIconData::IconFlag | TrayIconData::TipFlag;
    trayIconData.uCallbackMessage = TrayCallbackMessage;
    trayIconData.hIcon = icon;
    trayIconData.szTip = TrayIconData::tipField(tip);
    m_services->shellNotifyIcon(TrayMessage::Add, trayIconData);
}

void Module1::RemoveTrayIcon()
{
    m_services->shellNotifyIcon(TrayMessage::Delete, trayIconData);
}

int Module1::LaunchPath(const QString& path)
{
    constexpr int ShowNormal = 1;
    if (path.isEmpty())
        throw RuntimeError(ErrorCode::SubscriptOutOfRange, QStringLiteral("The path is empty."));
    // A bare name is a program on the search path and starts in the program folder, the working folder
    // the program had on its first platform; so does everything a relative path names.
    if (!path.contains(QLatin1Char('/')))
        return m_services->shellExecute(QStringLiteral("Open"), path, QString(), m_programFolder, ShowNormal);
    const QString file = programPath(path);
    // The folder is everything up to and including the last separator.
    const QString folder = file.left(file.lastIndexOf(QLatin1Char('/')) + 1).trimmed();
    return m_services->shellExecute(QStringLiteral("Open"), file, QString(), folder, ShowNormal);
}

QString Module1::programPath(const QString& path) const
{
    if (!path.contains(QLatin1Char('/')) || path.trimmed().startsWith(QLatin1Char('/')))
        return path;
    return m_programFolder + QLatin1Char('/') + path;
}

void Module1::startupFailed(const RuntimeError& error)
{
    const QString text = QStringLiteral("TROVIX cannot start: %1").arg(error.description());
    std::fprintf(stderr, "%s\n", qPrintable(text));
    std::fflush(stderr);
    splash.unload();
    m_services->reportStartupFailure(text);
    endProgram(1);
}

} // namespace trovix
