#pragma once

#include "reminderstore.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QTimer>

#include <functional>

namespace trovix {

class Database;

// The watch for reminders that fall due. Every six seconds while it watches it looks for the pending
// reminder that fell due first, marks it done and says so; it then rests until told to watch again (a
// Save, the end of a chime), so one reminder is announced at a time. With nothing pending it rests as
// well. A look that fails does not rest: the file may take reads and writes again by the next one. A done
// mark the file refuses is kept, stored at a later look (or before a Save), and its reminder is not
// announced again meanwhile.
class ReminderScheduler : public QObject
{
    Q_OBJECT

public:
    static constexpr int IntervalMs = 6000;

    ReminderScheduler(Database& database, std::function<QDateTime()> clock, QObject* parent = nullptr);

    bool isWatching() const { return m_timer.isActive(); }
    // Looks every six seconds from now on.
    void watch();
    void rest();
    // One look, as the timer takes it.
    void check();
    // Stores the marks the file refused before, as far as it takes them now; true when none is left.
    bool storeMarks();

signals:
    // The reminder fell due and is being announced; marked says whether its done mark was stored.
    void fellDue(const trovix::Reminder& reminder, bool marked);
    // A look could not be made; the watch goes on.
    void checkFailed();

private:
    Database& m_database;
    std::function<QDateTime()> m_clock;
    QTimer m_timer;
    QList<Reminder> m_unstoredMarks;
};

} // namespace trovix
