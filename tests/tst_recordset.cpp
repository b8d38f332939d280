#include "platform/connection.h"
#include "platform/criteria.h"
#include "platform/recordset.h"
#include "platform/runtimeerror.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

using namespace trovix;

namespace {

const QString Key = QStringLiteral("tromvelskadnuprige");
const QString Games = QStringLiteral("select * from games order by game");
const QString Reminders = QStringLiteral("select * from reminders order by time desc");

int errorCodeOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const RuntimeError& e) {
        return e.code();
    }
    return 0;
}

QString connectionString(const QString& file, const QString& key)
{
    return ConnectionString::make(file, key);
}

QByteArray contents(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Column 0 of every row, from the first forwards, or from the last backwards (then put in order).
QStringList walk(Recordset& rs, bool backwards = false)
{
    QStringList names;
    backwards ? rs.MoveLast() : rs.MoveFirst();
    while (!(backwards ? rs.Bof() : rs.Eof())) {
        names.insert(backwards ? 0 : names.size(), rs.Fields(0).toText());
        backwards ? rs.MovePrevious() : rs.MoveNext();
    }
    return names;
}

// A new encrypted file holding the program's tables, and a list to open on them.
struct Fixture
{
    QTemporaryDir dir;
    QString file = dir.filePath(QStringLiteral("trovix.mdb"));
    Connection db;
    Recordset rs;

    Fixture()
    {
        db.create(file, Key);
        db.Execute(QStringLiteral(R"(
create table softwares (software text collate nocase, path text, description text);
create table games (game text collate nocase, path text);
create table reminders (message text collate nocase, time text, done integer not null default 0);)"));
    }
    void addGames(const QStringList& names)
    {
        for (const QString& name : names)
            db.Execute(QStringLiteral("insert into games values (?, ?)"), {name, name + QStringLiteral(".path")});
    }
    QStringList listing()
    {
        Recordset other;
        other.Open(Games, db);
        return walk(other);
    }
};

using Action = std::function<void(Fixture&)>;

} // namespace

Q_DECLARE_METATYPE(Action)

class TestRecordset : public QObject
{
    Q_OBJECT

private slots:
    void listingFollowsQueryOrder()
    {
        Fixture f;
        f.addGames({"cherry", "apple", "Banana"});
        f.rs.Open(Games, f.db);
        const QStringList expected = {"apple", "Banana", "cherry"}; // regardless of letter case
        QCOMPARE(f.rs.Fields(0).toText(), expected.first());        // opened on the first row
        QCOMPARE(f.rs.RecordCount(), 3);
        QCOMPARE(walk(f.rs), expected);
        QCOMPARE(walk(f.rs, true), expected);
        f.rs.Open("SELECT *\nFROM games\nORDER BY game DESC", f.db);
        QCOMPARE(walk(f.rs), (QStringList{"cherry", "Banana", "apple"}));
    }

    void emptyTable()
    {
        Fixture f;
        f.rs.Open(Games, f.db);
        QVERIFY(f.rs.Eof() && f.rs.Bof());
        QCOMPARE(f.rs.fieldNames(), (QStringList{"game", "path"}));
        f.rs.MoveFirst(); // every lookup starts so, also on an empty table
        f.rs.MoveLast();
        f.rs.Find(criterion(QStringLiteral("game"), QStringLiteral("Chess")));
        QVERIFY(f.rs.Eof());
        QCOMPARE(errorCodeOf([&] { f.rs.Fields(0); }), ErrorCode::NoCurrentRecord);
        QCOMPARE(errorCodeOf([&] { f.rs.MoveNext(); }), ErrorCode::NoCurrentRecord);
    }

    void failures_data()
    {
        QTest::addColumn<Action>("action");
        QTest::addColumn<int>("code");
        const auto row = [](const char* name, int code, const Action& action) {
            QTest::newRow(name) << action << code;
        };
        // The list stands on its one row: message "m", time "t", done 0.
        row("Fields past the end", ErrorCode::NoCurrentRecord, [](Fixture& f) { f.rs.MoveNext(), f.rs.Fields(0); });
        row("position beyond the columns", ErrorCode::ItemNotFound, [](Fixture& f) { f.rs.Fields(3); });
        row("column name in another case", 0, [](Fixture& f) { QCOMPARE(f.rs.Fields("DONE").toInteger(), 0); });
        row("null field as text", ErrorCode::InvalidUseOfNull,
            [](Fixture& f) { f.rs.Update("time", {}), f.rs.Fields(1).toText(); });
        row("words as a number", ErrorCode::TypeMismatch, [](Fixture& f) { f.rs.Fields(1).toInteger(); });
        row("digits with blanks as a number", 0, [](Fixture& f) {
            f.rs.Update("time", " -7 ");
            QCOMPARE(f.rs.Fields(1).toInteger(), -7);
        });
        row("Find with two conditions", ErrorCode::InvalidArgument,
            [](Fixture& f) { f.rs.Find("message='m' and done=0"); });
        row("Find on an unknown column", ErrorCode::ItemNotFound, [](Fixture& f) { f.rs.Find("nosuch='m'"); });
        row("unknown table", ErrorCode::DatabaseError,
            [](Fixture& f) { Recordset().Open("select * from nosuch", f.db); });
        row("not a query on one table", ErrorCode::InvalidArgument,
            [](Fixture& f) { Recordset().Open("delete from games", f.db); });
        row("null into a required column", ErrorCode::DatabaseError, [](Fixture& f) { f.rs.Update("done", {}); });
        row("Update of a row deleted elsewhere", ErrorCode::NoCurrentRecord,
            [](Fixture& f) { f.db.Execute("delete from reminders"), f.rs.Update("done", 1); });
        row("Fields of a closed list", ErrorCode::ObjectClosed, [](Fixture& f) { f.rs.Close(), f.rs.Fields(0); });
        row("AddNew after the connection closed", ErrorCode::ObjectClosed,
            [](Fixture& f) { f.db.Close(), f.rs.AddNew("message", "b"); });
        row("Open on a closed connection", ErrorCode::ObjectClosed,
            [](Fixture& f) { f.db.Close(), Recordset().Open(Reminders, f.db); });
    }
    void failures()
    {
        QFETCH(Action, action);
        QFETCH(int, code);
        Fixture f;
        f.db.Execute("insert into reminders values ('m', 't', 0)");
        f.rs.Open(Reminders, f.db);
        QCOMPARE(errorCodeOf([&] { action(f); }), code);
        if (f.rs.isOpen() && f.rs.RecordCount() == 1 && !f.rs.Eof() && !f.rs.Bof()) { // as it was
            QCOMPARE(f.rs.Fields(0).toText(), QStringLiteral("m"));
            QCOMPARE(f.rs.Fields(2).toInteger(), 0);
        }
    }

    void find_data()
    {
        QTest::addColumn<QString>("criterion");
        QTest::addColumn<QString>("current"); // game to stand on first; none: the end of the list
        QTest::addColumn<int>("skip");
        QTest::addColumn<int>("direction");
        QTest::addColumn<int>("start");
        QTest::addColumn<QString>("expected"); // a game, "EOF" or "BOF"
        const auto row = [](const char* name, const QString& text, const char* expected, const char* current = "",
                            int skip = 0, int direction = adSearchForward, int start = adBookmarkFirst) {
            QTest::newRow(name) << text << QString::fromUtf8(current) << skip << direction << start
                                << QString::fromUtf8(expected);
        };
        const auto game = [](const char* name) { return criterion(QStringLiteral("game"), QString::fromUtf8(name)); };
        row("capitalised", game("Chess"), "Chess");
        row("lower case is another row", game("chess"), "chess");
        row("letter case must match", game("CHESS"), "EOF");
        row("no prefix match", game("Ches"), "EOF");
        row("apostrophe", game("It's"), "It's");
        row("unicode", game("Zoë's 日本"), "Zoë's 日本");
        // Rows in order: a/x, b/y, c/x, Checkers, chess and Chess, d/x, It's, Zoë's 日本.
        // Skipped rows count whether they match or not.
        const QString x = QStringLiteral("path='x'");
        row("skip three rows", x, "d", "", 3);
        row("backward from last", x, "d", "", 0, adSearchBackward, adBookmarkLast);
        row("backward skip three", x, "c", "", 3, adSearchBackward, adBookmarkLast);
        row("current row itself", x, "c", "c", 0, adSearchForward, adBookmarkCurrent);
        row("backward from current", x, "a", "b", 0, adSearchBackward, adBookmarkCurrent);
        row("not found backward", QStringLiteral("path='z'"), "BOF", "", 0, adSearchBackward, adBookmarkLast);
    }
    void find()
    {
        QFETCH(QString, criterion);
        QFETCH(QString, current);
        QFETCH(int, skip);
        QFETCH(int, direction);
        QFETCH(int, start);
        QFETCH(QString, expected);
        Fixture f;
        f.addGames({"chess", "Chess", "It's", "Zoë's 日本", "Checkers"});
        f.db.Execute(QStringLiteral("insert into games values ('a','x'), ('b','y'), ('c','x'), ('d','x')"));
        f.rs.Open(Games, f.db);
        if (current.isEmpty())
            f.rs.MoveLast(), f.rs.MoveNext(); // a failed earlier lookup leaves it at the end
        else
            f.rs.Find(QStringLiteral("game='%1'").arg(current));
        f.rs.Find(criterion, skip, direction, start);
        QCOMPARE(f.rs.Eof(), expected == QLatin1String("EOF"));
        QCOMPARE(f.rs.Bof(), expected == QLatin1String("BOF"));
        if (!f.rs.Eof() && !f.rs.Bof())
            QCOMPARE(f.rs.Fields(0).toText(), expected);
    }

    void addNewThenUpdateEachColumn()
    {
        Fixture f;
        f.db.Execute(QStringLiteral("insert into softwares values ('Zed', '/bin/zed', 'last')"));
        f.rs.Open(QStringLiteral("select * from softwares order by software"), f.db);
        f.rs.AddNew(QStringLiteral("software"), QStringLiteral("Editor"));
        QCOMPARE(f.rs.Fields(0).toText(), QStringLiteral("Editor"));
        QVERIFY(f.rs.Fields(1).isNull());
        f.rs.Update(QStringLiteral("path"), QStringLiteral("/usr/bin/editor"));
        f.rs.Update(QStringLiteral("description"), QString());
        QCOMPARE(f.rs.RecordCount(), 2);
        f.rs.Requery();
        QCOMPARE(f.rs.Fields(1).toText(), QStringLiteral("/usr/bin/editor"));
        QVERIFY(!f.rs.Fields(2).isNull()); // an empty description stays readable text
        QCOMPARE(walk(f.rs), (QStringList{"Editor", "Zed"}));
    }

    void keyChangedInPlace()
    {
        Fixture f;
        f.addGames({"apple", "Banana", "cherry"});
        f.rs.Open(QStringLiteral("select game, rowid from games order by game"), f.db);
        const qint64 rowid = f.rs.Fields(1).toInteger();
        f.rs.Update(QStringLiteral("game"), QStringLiteral("zebra"));
        QCOMPARE(f.rs.Fields(0).toText(), QStringLiteral("zebra"));
        f.rs.Requery();
        QCOMPARE(walk(f.rs), (QStringList{"Banana", "cherry", "zebra"}));
        f.rs.MoveLast();
        QCOMPARE(f.rs.Fields(1).toInteger(), rowid);
    }

    void deleteThenUpdateThenReload_data()
    {
        QTest::addColumn<QString>("victim");
        QTest::addColumn<QStringList>("remaining");
        QTest::addColumn<QString>("afterMoveNext"); // empty: end of file
        QTest::newRow("first") << "apple" << QStringList{"Banana", "cherry"} << "Banana";
        QTest::newRow("middle") << "Banana" << QStringList{"apple", "cherry"} << "cherry";
        QTest::newRow("last") << "cherry" << QStringList{"apple", "Banana"} << "";
    }
    void deleteThenUpdateThenReload()
    {
        QFETCH(QString, victim);
        QFETCH(QStringList, remaining);
        QFETCH(QString, afterMoveNext);
        Fixture f;
        f.addGames({"apple", "Banana", "cherry"});
        f.rs.Open(Games, f.db);
        f.rs.Find(criterion(QStringLiteral("game"), victim));
        f.rs.Delete(adAffectCurrent);
        QCOMPARE(errorCodeOf([&] { f.rs.Fields(0); }), ErrorCode::NoCurrentRecord);
        QCOMPARE(errorCodeOf([&] { f.rs.Update("path", "p"); }), ErrorCode::NoCurrentRecord);
        f.rs.Update();
        QCOMPARE(f.rs.RecordCount(), 2);
        f.rs.MoveNext(); // passes over the deleted row, in both directions
        QCOMPARE(f.rs.Eof() ? QString() : f.rs.Fields(0).toText(), afterMoveNext);
        QCOMPARE(walk(f.rs), remaining);
        QCOMPARE(walk(f.rs, true), remaining);
        f.rs.Requery();
        QCOMPARE(walk(f.rs), remaining);
    }

    void reopenedListHoldsOnlyFreshRows()
    {
        // A list is reloaded by opening its recordset again; nothing of the earlier rows may show.
        Fixture f;
        f.addGames({"alpha", "beta", "gamma"});
        f.db.Execute("insert into reminders values ('note', '2026-01-01 00:00:00', 0)");
        f.rs.Open(Games, f.db);
        f.rs.Delete();
        f.db.Execute(QStringLiteral("update games set game = 'delta', path = 'delta.path' where game = 'gamma'"));
        f.rs.Open(Games, f.db);
        QCOMPARE(f.rs.RecordCount(), 2);
        QCOMPARE(f.rs.Fields(1).toText(), QStringLiteral("beta.path"));
        QCOMPARE(walk(f.rs, true), (QStringList{"beta", "delta"}));
        f.rs.Open(Reminders, f.db); // other columns, fewer rows
        QCOMPARE(f.rs.fieldNames(), (QStringList{"message", "time", "done"}));
        QCOMPARE(f.rs.Fields(1).toText(), QStringLiteral("2026-01-01 00:00:00"));
        QCOMPARE(walk(f.rs), QStringList{"note"});

        // Handlers go on after a failed step, so a list that could not be read must show no old rows.
        QCOMPARE(errorCodeOf([&] { f.rs.Open("select * from nosuch", f.db); }), ErrorCode::DatabaseError);
        QVERIFY(errorCodeOf([&] { f.rs.Fields(0); }) != 0);
        f.rs.Open(Games, f.db);
        f.db.Execute(QStringLiteral("drop table games"));
        QCOMPARE(errorCodeOf([&] { f.rs.Requery(); }), ErrorCode::DatabaseError);
        QVERIFY(errorCodeOf([&] { f.rs.Fields(0); }) != 0);
        QVERIFY(!f.rs.isOpen() || (f.rs.Eof() && f.rs.RecordCount() == 0));
        f.rs.Open(Reminders, f.db);
        f.db.Close();
        QCOMPARE(errorCodeOf([&] { f.rs.Requery(); }), ErrorCode::ObjectClosed);
        QVERIFY(errorCodeOf([&] { f.rs.Fields(0); }) != 0);
    }

    void dueReminders_data()
    {
        QTest::addColumn<QString>("where");
        QTest::addColumn<QStringList>("expected"); // sorted messages
        QTest::newRow("due at the exact second")
                << "time <=#2026-12-06 10:00:00# and done=0" << QStringList{"early", "exact", "last year", "stored"};
        QTest::newRow("due a second before")
                << "time <=#2026-12-06 09:59:59# and done=0" << QStringList{"early", "last year", "stored"};
        QTest::newRow("not due yet") << "time <=#2026-12-06 09:29:59# and done=0" << QStringList{"early", "last year"};
        QTest::newRow("hashes inside quotes stay text") << "message = 'Call #5# now'" << QStringList{"Call #5# now"};
        QTest::newRow("quoted text before a date") << "message <> 'exact' and time <=#2026-12-06 10:00:00# and done=0"
                                                   << QStringList{"early", "last year", "stored"};
    }
    void dueReminders()
    {
        QFETCH(QString, where);
        QFETCH(QStringList, expected);
        Fixture f;
        f.db.Execute(QStringLiteral("insert into reminders values ('early', '2026-12-06 09:00:00', 0), "
                                    "('exact', '2026-12-06 10:00:00', 0), ('later', '2026-12-06 10:00:01', 0), "
                                    "('announced', '2026-12-05 08:00:00', 1), ('last year', '2025-12-31 23:59:59', 0), "
                                    "('Call #5# now', '2027-01-01 00:00:00', 0)"));
        f.rs.Open(Reminders, f.db); // one stored through a list, as the program does
        f.rs.AddNew("message", "stored");
        f.rs.Update("time", QDateTime(QDate(2026, 12, 6), QTime(9, 30)));
        QCOMPARE(f.rs.Fields("done").toInteger(), 0); // the column's default shows at once
        f.rs.Open(QStringLiteral("SELECT Message,time,done From reminders WHERE ") + where, f.db);
        QStringList found;
        for (; !f.rs.Eof(); f.rs.MoveNext())
            found << f.rs.Fields(QStringLiteral("message")).toText();
        found.sort();
        QCOMPARE(found, expected);
    }

    void transactions()
    {
        Fixture f;
        f.rs.Open(Games, f.db);
        for (const QString& game : {QStringLiteral("kept"), QStringLiteral("rolled back")}) {
            f.db.BeginTrans();
            f.rs.AddNew(QStringLiteral("game"), game);
            f.rs.Update(QStringLiteral("path"), QStringLiteral("p"));
            game == QLatin1String("kept") ? f.db.CommitTrans() : f.db.RollbackTrans();
        }
        QCOMPARE(f.listing(), QStringList{"kept"});
        QCOMPARE(errorCodeOf([&] { f.db.CommitTrans(); }), ErrorCode::DatabaseError); // none is open now
    }

    void openFailures_data()
    {
        QTest::addColumn<QString>("name"); // other.mdb is made with the content
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("code");
        QTest::newRow("wrong password") << "trovix.mdb" << QByteArray() << Key.toUpper() << ErrorCode::NotADatabase;
        QTest::newRow("missing file") << "missing.mdb" << QByteArray() << Key << ErrorCode::DatabaseMissing;
        QTest::newRow("text file") << "other.mdb" << QByteArray("A note, not a database.\n").repeated(200) << Key
                                   << ErrorCode::NotADatabase;
        QTest::newRow("empty file") << "other.mdb" << QByteArray() << Key << ErrorCode::NotADatabase;
    }
    void openFailures()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QString, key);
        QFETCH(int, code);
        Fixture f;
        f.db.Close();
        const QString file = f.dir.filePath(name);
        if (QFile out(file); name == QLatin1String("other.mdb"))
            QVERIFY(out.open(QIODevice::WriteOnly) && out.write(content) == content.size() && out.flush());
        const bool existed = QFileInfo::exists(file);
        const QByteArray before = contents(file);
        QCOMPARE(errorCodeOf([&] { f.db.Open(connectionString(file, key)); }), code);
        QVERIFY(!f.db.isOpen());
        QCOMPARE(QFileInfo::exists(file), existed); // a failed open makes no file
        QCOMPARE(contents(file), before);           // and leaves every file as it was
    }

    void encryptedFileReopens()
    {
        Fixture f;
        f.addGames({QStringLiteral("PlaintextMarkerXyzzy")});
        f.db.Close();
        const QByteArray bytes = contents(f.file);
        QVERIFY(bytes.size() > 1000);
        QVERIFY(!bytes.contains("PlaintextMarkerXyzzy") && !bytes.contains("CREATE TABLE"));
        QVERIFY(!bytes.startsWith("SQLite format 3"));
        QCOMPARE(errorCodeOf([&] { Connection().create(f.file, QStringLiteral("another key")); }),
                 ErrorCode::DatabaseUnreadable);
        f.db.Open(connectionString(f.file, Key));
        QCOMPARE(f.listing(), QStringList{"PlaintextMarkerXyzzy"});
    }
};

QTEST_GUILESS_MAIN(TestRecordset)
#include "tst_recordset.moc"
