#include "commandline.h"

namespace trovix::CommandLine {

std::optional<QStringList> splitWords(const QString& commandLine)
{
    return commandLine.split(QLatin1Char(' '), Qt::SkipEmptyParts); // placeholder
}

} // namespace trovix::CommandLine
