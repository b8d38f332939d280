#include "recordingservices.h"

#include "desktop/qtservices.h"

#include <QSystemTrayIcon>

namespace trovix {

LaunchResult RecordingServices::open(const OpenFile& request)
{
    openings.append(request);
    return launchForReal ? real().open(request) : LaunchResult{outcome, QStringLiteral("as scripted")};
}

LaunchResult RecordingServices::start(const StartProgram& request)
{
    programStarts.append(request.words);
    return launchForReal ? real().start(request) : LaunchResult{outcome, QStringLiteral("as scripted")};
}

QString RecordingServices::openFileName(QWidget*, const QString& filter)
{
    dialogFilters << filter;
    return nextFileNames.isEmpty() ? QString() : nextFileNames.takeFirst();
}

QSystemTrayIcon* RecordingServices::addTrayIcon(const QIcon& icon, const QString& tip, QObject* owner)
{
    // A real icon, never shown: its presses are the test's to send.
    trayIcon = new QSystemTrayIcon(icon, owner);
    trayIcon->setToolTip(tip);
    trayTips << tip;
    return trayIcon;
}

QStringList RecordingServices::launches() const
{
    QStringList asked;
    for (const OpenFile& request : openings)
        asked << request.file + QStringLiteral(" in ") + request.folder;
    for (const QStringList& words : programStarts)
        asked << words.join(QStringLiteral(" | "));
    return asked;
}

Services& RecordingServices::real()
{
    if (!m_real)
        m_real = std::make_unique<QtServices>();
    return *m_real;
}

} // namespace trovix
