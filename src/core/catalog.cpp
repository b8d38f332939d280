#include "catalog.h"

#include "database.h"
#include "entrystore.h"
#include "programfiles.h"
#include "reminderstore.h"

#include <QTextStream>

namespace trovix::Catalog {

namespace {

// Key columns sort without regard to letter case, as users expect of a list.
// Each list is read through an index that holds every column in list order, so
// the listing walks one index from end to end instead of visiting the table's
// pages out of order; reminders are looked for by their done flag and due time.
const char* const Schema = R"sql(
CREATE TABLE softwares (software TEXT COLLATE NOCASE, path TEXT, description TEXT);
CREATE TABLE games (game TEXT COLLATE NOCASE, path TEXT);
CREATE TABLE windows (window TEXT COLLATE NOCASE, path TEXT);
CREATE TABLE documents (document TEXT COLLATE NOCASE, path TEXT);
CREATE TABLE reminders (message TEXT COLLATE NOCASE, time TEXT, done INTEGER NOT NULL DEFAULT 0);
CREATE INDEX softwares_listing ON softwares (software, path, description);
CREATE INDEX games_listing ON games (game, path);
CREATE INDEX windows_listing ON windows (window, path);
CREATE INDEX documents_listing ON documents (document, path);
CREATE INDEX reminders_listing ON reminders (time, message, done);
CREATE INDEX reminders_done_time ON reminders (done, time);
)sql";

// The listing of the table, in its list's order.
QString listing(const Table& table)
{
    return table.name == Reminders ? ReminderStore::ListingQuery : EntryStore(table.name).listingQuery();
}

} // namespace

const std::vector<Table>& tables()
{
    static const std::vector<Table> all = {
            {Softwares, {"software", "path", "description"}},
            {Games, {"game", "path"}},
            {Windows, {"window", "path"}},
            {Documents, {"document", "path"}},
            {Reminders, {"message", "time", "done"}},
    };
    return all;
}

QString fileName(const QString& programFolder)
{
    return ProgramFiles::path(programFolder, ProgramFiles::Database);
}

void open(Database& database, const QString& programFolder)
{
    database.open(fileName(programFolder), Key);
}

void create(const QString& programFolder)
{
    Database database;
    database.create(fileName(programFolder), Key);
    database.transaction([&] {
        database.execute(QString::fromUtf8(Schema));
        database.execute(QStringLiteral("INSERT INTO documents (document, path) VALUES (?, ?)"),
                         {DocumentsApplicationRow, DefaultDocumentsApplication});
    });
}

QStringList check(const QString& programFolder)
{
    Database database;
    try {
        open(database, programFolder);
    } catch (const DatabaseError& e) {
        return {e.description()};
    }

    QStringList problems;
    try {
        const QStringList integrity = database.integrityCheck();
        if (integrity != QStringList{QStringLiteral("ok")})
            problems << QStringLiteral("The integrity check failed: %1").arg(integrity.join(QStringLiteral("; ")));
    } catch (const DatabaseError& e) {
        problems << QStringLiteral("The integrity check failed: %1").arg(e.description());
    }

    for (const Table& t : tables()) {
        QStringList found;
        try {
            const Query columns = database.query(QStringLiteral("select * from %1 where 0").arg(t.name));
            for (int i = 0; i < columns.columnCount(); ++i)
                found << columns.columnName(i);
        } catch (const DatabaseError&) {
            problems << QStringLiteral("The table %1 is missing.").arg(t.name);
            continue;
        }
        if (found.join(QLatin1Char(',')).compare(t.columns.join(QLatin1Char(',')), Qt::CaseInsensitive) != 0)
            problems << QStringLiteral("The table %1 has the columns %2 instead of %3.")
                                .arg(t.name, found.join(QStringLiteral(", ")), t.columns.join(QStringLiteral(", ")));
    }
    return problems;
}

void dump(const QString& programFolder, QTextStream& out)
{
    Database database;
    open(database, programFolder);
    for (const Table& t : tables()) {
        out << "# " << t.name << '\t' << t.columns.join(QLatin1Char('\t')) << '\n';
        Query rows = database.query(listing(t));
        while (rows.next()) {
            QStringList cells;
            // The listing's first column is the rowid.
            for (int i = 1; i < rows.columnCount(); ++i) {
                const std::optional<QString> value = rows.text(i);
                if (!value) {
                    cells << QStringLiteral("\\N");
                    continue;
                }
                // Tabs and line breaks inside a value would break the line format.
                QString text = *value;
                text.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
                        .replace(QLatin1Char('\t'), QLatin1String("\\t"))
                        .replace(QLatin1Char('\n'), QLatin1String("\\n"))
                        .replace(QLatin1Char('\r'), QLatin1String("\\r"));
                cells << text;
            }
            out << cells.join(QLatin1Char('\t')) << '\n';
        }
    }
}

} // namespace trovix::Catalog
