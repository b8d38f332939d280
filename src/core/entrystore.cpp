#include "entrystore.h"

#include "catalog.h"
#include "database.h"

namespace trovix {

namespace {

void requireRow(const Database& database)
{
    if (database.changes() == 0)
        throw DatabaseError(DatabaseError::Kind::RowGone, QStringLiteral("The row no longer exists."));
}

} // namespace

Entry EntryList::at(int row) const
{
    return {m_rows->id(row), m_rows->text(row, 0), m_rows->text(row, 1),
            m_rows->columns() > 2 ? m_rows->text(row, 2) : std::nullopt};
}

std::optional<Entry> EntryList::find(qint64 id) const
{
    const std::optional<int> row = m_rows->indexOf(id);
    return row ? std::optional(at(*row)) : std::nullopt;
}

std::optional<Entry> EntryList::findByName(const QString& name) const
{
    const QByteArray wanted = name.toUtf8();
    const std::string_view bytes(wanted.constData(), size_t(wanted.size()));
    for (int row = 0; row < m_rows->size(); ++row) {
        if (m_rows->utf8(row, 0) == bytes)
            return at(row);
    }
    return std::nullopt;
}

EntryStore::EntryStore(QString table)
    : m_table(std::move(table))
{
    for (const Catalog::Table& t : Catalog::tables()) {
        if (t.name == m_table) {
            m_keyColumn = t.columns.first();
            m_hasDescription = t.columns.size() > 2;
        }
    }
}

QString EntryStore::listingQuery() const
{
    return QStringLiteral("select rowid, * from %1 order by %2").arg(m_table, m_keyColumn);
}

EntryList EntryStore::list(Database& database) const
{
    EntryList entries(m_hasDescription ? 3 : 2);
    Query query = database.query(listingQuery());
    entries.m_rows->read(query);
    return entries;
}

qint64 EntryStore::add(Database& database, const Entry& entry) const
{
    if (m_hasDescription)
        database.execute(
                QStringLiteral("INSERT INTO %1 (%2, path, description) VALUES (?, ?, ?)").arg(m_table, m_keyColumn),
                {entry.name.value_or(QString()), entry.path.value_or(QString()),
                 entry.description.value_or(QString())});
    else
        database.execute(QStringLiteral("INSERT INTO %1 (%2, path) VALUES (?, ?)").arg(m_table, m_keyColumn),
                         {entry.name.value_or(QString()), entry.path.value_or(QString())});
    return database.lastInsertId();
}

void EntryStore::update(Database& database, const Entry& entry) const
{
    if (m_hasDescription)
        database.execute(QStringLiteral("UPDATE %1 SET %2 = ?, path = ?, description = ? WHERE rowid = ?")
                                 .arg(m_table, m_keyColumn),
                         {entry.name.value_or(QString()), entry.path.value_or(QString()),
                          entry.description.value_or(QString()), entry.id});
    else
        database.execute(QStringLiteral("UPDATE %1 SET %2 = ?, path = ? WHERE rowid = ?").arg(m_table, m_keyColumn),
                         {entry.name.value_or(QString()), entry.path.value_or(QString()), entry.id});
    requireRow(database);
}

void EntryStore::setPath(Database& database, qint64 id, const QString& path) const
{
    database.execute(QStringLiteral("UPDATE %1 SET path = ? WHERE rowid = ?").arg(m_table), {path, id});
    requireRow(database);
}

void EntryStore::remove(Database& database, qint64 id) const
{
    database.execute(QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(m_table), {id});
}

} // namespace trovix
