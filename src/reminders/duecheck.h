#pragma once

namespace trovix {

class Module1;
class Recordset;

// The main window's look, every few seconds, for a reminder that has fallen due:
// the earliest one due and not yet done is announced in the reminders window,
// marked done, and the check rests until the user asks for quiet or saves a
// reminder. With nothing pending the check rests as well.
namespace DueCheck {

// The status text of a check that could not be completed; the check then rests.
extern const char* const FailureText;
extern const char* const AnnouncementText;

// One tick of the check, on the main window's recordset for it.
void run(Module1& module, Recordset& rsDue);

} // namespace DueCheck
} // namespace trovix
