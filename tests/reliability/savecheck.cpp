// savecheck FOLDER JOURNAL [--settle]: compares the database in the program folder with the driver's
// journal. Every row must be whole, every change journaled done must be stored, and the change in
// flight at the kill stored whole or not at all. With --settle the journal then records which, so
// the driver can continue from it. One line on standard output says what became of the change in
// flight ("in-flight none|applied|absent") and one sums the journal up; problems go to standard
// error and make the status 1.
#include "platform/runtimeerror.h"
#include "savejournal.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

using namespace trovix;
using namespace trovix::SaveJournal;

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    const bool settle = args.removeAll(QStringLiteral("--settle")) > 0;
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: savecheck FOLDER JOURNAL [--settle]\n");
        return 2;
    }
    const QString folder = args.at(0);
    const QString journal = args.at(1);

    QFile file(journal);
    QByteArray text;
    if (file.exists()) {
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "savecheck: the journal %s cannot be read\n", qPrintable(journal));
            return 2;
        }
        text = file.readAll();
        file.close();
    }
    const Replay replayed = replay(text);

    Verdict verdict;
    try {
        verdict = check(replayed, readRows(folder));
    } catch (const RuntimeError& e) {
        verdict.problems << QStringLiteral("the database cannot be read: %1").arg(e.description());
    }
    for (const QString& problem : std::as_const(verdict.problems))
        std::fprintf(stderr, "savecheck: %s\n", qPrintable(problem));

    const char* inFlight = verdict.inFlight == Verdict::InFlight::Applied  ? "applied"
                           : verdict.inFlight == Verdict::InFlight::Absent ? "absent"
                                                                           : "none";
    std::printf("in-flight %s\n", inFlight);
    std::printf("journal: %d changes done, %d deletes, in flight at a kill %d stored and %d not\n", replayed.done,
                replayed.deletes, replayed.settledApplied, replayed.settledAbsent);
    if (!verdict.problems.isEmpty())
        return 1;

    if (settle) {
        // A line cut short by the kill is dropped, so the next record starts on a line of its own.
        if (replayed.completeBytes != text.size() && !file.resize(replayed.completeBytes)) {
            std::fprintf(stderr, "savecheck: the journal %s cannot be cut to its last whole line\n",
                         qPrintable(journal));
            return 2;
        }
        if (replayed.change
            && !append(journal,
                       QStringLiteral("settle %1 %2").arg(replayed.change->seq).arg(QLatin1String(inFlight)))) {
            std::fprintf(stderr, "savecheck: the journal %s cannot be written\n", qPrintable(journal));
            return 2;
        }
    }
    return 0;
}
