// The reminders window's load with 1,000, 10,000 and 100,000 reminders against the floor measured in
// the same run (the listing on the bare engine and a plain tree widget), and one tick of the due check
// with 100,000 reminders of which none is due, and of which one is. Also the plans of the due check's
// two queries, which the index on done and time must serve.
#include "listbench.h"
#include "platform/runtimeerror.h"
#include "programrun.h"
#include "reminders/reminders.h"
#include "shell/mains.h"
#include "shell/module1.h"
#include "store/catalog.h"

#include <QApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

using namespace trovix;
using namespace trovix::bench;

namespace {

const QDateTime Now(QDate(2026, 12, 5), QTime(12, 0));

// Reminders spread over the year ahead, a third of them already announced.
void fill(Connection& connection, int rows)
{
    QRandomGenerator random(20261207);
    connection.BeginTrans();
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(connection.handle(), "insert into reminders values (?, ?, ?)", -1, &insert, nullptr);
    for (int i = 0; i < rows; ++i) {
        const QByteArray message = "M" + QByteArray::number(i) + ' ' + randomText(random, 8, 40).trimmed();
        const QByteArray time =
                Now.addSecs(60 + random.bounded(365 * 24 * 3600)).toString(Catalog::TimeFormat).toUtf8();
        sqlite3_bind_text(insert, 1, message.constData(), int(message.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 2, time.constData(), int(time.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int(insert, 3, i % 3 == 0 ? 1 : 0);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    connection.CommitTrans();
}

void printPlan(Connection& connection, const QString& query)
{
    // The program's own query, as its recordset runs it: with '#' dates as text.
    QString sql = query;
    sql.replace(QLatin1Char('#'), QLatin1Char('\''));
    const QByteArray plan = "EXPLAIN QUERY PLAN " + sql.toUtf8();
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(connection.handle(), plan.constData(), -1, &statement, nullptr);
    std::printf("  %s\n", qPrintable(query));
    while (sqlite3_step(statement) == SQLITE_ROW)
        std::printf("    %s\n", reinterpret_cast<const char*>(sqlite3_column_text(statement, 3)));
    sqlite3_finalize(statement);
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    try {
        std::printf("%9s  %12s  %9s  %6s  %s\n", "reminders", "Form_Load ms", "floor ms", "ratio", "target <= 1.3");
        double quietTick = 0;
        double dueTick = 0;
        for (const int rows : {1000, 10000, 100000}) {
            ProgramRun run;
            run.services->clock = Now;
            run.openDatabase();
            Connection& connection = *run.module->dbConnection;
            fill(connection, rows);
            run.mains->show();
            auto* window = static_cast<RemindersWindow*>(run.module->childWindow(ChildWindow::Reminders));
            window->showChild();
            QTreeWidget plain;
            plain.setUniformRowHeights(true);
            plain.show();
            const int runs = rows >= 100000 ? 7 : 15;
            const double load = bestMs(runs, [&] { window->Form_Load(); });
            const double floor = bestMs(runs, [&] {
                floorLoad(connection, plain, "select * from reminders order by time desc", QStringLiteral("REMINDERS"));
            });
            std::printf("%9d  %12.2f  %9.2f  %6.2f  %s\n", rows, load, floor, load / floor,
                        verdict(load <= 1.3 * floor));
            if (rows != 100000)
                continue;

            std::printf("\nplans at 100,000 reminders:\n");
            printPlan(connection, Catalog::PendingRemindersQuery);
            printPlan(connection, Catalog::dueRemindersQuery(Now));
            quietTick = bestMs(21, [&] {
                run.mains->Timer1->start();
                run.mains->Timer1_Timer();
            });
            // One due: the tick announces it; put it back to pending before the next run.
            connection.Execute(QStringLiteral("insert into reminders values ('Due now', ?, 0)"),
                               {Now.addSecs(-30).toString(Catalog::TimeFormat)});
            // Only the tick is timed, not the reset before it.
            dueTick = 1e300;
            for (int i = 0; i < 21; ++i) {
                connection.Execute(QStringLiteral("update reminders set done = 0 where message = 'Due now'"));
                window->Timer1->stop();
                run.mains->Timer1->start();
                QElapsedTimer tick;
                tick.start();
                run.mains->Timer1_Timer();
                dueTick = std::min(dueTick, double(tick.nsecsElapsed()) / 1e6);
            }
        }
        // The real program at rest with 1,000 reminders pending, none due.
        {
            QTemporaryDir folder;
            Catalog::create(folder.path());
            Connection connection;
            connection.Open(Catalog::connectionString(folder.path()));
            fill(connection, 1000);
            connection.Close();
            QProcess script;
            script.setProcessChannelMode(QProcess::ForwardedChannels);
            script.start(QStringLiteral("bash"),
                         {QStringLiteral(TROVIX_BENCH_DIR "/idle.sh"), QStringLiteral(TROVIX_PROGRAM_DIR),
                          QStringLiteral(TROVIX_DB_TOOL), folder.filePath(QStringLiteral("trovix.mdb"))});
            script.waitForFinished(300000);
        }
        std::printf("\ndue-check tick, 100,000 reminders, none due: %.3f ms (target < 2): %s\n", quietTick,
                    verdict(quietTick < 2));
        std::printf("due-check tick, 100,000 reminders, one due (announced): %.3f ms (target < 2): %s\n", dueTick,
                    verdict(dueTick < 2));
    } catch (const RuntimeError& e) {
        std::fprintf(stderr, "error %d: %s\n", e.code(), e.what());
        return 1;
    }
    return 0;
}
