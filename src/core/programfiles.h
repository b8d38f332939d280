#pragma once

#include <QString>

// Every file the program reads lies in its own folder under a fixed name.
namespace trovix::ProgramFiles {

inline const QString Database = QStringLiteral("trovix.mdb");
inline const QString Help = QStringLiteral("trovix.hlp");
inline const QString NotifySound = QStringLiteral("notify.wav");
inline const QString DeleteSound = QStringLiteral("delete.wav");
inline const QString OverSound = QStringLiteral("over.wav");
inline const QString Tips = QStringLiteral("TOTD");

// The program folder (no trailing separator), one separator, the fixed name.
inline QString path(const QString& programFolder, const QString& fileName)
{
    return programFolder + QLatin1Char('/') + fileName;
}

} // namespace trovix::ProgramFiles
