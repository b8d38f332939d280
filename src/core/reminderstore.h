#pragma once

#include "rowlist.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <memory>
#include <optional>

namespace trovix {

class Database;

// One reminder: a message due at a time, pending until it is announced. A column another program left
// without a value holds nothing.
struct Reminder
{
    qint64 id = 0; // the rowid
    std::optional<QString> message;
    std::optional<QString> time; // as stored, see ReminderTime
    std::optional<QString> done; // as stored: 0 while pending
    // Pending while its done flag reads as the number 0; a flag that is not a number is taken as done.
    bool isPending() const;
};

// The reminders as they were listed: latest due time first.
class ReminderList
{
public:
    int size() const { return m_rows->size(); }
    Reminder at(int row) const;
    // Whether the row's reminder is pending, as Reminder::isPending says, without reading the rest of it.
    bool isPending(int row) const;
    std::optional<Reminder> find(qint64 id) const;
    const RowList& rows() const { return *m_rows; }
    // The rows themselves, for those who keep them as long as they show them: a list's rows never change.
    std::shared_ptr<const RowList> sharedRows() const { return m_rows; }
    // Takes the rows of a listing (rowid, message, time, done), in place of those it held.
    void read(Query& query);

private:
    std::shared_ptr<RowList> m_rows = std::make_shared<RowList>(3);
};

// The reminders table. Every call runs fixed SQL with bound values and throws DatabaseError when the file
// refuses it.
namespace ReminderStore {

// The rowid and every column, latest due time first.
inline const QString ListingQuery = QStringLiteral("select rowid, * from reminders order by time desc");
// Whether any reminder is pending: the first one tells.
inline const QString PendingQuery = QStringLiteral("SELECT rowid FROM reminders WHERE done = 0 LIMIT 1");
// The pending reminder that fell due first at the given wall-clock time (bound), as the list shows it.
QString dueQuery(int passedOver);

ReminderList list(Database& database);
// A new pending reminder; returns its rowid.
qint64 add(Database& database, const QString& message, const QString& time);
// The reminder's row takes the message and time and is pending again; RowGone when it is gone.
void update(Database& database, qint64 id, const QString& message, const QString& time);
void remove(Database& database, qint64 id);

bool anyPending(Database& database);
// The pending reminder due at the moment that fell due first, leaving out the rows passed over.
std::optional<Reminder> firstDue(Database& database, const QDateTime& now, const QList<qint64>& passedOver = {});
// Marks the reminder announced; RowGone when it is gone.
void markDone(Database& database, qint64 id);
// Marks it announced only while its row still holds what was announced; a reminder changed since is
// announced again at its time.
void markDoneIfUnchanged(Database& database, const Reminder& announced);

} // namespace ReminderStore
} // namespace trovix
