#pragma once

#include "platform/services.h"
#include "platform/trayicondata.h"
#include "windowslot.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

namespace trovix {

class CategoryWindow;
class Connection;
class DocumentsWindow;
class RemindersWindow;
class ListWindow;
class RuntimeError;
class Mains;
class Splash;
class About;
class Tip;
struct CategoryTraits;

// The child windows of the main window.
enum class ChildWindow { Games, Softwares, Windows, Documents, Reminders };

// One run of the program: the shared state, the shared routines and the one
// instance of every window. main() makes one; every test makes its own.
class Module1 : public QObject
{
    Q_OBJECT

    // Declared first so that they outlive the windows below.
    QString m_programFolder;
    std::unique_ptr<Services> m_services;

public:
    Module1(QString programFolder, std::unique_ptr<Services> services);
    ~Module1() override;

    Services& services() { return *m_services; }
    const QString& programFolder() const { return m_programFolder; }
    QString programFile(const QString& fileName) const;

    // Shared state.
    std::unique_ptr<Connection> dbConnection;
    bool alwaysOnTop = false;
    QString helpFile;
    TrayIconData trayIconData;
    WindowProc previousWindowProc;
    bool isHooked = false;

    // The windows, each created on first use.
    WindowSlot<Splash> splash;
    WindowSlot<Mains> mains;
    WindowSlot<CategoryWindow> softwares;
    WindowSlot<CategoryWindow> games;
    WindowSlot<CategoryWindow> windows;
    WindowSlot<DocumentsWindow> documents;
    WindowSlot<RemindersWindow> reminders;
    WindowSlot<About> about;
    WindowSlot<Tip> tip;

    // The child window, loaded first if need be; nullptr for one the program does not have.
    ListWindow* childWindow(ChildWindow which);
    // Another start on the same program folder: the main window comes forward, as the tray's "&Trovix"
    // brings it; while the splash still runs, the splash does, and the main window follows at its end.
    void BringForward();
    // Shows the child window in the main window as the active child, holding the focus.
    void ShowChild(ChildWindow which);
    // The Tip of the Day window and the about box, shown without taking the focus.
    void ShowTips();
    void ShowAbout();

    // Shared routines.
    void OpenDatabase();
    void ToggleOnTop();
    void MinimizeToTray();
    void HookWindow(QWidget* window);
    qintptr MainWindowProc(QWidget* window, unsigned message, qintptr wParam, qintptr lParam);
    void AddTrayIcon(QWidget* window, std::uint32_t id, const QIcon& icon, const QString& tip);
    void RemoveTrayIcon();
    // Opens the file through the shell in its own folder; returns the shell's code
    // (above 32 on success). An empty path raises error 9.
    int LaunchPath(const QString& path);
    // A relative path holding '/' taken from the program folder; a bare name (a program on the search
    // path) and an absolute path as they are.
    QString programPath(const QString& path) const;

    // A list was read from the database. Once no list has been read for IdleMemoryMs, the decrypted
    // pages the connection keeps are given back: a program that stays open all day holds only what its
    // windows show. The next reload reads its pages again, once.
    void listRead();
    void releaseIdleMemory();
    static constexpr int IdleMemoryMs = 30000;
    const QTimer& idleMemoryTimer() const { return m_idleMemory; }

    // Ends the program with the status; main() leaves its event loop.
    void endProgram(int exitCode) { emit programEnded(exitCode); }
    // Start-up could not go on: tell the user plainly, then end the program with status 1.
    void startupFailed(const RuntimeError& error);

private:
    void showModeless(QWidget* window);

    QTimer m_idleMemory;

signals:
    // The program is over; main() leaves its event loop with this status.
    void programEnded(int exitCode);
};

} // namespace trovix
