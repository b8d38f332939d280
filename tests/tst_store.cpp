// The database file as the user's data lives in it: made, checked, listed and opened.
#include "core/reminderstore.h"
#include "windowdriver.h"

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
    if (how == "drop table" || how == "reorder") {
        Database database;
        Catalog::open(database, folder);
        database.execute(how == "reorder" ? "drop table games; create table games (path text, game text);"
                                          : "drop table reminders");
    } else if (how == "damage page") {
        QFile file(database); // past the first page, inside the tables' pages
        QVERIFY(file.size() > 4096 && file.open(QIODevice::ReadWrite) && file.seek(3000));
        file.write(QByteArray(64, '\x5a'));
    } else if (how != "sound") {
        QVERIFY(QFile::remove(database));
        if (QFile file(database); how == "text") {
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray("Notes, not a database.\n").repeated(200));
        } else if (how == "other key") {
            Database other;
            other.create(database, "a different password");
            other.execute("create table games (game text, path text)");
        }
    }
}

// The folder's name, under a scratch folder; the damage; what the checker says of it (none: the file is sound); what
// opening it does: Opens, the kind of DatabaseError, or NotTried.
using Check = std::tuple<QString, QString, QString, int>;
// What a store lists of an open database: the names, or the messages, in order.
using Listing = std::function<QStringList(Database&)>;

QStringList names(const RowList& rows)
{
    QStringList names;
    for (int row = 0; row < rows.size(); ++row)
        names << rows.text(row, 0).value_or(QString());
    return names;
}

} // namespace

enum { Opens = -1, NotTried = -2 };

class StoreTest : public QObject
{
    Q_OBJECT

private slots:
    void createRefusesToOverwriteAndKeepsTheDataSecret()
    {
        ProgramFolder folder;
        const QString database = folder.file(ProgramFiles::Database);
        {
            Database database;
            Catalog::open(database, folder.path());
            database.execute("insert into games values ('PlaintextMarkerXyzzy', '/x')");
        }
        const QByteArray before = contents(database);
        QVERIFY(!before.contains("PlaintextMarkerXyzzy") && !before.contains("CREATE TABLE"));
        QVERIFY(!before.startsWith("SQLite format 3"));
        const auto [code, out, err] = runTool("create", folder.path());
        QCOMPARE(code, 1);
        QVERIFY2(err.contains(database), qPrintable(err));
        QCOMPARE(contents(database), before);
    }

    // What the checker says of a file, and what opening it at start-up does.
    void checkAndOpen_data()
    {
        QTest::addColumn<Check>("row");
        const auto row = [](const char* damage, const char* said, int opening, const char* folder = "trovix") {
            QTest::newRow(damage) << Check{folder, damage, said, opening};
        };
        row("sound", "", Opens);
        row("sound, awkward folder name", "", Opens, " my;programs \"new\" ");
        row("remove", "not found", int(DatabaseError::Kind::Missing));
        row("text", "not a database", int(DatabaseError::Kind::NotADatabase));
        row("other key", "not a database", int(DatabaseError::Kind::NotADatabase));
        row("damage page", "integrity check failed", NotTried);
        row("drop table", "The table reminders is missing", NotTried);
        row("reorder", "The table games has the columns path, game", NotTried);
    }
    void checkAndOpen()
    {
        const auto [folderName, damage, said, opening] = fetchRow<Check>();
        QTemporaryDir parent;
        const QString folder = parent.filePath(folderName);
        QVERIFY(QDir().mkpath(folder));
        Catalog::create(folder);
        ::damage(damage.section(',', 0, 0), folder);
        const QString database = ProgramFiles::path(folder, ProgramFiles::Database);
        const QByteArray before = contents(database);

        const auto [code, out, err] = runTool("check", folder);
        QCOMPARE(code, said.isEmpty() ? 0 : 1);
        QCOMPARE(out.contains(": ok"), said.isEmpty());
        QVERIFY2(err.contains(said, Qt::CaseInsensitive), qPrintable(err));
        if (opening == NotTried)
            return;
        auto services = std::make_unique<RecordingServices>();
        RecordingServices& recorded = *services;
        Session session(folder, std::move(services));
        try {
            session.openDatabase();
            QCOMPARE(opening, Opens);
            QCOMPARE(session.database().fileName(), database);
            QVERIFY(session.mainWindowIfLoaded() && !session.mainWindowIfLoaded()->isVisible());
            QCOMPARE(recorded.trayTips.size(), 1);
        } catch (const DatabaseError& e) {
            QCOMPARE(int(e.kind()), opening);
            QVERIFY2(e.description().contains(database), qPrintable(e.description()));
            QVERIFY(!session.mainWindowIfLoaded());
        }
        // Neither checking nor opening makes the file or changes it.
        QCOMPARE(QFile::exists(database), damage != "remove");
        QCOMPARE(contents(database), before);
    }

    void listingsOrderWithoutRegardToCase_data()
    {
        QTest::addColumn<Listing>("listing");
        QTest::addColumn<QStringList>("expected"); // row by row
        const QStringList entries{"apple", "Apricot", "Banana", "cherry"};
        for (const QString& table : {Catalog::Softwares, Catalog::Games, Catalog::Windows, Catalog::Documents})
            QTest::newRow(qPrintable(table))
                    << Listing([table](Database& db) { return names(EntryStore(table).list(db).rows()); })
                    << entries + (table == Catalog::Documents ? QStringList{"DOCUMENTS"} : QStringList());
        QTest::newRow("reminders, newest first")
                << Listing([](Database& db) { return names(ReminderStore::list(db).rows()); })
                << QStringList{"late", "middle", "early"};
        // One row: of the reminders due and not announced, the one that fell due first.
        const auto due = [](const char* tag, QDate day, QTime time, const char* expected, QList<qint64> passed = {}) {
            QTest::newRow(tag) << Listing([=](Database& db) {
                const std::optional<Reminder> first = ReminderStore::firstDue(db, QDateTime(day, time), passed);
                return first ? QStringList{first->message.value_or(QString())} : QStringList();
            }) << (*expected ? QStringList{expected} : QStringList());
        };
        due("due, earliest first", {2026, 12, 1}, {0, 0}, "early");
        due("due at the exact second", {2026, 6, 15}, {7, 5}, "early");
        due("due, the earliest passed over", {2026, 12, 1}, {0, 0}, "middle", {1});
        due("due, none yet", {2026, 1, 2}, {8, 59, 59}, "");
    }
    void listingsOrderWithoutRegardToCase()
    {
        QFETCH(Listing, listing);
        QFETCH(QStringList, expected);
        ProgramFolder folder;
        Database db;
        Catalog::open(db, folder.path());
        for (const QString& table : {Catalog::Softwares, Catalog::Games, Catalog::Windows, Catalog::Documents}) {
            const QString key = EntryStore(table).keyColumn();
            db.execute(QStringLiteral("insert into %1 (%2, path) values ('cherry', 1), ('Banana', 1), ('apple', 1), "
                                      "('Apricot', 1)")
                               .arg(table, key));
        }
        // Rowids 1 to 3 in this order; the latest is announced already.
        db.execute(QStringLiteral("insert into reminders values ('early', '2026-01-02 09:00:00', 0), "
                                  "('middle', '2026-06-15 07:05:00', 0), ('late', '2026-11-30 18:30:00', 1)"));
        QCOMPARE(listing(db), expected);
    }
};

QTEST_MAIN(StoreTest)
#include "tst_store.moc"
