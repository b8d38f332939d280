// The program at rest with every list window open and 10,000 entries in each list (reminders pending,
// none due), against a bare Qt window at rest, and the same program at rest with every list empty: the
// difference is what the listed entries cost (see idle.sh).
#include "core/catalog.h"
#include "core/database.h"
#include "listbench.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

using namespace trovix;

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir full;
    QTemporaryDir empty;
    try {
        Catalog::create(empty.path());
        Catalog::create(full.path());
        Database database;
        Catalog::open(database, full.path());
        for (const QString& table : {Catalog::Softwares, Catalog::Games, Catalog::Windows, Catalog::Documents})
            bench::fillList(database, table, 10000);
        // Reminders due over the year ahead: pending, none due in the minute measured.
        const QDateTime start = QDateTime::currentDateTime().addDays(1);
        database.transaction([&] {
            for (int i = 0; i < 10000; ++i) {
                database.execute(QStringLiteral("insert into reminders values (?, ?, 0)"),
                                 {QStringLiteral("Reminder %1").arg(i),
                                  start.addSecs(qint64(i) * 3137).toString(Catalog::TimeFormat)});
            }
        });
        database.close();
    } catch (const DatabaseError& e) {
        std::fprintf(stderr, "error: %s\n", e.what());
        return 1;
    }
    QProcess script;
    script.setProcessChannelMode(QProcess::ForwardedChannels);
    script.start(QStringLiteral("bash"),
                 {QStringLiteral(TROVIX_BENCH_DIR "/idle.sh"), QStringLiteral(TROVIX_PROGRAM_DIR),
                  QStringLiteral(TROVIX_DB_TOOL), Catalog::fileName(full.path()), Catalog::fileName(empty.path()),
                  QStringLiteral(TROVIX_FLOOR_WINDOW), qEnvironmentVariable("TROVIX_IDLE_SECONDS", "60")});
    script.waitForFinished(900000);
    return script.exitStatus() == QProcess::NormalExit ? script.exitCode() : 1;
}
