#pragma once

#include "entrystore.h"
#include "reminderstore.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trovix {

struct EntryKind;

// One thing the desktop's search found: an entry of a list, or a pending reminder.
struct SearchResult
{
    QString id;          // "<table>:<rowid>", e.g. "softwares:12"
    QString name;        // the entry's name or the reminder's message, as its list shows it
    QString description; // the list's title, or the reminder's due time as the reminders window shows it
    QString iconName;    // the list's installed icon
};

// The four lists and the pending reminders of a program folder, held in memory for the desktop's search.
// It reads the database without ever writing to it (or making it), and reads it again only when another
// program changed it or the file was replaced. Each text is kept folded (compatibility decomposition, no
// combining marks, case folded, blanks as one space), so a request compares only prepared text.
class SearchIndex
{
public:
    static constexpr int MaxResults = 20;
    // How long a read waits for a lock another program holds before the request gives up.
    static constexpr int LockWaitMs = 250;

    explicit SearchIndex(QString programFolder);
    ~SearchIndex();
    SearchIndex(const SearchIndex&) = delete;
    SearchIndex& operator=(const SearchIndex&) = delete;

    // Brings the index up to the file. False, and the reason in lastError, when the file cannot be read:
    // the index is then empty.
    bool refresh();
    const QString& lastError() const { return m_lastError; }

    // The ids of what every term matches, best first, at most MaxResults (refresh first). Terms are split
    // at blanks; no terms, no results.
    QStringList find(const QStringList& terms) const;
    // The result of an id; nothing when the id names nothing found now.
    std::optional<SearchResult> describe(const QString& id) const;

    // An entry to start: its list and row. Nothing when the id names no entry of the four lists.
    struct Found
    {
        const EntryKind* kind;
        Entry entry;
    };
    std::optional<Found> entry(const QString& id) const;
    bool isReminder(const QString& id) const;
    // The application documents open with now.
    QString documentsApplication() const;

    // How a text is compared: decomposed, without combining marks, case folded, blanks as one space.
    static QString fold(const QString& text);
    // The same for UTF-8, appended to folded.
    static void foldUtf8(std::string_view text, std::string& folded);

private:
    // A listed row: its folded name and description lie one after the other in its list's text.
    struct Row
    {
        qint64 id;
        int listRow; // the row in its list
        quint32 name;
        quint32 description; // where the name ends
        quint32 end;         // where the description ends
    };
    struct List
    {
        QString table;
        QString title;
        QString iconName;
        std::string folded; // the folded names and descriptions of the rows, in UTF-8
        std::vector<Row> rows;
        const EntryKind* kind = nullptr;
        EntryList entries;
        ReminderList reminders;

        std::string_view name(const Row& row) const;
        std::string_view description(const Row& row) const;
        const RowList& listed() const;
    };

    void load();
    void clear();
    const Row* rowOf(const QString& id, const List** list) const;

    QString m_programFolder;
    struct Open;
    std::unique_ptr<Open> m_open;
    std::vector<List> m_lists;
    QString m_lastError;
};

} // namespace trovix
