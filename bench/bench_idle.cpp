// The program at rest with every list window open and 10,000 entries in each list (reminders pending,
// none due), against a bare Qt window at rest: see idle.sh.
#include "listbench.h"
#include "platform/connection.h"
#include "platform/runtimeerror.h"
#include "store/catalog.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

using namespace trovix;

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    try {
        Catalog::create(folder.path());
        Connection connection;
        connection.Open(Catalog::connectionString(folder.path()));
        for (const QString& table : {Catalog::Softwares, Catalog::Games, Catalog::Windows, Catalog::Documents})
            bench::fillList(connection, table, 10000);
        // Reminders due over the year ahead: pending, none due in the minute measured.
        const QDateTime start = QDateTime::currentDateTime().addDays(1);
        connection.BeginTrans();
        for (int i = 0; i < 10000; ++i) {
            connection.Execute(QStringLiteral("insert into reminders values (?, ?, 0)"),
                               {QStringLiteral("Reminder %1").arg(i),
                                start.addSecs(qint64(i) * 3137).toString(Catalog::TimeFormat)});
        }
        connection.CommitTrans();
        connection.Close();
    } catch (const RuntimeError& e) {
        std::fprintf(stderr, "error %d: %s\n", e.code(), e.what());
        return 1;
    }
    QProcess script;
    script.setProcessChannelMode(QProcess::ForwardedChannels);
    script.start(QStringLiteral("bash"),
                 {QStringLiteral(TROVIX_BENCH_DIR "/idle.sh"), QStringLiteral(TROVIX_PROGRAM_DIR),
                  QStringLiteral(TROVIX_DB_TOOL), folder.filePath(QStringLiteral("trovix.mdb")),
                  QStringLiteral(TROVIX_FLOOR_WINDOW), qEnvironmentVariable("TROVIX_IDLE_SECONDS", "60")});
    script.waitForFinished(600000);
    return script.exitStatus() == QProcess::NormalExit ? script.exitCode() : 1;
}
