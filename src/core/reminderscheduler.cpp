#include "reminderscheduler.h"

#include "database.h"

namespace trovix {

ReminderScheduler::ReminderScheduler(Database& database, std::function<QDateTime()> clock, QObject* parent)
    : QObject(parent)
    , m_database(database)
    , m_clock(std::move(clock))
{
    m_timer.setObjectName(QStringLiteral("dueCheckTimer"));
    m_timer.setInterval(IntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &ReminderScheduler::check);
}

void ReminderScheduler::watch()
{
    m_timer.start();
}

void ReminderScheduler::rest()
{
    m_timer.stop();
}

bool ReminderScheduler::storeMarks()
{
    if (m_unstoredMarks.isEmpty())
        return true;
    m_database.regainWriteAccess();
    while (!m_unstoredMarks.isEmpty()) {
        // Only the reminder as it was announced: one changed since is announced again at its time.
        try {
            ReminderStore::markDoneIfUnchanged(m_database, m_unstoredMarks.first());
        } catch (const DatabaseError&) {
            return false;
        }
        m_unstoredMarks.removeFirst();
    }
    return true;
}

void ReminderScheduler::check()
{
    // A refused mark was told when it was refused; trying again says nothing.
    storeMarks();
    try {
        if (!ReminderStore::anyPending(m_database)) {
            rest();
            // Nothing pending: no mark is left to store.
            m_unstoredMarks.clear();
        }
        QList<qint64> announced;
        for (const Reminder& mark : std::as_const(m_unstoredMarks))
            announced << mark.id;
        const std::optional<Reminder> due = ReminderStore::firstDue(m_database, m_clock(), announced);
        if (!due)
            return;
        bool marked = true;
        try {
            m_database.regainWriteAccess();
            ReminderStore::markDone(m_database, due->id);
        } catch (const DatabaseError&) {
            // Announced all the same, and only once: the mark waits for a look at which the file takes it.
            m_unstoredMarks << *due;
            marked = false;
        }
        rest();
        emit fellDue(*due, marked);
    } catch (const DatabaseError&) {
        emit checkFailed();
    }
}

} // namespace trovix
