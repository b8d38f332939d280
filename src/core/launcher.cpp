#include "launcher.h"

#include "commandline.h"
#include "entrystore.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace trovix::Launcher {

namespace {

// The desktop's own way to open a document with its associated application.
const QString DocumentOpener = QStringLiteral("xdg-open");

LaunchResult failed(LaunchResult::Outcome outcome, const QString& reason)
{
    return {outcome, reason};
}

// A relative path holding '/' is taken from the program folder; a bare name (a program on the search
// path) and an absolute path stay as they are.
QString fromProgramFolder(const QString& path, const QString& programFolder)
{
    if (!path.contains(QLatin1Char('/')) || path.trimmed().startsWith(QLatin1Char('/')))
        return path;
    return programFolder + QLatin1Char('/') + path;
}

LaunchResult startDetached(const QString& program, const QStringList& arguments, const QString& folder,
                           const QString& name)
{
    // Detached, so the program outlives us and leaves no zombie behind. A file the system does not know
    // how to run (such as a script without a #! line) is not handed to a shell: it fails here.
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setWorkingDirectory(folder);
    if (!process.startDetached())
        return failed(LaunchResult::Outcome::NotRunnable,
                      QStringLiteral("The program %1 could not be started: it may not be a program this system "
                                     "can run.")
                              .arg(name));
    return {};
}

} // namespace

LaunchPlan plan(LaunchKind kind, const Entry& entry, const QString& applicationPath, const QString& programFolder)
{
    if (kind == LaunchKind::Application) {
        const std::optional<QStringList> words =
                CommandLine::documentCommand(applicationPath, entry.path.value_or(QString()));
        if (!words)
            return failed(LaunchResult::Outcome::NotRunnable,
                          QStringLiteral("The application path has an open quote."));
        // Without an application the document alone would be the program: it is refused as no runnable
        // program, and never started; one that is not there is not found.
        if (words->size() < 2) {
            const QString alone = words->value(0);
            const bool there = !alone.isEmpty() && QFileInfo::exists(QDir(programFolder).filePath(alone));
            return failed(there ? LaunchResult::Outcome::NotRunnable : LaunchResult::Outcome::NotFound,
                          QStringLiteral("No application is set for the documents."));
        }
        return StartProgram{*words, programFolder};
    }
    if (!entry.path)
        return failed(LaunchResult::Outcome::NoPath, QStringLiteral("The entry has no path."));
    const QString& path = *entry.path;
    if (kind == LaunchKind::CommandLine) {
        const std::optional<QStringList> words = CommandLine::splitWords(path.trimmed());
        if (!words || words->isEmpty())
            return failed(LaunchResult::Outcome::NotRunnable, QStringLiteral("The command line names no program."));
        return StartProgram{*words, programFolder};
    }
    if (path.trimmed().isEmpty())
        return failed(LaunchResult::Outcome::NotRunnable, QStringLiteral("The path is empty."));
    // A bare name is a program on the search path and starts in the program folder, the working folder
    // the program had on its first platform; a path opens in its own folder: everything up to and
    // including the last separator.
    if (!path.contains(QLatin1Char('/')))
        return OpenFile{path, programFolder};
    const QString file = fromProgramFolder(path, programFolder);
    return OpenFile{file, file.left(file.lastIndexOf(QLatin1Char('/')) + 1).trimmed()};
}

LaunchResult open(const OpenFile& request)
{
    const QString& file = request.file;
    // A bare name is a program on the search path, never a file in the process's working folder.
    if (!file.contains(QLatin1Char('/'))) {
        const QString program = QStandardPaths::findExecutable(file.trimmed());
        if (program.isEmpty())
            return failed(LaunchResult::Outcome::NotFound,
                          QStringLiteral("The program %1 was not found on the search path.").arg(file));
        return startDetached(program, {}, request.folder, file);
    }
    const QFileInfo info(file);
    if (!info.exists())
        return failed(LaunchResult::Outcome::NotFound, QStringLiteral("The file %1 was not found.").arg(file));
    if (info.isFile() && info.isExecutable())
        return startDetached(info.absoluteFilePath(), {}, request.folder, file);
    const QString opener = QStandardPaths::findExecutable(DocumentOpener);
    if (opener.isEmpty())
        return failed(LaunchResult::Outcome::NotRunnable,
                      QStringLiteral("Nothing on the search path opens %1 (%2 is missing).").arg(file, DocumentOpener));
    return startDetached(opener, {info.absoluteFilePath()}, request.folder, DocumentOpener);
}

LaunchResult start(const StartProgram& request)
{
    const QStringList& words = request.words;
    if (words.isEmpty() || words.first().isEmpty())
        return failed(LaunchResult::Outcome::NotRunnable, QStringLiteral("No program was given to start."));

    // The system takes each word up to its first NUL: a word holding one would reach the program cut
    // short, or start a program other than the one named.
    for (const QString& word : words) {
        if (word.contains(QChar(u'\0')))
            return failed(LaunchResult::Outcome::NotRunnable,
                          QStringLiteral("A word of the command line holds a NUL character."));
    }

    // QProcess only reports "failed to start", so the causes are found out first.
    const QString& name = words.first();
    QString program;
    QString workingDirectory = request.folder;
    if (name.contains(u'/')) {
        const QFileInfo info(QDir(request.folder).filePath(name));
        if (!info.exists())
            return failed(LaunchResult::Outcome::NotFound, QStringLiteral("The program %1 was not found.").arg(name));
        // Absolute, because the relative name would be looked up again from the new working folder.
        program = info.absoluteFilePath();
        workingDirectory = info.absolutePath();
    } else {
        program = QStandardPaths::findExecutable(name);
        if (program.isEmpty())
            return failed(LaunchResult::Outcome::NotFound,
                          QStringLiteral("The program %1 was not found on the search path.").arg(name));
    }

    const QFileInfo info(program);
    if (info.isDir())
        return failed(LaunchResult::Outcome::NotRunnable, QStringLiteral("%1 is a folder, not a program.").arg(name));
    if (!info.isExecutable())
        return failed(LaunchResult::Outcome::NotRunnable,
                      QStringLiteral("The file %1 is not allowed to be run as a program.").arg(name));
    return startDetached(program, words.mid(1), workingDirectory, name);
}

} // namespace trovix::Launcher
