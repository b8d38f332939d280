// Each category window's list (its rows read through the store, its tree rebuilt) with 1,000, 10,000 and
// 100,000 entries, against the floor measured in the same run on the same database: the listing query on
// the bare engine and a plain tree widget filled with the same names. At 10,000 entries a Save and a
// Delete, each of which reloads the whole list, against the engine's own statement and the floor's
// reload; at 100,000 a click on a node (the lookup of its row).
#include "core/catalog.h"
#include "core/database.h"
#include "core/entrystore.h"
#include "listbench.h"
#include "programrun.h"
#include "report.h"
#include "ui/listwindow.h"
#include "ui/mainwindow.h"
#include "ui/session.h"
#include "ui/textbox.h"
#include "ui/treeview.h"
#include "windowdriver.h"

#include <QAction>
#include <QApplication>
#include <QTreeWidget>

#include <cmath>
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

std::string label(const List& list, const std::string& what)
{
    return list.table.toStdString() + " " + what;
}

void benchList(const List& list)
{
    const EntryStore store(list.table);
    const QByteArray table = list.table.toUtf8();
    const QByteArray key = store.keyColumn().toUtf8();
    const QByteArray query = store.listingQuery().toUtf8();
    double load10k = 0;
    for (const int rows : {1000, 10000, 100000}) {
        ProgramRun run;
        MainWindow* mainWindow = run.openDatabase();
        Database& database = run.session->database();
        fillList(database, list.table, rows);
        mainWindow->show();
        ListWindow* window = &run.session->childWindow(list.window);
        window->showChild();
        TreeView* tree = treeOf(window);
        QTreeWidget plain;
        plain.setUniformRowHeights(true);
        plain.show();
        const auto floorLoadOnce = [&] { floorLoad(database, plain, query.constData(), list.rootWord); };

        const int runs = rows >= 100000 ? 5 : 11;
        const double load = bestMs(runs, [&] { window->reload(); });
        require(tree->childCount() >= rows, "the list shows every entry");
        const double floor = bestMs(runs, floorLoadOnce);
        const std::string size = rows == 1000 ? "1k" : rows == 10000 ? "10k" : "100k";
        reportRow(label(list, "list, " + size + " entries"), load, "ms", floor, "≤ 1.3× floor", load <= 1.3 * floor);

        if (rows == 10000) {
            load10k = load;
            QAction* newEntry = part<QAction>(window, "newAction");
            QAction* save = part<QAction>(window, "saveAction");
            QAction* remove = part<QAction>(window, "deleteAction");
            int next = 0;
            const double saved = bestPrepared(
                    7,
                    [&] {
                        newEntry->trigger();
                        field(window, 0)->setText(QStringLiteral("Z saved %1").arg(next++));
                        field(window, 1)->setText(QStringLiteral("/usr/bin/true"));
                    },
                    [&] { save->trigger(); });
            require(nodeByText(window, QStringLiteral("Z saved %1").arg(next - 1)), "Save lists the new entry");
            int floorNext = 0;
            const double saveFloor = bestMs(7, [&] {
                const QByteArray name = "Z floor " + QByteArray::number(floorNext++);
                QByteArray values = "'" + name + "', '/usr/bin/true'";
                if (store.hasDescription())
                    values += ", ''";
                floorChange(database, "insert into " + table + " values (" + values + ")");
                floorLoadOnce();
            });
            reportRow(label(list, "Save, 10k entries (reloads the list)"), saved, "ms", saveFloor, "< 50 ms",
                      saved < 50);

            // Each run deletes one of the entries the Saves above added.
            int victim = 0;
            const double removed = bestPrepared(
                    7,
                    [&] {
                        Node* node = nodeByText(window, QStringLiteral("Z saved %1").arg(victim++));
                        require(node, "the entry to delete is listed");
                        tree->selectNode(node);
                    },
                    [&] { remove->trigger(); });
            require(!nodeByText(window, QStringLiteral("Z saved %1").arg(victim - 1)), "Delete removes the entry");
            int floorVictim = 0;
            const double removeFloor = bestMs(7, [&] {
                floorChange(database, "delete from " + table + " where " + key + " = 'Z floor "
                                              + QByteArray::number(floorVictim++) + "'");
                floorLoadOnce();
            });
            reportRow(label(list, "Delete, 10k entries (reloads the list)"), removed, "ms", removeFloor, "< 50 ms",
                      removed < 50);
        }
        if (rows == 100000) {
            const double growth = load / load10k;
            reportRow(label(list, "list growth, 10k to 100k"), growth, "×", NAN, "≤ 12×", growth <= 12);
            if (list.window != ChildWindow::Softwares)
                continue;
            Node* last = tree->child(tree->childCount() - 1);
            Node* first = tree->child(0);
            bool toLast = true;
            const double click = bestMs(21, [&] {
                tree->selectNode(toLast ? last : first);
                toLast = !toLast;
            });
            require(part<QAction>(window, "deleteAction")->isEnabled(), "a click selects the entry");
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
    } catch (const DatabaseError& e) {
        std::fprintf(stderr, "error: %s\n", e.what());
        return 1;
    }
    return 0;
}
