#pragma once

#include "desktop/services.h"

#include <QList>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <memory>

namespace trovix {

// Services that only record what they were asked, and answer as the test says.
class RecordingServices : public Services
{
public:
    struct HelpRequest
    {
        QPointer<QWidget> owner;
        QString file;
        std::optional<int> topic; // nothing: the contents
    };
    struct Notification
    {
        QString summary, body;
        std::function<void()> activated, dismissed;
    };

    LaunchResult open(const OpenFile& request) override;
    LaunchResult start(const StartProgram& request) override;
    QString openFileName(QWidget* parent, const QString& filter) override;
    QDateTime now() override { return clock.isValid() ? clock : QDateTime::currentDateTime(); }
    void playSound(const QString& fileName) override { sounds << fileName; }
    void showHelp(QWidget* owner, const QString& helpFile, std::optional<int> topic) override
    {
        helpRequests.append({owner, helpFile, topic});
    }
    QSystemTrayIcon* addTrayIcon(const QIcon& icon, const QString& tip, QObject* owner) override;
    bool isSystemTrayAvailable() override { return trayAvailable; }
    void showNotification(const QString& summary, const QString& body, std::function<void()> activated,
                          std::function<void()> dismissed) override
    {
        notifications << Notification{summary, body, std::move(activated), std::move(dismissed)};
    }
    void closeNotification() override { ++notificationsClosed; }
    void reportStartupFailure(const QString& text) override { startupFailures << text; }

    // Scripted answers.
    QDateTime clock;                                                // what now() answers; invalid: the real time
    LaunchResult::Outcome outcome = LaunchResult::Outcome::Started; // what a start or an opening comes to
    QStringList nextFileNames;  // what the file dialog answers, one a request; none left: cancelled
    bool launchForReal = false; // starts and openings go to the real services (and are recorded)
    bool trayAvailable = true;

    // What was asked.
    QList<OpenFile> openings;
    QList<QStringList> programStarts;
    QStringList dialogFilters; // of every file dialog asked for
    QStringList sounds;
    QList<HelpRequest> helpRequests;
    QStringList trayTips;               // of every icon made
    QPointer<QSystemTrayIcon> trayIcon; // the last icon made, while it is there
    QStringList startupFailures;
    QList<Notification> notifications;
    int notificationsClosed = 0;
    // Every start asked for, in order of kind: "FILE in FOLDER" for an opening, the words joined by " | " for
    // a program.
    QStringList launches() const;

private:
    std::unique_ptr<Services> m_real;
    Services& real();
};

} // namespace trovix
