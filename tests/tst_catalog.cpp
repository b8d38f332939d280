// The delivered database: how it is made, checked and dumped, and how the
// program opens it.
#include "platform/connection.h"
#include "platform/recordset.h"
#include "platform/runtimeerror.h"
#include "programfolder.h"
#include "recordingservices.h"
#include "shell/mains.h"
#include "shell/module1.h"
#include "store/catalog.h"
#include "store/programfiles.h"

#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QtTest>

using namespace trovix;

namespace {

struct ToolRun
{
    int exitCode;
    QString out;
    QString err;
};

ToolRun runTool(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral(TROVIX_DB_TOOL), arguments);
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

QByteArray digest(const QString& fileName)
{
    QFile file(fileName);
    file.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

void overwrite(const QString& fileName, qint64 offset, const QByteArray& bytes)
{
    QFile file(fileName);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.seek(offset));
    file.write(bytes);
}

} // namespace

class CatalogTest : public QObject
{
    Q_OBJECT

private slots:
    void deliveredDatabaseHoldsTheFiveTablesInColumnOrder();
    void createRefusesToOverwrite();
    void checkFindsWhatIsWrong_data();
    void checkFindsWhatIsWrong();
    void dumpPrintsEveryRowTabSeparated();
    void listingQueriesOrderWithoutRegardToCase();
    void openDatabaseFailsPlainly_data();
    void openDatabaseFailsPlainly();
    void openDatabaseLoadsTheMainWindowUnseen();
    void openDatabaseCopesWithAnAwkwardFolderName();
};

void CatalogTest::deliveredDatabaseHoldsTheFiveTablesInColumnOrder()
{
    ProgramFolder folder;
    const ToolRun check = runTool({QStringLiteral("check"), folder.path()});
    QCOMPARE(check.exitCode, 0);
    QVERIFY(check.out.contains(QLatin1String(": ok")));

    Connection connection;
    connection.Open(Catalog::connectionString(folder.path()));
    for (const Catalog::Table& table : Catalog::tables()) {
        Recordset rs;
        rs.Open(table.listingQuery, connection);
        QCOMPARE(rs.fieldNames(), table.columns);
    }
    Recordset documents;
    documents.Open(Catalog::table(Catalog::Documents).listingQuery, connection);
    documents.Find(Catalog::DocumentsApplicationCriterion);
    QVERIFY(!documents.Eof());
    QCOMPARE(documents.Fields(1).toText(), QStringLiteral("xdg-open"));
}

void CatalogTest::createRefusesToOverwrite()
{
    ProgramFolder folder;
    const QString database = folder.file(ProgramFiles::Database);
    {
        Connection connection;
        connection.Open(Catalog::connectionString(folder.path()));
        connection.Execute(QStringLiteral("insert into games (game, path) values (?, ?)"),
                           {QStringLiteral("Chess"), QStringLiteral("/usr/games/chess")});
    }
    const QByteArray before = digest(database);
    const ToolRun create = runTool({QStringLiteral("create"), folder.path()});
    QCOMPARE(create.exitCode, 1);
    QVERIFY2(create.err.contains(database), qPrintable(create.err));
    QCOMPARE(digest(database), before);
}

void CatalogTest::checkFindsWhatIsWrong_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("expected");
    QTest::newRow("missing file") << "remove"
                                  << "not found";
    QTest::newRow("not a database") << "text"
                                    << "not a database";
    QTest::newRow("other key") << "other key"
                               << "not a database";
    QTest::newRow("damaged page") << "damage page"
                                  << "";
    QTest::newRow("table missing") << "drop table"
                                   << "The table reminders is missing";
    QTest::newRow("columns out of order") << "reorder"
                                          << "The table games has the columns path, game";
}

void CatalogTest::checkFindsWhatIsWrong()
{
    QFETCH(QString, damage);
    QFETCH(QString, expected);
    ProgramFolder folder;
    const QString database = folder.file(ProgramFiles::Database);

    if (damage == QLatin1String("remove")) {
        QVERIFY(QFile::remove(database));
    } else if (damage == QLatin1String("text")) {
        QFile::remove(database);
        QFile file(database);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("Just some notes, not a database.\n").repeated(200));
    } else if (damage == QLatin1String("other key")) {
        QFile::remove(database);
        Connection other;
        other.create(database, QStringLiteral("a different password"));
        other.Execute(QStringLiteral("create table games (game text, path text)"));
    } else if (damage == QLatin1String("damage page")) {
        // Past the first page, inside the tables' pages.
        QVERIFY(QFileInfo(database).size() > 4096);
        overwrite(database, 3000, QByteArray(64, '\x5a'));
    } else if (damage == QLatin1String("drop table")) {
        Connection connection;
        connection.Open(Catalog::connectionString(folder.path()));
        connection.Execute(QStringLiteral("drop table reminders"));
    } else if (damage == QLatin1String("reorder")) {
        Connection connection;
        connection.Open(Catalog::connectionString(folder.path()));
        connection.Execute(QStringLiteral("drop table games; create table games (path text, game text);"));
    }

    const ToolRun check = runTool({QStringLiteral("check"), folder.path()});
    QCOMPARE(check.exitCode, 1);
    QVERIFY2(!check.err.isEmpty(), "a failed check says why");
    QVERIFY2(check.err.contains(expected, Qt::CaseInsensitive), qPrintable(check.err));
    QVERIFY(!check.out.contains(QLatin1String(": ok")));
    if (damage == QLatin1String("remove"))
        QVERIFY2(!QFile::exists(database), "checking never creates the file");
}

void CatalogTest::dumpPrintsEveryRowTabSeparated()
{
    ProgramFolder folder;
    {
        Connection connection;
        connection.Open(Catalog::connectionString(folder.path()));
        connection.Execute(QStringLiteral("insert into softwares values (?, ?, ?)"),
                           {QStringLiteral("Editor"), QStringLiteral("/usr/bin/ed"), QVariant()});
        connection.Execute(QStringLiteral("insert into reminders values (?, ?, ?)"),
                           {QStringLiteral("Call\tBob\nat noon"), QStringLiteral("2026-12-06 12:00:00"), 0});
    }
    const ToolRun dump = runTool({QStringLiteral("dump"), folder.path()});
    QCOMPARE(dump.exitCode, 0);
    const QStringList lines = dump.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QVERIFY(lines.contains(QStringLiteral("# softwares\tsoftware\tpath\tdescription")));
    QVERIFY(lines.contains(QStringLiteral("Editor\t/usr/bin/ed\t\\N")));
    QVERIFY(lines.contains(QStringLiteral("DOCUMENTS\txdg-open")));
    QVERIFY(lines.contains(QStringLiteral("Call\\tBob\\nat noon\t2026-12-06 12:00:00\t0")));
    QCOMPARE(lines.filter(QRegularExpression(QStringLiteral("^# "))).size(), 5);
}

void CatalogTest::listingQueriesOrderWithoutRegardToCase()
{
    ProgramFolder folder;
    Connection connection;
    connection.Open(Catalog::connectionString(folder.path()));
    for (const char* name : {"cherry", "Banana", "apple", "Apricot"})
        connection.Execute(QStringLiteral("insert into games (game, path) values (?, '/x')"),
                           {QString::fromLatin1(name)});
    connection.Execute(QStringLiteral("insert into reminders values ('early', '2026-01-02 09:00:00', 0), "
                                      "('late', '2026-11-30 18:30:00', 1), ('middle', '2026-06-15 07:05:00', 0)"));

    const auto column0 = [&](const QString& query) {
        Recordset rs;
        rs.Open(query, connection);
        QStringList names;
        for (; !rs.Eof(); rs.MoveNext())
            names << rs.Fields(0).toText();
        return names;
    };
    QCOMPARE(column0(Catalog::table(Catalog::Games).listingQuery),
             QStringList({"apple", "Apricot", "Banana", "cherry"}));
    QCOMPARE(column0(Catalog::table(Catalog::Reminders).listingQuery), QStringList({"late", "middle", "early"}));
    // The due check reads one row: the reminder that fell due first, and whether any is pending.
    QCOMPARE(column0(Catalog::dueRemindersQuery(QDateTime(QDate(2026, 6, 15), QTime(7, 5)))), QStringList({"early"}));
    QCOMPARE(column0(Catalog::dueRemindersQuery(QDateTime(QDate(2026, 6, 15), QTime(7, 4, 59)))),
             QStringList({"early"}));
    QCOMPARE(column0(Catalog::dueRemindersQuery(QDateTime(QDate(2026, 1, 2), QTime(8, 59, 59)))), QStringList());
    QCOMPARE(column0(Catalog::PendingRemindersQuery).size(), 1);
}

void CatalogTest::openDatabaseFailsPlainly_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<int>("code");
    QTest::newRow("missing") << "remove" << ErrorCode::DatabaseMissing;
    QTest::newRow("not a database") << "text" << ErrorCode::NotADatabase;
    QTest::newRow("wrong key") << "other key" << ErrorCode::NotADatabase;
}

void CatalogTest::openDatabaseFailsPlainly()
{
    QFETCH(QString, damage);
    QFETCH(int, code);
    ProgramFolder folder;
    const QString database = folder.file(ProgramFiles::Database);
    QFile::remove(database);
    if (damage == QLatin1String("text")) {
        QFile file(database);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(8192, 'x'));
    } else if (damage == QLatin1String("other key")) {
        Connection other;
        other.create(database, QStringLiteral("tromvelskadnuprigf"));
        other.Execute(QStringLiteral("create table games (game text, path text)"));
    }

    Module1 module(folder.path(), std::make_unique<RecordingServices>());
    try {
        module.OpenDatabase();
        QFAIL("opening should have failed");
    } catch (const RuntimeError& e) {
        QCOMPARE(e.code(), code);
        QVERIFY2(e.description().contains(database), qPrintable(e.description()));
    }
    QVERIFY(!module.mains.isLoaded());
    if (damage == QLatin1String("remove"))
        QVERIFY2(!QFile::exists(database), "the program never creates the database");
}

void CatalogTest::openDatabaseLoadsTheMainWindowUnseen()
{
    ProgramFolder folder;
    auto services = std::make_unique<RecordingServices>();
    RecordingServices& recorded = *services;
    Module1 module(folder.path(), std::move(services));
    module.OpenDatabase();
    QVERIFY(module.dbConnection && module.dbConnection->isOpen());
    QCOMPARE(module.dbConnection->fileName(), folder.file(ProgramFiles::Database));
    QVERIFY(module.mains.isLoaded());
    QVERIFY(!module.mains->isVisible());
    QCOMPARE(recorded.trayRequests.size(), 1);
}

void CatalogTest::openDatabaseCopesWithAnAwkwardFolderName()
{
    QTemporaryDir parent;
    const QString folder = parent.path() + QStringLiteral("/my;programs \"new\"");
    QVERIFY(QDir().mkpath(folder));
    Catalog::create(folder);
    Module1 module(folder, std::make_unique<RecordingServices>());
    module.OpenDatabase();
    QCOMPARE(module.dbConnection->fileName(), ProgramFiles::path(folder, ProgramFiles::Database));
}

QTEST_MAIN(CatalogTest)
#include "tst_catalog.moc"
