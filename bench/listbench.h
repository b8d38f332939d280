#pragma once

// What the list benchmarks share: random names, timing, and the floor a list's load is held against.
#include "core/catalog.h"
#include "core/database.h"
#include "randomtext.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTreeWidget>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>

namespace trovix::bench {

// The best of the runs, after one that is not counted (the pages are read once before anything is
// timed). The machines are shared: the best run is the one least disturbed by others.
inline double bestMs(int runs, const std::function<void()>& work)
{
    work();
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        best = std::min(best, double(timer.nsecsElapsed()) / 1e6);
    }
    return best;
}

// The best of the runs of work, each after an untimed preparation.
inline double bestPrepared(int runs, const std::function<void()>& prepare, const std::function<void()>& work)
{
    double best = 1e300;
    for (int i = 0; i <= runs; ++i) {
        prepare();
        QElapsedTimer timer;
        timer.start();
        work();
        if (i > 0) // the first run reads the pages in
            best = std::min(best, double(timer.nsecsElapsed()) / 1e6);
    }
    return best;
}

// A benchmark whose work did not do what it should measures nothing: it stops with the reason.
inline void require(bool holds, const char* what)
{
    if (holds)
        return;
    std::fprintf(stderr, "failed: %s\n", what);
    std::exit(1);
}

// The best the engine and a tree can do with a listing: the query stepped on the bare API on the same
// database, and one plain item a name (column 1, after the rowid) under a root.
inline void floorLoad(Database& database, QTreeWidget& tree, const char* query, const QString& rootText)
{
    tree.clear();
    auto* root = new QTreeWidgetItem(QStringList{rootText});
    tree.addTopLevelItem(root);
    QList<QTreeWidgetItem*> items;
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(database.handle(), query, -1, &statement, nullptr);
    while (sqlite3_step(statement) == SQLITE_ROW) {
        const char* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, 1));
        items.append(new QTreeWidgetItem(QStringList{QString::fromUtf8(text, sqlite3_column_bytes(statement, 1))}));
    }
    sqlite3_finalize(statement);
    root->addChildren(items);
    root->setExpanded(true);
}

inline int columnCount(const QString& table)
{
    for (const Catalog::Table& t : Catalog::tables()) {
        if (t.name == table)
            return int(t.columns.size());
    }
    return 0;
}

// Fills a list's table with entries as a user gives them: trimmed, distinct names (each starts with
// "E" and its number), and a path or description in every further column.
inline void fillList(Database& database, const QString& table, int rows)
{
    QRandomGenerator random(20261207);
    const int columns = columnCount(table);
    QByteArray sql = "insert into " + table.toUtf8() + " values (?";
    for (int column = 1; column < columns; ++column)
        sql += ", ?";
    sql += ")";
    database.transaction([&] {
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(database.handle(), sql.constData(), -1, &insert, nullptr);
        for (int i = 0; i < rows; ++i) {
            const QByteArray name = "E" + QByteArray::number(i) + ' ' + randomText(random, 8, 30).trimmed();
            sqlite3_bind_text(insert, 1, name.constData(), int(name.size()), SQLITE_TRANSIENT);
            for (int column = 1; column < columns; ++column) {
                const QByteArray text = "/usr/local/bin/" + randomText(random, 5, 25);
                sqlite3_bind_text(insert, column + 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
            }
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
    });
}

// The engine's own cost of a change: one statement in a transaction of its own, on the same database.
inline void floorChange(Database& database, const QByteArray& sql)
{
    sqlite3_exec(database.handle(), "begin immediate", nullptr, nullptr, nullptr);
    sqlite3_exec(database.handle(), sql.constData(), nullptr, nullptr, nullptr);
    sqlite3_exec(database.handle(), "commit", nullptr, nullptr, nullptr);
}

} // namespace trovix::bench
