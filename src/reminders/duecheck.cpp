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

void run(Module1& module, Recordset& rsDue)
{
    Mains& main = *module.mains.get();
    try {
        rsDue.Open(Catalog::PendingRemindersQuery, *module.dbConnection);
        if (rsDue.Eof())
            main.Timer1->stop();
        rsDue.Open(Catalog::dueRemindersQuery(module.services().now()), *module.dbConnection);
        if (rsDue.Eof())
            return;

        main.mnutrovix_Click();
        module.ShowChild(ChildWindow::Reminders);
        RemindersWindow* reminders = module.reminders.get();
        // A reminder without a message is still a reminder that fell due.
        const Value message = rsDue.Fields(0);
        reminders->Text2->setText(message.isNull() ? QString() : message.toText());
        reminders->Label3(2)->setText(ReminderTime::display(rsDue.Fields(1).variant()));
        module.dbConnection->regainWriteAccess();
        rsDue.Update(QStringLiteral("done"), 1);
        module.services().playSound(module.programFile(ProgramFiles::NotifySound));
        main.setMessage(QString::fromLatin1(AnnouncementText));
        reminders->Timer1->start();
        main.Timer1->stop();
    } catch (const RuntimeError&) {
        main.setMessage(QString::fromLatin1(FailureText));
        main.Timer1->stop();
    }
}

} // namespace trovix::DueCheck
