#include "savejournal.h"

#include "platform/connection.h"
#include "platform/recordset.h"
#include "store/catalog.h"

#include <QDateTime>
#include <QFile>

#include <fcntl.h>
#include <unistd.h>

namespace trovix::SaveJournal {

namespace {

const QString NoToken = QStringLiteral("-");
const QString ApplicationPrefix = QStringLiteral("/usr/bin/viewer-");

struct Form
{
    QString table;
    QString keyPrefix;  // the key is this, a blank and the token
    QStringList others; // the other columns, "%1" standing for the token
};

const QList<Form>& forms()
{
    static const QList<Form> all = {
            {Catalog::Softwares,
             QStringLiteral("Tool"),
             {QStringLiteral("/opt/%1/bin/run"), QStringLiteral("Made by %1")}},
            {Catalog::Games, QStringLiteral("Game"), {QStringLiteral("/opt/%1/bin/play")}},
            {Catalog::Windows, QStringLiteral("Command"), {QStringLiteral("/opt/%1/bin/cli --verbose")}},
            {Catalog::Documents, QStringLiteral("Paper"), {QStringLiteral("/home/user/%1.txt")}},
            {Catalog::Reminders, QStringLiteral("Remind"), {QString(), QStringLiteral("0")}},
    };
    return all;
}

const Form* formOf(const QString& table)
{
    for (const Form& form : forms()) {
        if (form.table == table)
            return &form;
    }
    return nullptr;
}

std::optional<Op> opOf(const QString& name)
{
    for (Op op : {Op::New, Op::Modify, Op::Delete, Op::Application}) {
        if (opName(op) == name)
            return op;
    }
    return std::nullopt;
}

QString orNone(const QString& token)
{
    return token.isEmpty() ? NoToken : token;
}

QString fromNone(const QString& token)
{
    return token == NoToken ? QString() : token;
}

// What a change needs before it can be applied; empty when it can.
QString whyNot(const State& state, const Change& change)
{
    const QSet<QString> held = state.tokens.value(change.table);
    switch (change.op) {
    case Op::New:
        return held.contains(change.newToken) ? QStringLiteral("adds %1 twice").arg(change.newToken) : QString();
    case Op::Modify:
    case Op::Delete:
        return held.contains(change.oldToken) ? QString()
                                              : QStringLiteral("changes %1, which is not there").arg(change.oldToken);
    case Op::Application:
        return state.application == change.oldToken ? QString()
                                                    : QStringLiteral("replaces an application that is not set");
    }
    return {};
}

// "t" and a change number, as the driver makes them.
bool isToken(const QString& token)
{
    bool isNumber = false;
    return token.size() >= 2 && token.at(0) == QLatin1Char('t') && token.mid(1).toInt(&isNumber) > 0 && isNumber;
}

QString describe(const Change& change)
{
    return QStringLiteral("#%1 (%2 in %3)").arg(change.seq).arg(opName(change.op), change.table);
}

QString listed(QStringList tokens)
{
    tokens.sort();
    return tokens.join(QStringLiteral(", "));
}

} // namespace

QString opName(Op op)
{
    switch (op) {
    case Op::New:
        return QStringLiteral("new");
    case Op::Modify:
        return QStringLiteral("modify");
    case Op::Delete:
        return QStringLiteral("delete");
    case Op::Application:
        return QStringLiteral("application");
    }
    return {};
}

QString record(const Change& change)
{
    return QStringLiteral("begin %1 %2 %3 %4 %5")
            .arg(change.seq)
            .arg(opName(change.op), change.table, orNone(change.oldToken), orNone(change.newToken));
}

void State::apply(const Change& change)
{
    QSet<QString>& held = tokens[change.table];
    switch (change.op) {
    case Op::New:
        held.insert(change.newToken);
        break;
    case Op::Modify:
        held.remove(change.oldToken);
        held.insert(change.newToken);
        break;
    case Op::Delete:
        held.remove(change.oldToken);
        break;
    case Op::Application:
        application = change.newToken;
        break;
    }
}

Replay replay(const QByteArray& journal)
{
    Replay result;
    // A last line without its line break is the one being written at the kill: it was never complete.
    const qsizetype end = journal.lastIndexOf('\n') + 1;
    result.completeBytes = end;
    const QList<QByteArray> lines = journal.left(end).split('\n');
    int number = 0;
    for (const QByteArray& raw : lines) {
        ++number;
        if (raw.isEmpty())
            continue;
        const QStringList words = QString::fromUtf8(raw).split(QLatin1Char(' '));
        const auto fault = [&](const QString& what) {
            result.problems << QStringLiteral("journal line %1 (%2): %3").arg(number).arg(QString::fromUtf8(raw), what);
        };
        bool isNumber = false;
        const int seq = words.value(1).toInt(&isNumber);
        if (!isNumber || seq <= 0) {
            fault(QStringLiteral("no change number"));
            continue;
        }
        if (words.at(0) == QLatin1String("begin")) {
            const std::optional<Op> op = opOf(words.value(2));
            if (words.size() != 6 || !op || !formOf(words.at(3))) {
                fault(QStringLiteral("not a change"));
                continue;
            }
            if (result.change) {
                fault(QStringLiteral("begun while %1 is neither done nor settled").arg(describe(*result.change)));
                continue;
            }
            if (seq <= result.lastSeq) {
                fault(QStringLiteral("numbered out of order"));
                continue;
            }
            const Change change{seq, *op, words.at(3), fromNone(words.at(4)), fromNone(words.at(5))};
            const QString refusal = whyNot(result.state, change);
            if (!refusal.isEmpty()) {
                fault(refusal);
                continue;
            }
            result.change = change;
            result.lastSeq = seq;
            continue;
        }
        const bool done = words.at(0) == QLatin1String("done") && words.size() == 2;
        const bool settle = words.at(0) == QLatin1String("settle") && words.size() == 3
                            && (words.at(2) == QLatin1String("applied") || words.at(2) == QLatin1String("absent"));
        if (!done && !settle) {
            fault(QStringLiteral("not a record"));
            continue;
        }
        if (!result.change || result.change->seq != seq) {
            fault(QStringLiteral("ends a change that is not in flight"));
            continue;
        }
        const bool applied = done || words.at(2) == QLatin1String("applied");
        if (applied) {
            result.state.apply(*result.change);
            if (result.change->op == Op::Delete)
                ++result.deletes;
        }
        if (done)
            ++result.done;
        else if (applied)
            ++result.settledApplied;
        else
            ++result.settledAbsent;
        result.change.reset();
    }
    return result;
}

const QStringList& tables()
{
    static const QStringList all = [] {
        QStringList names;
        for (const Form& form : forms())
            names << form.table;
        return names;
    }();
    return all;
}

QString reminderTime(const QString& token)
{
    // A day for every forty reminders, each at its own minute between nine and half past five, so no
    // time falls in a change of clocks and none is due for years.
    const int n = token.mid(1).toInt();
    const QDateTime time(QDate(2031, 1, 1).addDays(n / 40), QTime(9, 0).addSecs((n % 40) * 13 * 60));
    return time.toString(Catalog::TimeFormat);
}

QStringList rowFor(const QString& table, const QString& token)
{
    const Form* form = formOf(table);
    if (!form)
        return {};
    QStringList row{form->keyPrefix + QLatin1Char(' ') + token};
    for (const QString& other : form->others)
        row << (other.isNull() ? reminderTime(token) : other.contains(QLatin1String("%1")) ? other.arg(token) : other);
    return row;
}

QString tokenOf(const QString& table, const QString& key)
{
    const Form* form = formOf(table);
    const QString prefix = form ? form->keyPrefix + QLatin1Char(' ') : QString();
    if (!form || !key.startsWith(prefix))
        return {};
    const QString token = key.mid(prefix.size());
    return isToken(token) ? token : QString();
}

QString applicationFor(const QString& token)
{
    return token.isEmpty() ? Catalog::DefaultDocumentsApplication : ApplicationPrefix + token;
}

Verdict check(const Replay& replay, const Rows& rows)
{
    Verdict verdict;
    verdict.problems = replay.problems;

    // What the file holds, each row read back to its token.
    State found;
    int applicationRows = 0;
    for (const QString& table : tables()) {
        found.tokens[table]; // every table is named, empty or not
        const QList<QStringList> stored = rows.value(table);
        for (const QStringList& row : stored) {
            const QString shown = row.join(QLatin1Char('|'));
            if (table == Catalog::Documents && row.value(0) == Catalog::DocumentsApplicationRow) {
                ++applicationRows;
                const QString path = row.value(1);
                const QString token = path.mid(ApplicationPrefix.size());
                if (path == Catalog::DefaultDocumentsApplication)
                    found.application.clear();
                else if (path.startsWith(ApplicationPrefix) && isToken(token))
                    found.application = token;
                else
                    verdict.problems << QStringLiteral("documents: the application row is not one that was stored: %1")
                                                .arg(shown);
                continue;
            }
            const QString token = tokenOf(table, row.value(0));
            if (token.isEmpty()) {
                verdict.problems << QStringLiteral("%1: a row that was never written: %2").arg(table, shown);
                continue;
            }
            if (row != rowFor(table, token)) {
                verdict.problems << QStringLiteral("%1: a half-written row: %2 (%3 was saved as %4)")
                                            .arg(table, shown, token, rowFor(table, token).join(QLatin1Char('|')));
                continue;
            }
            if (found.tokens[table].contains(token)) {
                verdict.problems << QStringLiteral("%1: the row of %2 is there twice").arg(table, token);
                continue;
            }
            found.tokens[table].insert(token);
        }
    }
    if (applicationRows != 1)
        verdict.problems << QStringLiteral("documents: %1 application rows instead of one").arg(applicationRows);

    State expected = replay.state;
    for (const QString& table : tables())
        expected.tokens[table];
    const qsizetype rowProblems = verdict.problems.size();
    bool matched = found == expected;
    if (matched && replay.change)
        verdict.inFlight = Verdict::InFlight::Absent;
    if (!matched && replay.change) {
        State applied = expected;
        applied.apply(*replay.change);
        matched = found == applied;
        if (matched)
            verdict.inFlight = Verdict::InFlight::Applied;
    }
    if (!matched) {
        // Neither: say what differs from the journal, apart from the rows of the change in flight.
        const auto inFlight = [&](const QString& table, const QString& token) {
            return replay.change && replay.change->table == table
                   && (replay.change->oldToken == token || replay.change->newToken == token);
        };
        for (const QString& table : tables()) {
            const QSet<QString>& want = expected.tokens[table];
            const QSet<QString>& have = found.tokens[table];
            QStringList missing, extra;
            for (const QString& token : want) {
                if (!have.contains(token) && !inFlight(table, token))
                    missing << token;
            }
            for (const QString& token : have) {
                if (!want.contains(token) && !inFlight(table, token))
                    extra << token;
            }
            if (!missing.isEmpty())
                verdict.problems << QStringLiteral("%1: journaled rows are missing: %2").arg(table, listed(missing));
            if (!extra.isEmpty())
                verdict.problems << QStringLiteral("%1: rows that are not journaled: %2").arg(table, listed(extra));
        }
        const bool ownApplication =
                replay.change && replay.change->op == Op::Application && found.application == replay.change->newToken;
        if (found.application != expected.application && !ownApplication)
            verdict.problems << QStringLiteral("documents: the application is %1, journaled %2")
                                        .arg(applicationFor(found.application), applicationFor(expected.application));
        // Everything else as journaled: the change in flight is stored in part only, as a modify
        // that added its new row and kept the old one.
        if (verdict.problems.size() == rowProblems)
            verdict.problems << QStringLiteral("the change in flight, %1, is stored only in part")
                                        .arg(replay.change ? describe(*replay.change) : QStringLiteral("none"));
    }
    // What became of the change in flight is only known of a file that is otherwise as journaled.
    if (!verdict.problems.isEmpty())
        verdict.inFlight = Verdict::InFlight::None;
    return verdict;
}

Rows readRows(const QString& programFolder)
{
    Connection connection;
    connection.Open(Catalog::connectionString(programFolder));
    Rows rows;
    for (const QString& table : tables()) {
        Recordset rs;
        rs.Open(QStringLiteral("select * from %1 order by rowid").arg(table), connection);
        QList<QStringList>& into = rows[table];
        for (; !rs.Eof(); rs.MoveNext()) {
            QStringList cells;
            for (int i = 0; i < rs.fieldCount(); ++i) {
                const Value v = rs.Fields(i);
                cells << (v.isNull() ? QStringLiteral("\\N") : v.variant().toString());
            }
            into << cells;
        }
    }
    return rows;
}

bool append(const QString& journalFile, const QString& line)
{
    const QByteArray bytes = (line + QLatin1Char('\n')).toUtf8();
    const int fd = ::open(QFile::encodeName(journalFile).constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    // One write, so a kill leaves the line whole or without its line break, never two lines mixed.
    bool ok = ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    ok = ::fsync(fd) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
    return ok;
}

} // namespace trovix::SaveJournal
