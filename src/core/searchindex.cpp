#include "searchindex.h"

#include "catalog.h"
#include "database.h"
#include "entrykinds.h"
#include "remindertime.h"

#include <QFile>
#include <QSet>

#include <sys/stat.h>

#include <array>

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
    // The window lists a row under its trimmed name, each name once, never the root word or a blank one.
    QSet<QString> seen;
    const auto listed = [&seen](const std::optional<QString>& name, const QString& rootWord) -> std::optional<QString> {
        if (!name)
            return std::nullopt;
        QString shown = name->trimmed();
        if (shown.isEmpty() || shown == rootWord || seen.contains(shown))
            return std::nullopt;
        seen.insert(shown);
        return shown;
    };
    for (const EntryKind* kind : EntryKinds::all()) {
        List& list = lists.emplace_back();
        list.table = kind->table;
        list.title = kind->title;
        list.iconName = kind->iconName;
        list.kind = kind;
        list.entries = EntryStore(kind->table).list(database);
        const RowList& rows = list.entries.rows();
        list.rows.reserve(size_t(rows.size()));
        seen.clear();
        for (int row = 0; row < rows.size(); ++row) {
            const std::optional<QString> shown = listed(rows.text(row, 0), kind->rootWord);
            if (!shown)
                continue;
            const std::optional<QString> description = rows.columns() > 2 ? rows.text(row, 2) : std::nullopt;
            list.rows.push_back({rows.id(row), row, fold(*shown), description ? fold(*description) : QString()});
        }
    }
    List& reminders = lists.emplace_back();
    reminders.table = Catalog::Reminders;
    reminders.title = EntryKinds::RemindersTitle;
    reminders.iconName = EntryKinds::RemindersIcon;
    reminders.reminders = ReminderStore::list(database);
    seen.clear();
    for (int row = 0; row < reminders.reminders.size(); ++row) {
        const Reminder reminder = reminders.reminders.at(row);
        const std::optional<QString> shown = listed(reminder.message, EntryKinds::RemindersRootWord);
        if (shown && reminder.isPending())
            reminders.rows.push_back({reminder.id, row, fold(*shown), QString()});
    }
    m_lists = std::move(lists);
}

QStringList SearchIndex::find(const QStringList& terms) const
{
    QStringList words;
    for (const QString& term : terms)
        words += fold(term).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty())
        return {};
    const QString phrase = words.join(QLatin1Char(' '));

    const auto rankOf = [&](const Row& row) -> int {
        bool allInName = true;
        for (const QString& word : words) {
            if (row.name.contains(word))
                continue;
            allInName = false;
            if (!row.description.contains(word))
                return -1;
        }
        if (!allInName)
            return InDescription;
        if (row.name.startsWith(phrase))
            return NameStarts;
        for (qsizetype at = row.name.indexOf(phrase); at > 0; at = row.name.indexOf(phrase, at + 1)) {
            if (!row.name.at(at - 1).isLetterOrNumber())
                return WordStarts;
        }
        return InName;
    };

    // Each rank keeps its matches in list order; no rank needs more than the results shown.
    std::array<std::vector<QString>, Ranks> ranked;
    for (const List& list : m_lists) {
        for (const Row& row : list.rows) {
            const int rank = rankOf(row);
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
        for (const Row& row : candidate.rows) {
            if (row.id == rowid) {
                *list = &candidate;
                return &row;
            }
        }
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
