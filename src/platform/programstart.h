#pragma once

#include <QStringList>

namespace trovix::ProgramStart {

// Starts a program detached. words[0] names it: a name holding '/' is a path
// (relative ones from the current folder) and the program starts in its own
// folder; a bare name is looked up on the search path and starts in the current
// folder. The other words are its arguments, passed as they stand.
// Returns the process id. Throws RuntimeError 53 (FileNotFound) when the program
// does not exist or is not on the search path; 5 (InvalidCall) when there are no
// words, the name is empty, or it names a folder, a file without the execute
// permission or a file the system cannot start.
qint64 startDetached(const QStringList& words);

} // namespace trovix::ProgramStart
