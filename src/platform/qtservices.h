#pragma once

#include "services.h"

#include <QHash>
#include <QPointer>

#include <memory>

class QSoundEffect;
class QSystemTrayIcon;

namespace trovix {

class DesktopNotifier;
class HelpViewer;

// The services on Qt and the desktop: programs started detached, documents
// opened with the desktop's opener, wave sounds, a help viewer window, the
// notification-area icon, desktop notifications and a message box for a failed start.
class QtServices : public Services
{
public:
    QtServices();
    ~QtServices() override;

    int shellExecute(const QString& operation, const QString& file, const QString& parameters, const QString& directory,
                     int showCommand) override;
    qint64 startProgram(const QStringList& words, const QString& folder) override;
    QString openFileName(QWidget* parent, const QString& filter) override;
    QDateTime now() override;
    void playSound(const QString& fileName) override;
    void winHelp(QWidget* owner, const QString& helpFile, int command, int data) override;
    bool shellNotifyIcon(int message, const TrayIconData& data) override;
    bool isSystemTrayAvailable() override;
    WindowProc setWindowProc(QWidget* window, WindowProc procedure) override;
    void showNotification(const QString& summary, const QString& body, std::function<void()> activated,
                          std::function<void()> dismissed) override;
    void closeNotification() override;
    void reportStartupFailure(const QString& text) override;

    // The wave file playing or last played; empty before the first sound.
    QString currentSound() const;
    QSystemTrayIcon* trayIcon() const { return m_tray; }

private:
    void deliverTrayNotification(unsigned notification);

    QSoundEffect* m_sound = nullptr;
    QSystemTrayIcon* m_tray = nullptr;
    QPointer<QWidget> m_trayWindow;
    unsigned m_trayCallbackMessage = 0;
    qintptr m_trayId = 0;
    QHash<QWidget*, WindowProc> m_windowProcs;
    std::unique_ptr<DesktopNotifier> m_notifier; // made at the first notification
};

} // namespace trovix
