// How long the program takes to open its database and load its main window, against the database's
// own opening (the key derivation is almost all of it), and how long from process start until the
// splash window is on screen, against a bare Qt window (startup.sh).
#include "core/catalog.h"
#include "core/database.h"
#include "desktop/qtservices.h"
#include "report.h"
#include "ui/session.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <vector>

namespace {

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_LOGGING_RULES", "qt.core.qobject.connect=false"); // no tray host offscreen
    QApplication app(argc, argv);
    QTextStream out(stdout);

    QTemporaryDir folder;
    trovix::Catalog::create(folder.path());

    std::vector<double> openMs;
    for (int run = 0; run < 7; ++run) {
        trovix::Session session(folder.path(), std::make_unique<trovix::QtServices>());
        QElapsedTimer timer;
        timer.start();
        session.openDatabase();
        openMs.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::vector<double> databaseMs;
    for (int run = 0; run < 7; ++run) {
        trovix::Database database;
        QElapsedTimer timer;
        timer.start();
        trovix::Catalog::open(database, folder.path());
        databaseMs.push_back(timer.nsecsElapsed() / 1e6);
    }
    const double open = median(openMs);
    const double floor = median(databaseMs);
    trovix::bench::reportRow("openDatabase (database and main window)", open, "ms", floor, "≤ 1.3× floor",
                             open <= 1.3 * floor);

    // Process start to the splash on screen, on a private X server.
    QProcess script;
    script.setProcessChannelMode(QProcess::ForwardedChannels);
    script.start(QStringLiteral("bash"),
                 {QStringLiteral(TROVIX_BENCH_DIR "/startup.sh"), QStringLiteral(TROVIX_PROGRAM_DIR),
                  QStringLiteral(TROVIX_DB_TOOL), QStringLiteral(TROVIX_FLOOR_WINDOW)});
    script.waitForFinished(300000);
    return script.exitStatus() == QProcess::NormalExit ? script.exitCode() : 1;
}
