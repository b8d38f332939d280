#pragma once

#include <QString>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trovix {

class Query;

// The rows a listing read, each its rowid and a few text columns that may hold nothing, kept in as little
// memory as they fit: the texts of all rows in one UTF-8 buffer. A list of 100,000 entries costs a few
// buffers, not a string a cell.
class RowList
{
public:
    explicit RowList(int columns = 0);

    // Reads every row of the query: its column 0 is the rowid, the next ones the texts (numbers are kept
    // as the engine writes them as text).
    void read(Query& query);

    int columns() const { return m_columns; }
    int size() const { return int(m_ids.size()); }
    bool isEmpty() const { return m_ids.empty(); }
    qint64 id(int row) const { return m_ids[size_t(row)]; }
    // The row of a rowid; nothing when it is not listed. The first search orders the rows by rowid (four
    // bytes a row), so that a list of 100,000 entries finds a row in a few steps.
    std::optional<int> indexOf(qint64 id) const;
    // A text column of a row; nothing when it holds no value.
    std::optional<QString> text(int row, int column) const;
    // The same as the UTF-8 the engine gave, without a copy; nothing when it holds no value.
    std::optional<std::string_view> utf8(int row, int column) const;

private:
    int m_columns;
    // Where each cell's text ends in m_texts, m_columns a row; the top bit marks a cell without a value.
    static constexpr quint32 NullCell = 0x80000000u;
    std::vector<qint64> m_ids;
    std::vector<quint32> m_ends;
    std::string m_texts;
    mutable std::vector<quint32> m_rowsById; // the rows in order of rowid, made by the first indexOf
};

} // namespace trovix
