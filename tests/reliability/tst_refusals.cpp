// Every write the program makes, refused by every cause a desktop meets: the file read-only, the disk
// full, another process holding the write lock. A refusal stores nothing, keeps the window as it was
// with what was typed, says so, and once the cause is gone the same action goes through.
#include "core/catalog.h"
#include "core/database.h"
#include "core/entrystore.h"
#include "core/programfiles.h"
#include "core/reminderscheduler.h"
#include "shown.h"
#include "ui/clicklabel.h"
#include "ui/documentswindow.h"
#include "ui/mainwindow.h"
#include "ui/reminderswindow.h"
#include "ui/textbox.h"
#include "ui/treeview.h"
#include "windowdriver.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QProcess>
#include <QTimer>
#include <QtTest>

#include <csignal>
#include <cstdio>
#include <sys/resource.h>

using namespace trovix;
using namespace trovix::shown;

Q_DECLARE_METATYPE(trovix::ChildWindow)

namespace {


const QDateTime Now(QDate(2026, 12, 5), QTime(21, 5, 7));
const char* const HoldLockArgument = "--hold-write-lock";

enum class Cause { ReadOnlyFile, FileSizeLimit, OtherProcess };
enum class Writer { SaveNew, SaveModify, Delete, SetApplication, MarkDone };

} // namespace

Q_DECLARE_METATYPE(Cause)
Q_DECLARE_METATYPE(Writer)

namespace {

// The second process: opens the database, takes the lock and holds it until its input ends.
int holdWriteLock(const char* programFolder)
{
    try {
        Database database;
        Catalog::open(database, QString::fromLocal8Bit(programFolder));
        database.execute(QStringLiteral("BEGIN IMMEDIATE"));
        std::puts("held");
        std::fflush(stdout);
        while (std::getchar() != EOF) {
        }
        database.execute(QStringLiteral("ROLLBACK"));
        return 0;
    } catch (...) {
        return 1;
    }
}

// The write lock held by another process, the test program started again in the holder's part.
class OtherProcessLock
{
public:
    explicit OtherProcessLock(const QString& programFolder)
    {
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QCoreApplication::applicationFilePath(),
                        {QString::fromLatin1(HoldLockArgument), programFolder});
        while (!m_process.canReadLine() && m_process.waitForReadyRead(5000)) {
        }
        m_held = m_process.readLine().trimmed() == "held";
    }
    ~OtherProcessLock() { release(); }
    bool isHeld() const { return m_held; }
    void release()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

private:
    QProcess m_process;
    bool m_held = false;
};

// Files may not grow past a few hundred bytes while this lives: the disk is full for every write
// that has to extend a file, the journal's first page included.
class FileSizeLimit
{
public:
    FileSizeLimit()
    {
        getrlimit(RLIMIT_FSIZE, &m_before);
        rlimit tight = m_before;
        tight.rlim_cur = 512;
        m_set = setrlimit(RLIMIT_FSIZE, &tight) == 0;
    }
    ~FileSizeLimit()
    {
        if (m_set)
            setrlimit(RLIMIT_FSIZE, &m_before);
    }
    bool isSet() const { return m_set; }

private:
    rlimit m_before{};
    bool m_set = false;
};

QString longText(const QString& start, int length)
{
    QString text = start;
    for (int i = 0; text.size() < length; ++i)
        text += QChar(u'a' + i % 26);
    return text;
}

// Long enough that storing it needs pages the file does not have yet.
const QString NewPath = longText(QStringLiteral("/opt/renamed/"), 3000);
const QString NewDescription = QStringLiteral("Fresh \"description\"");
const QString NewMessage = longText(QStringLiteral("Lunch with Bob "), 2500);
const QString NewApplication = longText(QStringLiteral("/usr/bin/"), 3000);

} // namespace

class RefusalsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void refusedWritesStoreNothingAndRecover_data();
    void refusedWritesStoreNothingAndRecover();
};

void RefusalsTest::initTestCase()
{
    // A write past the file-size limit must fail with an error, not end the process.
    std::signal(SIGXFSZ, SIG_IGN);
}

void RefusalsTest::refusedWritesStoreNothingAndRecover_data()
{
    QTest::addColumn<ChildWindow>("which");
    QTest::addColumn<Writer>("writer");
    QTest::addColumn<Cause>("cause");
    const QList<std::pair<const char*, ChildWindow>> windows = {
            {"softwares", ChildWindow::Softwares}, {"games", ChildWindow::Games},
            {"windows", ChildWindow::Windows},     {"documents", ChildWindow::Documents},
            {"reminders", ChildWindow::Reminders},
    };
    QList<std::tuple<QString, ChildWindow, Writer>> writers;
    for (const auto& [name, which] : windows) {
        writers << std::tuple{QStringLiteral("%1 Save (New)").arg(name), which, Writer::SaveNew}
                << std::tuple{QStringLiteral("%1 Save (Modify)").arg(name), which, Writer::SaveModify}
                << std::tuple{QStringLiteral("%1 Delete").arg(name), which, Writer::Delete};
    }
    writers << std::tuple{QStringLiteral("documents SET"), ChildWindow::Documents, Writer::SetApplication}
            << std::tuple{QStringLiteral("due check marks done"), ChildWindow::Reminders, Writer::MarkDone};
    const QList<std::pair<const char*, Cause>> causes = {
            {"read-only file", Cause::ReadOnlyFile},
            {"disk full (file size limit)", Cause::FileSizeLimit},
            {"locked by another process", Cause::OtherProcess},
    };
    for (const auto& [cause, which] : causes) {
        for (const auto& [name, window, writer] : writers) {
            QTest::newRow(qPrintable(QStringLiteral("%1, %2").arg(name, cause))) << window << writer << which;
        }
    }
}

void RefusalsTest::refusedWritesStoreNothingAndRecover()
{
    QFETCH(ChildWindow, which);
    QFETCH(Writer, writer);
    QFETCH(Cause, cause);
    WindowRun run;
    run.services->clock = Now;
    const QString table = tableOf(which);
    const bool reminders = which == ChildWindow::Reminders;
    const QString dueStamp = Now.addSecs(writer == Writer::MarkDone ? -60 : 86400).toString(Catalog::TimeFormat);
    // A reminder pending for later keeps the due check watching.
    const QDateTime later = Now.addDays(2);
    run.execute(QStringLiteral("insert into reminders (message, time, done) values ('Later', ?, 0)"),
                {later.toString(Catalog::TimeFormat)});
    const auto notifications = [&run] {
        return int(run.services->sounds.count(run.folder.file(ProgramFiles::NotifySound)));
    };
    // The due check ticks while it is on; nobody switches it on by hand.
    const auto tick = [&run] {
        if (run.session->scheduler().isWatching())
            run.session->scheduler().check();
    };

    // One entry stored before the refusal begins.
    if (reminders) {
        run.execute(QStringLiteral("insert into reminders (message, time, done) values ('Tool', ?, 0)"), {dueStamp});
    } else {
        const QString key = table.left(table.size() - 1);
        run.execute(QStringLiteral("insert into %1 (%2, path) values ('Tool', '/bin/tool')").arg(table, key));
    }

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
    auto* category = qobject_cast<CategoryWindow*>(w);
    auto* documents = qobject_cast<DocumentsWindow*>(w);
    auto* reminder = qobject_cast<RemindersWindow*>(w);

    // The window brought to the point of the action, with what the user typed.
    const QString newName = QStringLiteral("Renamed \"tool\"");
    if (writer == Writer::SaveModify || writer == Writer::Delete) {
        clickNode(w, nodeByText(w, QStringLiteral("Tool")));
        QCOMPARE(treeOf(w)->selectedNode(), nodeByText(w, QStringLiteral("Tool")));
    }
    if (writer == Writer::SaveNew || writer == Writer::SaveModify) {
        clickButton(w, writer == Writer::SaveNew ? 3 : 4);
        if (reminder) {
            enterText(field(reminder, 0), NewMessage, Input::Pasted);
            enterText(field(reminder, 1), QStringLiteral("1"));
            enterText(field(reminder, 2), QStringLiteral("15"));
            part<QComboBox>(reminder, "halfDayBox")->setCurrentText(QStringLiteral("PM"));
            part<QDateEdit>(reminder, "dateEdit")->setDate(Now.date());
        } else {
            enterText(field(category, 0), newName);
            enterText(field(category, 1), NewPath, Input::Pasted);
            if (field(category, 2))
                enterText(field(category, 2), NewDescription);
        }
    }
    if (writer == Writer::SetApplication) {
        clickButton(w, 6);
        enterText(part<TextBox>(documents, "applicationEdit"), NewApplication, Input::Pasted);
    }

    const QStringList before = run.rows(table);
    const auto act = [&] {
        switch (writer) {
        case Writer::SaveNew:
        case Writer::SaveModify:
            clickButton(w, 1);
            break;
        case Writer::Delete:
            clickButton(w, 5);
            break;
        case Writer::SetApplication:
            QTest::mouseClick(part(documents, "setLabel"), Qt::LeftButton);
            break;
        case Writer::MarkDone:
            // The user ends a chime under way, as every chime is ended.
            if (RemindersWindow* announcing = run.session->remindersIfLoaded())
                clickButton(announcing, 6);
            tick();
            break;
        }
    };

    // The refusal.
    std::unique_ptr<OtherProcessLock> lock;
    if (cause == Cause::OtherProcess) {
        lock = std::make_unique<OtherProcessLock>(run.folder.path());
        QVERIFY2(lock->isHeld(), "the other process did not take the lock");
    }
    const auto refused = [&] {
        std::unique_ptr<FileSizeLimit> limit;
        if (cause == Cause::FileSizeLimit)
            limit = std::make_unique<FileSizeLimit>();
        act();
        return !limit || limit->isSet();
    };
    QVERIFY(refused());

    QCOMPARE(run.message(), writer == Writer::MarkDone ? Failure : ListWindow::StoreRefused);
    QCOMPARE(run.rows(table), before);
    switch (writer) {
    case Writer::SaveNew:
    case Writer::SaveModify:
        QVERIFY(!part<QGroupBox>(w, "detailsFrame")->isHidden());
        QVERIFY(part<QAction>(w, "saveAction")->isEnabled());
        QVERIFY(!treeOf(w)->isEnabled());
        QCOMPARE(w->isModifying(), writer == Writer::SaveModify);
        if (reminder) {
            QCOMPARE(field(reminder, 0)->text(), NewMessage);
            QCOMPARE(field(reminder, 1)->text(), QStringLiteral("1"));
            QCOMPARE(field(reminder, 2)->text(), QStringLiteral("15"));
            QCOMPARE(part<QComboBox>(reminder, "halfDayBox")->currentText(), QStringLiteral("PM"));
        } else {
            QCOMPARE(field(category, 0)->text(), newName);
            QCOMPARE(field(category, 1)->text(), NewPath);
            if (field(category, 2))
                QCOMPARE(field(category, 2)->text(), NewDescription);
        }
        break;
    case Writer::Delete:
        QVERIFY(run.services->sounds.isEmpty());
        QVERIFY(nodeByText(w, QStringLiteral("Tool")));
        QCOMPARE(treeOf(w)->selectedNode(), nodeByText(w, QStringLiteral("Tool")));
        QVERIFY(part<QAction>(w, "deleteAction")->isEnabled());
        break;
    case Writer::SetApplication:
        QVERIFY(!part<QGroupBox>(documents, "applicationFrame")->isHidden());
        QCOMPARE(part<TextBox>(documents, "applicationEdit")->text(), NewApplication);
        QCOMPARE(documents->applicationPath(), Catalog::DefaultDocumentsApplication);
        break;
    case Writer::MarkDone: {
        // Announced all the same, once; a later reminder comes at its time, the refused one not again.
        QCOMPARE(notifications(), 1);
        QVERIFY(!run.session->scheduler().isWatching());
        run.services->clock = later;
        QVERIFY(refused());
        QCOMPARE(notifications(), 2);
        QCOMPARE(run.session->remindersIfLoaded()->shownMessage(), QStringLiteral("Later"));
        QCOMPARE(run.rows(table), before);
        break;
    }
    }
    if (writer != Writer::MarkDone) {
        // A refused write leaves the due check watching.
        tick();
        QVERIFY(run.session->scheduler().isWatching());
    }

    // The cause goes; the same action goes through.
    protection.reset();
    lock.reset();
    act();

    QStringList expected = before;
    const QString tool = reminders                         ? QStringLiteral("Tool|%1|0").arg(dueStamp)
                         : which == ChildWindow::Softwares ? QStringLiteral("Tool|/bin/tool|\\N")
                                                           : QStringLiteral("Tool|/bin/tool");
    const qsizetype toolAt = expected.indexOf(tool);
    QVERIFY(toolAt >= 0);
    QString entry;
    if (reminders)
        entry = QStringLiteral("%1|%2|0").arg(NewMessage,
                                              QDateTime(Now.date(), QTime(13, 15)).toString(Catalog::TimeFormat));
    else if (which == ChildWindow::Softwares)
        entry = QStringLiteral("%1|%2|%3").arg(newName, NewPath, NewDescription);
    else
        entry = QStringLiteral("%1|%2").arg(newName, NewPath);
    switch (writer) {
    case Writer::SaveNew:
        expected << entry;
        break;
    case Writer::SaveModify:
        expected[toolAt] = entry;
        break;
    case Writer::Delete:
        expected.removeAt(toolAt);
        break;
    case Writer::SetApplication:
        expected.replace(expected.indexOf(QStringLiteral("DOCUMENTS|xdg-open")),
                         QStringLiteral("DOCUMENTS|") + NewApplication);
        break;
    case Writer::MarkDone:
        // Each marked once, announced once: the refused ones now, the others when they come.
        act();
        expected.replaceInStrings(QStringLiteral("|0"), QStringLiteral("|1"));
        break;
    }
    QCOMPARE(run.rows(table), expected);
    if (writer == Writer::MarkDone)
        QCOMPARE(notifications(), 2);
    else
        QCOMPARE(run.message(), Resting);
    if (w)
        QVERIFY(part<QGroupBox>(w, "detailsFrame")->isHidden());
    if (documents && writer == Writer::SetApplication) {
        QVERIFY(part<QGroupBox>(documents, "applicationFrame")->isHidden());
        QCOMPARE(documents->applicationPath(), NewApplication);
    }
    if (writer == Writer::Delete)
        QVERIFY(!nodeByText(w, QStringLiteral("Tool")));
}

int main(int argc, char* argv[])
{
    if (argc == 3 && qstrcmp(argv[1], HoldLockArgument) == 0)
        return holdWriteLock(argv[2]);
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    QTEST_SET_MAIN_SOURCE_PATH
    RefusalsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_refusals.moc"
