// Each category window's load (its recordset opened, its tree rebuilt) with 1,000, 10,000 and 100,000
// entries, against the floor measured in the same run on the same connection: the listing query on the
// bare engine and a plain tree widget filled with the same names. At 10,000 entries a Save and a Delete,
// each of which reloads the whole list, against the engine's own statement and the floor's reload; at
// 100,000 a click on a node (the lookup of its row).
#include "categories/categorywindow.h"
#include "listbench.h"
#include "platform/connection.h"
#include "platform/runtimeerror.h"
#include "platform/textbox.h"
#include "programrun.h"
#include "report.h"
#include "shell/mains.h"
#include "shell/module1.h"
#include "shell/treeview.h"
#include "store/catalog.h"
#include "windowdriver.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTreeWidget>

#include <cstdio>
#include <string>

using namespace trovix;
using namespace trovix::bench;

namespace {

struct List
{
    ChildWindow window;
    QString table;
    QString rootWord;
};

const List Lists[] = {
        {ChildWindow::Softwares, Catalog::Softwares, QStringLiteral("SOFTWARES")},
        {ChildWindow::Games, Catalog::Games, QStringLiteral("GAMES")},
        {ChildWindow::Windows, Catalog::Windows, QStringLiteral("WINDOWS")},
        {ChildWindow::Documents, Catalog::Documents, QStringLiteral("DOCUMENTS")},
};

std::string label(const List& list, const char* what)
{
    return list.table.toStdString() + " " + what;
}

void benchList(const List& list)
{
    const QByteArray table = list.table.toUtf8();
    const QByteArray key = Catalog::table(list.table).columns.first().toUtf8();
    const QByteArray query = Catalog::table(list.table).listingQuery.toUtf8();
    double load10k = 0;
    for (const int rows : {1000, 10000, 100000}) {
        ProgramRun run;
        run.openDatabase();
        Connection& connection = *run.module->dbConnection;
        fillList(connection, list.table, rows);
        run.mains->show();
        auto* window = static_cast<CategoryWindow*>(run.module->childWindow(list.window));
        window->showChild();
        QTreeWidget plain;
        plain.setUniformRowHeights(true);
        plain.show();
        const auto floorLoadOnce = [&] { floorLoad(connection, plain, query.constData(), list.rootWord); };

        const int runs = rows >= 100000 ? 5 : 11;
        const double load = bestMs(runs, [&] { window->Form_Load(); });
        const double floor = bestMs(runs, floorLoadOnce);
        const std::string size = rows == 1000 ? "1k" : rows == 10000 ? "10k" : "100k";
        reportRow(label(list, ("Form_Load, " + size + " entries").c_str()), load, "ms", floor, "≤ 1.3× floor",
                  load <= 1.3 * floor);

        if (rows == 10000) {
            load10k = load;
            int next = 0;
            const double save = bestPrepared(
                    7,
                    [&] {
                        window->mnunew_Click();
                        window->Text1(0)->setText(QStringLiteral("Z saved %1").arg(next++));
                        window->Text1(1)->setText(QStringLiteral("/usr/bin/true"));
                    },
                    [&] { window->mnusave_Click(); });
            int floorNext = 0;
            const double saveFloor = bestMs(7, [&] {
                const QByteArray name = "Z floor " + QByteArray::number(floorNext++);
                QByteArray values = "'" + name + "', '/usr/bin/true'";
                if (Catalog::table(list.table).columns.size() == 3)
                    values += ", ''";
                floorChange(connection, "insert into " + table + " values (" + values + ")");
                floorLoadOnce();
            });
            reportRow(label(list, "Save, 10k entries (reloads the list)"), save, "ms", saveFloor, "< 50 ms", save < 50);

            // Each run deletes one of the entries the Saves above added.
            int victim = 0;
            const double remove = bestPrepared(
                    7,
                    [&] {
                        window->TreeView1->selectNode(nodeByText(window, QStringLiteral("Z saved %1").arg(victim++)));
                    },
                    [&] { window->mnudelete_Click(); });
            int floorVictim = 0;
            const double removeFloor = bestMs(7, [&] {
                floorChange(connection, "delete from " + table + " where " + key + " = 'Z floor "
                                                + QByteArray::number(floorVictim++) + "'");
                floorLoadOnce();
            });
            reportRow(label(list, "Delete, 10k entries (reloads the list)"), remove, "ms", removeFloor, "< 50 ms",
                      remove < 50);
        }
        if (rows == 100000) {
            const double growth = load / load10k;
            reportRow(label(list, "Form_Load growth, 10k to 100k"), growth, "×", NAN, "≤ 12×", growth <= 12);
            if (list.window != ChildWindow::Softwares)
                continue;
            TreeView* tree = window->TreeView1;
            Node* last = tree->child(tree->childCount() - 1);
            Node* first = tree->child(0);
            bool toLast = true;
            const double click = bestMs(21, [&] {
                window->TreeView1_NodeClick(toLast ? last : first);
                toLast = !toLast;
            });
            reportRow(label(list, "node click, 100k entries"), click, "ms", NAN, "< 5 ms", click < 5);
        }
    }
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    try {
        for (const List& list : Lists)
            benchList(list);
    } catch (const RuntimeError& e) {
        std::fprintf(stderr, "error %d: %s\n", e.code(), e.what());
        return 1;
    }
    return 0;
}
