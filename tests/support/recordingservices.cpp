#include "recordingservices.h"

#include "platform/qtservices.h"
#include "platform/runtimeerror.h"

namespace trovix {

int RecordingServices::shellExecute(const QString& operation, const QString& file, const QString& parameters,
                                    const QString& directory, int showCommand)
{
    shellRequests.append({operation, file, parameters, directory, showCommand});
    if (launchForReal)
        return real().shellExecute(operation, file, parameters, directory, showCommand);
    return shellResult;
}

qint64 RecordingServices::startProgram(const QStringList& words, const QString& folder)
{
    programStarts.append(words);
    if (launchForReal)
        return real().startProgram(words, folder);
    if (startFailure != 0)
        throw RuntimeError(startFailure, QStringLiteral("The program could not be started (as scripted)."));
    return 4242;
}

QString RecordingServices::openFileName(QWidget* parent, const QString& filter)
{
    dialogRequests.append({parent, filter});
    return nextFileNames.isEmpty() ? QString() : nextFileNames.takeFirst();
}

QStringList RecordingServices::launches() const
{
    QStringList asked;
    for (const ShellRequest& request : shellRequests)
        asked << request.file + QStringLiteral(" in ") + request.directory;
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

void RecordingServices::winHelp(QWidget* owner, const QString& helpFile, int command, int data)
{
    helpRequests.append({owner, helpFile, command, data});
}

bool RecordingServices::shellNotifyIcon(int message, const TrayIconData& data)
{
    trayRequests.append({message, data});
    return true;
}

WindowProc RecordingServices::setWindowProc(QWidget* window, WindowProc procedure)
{
    WindowProc previous = m_procedures.value(window, [](QWidget*, unsigned, qintptr, qintptr) -> qintptr { return 0; });
    m_procedures.insert(window, std::move(procedure));
    return previous;
}

qintptr RecordingServices::sendMessage(QWidget* window, unsigned message, qintptr wParam, qintptr lParam)
{
    const WindowProc procedure = m_procedures.value(window);
    return procedure ? procedure(window, message, wParam, lParam) : 0;
}

} // namespace trovix
