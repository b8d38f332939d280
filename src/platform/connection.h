#pragma once

#include <QString>
#include <QVariantList>

struct sqlite3;

namespace trovix {

// The pieces of a connection string, "Name=value;Name=value". A value may be
// written between double quotes (a doubled quote inside stands for one), so a
// folder holding ';' can still be named.
struct ConnectionString
{
    QString dataSource;
    QString password;

    static ConnectionString parse(const QString& text); // throws RuntimeError 3001 when malformed
    static QString quoteValue(const QString& value);    // quotes only when needed
    // "Data Source=<file>;Database Password=<key>", each value quoted where needed.
    static QString make(const QString& dataSource, const QString& password);
};

// One open SQLCipher database. Opening never creates the file. The cipher
// settings are stated explicitly so later library versions keep opening the
// files made today; a wrong key is found at once by a forced first read.
class Connection
{
public:
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Opens "Data Source=<file>;Database Password=<key>". User, password and
    // options are accepted for the familiar call shape and not used.
    // Throws RuntimeError 3024 (missing), 3343 (not a database or wrong key),
    // 3051 (cannot be opened or read).
    void Open(const QString& connectionString, const QString& userId = {}, const QString& password = {},
              int options = -1);
    // Creates a new, empty encrypted file; refuses (3051) when the file exists.
    void create(const QString& fileName, const QString& key);
    void Close();
    bool isOpen() const { return m_db != nullptr; }
    QString fileName() const { return m_fileName; }
    // Gives back the memory of the decrypted pages the connection keeps; they are read (and decrypted)
    // again when next needed.
    void releaseCachedPages();
    // Bytes the connection's page cache holds now.
    qint64 cachedBytes() const;

    // Starts a transaction; a connection the engine opened read-only (the file could only be read then)
    // is first opened again for writing when the file may now be written.
    void BeginTrans();
    // The engine keeps a connection it opened read-only that way until it is closed, even once the
    // file may be written again. This opens it again, read-write, when it was opened read-only and
    // the file now takes writes; otherwise (or when that fails) the connection stays as it is.
    void regainWriteAccess();
    void CommitTrans();
    void RollbackTrans();

    // Runs one statement (or several, without parameters); values are bound as parameters.
    void Execute(const QString& sql, const QVariantList& parameters = {});
    // "ok" or the engine's findings.
    QStringList integrityCheck();

    sqlite3* handle() const { return m_db; }

private:
    void openFile(const QString& fileName, const QString& key, int flags);
    [[noreturn]] void fail(int code, const QString& what) const;

    sqlite3* m_db = nullptr;
    QString m_fileName;
    QString m_key;
};

} // namespace trovix
