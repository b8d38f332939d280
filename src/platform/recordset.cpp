#include "recordset.h"

#include "connection.h"
#include "criteria.h"
#include "runtimeerror.h"
#include "statement.h"

#include <QRegularExpression>

#include <sqlite3.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>

namespace trovix {

namespace {

[[noreturn]] void engineFailure(sqlite3* db, const QString& sql)
{
    throw RuntimeError(ErrorCode::DatabaseError,
                       QStringLiteral("The database could not run \"%1\": %2")
                               .arg(sql.simplified().left(60), QString::fromUtf8(sqlite3_errmsg(db))));
}

Statement prepare(sqlite3* db, const QString& sql)
{
    const QByteArray utf8 = sql.toUtf8();
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &raw, nullptr) != SQLITE_OK || !raw)
        engineFailure(db, sql);
    return Statement(raw);
}

QString quoteIdentifier(const QString& name)
{
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

// Queries write dates between '#'; times are stored as sortable text, so they are compared as text.
QString dateLiteralsAsText(const QString& sql)
{
    QString result;
    result.reserve(sql.size());
    QChar quote;
    for (qsizetype i = 0; i < sql.size(); ++i) {
        const QChar c = sql.at(i);
        const qsizetype end = quote.isNull() && c == QLatin1Char('#') ? sql.indexOf(QLatin1Char('#'), i + 1) : -1;
        if (end > i) {
            QString literal = sql.mid(i + 1, end - i - 1).trimmed();
            literal.replace(QLatin1Char('\''), QLatin1String("''"));
            result += QLatin1Char('\'') + literal + QLatin1Char('\'');
            i = end;
            continue;
        }
        if (quote.isNull() && (c == QLatin1Char('\'') || c == QLatin1Char('"')))
            quote = c;
        else if (c == quote)
            quote = QChar();
        result += c;
    }
    return result;
}

[[noreturn]] void noCurrentRow()
{
    throw RuntimeError(ErrorCode::NoCurrentRecord, QStringLiteral("There is no current row."));
}

} // namespace

void Recordset::Open(const QString& source, Connection& connection, int cursorType, int lockType, int options)
{
    Q_UNUSED(cursorType);
    Q_UNUSED(lockType);
    Q_UNUSED(options);
    static const QRegularExpression query(QStringLiteral(R"(^\s*select\s+(.+?)\s+from\s+([A-Za-z_]\w*)\b(.*)$)"),
                                          QRegularExpression::CaseInsensitiveOption
                                                  | QRegularExpression::DotMatchesEverythingOption);

    Close();
    if (!connection.isOpen())
        throw RuntimeError(ErrorCode::ObjectClosed, QStringLiteral("The database connection is closed."));
    const QRegularExpressionMatch match = query.match(source);
    if (!match.hasMatch())
        throw RuntimeError(ErrorCode::InvalidArgument,
                           QStringLiteral("Only a query on one table can be opened: %1").arg(source));

    m_connection = &connection;
    m_source = source;
    m_columnList = match.captured(1);
    m_table = match.captured(2);
    m_sql = QStringLiteral("select ") + m_columnList + QStringLiteral(", rowid from ") + m_table
            + dateLiteralsAsText(match.captured(3));
    try {
        load();
    } catch (...) {
        Close();
        throw;
    }
}

void Recordset::Close()
{
    m_connection = nullptr;
    m_source.clear();
    m_table.clear();
    m_columnList.clear();
    m_sql.clear();
    m_columns.clear();
    m_rows.clear();
    m_liveCount = 0;
    m_position = 0;
}

// Keeps the storage: a list is reloaded by opening its recordset again, and
// reusing memory spares faulting in fresh pages every time.
void Recordset::Rows::clear()
{
    rowids.clear();
    deleted.clear();
    cells.clear();
    bytes.clear();
}

void Recordset::appendCells(sqlite3_stmt* statement, int columns, Rows& rows)
{
    for (int c = 0; c < columns; ++c) {
        Cell& cell = rows.cells.emplace_back();
        // One column call, then the cheap value calls: the column calls each take the connection's lock
        // and check the column again, which costs as much as the reading itself. Safe because a
        // connection is only ever used from one thread.
        sqlite3_value* value = sqlite3_column_value(statement, c);
        switch (sqlite3_value_type(value)) {
        case SQLITE_INTEGER:
            cell.kind = Cell::Integer;
            cell.integer = sqlite3_value_int64(value);
            break;
        case SQLITE_FLOAT:
            cell.kind = Cell::Real;
            cell.real = sqlite3_value_double(value);
            break;
        case SQLITE_TEXT: {
            // The text pointer first, then its length, so the length is that of the UTF-8 form.
            const char* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
            cell.kind = Cell::Text;
            cell.length = sqlite3_value_bytes(value);
            cell.offset = qint64(rows.bytes.size());
            rows.bytes.append(text, size_t(cell.length));
            break;
        }
        case SQLITE_BLOB: {
            const char* data = static_cast<const char*>(sqlite3_value_blob(value));
            cell.kind = Cell::Blob;
            cell.length = sqlite3_value_bytes(value);
            cell.offset = qint64(rows.bytes.size());
            rows.bytes.append(data, size_t(cell.length));
            break;
        }
        default:
            break;
        }
    }
}

void Recordset::load()
{
    // Whatever happens below, nothing of the rows read before is left.
    m_rows.clear();
    m_liveCount = 0;
    m_position = 0;
    sqlite3* db = liveConnection().handle();
    const Statement statement = prepare(db, m_sql);
    sqlite3_stmt* st = statement.get();

    const int count = sqlite3_column_count(st) - 1; // the last column is the rowid
    QStringList columns;
    columns.reserve(count);
    for (int c = 0; c < count; ++c)
        columns << QString::fromUtf8(sqlite3_column_name(st, c));

    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        appendCells(st, count, m_rows);
        m_rows.rowids.push_back(sqlite3_column_int64(st, count));
    }
    if (rc != SQLITE_DONE) {
        m_rows.clear();
        engineFailure(db, m_sql);
    }
    m_rows.deleted.assign(m_rows.rowids.size(), false);

    m_columns = std::move(columns);
    m_liveCount = size();
    m_position = 0;
}

void Recordset::readRow(qint64 rowid, int row)
{
    sqlite3* db = liveConnection().handle();
    const QString sql = QStringLiteral("select ") + m_columnList + QStringLiteral(", rowid from ") + m_table
                        + QStringLiteral(" where rowid = ?");
    const Statement statement = prepare(db, sql);
    sqlite3_stmt* st = statement.get();
    sqlite3_bind_int64(st, 1, rowid);
    const int rc = sqlite3_step(st);
    if (rc == SQLITE_DONE)
        noCurrentRow();
    if (rc != SQLITE_ROW)
        engineFailure(db, sql);

    const int columns = fieldCount();
    appendCells(st, columns, m_rows);
    if (row == size()) {
        m_rows.rowids.push_back(rowid);
        m_rows.deleted.push_back(false);
        ++m_liveCount;
    } else {
        // The fresh cells went to the end; put them in place of the row's old ones.
        const auto fresh = m_rows.cells.end() - columns;
        std::copy(fresh, m_rows.cells.end(), m_rows.cells.begin() + qsizetype(row) * columns);
        m_rows.cells.erase(fresh, m_rows.cells.end());
    }
}

QVariant Recordset::cellValue(int row, int column) const
{
    const Cell& cell = m_rows.cells[size_t(row) * size_t(fieldCount()) + size_t(column)];
    switch (cell.kind) {
    case Cell::Integer:
        return QVariant(cell.integer);
    case Cell::Real:
        return QVariant(cell.real);
    case Cell::Text: {
        // Moved into the variant rather than copied: a copy costs two atomic reference counts per field.
        static const QString empty;
        QVariant text(QMetaType::fromType<QString>(), &empty);
        text.setValue(QString::fromUtf8(m_rows.bytes.data() + cell.offset, cell.length));
        return text;
    }
    case Cell::Blob:
        return QVariant(QByteArray(m_rows.bytes.data() + cell.offset, cell.length));
    case Cell::Null:
        break;
    }
    return QVariant();
}

// As the value read as text equals the text: stored text compares byte for byte in UTF-8.
bool Recordset::cellEquals(int row, int column, const QString& text, const QByteArray& utf8) const
{
    const Cell& cell = m_rows.cells[size_t(row) * size_t(fieldCount()) + size_t(column)];
    switch (cell.kind) {
    case Cell::Text:
    case Cell::Blob:
        return cell.length == utf8.size()
               && std::memcmp(m_rows.bytes.data() + cell.offset, utf8.constData(), size_t(cell.length)) == 0;
    case Cell::Integer:
        return QByteArray::number(cell.integer) == utf8;
    case Cell::Real:
        return cellValue(row, column).toString() == text;
    case Cell::Null:
        break;
    }
    return false;
}

void Recordset::markDeleted(int row)
{
    if (!m_rows.deleted[row]) {
        m_rows.deleted[row] = true;
        --m_liveCount;
    }
}

void Recordset::requireOpen() const
{
    if (!m_connection)
        throw RuntimeError(ErrorCode::ObjectClosed, QStringLiteral("The list is not open."));
}

Connection& Recordset::liveConnection() const
{
    requireOpen();
    if (!m_connection->isOpen())
        throw RuntimeError(ErrorCode::ObjectClosed, QStringLiteral("The database connection is closed."));
    return *m_connection;
}

int Recordset::currentRow() const
{
    requireOpen();
    if (m_position < 0 || m_position >= size() || m_rows.deleted[m_position])
        noCurrentRow();
    return m_position;
}

int Recordset::columnIndex(const QString& name) const
{
    for (int i = 0; i < m_columns.size(); ++i) {
        if (m_columns.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    throw RuntimeError(ErrorCode::ItemNotFound, QStringLiteral("The list has no column %1.").arg(name));
}

void Recordset::skipDeleted(int step)
{
    while (m_position >= 0 && m_position < size() && m_rows.deleted[m_position])
        m_position += step;
}

bool Recordset::Eof() const
{
    requireOpen();
    return m_position >= size() || m_liveCount == 0;
}

bool Recordset::Bof() const
{
    requireOpen();
    return m_position < 0 || m_liveCount == 0;
}

int Recordset::RecordCount() const
{
    requireOpen();
    return m_liveCount;
}

void Recordset::MoveFirst()
{
    requireOpen();
    m_position = 0;
    skipDeleted(1);
}

void Recordset::MoveNext()
{
    if (Eof())
        noCurrentRow();
    ++m_position;
    skipDeleted(1);
}

void Recordset::MovePrevious()
{
    if (Bof())
        noCurrentRow();
    --m_position;
    skipDeleted(-1);
}

void Recordset::MoveLast()
{
    requireOpen();
    m_position = size() - 1;
    skipDeleted(-1);
    if (m_position < 0)
        m_position = size(); // no rows: end of file, as after MoveFirst
}

Value Recordset::Fields(int position) const
{
    const int row = currentRow();
    if (position < 0 || position >= fieldCount())
        throw RuntimeError(ErrorCode::ItemNotFound, QStringLiteral("The list has no column %1.").arg(position));
    return Value(cellValue(row, position));
}

Value Recordset::Fields(const QString& name) const
{
    const int row = currentRow();
    return Value(cellValue(row, columnIndex(name)));
}

void Recordset::Find(const QString& criterion, int skipRecords, int searchDirection, int start)
{
    requireOpen();
    const Criterion wanted = Criterion::parse(criterion);
    const int column = columnIndex(wanted.column);
    if (searchDirection != adSearchForward && searchDirection != adSearchBackward)
        throw RuntimeError(ErrorCode::InvalidArgument,
                           QStringLiteral("Unknown search direction %1.").arg(searchDirection));
    if (skipRecords < 0)
        throw RuntimeError(ErrorCode::InvalidArgument, QStringLiteral("Rows to skip cannot be fewer than none."));

    const int step = searchDirection == adSearchForward ? 1 : -1;
    int i;
    switch (start) {
    case adBookmarkFirst:
        i = 0;
        break;
    case adBookmarkLast:
        i = size() - 1;
        break;
    case adBookmarkCurrent:
        i = m_position;
        break;
    default:
        throw RuntimeError(ErrorCode::InvalidArgument, QStringLiteral("Unknown search start %1.").arg(start));
    }
    if (step > 0 && i < 0)
        i = 0;
    if (step < 0 && i >= size())
        i = size() - 1;

    const QByteArray utf8 = wanted.value.toUtf8();
    for (int skipped = 0; i >= 0 && i < size(); i += step) {
        if (m_rows.deleted[i])
            continue;
        if (skipped < skipRecords) {
            ++skipped;
            continue;
        }
        if (cellEquals(i, column, wanted.value, utf8)) {
            m_position = i;
            return;
        }
    }
    m_position = step > 0 ? size() : -1;
}

qint64 Recordset::Bookmark() const
{
    return m_rows.rowids[currentRow()];
}

void Recordset::setBookmark(qint64 bookmark)
{
    requireOpen();
    const auto found = std::find(m_rows.rowids.begin(), m_rows.rowids.end(), bookmark);
    m_position = int(found - m_rows.rowids.begin());
    if (found == m_rows.rowids.end() || m_rows.deleted[m_position]) {
        m_position = size();
        throw RuntimeError(ErrorCode::NoCurrentRecord, QStringLiteral("The row is no longer in the list."));
    }
}

void Recordset::AddNew(const QString& column, const QVariant& value)
{
    Connection& connection = liveConnection();
    const int index = columnIndex(column);
    connection.Execute(QStringLiteral("INSERT INTO %1 (%2) VALUES (?)")
                               .arg(quoteIdentifier(m_table), quoteIdentifier(m_columns.at(index))),
                       {value});
    // Read the row back so that defaults and stored types show as they are.
    readRow(sqlite3_last_insert_rowid(connection.handle()), size());
    m_position = size() - 1;
}

void Recordset::Update(const QString& column, const QVariant& value)
{
    Connection& connection = liveConnection();
    const int row = currentRow();
    const int index = columnIndex(column);
    const qint64 rowid = m_rows.rowids[row];
    connection.Execute(QStringLiteral("UPDATE %1 SET %2 = ? WHERE rowid = ?")
                               .arg(quoteIdentifier(m_table), quoteIdentifier(m_columns.at(index))),
                       {value, rowid});
    if (sqlite3_changes(connection.handle()) == 0) {
        // Removed through another list meanwhile.
        markDeleted(row);
        throw RuntimeError(ErrorCode::NoCurrentRecord, QStringLiteral("The current row no longer exists."));
    }
    readRow(rowid, row);
}

void Recordset::Update()
{
    requireOpen();
}

void Recordset::Delete(int affect)
{
    Connection& connection = liveConnection();
    if (affect != adAffectCurrent)
        throw RuntimeError(ErrorCode::InvalidArgument, QStringLiteral("Only the current row can be deleted."));
    const int row = currentRow();
    connection.Execute(QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(quoteIdentifier(m_table)),
                       {m_rows.rowids[row]});
    markDeleted(row);
}

void Recordset::Requery(int options)
{
    Q_UNUSED(options);
    load();
}

} // namespace trovix
