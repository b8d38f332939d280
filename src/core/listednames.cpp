#include "listednames.h"

#include "rowlist.h"

#include <QHashFunctions>
#include <QString>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace trovix {

namespace {

bool isAsciiSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// The names listed already, by open addressing: one table of indices and one of views, no allocation a
// name.
class NameSet
{
public:
    explicit NameSet(size_t expected)
        : m_slots(std::bit_ceil(std::max<size_t>(16, expected * 2)), Empty)
    {
        m_names.reserve(expected);
    }

    // Adds the name; false when it was there already.
    bool insert(std::string_view name)
    {
        const size_t mask = m_slots.size() - 1;
        size_t slot = qHash(QByteArrayView(name.data(), qsizetype(name.size())), QHashSeed::globalSeed()) & mask;
        for (;; slot = (slot + 1) & mask) {
            if (m_slots[slot] == Empty) {
                m_slots[slot] = uint32_t(m_names.size());
                m_names.push_back(name);
                return true;
            }
            if (m_names[m_slots[slot]] == name)
                return false;
        }
    }

private:
    static constexpr uint32_t Empty = UINT32_MAX;
    std::vector<uint32_t> m_slots;
    std::vector<std::string_view> m_names;
};

} // namespace

namespace ListedNames {

std::string_view trimmed(std::string_view utf8, std::string& storage)
{
    if (!std::all_of(utf8.begin(), utf8.end(), [](char c) { return uchar(c) < 0x80; })) {
        storage = QString::fromUtf8(utf8.data(), qsizetype(utf8.size())).trimmed().toStdString();
        return storage;
    }
    while (!utf8.empty() && isAsciiSpace(utf8.front()))
        utf8.remove_prefix(1);
    while (!utf8.empty() && isAsciiSpace(utf8.back()))
        utf8.remove_suffix(1);
    return utf8;
}

void forEach(const RowList& rows, std::string_view rootWord,
             const std::function<void(int row, std::string_view name)>& listed)
{
    NameSet taken(size_t(rows.size()));
    std::deque<std::string> copies; // the names that are no views of the rows
    std::string storage;
    for (int row = 0; row < rows.size(); ++row) {
        const std::optional<std::string_view> cell = rows.utf8(row, 0);
        if (!cell)
            continue;
        std::string_view name = trimmed(*cell, storage);
        if (name.empty() || name == rootWord)
            continue;
        if (name.data() == storage.data())
            name = copies.emplace_back(std::move(storage));
        if (taken.insert(name))
            listed(row, name);
    }
}

} // namespace ListedNames
} // namespace trovix
