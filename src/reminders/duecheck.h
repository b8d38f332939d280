#pragma once

#include <QList>
#include <QVariant>

namespace trovix {

class Module1;
class Recordset;

// The main window's look, every few seconds, for a reminder that has fallen due:
// the earliest one due and not yet done is announced in the reminders window,
// marked done, and the check rests until the chime ends or a reminder is saved.
// With nothing pending the check rests as well. A check that fails does not rest:
// the file may take reads and writes again by the next tick.
namespace DueCheck {

// The status text of a check that could not be completed.
extern const char* const FailureText;
extern const char* const AnnouncementText;
// The desktop notification's summary for a reminder without a message.
extern const char* const UntitledNotification;

// Whether the message line shows an announcement's notice.
bool isNotice(const QString& message);

// A reminder announced whose done mark the file refused, as it was announced: stored at a later
// tick, and never announced again meanwhile.
struct UnstoredMark
{
    qint64 rowid;
    QVariant message;
    QVariant time;
};

// One tick of the check, on the main window's recordset for it.
void run(Module1& module, Recordset& rsDue);

// Stores the marks the file refused before, as far as it takes them now; true when none is left.
bool storeMarks(Module1& module);

} // namespace DueCheck
} // namespace trovix
