#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>

namespace trovix::SaveJournal {

// The crash-safety driver keeps a journal beside the program folder, one record a line, each
// written and synced on its own:
//   begin <seq> <op> <table> <old token or -> <new token or ->   before the window is told to store
//   done <seq>                                                   after the window showed it stored
//   settle <seq> applied|absent                                  after a kill: what the file holds
// The change between its begin and its done is the one in flight; a kill there may leave it
// stored or not, never half. Every column of a row the driver writes is made from one token, so
// a row whose columns disagree was half written.

enum class Op { New, Modify, Delete, Application };

struct Change
{
    int seq = 0;
    Op op = Op::New;
    QString table;
    QString oldToken; // Modify, Delete, Application (empty: the delivered application)
    QString newToken; // New, Modify, Application
};

QString opName(Op op);
QString record(const Change& change); // the begin line, without its line break

// Tokens of the rows each table holds, and the token of the documents' application.
struct State
{
    QHash<QString, QSet<QString>> tokens;
    QString application; // empty: the delivered one

    bool operator==(const State&) const = default;
    void apply(const Change& change);
};

struct Replay
{
    State state;                  // every change journaled done or settled applied
    std::optional<Change> change; // the one begun and neither done nor settled
    int lastSeq = 0;
    int done = 0;
    int deletes = 0;             // done or settled applied
    int settledApplied = 0;      // in flight at a kill, and stored
    int settledAbsent = 0;       // in flight at a kill, and not stored
    QStringList problems;        // the journal itself is inconsistent
    qsizetype completeBytes = 0; // the journal up to its last whole line
};

Replay replay(const QByteArray& journal);

// The five tables the driver writes, and the columns it writes, made from a token.
const QStringList& tables();
QStringList rowFor(const QString& table, const QString& token);
QString tokenOf(const QString& table, const QString& key); // empty when it is not one of ours
QString applicationFor(const QString& token);              // "xdg-open" for no token
// How a reminder's time is made from its token, so the driver types it and the checker expects it.
QString reminderTime(const QString& token);

// Rows of each table, every cell as text ("\\N" for no value), in stored order.
using Rows = QHash<QString, QList<QStringList>>;

struct Verdict
{
    QStringList problems;
    // For the change in flight: whether the file holds it.
    enum class InFlight { None, Applied, Absent } inFlight = InFlight::None;
};

Verdict check(const Replay& replay, const Rows& rows);

// The rows stored in the program folder's database.
Rows readRows(const QString& programFolder);

// Appends one line and syncs it to the disk before returning; false when it could not.
bool append(const QString& journalFile, const QString& line);

} // namespace trovix::SaveJournal
