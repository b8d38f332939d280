#pragma once

#include <QString>
#include <QStringList>
#include <QVariantList>

#include <exception>
#include <memory>
#include <optional>

struct sqlite3;
struct sqlite3_stmt;

namespace trovix {

// Why the database did not do what was asked.
class DatabaseError : public std::exception
{
public:
    enum class Kind {
        Missing,      // the file is not there
        NotADatabase, // not a database, or the key does not fit it
        Unreadable,   // there, but it cannot be opened, read or made
        Refused,      // a statement failed: the file read-only, the disk full, another program's lock
        RowGone,      // the row was removed meanwhile
    };

    DatabaseError(Kind kind, QString description);

    Kind kind() const noexcept { return m_kind; }
    // A plain sentence naming the file or the statement and the engine's reason.
    const QString& description() const noexcept { return m_description; }
    const char* what() const noexcept override { return m_what.constData(); }

private:
    Kind m_kind;
    QString m_description;
    QByteArray m_what;
};

// One stored value as the engine hands it out: nothing (NULL), a whole number, a fraction, or text
// (blobs are read as UTF-8 text).
using Cell = QVariant;

// A statement prepared on a database, stepped row by row. Values are bound as parameters: whole numbers
// as integers, fractions as reals, byte arrays as blobs, and anything else as text (an empty text stays an
// empty text, never NULL).
class Query
{
public:
    Query(Query&&) noexcept;
    Query& operator=(Query&&) noexcept;
    ~Query();

    // Moves to the next row; false past the last one. Throws DatabaseError (Refused) when the engine fails.
    bool next();
    int columnCount() const;
    QString columnName(int column) const;
    qint64 integer(int column) const;
    // A text column's value as text; nothing for NULL. Numbers are written as the engine writes them.
    std::optional<QString> text(int column) const;
    // The column's raw value (for reading numbers and NULL as they are stored).
    Cell cell(int column) const;
    sqlite3_stmt* handle() const { return m_statement; }

private:
    friend class Database;
    Query(sqlite3* db, sqlite3_stmt* statement, QString sql);

    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_statement = nullptr;
    QString m_sql;
};

// One open SQLCipher database file. Opening never creates the file. The cipher settings are stated
// outright so that later library versions keep opening today's files; a wrong key is found at once by a
// forced first read.
class Database
{
public:
    Database();
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Opens the file with the key. Throws DatabaseError: Missing, NotADatabase (also an empty file, which
    // the engine would take for a new one) or Unreadable. From then on, memory the process frees is kept
    // for the next read of a list (up to 32 MB) instead of going back to the system at once, until
    // releaseCachedPages.
    void open(const QString& fileName, const QString& key);
    // Opens the file for reading only, for a reader beside the program: the file is never made or written
    // (no journal is rolled back, nothing is set in it), and a lock another process holds is waited for
    // only for the given time before a read fails (Refused). Throws as open does.
    void openReadOnly(const QString& fileName, const QString& key, int busyTimeoutMs);
    // Makes a new, empty encrypted file; Unreadable when the file exists or cannot be written.
    void create(const QString& fileName, const QString& key);
    void close();
    bool isOpen() const { return m_db != nullptr; }
    QString fileName() const { return m_fileName; }

    // Gives back the memory of the decrypted pages kept, and the memory the process freed; the pages are
    // read (and decrypted) again when needed.
    void releaseCachedPages();

    // Bytes the page cache holds now.
    qint64 cachedBytes() const;

    // The engine keeps a file it could only read open read-only, even once the file may be written again.
    // This opens it again, read-write, when that is so and the file now takes writes; otherwise (or when
    // that fails) the database stays as it is.
    void regainWriteAccess();

    // Runs the changes as one transaction: all of them are stored, or, when one fails, none, and the
    // failure is thrown on. Write access is regained first where it can be.
    template<typename Changes>
    void transaction(Changes&& changes)
    {
        begin();
        try {
            std::forward<Changes>(changes)();
            commit();
        } catch (...) {
            rollback();
            throw;
        }
    }

    // Runs statements; with values, exactly one statement, its parameters bound in order. Throws
    // DatabaseError (Refused).
    void execute(const QString& sql, const QVariantList& values = {});
    // Prepares one statement with its values bound.
    Query query(const QString& sql, const QVariantList& values = {});
    // Rows the last change touched, and the rowid of the last row inserted.
    int changes() const;
    qint64 lastInsertId() const;
    // "ok", or what the engine's integrity check found.
    QStringList integrityCheck();

    sqlite3* handle() const { return m_db; }

private:
    void openExisting(const QString& fileName, const QString& key, int flags, int busyTimeoutMs);
    void openFile(const QString& fileName, const QString& key, int flags, int busyTimeoutMs);
    void begin();
    void commit();
    void rollback();
    [[noreturn]] void refused(const QString& sql) const;

    sqlite3* m_db = nullptr;
    QString m_fileName;
    QString m_key;
    bool m_readOnly = false;
};

} // namespace trovix
