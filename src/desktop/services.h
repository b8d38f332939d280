#pragma once

#include "core/launcher.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QIcon;
class QObject;
class QSystemTrayIcon;
class QWidget;

namespace trovix {

// The operating-system services the windows reach: one real implementation on Qt, and a recording fake
// for tests. The window system itself (shapes, the topmost band, focus, visibility) is plain Qt and is not
// behind this seam.
class Services
{
public:
    virtual ~Services() = default;

    // Opens the file, or starts the program it is, as Launcher::open does.
    virtual LaunchResult open(const OpenFile& request) = 0;
    // Starts a program with its arguments, as Launcher::start does.
    virtual LaunchResult start(const StartProgram& request) = 0;

    // The modal file-open dialog. The filter is "Description|patterns|Description|patterns", patterns
    // separated by ';'. The chosen file's full name; empty when the user cancels.
    virtual QString openFileName(QWidget* parent, const QString& filter) = 0;

    // The local date and time now; the due check and the reminders' editor read the time from here.
    virtual QDateTime now() = 0;

    // Starts the wave file and returns at once; a new sound replaces the one playing. A missing file beeps.
    virtual void playSound(const QString& fileName) = 0;

    // Opens the help viewer, owned by the owner window, at its contents or at a topic number.
    virtual void showHelp(QWidget* owner, const QString& helpFile, std::optional<int> topic) = 0;

    // The notification-area icon with its tip, owned by the owner; its presses come as its activated
    // signal. It shows at once where there is a notification area.
    virtual QSystemTrayIcon* addTrayIcon(const QIcon& icon, const QString& tip, QObject* owner) = 0;
    virtual bool isSystemTrayAvailable() = 0;

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
