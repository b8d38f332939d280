#include "rowlist.h"

#include "database.h"

#include <sqlite3.h>

#include <algorithm>
#include <numeric>

namespace trovix {

RowList::RowList(int columns)
    : m_columns(columns)
{}

void RowList::read(Query& query)
{
    m_ids.clear();
    m_ends.clear();
    m_texts.clear();
    m_rowsById.clear();
    sqlite3_stmt* statement = query.handle();
    while (query.next()) {
        m_ids.push_back(sqlite3_column_int64(statement, 0));
        for (int column = 1; column <= m_columns; ++column) {
            // One value call, then the cheap ones: each column call takes the connection's lock again.
            sqlite3_value* value = sqlite3_column_value(statement, column);
            const int type = sqlite3_value_type(value);
            if (type == SQLITE_INTEGER || type == SQLITE_FLOAT) {
                // As a number reads as text elsewhere in the program.
                const QVariant number = type == SQLITE_INTEGER ? QVariant(qint64(sqlite3_value_int64(value)))
                                                               : QVariant(sqlite3_value_double(value));
                m_texts += number.toString().toStdString();
            } else if (type != SQLITE_NULL) {
                // The text pointer first, then its length, so the length is that of the UTF-8 form.
                const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
                m_texts.append(text, size_t(sqlite3_value_bytes(value)));
            }
            m_ends.push_back(quint32(m_texts.size()) | (type == SQLITE_NULL ? NullCell : 0));
        }
    }
    // A window keeps its rows as long as it shows them: without the room left for growing.
    m_ids.shrink_to_fit();
    m_ends.shrink_to_fit();
    m_texts.shrink_to_fit();
}

std::optional<int> RowList::indexOf(qint64 id) const
{
    if (m_rowsById.size() != m_ids.size()) {
        m_rowsById.resize(m_ids.size());
        std::iota(m_rowsById.begin(), m_rowsById.end(), 0u);
        // Stable, so that of rows with one rowid the first listed is found, as a walk would find it.
        std::stable_sort(m_rowsById.begin(), m_rowsById.end(),
                         [this](quint32 a, quint32 b) { return m_ids[a] < m_ids[b]; });
    }
    const auto found = std::lower_bound(m_rowsById.begin(), m_rowsById.end(), id,
                                        [this](quint32 row, qint64 wanted) { return m_ids[row] < wanted; });
    if (found == m_rowsById.end() || m_ids[*found] != id)
        return std::nullopt;
    return int(*found);
}

std::optional<std::string_view> RowList::utf8(int row, int column) const
{
    const size_t cell = size_t(row) * size_t(m_columns) + size_t(column);
    if (m_ends[cell] & NullCell)
        return std::nullopt;
    const quint32 begin = cell == 0 ? 0 : m_ends[cell - 1] & ~NullCell;
    return std::string_view(m_texts).substr(begin, m_ends[cell] - begin);
}

std::optional<QString> RowList::text(int row, int column) const
{
    const std::optional<std::string_view> bytes = utf8(row, column);
    if (!bytes)
        return std::nullopt;
    return QString::fromUtf8(bytes->data(), qsizetype(bytes->size()));
}

} // namespace trovix
