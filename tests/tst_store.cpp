// The database file as the user's data lives in it: made, checked, listed and opened.
#include "platform/connection.h"
#include "platform/recordset.h"
#include "platform/runtimeerror.h"
#include "programfolder.h"
#include "recordingservices.h"
#include "shell/mains.h"
#include "shell/module1.h"
#include "store/catalog.h"
#include "store/programfiles.h"

#include <QFile>
#include <QProcess>
#include <QtTest>

#include <tuple>

using namespace trovix;

namespace {

// The tool's exit code, output and error output.
std::tuple<int, QString, QString> runTool(const QString& command, const QString& folder)
{
    QProcess process;
    process.start(QStringLiteral(TROVIX_DB_TOOL), {command, folder});
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

QByteArray contents(const QString& fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Does to the folder's database what the name says; "sound" leaves it alone.
void damage(const QString& how, const QString& folder)
{
    const QString database = ProgramFiles::path(folder, ProgramFiles::Database);
    if (how == QLatin1String("drop table") || how == QLatin1String("reorder")) {
        Connection connection;
        connection.Open(Catalog::connectionString(folder));
        connection.Execute(how == QLatin1String("reorder")
                                   ? QStringLiteral("drop table games; create table games (path text, game text);")
                                   : QStringLiteral("drop table reminders"));
    } else if (how == QLatin1String("damage page")) {
        QFile file(database); // past the first page, inside the tables' pages
        QVERIFY(file.size() > 4096 && file.open(QIODevice::ReadWrite) && file.seek(3000));
        file.write(QByteArray(64, '\x5a'));
    } else if (how != QLatin1String("sound")) {
        QVERIFY(QFile::remove(database));
        if (QFile file(database); how == QLatin1String("text")) {
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray("Notes, not a database.\n").repeated(200));
        } else if (how == QLatin1String("other key")) {
            Connection other;
            other.create(database, QStringLiteral("a different password"));
            other.Execute(QStringLiteral("create table games (game text, path text)"));
        }
    }
}

QStringList column0(Recordset& rs)
{
    QStringList names;
    for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext())
        names << rs.Fields(0).toText();
    return names;
}

} // namespace

class StoreTest : public QObject
{
    Q_OBJECT

private slots:
    void createRefusesToOverwriteAndKeepsTheDataSecret()
    {
        ProgramFolder folder;
        const QString database = folder.file(ProgramFiles::Database);
        {
            Connection connection;
            connection.Open(Catalog::connectionString(folder.path()));
            connection.Execute(QStringLiteral("insert into games values ('PlaintextMarkerXyzzy', '/x')"));
        }
        const QByteArray before = contents(database);
        QVERIFY(!before.contains("PlaintextMarkerXyzzy") && !before.contains("CREATE TABLE"));
        QVERIFY(!before.startsWith("SQLite format 3"));
        const auto [code, out, err] = runTool(QStringLiteral("create"), folder.path());
        QCOMPARE(code, 1);
        QVERIFY2(err.contains(database), qPrintable(err));
        QCOMPARE(contents(database), before);
    }

    // What the checker says of a file, and what opening it at start-up does.
    void checkAndOpen_data()
    {
        QTest::addColumn<QString>("folderName"); // under a scratch folder
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("said"); // in what the checker says; none: the file is sound
        QTest::addColumn<int>("openCode"); // 0: opens; -1: not tried
        const auto row = [](const char* damage, const char* said, int code, const char* folder = "trovix") {
            QTest::newRow(damage) << QString::fromUtf8(folder) << QString::fromUtf8(damage) << QString::fromUtf8(said)
                                  << code;
        };
        row("sound", "", 0);
        row("sound, awkward folder name", "", 0, " my;programs \"new\" ");
        row("remove", "not found", ErrorCode::DatabaseMissing);
        row("text", "not a database", ErrorCode::NotADatabase);
        row("other key", "not a database", ErrorCode::NotADatabase);
        row("damage page", "integrity check failed", -1);
        row("drop table", "The table reminders is missing", -1);
        row("reorder", "The table games has the columns path, game", -1);
    }
    void checkAndOpen()
    {
        QFETCH(QString, folderName);
        QFETCH(QString, damage);
        QFETCH(QString, said);
        QFETCH(int, openCode);
        QTemporaryDir parent;
        const QString folder = parent.filePath(folderName);
        QVERIFY(QDir().mkpath(folder));
        Catalog::create(folder);
        ::damage(damage.section(QLatin1Char(','), 0, 0), folder);
        const QString database = ProgramFiles::path(folder, ProgramFiles::Database);
        const QByteArray before = contents(database);

        const auto [code, out, err] = runTool(QStringLiteral("check"), folder);
        QCOMPARE(code, said.isEmpty() ? 0 : 1);
        QCOMPARE(out.contains(QLatin1String(": ok")), said.isEmpty());
        QVERIFY2(err.contains(said, Qt::CaseInsensitive), qPrintable(err));
        if (openCode < 0)
            return;
        auto services = std::make_unique<RecordingServices>();
        RecordingServices& recorded = *services;
        Module1 module(folder, std::move(services));
        try {
            module.OpenDatabase();
            QCOMPARE(openCode, 0);
            QCOMPARE(module.dbConnection->fileName(), database);
            QVERIFY(module.mains.isLoaded() && !module.mains->isVisible());
            QCOMPARE(recorded.trayRequests.size(), 1);
        } catch (const RuntimeError& e) {
            QCOMPARE(e.code(), openCode);
            QVERIFY2(e.description().contains(database), qPrintable(e.description()));
            QVERIFY(!module.mains.isLoaded());
        }
        // Neither checking nor opening makes the file or changes it.
        QCOMPARE(QFile::exists(database), damage != QLatin1String("remove"));
        QCOMPARE(contents(database), before);
    }

    void listingsOrderWithoutRegardToCase_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QStringList>("expected"); // column 0, row by row
        const QStringList names{"apple", "Apricot", "Banana", "cherry"};
        for (const QString& table : {Catalog::Softwares, Catalog::Games, Catalog::Windows})
            QTest::newRow(qPrintable(table)) << Catalog::table(table).listingQuery << names;
        QTest::newRow("documents") << Catalog::table(Catalog::Documents).listingQuery
                                   << names + QStringList{"DOCUMENTS"};
        QTest::newRow("reminders, newest first")
                << Catalog::table(Catalog::Reminders).listingQuery << QStringList{"late", "middle", "early"};
        // One row: of the reminders due and not announced, the one that fell due first.
        const auto due = [](const char* tag, QDate day, QTime time, const char* expected, QList<qint64> passed = {}) {
            QTest::newRow(tag) << Catalog::dueRemindersQuery(QDateTime(day, time), passed)
                               << (*expected ? QStringList{expected} : QStringList());
        };
        due("due, earliest first", {2026, 12, 1}, {0, 0}, "early");
        due("due at the exact second", {2026, 6, 15}, {7, 5}, "early");
        due("due, the earliest passed over", {2026, 12, 1}, {0, 0}, "middle", {1});
        due("due, none yet", {2026, 1, 2}, {8, 59, 59}, "");
    }
    void listingsOrderWithoutRegardToCase()
    {
        QFETCH(QString, query);
        QFETCH(QStringList, expected);
        ProgramFolder folder;
        Connection db;
        db.Open(Catalog::connectionString(folder.path()));
        for (const QString& table : {Catalog::Softwares, Catalog::Games, Catalog::Windows, Catalog::Documents}) {
            const QString key = Catalog::table(table).columns[0];
            db.Execute(QStringLiteral("insert into %1 (%2, path) values ('cherry', 1), ('Banana', 1), ('apple', 1), "
                                      "('Apricot', 1)")
                               .arg(table, key));
        }
        // Rowids 1 to 3 in this order; the latest is announced already.
        db.Execute(QStringLiteral("insert into reminders values ('early', '2026-01-02 09:00:00', 0), "
                                  "('middle', '2026-06-15 07:05:00', 0), ('late', '2026-11-30 18:30:00', 1)"));
        Recordset rs;
        rs.Open(query, db);
        QCOMPARE(column0(rs), expected);
    }
};

QTEST_MAIN(StoreTest)
#include "tst_store.moc"
