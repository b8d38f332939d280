#pragma once

#include "core/database.h"
#include "desktop/services.h"
#include "windowslot.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <memory>
#include <optional>

namespace trovix {

class AboutBox;
class CategoryWindow;
class DocumentsWindow;
class ListWindow;
class MainWindow;
class ReminderScheduler;
class RemindersWindow;
class SplashWindow;
class TipWindow;
struct Reminder;

// The child windows of the main window.
enum class ChildWindow { Games, Softwares, Windows, Documents, Reminders };
// Their names on the command line and in a later start's request: softwares, games, windows, documents,
// reminders.
QStringList childWindowNames();
// The child window of that name; none for any other text.
std::optional<ChildWindow> childWindowNamed(QStringView name);

// One run of the program on its folder: the services, the database, the reminders' watch and every
// window, each made on first use and gone when closed. main() makes one; every test makes its own.
class Session : public QObject
{
    Q_OBJECT

public:
    Session(QString programFolder, std::unique_ptr<Services> services);
    ~Session() override;

    Services& services() { return *m_services; }
    Database& database() { return m_database; }
    ReminderScheduler& scheduler() { return *m_scheduler; }
    const QString& programFolder() const { return m_programFolder; }
    QString programFile(const QString& fileName) const;

    // The windows. The splash shows first; it opens the database, which makes the main window (unseen).
    SplashWindow& splash();
    MainWindow& mainWindow();
    MainWindow* mainWindowIfLoaded() const;
    // The child window, made first if need be.
    ListWindow& childWindow(ChildWindow which);
    RemindersWindow* remindersIfLoaded() const;
    SplashWindow* splashIfLoaded() const;
    AboutBox* aboutIfLoaded() const;
    TipWindow* tipsIfLoaded() const;

    // Opens the program folder's database and makes the main window, unseen. Throws DatabaseError.
    void openDatabase();
    // Start-up could not go on: tells the user plainly, then ends the program with status 1.
    void startupFailed(const DatabaseError& error);
    // Ends the program with the status; main() leaves its event loop.
    void endProgram(int exitCode) { emit programEnded(exitCode); }

    // A list was read from the database. Once no list has been read for IdleMemoryMs, the decrypted
    // pages the database keeps are given back: a program that stays open all day holds only what its
    // windows show. The next reload reads its pages again, once.
    void listRead();
    static constexpr int IdleMemoryMs = 30000;
    const QTimer& idleMemoryTimer() const { return m_idleMemory; }
    // Gives back what the database and the allocator keep for later reads.
    void releaseIdleMemory();

    bool isOnTop() const { return m_onTop; }
    // Plays one of the program folder's wave files.
    void playSound(const QString& fileName);
    // The help file at its contents, or at a topic.
    void showHelp(std::optional<int> topic = std::nullopt);

public slots:
    // Another start on the same program folder: the main window comes forward, as the tray's "&Trovix"
    // brings it; while the splash still runs, the splash does, and the main window follows at its end. The
    // child window asked for then shows in front, as its menu item shows it (while the splash runs, once
    // the main window shows).
    void bringForward(std::optional<trovix::ChildWindow> child = std::nullopt);
    // The splash is over: the main window shows, with the child window a start asked for in front.
    void showMainWindow();
    // Shows the child window in the main window as the active child, holding the focus.
    void showChild(trovix::ChildWindow which);
    // The Tip of the Day window and the about box, in front of the main window.
    void showTips();
    void showAbout();
    void closeAboutAndTips();
    void closeTips();
    // The main window stays on top of all other windows, or stops doing so.
    void toggleOnTop();
    // The main window goes to the notification area (minimized where there is none).
    void minimizeToTray();

signals:
    // The program is over; main() leaves its event loop with this status.
    void programEnded(int exitCode);

private:
    void showModeless(QWidget* window);
    // A reminder fell due: the main window comes forward with the reminders window showing it, the chime
    // starts, the message line and a desktop notification say so.
    void announce(const trovix::Reminder& reminder, bool marked);
    void dueCheckFailed();

    // Declared first so that they outlive the windows below.
    QString m_programFolder;
    std::unique_ptr<Services> m_services;
    Database m_database;
    std::unique_ptr<ReminderScheduler> m_scheduler;
    bool m_onTop = false;
    // Asked for while the splash runs; shown with the main window.
    std::optional<ChildWindow> m_childAfterSplash;
    QTimer m_idleMemory;

    WindowSlot<SplashWindow> m_splash;
    WindowSlot<MainWindow> m_mainWindow;
    WindowSlot<CategoryWindow> m_softwares;
    WindowSlot<CategoryWindow> m_games;
    WindowSlot<CategoryWindow> m_windows;
    WindowSlot<DocumentsWindow> m_documents;
    WindowSlot<RemindersWindow> m_reminders;
    WindowSlot<AboutBox> m_about;
    WindowSlot<TipWindow> m_tip;
};

} // namespace trovix
