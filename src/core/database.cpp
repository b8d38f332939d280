#include "database.h"

#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <malloc.h>

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
void applyEngineSettings(sqlite3* db, bool readOnly)
{
    if (readOnly) {
        // Settings of this connection only; the journal's settings are the writer's.
        sqlite3_exec(db, "PRAGMA query_only = ON", nullptr, nullptr, nullptr);
        sqlite3_exec(db, "PRAGMA cache_size = -64000", nullptr, nullptr, nullptr);
        sqlite3_exec(db, "PRAGMA temp_store = MEMORY", nullptr, nullptr, nullptr);
        return;
    }
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

bool isWholeNumber(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
        return true;
    default:
        return false;
    }
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
    const QByteArray utf8 = value.toString().toUtf8();
    // A null data pointer would bind NULL; an empty text must stay an empty text.
    return sqlite3_bind_text(statement, index, utf8.isNull() ? "" : utf8.constData(), int(utf8.size()),
                             SQLITE_TRANSIENT);
}

constexpr int FreedMemoryKept = 32 * 1024 * 1024;

void keepFreedMemoryForReads()
{
    // glibc maps each large block of its own and unmaps it when freed, and gives the top of its heap back
    // past 128 kB free. A list read afresh then faults every page of its buffers in again, which costs more
    // than the read itself. Up to these sizes freed memory stays in the heap until releaseCachedPages.
    static const bool kept = [] {
        mallopt(M_MMAP_THRESHOLD, FreedMemoryKept);
        mallopt(M_TRIM_THRESHOLD, FreedMemoryKept);
        return true;
    }();
    Q_UNUSED(kept);
}

} // namespace

DatabaseError::DatabaseError(Kind kind, QString description)
    : m_kind(kind)
    , m_description(std::move(description))
    , m_what(m_description.toUtf8())
{}

Query::Query(sqlite3* db, sqlite3_stmt* statement, QString sql)
    : m_db(db)
    , m_statement(statement)
    , m_sql(std::move(sql))
{}

Query::Query(Query&& other) noexcept
    : m_db(std::exchange(other.m_db, nullptr))
    , m_statement(std::exchange(other.m_statement, nullptr))
    , m_sql(std::move(other.m_sql))
{}

Query& Query::operator=(Query&& other) noexcept
{
    if (this != &other) {
        sqlite3_finalize(m_statement);
        m_db = std::exchange(other.m_db, nullptr);
        m_statement = std::exchange(other.m_statement, nullptr);
        m_sql = std::move(other.m_sql);
    }
    return *this;
}

Query::~Query()
{
    sqlite3_finalize(m_statement);
}

bool Query::next()
{
    const int rc = sqlite3_step(m_statement);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    throw DatabaseError(
            DatabaseError::Kind::Refused,
            QStringLiteral("The database could not run \"%1\": %2").arg(firstWords(m_sql), engineMessage(m_db)));
}

int Query::columnCount() const
{
    return sqlite3_column_count(m_statement);
}

QString Query::columnName(int column) const
{
    return QString::fromUtf8(sqlite3_column_name(m_statement, column));
}

qint64 Query::integer(int column) const
{
    return sqlite3_column_int64(m_statement, column);
}

std::optional<QString> Query::text(int column) const
{
    if (sqlite3_column_type(m_statement, column) == SQLITE_NULL)
        return std::nullopt;
    const Cell value = cell(column);
    return value.toString();
}

Cell Query::cell(int column) const
{
    switch (sqlite3_column_type(m_statement, column)) {
    case SQLITE_INTEGER:
        return QVariant(qint64(sqlite3_column_int64(m_statement, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(m_statement, column));
    case SQLITE_TEXT:
    case SQLITE_BLOB: {
        // The pointer first, then its length, so the length is that of the UTF-8 form.
        const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
        return QVariant(QString::fromUtf8(bytes, sqlite3_column_bytes(m_statement, column)));
    }
    default:
        return {};
    }
}

Database::Database() = default;

Database::~Database()
{
    close();
}

void Database::open(const QString& fileName, const QString& key)
{
    openExisting(fileName, key, SQLITE_OPEN_READWRITE, BusyTimeoutMs);
}

void Database::openReadOnly(const QString& fileName, const QString& key, int busyTimeoutMs)
{
    openExisting(fileName, key, SQLITE_OPEN_READONLY, busyTimeoutMs);
}

void Database::openExisting(const QString& fileName, const QString& key, int flags, int busyTimeoutMs)
{
    close();
    const QFileInfo info(fileName);
    if (!info.exists())
        throw DatabaseError(DatabaseError::Kind::Missing,
                            QStringLiteral("The database file was not found: %1").arg(fileName));
    // The engine would take an empty file for a new database and key it; this program never makes one here.
    if (info.isFile() && info.size() == 0)
        throw DatabaseError(DatabaseError::Kind::NotADatabase,
                            QStringLiteral("The file %1 is empty, not a database.").arg(fileName));

    openFile(fileName, key, flags, busyTimeoutMs);

    // A wrong key shows only when a page is read, so read one now.
    sqlite3_stmt* statement = nullptr;
    int rc = sqlite3_prepare_v2(m_db, "SELECT count(*) FROM sqlite_master", -1, &statement, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_step(statement);
    sqlite3_finalize(statement);
    if (rc != SQLITE_ROW) {
        const QString message = engineMessage(m_db);
        close();
        if (rc == SQLITE_NOTADB)
            throw DatabaseError(
                    DatabaseError::Kind::NotADatabase,
                    QStringLiteral("The file %1 is not a database, or the password does not fit it.").arg(fileName));
        throw DatabaseError(DatabaseError::Kind::Unreadable,
                            QStringLiteral("The database file %1 cannot be read: %2").arg(fileName, message));
    }
}

void Database::create(const QString& fileName, const QString& key)
{
    if (QFileInfo::exists(fileName))
        throw DatabaseError(DatabaseError::Kind::Unreadable,
                            QStringLiteral("The database file %1 already exists.").arg(fileName));
    close();
    openFile(fileName, key, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, BusyTimeoutMs);
    // Write the first page now, so the file holds the key's settings from the start.
    if (sqlite3_exec(m_db, "PRAGMA user_version = 0", nullptr, nullptr, nullptr) != SQLITE_OK) {
        const QString message = engineMessage(m_db);
        close();
        QFile::remove(fileName);
        throw DatabaseError(DatabaseError::Kind::Unreadable,
                            QStringLiteral("The database file %1 cannot be written: %2").arg(fileName, message));
    }
}

void Database::openFile(const QString& fileName, const QString& key, int flags, int busyTimeoutMs)
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
        throw DatabaseError(DatabaseError::Kind::Unreadable,
                            QStringLiteral("The database file %1 cannot be opened: %2").arg(fileName, message));
    }
    const bool readOnly = (flags & SQLITE_OPEN_READONLY) != 0;
    sqlite3_busy_timeout(db, busyTimeoutMs);
    applyEngineSettings(db, readOnly);
    keepFreedMemoryForReads();
    m_db = db;
    m_fileName = fileName;
    m_key = key;
    m_readOnly = readOnly;
}

void Database::regainWriteAccess()
{
    if (!m_db || m_readOnly || sqlite3_db_readonly(m_db, "main") != 1 || !sqlite3_get_autocommit(m_db))
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
        openFile(fileName, key, SQLITE_OPEN_READWRITE, BusyTimeoutMs);
    } catch (const DatabaseError&) {
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

void Database::releaseCachedPages()
{
    if (m_db)
        sqlite3_db_release_memory(m_db);
    malloc_trim(0);
}

qint64 Database::cachedBytes() const
{
    int current = 0;
    int highest = 0;
    if (m_db)
        sqlite3_db_status(m_db, SQLITE_DBSTATUS_CACHE_USED, &current, &highest, 0);
    return current;
}

void Database::close()
{
    if (m_db)
        sqlite3_close_v2(m_db);
    m_db = nullptr;
    m_fileName.clear();
    m_key.clear();
    m_readOnly = false;
}

void Database::refused(const QString& sql) const
{
    throw DatabaseError(
            DatabaseError::Kind::Refused,
            QStringLiteral("The database could not run \"%1\": %2").arg(firstWords(sql), engineMessage(m_db)));
}

void Database::begin()
{
    regainWriteAccess();
    execute(QStringLiteral("BEGIN"));
}

void Database::commit()
{
    execute(QStringLiteral("COMMIT"));
}

void Database::rollback()
{
    // Nothing to undo where the transaction never began or the engine undid it already.
    if (m_db && !sqlite3_get_autocommit(m_db))
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
}

void Database::execute(const QString& sql, const QVariantList& values)
{
    if (!m_db)
        throw DatabaseError(DatabaseError::Kind::Refused, QStringLiteral("The database is closed."));
    if (values.isEmpty()) {
        char* error = nullptr;
        if (sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK) {
            const QString message = error ? QString::fromUtf8(error) : engineMessage(m_db);
            sqlite3_free(error);
            throw DatabaseError(DatabaseError::Kind::Refused,
                                QStringLiteral("The database could not run \"%1\": %2").arg(firstWords(sql), message));
        }
        return;
    }
    Query statement = query(sql, values);
    while (statement.next()) {
    }
}

Query Database::query(const QString& sql, const QVariantList& values)
{
    if (!m_db)
        throw DatabaseError(DatabaseError::Kind::Refused, QStringLiteral("The database is closed."));
    const QByteArray utf8 = sql.toUtf8();
    sqlite3_stmt* raw = nullptr;
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(m_db, utf8.constData(), int(utf8.size()), &raw, &tail) != SQLITE_OK || !raw)
        refused(sql);
    Query statement(m_db, raw, sql);
    // Values are bound to one statement only: what follows it would never run.
    if (!onlyBlanksAndSemicolons(tail) || sqlite3_bind_parameter_count(raw) != values.size())
        throw DatabaseError(DatabaseError::Kind::Refused,
                            QStringLiteral("\"%1\" does not take %2 values.").arg(firstWords(sql)).arg(values.size()));
    for (int i = 0; i < values.size(); ++i) {
        if (bindValue(raw, i + 1, values.at(i)) != SQLITE_OK)
            refused(sql);
    }
    return statement;
}

int Database::changes() const
{
    return m_db ? sqlite3_changes(m_db) : 0;
}

qint64 Database::lastInsertId() const
{
    return m_db ? sqlite3_last_insert_rowid(m_db) : 0;
}

QStringList Database::integrityCheck()
{
    Query check = query(QStringLiteral("PRAGMA integrity_check"));
    QStringList findings;
    while (check.next())
        findings << check.text(0).value_or(QString());
    return findings;
}

} // namespace trovix
