#pragma once

#include "value.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <string>
#include <vector>

struct sqlite3_stmt;

namespace trovix {

class Connection;

// Argument values of the familiar recordset calls.
constexpr int adOpenDynamic = 2;
constexpr int adLockOptimistic = 3;
constexpr int adCmdUnspecified = -1;
constexpr int adSearchForward = 1;
constexpr int adSearchBackward = -1;
constexpr int adBookmarkCurrent = 0;
constexpr int adBookmarkFirst = 1;
constexpr int adBookmarkLast = 2;
constexpr int adAffectCurrent = 1;

// A cursor over the rows of one table's query, in the query's order.
// Rows are addressed by rowid, so changing a key column changes that row in place.
// Every change is stored at once. The query must read one table:
// "select <columns> from <table> [where ...] [order by ...]"; #date# literals in it
// are read as quoted text.
class Recordset
{
public:
    Recordset() = default;

    void Open(const QString& source, Connection& connection, int cursorType = adOpenDynamic,
              int lockType = adLockOptimistic, int options = adCmdUnspecified);
    void Close();
    bool isOpen() const { return m_connection != nullptr; }

    bool Eof() const; // past the last row, or no rows
    bool Bof() const; // before the first row, or no rows
    int RecordCount() const;

    void MoveFirst();
    void MoveNext();
    void MovePrevious();
    void MoveLast();

    // The value of a column of the current row. Throws 3021 with no current row,
    // 3265 for an unknown column.
    Value Fields(int position) const;
    Value Fields(const QString& name) const;
    int fieldCount() const { return m_columns.size(); }
    QStringList fieldNames() const { return m_columns; }

    // Moves to the first row (from start, in direction, after skipping skipRecords)
    // whose column equals the value exactly, letter case included. Not found: EOF
    // (forward) or BOF (backward).
    void Find(const QString& criterion, int skipRecords = 0, int searchDirection = adSearchForward,
              int start = adBookmarkFirst);

    // The current row's identity, and a move back to the row it names. A bookmark
    // stays valid when the recordset reads its query again. Bookmark() throws 3021
    // with no current row; setBookmark() of a row no longer read goes to EOF and
    // throws 3021.
    qint64 Bookmark() const;
    void setBookmark(qint64 bookmark);

    // Inserts a row with one column set; it becomes the current row.
    void AddNew(const QString& column, const QVariant& value);
    // Sets one column of the current row.
    void Update(const QString& column, const QVariant& value);
    // Completes a pending change; every change is already stored, so nothing is left to do.
    void Update();
    // Removes the current row; it stays current, as a deleted row, until the cursor moves.
    void Delete(int affect = adAffectCurrent);
    // Reads the query again; the cursor goes to the first row.
    void Requery(int options = adCmdUnspecified);

private:
    // Rows are kept as the engine hands them out: text as UTF-8 in one buffer, turned into a
    // QString only when a field is read. A listing reads each field once, so this costs the
    // same conversions as converting up front, without holding thousands of small strings.
    struct Cell
    {
        enum Kind : quint8 { Null, Integer, Real, Text, Blob };
        union
        {
            qint64 integer = 0;
            double real;
            qint64 offset; // into bytes, for Text and Blob
        };
        int length = 0;
        Kind kind = Null;
    };
    struct Rows
    {
        std::vector<qint64> rowids;
        std::vector<bool> deleted;
        std::vector<Cell> cells; // row-major, fieldCount() cells a row
        std::string bytes;       // QByteArray grows too slowly when appended to piece by piece

        void clear();
    };

    void requireOpen() const;
    Connection& liveConnection() const; // the connection, which must still be open
    int currentRow() const;             // throws 3021 when there is none
    int columnIndex(const QString& name) const;
    void load();
    static void appendCells(sqlite3_stmt* statement, int columns, Rows& rows);
    void readRow(qint64 rowid, int row); // row == size(): appended
    QVariant cellValue(int row, int column) const;
    bool cellEquals(int row, int column, const QString& text, const QByteArray& utf8) const;
    void markDeleted(int row);
    void skipDeleted(int step);
    int size() const { return int(m_rows.rowids.size()); }

    Connection* m_connection = nullptr;
    QString m_source;
    QString m_table;
    QString m_columnList; // the query's column list as written
    QString m_sql;        // the query as run, with the rowid after the columns
    QStringList m_columns;
    Rows m_rows;
    int m_liveCount = 0; // rows not deleted
    int m_position = 0;  // -1 = BOF, size() = EOF
};

} // namespace trovix
