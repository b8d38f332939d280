#include "duecheck.h"

#include "platform/connection.h"
#include "platform/recordset.h"
#include "platform/runtimeerror.h"
#include "platform/textbox.h"
#include "reminders.h"
#include "shell/mains.h"
#include "shell/module1.h"
#include "store/catalog.h"
#include "store/programfiles.h"
#include "store/remindertime.h"

#include <QLabel>
#include <QTimer>

namespace trovix::DueCheck {

const char* const FailureText = "Check if all reminder entries are complete.Restart TROVIX";
const char* const AnnouncementText = "You have got a message";
const char* const UntitledNotification = "Reminder";

namespace {

// The desktop notification of an announcement: its action brings the program forward as the tray's
// "&Trovix" does, with the reminders window in front; closing it is Quiet.
void notifyDesktop(Module1& module, const QString& message, const QString& dueTime, bool marked)
{
    const auto activated = [&module] {
        module.BringForward();
        if (module.reminders.ifLoaded())
            module.ShowChild(ChildWindow::Reminders);
    };
    const auto dismissed = [&module] {
        if (RemindersWindow* reminders = module.reminders.ifLoaded())
            reminders->mnuquiet_Click();
    };
    // A mark the file refused is told on the desktop too, after the due time.
    const QString body = marked ? dueTime : dueTime + QLatin1Char('\n') + QString::fromLatin1(FailureText);
    module.services().showNotification(message.trimmed().isEmpty() ? QString::fromLatin1(UntitledNotification)
                                                                   : message,
                                       body, activated, dismissed);
}

} // namespace

bool isNotice(const QString& message)
{
    return message == QLatin1String(AnnouncementText) || message == QLatin1String(FailureText);
}

bool storeMarks(Module1& module)
{
    QList<UnstoredMark>& marks = module.mains->unstoredMarks;
    if (marks.isEmpty())
        return true;
    Connection& connection = *module.dbConnection;
    connection.regainWriteAccess();
    while (!marks.isEmpty()) {
        const UnstoredMark& mark = marks.first();
        // Only the reminder as it was announced: one changed since is announced again at its time.
        try {
            connection.Execute(QStringLiteral("update reminders set done = 1 where rowid = ? and done = 0 "
                                              "and time is ? and message is ?"),
                               {mark.rowid, mark.time, mark.message});
        } catch (const RuntimeError&) {
            return false;
        }
        marks.removeFirst();
    }
    return true;
}

void run(Module1& module, Recordset& rsDue)
{
    Mains& main = *module.mains.get();
    // A refused mark was reported when it was refused; trying again says nothing.
    storeMarks(module);
    try {
        rsDue.Open(Catalog::PendingRemindersQuery, *module.dbConnection);
        if (rsDue.Eof()) {
            main.Timer1->stop();
            // Nothing pending: no mark is left to store.
            main.unstoredMarks.clear();
        }
        QList<qint64> announced;
        for (const UnstoredMark& mark : std::as_const(main.unstoredMarks))
            announced << mark.rowid;
        rsDue.Open(Catalog::dueRemindersQuery(module.services().now(), announced), *module.dbConnection);
        if (rsDue.Eof())
            return;

        main.mnutrovix_Click();
        module.ShowChild(ChildWindow::Reminders);
        RemindersWindow* reminders = module.reminders.get();
        // A reminder without a message is still a reminder that fell due.
        const Value message = rsDue.Fields(0);
        reminders->Text2->setText(message.isNull() ? QString() : message.toText());
        reminders->Label3(2)->setText(ReminderTime::display(rsDue.Fields(1).variant()));
        const qint64 row = rsDue.Bookmark();
        bool marked = true;
        try {
            module.dbConnection->regainWriteAccess();
            rsDue.Update(QStringLiteral("done"), 1);
        } catch (const RuntimeError&) {
            // Announced all the same, and only once: the mark waits for a tick at which the file takes it.
            main.unstoredMarks << UnstoredMark{row, message.variant(), rsDue.Fields(1).variant()};
            marked = false;
        }
        module.services().playSound(module.programFile(ProgramFiles::NotifySound));
        main.setMessage(QString::fromLatin1(marked ? AnnouncementText : FailureText));
        notifyDesktop(module, reminders->Text2->text(), reminders->Label3(2)->text(), marked);
        reminders->startChime(row);
        main.Timer1->stop();
    } catch (const RuntimeError&) {
        // The watch goes on: what failed now may work at the next tick.
        main.setMessage(QString::fromLatin1(FailureText));
    }
}

} // namespace trovix::DueCheck
