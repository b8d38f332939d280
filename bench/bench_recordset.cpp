// Reading a whole listing through the recordset against the bare engine walk over the same query.
#include "platform/connection.h"
#include "platform/recordset.h"
#include "platform/runtimeerror.h"
#include "report.h"
#include "store/catalog.h"

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

const QString Query = QStringLiteral("select * from softwares order by software");

QByteArray randomText(QRandomGenerator& random, int minLength, int maxLength)
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 -_";
    const int length = int(random.bounded(minLength, maxLength + 1));
    QByteArray text(length, ' ');
    for (char& c : text)
        c = letters[random.bounded(int(sizeof(letters) - 1))];
    return text;
}

void fill(Connection& connection, int rows)
{
    QRandomGenerator random(20261206);
    connection.BeginTrans();
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(connection.handle(), "insert into softwares values (?, ?, ?)", -1, &insert, nullptr);
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
    connection.CommitTrans();
}

// A list window keeps its recordset and opens it again on every reload.
qint64 viaRecordset(Recordset& rs, Connection& connection, int columns)
{
    qint64 characters = 0;
    rs.Open(Query, connection);
    while (!rs.Eof()) {
        for (int c = 0; c < columns; ++c)
            characters += rs.Fields(c).toText().size();
        rs.MoveNext();
    }
    return characters;
}

qint64 viaEngine(Connection& connection, int columns)
{
    qint64 characters = 0;
    const QByteArray sql = Query.toUtf8();
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(connection.handle(), sql.constData(), -1, &statement, nullptr);
    while (sqlite3_step(statement) == SQLITE_ROW) {
        for (int c = 0; c < columns; ++c) {
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
        // The lists read the name column of every row; reading every column shows the cost per field.
        std::printf("%8s  %-13s  %13s  %9s  %6s  %s\n", "rows", "reading", "recordset ms", "floor ms", "ratio",
                    "target <= 1.5");
        QString largestFile;
        for (const int rows : {1000, 10000, 100000}) {
            // The delivered schema, so the listing is read as the program reads it.
            const QString folder = dir.filePath(QStringLiteral("bench%1").arg(rows));
            QDir().mkpath(folder);
            Catalog::create(folder);
            Connection connection;
            connection.Open(Catalog::connectionString(folder));
            fill(connection, rows);
            largestFile = folder;
            const int runs = rows >= 100000 ? 5 : 7;
            for (const int columns : {1, 3}) {
                qint64 recordsetChars = 0;
                qint64 engineBytes = 0;
                Recordset rs;
                const double recordset = medianMs(
                        runs, [&] { return viaRecordset(rs, connection, columns); }, recordsetChars);
                const double floor = medianMs(
                        runs, [&] { return viaEngine(connection, columns); }, engineBytes);
                if (recordsetChars != engineBytes) // the strings are ASCII, so both count the same
                    std::fprintf(stderr, "read %lld characters but %lld bytes\n",
                                 static_cast<long long>(recordsetChars), static_cast<long long>(engineBytes));
                const double ratio = recordset / floor;
                std::printf("%8d  %-13s  %13.2f  %9.2f  %6.2f  %s\n", rows,
                            columns == 1 ? "name (list)" : "every column", recordset, floor, ratio,
                            columns == 1 ? (ratio <= 1.5 ? "met" : "NOT met") : "-");
                if (columns == 1)
                    bench::reportRow("recordset walk of the names, " + std::to_string(rows / 1000) + "k rows",
                                     recordset, "ms", floor, "≤ 1.5× floor", ratio <= 1.5);
            }
        }

        const QString connectionString = Catalog::connectionString(largestFile);
        std::vector<double> opens;
        for (int i = 0; i < 5; ++i) {
            QElapsedTimer timer;
            timer.start();
            Connection connection;
            connection.Open(connectionString);
            opens.push_back(double(timer.nsecsElapsed()) / 1e6);
        }
        std::sort(opens.begin(), opens.end());
        std::printf("\nConnection::Open with key derivation: %.2f ms (median of 5)\n", opens[opens.size() / 2]);
    } catch (const RuntimeError& e) {
        std::fprintf(stderr, "error %d: %s\n", e.code(), e.what());
        return 1;
    }
    return 0;
}
