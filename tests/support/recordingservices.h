#pragma once

#include "platform/services.h"
#include "platform/trayicondata.h"

#include <QHash>
#include <QList>
#include <QPointer>
#include <QStringList>

#include <memory>

namespace trovix {

// Services that only record what they were asked, and answer as the test says.
class RecordingServices : public Services
{
public:
    struct ShellRequest
    {
        QString operation, file, parameters, directory;
        int showCommand;
    };
    struct HelpRequest
    {
        QPointer<QWidget> owner;
        QString file;
        int command, data;
    };
    struct TrayRequest
    {
        int message;
        TrayIconData data;
    };

    struct Notification
    {
        QString summary, body;
        std::function<void()> activated, dismissed;
    };

    struct DialogRequest
    {
        QPointer<QWidget> parent;
        QString filter;
    };

    int shellExecute(const QString& operation, const QString& file, const QString& parameters, const QString& directory,
                     int showCommand) override;
    qint64 startProgram(const QStringList& words, const QString& folder) override;
    QString openFileName(QWidget* parent, const QString& filter) override;
    QDateTime now() override { return clock.isValid() ? clock : QDateTime::currentDateTime(); }
    void playSound(const QString& fileName) override { sounds << fileName; }
    void winHelp(QWidget* owner, const QString& helpFile, int command, int data) override;
    bool shellNotifyIcon(int message, const TrayIconData& data) override;
    bool isSystemTrayAvailable() override { return trayAvailable; }
    WindowProc setWindowProc(QWidget* window, WindowProc procedure) override;
    void showNotification(const QString& summary, const QString& body, std::function<void()> activated,
                          std::function<void()> dismissed) override
    {
        notifications << Notification{summary, body, std::move(activated), std::move(dismissed)};
    }
    void closeNotification() override { ++notificationsClosed; }
    void reportStartupFailure(const QString& text) override { startupFailures << text; }

    // Sends a notification-area message to the procedure installed for the window, as the platform would.
    qintptr sendMessage(QWidget* window, unsigned message, qintptr wParam, qintptr lParam);

    // Scripted answers.
    int shellResult = 42;
    QDateTime clock;            // the time now() answers; invalid: the real time
    int startFailure = 0;       // a run-time error code startProgram raises; 0 starts
    QStringList nextFileNames;  // what the file dialog answers, one a request; none left: cancelled
    bool launchForReal = false; // shellExecute and startProgram go to the real services (and are recorded)
    bool trayAvailable = true;

    // What was asked.
    QList<ShellRequest> shellRequests;
    QList<QStringList> programStarts;
    QList<DialogRequest> dialogRequests;
    QStringList sounds;
    QList<HelpRequest> helpRequests;
    QList<TrayRequest> trayRequests;
    QStringList startupFailures;
    QList<Notification> notifications;
    int notificationsClosed = 0;
    // Every start asked for, in order of kind: "FILE in FOLDER" for the shell, the words joined by " | " for a
    // program.
    QStringList launches() const;

private:
    QHash<QWidget*, WindowProc> m_procedures;
    std::unique_ptr<Services> m_real;
    Services& real();
};

} // namespace trovix
