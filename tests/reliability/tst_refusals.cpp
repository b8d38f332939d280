// Every write the program makes, refused by every cause a desktop meets: the file read-only, the disk
// full, another process holding the write lock. A refusal stores nothing, keeps the window as it was
// with what was typed, says so, and once the cause is gone the same action goes through.
#include "windowdriver.h"

#include <csignal>
#include <cstdio>
#include <sys/resource.h>

using namespace trovix;
using namespace trovix::shown;

namespace {

const char* const HoldLockArgument = "--hold-write-lock";

enum class Cause { ReadOnlyFile, FileSizeLimit, OtherProcess };
enum class Writer { SaveNew, SaveModify, Delete, SetApplication, MarkDone };
// The window, the write it makes and what refuses it.
using Refusal = std::tuple<ChildWindow, Writer, Cause>;

// The start, then the alphabet over and over up to the length.
QString longText(const QString& start, int length)
{
    return (start + QStringLiteral("abcdefghijklmnopqrstuvwxyz").repeated(length / 26 + 1)).left(length);
}

// Long enough that storing it needs pages the file does not have yet.
const QString NewPath = longText("/opt/renamed/", 3000);
const QString NewDescription = "Fresh \"description\"";
const QString NewMessage = longText("Lunch with Bob ", 2500);
const QString NewApplication = longText("/usr/bin/", 3000);

} // namespace

class RefusalsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // A write past the file-size limit must fail with an error, not end the process.
        std::signal(SIGXFSZ, SIG_IGN);
    }

    void refusedWritesStoreNothingAndRecover_data()
    {
        QTest::addColumn<Refusal>("row");
        QList<std::tuple<QString, ChildWindow, Writer>> writers;
        for (const Kind& k : Kinds + QList<Kind>{{"reminders", ChildWindow::Reminders, nullptr}})
            writers << std::tuple{k.tag + QStringLiteral(" Save (New)"), k.which, Writer::SaveNew}
                    << std::tuple{k.tag + QStringLiteral(" Save (Modify)"), k.which, Writer::SaveModify}
                    << std::tuple{k.tag + QStringLiteral(" Delete"), k.which, Writer::Delete};
        writers << std::tuple{"documents SET", ChildWindow::Documents, Writer::SetApplication}
                << std::tuple{"due check marks done", ChildWindow::Reminders, Writer::MarkDone};
        for (const auto& [reason, cause] :
             QList<std::pair<const char*, Cause>>{{"read-only file", Cause::ReadOnlyFile},
                                                  {"disk full (file size limit)", Cause::FileSizeLimit},
                                                  {"locked by another process", Cause::OtherProcess}})
            for (const auto& [name, which, writer] : writers)
                QTest::newRow(qPrintable(QStringLiteral("%1, %2").arg(name, reason))) << Refusal{which, writer, cause};
    }

    void refusedWritesStoreNothingAndRecover()
    {
        const auto [which, writer, cause] = fetchRow<Refusal>();
        WindowRun run;
        run.services->clock = Evening;
        const QString table = tableOf(which);
        const bool reminders = which == ChildWindow::Reminders;
        const QString dueStamp =
                Evening.addSecs(writer == Writer::MarkDone ? -60 : 86400).toString(Catalog::TimeFormat);
        // A reminder pending for later keeps the due check watching.
        const QDateTime later = Evening.addDays(2);
        run.addReminder("Later", later.toString(Catalog::TimeFormat));
        // One entry stored before the refusal begins.
        reminders ? run.addReminder("Tool", dueStamp) : run.addEntry(table, "Tool", "/bin/tool");

        std::unique_ptr<ReadOnlyFile> protection;
        if (cause == Cause::ReadOnlyFile) {
            protection = std::make_unique<ReadOnlyFile>(run.folder.file(ProgramFiles::Database));
            if (!protection->isReadOnly())
                QSKIP("cannot make the database file read-only here");
            // As when the program starts on a file it may only read.
            run.session->database().close();
            Catalog::open(run.session->database(), run.folder.path());
        }

        ListWindow* w = writer == Writer::MarkDone ? nullptr : run.show(which);
        auto* documents = qobject_cast<DocumentsWindow*>(w);

        // The window brought to the point of the action, with what the user typed: the boxes in order, the
        // message or the path pasted, and for a reminder PM picked on today's date.
        const QString newName = "Renamed \"tool\"";
        if (writer == Writer::SaveModify || writer == Writer::Delete) {
            clickNode(w, nodeByText(w, "Tool"));
            QCOMPARE(treeOf(w)->selectedNode(), nodeByText(w, "Tool"));
        }
        QStringList typed;
        if (writer == Writer::SaveNew || writer == Writer::SaveModify) {
            clickButton(w, writer == Writer::SaveNew ? 3 : 4);
            typed = reminders ? QStringList{NewMessage, "1", "15"}
                              : QStringList{newName, NewPath, NewDescription}.mid(0, hasDescription(which) ? 3 : 2);
            for (int i = 0; i < typed.size(); ++i)
                enterText(field(w, i), typed.at(i), i == (reminders ? 0 : 1) ? Input::Pasted : Input::Typed);
            if (reminders) {
                part<QComboBox>(w, "halfDayBox")->setCurrentText("PM");
                part<QDateEdit>(w, "dateEdit")->setDate(Evening.date());
            }
        }
        if (writer == Writer::SetApplication) {
            clickButton(w, 6);
            enterText(part<TextBox>(documents, "applicationEdit"), NewApplication, Input::Pasted);
        }

        const QStringList before = run.rows(table);
        const auto act = [&] {
            if (writer == Writer::MarkDone) {
                // The user ends a chime under way, as every chime is ended.
                if (RemindersWindow* announcing = run.session->remindersIfLoaded())
                    clickButton(announcing, 6);
                run.tick();
            } else if (writer == Writer::SetApplication) {
                QTest::mouseClick(part(documents, "setLabel"), Qt::LeftButton);
            } else {
                clickButton(w, writer == Writer::Delete ? 5 : 1);
            }
        };

        // The refusal. The write lock is held by another process: the test program started again in the
        // holder's part, which lets the lock go when its input ends.
        QProcess holder;
        holder.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        if (cause == Cause::OtherProcess) {
            holder.start(QCoreApplication::applicationFilePath(), {HoldLockArgument, run.folder.path()});
            while (!holder.canReadLine() && holder.waitForReadyRead(5000)) {
            }
            QVERIFY2(holder.readLine().trimmed() == "held", "the other process did not take the lock");
        }
        // The disk full: files may not grow past a few hundred bytes while the action runs, so every write that
        // has to extend a file fails, the journal's first page included. False when the limit could not be set.
        const auto refused = [&] {
            rlimit before{};
            getrlimit(RLIMIT_FSIZE, &before);
            rlimit tight = before;
            tight.rlim_cur = 512;
            const bool limited = cause == Cause::FileSizeLimit && setrlimit(RLIMIT_FSIZE, &tight) == 0;
            act();
            if (limited)
                setrlimit(RLIMIT_FSIZE, &before);
            return limited || cause != Cause::FileSizeLimit;
        };
        QVERIFY(refused());

        QCOMPARE(run.message(), writer == Writer::MarkDone ? Failure : ListWindow::StoreRefused);
        QCOMPARE(run.rows(table), before);
        if (writer == Writer::SaveNew || writer == Writer::SaveModify) {
            QVERIFY(editorOpen(w));
            QVERIFY(part<QAction>(w, "saveAction")->isEnabled());
            QVERIFY(!treeOf(w)->isEnabled());
            QCOMPARE(w->isModifying(), writer == Writer::SaveModify);
            QStringList shown;
            for (int i = 0; i < typed.size(); ++i)
                shown << field(w, i)->text();
            if (reminders)
                shown << part<QComboBox>(w, "halfDayBox")->currentText();
            QCOMPARE(shown, typed + (reminders ? QStringList{"PM"} : QStringList()));
        } else if (writer == Writer::Delete) {
            QVERIFY(run.services->sounds.isEmpty());
            QVERIFY(nodeByText(w, "Tool"));
            QCOMPARE(treeOf(w)->selectedNode(), nodeByText(w, "Tool"));
            QVERIFY(part<QAction>(w, "deleteAction")->isEnabled());
        } else if (writer == Writer::SetApplication) {
            QVERIFY(!part<QGroupBox>(documents, "applicationFrame")->isHidden());
            QCOMPARE(part<TextBox>(documents, "applicationEdit")->text(), NewApplication);
            QCOMPARE(documents->applicationPath(), Catalog::DefaultDocumentsApplication);
        } else {
            // Announced all the same, once; a later reminder comes at its time, the refused one not again.
            QCOMPARE(run.notifications(), 1);
            QVERIFY(!run.watching());
            run.services->clock = later;
            QVERIFY(refused());
            QCOMPARE(run.notifications(), 2);
            QCOMPARE(run.session->remindersIfLoaded()->shownMessage(), "Later");
            QCOMPARE(run.rows(table), before);
        }
        if (writer != Writer::MarkDone) {
            // A refused write leaves the due check watching.
            run.tick();
            QVERIFY(run.watching());
        }

        // The cause goes; the same action goes through.
        protection.reset();
        holder.closeWriteChannel();
        holder.waitForFinished(5000);
        act();

        QStringList expected = before;
        const QString tool = reminders                         ? QStringLiteral("Tool|%1|0").arg(dueStamp)
                             : which == ChildWindow::Softwares ? "Tool|/bin/tool|\\N"
                                                               : "Tool|/bin/tool";
        const qsizetype toolAt = expected.indexOf(tool);
        QVERIFY(toolAt >= 0);
        const QString entry =
                reminders ? QStringLiteral("%1|%2|0").arg(
                        NewMessage, QDateTime(Evening.date(), QTime(13, 15)).toString(Catalog::TimeFormat))
                          : typed.join('|');
        if (writer == Writer::SaveNew)
            expected << entry;
        else if (writer == Writer::SaveModify)
            expected[toolAt] = entry;
        else if (writer == Writer::Delete)
            expected.removeAt(toolAt);
        else if (writer == Writer::SetApplication)
            expected.replace(expected.indexOf("DOCUMENTS|xdg-open"), QStringLiteral("DOCUMENTS|") + NewApplication);
        else // each marked once, announced once: the refused ones now, the others when they come
            act(), expected.replaceInStrings("|0", "|1");
        QCOMPARE(run.rows(table), expected);
        if (writer == Writer::MarkDone)
            QCOMPARE(run.notifications(), 2);
        else
            QCOMPARE(run.message(), Resting);
        if (w)
            QVERIFY(!editorOpen(w));
        if (documents && writer == Writer::SetApplication) {
            QVERIFY(part<QGroupBox>(documents, "applicationFrame")->isHidden());
            QCOMPARE(documents->applicationPath(), NewApplication);
        }
        if (writer == Writer::Delete)
            QVERIFY(!nodeByText(w, "Tool"));
    }
};

int main(int argc, char* argv[])
{
    if (argc == 3 && qstrcmp(argv[1], HoldLockArgument) == 0) {
        // The second process: opens the database, takes the lock and holds it until its input ends.
        try {
            Database database;
            Catalog::open(database, QString::fromLocal8Bit(argv[2]));
            database.execute("BEGIN IMMEDIATE");
            std::puts("held");
            std::fflush(stdout);
            while (std::getchar() != EOF) {
            }
            database.execute("ROLLBACK");
            return 0;
        } catch (...) {
            return 1;
        }
    }
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    QTEST_SET_MAIN_SOURCE_PATH
    RefusalsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_refusals.moc"
