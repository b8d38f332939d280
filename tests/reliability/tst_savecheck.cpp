// The crash-safety checker against real database files: what a kill may leave is accepted, a lost
// or half-written change is caught.
#include "platform/connection.h"
#include "programfolder.h"
#include "savejournal.h"
#include "store/catalog.h"

#include <QtTest>

using namespace trovix;
using namespace trovix::SaveJournal;

using InFlight = Verdict::InFlight;
Q_DECLARE_METATYPE(trovix::SaveJournal::Verdict::InFlight)

namespace {

// "table token" stores the row the driver writes for the token; anything else is a statement run as it is.
void store(const QString& folder, const QStringList& rows)
{
    Connection connection;
    connection.Open(Catalog::connectionString(folder));
    for (const QString& row : rows) {
        const QStringList words = row.split(QLatin1Char(' '));
        if (words.size() != 2 || !tables().contains(words.at(0))) {
            connection.Execute(row);
            continue;
        }
        const QStringList values = rowFor(words.at(0), words.at(1));
        const QStringList columns = Catalog::table(words.at(0)).columns;
        QStringList marks;
        QVariantList bound;
        for (const QString& value : values) {
            marks << QStringLiteral("?");
            bound << value;
        }
        connection.Execute(QStringLiteral("insert into %1 (%2) values (%3)")
                                   .arg(words.at(0), columns.join(QLatin1Char(',')), marks.join(QLatin1Char(','))),
                           bound);
    }
}

} // namespace

class SaveCheckTest : public QObject
{
    Q_OBJECT

private slots:
    void verdicts_data();
    void verdicts();
    void journalRecordsReadBack();
};

void SaveCheckTest::verdicts_data()
{
    QTest::addColumn<QString>("journal");
    QTest::addColumn<QStringList>("stored");
    QTest::addColumn<QStringList>("problems"); // a part of each, in order
    QTest::addColumn<InFlight>("inFlight");

    const QString twoDone = QStringLiteral("begin 1 new softwares - t1\ndone 1\n"
                                           "begin 2 new reminders - t2\ndone 2\n");
    const QString modifyDone = QStringLiteral("begin 1 new games - t1\ndone 1\nbegin 2 modify games t1 t2\ndone 2\n");
    const QString modifyInFlight = QStringLiteral("begin 1 new games - t1\ndone 1\nbegin 2 modify games t1 t2\n");
    const QString deleteDone =
            QStringLiteral("begin 1 new windows - t1\ndone 1\nbegin 2 delete windows t1 -\ndone 2\n");
    const QString deleteInFlight = QStringLiteral("begin 1 new windows - t1\ndone 1\nbegin 2 delete windows t1 -\n");
    const QString application = QStringLiteral("begin 1 application documents - t1\ndone 1\n");

    // What a kill may leave.
    QTest::newRow("nothing journaled, the delivered file")
            << QString() << QStringList() << QStringList() << InFlight::None;
    QTest::newRow("every change done is stored")
            << twoDone << QStringList{"softwares t1", "reminders t2"} << QStringList() << InFlight::None;
    QTest::newRow("a done modify left only its new row")
            << modifyDone << QStringList{"games t2"} << QStringList() << InFlight::None;
    QTest::newRow("a done delete left no row") << deleteDone << QStringList{} << QStringList() << InFlight::None;
    QTest::newRow("a new row in flight, stored")
            << twoDone + "begin 3 new documents - t3\n"
            << QStringList{"softwares t1", "reminders t2", "documents t3"} << QStringList() << InFlight::Applied;
    QTest::newRow("a new row in flight, not stored")
            << twoDone + "begin 3 new documents - t3\n"
            << QStringList{"softwares t1", "reminders t2"} << QStringList() << InFlight::Absent;
    QTest::newRow("a modify in flight, stored")
            << modifyInFlight << QStringList{"games t2"} << QStringList() << InFlight::Applied;
    QTest::newRow("a modify in flight, not stored")
            << modifyInFlight << QStringList{"games t1"} << QStringList() << InFlight::Absent;
    QTest::newRow("a delete in flight, stored")
            << deleteInFlight << QStringList{} << QStringList() << InFlight::Applied;
    QTest::newRow("a delete in flight, not stored")
            << deleteInFlight << QStringList{"windows t1"} << QStringList() << InFlight::Absent;
    QTest::newRow("a new application in flight, stored")
            << "begin 1 application documents - t1\n"
            << QStringList{"update documents set path = '/usr/bin/viewer-t1' where document = 'DOCUMENTS'"}
            << QStringList() << InFlight::Applied;
    QTest::newRow("an application done")
            << application
            << QStringList{"update documents set path = '/usr/bin/viewer-t1' where document = 'DOCUMENTS'"}
            << QStringList() << InFlight::None;
    QTest::newRow("a change settled as not stored, and one done after it")
            << "begin 1 new games - t1\nsettle 1 absent\nbegin 2 new games - t2\ndone 2\n"
            << QStringList{"games t2"} << QStringList() << InFlight::None;
    QTest::newRow("a last line cut short by the kill is not a change")
            << "begin 1 new games - t1\ndone 1\nbegin 2 new games - t" << QStringList{"games t1"} << QStringList()
            << InFlight::None;

    // What it must not leave.
    QTest::newRow("a journaled row is missing")
            << twoDone << QStringList{"reminders t2"} << QStringList{"softwares: journaled rows are missing: t1"}
            << InFlight::None;
    QTest::newRow("a journaled delete is undone")
            << deleteDone << QStringList{"windows t1"} << QStringList{"windows: rows that are not journaled: t1"}
            << InFlight::None;
    QTest::newRow("a journaled modify is undone")
            << modifyDone << QStringList{"games t1"}
            << QStringList{"games: journaled rows are missing: t2", "games: rows that are not journaled: t1"}
            << InFlight::None;
    QTest::newRow("a done modify left its old row too")
            << modifyDone << QStringList{"games t1", "games t2"}
            << QStringList{"games: rows that are not journaled: t1"} << InFlight::None;
    QTest::newRow("a half-written row: the name without its path")
            << "begin 1 new softwares - t1\n"
            << QStringList{"insert into softwares (software) values ('Tool t1')"}
            << QStringList{"softwares: a half-written row"} << InFlight::None;
    QTest::newRow("a half-written modify: the new name over the old path")
            << modifyInFlight << QStringList{"insert into games (game, path) values ('Game t2', '/opt/t1/bin/play')"}
            << QStringList{"games: a half-written row",
                           "the change in flight, #2 (modify in games), is stored only in part"}
            << InFlight::None;
    QTest::newRow("a reminder without its time")
            << "begin 1 new reminders - t1\ndone 1\n"
            << QStringList{"insert into reminders (message, time, done) values ('Remind t1', null, 0)"}
            << QStringList{"reminders: a half-written row", "reminders: journaled rows are missing: t1"}
            << InFlight::None;
    QTest::newRow("a row with a wrong column: a reminder marked done")
            << "begin 1 new reminders - t1\ndone 1\n"
            << QStringList{"reminders t1", "update reminders set done = 1"}
            << QStringList{"reminders: a half-written row", "reminders: journaled rows are missing: t1"}
            << InFlight::None;
    QTest::newRow("a row never written")
            << QString() << QStringList{"insert into games (game, path) values ('Minesweeper', '/opt/mines')"}
            << QStringList{"games: a row that was never written"} << InFlight::None;
    QTest::newRow("a row not journaled, though whole")
            << twoDone << QStringList{"softwares t1", "reminders t2", "games t7"}
            << QStringList{"games: rows that are not journaled: t7"} << InFlight::None;
    QTest::newRow("a row stored twice") << twoDone << QStringList{"softwares t1", "softwares t1", "reminders t2"}
                                        << QStringList{"softwares: the row of t1 is there twice"} << InFlight::None;
    QTest::newRow("a modify in flight left both rows") << modifyInFlight << QStringList{"games t1", "games t2"}
                                                       << QStringList{"the change in flight, #2"} << InFlight::None;
    QTest::newRow("a modify in flight left neither row")
            << modifyInFlight << QStringList{} << QStringList{"the change in flight, #2"} << InFlight::None;
    QTest::newRow("a change in flight stored, but one done before it lost")
            << twoDone + "begin 3 new documents - t3\n"
            << QStringList{"softwares t1", "documents t3"} << QStringList{"reminders: journaled rows are missing: t2"}
            << InFlight::None;
    QTest::newRow("a row settled as not stored is there")
            << "begin 1 new games - t1\nsettle 1 absent\n"
            << QStringList{"games t1"} << QStringList{"games: rows that are not journaled: t1"} << InFlight::None;
    QTest::newRow("the application journaled is not stored")
            << application << QStringList{}
            << QStringList{"documents: the application is xdg-open, journaled /usr/bin/viewer-t1"} << InFlight::None;
    QTest::newRow("the application row is gone") << QString() << QStringList{"delete from documents"}
                                                 << QStringList{"documents: 0 application rows"} << InFlight::None;
    QTest::newRow("the application row half written")
            << "begin 1 application documents - t1\n"
            << QStringList{"update documents set path = '/usr/bin/viewer-' where document = 'DOCUMENTS'"}
            << QStringList{"documents: the application row is not one that was stored"} << InFlight::None;
    QTest::newRow("a done record without its change")
            << "done 4\n"
            << QStringList{} << QStringList{"ends a change that is not in flight"} << InFlight::None;
    QTest::newRow("a change begun over one still in flight")
            << "begin 1 new games - t1\nbegin 2 new games - t2\n"
            << QStringList{} << QStringList{"neither done nor settled"} << InFlight::None;
}

void SaveCheckTest::verdicts()
{
    QFETCH(QString, journal);
    QFETCH(QStringList, stored);
    QFETCH(QStringList, problems);
    QFETCH(InFlight, inFlight);

    ProgramFolder folder;
    store(folder.path(), stored);
    const Verdict verdict = check(replay(journal.toUtf8()), readRows(folder.path()));
    bool asExpected = verdict.problems.size() == problems.size();
    for (qsizetype i = 0; asExpected && i < problems.size(); ++i)
        asExpected = verdict.problems.at(i).contains(problems.at(i));
    QVERIFY2(asExpected, qPrintable(verdict.problems.join(QStringLiteral("; "))));
    QCOMPARE(verdict.inFlight, inFlight);
}

// The records the driver appends are the ones the checker reads, each synced as a whole line.
void SaveCheckTest::journalRecordsReadBack()
{
    QTemporaryDir dir;
    const QString journal = dir.filePath(QStringLiteral("journal"));
    const Change added{1, Op::New, Catalog::Softwares, {}, QStringLiteral("t1")};
    const Change changed{2, Op::Modify, Catalog::Softwares, QStringLiteral("t1"), QStringLiteral("t2")};
    const Change application{3, Op::Application, Catalog::Documents, {}, QStringLiteral("t3")};
    QVERIFY(append(journal, record(added)));
    QVERIFY(append(journal, QStringLiteral("done 1")));
    QVERIFY(append(journal, record(changed)));
    QVERIFY(append(journal, QStringLiteral("settle 2 applied")));
    QVERIFY(append(journal, record(application)));

    QFile file(journal);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const Replay replayed = replay(file.readAll());
    QCOMPARE(replayed.problems, QStringList());
    QCOMPARE(replayed.state.tokens.value(Catalog::Softwares), QSet<QString>{QStringLiteral("t2")});
    QCOMPARE(replayed.done, 1);
    QCOMPARE(replayed.settledApplied, 1);
    QCOMPARE(replayed.lastSeq, 3);
    QVERIFY(replayed.change.has_value());
    QCOMPARE(replayed.change->op, Op::Application);
    QCOMPARE(replayed.change->oldToken, QString());
    QCOMPARE(replayed.change->newToken, QStringLiteral("t3"));
    QCOMPARE(replayed.completeBytes, file.size());
}

QTEST_GUILESS_MAIN(SaveCheckTest)
#include "tst_savecheck.moc"
