// savedriver FOLDER JOURNAL READY [SEED]: stores entries and reminders through the real windows
// without end, until it is killed. READY is made once the windows are up.
// savedriver --check FOLDER JOURNAL: whether the file holds what the journal says it must; prints
// "in-flight none|absent|applied", "state STATE" and a line summing the journal up, problems on
// standard error with status 1.
//
// The journal, one line each, written and synced on its own:
//   base STATE          the driver started on a file holding STATE
//   begin SEQ OP STATE  before the window is told to store change SEQ; STATE is the file after it
//   done SEQ            once the window showed it stored
// A STATE names the tokens of the rows of each table and the documents' application's token, as
// "softwares=t3,t7 games= windows=t2 documents=t5 reminders=t9 application=t4". Every column of a
// row is made from its token, so a row whose columns disagree was half written.
#include "core/remindertime.h"
#include "windowdriver.h"

#include <array>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

using namespace trovix;

namespace {

// Each table stays between these sizes, so every kind of change keeps coming and states stay short.
constexpr int FewestRows = 2, MostRows = 10;
// A driver whose killer has gone stops by itself after this many changes.
constexpr int MostChanges = 1000000;
const QString ApplicationPrefix = "/usr/bin/viewer-";

struct Form
{
    QString table;
    ChildWindow window;
    QString keyPrefix;  // the key is this, a blank and the token
    QStringList others; // the other columns, "%1" standing for the token; null: the reminder's time
};

const QList<Form> Forms = {{Catalog::Softwares, ChildWindow::Softwares, "Tool", {"/opt/%1/bin/run", "Made by %1"}},
                           {Catalog::Games, ChildWindow::Games, "Game", {"/opt/%1/bin/play"}},
                           {Catalog::Windows, ChildWindow::Windows, "Command", {"/opt/%1/bin/cli --verbose"}},
                           {Catalog::Documents, ChildWindow::Documents, "Paper", {"/home/user/%1.txt"}},
                           {Catalog::Reminders, ChildWindow::Reminders, "Remind", {QString(), "0"}}};

// Says on standard error why the driver stops, and gives what it stops with.
template<typename Result>
Result stop(Result result, const QString& why)
{
    std::fprintf(stderr, "savedriver: %s\n", qPrintable(why));
    return result;
}

QStringList rowFor(const Form& form, const QString& token)
{
    QStringList row{form.keyPrefix + ' ' + token};
    for (const QString& other : form.others) {
        // A day for every forty reminders, each at its own minute between nine and half past five, so
        // no time falls in a change of clocks and none is due for years.
        const int n = token.mid(1).toInt();
        const QDateTime time(QDate(2031, 1, 1).addDays(n / 40), QTime(9, 0).addSecs((n % 40) * 13 * 60));
        row << (other.isNull() ? time.toString(Catalog::TimeFormat) : other.contains("%1") ? other.arg(token) : other);
    }
    return row;
}

QString applicationFor(const QString& token)
{
    return token.isEmpty() ? Catalog::DefaultDocumentsApplication : ApplicationPrefix + token;
}

struct State
{
    QHash<QString, QStringList> tokens; // by table
    QString application;                // empty: the delivered one

    QString text() const
    {
        QStringList parts;
        for (const Form& form : Forms) {
            QStringList held = tokens.value(form.table);
            held.sort();
            parts << form.table + '=' + held.join(',');
        }
        return (parts << QStringLiteral("application=") + (application.isEmpty() ? "-" : application)).join(' ');
    }
};

// What the file holds; rows that are not whole, or there twice, go to problems.
State readState(const QString& folder, QStringList& problems)
{
    Database database;
    Catalog::open(database, folder);
    State state;
    int applicationRows = 0;
    for (const Form& form : Forms) {
        QStringList& held = state.tokens[form.table];
        Query rows = database.query(QStringLiteral("select * from %1 order by rowid").arg(form.table));
        while (rows.next()) {
            QStringList row;
            for (int i = 0; i < rows.columnCount(); ++i)
                row << rows.text(i).value_or("\\N");
            const QString shown = form.table + QStringLiteral(": ") + row.join('|');
            if (form.table == Catalog::Documents && row.value(0) == Catalog::DocumentsApplicationRow) {
                ++applicationRows;
                const QString path = row.value(1);
                state.application =
                        path == Catalog::DefaultDocumentsApplication ? QString() : path.mid(ApplicationPrefix.size());
                if (applicationFor(state.application) != path)
                    problems << QStringLiteral("an application that was never stored: ") + shown;
                continue;
            }
            const QString token = row.value(0).section(' ', 1);
            if (row != rowFor(form, token))
                problems << QStringLiteral("a half-written row, or one never written: ") + shown;
            else if (held.contains(token))
                problems << QStringLiteral("a row there twice: ") + shown;
            else
                held << token;
        }
    }
    if (applicationRows != 1)
        problems << QStringLiteral("%1 application rows instead of one").arg(applicationRows);
    return state;
}

struct Journal
{
    QString stored = State().text(); // what the file must hold...
    QString inFlight;                // ...or this, the state after the change begun and not done
    int lastSeq = 0, done = 0, deletes = 0, keptAtKill = 0, lostAtKill = 0;
    QStringList problems;
};

Journal readJournal(const QString& fileName)
{
    Journal j;
    QFile file(fileName);
    QByteArray text = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    // A last line without its line break was cut short by the kill: it was never written.
    text.truncate(text.lastIndexOf('\n') + 1);
    QString op;
    for (const QString& line : QString::fromUtf8(text).split('\n', Qt::SkipEmptyParts)) {
        const QStringList words = line.split(' ');
        const QString kind = words.at(0);
        const QString state = words.mid(kind == "begin" ? 3 : 1).join(' ');
        if (kind == "begin" && words.size() > 3 && j.inFlight.isEmpty() && words.at(1).toInt() > j.lastSeq) {
            j.lastSeq = words.at(1).toInt();
            op = words.at(2);
            j.inFlight = state;
        } else if (kind == "done" && !j.inFlight.isEmpty() && words.value(1).toInt() == j.lastSeq) {
            j.stored = std::exchange(j.inFlight, QString());
            ++j.done;
            j.deletes += op == "delete";
        } else if (kind == "base" && (state == j.stored || state == j.inFlight)) {
            if (!j.inFlight.isEmpty())
                ++(state == j.inFlight ? j.keptAtKill : j.lostAtKill);
            j.stored = state;
            j.inFlight.clear();
        } else {
            j.problems << QStringLiteral("the journal is out of order at: ") + line;
        }
    }
    return j;
}

int check(const QString& folder, const QString& journalFile)
{
    Journal j = readJournal(journalFile);
    QString found;
    try {
        found = readState(folder, j.problems).text();
    } catch (const DatabaseError& e) {
        j.problems << QStringLiteral("the database cannot be read: ") + e.description();
    }
    const char* inFlight = j.inFlight.isEmpty() ? "none" : "absent";
    if (found != j.stored && !j.inFlight.isEmpty() && found == j.inFlight)
        inFlight = "applied";
    else if (found != j.stored)
        j.problems << QStringLiteral("the file holds %1; journaled as stored %2, with the change in flight %3")
                              .arg(found, j.stored, j.inFlight.isEmpty() ? "(none)" : j.inFlight);
    for (const QString& problem : std::as_const(j.problems))
        std::fprintf(stderr, "savedriver --check: %s\n", qPrintable(problem));
    std::printf("in-flight %s\nstate %s\n", inFlight, qPrintable(found));
    std::printf("journal: %d changes done, %d deletes, in flight at a kill %d stored and %d not\n", j.done, j.deletes,
                j.keptAtKill, j.lostAtKill);
    return j.problems.isEmpty() ? 0 : 1;
}

// Appends one line and syncs it before returning; one write, so a kill leaves it whole or without
// its line break.
void append(const QString& journalFile, const QString& line)
{
    const QByteArray bytes = (line + '\n').toUtf8();
    const int fd = ::open(QFile::encodeName(journalFile).constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0 || ::write(fd, bytes.constData(), size_t(bytes.size())) != bytes.size() || ::fsync(fd) != 0)
        std::exit(stop(4, "the journal " + journalFile + " cannot be written"));
    ::close(fd);
}

Node* nodeOf(ListWindow* window, const Form& form, const QString& token)
{
    return nodeByText(window, rowFor(form, token).at(0));
}

void fill(ListWindow* window, const Form& form, const QString& token)
{
    QStringList row = rowFor(form, token);
    if (auto* reminders = qobject_cast<RemindersWindow*>(window)) { // the message, then the due time as shown
        const QDateTime due = QDateTime::fromString(row.at(1), Catalog::TimeFormat);
        const ReminderTime::Clock clock = ReminderTime::toClock(due.time());
        part<QDateEdit>(reminders, "dateEdit")->setDate(due.date());
        part<QComboBox>(reminders, "halfDayBox")->setCurrentText(clock.half);
        row = {row.at(0), clock.hour, clock.minute};
    }
    for (int i = 0; i < row.size(); ++i)
        enterText(field(window, i), row.at(i));
}

enum Op { New, Modify, Delete, Application };

struct Driver
{
    WindowRun& run;
    QString journal;
    State state;
    int seq;
    QRandomGenerator random;

    // One change through its window; false (the reason on standard error) when it was not stored.
    bool step();
};

bool Driver::step()
{
    const Form& form = Forms.at(random.bounded(int(Forms.size())));
    ListWindow* window = run.show(form.window);
    if (!window)
        return stop(false, "the " + form.table + " window did not open");
    const QStringList held = state.tokens.value(form.table);
    const QString newToken = QStringLiteral("t%1").arg(++seq);
    const int dice = random.bounded(100);
    const Op op = form.window == ChildWindow::Documents && dice < 10                  ? Application
                  : held.size() < FewestRows || (held.size() < MostRows && dice < 45) ? New
                  : dice < 75                                                         ? Modify
                                                                                      : Delete;
    const QString opName = QString::fromLatin1(std::array{"new", "modify", "delete", "application"}[op]);
    const QString oldToken = op == Modify || op == Delete ? held.at(random.bounded(int(held.size()))) : QString();
    State after = state;
    after.tokens[form.table].removeOne(oldToken);
    if (op == Application)
        after.application = newToken;
    else if (op != Delete)
        after.tokens[form.table] << newToken;
    const auto begin = [&] { append(journal, QStringLiteral("begin %1 %2 %3").arg(seq).arg(opName, after.text())); };

    if (op == Application) {
        clickButton(window, 6);
        enterText(part<TextBox>(window, "applicationEdit"), applicationFor(newToken));
        begin();
        clickButton(window, 6);
    } else if (op == New) {
        clickButton(window, 3);
        fill(window, form, newToken);
        begin();
        clickButton(window, 1);
    } else {
        Node* node = nodeOf(window, form, oldToken);
        if (!node)
            return stop(false, form.table + " shows no " + oldToken);
        clickNode(window, node);
        if (op == Modify) {
            clickButton(window, 4);
            fill(window, form, newToken);
        }
        begin();
        clickButton(window, op == Modify ? 1 : 5);
    }

    // Stored, as the window shows it: no refusal, the frame closed, the old row gone and the new one there.
    const bool shown = op == Application ? part<QGroupBox>(window, "applicationFrame")->isHidden()
                                                   && static_cast<DocumentsWindow*>(window)->applicationPath()
                                                              == applicationFor(newToken)
                                         : (oldToken.isEmpty() || !nodeOf(window, form, oldToken))
                                                   && (op == Delete || nodeOf(window, form, newToken));
    if (run.message() == ListWindow::StoreRefused || editorOpen(window) || !shown)
        return stop(false, QStringLiteral("the window did not store change %1, %2 in %3 (message line: %4)")
                                   .arg(seq)
                                   .arg(opName, form.table, run.message()));
    append(journal, QStringLiteral("done %1").arg(seq));
    state = after;
    // Let the main window's timers run as they would between a user's clicks.
    QCoreApplication::processEvents();
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() == 3 && args.at(0) == "--check")
        return check(args.at(1), args.at(2));
    if (args.size() < 3 || args.size() > 4) {
        std::fprintf(stderr, "usage: savedriver FOLDER JOURNAL READY [SEED] | savedriver --check FOLDER JOURNAL\n");
        return 2;
    }
    const QString folder = args.at(0), journal = args.at(1);
    const quint32 seed = args.size() == 4 ? args.at(3).toUInt() : QRandomGenerator::system()->generate();

    // Drop a line the kill cut short, so the next one starts on a line of its own; then continue from
    // what the file holds, which the check has found to be as journaled.
    QFile journalFile(journal);
    if (journalFile.open(QIODevice::ReadWrite))
        journalFile.resize(journalFile.readAll().lastIndexOf('\n') + 1);
    journalFile.close();
    QStringList problems;
    const State base = readState(folder, problems);
    if (!problems.isEmpty())
        return stop(2, problems.join("; "));
    append(journal, QStringLiteral("base ") + base.text());

    WindowRun run(folder);
    // Nothing the driver stores falls due on this clock, so the due check never changes a row.
    run.services->clock = QDateTime(QDate(2030, 6, 1), QTime(12, 0));
    if (!run.mainWindow)
        return stop(2, "the database in " + folder + " did not open");
    const int lastSeq = readJournal(journal).lastSeq;
    Driver driver{run, journal, base, lastSeq, QRandomGenerator(seed)};
    std::fprintf(stderr, "savedriver: seed %u, from change %d\n", seed, lastSeq + 1);
    QFile(args.at(2)).open(QIODevice::WriteOnly);

    const pid_t parent = getppid();
    for (int n = 0; n < MostChanges && getppid() == parent; ++n) {
        if (!driver.step())
            return 3;
    }
    return 0;
}
