#pragma once

#include <QString>

// What the main window's message line says, as the user reads it.
namespace trovix::shown {

inline const QString Resting = QStringLiteral("Double Click for Tip of the Day");
inline const QString FillIn = QStringLiteral("Fill in the values");
inline const QString FillInCorrect = QStringLiteral("Fill in the correct values");
inline const QString NotRunnable = QStringLiteral("Not a valid executable file");
inline const QString Announcement = QStringLiteral("You have got a message");
inline const QString Failure = QStringLiteral("Check if all reminder entries are complete.Restart TROVIX");

} // namespace trovix::shown
