#include "connection.h"

#include "runtimeerror.h"
#include "statement.h"
#include "value.h"

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <memory>

namespace trovix {

namespace {

constexpr int BusyTimeoutMs = 2000; // another process may hold the file for a moment

QString engineMessage(sqlite3* db)
{
    return QString::fromUtf8(sqlite3_errmsg(db));
}

// Enough of a statement to recognise it in a message.
QString firstWords(const QString& sql)
{
    const QString flat = sql.simplified();
    constexpr int Shown = 60;
    return flat.size() <= Shown ? flat : flat.left(Shown) + QStringLiteral("...");
}

[[noreturn]] void invalid(const QString& description)
{
    throw RuntimeError(ErrorCode::InvalidArgument, description);
}

// The same settings for every file, stated outright: a newer library changes its defaults, and only
// these make it read today's files. cipher_compatibility and the algorithm names are unknown to 3.4
// and skipped by it; a newer library takes them. A setting that does not take effect shows as a
// failed first read, so failures here are not reported on their own.
void applyCipherSettings(sqlite3* db)
{
    static const char* const settings[] = {
            "PRAGMA cipher_compatibility = 3",
            "PRAGMA cipher_page_size = 1024",
            "PRAGMA kdf_iter = 64000",
            "PRAGMA cipher_use_hmac = ON",
            "PRAGMA cipher_hmac_algorithm = HMAC_SHA1",
            "PRAGMA cipher_kdf_algorithm = PBKDF2_HMAC_SHA1",
    };
    for (const char* setting : settings)
        sqlite3_exec(db, setting, nullptr, nullptr, nullptr);
}

// The engine's own defaults keep 2,000 pages of 1 KB in memory. A list is read through its name index,
// which visits the table's pages out of order; once the file is larger than the cache every visit
// decrypts its page again. Up to 64 MB (taken only as pages are read) holds a list of 100,000 entries
// whole, and sorting scratch stays in memory.
void applyEngineSettings(sqlite3* db)
{
    // A rollback journal written through to the disk before every commit: a program killed in the middle
    // of a change leaves the journal, and the next opening undoes the half-done change. These are the
    // engine's defaults, stated so that no build of it can differ.
    sqlite3_exec(db, "PRAGMA journal_mode = DELETE", nullptr, nullptr, nullptr);
    sqlite3_exec(db, "PRAGMA synchronous = FULL", nullptr, nullptr, nullptr);
    sqlite3_exec(db, "PRAGMA cache_size = -64000", nullptr, nullptr, nullptr);
    sqlite3_exec(db, "PRAGMA temp_store = MEMORY", nullptr, nullptr, nullptr);
}

bool onlyBlanksAndSemicolons(const char* text)
{
    for (; text && *text; ++text) {
        if (*text != ';' && *text != ' ' && *text != '\t' && *text != '\r' && *text != '\n')
            return false;
    }
    return true;
}

int bindValue(sqlite3_stmt* statement, int index, const QVariant& value)
{
    if (value.isNull())
        return sqlite3_bind_null(statement, index);
    if (isWholeNumber(value))
        return sqlite3_bind_int64(statement, index, value.toLongLong());
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return sqlite3_bind_double(statement, index, value.toDouble());
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        return sqlite3_bind_blob(statement, index, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
    }
    default:
        break;
    }
    QString text;
    if (value.typeId() == QMetaType::QDateTime)
        text = value.toDateTime().toString(DateTimeTextFormat);
    else if (value.typeId() == QMetaType::QDate)
        text = value.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    else
        text = value.toString();
    const QByteArray utf8 = text.toUtf8();
    // A null data pointer would bind NULL; an empty text must stay an empty text.
    return sqlite3_bind_text(statement, index, utf8.isNull() ? "" : utf8.constData(), int(utf8.size()),
                             SQLITE_TRANSIENT);
}

} // namespace

ConnectionString ConnectionString::parse(const QString& text)
{
    ConnectionString result;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        if (text.at(i) == QLatin1Char(';') || text.at(i).isSpace()) {
            ++i;
            continue;
        }
        const qsizetype equals = text.indexOf(QLatin1Char('='), i);
        const qsizetype semicolon = text.indexOf(QLatin1Char(';'), i);
        if (equals < 0 || (semicolon >= 0 && semicolon < equals))
            invalid(QStringLiteral("The connection text has a part without a value: %1").arg(text));
        const QString name = text.mid(i, equals - i).trimmed().toLower();
        i = equals + 1;

        // A value runs to the next ';' outside double quotes. Blanks around it are dropped, those
        // inside quotes kept; quoted and plain pieces may follow each other.
        QString value;
        qsizetype keep = 0;
        while (i < n && text.at(i).isSpace())
            ++i;
        while (i < n && text.at(i) != QLatin1Char(';')) {
            if (text.at(i) != QLatin1Char('"')) {
                value += text.at(i++);
                continue;
            }
            ++i;
            for (;;) {
                if (i >= n)
                    invalid(QStringLiteral("The connection text has a quote that is not closed: %1").arg(text));
                if (text.at(i) == QLatin1Char('"')) {
                    if (i + 1 < n && text.at(i + 1) == QLatin1Char('"')) {
                        value += QLatin1Char('"');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                value += text.at(i++);
            }
            keep = value.size();
        }
        qsizetype end = value.size();
        while (end > keep && value.at(end - 1).isSpace())
            --end;
        value.truncate(end);

        if (name.contains(QLatin1String("data source")))
            result.dataSource = value;
        else if (name.contains(QLatin1String("database password")))
            result.password = value;
    }
    return result;
}

QString ConnectionString::quoteValue(const QString& value)
{
    const bool needed = value.contains(QLatin1Char(';')) || value.contains(QLatin1Char('"'))
                        || (!value.isEmpty() && (value.front().isSpace() || value.back().isSpace()));
    if (!needed)
        return value;
    QString quoted = value;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString ConnectionString::make(const QString& dataSource, const QString& password)
{
    return QStringLiteral("Data Source=") + quoteValue(dataSource) + QStringLiteral(";Database Password=")
           + quoteValue(password);
}

Connection::Connection() = default;

Connection::~Connection()
{
    Close();
}

void Connection::Open(const QString& connectionString, const QString& userId, const QString& password, int options)
{
    Q_UNUSED(userId);
    Q_UNUSED(password);
    Q_UNUSED(options);
    const ConnectionString parts = ConnectionString::parse(connectionString);
    if (parts.dataSource.isEmpty())
        invalid(QStringLiteral("The connection text names no database file."));

    Close();
    const QFileInfo info(parts.dataSource);
    if (!info.exists())
        throw RuntimeError(ErrorCode::DatabaseMissing,
                           QStringLiteral("The database file was not found: %1").arg(parts.dataSource));
    // The engine would take an empty file for a new database and key it; this program never makes one here.
    if (info.isFile() && info.size() == 0)
        throw RuntimeError(ErrorCode::NotADatabase,
                           QStringLiteral("The file %1 is empty, not a database.").arg(parts.dataSource));

    openFile(parts.dataSource, parts.password, SQLITE_OPEN_READWRITE);

    // A wrong key shows only when a page is read, so read one now.
    sqlite3_stmt* raw = nullptr;
    int rc = sqlite3_prepare_v2(m_db, "SELECT count(*) FROM sqlite_master", -1, &raw, nullptr);
    Statement statement(raw);
    if (rc == SQLITE_OK)
        rc = sqlite3_step(raw);
    if (rc != SQLITE_ROW) {
        const QString message = engineMessage(m_db);
        statement.reset();
        Close();
        if (rc == SQLITE_NOTADB)
            throw RuntimeError(ErrorCode::NotADatabase,
                               QStringLiteral("The file %1 is not a database, or the password does not fit it.")
                                       .arg(parts.dataSource));
        throw RuntimeError(ErrorCode::DatabaseUnreadable,
                           QStringLiteral("The database file %1 cannot be read: %2").arg(parts.dataSource, message));
    }
}

void Connection::create(const QString& fileName, const QString& key)
{
    if (QFileInfo::exists(fileName))
        throw RuntimeError(ErrorCode::DatabaseUnreadable,
                           QStringLiteral("The database file %1 already exists.").arg(fileName));
    if (key.isEmpty())
        invalid(QStringLiteral("A new database needs a password."));

    Close();
    openFile(fileName, key, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    // Write the first page now, so the file holds the key's settings from the start.
    if (sqlite3_exec(m_db, "PRAGMA user_version = 0", nullptr, nullptr, nullptr) != SQLITE_OK) {
        const QString message = engineMessage(m_db);
        Close();
        QFile::remove(fileName);
        throw RuntimeError(ErrorCode::DatabaseUnreadable,
                           QStringLiteral("The database file %1 cannot be written: %2").arg(fileName, message));
    }
}

void Connection::openFile(const QString& fileName, const QString& key, int flags)
{
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(fileName).constData(), &db, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc == SQLITE_OK && !key.isEmpty()) {
        const QByteArray keyBytes = key.toUtf8();
        rc = sqlite3_key(db, keyBytes.constData(), int(keyBytes.size()));
        if (rc == SQLITE_OK)
            applyCipherSettings(db);
    }
    if (rc != SQLITE_OK) {
        const QString message = db ? engineMessage(db) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_close(db);
        throw RuntimeError(ErrorCode::DatabaseUnreadable,
                           QStringLiteral("The database file %1 cannot be opened: %2").arg(fileName, message));
    }
    sqlite3_busy_timeout(db, BusyTimeoutMs);
    applyEngineSettings(db);
    m_db = db;
    m_fileName = fileName;
    m_key = key;
}

void Connection::regainWriteAccess()
{
    if (!m_db || sqlite3_db_readonly(m_db, "main") != 1 || !sqlite3_get_autocommit(m_db))
        return;
    QFile probe(m_fileName);
    if (!probe.open(QIODevice::ReadWrite))
        return;
    probe.close();
    sqlite3* const readOnly = m_db;
    const QString fileName = m_fileName;
    const QString key = m_key;
    m_db = nullptr;
    try {
        openFile(fileName, key, SQLITE_OPEN_READWRITE);
    } catch (const RuntimeError&) {
        // openFile changes nothing else when it fails.
        m_db = readOnly;
        return;
    }
    // Keep the new connection only when it can write and reads the file with the same key.
    const bool usable =
            sqlite3_db_readonly(m_db, "main") == 0
            && sqlite3_exec(m_db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr) == SQLITE_OK;
    if (!usable) {
        sqlite3_close_v2(m_db);
        m_db = readOnly;
        return;
    }
    sqlite3_close_v2(readOnly);
}

void Connection::releaseCachedPages()
{
    if (m_db)
        sqlite3_db_release_memory(m_db);
}

qint64 Connection::cachedBytes() const
{
    int current = 0;
    int highest = 0;
    if (m_db)
        sqlite3_db_status(m_db, SQLITE_DBSTATUS_CACHE_USED, &current, &highest, 0);
    return current;
}

void Connection::Close()
{
    if (m_db)
        sqlite3_close_v2(m_db);
    m_db = nullptr;
    m_fileName.clear();
    m_key.clear();
}

void Connection::fail(int code, const QString& what) const
{
    throw RuntimeError(code, QStringLiteral("The database could not run \"%1\": %2").arg(what, engineMessage(m_db)));
}

void Connection::BeginTrans()
{
    regainWriteAccess();
    Execute(QStringLiteral("BEGIN"));
}

void Connection::CommitTrans()
{
    Execute(QStringLiteral("COMMIT"));
}

void Connection::RollbackTrans()
{
    Execute(QStringLiteral("ROLLBACK"));
}

void Connection::Execute(const QString& sql, const QVariantList& parameters)
{
    if (!m_db)
        throw RuntimeError(ErrorCode::ObjectClosed, QStringLiteral("The database connection is closed."));
    const QByteArray utf8 = sql.toUtf8();

    if (parameters.isEmpty()) {
        char* error = nullptr;
        if (sqlite3_exec(m_db, utf8.constData(), nullptr, nullptr, &error) != SQLITE_OK) {
            const QString message = error ? QString::fromUtf8(error) : engineMessage(m_db);
            sqlite3_free(error);
            throw RuntimeError(ErrorCode::DatabaseError,
                               QStringLiteral("The database could not run \"%1\": %2").arg(firstWords(sql), message));
        }
        return;
    }

    sqlite3_stmt* raw = nullptr;
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(m_db, utf8.constData(), int(utf8.size()), &raw, &tail) != SQLITE_OK)
        fail(ErrorCode::DatabaseError, firstWords(sql));
    Statement statement(raw);
    if (!raw || !onlyBlanksAndSemicolons(tail))
        invalid(QStringLiteral("Values can be given to exactly one statement: %1").arg(firstWords(sql)));
    if (sqlite3_bind_parameter_count(raw) != parameters.size())
        invalid(QStringLiteral("\"%1\" takes %2 values, not %3.")
                        .arg(firstWords(sql))
                        .arg(sqlite3_bind_parameter_count(raw))
                        .arg(parameters.size()));
    for (int i = 0; i < parameters.size(); ++i) {
        if (bindValue(raw, i + 1, parameters.at(i)) != SQLITE_OK)
            fail(ErrorCode::DatabaseError, firstWords(sql));
    }
    int rc;
    while ((rc = sqlite3_step(raw)) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE)
        fail(ErrorCode::DatabaseError, firstWords(sql));
}

QStringList Connection::integrityCheck()
{
    if (!m_db)
        throw RuntimeError(ErrorCode::ObjectClosed, QStringLiteral("The database connection is closed."));
    const QString sql = QStringLiteral("PRAGMA integrity_check");
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(m_db, "PRAGMA integrity_check", -1, &raw, nullptr) != SQLITE_OK)
        fail(ErrorCode::DatabaseError, sql);
    Statement statement(raw);
    QStringList findings;
    int rc;
    while ((rc = sqlite3_step(raw)) == SQLITE_ROW)
        findings << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(raw, 0)));
    if (rc != SQLITE_DONE)
        fail(ErrorCode::DatabaseError, sql);
    return findings;
}

} // namespace trovix
