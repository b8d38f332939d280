// A category window's load (its recordset opened, its tree rebuilt) with 1,000, 10,000 and 100,000
// entries, against the floor measured in the same run on the same connection: the listing query on the
// bare engine and a plain tree widget filled with the same names. Also a Save, which reloads the whole
// list, at 10,000 entries, and a click on a node (the lookup of its row) at 100,000.
#include "categories/categorywindow.h"
#include "listbench.h"
#include "platform/connection.h"
#include "platform/runtimeerror.h"
#include "platform/textbox.h"
#include "programrun.h"
#include "shell/mains.h"
#include "shell/module1.h"
#include "shell/treeview.h"
#include "store/catalog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTreeWidget>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace trovix;
using namespace trovix::bench;

namespace {

// Names as a user gives them: trimmed, distinct.
void fill(Connection& connection, int rows)
{
    QRandomGenerator random(20261207);
    connection.BeginTrans();
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(connection.handle(), "insert into softwares values (?, ?, ?)", -1, &insert, nullptr);
    for (int i = 0; i < rows; ++i) {
        const QByteArray name = "E" + QByteArray::number(i) + ' ' + randomText(random, 8, 30).trimmed();
        const QByteArray path = "/usr/local/bin/" + randomText(random, 5, 25);
        const QByteArray description = randomText(random, 10, 40);
        sqlite3_bind_text(insert, 1, name.constData(), int(name.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 2, path.constData(), int(path.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 3, description.constData(), int(description.size()), SQLITE_TRANSIENT);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    connection.CommitTrans();
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    try {
        std::printf("%8s  %12s  %9s  %6s  %s\n", "entries", "Form_Load ms", "floor ms", "ratio", "target <= 1.3");
        std::vector<double> loads;
        double saveMs = 0;
        double clickMs = 0;
        for (const int rows : {1000, 10000, 100000}) {
            ProgramRun run;
            run.openDatabase();
            fill(*run.module->dbConnection, rows);
            run.mains->show();
            auto* window = static_cast<CategoryWindow*>(run.module->childWindow(ChildWindow::Softwares));
            window->showChild();
            QTreeWidget plain;
            plain.setUniformRowHeights(true);
            plain.show();

            const int runs = rows >= 100000 ? 7 : 15;
            const double load = bestMs(runs, [&] { window->Form_Load(); });
            const double floor = bestMs(runs, [&] {
                floorLoad(*run.module->dbConnection, plain, "select * from softwares order by software",
                          QStringLiteral("SOFTWARES"));
            });
            loads.push_back(load);
            std::printf("%8d  %12.2f  %9.2f  %6.2f  %s\n", rows, load, floor, load / floor,
                        verdict(load <= 1.3 * floor));

            if (rows == 10000) {
                int next = 0;
                saveMs = bestMs(9, [&] {
                    window->mnunew_Click();
                    window->Text1(0)->setText(QStringLiteral("Benchmark entry %1").arg(next++));
                    window->Text1(1)->setText(QStringLiteral("/usr/bin/true"));
                    window->mnusave_Click();
                });
            }
            if (rows == 100000) {
                TreeView* tree = window->TreeView1;
                Node* last = tree->child(tree->childCount() - 1);
                Node* first = tree->child(0);
                bool toLast = true;
                clickMs = bestMs(21, [&] {
                    window->TreeView1_NodeClick(toLast ? last : first);
                    toLast = !toLast;
                });
            }
        }
        const double growth = loads[2] / loads[1];
        std::printf("\n100,000 against 10,000 entries: %.1f times the load time (target <= 12): %s\n", growth,
                    verdict(growth <= 12));
        std::printf("Save of a new entry at 10,000 entries (reloads the list): %.2f ms (target < 50): %s\n", saveMs,
                    verdict(saveMs < 50));
        std::printf("Node click at 100,000 entries: %.3f ms (target < 5): %s\n", clickMs, verdict(clickMs < 5));
    } catch (const RuntimeError& e) {
        std::fprintf(stderr, "error %d: %s\n", e.code(), e.what());
        return 1;
    }
    return 0;
}
