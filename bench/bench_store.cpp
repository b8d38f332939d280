// Reading a whole list through the store, name by name, against the bare engine walk over the same query.
#include "core/catalog.h"
#include "core/database.h"
#include "core/entrystore.h"
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

QByteArray randomText(QRandomGenerator& random, int minLength, int maxLength)
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 -_";
    const int length = int(random.bounded(minLength, maxLength + 1));
    QByteArray text(length, ' ');
    for (char& c : text)
        c = letters[random.bounded(int(sizeof(letters) - 1))];
    return text;
}

void fill(Database& database, int rows)
{
    QRandomGenerator random(20261206);
    database.transaction([&] {
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(database.handle(), "insert into softwares values (?, ?, ?)", -1, &insert, nullptr);
        for (int i = 0; i < rows; ++i) {
            const QByteArray name = randomText(random, 10, 40);
            const QByteArray path = "/usr/local/bin/" + randomText(random, 5, 25);
            const QByteArray description = randomText(random, 10, 40);
            sqlite3_bind_text(insert, 1, name.constData(), int(name.size()), SQLITE_TRANSIENT);
            sqlite3_bind_text(insert, 2, path.constData(), int(path.size()), SQLITE_TRANSIENT);
            sqlite3_bind_text(insert, 3, description.constData(), int(description.size()), SQLITE_TRANSIENT);
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
    });
}

// A list window lists its table afresh on every reload and reads each row's name as text.
qint64 viaStore(const EntryStore& store, Database& database)
{
    qint64 characters = 0;
    const EntryList entries = store.list(database);
    const RowList& rows = entries.rows();
    for (int row = 0; row < rows.size(); ++row)
        characters += rows.text(row, 0).value_or(QString()).size();
    return characters;
}

// The listing stepped on the bare engine, the given columns after the rowid read as text.
qint64 viaEngine(Database& database, const QByteArray& query, int columns)
{
    qint64 characters = 0;
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(database.handle(), query.constData(), -1, &statement, nullptr);
    while (sqlite3_step(statement) == SQLITE_ROW) {
        for (int c = 1; c <= columns; ++c) {
            sqlite3_column_text(statement, c);
            characters += sqlite3_column_bytes(statement, c);
        }
    }
    sqlite3_finalize(statement);
    return characters;
}

// Median milliseconds of the runs, after one run that is not counted.
double medianMs(int runs, const std::function<qint64()>& work, qint64& checksum)
{
    checksum = work();
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        checksum = work();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
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
        // The store keeps every column of a row; the floor reading every column shows what that adds.
        std::printf("%8s  %9s  %15s  %6s  %s  %18s\n", "rows", "store ms", "floor names ms", "ratio", "target <= 1.5",
                    "floor every column");
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
            qint64 storeChars = 0;
            qint64 engineBytes = 0;
            qint64 everyColumnBytes = 0;
            const double walk = medianMs(
                    runs, [&] { return viaStore(store, database); }, storeChars);
            const double floor = medianMs(
                    runs, [&] { return viaEngine(database, query, 1); }, engineBytes);
            const double everyColumn = medianMs(
                    runs, [&] { return viaEngine(database, query, 3); }, everyColumnBytes);
            if (storeChars != engineBytes) { // the strings are ASCII, so both count the same
                std::fprintf(stderr, "read %lld characters but %lld bytes\n", static_cast<long long>(storeChars),
                             static_cast<long long>(engineBytes));
                return 1;
            }
            const double ratio = walk / floor;
            std::printf("%8d  %9.2f  %15.2f  %6.2f  %-13s  %18.2f\n", rows, walk, floor, ratio,
                        ratio <= 1.5 ? "met" : "NOT met", everyColumn);
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
