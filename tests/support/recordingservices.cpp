#include "recordingservices.h"

namespace trovix {

int RecordingServices::shellExecute(const QString& operation, const QString& file, const QString& parameters,
                                    const QString& directory, int showCommand)
{
    shellRequests.append({operation, file, parameters, directory, showCommand});
    return shellResult;
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
    WindowProc previous = m_procedures.value(window);
    if (!previous) {
        previous = [this](QWidget*, unsigned message, qintptr, qintptr) -> qintptr {
            defaultProcMessages << message;
            return 0;
        };
    }
    m_procedures.insert(window, std::move(procedure));
    return previous;
}

qintptr RecordingServices::sendMessage(QWidget* window, unsigned message, qintptr wParam, qintptr lParam)
{
    const WindowProc procedure = m_procedures.value(window);
    if (!procedure) {
        defaultProcMessages << message;
        return 0;
    }
    return procedure(window, message, wParam, lParam);
}

} // namespace trovix
