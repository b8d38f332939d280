// Reading a whole list through the store, name by name, against the bare engine reading the same cells of the same
// query.
#include "core/catalog.h"
#include "core/database.h"
#include "core/entrystore.h"
#include "randomtext.h"
#include "report.h"

#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

using namespace trovix;

namespace {

void fill(Database& database, int rows)
{
    QRandomGenerator random(20261206);
    database.transaction([&] {
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(database.handle(), "insert into softwares values (?, ?, ?)", -1, &insert, nullptr);
        for (int i = 0; i < rows; ++i) {
            const QByteArray name = bench::randomText(random, 10, 40);
            const QByteArray path = "/usr/local/bin/" + bench::randomText(random, 5, 25);
            const QByteArray description = bench::randomText(random, 10, 40);
            sqlite3_bind_text(insert, 1, name.constData(), int(name.size()), SQLITE_TRANSIENT);
            sqlite3_bind_text(insert, 2, path.constData(), int(path.size()), SQLITE_TRANSIENT);
            sqlite3_bind_text(insert, 3, description.constData(), int(description.size()), SQLITE_TRANSIENT);
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
    });
}

// A list window lists its table afresh on every reload and reads each row's name as the store keeps it,
// in UTF-8; only the rows on screen become QStrings.
qint64 viaStore(const EntryStore& store, Database& database)
{
    qint64 characters = 0;
    const EntryList entries = store.list(database);
    const RowList& rows = entries.rows();
    for (int row = 0; row < rows.size(); ++row)
        characters += qint64(rows.utf8(row, 0).value_or(std::string_view()).size());
    return characters;
}

// Kept, so that no read of the engine's is left out as unused.
volatile qint64 rowidSink = 0;

// The listing stepped on the bare engine, the given columns after the rowid read as text, and the rowid
// with them when asked. Returns the bytes of the names (column 1).
qint64 viaEngine(Database& database, const QByteArray& query, int columns, bool withRowid)
{
    qint64 names = 0;
    qint64 rowids = 0;
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(database.handle(), query.constData(), -1, &statement, nullptr);
    while (sqlite3_step(statement) == SQLITE_ROW) {
        if (withRowid)
            rowids += sqlite3_column_int64(statement, 0);
        for (int c = 1; c <= columns; ++c) {
            sqlite3_column_text(statement, c);
            const int bytes = sqlite3_column_bytes(statement, c);
            if (c == 1)
                names += bytes;
        }
    }
    sqlite3_finalize(statement);
    rowidSink = rowids;
    return names;
}

// The median milliseconds of each way's runs, after one run of each that is not counted. The ways take
// turns, run by run, so that a busy moment of the shared machine falls on all of them alike; each way's
// checksum is that of its last run.
std::vector<double> medianMs(int runs, const std::vector<std::function<qint64()>>& ways, std::vector<qint64>& checksums)
{
    checksums.assign(ways.size(), 0);
    std::vector<std::vector<double>> times(ways.size());
    for (int i = 0; i <= runs; ++i) {
        for (size_t way = 0; way < ways.size(); ++way) {
            QElapsedTimer timer;
            timer.start();
            checksums[way] = ways[way]();
            if (i > 0)
                times[way].push_back(double(timer.nsecsElapsed()) / 1e6);
        }
    }
    std::vector<double> medians;
    for (std::vector<double>& t : times) {
        std::sort(t.begin(), t.end());
        medians.push_back(t[t.size() / 2]);
    }
    return medians;
}

} // namespace

int main()
{
    try {
        QTemporaryDir dir;
        if (!dir.isValid()) {
            std::fprintf(stderr, "cannot make a temporary folder\n");
            return 1;
        }
        const EntryStore store(Catalog::Softwares);
        const QByteArray query = store.listingQuery().toUtf8();
        // The store keeps the rowid and every column of a row: the floor is the engine reading the same. The
        // engine reading the names alone shows what keeping the rest costs the engine itself.
        std::printf("%8s  %9s  %9s  %6s  %-13s  %14s\n", "rows", "store ms", "floor ms", "ratio", "target <= 1.5",
                    "names alone ms");
        QString largestFolder;
        for (const int rows : {1000, 10000, 100000}) {
            // The delivered schema, so the listing is read as the program reads it.
            const QString folder = dir.filePath(QStringLiteral("bench%1").arg(rows));
            QDir().mkpath(folder);
            Catalog::create(folder);
            Database database;
            Catalog::open(database, folder);
            fill(database, rows);
            largestFolder = folder;
            const int runs = rows >= 100000 ? 5 : 7;
            std::vector<qint64> counts;
            const std::vector<double> ms = medianMs(runs,
                                                    {[&] { return viaStore(store, database); },
                                                     [&] { return viaEngine(database, query, 3, true); },
                                                     [&] { return viaEngine(database, query, 1, false); }},
                                                    counts);
            const double walk = ms[0];
            const double floor = ms[1];
            const double namesAlone = ms[2];
            const qint64 storeBytes = counts[0];
            const qint64 engineBytes = counts[1];
            if (storeBytes != engineBytes) {
                std::fprintf(stderr, "the store read %lld bytes but the engine %lld\n",
                             static_cast<long long>(storeBytes), static_cast<long long>(engineBytes));
                return 1;
            }
            const double ratio = walk / floor;
            std::printf("%8d  %9.2f  %9.2f  %6.2f  %-13s  %14.2f\n", rows, walk, floor, ratio,
                        ratio <= 1.5 ? "met" : "NOT met", namesAlone);
            bench::reportRow("store walk of the names, " + std::to_string(rows / 1000) + "k rows", walk, "ms", floor,
                             "≤ 1.5× floor", ratio <= 1.5);
        }

        std::vector<double> opens;
        for (int i = 0; i < 5; ++i) {
            QElapsedTimer timer;
            timer.start();
            Database database;
            Catalog::open(database, largestFolder);
            opens.push_back(double(timer.nsecsElapsed()) / 1e6);
        }
        std::sort(opens.begin(), opens.end());
        std::printf("\nCatalog::open with key derivation: %.2f ms (median of 5)\n", opens[opens.size() / 2]);
    } catch (const DatabaseError& e) {
        std::fprintf(stderr, "error: %s\n", e.what());
        return 1;
    }
    return 0;
}
