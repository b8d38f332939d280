#pragma once

#include <QStringList>

namespace trovix::ProgramStart {

// Starts a program detached. words[0] names it: a name holding '/' is a path
// (a relative one taken from folder, never from the process's working folder)
// and the program starts in its own folder; a bare name is looked up on the
// search path only, as the system does, and starts in folder. The other words
// are its arguments, passed as they stand.
// Returns the process id. Throws RuntimeError 53 (FileNotFound) when the program
// does not exist or is not on the search path; 5 (InvalidCall) when there are no
// words, the name is empty, or it names a folder, a file without the execute
// permission or a file the system cannot start.
qint64 startDetached(const QStringList& words, const QString& folder);

} // namespace trovix::ProgramStart
