#include "session.h"

#include "aboutbox.h"
#include "categorytraits.h"
#include "categorywindow.h"
#include "core/catalog.h"
#include "core/programfiles.h"
#include "core/reminderscheduler.h"
#include "core/remindertime.h"
#include "desktop/windowsystem.h"
#include "documentswindow.h"
#include "mainwindow.h"
#include "reminderswindow.h"
#include "splashwindow.h"
#include "tipwindow.h"

#include <array>
#include <cstdio>
#include <utility>

namespace trovix {

namespace {

// The desktop notification's summary for a reminder without a message.
const QString UntitledNotification = QStringLiteral("Reminder");

struct ChildWindowName
{
    const char* name;
    ChildWindow which;
};
constexpr std::array<ChildWindowName, 5> ChildWindowNames{{{"softwares", ChildWindow::Softwares},
                                                           {"games", ChildWindow::Games},
                                                           {"windows", ChildWindow::Windows},
                                                           {"documents", ChildWindow::Documents},
                                                           {"reminders", ChildWindow::Reminders}}};

} // namespace

QStringList childWindowNames()
{
    QStringList names;
    for (const ChildWindowName& child : ChildWindowNames)
        names << QString::fromLatin1(child.name);
    return names;
}

std::optional<ChildWindow> childWindowNamed(QStringView name)
{
    for (const ChildWindowName& child : ChildWindowNames) {
        if (name == QLatin1StringView(child.name))
            return child.which;
    }
    return std::nullopt;
}

Session::Session(QString programFolder, std::unique_ptr<Services> services)
    : m_programFolder(std::move(programFolder))
    , m_services(std::move(services))
    , m_scheduler(std::make_unique<ReminderScheduler>(m_database, [this] { return m_services->now(); }))
    , m_splash(*this)
    , m_mainWindow(*this)
    , m_softwares(*this, std::cref(Categories::softwares()))
    , m_games(*this, std::cref(Categories::games()))
    , m_windows(*this, std::cref(Categories::windows()))
    , m_documents(*this)
    , m_reminders(*this)
    , m_about(*this)
    , m_tip(*this)
{
    m_idleMemory.setSingleShot(true);
    m_idleMemory.setInterval(IdleMemoryMs);
    connect(&m_idleMemory, &QTimer::timeout, this, &Session::releaseIdleMemory);
    connect(m_scheduler.get(), &ReminderScheduler::fellDue, this, &Session::announce);
    connect(m_scheduler.get(), &ReminderScheduler::checkFailed, this, &Session::dueCheckFailed);
}

Session::~Session() = default;

QString Session::programFile(const QString& fileName) const
{
    return ProgramFiles::path(m_programFolder, fileName);
}

SplashWindow& Session::splash()
{
    return *m_splash.get();
}

MainWindow& Session::mainWindow()
{
    return *m_mainWindow.get();
}

MainWindow* Session::mainWindowIfLoaded() const
{
    return m_mainWindow.ifLoaded();
}

RemindersWindow* Session::remindersIfLoaded() const
{
    return m_reminders.ifLoaded();
}

SplashWindow* Session::splashIfLoaded() const
{
    return m_splash.ifLoaded();
}

AboutBox* Session::aboutIfLoaded() const
{
    return m_about.ifLoaded();
}

TipWindow* Session::tipsIfLoaded() const
{
    return m_tip.ifLoaded();
}

ListWindow& Session::childWindow(ChildWindow which)
{
    switch (which) {
    case ChildWindow::Softwares:
        return *m_softwares.get();
    case ChildWindow::Games:
        return *m_games.get();
    case ChildWindow::Windows:
        return *m_windows.get();
    case ChildWindow::Documents:
        return *m_documents.get();
    case ChildWindow::Reminders:
        break;
    }
    return *m_reminders.get();
}

void Session::openDatabase()
{
    Catalog::open(m_database, m_programFolder);
    // Reminders are looked for while the main window is there.
    connect(&mainWindow(), &MainWindow::unloaded, m_scheduler.get(), &ReminderScheduler::rest);
    m_scheduler->watch();
}

void Session::startupFailed(const DatabaseError& error)
{
    const QString text = QStringLiteral("TROVIX cannot start: %1").arg(error.description());
    std::fprintf(stderr, "%s\n", qPrintable(text));
    std::fflush(stderr);
    m_splash.unload();
    m_services->reportStartupFailure(text);
    endProgram(1);
}

void Session::listRead()
{
    m_idleMemory.start();
}

void Session::releaseIdleMemory()
{
    m_database.releaseCachedPages();
}

void Session::playSound(const QString& fileName)
{
    m_services->playSound(programFile(fileName));
}

void Session::showHelp(std::optional<int> topic)
{
    m_services->showHelp(&mainWindow(), programFile(ProgramFiles::Help), topic);
}

void Session::bringForward(std::optional<ChildWindow> child)
{
    if (SplashWindow* window = m_splash.ifLoaded()) {
        window->raise();
        if (child)
            m_childAfterSplash = child;
        return;
    }
    // Without the main window the program is ending, or could not start: no window is made now.
    MainWindow* main = m_mainWindow.ifLoaded();
    if (!main)
        return;
    main->bringForward();
    if (child)
        showChild(*child);
}

void Session::showMainWindow()
{
    mainWindow().bringForward();
    if (const std::optional<ChildWindow> child = std::exchange(m_childAfterSplash, std::nullopt))
        showChild(*child);
}

void Session::showChild(ChildWindow which)
{
    childWindow(which).showChild();
}

void Session::showTips()
{
    showModeless(m_tip.get());
}

void Session::showAbout()
{
    showModeless(m_about.get());
}

void Session::closeAboutAndTips()
{
    m_about.unload();
    m_tip.unload();
}

void Session::closeTips()
{
    m_tip.unload();
}

void Session::showModeless(QWidget* window)
{
    // Shown beside the main window, which stays usable; the window is not handed the focus.
    if (window->isVisible()) {
        window->raise();
        return;
    }
    WindowSystem::keepInFrontOf(window, m_mainWindow.ifLoaded());
    window->show();
}

void Session::toggleOnTop()
{
    m_onTop = !m_onTop;
    MainWindow& window = mainWindow();
    WindowSystem::setTopmost(&window, m_onTop);
    window.showOnTop(m_onTop);
}

void Session::minimizeToTray()
{
    MainWindow& window = mainWindow();
    // Without a tray host the icon could never bring a hidden window back.
    if (m_services->isSystemTrayAvailable())
        window.hide();
    else
        window.showMinimized();
}

void Session::announce(const Reminder& reminder, bool marked)
{
    MainWindow& main = mainWindow();
    main.bringForward();
    showChild(ChildWindow::Reminders);
    RemindersWindow* reminders = m_reminders.get();
    reminders->announce(reminder);
    playSound(ProgramFiles::NotifySound);
    main.setMessage(marked ? RemindersWindow::AnnouncementNotice : RemindersWindow::FailureNotice);

    // The desktop notification: its action brings the program forward as the tray's "&Trovix" does, with
    // the reminders window in front; closing it is Quiet. A mark the file refused is told there too.
    const QString message = reminders->shownMessage();
    const QString dueTime = reminders->shownDueTime();
    const QString body = marked ? dueTime : dueTime + QLatin1Char('\n') + RemindersWindow::FailureNotice;
    m_services->showNotification(
            message.trimmed().isEmpty() ? UntitledNotification : message, body,
            [this] {
                bringForward();
                if (m_reminders.isLoaded())
                    showChild(ChildWindow::Reminders);
            },
            [this] {
                if (RemindersWindow* window = m_reminders.ifLoaded())
                    window->quiet();
            });
}

void Session::dueCheckFailed()
{
    // The watch goes on: what failed now may work at the next look.
    if (MainWindow* main = m_mainWindow.ifLoaded())
        main->setMessage(RemindersWindow::FailureNotice);
}

} // namespace trovix
