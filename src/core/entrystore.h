#pragma once

#include "rowlist.h"

#include <QString>

#include <memory>
#include <optional>

namespace trovix {

class Database;

// One entry of a category list: a name, a path and, in the softwares list, a description. A column
// another program left without a value holds nothing.
struct Entry
{
    qint64 id = 0; // the rowid
    std::optional<QString> name;
    std::optional<QString> path;
    std::optional<QString> description;
};

// The entries of a list as they were listed, in the list's order.
class EntryList
{
public:
    EntryList() = default;
    int size() const { return m_rows->size(); }
    Entry at(int row) const;
    // The entry of a rowid; nothing when it was not listed.
    std::optional<Entry> find(qint64 id) const;
    // The first entry, in list order, whose name is exactly this text (letter case counts); nothing when
    // none is.
    std::optional<Entry> findByName(const QString& name) const;
    const RowList& rows() const { return *m_rows; }
    // The rows themselves, for those who keep them as long as they show them: a list's rows never change.
    std::shared_ptr<const RowList> sharedRows() const { return m_rows; }

private:
    friend class EntryStore;
    explicit EntryList(int columns)
        : m_rows(std::make_shared<RowList>(columns))
    {}
    std::shared_ptr<RowList> m_rows = std::make_shared<RowList>();
};

// A category table: softwares, games, windows or documents. Every call runs fixed SQL with bound values
// and throws DatabaseError when the file refuses it.
class EntryStore
{
public:
    explicit EntryStore(QString table);

    const QString& table() const { return m_table; }
    const QString& keyColumn() const { return m_keyColumn; }
    bool hasDescription() const { return m_hasDescription; }
    // The rowid and every column, by name without regard to letter case.
    QString listingQuery() const;

    EntryList list(Database& database) const;
    // A new row with the entry's name, path and description; returns its rowid.
    qint64 add(Database& database, const Entry& entry) const;
    // The entry's row takes its name, path and description; RowGone when another program removed it.
    void update(Database& database, const Entry& entry) const;
    // Only the path of a row; RowGone when the row is gone.
    void setPath(Database& database, qint64 id, const QString& path) const;
    // Removes the row; one that is gone already is no error.
    void remove(Database& database, qint64 id) const;

private:
    QString m_table;
    QString m_keyColumn;
    bool m_hasDescription;
};

} // namespace trovix
