#include "reminderstore.h"

#include "catalog.h"
#include "database.h"

#include <cmath>

namespace trovix {

namespace {

// A stored flag as a whole number: a number as it stands (a fraction rounded), text holding one too.
std::optional<qint64> wholeNumber(const QString& stored)
{
    const QString text = stored.trimmed();
    bool ok = false;
    const qint64 whole = text.toLongLong(&ok);
    if (ok)
        return whole;
    const double number = text.toDouble(&ok);
    if (ok && std::isfinite(number) && std::abs(number) < 9.2e18)
        return std::llround(number);
    return std::nullopt;
}

Reminder reminderAt(const RowList& rows, int row)
{
    return {rows.id(row), rows.text(row, 0), rows.text(row, 1), rows.text(row, 2)};
}

QVariant orNull(const std::optional<QString>& value)
{
    return value ? QVariant(*value) : QVariant();
}

} // namespace

bool Reminder::isPending() const
{
    return done && wholeNumber(*done) == 0;
}

bool ReminderList::isPending(int row) const
{
    const std::optional<std::string_view> done = m_rows->utf8(row, 2);
    if (!done)
        return false;
    // Almost every flag is stored as the program writes it.
    if (*done == "0")
        return true;
    if (*done == "1")
        return false;
    return wholeNumber(QString::fromUtf8(done->data(), qsizetype(done->size()))) == 0;
}

Reminder ReminderList::at(int row) const
{
    return reminderAt(*m_rows, row);
}

void ReminderList::read(Query& query)
{
    // A list that was handed out keeps the rows it had.
    auto rows = std::make_shared<RowList>(3);
    rows->read(query);
    m_rows = std::move(rows);
}

std::optional<Reminder> ReminderList::find(qint64 id) const
{
    const std::optional<int> row = m_rows->indexOf(id);
    return row ? std::optional(at(*row)) : std::nullopt;
}

namespace ReminderStore {

QString dueQuery(int passedOver)
{
    // The wall clock's text, as due times are stored: in an hour daylight saving repeats it reads the
    // same twice, and a time in the hour it skips is passed as the clock jumps over it.
    QString query = QStringLiteral("SELECT rowid, message, time, done FROM reminders WHERE time <= ? AND done = 0");
    if (passedOver > 0) {
        QStringList marks(passedOver, QStringLiteral("?"));
        query += QStringLiteral(" AND rowid NOT IN (%1)").arg(marks.join(QLatin1Char(',')));
    }
    return query + QStringLiteral(" ORDER BY time LIMIT 1");
}

ReminderList list(Database& database)
{
    ReminderList reminders;
    Query query = database.query(ListingQuery);
    reminders.read(query);
    return reminders;
}

qint64 add(Database& database, const QString& message, const QString& time)
{
    database.execute(QStringLiteral("INSERT INTO reminders (message, time, done) VALUES (?, ?, 0)"), {message, time});
    return database.lastInsertId();
}

void update(Database& database, qint64 id, const QString& message, const QString& time)
{
    database.execute(QStringLiteral("UPDATE reminders SET message = ?, time = ?, done = 0 WHERE rowid = ?"),
                     {message, time, id});
    if (database.changes() == 0)
        throw DatabaseError(DatabaseError::Kind::RowGone, QStringLiteral("The reminder no longer exists."));
}

void remove(Database& database, qint64 id)
{
    database.execute(QStringLiteral("DELETE FROM reminders WHERE rowid = ?"), {id});
}

bool anyPending(Database& database)
{
    Query query = database.query(PendingQuery);
    return query.next();
}

std::optional<Reminder> firstDue(Database& database, const QDateTime& now, const QList<qint64>& passedOver)
{
    QVariantList values{now.toLocalTime().toString(Catalog::TimeFormat)};
    for (qint64 id : passedOver)
        values << id;
    Query query = database.query(dueQuery(int(passedOver.size())), values);
    if (!query.next())
        return std::nullopt;
    return Reminder{query.integer(0), query.text(1), query.text(2), query.text(3)};
}

void markDone(Database& database, qint64 id)
{
    database.execute(QStringLiteral("UPDATE reminders SET done = 1 WHERE rowid = ?"), {id});
    if (database.changes() == 0)
        throw DatabaseError(DatabaseError::Kind::RowGone, QStringLiteral("The reminder no longer exists."));
}

void markDoneIfUnchanged(Database& database, const Reminder& announced)
{
    database.execute(QStringLiteral("UPDATE reminders SET done = 1 WHERE rowid = ? AND done = 0 AND time IS ? "
                                    "AND message IS ?"),
                     {announced.id, orNull(announced.time), orNull(announced.message)});
}

} // namespace ReminderStore
} // namespace trovix
