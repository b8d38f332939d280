#pragma once

#include "services.h"

#include <memory>

class QSoundEffect;

namespace trovix {

class DesktopNotifier;

// The services on Qt and the desktop: programs started detached, documents opened with the desktop's
// opener, wave sounds, a help viewer window, the notification-area icon, desktop notifications and a
// message box for a failed start.
class QtServices : public Services
{
public:
    // Every sound asked for is also written, one file name a line, to the sound log when one is named (the
    // end-to-end runs count the chimes so).
    explicit QtServices(QString soundLog = {});
    ~QtServices() override;

    LaunchResult open(const OpenFile& request) override;
    LaunchResult start(const StartProgram& request) override;
    QString openFileName(QWidget* parent, const QString& filter) override;
    QDateTime now() override;
    void playSound(const QString& fileName) override;
    void showHelp(QWidget* owner, const QString& helpFile, std::optional<int> topic) override;
    QSystemTrayIcon* addTrayIcon(const QIcon& icon, const QString& tip, QObject* owner) override;
    bool isSystemTrayAvailable() override;
    void showNotification(const QString& summary, const QString& body, std::function<void()> activated,
                          std::function<void()> dismissed) override;
    void closeNotification() override;
    void reportStartupFailure(const QString& text) override;

private:
    QString m_soundLog;
    std::unique_ptr<QSoundEffect> m_sound;
    std::unique_ptr<DesktopNotifier> m_notifier; // made at the first notification
};

} // namespace trovix
