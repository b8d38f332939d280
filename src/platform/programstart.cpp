#include "programstart.h"

#include "runtimeerror.h"

#include <QProcess>

namespace trovix::ProgramStart {

qint64 startDetached(const QStringList& words)
{
    qint64 pid = 0;
    if (words.isEmpty() || !QProcess::startDetached(words.first(), words.mid(1), QString(), &pid))
        throw RuntimeError(ErrorCode::InvalidCall, QStringLiteral("placeholder"));
    return pid;
}

} // namespace trovix::ProgramStart
