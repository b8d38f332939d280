#include "programstart.h"

#include "runtimeerror.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace trovix::ProgramStart {

qint64 startDetached(const QStringList& words, const QString& folder)
{
    if (words.isEmpty() || words.first().isEmpty())
        throw RuntimeError(ErrorCode::InvalidCall, QStringLiteral("No program was given to start."));

    // The system takes each word up to its first NUL: a word holding one would reach the program cut
    // short, or start a program other than the one named.
    for (const QString& word : words) {
        if (word.contains(QChar(u'\0')))
            throw RuntimeError(ErrorCode::InvalidCall,
                               QStringLiteral("A word of the command line holds a NUL character."));
    }

    // QProcess only reports "failed to start", so the causes the caller sorts on are found out first.
    const QString& name = words.first();
    QString program;
    QString workingDirectory = folder;
    if (name.contains(u'/')) {
        const QFileInfo info(QDir(folder).filePath(name));
        if (!info.exists())
            throw RuntimeError(ErrorCode::FileNotFound, QStringLiteral("The program %1 was not found.").arg(name));
        // Absolute, because the relative name would be looked up again from the new working folder.
        program = info.absoluteFilePath();
        workingDirectory = info.absolutePath();
    } else {
        program = QStandardPaths::findExecutable(name);
        if (program.isEmpty())
            throw RuntimeError(ErrorCode::FileNotFound,
                               QStringLiteral("The program %1 was not found on the search path.").arg(name));
    }

    const QFileInfo info(program);
    if (info.isDir())
        throw RuntimeError(ErrorCode::InvalidCall, QStringLiteral("%1 is a folder, not a program.").arg(name));
    if (!info.isExecutable())
        throw RuntimeError(ErrorCode::InvalidCall,
                           QStringLiteral("The file %1 is not allowed to be run as a program.").arg(name));

    // Detached, so the program outlives us and leaves no zombie behind. A file the system does not know
    // how to run (such as a script without a #! line) is not handed to a shell: it fails here.
    QProcess process;
    process.setProgram(program);
    process.setArguments(words.mid(1));
    process.setWorkingDirectory(workingDirectory);
    qint64 pid = 0;
    if (!process.startDetached(&pid))
        throw RuntimeError(ErrorCode::InvalidCall,
                           QStringLiteral("The program %1 could not be started: it may not be a program this "
                                          "system can run.")
                                   .arg(name));
    return pid;
}

} // namespace trovix::ProgramStart
