#pragma once

#include <QString>
#include <QStringList>

#include <variant>

namespace trovix {

struct Entry;

// How a list starts its entries.
enum class LaunchKind {
    Shell,       // the path is opened as a file: a program starts, a document opens in its application
    CommandLine, // the path is a command line: a program and its arguments
    Application, // the entry is a document handed to the list's application
};

// What became of a start.
struct LaunchResult
{
    enum class Outcome {
        Started,
        NotFound,    // the file or program is not there (or not on the search path)
        NotRunnable, // nothing runnable: an empty path, a folder, no execute permission, a file the system cannot run
        NoPath,      // the entry's path holds no value
    };
    Outcome outcome = Outcome::Started;
    QString reason; // a plain sentence naming what failed

    bool started() const { return outcome == Outcome::Started; }
};

// A file opened: a program in it starts, anything else opens with the desktop's own choice. The file is
// named by its path (absolute, or relative to the program folder) or, without a '/', is a program looked
// up on the search path only.
struct OpenFile
{
    QString file;
    QString folder; // the working folder
};

// A program started with its arguments, each word passed as it stands.
struct StartProgram
{
    QStringList words;
    QString folder; // the working folder of a program found on the search path
};

// What starting an entry comes to: a file to open, a program to start, or why nothing can start.
using LaunchPlan = std::variant<OpenFile, StartProgram, LaunchResult>;

namespace Launcher {

// What Enter in the entry's list starts. A Shell path opens in its own folder (everything up to its last
// '/', a relative one taken from the program folder); a bare name is a program on the search path and
// starts in the program folder. A command line is split into words as a shell splits them. A document is
// handed, exactly as stored, to the application path's words as one last argument.
LaunchPlan plan(LaunchKind kind, const Entry& entry, const QString& applicationPath, const QString& programFolder);

// Opens the file for real: an executable file starts detached in the folder, anything else is handed to
// the desktop's opener (xdg-open, on the search path).
LaunchResult open(const OpenFile& request);
// Starts the program for real, detached, so that it outlives this one and leaves no zombie. words[0]
// names it: a name holding '/' is a path (a relative one taken from the folder, never from the process's
// working folder) and the program starts in its own folder; a bare name is looked up on the search path
// only and starts in the folder.
LaunchResult start(const StartProgram& request);

} // namespace Launcher
} // namespace trovix
