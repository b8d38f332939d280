// The desktop's search over a program folder: what every term finds and in which order, odd text stored and
// looked for, and a file that cannot be read giving no results at once instead of a crash or a wait.
#include "core/catalog.h"
#include "core/database.h"
#include "core/programfiles.h"
#include "core/searchindex.h"
#include "oddtext.h"
#include "programfolder.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTest>

using namespace trovix;

namespace {

// Rows of every list, each in its table's column order; reminders are (message, time, done).
const QList<std::pair<QString, QVariantList>> Rows = {
        {"softwares", {"Timesheet", "/opt/ts", "Hours worked"}},
        {"softwares", {"Time Tracker", "/opt/tt", "A sheet of hours"}},
        {"softwares", {"My Timesheet", "/opt/my", QVariant()}},
        {"softwares", {"Overtime", "/opt/ot", "Extra hours"}},
        {"softwares", {"Caf\u00e9 Cr\u00e8me", "/opt/cafe", "Espresso"}},
        {"softwares", {"<b>Bold</b> & co", "/opt/bold", "<i>markup</i>"}},
        {"softwares", {"SOFTWARES", "/opt/root", "the root word"}},
        {"softwares", {"  Padded  ", "/opt/p1", QVariant()}},
        {"softwares", {"Padded", "/opt/p2", QVariant()}},
        {"softwares", {QVariant(), "/opt/null", "nameless"}},
        {"softwares", {42, "/opt/42", 1.5}},
        {"games", {"Time Pilot", "/g/tp"}},
        {"games", {"Sheetstorm", "/g/ss"}},
        {"windows", {"timesheet-cli", "ts --report"}},
        {"documents", {"Timesheet 2024.ods", "/d/ts.ods"}},
        {"reminders", {"Send timesheet", "2031-05-17 09:00:00", 0}},
        {"reminders", {"Old timesheet", "2020-01-01 09:00:00", 1}},
        {"reminders", {"Odd flag timesheet", "2031-05-17 09:00:00", "later"}},
};

void insert(Database& database, const QString& table, const QVariantList& values)
{
    database.execute(
            QStringLiteral("insert into %1 values (?%2)").arg(table, QStringLiteral(", ?").repeated(values.size() - 1)),
            values);
}

// What the ids name, as "table:name".
QStringList shown(const SearchIndex& index, const QStringList& ids)
{
    QStringList names;
    for (const QString& id : ids) {
        const std::optional<SearchResult> result = index.describe(id);
        names << id.section(':', 0, 0) + ':' + (result ? result->name : QStringLiteral("(nothing)"));
    }
    return names;
}

} // namespace

class SearchTest : public QObject
{
    Q_OBJECT

    ProgramFolder m_folder;

private slots:
    void initTestCase()
    {
        Database database;
        Catalog::open(database, m_folder.path());
        for (const auto& [table, values] : Rows)
            insert(database, table, values);
    }

    void findsAndRanks_data()
    {
        QTest::addColumn<QStringList>("terms");
        QTest::addColumn<QStringList>("found");
        // The name starts with the terms, then a word of it does, then they are anywhere in it, then in the
        // description; within a rank the lists' order (softwares, games, windows, documents, reminders).
        QTest::newRow("ranks over the lists")
                << QStringList{"timesh"}
                << QStringList{"softwares:Timesheet", "windows:timesheet-cli", "documents:Timesheet 2024.ods",
                               "softwares:My Timesheet", "reminders:Send timesheet"};
        QTest::newRow("inside a word after the starts")
                << QStringList{"time"} << QStringList{"softwares:Time Tracker",
                                                      "softwares:Timesheet",
                                                      "games:Time Pilot",
                                                      "windows:timesheet-cli",
                                                      "documents:Timesheet 2024.ods",
                                                      "softwares:My Timesheet",
                                                      "reminders:Send timesheet",
                                                      "softwares:Overtime"};
        QTest::newRow("every term, one in the description")
                << QStringList{"sheet", "hours"} << QStringList{"softwares:Time Tracker", "softwares:Timesheet"};
        QTest::newRow("two terms as a phrase") << QStringList{"TIME", "pilot"} << QStringList{"games:Time Pilot"};
        QTest::newRow("one term with blanks, out of order")
                << QStringList{"  pilot\ttime "} << QStringList{"games:Time Pilot"};
        QTest::newRow("a term that is nowhere") << QStringList{"time", "zebra"} << QStringList{};
        QTest::newRow("accents ignored") << QStringList{"cafe creme"} << QStringList{"softwares:Caf\u00e9 Cr\u00e8me"};
        QTest::newRow("accents in the term")
                << QStringList{"CR\u00c8ME"} << QStringList{"softwares:Caf\u00e9 Cr\u00e8me"};
        QTest::newRow("decomposed term") << QStringList{"Cafe\u0301"} << QStringList{"softwares:Caf\u00e9 Cr\u00e8me"};
        QTest::newRow("description only") << QStringList{"espresso"} << QStringList{"softwares:Caf\u00e9 Cr\u00e8me"};
        QTest::newRow("markup kept as text") << QStringList{"<b>bold</b>"} << QStringList{"softwares:<b>Bold</b> & co"};
        QTest::newRow("markup of a description") << QStringList{"<i>"} << QStringList{"softwares:<b>Bold</b> & co"};
        QTest::newRow("the root word is no entry") << QStringList{"softwares"} << QStringList{};
        QTest::newRow("trimmed, each name once") << QStringList{"padded"} << QStringList{"softwares:Padded"};
        QTest::newRow("a number stored as a name") << QStringList{"42"} << QStringList{"softwares:42"};
        QTest::newRow("a number stored as a description") << QStringList{"1.5"} << QStringList{"softwares:42"};
        QTest::newRow("no name, no entry") << QStringList{"nameless"} << QStringList{};
        QTest::newRow("a reminder done") << QStringList{"old", "timesheet"} << QStringList{};
        QTest::newRow("a reminder whose flag is no number") << QStringList{"flag"} << QStringList{};
        QTest::newRow("no terms") << QStringList{} << QStringList{};
        QTest::newRow("blank terms") << QStringList{" ", "\t\n"} << QStringList{};
        QTest::newRow("only combining marks") << QStringList{"\u0301\u0308"} << QStringList{};
        // Odd text looked for finds nothing here, but the one blank-padded word.
        for (const auto& [sample, odd, typable] : oddtext::Samples) {
            Q_UNUSED(typable);
            QTest::addRow("odd term: %s", sample)
                    << QStringList{odd}
                    << (odd.trimmed() == "padded" ? QStringList{"softwares:Padded"} : QStringList{});
        }
    }
    void findsAndRanks()
    {
        QFETCH(QStringList, terms);
        QFETCH(QStringList, found);
        SearchIndex index(m_folder.path());
        QVERIFY2(index.refresh(), qPrintable(index.lastError()));
        QCOMPARE(shown(index, index.find(terms)), found);
    }

    void describesAsTheListsShow_data()
    {
        QTest::addColumn<QString>("term");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("icon");
        QTest::newRow("software") << "overtime"
                                  << "Softwares"
                                  << "trovix-softwares";
        QTest::newRow("game") << "sheetstorm"
                              << "Games"
                              << "trovix-games";
        QTest::newRow("command line") << "cli"
                                      << "Windows Softwares"
                                      << "trovix-windows";
        QTest::newRow("document") << "ods"
                                  << "Documents"
                                  << "trovix-documents";
        QTest::newRow("reminder: its due time") << "send"
                                                << "2031-05-17 9:00:00 AM"
                                                << "trovix-reminders";
    }
    void describesAsTheListsShow()
    {
        QFETCH(QString, term);
        QFETCH(QString, description);
        QFETCH(QString, icon);
        SearchIndex index(m_folder.path());
        QVERIFY(index.refresh());
        const QStringList ids = index.find({term});
        QCOMPARE(ids.size(), 1);
        const std::optional<SearchResult> result = index.describe(ids.first());
        QVERIFY(result);
        QCOMPARE(result->description, description);
        QCOMPARE(result->iconName, icon);
        QVERIFY(!index.describe(result->id + "0").has_value());
    }

    // Odd text stored as a name is found by itself and shown exactly as the list shows it (trimmed).
    void oddNamesFound_data()
    {
        QTest::addColumn<QString>("name");
        for (const auto& [sample, odd, typable] : oddtext::Samples) {
            Q_UNUSED(typable);
            QTest::newRow(sample) << odd;
        }
    }
    void oddNamesFound()
    {
        QFETCH(QString, name);
        ProgramFolder folder;
        {
            Database database;
            Catalog::open(database, folder.path());
            insert(database, Catalog::Softwares, {name, "/opt/odd", name});
            insert(database, Catalog::Reminders, {name, "2031-01-01 00:00:00", 0});
        }
        SearchIndex index(folder.path());
        QVERIFY(index.refresh());
        const QStringList expected =
                name.trimmed().isEmpty() ? QStringList{}
                                         : QStringList{"softwares:" + name.trimmed(), "reminders:" + name.trimmed()};
        QCOMPARE(shown(index, index.find({name})), expected);
    }

    // A file that cannot be read gives no results and a reason, at once; one that is only read-only is read.
    void unreadableFileGivesNoResults_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("readable");
        QTest::newRow("missing") << "missing" << false;
        QTest::newRow("empty") << "empty" << false;
        QTest::newRow("text") << "text" << false;
        QTest::newRow("cut short") << "cut short" << false;
        QTest::newRow("a folder") << "folder" << false;
        QTest::newRow("locked by a writer") << "locked" << false;
        QTest::newRow("read-only") << "read-only" << true;
    }
    void unreadableFileGivesNoResults()
    {
        QFETCH(QString, how);
        QFETCH(bool, readable);
        ProgramFolder folder;
        const QString file = folder.file(ProgramFiles::Database);
        {
            Database database;
            Catalog::open(database, folder.path());
            insert(database, Catalog::Softwares, {"Timesheet", "/opt/ts", QVariant()});
        }
        Database writer;
        QFile data(file);
        QVERIFY(data.open(QIODevice::ReadOnly));
        const QByteArray bytes = data.readAll();
        data.close();
        if (how != "locked" && how != "read-only")
            QVERIFY(QFile::remove(file));
        if (how == "empty" || how == "text" || how == "cut short") {
            QVERIFY(data.open(QIODevice::WriteOnly));
            data.write(how == "text" ? QByteArray("not a database\n").repeated(100)
                                     : bytes.left(how == "empty" ? 0 : 2048));
            data.close();
        } else if (how == "folder") {
            QVERIFY(QDir().mkdir(file));
        } else if (how == "locked") {
            Catalog::open(writer, folder.path());
            writer.execute("BEGIN EXCLUSIVE");
        } else if (how == "read-only") {
            QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup));
        }

        SearchIndex index(folder.path());
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(index.refresh(), readable);
        QCOMPARE(index.find({"timesheet"}).size(), readable ? 1 : 0);
        QCOMPARE(index.lastError().isEmpty(), readable);
        QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
        if (how == "locked") {
            // The lock gone, the next request reads the file.
            writer.execute("COMMIT");
            QVERIFY(index.refresh());
            QCOMPARE(index.find({"timesheet"}).size(), 1);
        }
        if (how == "read-only") {
            QFile reread(file);
            QVERIFY(reread.open(QIODevice::ReadOnly));
            QCOMPARE(reread.readAll(), bytes);
        }
    }

    // The index follows the file: a change another program makes, a file put in its place, a file removed.
    void followsTheFile_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("unchanged") << "none" << QStringList{"softwares:Timesheet", "reminders:Timesheet due"};
        QTest::newRow("a row added") << "add"
                                     << QStringList{"softwares:Timesheet", "games:Timesheet Quest",
                                                    "reminders:Timesheet due"};
        QTest::newRow("a reminder announced") << "announce" << QStringList{"softwares:Timesheet"};
        QTest::newRow("another file put in place") << "replace" << QStringList{"games:Timesheet Quest"};
        QTest::newRow("the file removed") << "remove" << QStringList{};
    }
    void followsTheFile()
    {
        QFETCH(QString, change);
        QFETCH(QStringList, found);
        ProgramFolder folder;
        ProgramFolder other;
        Database database;
        Catalog::open(database, folder.path());
        insert(database, Catalog::Softwares, {"Timesheet", "/opt/ts", QVariant()});
        insert(database, Catalog::Reminders, {"Timesheet due", "2031-01-01 00:00:00", 0});
        SearchIndex index(folder.path());
        QVERIFY(index.refresh());
        QCOMPARE(index.find({"timesheet"}).size(), 2);
        if (change == "add") {
            insert(database, Catalog::Games, {"Timesheet Quest", "/g/q"});
        } else if (change == "announce") {
            database.execute("update reminders set done = 1");
        } else if (change == "replace") {
            Database replacement;
            Catalog::open(replacement, other.path());
            insert(replacement, Catalog::Games, {"Timesheet Quest", "/g/q"});
            replacement.close();
            QVERIFY(::rename(QFile::encodeName(other.file(ProgramFiles::Database)).constData(),
                             QFile::encodeName(folder.file(ProgramFiles::Database)).constData())
                    == 0);
        } else if (change == "remove") {
            QVERIFY(QFile::remove(folder.file(ProgramFiles::Database)));
        }
        database.close();
        QCOMPARE(index.refresh(), change != "remove");
        QCOMPARE(shown(index, index.find({"timesheet"})), found);
    }

    // Never more than the results shown, and the first ones by rank.
    void atMostTwentyResults()
    {
        ProgramFolder folder;
        {
            Database database;
            Catalog::open(database, folder.path());
            database.transaction([&] {
                for (int i = 0; i < 50; ++i)
                    insert(database, Catalog::Games,
                           {QStringLiteral("Zeta game %1").arg(i, 2, 10, QLatin1Char('0')), "/g"});
                insert(database, Catalog::Windows, {"game", "/w"});
            });
        }
        SearchIndex index(folder.path());
        QVERIFY(index.refresh());
        const QStringList found = shown(index, index.find({"game"}));
        QCOMPARE(found.size(), SearchIndex::MaxResults);
        QCOMPARE(found.first(), "windows:game");
        QCOMPARE(found.last(), "games:Zeta game 18");
    }
};

QTEST_GUILESS_MAIN(SearchTest)
#include "tst_search.moc"
