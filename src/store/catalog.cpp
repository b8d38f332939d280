#include "catalog.h"

#include "platform/connection.h"
#include "platform/recordset.h"
#include "platform/runtimeerror.h"
#include "programfiles.h"

#include <QFileInfo>
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

} // namespace

const std::vector<Table>& tables()
{
    static const std::vector<Table> all = {
            {Softwares, {"software", "path", "description"}, "select * from softwares order by software"},
            {Games, {"game", "path"}, "select * from games order by game"},
            {Windows, {"window", "path"}, "select * from windows order by window"},
            {Documents, {"document", "path"}, "select * from documents order by document"},
            {Reminders, {"message", "time", "done"}, "select * from reminders order by time desc"},
    };
    return all;
}

const Table& table(const QString& name)
{
    for (const Table& t : tables()) {
        if (t.name == name)
            return t;
    }
    throw RuntimeError(ErrorCode::ItemNotFound, QStringLiteral("There is no table %1.").arg(name));
}

QString dueRemindersQuery(const QDateTime& now, const QList<qint64>& passedOver)
{
    // The wall clock's text, as due times are stored: in an hour daylight saving repeats it reads the
    // same twice, and a time in the hour it skips is passed as the clock jumps over it.
    QString query = QStringLiteral("SELECT Message,time,done From reminders WHERE time <=#")
                    + now.toLocalTime().toString(TimeFormat) + QStringLiteral("# and done=0");
    if (!passedOver.isEmpty()) {
        QStringList rowids;
        for (qint64 rowid : passedOver)
            rowids << QString::number(rowid);
        query += QStringLiteral(" and rowid not in (%1)").arg(rowids.join(QLatin1Char(',')));
    }
    return query + QStringLiteral(" ORDER BY time LIMIT 1");
}

QString connectionString(const QString& programFolder)
{
    return QStringLiteral("Provider=SQLCipher;")
           + ConnectionString::make(ProgramFiles::path(programFolder, ProgramFiles::Database), Password);
}

void create(const QString& programFolder)
{
    const QString fileName = ProgramFiles::path(programFolder, ProgramFiles::Database);
    Connection connection;
    connection.create(fileName, Password);
    connection.BeginTrans();
    try {
        connection.Execute(QString::fromUtf8(Schema));
        connection.Execute(QStringLiteral("INSERT INTO documents (document, path) VALUES (?, ?)"),
                           {DocumentsApplicationRow, DefaultDocumentsApplication});
        connection.CommitTrans();
    } catch (const RuntimeError&) {
        // The first failure is the one to report; a failing rollback adds nothing.
        goOn([&connection] { connection.RollbackTrans(); });
        throw;
    }
}

QStringList check(const QString& programFolder)
{
    Connection connection;
    try {
        connection.Open(connectionString(programFolder));
    } catch (const RuntimeError& e) {
        return {e.description()};
    }

    QStringList problems;
    try {
        const QStringList integrity = connection.integrityCheck();
        if (integrity != QStringList{QStringLiteral("ok")})
            problems << QStringLiteral("The integrity check failed: %1").arg(integrity.join(QStringLiteral("; ")));
    } catch (const RuntimeError& e) {
        problems << QStringLiteral("The integrity check failed: %1").arg(e.description());
    }

    for (const Table& t : tables()) {
        QStringList found;
        try {
            Recordset rs;
            rs.Open(QStringLiteral("select * from %1 where 0").arg(t.name), connection);
            found = rs.fieldNames();
        } catch (const RuntimeError&) {
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
    Connection connection;
    connection.Open(connectionString(programFolder));
    for (const Table& t : tables()) {
        out << "# " << t.name << '\t' << t.columns.join(QLatin1Char('\t')) << '\n';
        Recordset rs;
        rs.Open(t.listingQuery, connection);
        while (!rs.Eof()) {
            QStringList cells;
            for (int i = 0; i < rs.fieldCount(); ++i) {
                const Value v = rs.Fields(i);
                // Tabs and line breaks inside a value would break the line format.
                QString text = v.isNull() ? QString() : v.variant().toString();
                text.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
                        .replace(QLatin1Char('\t'), QLatin1String("\\t"))
                        .replace(QLatin1Char('\n'), QLatin1String("\\n"))
                        .replace(QLatin1Char('\r'), QLatin1String("\\r"));
                cells << (v.isNull() ? QStringLiteral("\\N") : text);
            }
            out << cells.join(QLatin1Char('\t')) << '\n';
            rs.MoveNext();
        }
    }
}

} // namespace trovix::Catalog
