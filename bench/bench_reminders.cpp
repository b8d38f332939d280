// The reminders window's load with 1,000, 10,000 and 100,000 reminders against the floor measured in
// the same run (the listing on the bare engine and a plain tree widget), and one tick of the due check
// with 100,000 reminders of which none is due, and of which one is, against the due check's queries on
// the bare engine. At 10,000 reminders a Save and a Delete, each of which reloads the list. Also the plans
// of the due check's two queries, which the index on done and time must serve.
#include "listbench.h"
#include "platform/runtimeerror.h"
#include "platform/textbox.h"
#include "programrun.h"
#include "reminders/reminders.h"
#include "report.h"
#include "shell/mains.h"
#include "shell/module1.h"
#include "shell/treeview.h"
#include "store/catalog.h"
#include "windowdriver.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
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

// The query stepped to its end on the bare engine.
void stepAll(Connection& connection, const QString& query)
{
    QString sql = query;
    sql.replace(QLatin1Char('#'), QLatin1Char('\''));
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(connection.handle(), text.constData(), -1, &statement, nullptr);
    while (sqlite3_step(statement) == SQLITE_ROW) {
    }
    sqlite3_finalize(statement);
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    try {
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
            const QByteArray listing = Catalog::table(Catalog::Reminders).listingQuery.toUtf8();
            const auto floorLoadOnce = [&] {
                floorLoad(connection, plain, listing.constData(), QStringLiteral("REMINDERS"));
            };
            const int runs = rows >= 100000 ? 5 : 11;
            const double load = bestMs(runs, [&] { window->Form_Load(); });
            const double floor = bestMs(runs, floorLoadOnce);
            const std::string size = rows == 1000 ? "1k" : rows == 10000 ? "10k" : "100k";
            reportRow("reminders Form_Load, " + size + " reminders", load, "ms", floor, "≤ 1.3× floor",
                      load <= 1.3 * floor);

            if (rows == 10000) {
                // Each Save a new message, due tomorrow at 9 AM; each Delete removes one of them again.
                int next = 0;
                const double save = bestPrepared(
                        7,
                        [&] {
                            window->mnunew_Click();
                            window->Text1(0)->setText(QStringLiteral("Z saved %1").arg(next++));
                            window->DTPicker1->setDate(Now.date().addDays(1));
                            window->Text1(1)->setText(QStringLiteral("9"));
                            window->Text1(2)->setText(QStringLiteral("00"));
                            window->Combo1->setCurrentIndex(window->Combo1->findText(QStringLiteral("AM")));
                        },
                        [&] { window->mnusave_Click(); });
                int floorNext = 0;
                const QByteArray due = Now.addDays(1).toString(Catalog::TimeFormat).toUtf8();
                const double saveFloor = bestMs(7, [&] {
                    floorChange(connection, "insert into reminders values ('Z floor " + QByteArray::number(floorNext++)
                                                    + "', '" + due + "', 0)");
                    floorLoadOnce();
                });
                reportRow("reminders Save, 10k reminders (reloads the list)", save, "ms", saveFloor, "< 50 ms",
                          save < 50);
                int victim = 0;
                const double remove = bestPrepared(
                        7,
                        [&] {
                            window->TreeView1->selectNode(
                                    nodeByText(window, QStringLiteral("Z saved %1").arg(victim++)));
                        },
                        [&] { window->mnudelete_Click(); });
                int floorVictim = 0;
                const double removeFloor = bestMs(7, [&] {
                    floorChange(connection, "delete from reminders where message = 'Z floor "
                                                    + QByteArray::number(floorVictim++) + "'");
                    floorLoadOnce();
                });
                reportRow("reminders Delete, 10k reminders (reloads the list)", remove, "ms", removeFloor, "< 50 ms",
                          remove < 50);
            }
            if (rows != 100000)
                continue;

            std::printf("plans at 100,000 reminders:\n");
            printPlan(connection, Catalog::PendingRemindersQuery);
            printPlan(connection, Catalog::dueRemindersQuery(Now));
            const double quietTick = bestMs(21, [&] {
                run.mains->Timer1->start();
                run.mains->Timer1_Timer();
            });
            const double quietFloor = bestMs(21, [&] {
                stepAll(connection, Catalog::PendingRemindersQuery);
                stepAll(connection, Catalog::dueRemindersQuery(Now));
            });
            reportRow("due-check tick, 100k reminders, none due", quietTick, "ms", quietFloor, "< 2 ms", quietTick < 2);
            // One due: the tick announces it; it is put back to pending before each run, untimed.
            connection.Execute(QStringLiteral("insert into reminders values ('Due now', ?, 0)"),
                               {Now.addSecs(-30).toString(Catalog::TimeFormat)});
            const QByteArray dueRow = QByteArray::number(sqlite3_last_insert_rowid(connection.handle()));
            const auto pending = [&] {
                floorChange(connection, "update reminders set done = 0 where rowid = " + dueRow);
            };
            const double dueTick = bestPrepared(
                    21,
                    [&] {
                        pending();
                        window->Timer1->stop();
                        run.mains->Timer1->start();
                    },
                    [&] { run.mains->Timer1_Timer(); });
            // The engine's part of it: both queries, and the one row marked done in a transaction of its own.
            const double dueFloor = bestPrepared(21, pending, [&] {
                stepAll(connection, Catalog::PendingRemindersQuery);
                stepAll(connection, Catalog::dueRemindersQuery(Now));
                floorChange(connection, "update reminders set done = 1 where rowid = " + dueRow);
            });
            reportRow("due-check tick, 100k reminders, one due (announced)", dueTick, "ms", dueFloor, "< 2 ms",
                      dueTick < 2);
        }
    } catch (const RuntimeError& e) {
        std::fprintf(stderr, "error %d: %s\n", e.code(), e.what());
        return 1;
    }
    return 0;
}
