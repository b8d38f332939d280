#include "platform/connection.h"
#include "platform/criteria.h"
#include "platform/recordset.h"
#include "platform/runtimeerror.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

#include <functional>
#include <optional>

using namespace trovix;

namespace {

const QString Key = QStringLiteral("tromvelskadnuprige");

const char* const Schema = R"sql(
create table softwares (software text collate nocase, path text, description text);
create index softwares_software on softwares (software);
create table games (game text collate nocase, path text);
create table reminders (message text collate nocase, time text, done integer not null default 0);
)sql";

std::optional<RuntimeError> errorOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const RuntimeError& e) {
        return e;
    }
    return std::nullopt;
}

int errorCodeOf(const std::function<void()>& call)
{
    const auto error = errorOf(call);
    return error ? error->code() : 0;
}

QString connectionString(const QString& file, const QString& key)
{
    return QStringLiteral("Provider=SQLCipher;Data Source=") + ConnectionString::quoteValue(file)
           + QStringLiteral(";Database Password=") + ConnectionString::quoteValue(key);
}

// Column 0 of every row from the current one to the end.
QStringList walk(Recordset& rs)
{
    QStringList names;
    while (!rs.Eof()) {
        names << rs.Fields(0).toText();
        rs.MoveNext();
    }
    return names;
}

QStringList listing(Connection& connection, const QString& query)
{
    Recordset rs;
    rs.Open(query, connection);
    return walk(rs);
}

qint64 rowidOf(Connection& connection, const QString& game)
{
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(connection.handle(), "select rowid from games where game = ?", -1, &statement, nullptr);
    const QByteArray name = game.toUtf8();
    sqlite3_bind_text(statement, 1, name.constData(), int(name.size()), SQLITE_TRANSIENT);
    const qint64 rowid = sqlite3_step(statement) == SQLITE_ROW ? sqlite3_column_int64(statement, 0) : -1;
    sqlite3_finalize(statement);
    return rowid;
}

} // namespace

class TestRecordset : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void listingFollowsQueryOrder_data();
    void listingFollowsQueryOrder();
    void emptyTable();
    void positioning_data();
    void positioning();
    void findLocatesExactValue_data();
    void findLocatesExactValue();
    void findDirections_data();
    void findDirections();
    void findRejects_data();
    void findRejects();
    void addNewThenUpdateEachColumn();
    void storedValuesReadBack_data();
    void storedValuesReadBack();
    void keyChangedInPlace();
    void deleteThenUpdateThenReload_data();
    void deleteThenUpdateThenReload();
    void rowRemovedByAnotherRecordset();
    void valueConversions_data();
    void valueConversions();
    void reminderQueries_data();
    void reminderQueries();
    void transactions_data();
    void transactions();
    void openFailures_data();
    void openFailures();
    void createRefusesExistingFile();
    void reopensAfterClose();
    void fileIsEncrypted();
    void closedObjects_data();
    void closedObjects();
    void engineFailures_data();
    void engineFailures();

private:
    void addGames(const QStringList& names);

    std::optional<QTemporaryDir> m_dir;
    QString m_file;
    std::optional<Connection> m_db;
};

void TestRecordset::init()
{
    m_dir.emplace();
    QVERIFY(m_dir->isValid());
    m_file = m_dir->filePath(QStringLiteral("trovix.mdb"));
    m_db.emplace();
    m_db->create(m_file, Key);
    m_db->Execute(QString::fromUtf8(Schema));
}

void TestRecordset::cleanup()
{
    m_db.reset();
    m_dir.reset();
}

void TestRecordset::addGames(const QStringList& names)
{
    for (const QString& name : names)
        m_db->Execute(QStringLiteral("insert into games (game, path) values (?, ?)"), {name, name + ".path"});
}

void TestRecordset::listingFollowsQueryOrder_data()
{
    QTest::addColumn<QString>("insert");
    QTest::addColumn<QList<QVariantList>>("rows");
    QTest::addColumn<QString>("query");
    QTest::addColumn<QStringList>("expected");

    const QString games = QStringLiteral("insert into games (game, path) values (?, ?)");
    QTest::newRow("names regardless of letter case")
            << games << QList<QVariantList>{{"cherry", "c"}, {"apple", "a"}, {"Banana", "b"}}
            << "select * from games order by game" << QStringList{"apple", "Banana", "cherry"};
    QTest::newRow("upper-case query words") << games << QList<QVariantList>{{"b", "x"}, {"A", "y"}}
                                            << "SELECT * FROM games ORDER BY game" << QStringList{"A", "b"};
    QTest::newRow("reminders newest first")
            << QStringLiteral("insert into reminders (message, time, done) values (?, ?, ?)")
            << QList<QVariantList>{{"old", "2025-01-01 08:00:00", 1},
                                   {"new", "2026-12-06 10:00:00", 0},
                                   {"mid", "2026-03-01 12:30:00", 0}}
            << "select * from reminders order by time desc" << QStringList{"new", "mid", "old"};
    QTest::newRow("query over several lines") << games << QList<QVariantList>{{"b", "x"}, {"a", "y"}}
                                              << "select *\nfrom games\norder by game" << QStringList{"a", "b"};
}

void TestRecordset::listingFollowsQueryOrder()
{
    QFETCH(QString, insert);
    QFETCH(QList<QVariantList>, rows);
    QFETCH(QString, query);
    QFETCH(QStringList, expected);
    for (const QVariantList& row : rows)
        m_db->Execute(insert, row);

    Recordset rs;
    rs.Open(query, *m_db);
    QVERIFY(!rs.Bof());
    QCOMPARE(rs.RecordCount(), expected.size());
    QCOMPARE(walk(rs), expected);
    rs.MoveLast();
    QStringList backwards;
    while (!rs.Bof()) {
        backwards.prepend(rs.Fields(0).toText());
        rs.MovePrevious();
    }
    QCOMPARE(backwards, expected);
}

void TestRecordset::emptyTable()
{
    Recordset rs;
    rs.Open(QStringLiteral("select * from games order by game"), *m_db);
    QVERIFY(rs.Eof());
    QVERIFY(rs.Bof());
    QCOMPARE(rs.fieldNames(), (QStringList{"game", "path"}));
    // Every lookup starts with MoveFirst, also on an empty table.
    rs.MoveFirst();
    QVERIFY(rs.Eof());
    rs.MoveLast();
    QVERIFY(rs.Eof());
    QCOMPARE(errorCodeOf([&] { rs.Fields(0); }), ErrorCode::NoCurrentRecord);
    QCOMPARE(errorCodeOf([&] { rs.MoveNext(); }), ErrorCode::NoCurrentRecord);
    rs.Find(criterion(QStringLiteral("game"), QStringLiteral("Chess")));
    QVERIFY(rs.Eof());
}

void TestRecordset::positioning_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("code");
    QTest::newRow("Fields past the end") << "fields at end" << ErrorCode::NoCurrentRecord;
    QTest::newRow("MoveNext past the end") << "next at end" << ErrorCode::NoCurrentRecord;
    QTest::newRow("MovePrevious before the start") << "previous at start" << ErrorCode::NoCurrentRecord;
    QTest::newRow("last then next: end, no error") << "last next" << 0;
    QTest::newRow("position beyond the columns") << "field 2" << ErrorCode::ItemNotFound;
    QTest::newRow("negative position") << "field -1" << ErrorCode::ItemNotFound;
    QTest::newRow("unknown name") << "field nosuch" << ErrorCode::ItemNotFound;
    QTest::newRow("name in another letter case") << "field PATH" << 0;
}

void TestRecordset::positioning()
{
    QFETCH(QString, action);
    QFETCH(int, code);
    addGames({"a", "b"});
    Recordset rs;
    rs.Open(QStringLiteral("select * from games order by game"), *m_db);

    const QHash<QString, std::function<void()>> actions = {
            {"fields at end",
             [&] {
                 rs.MoveLast();
                 rs.MoveNext();
                 rs.Fields(0);
             }},
            {"next at end",
             [&] {
                 rs.MoveLast();
                 rs.MoveNext();
                 rs.MoveNext();
             }},
            {"previous at start",
             [&] {
                 rs.MoveFirst();
                 rs.MovePrevious();
                 rs.MovePrevious();
             }},
            {"last next",
             [&] {
                 rs.MoveLast();
                 rs.MoveNext();
                 QVERIFY(rs.Eof());
                 QVERIFY(!rs.Bof());
             }},
            {"field 2", [&] { rs.Fields(2); }},
            {"field -1", [&] { rs.Fields(-1); }},
            {"field nosuch", [&] { rs.Fields(QStringLiteral("nosuch")); }},
            {"field PATH", [&] { QCOMPARE(rs.Fields(QStringLiteral("PATH")).toText(), QStringLiteral("a.path")); }},
    };
    QVERIFY(actions.contains(action));
    QCOMPARE(errorCodeOf(actions.value(action)), code);
}

void TestRecordset::findLocatesExactValue_data()
{
    QTest::addColumn<QString>("criterion");
    QTest::addColumn<QString>("expectedGame"); // empty: not found

    const auto game = [](const char* name) { return criterion(QStringLiteral("game"), QString::fromUtf8(name)); };
    QTest::newRow("capitalised") << game("Chess") << "Chess";
    QTest::newRow("lower case is another row") << game("chess") << "chess";
    QTest::newRow("letter case must match") << game("CHESS") << "";
    QTest::newRow("no prefix match") << game("Ches") << "";
    QTest::newRow("absent") << game("Go") << "";
    QTest::newRow("apostrophe inside") << game("It's") << "It's";
    QTest::newRow("apostrophes around") << game("'quoted'") << "'quoted'";
    QTest::newRow("two apostrophes") << game("O''Brien") << "O''Brien";
    QTest::newRow("unicode") << game("Zoë's 日本") << "Zoë's 日本";
    QTest::newRow("by another column") << "path='chess.path'"
                                       << "chess";
    QTest::newRow("column name in other case") << "GAME = 'Chess'"
                                               << "Chess";
}

void TestRecordset::findLocatesExactValue()
{
    QFETCH(QString, criterion);
    QFETCH(QString, expectedGame);
    addGames({"chess", "Chess", "It's", "'quoted'", "O''Brien", "Zoë's 日本", "Checkers"});
    Recordset rs;
    rs.Open(QStringLiteral("select * from games order by game"), *m_db);
    rs.MoveLast();
    rs.MoveNext(); // a failed earlier lookup leaves it at the end
    rs.MoveFirst();
    rs.Find(criterion, 0, adSearchForward, adBookmarkFirst);
    if (expectedGame.isEmpty()) {
        QVERIFY(rs.Eof());
    } else {
        QVERIFY(!rs.Eof());
        QCOMPARE(rs.Fields(0).toText(), expectedGame);
        QCOMPARE(rs.Fields(1).toText(), expectedGame + ".path");
    }
}

void TestRecordset::findDirections_data()
{
    QTest::addColumn<QString>("criterion");
    QTest::addColumn<QString>("current"); // game to stand on first, if any
    QTest::addColumn<int>("skip");
    QTest::addColumn<int>("direction");
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("expected"); // a game, "EOF" or "BOF"

    // Rows in order: a/x, b/y, c/x, d/x.
    QTest::newRow("forward from first") << "path='x'"
                                        << "" << 0 << adSearchForward << adBookmarkFirst << "a";
    QTest::newRow("skip one row") << "path='x'"
                                  << "" << 1 << adSearchForward << adBookmarkFirst << "c";
    QTest::newRow("skip three rows") << "path='x'"
                                     << "" << 3 << adSearchForward << adBookmarkFirst << "d";
    QTest::newRow("backward from last") << "path='x'"
                                        << "" << 0 << adSearchBackward << adBookmarkLast << "d";
    QTest::newRow("backward skip one") << "path='x'"
                                       << "" << 1 << adSearchBackward << adBookmarkLast << "c";
    QTest::newRow("forward from current") << "path='x'"
                                          << "b" << 0 << adSearchForward << adBookmarkCurrent << "c";
    QTest::newRow("backward from current") << "path='x'"
                                           << "b" << 0 << adSearchBackward << adBookmarkCurrent << "a";
    QTest::newRow("current row itself") << "path='x'"
                                        << "c" << 0 << adSearchForward << adBookmarkCurrent << "c";
    QTest::newRow("next after current") << "path='x'"
                                        << "c" << 1 << adSearchForward << adBookmarkCurrent << "d";
    QTest::newRow("not found forward") << "path='z'"
                                       << "" << 0 << adSearchForward << adBookmarkFirst << "EOF";
    QTest::newRow("not found backward") << "path='z'"
                                        << "" << 0 << adSearchBackward << adBookmarkLast << "BOF";
    QTest::newRow("skipped past the match") << "path='y'"
                                            << "" << 2 << adSearchForward << adBookmarkFirst << "EOF";
}

void TestRecordset::findDirections()
{
    QFETCH(QString, criterion);
    QFETCH(QString, current);
    QFETCH(int, skip);
    QFETCH(int, direction);
    QFETCH(int, start);
    QFETCH(QString, expected);
    m_db->Execute(QStringLiteral("insert into games values ('a','x'), ('b','y'), ('c','x'), ('d','x')"));
    Recordset rs;
    rs.Open(QStringLiteral("select * from games order by game"), *m_db);
    if (!current.isEmpty())
        rs.Find(QStringLiteral("game='%1'").arg(current));

    rs.Find(criterion, skip, direction, start);
    if (expected == QLatin1String("EOF")) {
        QVERIFY(rs.Eof());
    } else if (expected == QLatin1String("BOF")) {
        QVERIFY(rs.Bof());
        QVERIFY(!rs.Eof());
    } else {
        QCOMPARE(rs.Fields(0).toText(), expected);
    }
}

void TestRecordset::findRejects_data()
{
    QTest::addColumn<QString>("criterion");
    QTest::addColumn<int>("code");
    QTest::newRow("two conditions") << "game='a' and path='x'" << ErrorCode::InvalidArgument;
    QTest::newRow("quote not closed") << "game='a" << ErrorCode::InvalidArgument;
    QTest::newRow("injection attempt") << "game='a' or '1'='1'" << ErrorCode::InvalidArgument;
    QTest::newRow("unknown column") << "nosuch='a'" << ErrorCode::ItemNotFound;
}

void TestRecordset::findRejects()
{
    QFETCH(QString, criterion);
    QFETCH(int, code);
    addGames({"a"});
    Recordset rs;
    rs.Open(QStringLiteral("select * from games order by game"), *m_db);
    QCOMPARE(errorCodeOf([&] { rs.Find(criterion); }), code);
}

void TestRecordset::addNewThenUpdateEachColumn()
{
    m_db->Execute(QStringLiteral("insert into softwares values ('Zed', '/bin/zed', 'last')"));
    Recordset rs;
    rs.Open(QStringLiteral("select * from softwares order by software"), *m_db);

    rs.AddNew(QStringLiteral("software"), QStringLiteral("Editor"));
    QCOMPARE(rs.Fields(0).toText(), QStringLiteral("Editor"));
    QVERIFY(rs.Fields(1).isNull());
    rs.Update(QStringLiteral("path"), QStringLiteral("/usr/bin/editor"));
    rs.Update(QStringLiteral("description"), QString());
    QCOMPARE(rs.RecordCount(), 2);

    rs.Requery();
    QCOMPARE(rs.Fields(0).toText(), QStringLiteral("Editor"));
    QCOMPARE(rs.Fields(1).toText(), QStringLiteral("/usr/bin/editor"));
    QVERIFY(!rs.Fields(2).isNull()); // an empty description stays readable text
    QCOMPARE(rs.Fields(2).toText(), QString());
    QCOMPARE(listing(*m_db, QStringLiteral("select * from softwares order by software")),
             (QStringList{"Editor", "Zed"}));
}

void TestRecordset::storedValuesReadBack_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QVariant>("expected"); // as read back; invalid: null

    QTest::newRow("date and time as sortable text")
            << "time" << QVariant(QDateTime(QDate(2026, 12, 6), QTime(10, 0))) << QVariant("2026-12-06 10:00:00");
    QTest::newRow("date alone") << "time" << QVariant(QDate(2026, 12, 6)) << QVariant("2026-12-06");
    QTest::newRow("digits into a number column") << "done" << QVariant("1") << QVariant(qint64(1));
    QTest::newRow("true as one") << "done" << QVariant(true) << QVariant(qint64(1));
    QTest::newRow("number into a text column") << "time" << QVariant(25) << QVariant("25");
    QTest::newRow("empty text is not null") << "message" << QVariant(QString()) << QVariant("");
    QTest::newRow("null") << "time" << QVariant() << QVariant();
    QTest::newRow("apostrophes and quotes") << "message" << QVariant("it's \"x\"; --") << QVariant("it's \"x\"; --");
    QTest::newRow("unicode") << "message" << QVariant("Zoë ✓ 日本") << QVariant("Zoë ✓ 日本");
}

void TestRecordset::storedValuesReadBack()
{
    QFETCH(QString, column);
    QFETCH(QVariant, value);
    QFETCH(QVariant, expected);
    Recordset rs;
    rs.Open(QStringLiteral("select * from reminders order by time desc"), *m_db);
    rs.AddNew(QStringLiteral("message"), QStringLiteral("m"));
    QCOMPARE(rs.Fields(QStringLiteral("done")).toInteger(), 0); // the column's default shows at once
    rs.Update(column, value);

    const auto check = [&](const Value& read) {
        QCOMPARE(read.isNull(), !expected.isValid());
        if (expected.isValid()) {
            QCOMPARE(read.variant().typeId(), expected.typeId());
            QCOMPARE(read.variant(), expected);
        }
    };
    check(rs.Fields(column));
    Recordset fresh;
    fresh.Open(QStringLiteral("select * from reminders order by time desc"), *m_db);
    check(fresh.Fields(column));
}

void TestRecordset::keyChangedInPlace()
{
    addGames({"apple", "Banana", "cherry"});
    const qint64 rowid = rowidOf(*m_db, QStringLiteral("apple"));
    Recordset rs;
    rs.Open(QStringLiteral("select * from games order by game"), *m_db);
    rs.MoveFirst();
    rs.Find(criterion(QStringLiteral("game"), QStringLiteral("apple")));
    rs.Update(QStringLiteral("game"), QStringLiteral("zebra"));
    rs.Update(QStringLiteral("path"), QStringLiteral("z.path"));
    QCOMPARE(rs.Fields(0).toText(), QStringLiteral("zebra"));

    rs.Requery();
    QCOMPARE(rs.RecordCount(), 3);
    QCOMPARE(walk(rs), (QStringList{"Banana", "cherry", "zebra"}));
    QCOMPARE(rowidOf(*m_db, QStringLiteral("zebra")), rowid);
    QCOMPARE(rowidOf(*m_db, QStringLiteral("apple")), -1);
}

void TestRecordset::deleteThenUpdateThenReload_data()
{
    QTest::addColumn<QString>("victim");
    QTest::addColumn<QStringList>("remaining");
    QTest::addColumn<QString>("afterMoveNext"); // empty: end of file
    QTest::newRow("first") << "apple" << QStringList{"Banana", "cherry"} << "Banana";
    QTest::newRow("middle") << "Banana" << QStringList{"apple", "cherry"} << "cherry";
    QTest::newRow("last") << "cherry" << QStringList{"apple", "Banana"} << "";
}

void TestRecordset::deleteThenUpdateThenReload()
{
    QFETCH(QString, victim);
    QFETCH(QStringList, remaining);
    QFETCH(QString, afterMoveNext);
    addGames({"apple", "Banana", "cherry"});
    Recordset rs;
    rs.Open(QStringLiteral("select * from games order by game"), *m_db);
    rs.MoveFirst();
    rs.Find(criterion(QStringLiteral("game"), victim));

    rs.Delete(adAffectCurrent);
    QCOMPARE(errorCodeOf([&] { rs.Fields(0); }), ErrorCode::NoCurrentRecord);
    QCOMPARE(errorCodeOf([&] { rs.Update(QStringLiteral("path"), QStringLiteral("p")); }), ErrorCode::NoCurrentRecord);
    QCOMPARE(errorCodeOf([&] { rs.Delete(adAffectCurrent); }), ErrorCode::NoCurrentRecord);
    rs.Update();
    QCOMPARE(rs.RecordCount(), 2);

    // Moving on passes over the deleted row, in both directions.
    rs.MoveNext();
    QCOMPARE(rs.Eof() ? QString() : rs.Fields(0).toText(), afterMoveNext);
    rs.MoveFirst();
    QCOMPARE(walk(rs), remaining);
    rs.MoveLast();
    QStringList backwards;
    while (!rs.Bof()) {
        backwards.prepend(rs.Fields(0).toText());
        rs.MovePrevious();
    }
    QCOMPARE(backwards, remaining);

    QCOMPARE(listing(*m_db, QStringLiteral("select * from games order by game")), remaining);
    rs.Requery();
    QCOMPARE(walk(rs), remaining);
}

void TestRecordset::rowRemovedByAnotherRecordset()
{
    // Several lists stay open on one connection; each sees the others' changes when it reads again.
    addGames({"a", "b"});
    Recordset first;
    Recordset second;
    first.Open(QStringLiteral("select * from games order by game"), *m_db);
    second.Open(QStringLiteral("select * from games order by game"), *m_db);

    first.AddNew(QStringLiteral("game"), QStringLiteral("c"));
    QCOMPARE(second.RecordCount(), 2);
    second.Requery();
    QCOMPARE(walk(second), (QStringList{"a", "b", "c"}));

    first.MoveFirst();
    first.Delete();
    second.MoveFirst();
    QCOMPARE(errorCodeOf([&] { second.Update(QStringLiteral("path"), QStringLiteral("p")); }),
             ErrorCode::NoCurrentRecord);
    QCOMPARE(listing(*m_db, QStringLiteral("select * from games order by game")), (QStringList{"b", "c"}));
}

void TestRecordset::valueConversions_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<int>("textCode");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("integerCode");
    QTest::addColumn<qint64>("integer");
    QTest::newRow("null") << QVariant() << ErrorCode::InvalidUseOfNull << "" << ErrorCode::InvalidUseOfNull
                          << qint64(0);
    QTest::newRow("stored number") << QVariant(qint64(1)) << 0 << "1" << 0 << qint64(1);
    QTest::newRow("digits") << QVariant("42") << 0 << "42" << 0 << qint64(42);
    QTest::newRow("digits with blanks") << QVariant(" -7 ") << 0 << " -7 " << 0 << qint64(-7);
    QTest::newRow("fraction") << QVariant(2.25) << 0 << "2.25" << 0 << qint64(2);
    QTest::newRow("words") << QVariant("done") << 0 << "done" << ErrorCode::TypeMismatch << qint64(0);
    QTest::newRow("empty text") << QVariant("") << 0 << "" << ErrorCode::TypeMismatch << qint64(0);
}

void TestRecordset::valueConversions()
{
    QFETCH(QVariant, value);
    QFETCH(int, textCode);
    QFETCH(QString, text);
    QFETCH(int, integerCode);
    QFETCH(qint64, integer);
    const Value v(value);
    QString readText;
    QCOMPARE(errorCodeOf([&] { readText = v.toText(); }), textCode);
    QCOMPARE(readText, text);
    qint64 readInteger = 0;
    QCOMPARE(errorCodeOf([&] { readInteger = v.toInteger(); }), integerCode);
    QCOMPARE(readInteger, integer);
}

void TestRecordset::reminderQueries_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QStringList>("expected"); // messages, in any order

    QTest::newRow("due at the exact second")
            << "SELECT Message,time,done From reminders WHERE time <=#2026-12-06 10:00:00# and done=0"
            << QStringList{"early", "exact", "last year"};
    QTest::newRow("due a second before")
            << "SELECT Message,time,done From reminders WHERE time <=#2026-12-06 09:59:59# and done=0"
            << QStringList{"early", "last year"};
    QTest::newRow("nothing due yet")
            << "SELECT Message,time,done From reminders WHERE time <=#2020-01-01 00:00:00# and done=0" << QStringList{};
    QTest::newRow("pending") << "SELECT * from reminders WHERE Done=0"
                             << QStringList{"early", "exact", "later", "last year", "Call #5# now"};
    QTest::newRow("hashes inside quotes stay text")
            << "select * from reminders where message = 'Call #5# now'" << QStringList{"Call #5# now"};
    QTest::newRow("quoted text before a date")
            << "SELECT * from reminders WHERE message <> 'exact' and time <=#2026-12-06 10:00:00# and done=0"
            << QStringList{"early", "last year"};
}

void TestRecordset::reminderQueries()
{
    QFETCH(QString, query);
    QFETCH(QStringList, expected);
    const QList<QVariantList> rows = {
            {"early", "2026-12-06 09:00:00", 0},     {"exact", "2026-12-06 10:00:00", 0},
            {"later", "2026-12-06 10:00:01", 0},     {"announced", "2026-12-05 08:00:00", 1},
            {"last year", "2025-12-31 23:59:59", 0}, {"Call #5# now", "2027-01-01 00:00:00", 0},
    };
    for (const QVariantList& row : rows)
        m_db->Execute(QStringLiteral("insert into reminders (message, time, done) values (?, ?, ?)"), row);

    Recordset rs;
    rs.Open(query, *m_db);
    QStringList found;
    while (!rs.Eof()) {
        found << rs.Fields(QStringLiteral("message")).toText();
        QCOMPARE(rs.Fields(2).toInteger(), 0);
        rs.MoveNext();
    }
    found.sort();
    expected.sort();
    QCOMPARE(found, expected);
}

void TestRecordset::transactions_data()
{
    QTest::addColumn<bool>("commit");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("committed") << true << QStringList{"kept"};
    QTest::newRow("rolled back") << false << QStringList{};
}

void TestRecordset::transactions()
{
    QFETCH(bool, commit);
    QFETCH(QStringList, expected);
    Recordset rs;
    rs.Open(QStringLiteral("select * from games order by game"), *m_db);
    m_db->BeginTrans();
    rs.AddNew(QStringLiteral("game"), QStringLiteral("kept"));
    rs.Update(QStringLiteral("path"), QStringLiteral("p"));
    if (commit)
        m_db->CommitTrans();
    else
        m_db->RollbackTrans();
    QCOMPARE(listing(*m_db, QStringLiteral("select * from games order by game")), expected);
    QCOMPARE(errorCodeOf([&] { m_db->CommitTrans(); }), ErrorCode::DatabaseError); // none is open now
}

void TestRecordset::openFailures_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<int>("code");
    QTest::newRow("wrong password") << "wrong password" << ErrorCode::NotADatabase;
    QTest::newRow("no password") << "no password" << ErrorCode::NotADatabase;
    QTest::newRow("missing file") << "missing" << ErrorCode::DatabaseMissing;
    QTest::newRow("text file") << "text" << ErrorCode::NotADatabase;
    QTest::newRow("short text file") << "short text" << ErrorCode::NotADatabase;
    QTest::newRow("random bytes") << "random" << ErrorCode::NotADatabase;
    QTest::newRow("empty file") << "empty" << ErrorCode::NotADatabase;
    QTest::newRow("folder") << "folder" << ErrorCode::DatabaseUnreadable;
}

void TestRecordset::openFailures()
{
    QFETCH(QString, situation);
    QFETCH(int, code);
    m_db->Close();

    QString file = m_dir->filePath(QStringLiteral("other.mdb"));
    QString key = Key;
    const auto write = [&](const QByteArray& bytes) {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    };
    QByteArray before;
    if (situation == QLatin1String("wrong password")) {
        file = m_file;
        key = QStringLiteral("tromvelskadnuprigE");
    } else if (situation == QLatin1String("no password")) {
        file = m_file;
        key.clear();
    } else if (situation == QLatin1String("text")) {
        write(QByteArray("This is a note, not a database.\n").repeated(200));
    } else if (situation == QLatin1String("short text")) {
        write("hello");
    } else if (situation == QLatin1String("random")) {
        QByteArray bytes(8192, '\0');
        for (char& b : bytes)
            b = char(QRandomGenerator::global()->bounded(256));
        write(bytes);
    } else if (situation == QLatin1String("empty")) {
        write(QByteArray());
    } else if (situation == QLatin1String("folder")) {
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("other.mdb")));
    }
    if (QFileInfo(file).isFile()) {
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        before = f.readAll();
    }

    Connection connection;
    const auto error = errorOf([&] { connection.Open(connectionString(file, key), QString(), QString(), -1); });
    QVERIFY(error);
    QCOMPARE(error->code(), code);
    QVERIFY2(error->description().contains(file), qPrintable(error->description()));
    QVERIFY(!connection.isOpen());
    // A failed open leaves every file as it was, and makes none.
    if (situation == QLatin1String("missing")) {
        QVERIFY(!QFileInfo::exists(file));
    } else if (QFileInfo(file).isFile()) {
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
    }
}

void TestRecordset::createRefusesExistingFile()
{
    addGames({"keep me"});
    m_db->Close();
    Connection other;
    QCOMPARE(errorCodeOf([&] { other.create(m_file, QStringLiteral("another key")); }), ErrorCode::DatabaseUnreadable);
    m_db->Open(connectionString(m_file, Key));
    QCOMPARE(listing(*m_db, QStringLiteral("select * from games order by game")), QStringList{"keep me"});
}

void TestRecordset::reopensAfterClose()
{
    addGames({"b", "a"});
    m_db->Close();
    QVERIFY(!m_db->isOpen());
    m_db->Open(connectionString(m_file, Key));
    QCOMPARE(m_db->fileName(), m_file);
    QCOMPARE(m_db->integrityCheck(), QStringList{"ok"});
    QCOMPARE(listing(*m_db, QStringLiteral("select * from games order by game")), (QStringList{"a", "b"}));

    // A folder name holding ';' and blanks still reaches the file.
    const QString folder = m_dir->filePath(QStringLiteral(" odd; folder "));
    QVERIFY(QDir().mkpath(folder));
    const QString odd = folder + QStringLiteral("/trovix.mdb");
    {
        Connection made;
        made.create(odd, Key);
    }
    Connection reopened;
    reopened.Open(connectionString(odd, Key));
    QCOMPARE(reopened.fileName(), odd);
}

void TestRecordset::fileIsEncrypted()
{
    const QByteArray marker = "PlaintextMarkerXyzzy";
    addGames({QString::fromLatin1(marker)});
    m_db->Close();
    QFile f(m_file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    QVERIFY(bytes.size() > 0);
    QVERIFY(!bytes.contains(marker));
    QVERIFY(!bytes.contains("CREATE TABLE"));
    QVERIFY(!bytes.startsWith("SQLite format 3"));
}

void TestRecordset::closedObjects_data()
{
    QTest::addColumn<QString>("action");
    QTest::newRow("Fields of a closed list") << "closed fields";
    QTest::newRow("MoveNext of a closed list") << "closed move";
    QTest::newRow("Eof of a closed list") << "closed eof";
    QTest::newRow("Requery of a closed list") << "closed requery";
    QTest::newRow("AddNew after the connection closed") << "connection addnew";
    QTest::newRow("Requery after the connection closed") << "connection requery";
    QTest::newRow("Open on a closed connection") << "connection open";
    QTest::newRow("Execute on a closed connection") << "connection execute";
    QTest::newRow("BeginTrans on a closed connection") << "connection begin";
}

void TestRecordset::closedObjects()
{
    QFETCH(QString, action);
    addGames({"a"});
    Recordset rs;
    rs.Open(QStringLiteral("select * from games order by game"), *m_db);
    if (action.startsWith(QLatin1String("closed"))) {
        rs.Close();
        QVERIFY(!rs.isOpen());
    } else {
        m_db->Close();
    }

    const QHash<QString, std::function<void()>> actions = {
            {"closed fields", [&] { rs.Fields(0); }},
            {"closed move", [&] { rs.MoveNext(); }},
            {"closed eof", [&] { rs.Eof(); }},
            {"closed requery", [&] { rs.Requery(); }},
            {"connection addnew", [&] { rs.AddNew(QStringLiteral("game"), QStringLiteral("b")); }},
            {"connection requery", [&] { rs.Requery(); }},
            {"connection open",
             [&] {
                 Recordset other;
                 other.Open(QStringLiteral("select * from games"), *m_db);
             }},
            {"connection execute", [&] { m_db->Execute(QStringLiteral("delete from games")); }},
            {"connection begin", [&] { m_db->BeginTrans(); }},
    };
    QVERIFY(actions.contains(action));
    QCOMPARE(errorCodeOf(actions.value(action)), ErrorCode::ObjectClosed);
}

void TestRecordset::engineFailures_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("code");
    QTest::newRow("unknown column in the query") << "open nosuch column" << ErrorCode::DatabaseError;
    QTest::newRow("unknown table") << "open nosuch table" << ErrorCode::DatabaseError;
    QTest::newRow("not a query on one table") << "open delete" << ErrorCode::InvalidArgument;
    QTest::newRow("bad statement") << "execute bad" << ErrorCode::DatabaseError;
    QTest::newRow("too few values") << "execute count" << ErrorCode::InvalidArgument;
    QTest::newRow("values for two statements") << "execute two" << ErrorCode::InvalidArgument;
    QTest::newRow("AddNew of an unknown column") << "addnew nosuch" << ErrorCode::ItemNotFound;
    QTest::newRow("Update of an unknown column") << "update nosuch" << ErrorCode::ItemNotFound;
    QTest::newRow("null into a required column") << "update constraint" << ErrorCode::DatabaseError;
    QTest::newRow("Delete of more than the current row") << "delete all" << ErrorCode::InvalidArgument;
}

void TestRecordset::engineFailures()
{
    QFETCH(QString, action);
    QFETCH(int, code);
    m_db->Execute(QStringLiteral("insert into reminders (message, time, done) values ('m', 't', 0)"));
    Recordset rs;
    rs.Open(QStringLiteral("select * from reminders order by time desc"), *m_db);

    const QHash<QString, std::function<void()>> actions = {
            {"open nosuch column",
             [&] {
                 Recordset r;
                 r.Open(QStringLiteral("select nosuch from games"), *m_db);
             }},
            {"open nosuch table",
             [&] {
                 Recordset r;
                 r.Open(QStringLiteral("select * from nosuch"), *m_db);
             }},
            {"open delete",
             [&] {
                 Recordset r;
                 r.Open(QStringLiteral("delete from games"), *m_db);
             }},
            {"execute bad", [&] { m_db->Execute(QStringLiteral("insert into nosuch values (1)")); }},
            {"execute count", [&] { m_db->Execute(QStringLiteral("insert into games values (?, ?)"), {1}); }},
            {"execute two",
             [&] { m_db->Execute(QStringLiteral("delete from games where game = ?; delete from games"), {1}); }},
            {"addnew nosuch", [&] { rs.AddNew(QStringLiteral("nosuch"), 1); }},
            {"update nosuch", [&] { rs.Update(QStringLiteral("nosuch"), 1); }},
            {"update constraint", [&] { rs.Update(QStringLiteral("done"), QVariant()); }},
            {"delete all", [&] { rs.Delete(3); }},
    };
    QVERIFY(actions.contains(action));
    const auto error = errorOf(actions.value(action));
    QVERIFY(error);
    QCOMPARE(error->code(), code);
    QVERIFY(!error->description().isEmpty());
    // The list and its row are untouched by the failed call.
    QCOMPARE(rs.Fields(0).toText(), QStringLiteral("m"));
    QCOMPARE(rs.Fields(2).toInteger(), 0);
}

QTEST_GUILESS_MAIN(TestRecordset)
#include "tst_recordset.moc"
