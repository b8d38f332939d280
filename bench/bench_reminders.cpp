// The reminders window's list with 1,000, 10,000 and 100,000 reminders against the floor measured in
// the same run (the listing on the bare engine and a plain tree widget), and one tick of the due check
// with 100,000 reminders of which none is due, and of which one is, against the due check's queries on
// the bare engine. At 10,000 reminders a Save and a Delete, each of which reloads the list. Also the plans
// of the due check's two queries, which the index on done and time must serve.
#include "core/catalog.h"
#include "core/database.h"
#include "core/reminderscheduler.h"
#include "core/reminderstore.h"
#include "listbench.h"
#include "programrun.h"
#include "report.h"
#include "ui/mainwindow.h"
#include "ui/reminderswindow.h"
#include "ui/session.h"
#include "ui/textbox.h"
#include "ui/treeview.h"
#include "windowdriver.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QTimer>
#include <QTreeWidget>

#include <cstdio>

using namespace trovix;
using namespace trovix::bench;

namespace {

const QDateTime Now(QDate(2026, 12, 5), QTime(12, 0));

// Reminders spread over the year ahead, a third of them already announced.
void fill(Database& database, int rows)
{
    QRandomGenerator random(20261207);
    database.transaction([&] {
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(database.handle(), "insert into reminders values (?, ?, ?)", -1, &insert, nullptr);
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
    });
}

// The query prepared on the bare engine, the texts bound in order.
sqlite3_stmt* prepare(Database& database, const QString& query, const QStringList& texts = {})
{
    const QByteArray sql = query.toUtf8();
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(database.handle(), sql.constData(), -1, &statement, nullptr);
    for (int i = 0; i < texts.size(); ++i) {
        const QByteArray text = texts[i].toUtf8();
        sqlite3_bind_text(statement, i + 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
    }
    return statement;
}

void printPlan(Database& database, const QString& query)
{
    sqlite3_stmt* statement = prepare(database, QStringLiteral("EXPLAIN QUERY PLAN ") + query);
    std::printf("  %s\n", qPrintable(query));
    while (sqlite3_step(statement) == SQLITE_ROW)
        std::printf("    %s\n", reinterpret_cast<const char*>(sqlite3_column_text(statement, 3)));
    sqlite3_finalize(statement);
}

// The query stepped to its end on the bare engine.
void stepAll(Database& database, const QString& query, const QStringList& texts = {})
{
    sqlite3_stmt* statement = prepare(database, query, texts);
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
            MainWindow* mainWindow = run.openDatabase();
            Database& database = run.session->database();
            fill(database, rows);
            mainWindow->show();
            run.session->showChild(ChildWindow::Reminders);
            RemindersWindow* window = run.session->remindersIfLoaded();
            require(window, "the reminders window is open");
            TreeView* tree = treeOf(window);
            QTreeWidget plain;
            plain.setUniformRowHeights(true);
            plain.show();
            const QByteArray listing = ReminderStore::ListingQuery.toUtf8();
            const auto floorLoadOnce = [&] {
                floorLoad(database, plain, listing.constData(), QStringLiteral("REMINDERS"));
            };
            const int runs = rows >= 100000 ? 5 : 11;
            const double load = bestMs(runs, [&] { window->reload(); });
            require(tree->childCount() >= rows, "the list shows every reminder");
            const double floor = bestMs(runs, floorLoadOnce);
            const std::string size = rows == 1000 ? "1k" : rows == 10000 ? "10k" : "100k";
            reportRow("reminders list, " + size + " reminders", load, "ms", floor, "≤ 1.3× floor", load <= 1.3 * floor);

            if (rows == 10000) {
                // Each Save a new message, due tomorrow at 9 AM; each Delete removes one of them again.
                QAction* newEntry = part<QAction>(window, "newAction");
                QAction* save = part<QAction>(window, "saveAction");
                QAction* remove = part<QAction>(window, "deleteAction");
                auto* date = part<QDateEdit>(window, "dateEdit");
                auto* halfDay = part<QComboBox>(window, "halfDayBox");
                int next = 0;
                const double saved = bestPrepared(
                        7,
                        [&] {
                            newEntry->trigger();
                            field(window, 0)->setText(QStringLiteral("Z saved %1").arg(next++));
                            date->setDate(Now.date().addDays(1));
                            field(window, 1)->setText(QStringLiteral("9"));
                            field(window, 2)->setText(QStringLiteral("00"));
                            halfDay->setCurrentIndex(halfDay->findText(QStringLiteral("AM")));
                        },
                        [&] { save->trigger(); });
                require(nodeByText(window, QStringLiteral("Z saved %1").arg(next - 1)), "Save lists the new reminder");
                int floorNext = 0;
                const QByteArray due = Now.addDays(1).toString(Catalog::TimeFormat).toUtf8();
                const double saveFloor = bestMs(7, [&] {
                    floorChange(database, "insert into reminders values ('Z floor " + QByteArray::number(floorNext++)
                                                  + "', '" + due + "', 0)");
                    floorLoadOnce();
                });
                reportRow("reminders Save, 10k reminders (reloads the list)", saved, "ms", saveFloor, "< 50 ms",
                          saved < 50);
                int victim = 0;
                const double removed = bestPrepared(
                        7,
                        [&] {
                            Node* node = nodeByText(window, QStringLiteral("Z saved %1").arg(victim++));
                            require(node, "the reminder to delete is listed");
                            tree->selectNode(node);
                        },
                        [&] { remove->trigger(); });
                require(!nodeByText(window, QStringLiteral("Z saved %1").arg(victim - 1)),
                        "Delete removes the reminder");
                int floorVictim = 0;
                const double removeFloor = bestMs(7, [&] {
                    floorChange(database, "delete from reminders where message = 'Z floor "
                                                  + QByteArray::number(floorVictim++) + "'");
                    floorLoadOnce();
                });
                reportRow("reminders Delete, 10k reminders (reloads the list)", removed, "ms", removeFloor, "< 50 ms",
                          removed < 50);
            }
            if (rows != 100000)
                continue;

            const QString dueQuery = ReminderStore::dueQuery(0);
            const QStringList nowText{Now.toString(Catalog::TimeFormat)};
            std::printf("plans at 100,000 reminders:\n");
            printPlan(database, ReminderStore::PendingQuery);
            printPlan(database, dueQuery);
            ReminderScheduler& scheduler = run.session->scheduler();
            const double quietTick = bestMs(21, [&] {
                scheduler.watch();
                scheduler.check();
            });
            require(scheduler.isWatching(), "with none due the due check goes on watching");
            const double quietFloor = bestMs(21, [&] {
                stepAll(database, ReminderStore::PendingQuery);
                stepAll(database, dueQuery, nowText);
            });
            reportRow("due-check tick, 100k reminders, none due", quietTick, "ms", quietFloor, "< 2 ms", quietTick < 2);
            // One due: the tick announces it; it is put back to pending before each run, untimed.
            database.execute(QStringLiteral("insert into reminders values ('Due now', ?, 0)"),
                             {Now.addSecs(-30).toString(Catalog::TimeFormat)});
            const QByteArray dueRow = QByteArray::number(database.lastInsertId());
            const auto pending = [&] {
                floorChange(database, "update reminders set done = 0 where rowid = " + dueRow);
            };
            auto* chime = part<QTimer>(window, "chimeTimer");
            const int notices = int(run.services->notifications.size());
            const double dueTick = bestPrepared(
                    21,
                    [&] {
                        pending();
                        chime->stop();
                        scheduler.watch();
                    },
                    [&] { scheduler.check(); });
            require(run.services->notifications.size() == notices + 22 && window->shownMessage() == "Due now",
                    "every tick announces the reminder due");
            // The engine's part of it: both queries, and the one row marked done in a transaction of its own.
            const double dueFloor = bestPrepared(21, pending, [&] {
                stepAll(database, ReminderStore::PendingQuery);
                stepAll(database, dueQuery, nowText);
                floorChange(database, "update reminders set done = 1 where rowid = " + dueRow);
            });
            reportRow("due-check tick, 100k reminders, one due (announced)", dueTick, "ms", dueFloor, "< 2 ms",
                      dueTick < 2);
        }
    } catch (const DatabaseError& e) {
        std::fprintf(stderr, "error: %s\n", e.what());
        return 1;
    }
    return 0;
}
