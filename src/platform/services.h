#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace trovix {

struct TrayIconData;

// A window procedure: window, message, wParam, lParam; returns the message's result.
using WindowProc = std::function<qintptr(QWidget*, unsigned, qintptr, qintptr)>;

// Notification-area messages and the mouse notifications they carry.
namespace TrayMessage {
constexpr int Add = 0;    // NIM_ADD
constexpr int Delete = 2; // NIM_DELETE
constexpr unsigned MouseMove = 0x200;
constexpr unsigned LeftButtonDown = 0x201;
constexpr unsigned LeftButtonUp = 0x202;
constexpr unsigned LeftButtonDoubleClick = 0x203;
constexpr unsigned RightButtonDown = 0x204;
constexpr unsigned RightButtonUp = 0x205;
constexpr unsigned MiddleButtonDown = 0x207;
} // namespace TrayMessage

// Help requests.
namespace HelpCommand {
constexpr int Context = 1; // open at a topic number
constexpr int Finder = 11; // open at the contents
} // namespace HelpCommand

// The operating-system services the windows reach. One real implementation on
// Qt, and a recording fake for tests. The window system itself (shapes, topmost
// band, focus, visibility) is plain Qt and is not behind this seam.
class Services
{
public:
    virtual ~Services() = default;

    // Opens the file with its associated application, or starts it when it is a
    // program, in the given folder. A file named without '/' is a program looked up
    // on the search path only. Returns a shell-style code: above 32 on success.
    virtual int shellExecute(const QString& operation, const QString& file, const QString& parameters,
                             const QString& directory, int showCommand) = 0;

    // Starts a program detached, so that it outlives this one. words[0] names the program: a path, which
    // starts in the program's own folder (a relative one is taken from folder), or a bare name looked up on
    // the search path only, which starts in folder; the other words are its arguments, each passed as it
    // stands. Returns the process id. Throws RuntimeError 53 when the program is not found, 5 when the words
    // name no runnable program (none, a folder, a file without the execute permission, a file the system
    // cannot run).
    virtual qint64 startProgram(const QStringList& words, const QString& folder) = 0;

    // The modal file-open dialog. The filter is "Description|patterns|Description|patterns", patterns
    // separated by ';'. Returns the chosen file's full name, or an empty text when the user cancels.
    virtual QString openFileName(QWidget* parent, const QString& filter) = 0;

    // The local date and time now; the due check and the chime read the time from here.
    virtual QDateTime now() = 0;

    // Starts the wave file and returns at once; a new sound replaces the one playing.
    // A missing file plays the default sound.
    virtual void playSound(const QString& fileName) = 0;

    // Opens the help viewer, owned by the owner window, at the contents or a topic.
    virtual void winHelp(QWidget* owner, const QString& helpFile, int command, int data) = 0;

    // Adds or deletes the notification-area icon described by the record.
    virtual bool shellNotifyIcon(int message, const TrayIconData& data) = 0;
    virtual bool isSystemTrayAvailable() = 0;

    // Installs a window procedure for the window and returns the one it replaces.
    // The notification-area icon's presses reach it as the record's callback message.
    virtual WindowProc setWindowProc(QWidget* window, WindowProc procedure) = 0;

    // Shows a notification on the desktop's notification server in place of the one shown before, and
    // returns at once: nothing waits for the server, and without one nothing happens. The summary and the
    // body are plain text. activated runs when the user activates the notification, dismissed when they
    // close it.
    virtual void showNotification(const QString& summary, const QString& body, std::function<void()> activated,
                                  std::function<void()> dismissed) = 0;
    // Takes the notification shown off the desktop, and forgets its handlers.
    virtual void closeNotification() = 0;

    // Tells the user that start-up cannot go on; returns when they have read it.
    virtual void reportStartupFailure(const QString& text) = 0;
};

} // namespace trovix
