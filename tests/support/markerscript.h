#pragma once

#include <QStringList>

namespace trovix {

// A small program for starting for real, in a folder made if need be: it writes its working folder and then its arguments, one a
// line, into the marker file (whole, once it has run).
void writeMarkerScript(const QString& fileName, const QString& marker);
// The lines the script wrote, once it has: folder first, then the arguments (empty ones kept); none
// when it did not run within five seconds.
QStringList waitForMarker(const QString& marker);

} // namespace trovix
