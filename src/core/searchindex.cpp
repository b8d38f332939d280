#include "searchindex.h"

#include "catalog.h"
#include "database.h"
#include "entrykinds.h"
#include "listednames.h"
#include "remindertime.h"

#include <QFile>

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <functional>

namespace trovix {

namespace {

// The file as the system names it: a file put in its place is another one.
struct FileIdentity
{
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const FileIdentity&) const = default;
};

std::optional<FileIdentity> identityOf(const QString& fileName)
{
    struct stat status;
    if (::stat(QFile::encodeName(fileName).constData(), &status) != 0)
        return std::nullopt;
    return FileIdentity{status.st_dev, status.st_ino};
}

bool isAscii(const QString& text)
{
    for (QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

// Whether a match at this byte of a folded name begins a word: no letter or digit comes before it.
bool startsWord(std::string_view name, size_t at)
{
    if (at == 0)
        return true;
    size_t previous = at - 1;
    while (previous > 0 && (uchar(name[previous]) & 0xC0) == 0x80)
        --previous;
    const QList<uint> character = QString::fromUtf8(name.data() + previous, qsizetype(at - previous)).toUcs4();
    return character.isEmpty() || !QChar::isLetterOrNumber(char32_t(character.first()));
}

// Where the rank of a match puts it: the name starts with the terms, a word of the name does, the terms
// are somewhere in the name, or only in the description.
enum Rank { NameStarts, WordStarts, InName, InDescription, Ranks };

} // namespace

struct SearchIndex::Open
{
    Database database;
    FileIdentity identity;
    std::optional<qint64> dataVersion;
};

SearchIndex::SearchIndex(QString programFolder)
    : m_programFolder(std::move(programFolder))
{}

SearchIndex::~SearchIndex() = default;

QString SearchIndex::fold(const QString& text)
{
    QString folded;
    folded.reserve(text.size());
    bool afterBlank = true; // blanks at the start are dropped
    const auto append = [&](QChar c) {
        if (c.isSpace()) {
            if (!afterBlank)
                folded += QLatin1Char(' ');
            afterBlank = true;
        } else {
            folded += c;
            afterBlank = false;
        }
    };
    if (isAscii(text)) {
        for (QChar c : text)
            append(c.toLower());
    } else {
        for (QChar c : text.normalized(QString::NormalizationForm_KD)) {
            if (!c.isMark())
                append(c);
        }
        folded = folded.toCaseFolded();
    }
    if (folded.endsWith(QLatin1Char(' ')))
        folded.chop(1);
    return folded;
}

void SearchIndex::foldUtf8(std::string_view text, std::string& folded)
{
    if (!std::all_of(text.begin(), text.end(), [](char c) { return uchar(c) < 0x80; })) {
        folded += fold(QString::fromUtf8(text.data(), qsizetype(text.size()))).toStdString();
        return;
    }
    // As fold does it, without a QString: most names are plain ASCII.
    const size_t start = folded.size();
    bool afterBlank = true;
    for (const char c : text) {
        if (c == ' ' || (c >= '\t' && c <= '\r')) {
            if (!afterBlank)
                folded += ' ';
            afterBlank = true;
        } else {
            folded += char(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
            afterBlank = false;
        }
    }
    if (folded.size() > start && folded.back() == ' ')
        folded.pop_back();
}

std::string_view SearchIndex::List::name(const Row& row) const
{
    return std::string_view(folded).substr(row.name, row.description - row.name);
}

std::string_view SearchIndex::List::description(const Row& row) const
{
    return std::string_view(folded).substr(row.description, row.end - row.description);
}

const RowList& SearchIndex::List::listed() const
{
    return kind ? entries.rows() : reminders.rows();
}

void SearchIndex::clear()
{
    m_lists.clear();
}

bool SearchIndex::refresh()
{
    const QString fileName = Catalog::fileName(m_programFolder);
    try {
        const std::optional<FileIdentity> identity = identityOf(fileName);
        if (m_open && identity != m_open->identity)
            m_open.reset();
        if (!m_open) {
            auto open = std::make_unique<Open>();
            // Taken before opening: a file put in place meanwhile is opened again at the next request.
            open->identity = identity.value_or(FileIdentity{});
            open->database.openReadOnly(fileName, Catalog::Key, LockWaitMs);
            m_open = std::move(open);
        }
        // Read before the lists: a change while they are read shows at the next request.
        Query version = m_open->database.query(QStringLiteral("PRAGMA data_version"));
        const qint64 dataVersion = version.next() ? version.integer(0) : -1;
        if (dataVersion != m_open->dataVersion) {
            load();
            m_open->dataVersion = dataVersion;
        }
        m_lastError.clear();
        return true;
    } catch (const DatabaseError& e) {
        m_open.reset();
        clear();
        m_lastError = e.description();
        return false;
    }
}

void SearchIndex::load()
{
    clear();
    Database& database = m_open->database;
    std::vector<List> lists;
    // Each row is kept with its name and description folded; a row the window does not list is not found.
    const auto add = [](List& list, const QString& rootWord, const std::function<bool(int)>& wanted) {
        const RowList& rows = list.listed();
        const int descriptionColumn = list.kind && rows.columns() > 2 ? 2 : -1;
        list.rows.reserve(size_t(rows.size()));
        ListedNames::forEach(rows, rootWord.toStdString(), [&](int row, std::string_view name) {
            if (!wanted(row))
                return;
            Row found{rows.id(row), row, quint32(list.folded.size()), 0, 0};
            foldUtf8(name, list.folded);
            found.description = quint32(list.folded.size());
            if (descriptionColumn > 0)
                foldUtf8(rows.utf8(row, descriptionColumn).value_or(std::string_view()), list.folded);
            found.end = quint32(list.folded.size());
            list.rows.push_back(found);
        });
        list.rows.shrink_to_fit();
        list.folded.shrink_to_fit();
    };
    for (const EntryKind* kind : EntryKinds::all()) {
        List& list = lists.emplace_back();
        list.table = kind->table;
        list.title = kind->title;
        list.iconName = kind->iconName;
        list.kind = kind;
        list.entries = EntryStore(kind->table).list(database);
        add(list, kind->rootWord, [](int) { return true; });
    }
    List& reminders = lists.emplace_back();
    reminders.table = Catalog::Reminders;
    reminders.title = EntryKinds::RemindersTitle;
    reminders.iconName = EntryKinds::RemindersIcon;
    reminders.reminders = ReminderStore::list(database);
    add(reminders, EntryKinds::RemindersRootWord, [&reminders](int row) { return reminders.reminders.isPending(row); });
    m_lists = std::move(lists);
}

QStringList SearchIndex::find(const QStringList& terms) const
{
    std::vector<std::string> words;
    for (const QString& term : terms) {
        for (const QString& word : fold(term).split(QLatin1Char(' '), Qt::SkipEmptyParts))
            words.push_back(word.toStdString());
    }
    if (words.empty())
        return {};
    std::string phrase;
    for (const std::string& word : words)
        phrase += (phrase.empty() ? "" : " ") + word;

    // Folded text is valid UTF-8, so a match of bytes is a match of characters.
    const auto rankOf = [&](std::string_view name, std::string_view description) -> int {
        bool allInName = true;
        for (const std::string& word : words) {
            if (name.find(word) != std::string_view::npos)
                continue;
            allInName = false;
            if (description.find(word) == std::string_view::npos)
                return -1;
        }
        if (!allInName)
            return InDescription;
        if (name.starts_with(phrase))
            return NameStarts;
        for (size_t at = name.find(phrase); at != std::string_view::npos; at = name.find(phrase, at + 1)) {
            if (startsWord(name, at))
                return WordStarts;
        }
        return InName;
    };

    // Each rank keeps its matches in list order; no rank needs more than the results shown.
    std::array<std::vector<QString>, Ranks> ranked;
    for (const List& list : m_lists) {
        for (const Row& row : list.rows) {
            const int rank = rankOf(list.name(row), list.description(row));
            if (rank >= 0 && ranked[size_t(rank)].size() < size_t(MaxResults))
                ranked[size_t(rank)].push_back(list.table + QLatin1Char(':') + QString::number(row.id));
        }
        if (ranked[NameStarts].size() == size_t(MaxResults))
            break;
    }
    QStringList ids;
    for (const std::vector<QString>& rank : ranked) {
        for (const QString& id : rank) {
            if (ids.size() == MaxResults)
                return ids;
            ids << id;
        }
    }
    return ids;
}

const SearchIndex::Row* SearchIndex::rowOf(const QString& id, const List** list) const
{
    const qsizetype colon = id.indexOf(QLatin1Char(':'));
    if (colon < 0)
        return nullptr;
    bool ok = false;
    const qint64 rowid = QStringView(id).mid(colon + 1).toLongLong(&ok);
    if (!ok)
        return nullptr;
    const QStringView table = QStringView(id).left(colon);
    for (const List& candidate : m_lists) {
        if (candidate.table != table)
            continue;
        const std::optional<int> listRow = candidate.listed().indexOf(rowid);
        if (!listRow)
            return nullptr;
        // The rows are kept in list order.
        const auto found = std::lower_bound(candidate.rows.begin(), candidate.rows.end(), *listRow,
                                            [](const Row& row, int wanted) { return row.listRow < wanted; });
        if (found == candidate.rows.end() || found->listRow != *listRow)
            return nullptr;
        *list = &candidate;
        return &*found;
    }
    return nullptr;
}

std::optional<SearchResult> SearchIndex::describe(const QString& id) const
{
    const List* list = nullptr;
    const Row* row = rowOf(id, &list);
    if (!row)
        return std::nullopt;
    if (list->kind) {
        const QString name = list->entries.rows().text(row->listRow, 0).value_or(QString()).trimmed();
        return SearchResult{id, name, list->title, list->iconName};
    }
    const Reminder reminder = list->reminders.at(row->listRow);
    return SearchResult{id, reminder.message.value_or(QString()).trimmed(), ReminderTime::display(reminder.time),
                        list->iconName};
}

std::optional<SearchIndex::Found> SearchIndex::entry(const QString& id) const
{
    const List* list = nullptr;
    const Row* row = rowOf(id, &list);
    if (!row || !list->kind)
        return std::nullopt;
    return Found{list->kind, list->entries.at(row->listRow)};
}

bool SearchIndex::isReminder(const QString& id) const
{
    const List* list = nullptr;
    return rowOf(id, &list) && !list->kind;
}

QString SearchIndex::documentsApplication() const
{
    for (const List& list : m_lists) {
        if (list.kind == &EntryKinds::documents())
            return EntryKinds::documentsApplication(list.entries);
    }
    return {};
}

} // namespace trovix
