// The reminders window, its editing, and the due check with its chime, on scripted time.
#include "platform/textbox.h"
#include "reminders/duecheck.h"
#include "reminders/reminders.h"
#include "shell/mains.h"
#include "shell/module1.h"
#include "shell/treeview.h"
#include "store/catalog.h"
#include "store/programfiles.h"
#include "windowdriver.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QTimer>
#include <QtTest>

#include <ctime>

using namespace trovix;

namespace {

const QString Resting = QStringLiteral("Double Click for Tip of the Day");
const QString Failure = QString::fromLatin1(DueCheck::FailureText);
const QString Announcement = QString::fromLatin1(DueCheck::AnnouncementText);
const QDateTime Now(QDate(2026, 12, 5), QTime(21, 5, 7));

struct ReminderRun : WindowRun
{
    ReminderRun() { services->clock = Now; }

    RemindersWindow* open()
    {
        window = static_cast<RemindersWindow*>(show(ChildWindow::Reminders));
        return window;
    }

    void addReminder(const QVariant& message, const QVariant& time, const QVariant& done = 0)
    {
        execute(QStringLiteral("insert into reminders (message, time, done) values (?, ?, ?)"), {message, time, done});
    }

    // Types a reminder into the open editor and saves it.
    void type(const QString& message, const QString& hour, const QString& minute, const QString& half = "AM")
    {
        window->Text1(0)->clear();
        QTest::keyClicks(window->Text1(0), message);
        window->Text1(1)->clear();
        QTest::keyClicks(window->Text1(1), hour);
        window->Text1(2)->clear();
        QTest::keyClicks(window->Text1(2), minute);
        window->Combo1->setCurrentText(half);
    }

    // A tick of the due check's timer, which only ticks while it is on.
    void tick()
    {
        if (mains->Timer1->isActive())
            mains->Timer1_Timer();
    }
    bool watching() const { return mains->Timer1->isActive(); }
    bool chiming() const
    {
        RemindersWindow* w = module->reminders.ifLoaded();
        return w && w->Timer1->isActive();
    }
    int notifications() const { return int(services->sounds.count(folder.file(ProgramFiles::NotifySound))); }

    RemindersWindow* window = nullptr;
};

QString stamp(const QDateTime& time)
{
    return time.toString(Catalog::TimeFormat);
}

} // namespace

class RemindersTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void loadListsNewestFirst();
    void saveChecksAndStoresTheDueTime_data();
    void saveChecksAndStoresTheDueTime();
    void modifyShowsTheStoredTime_data();
    void modifyShowsTheStoredTime();
    void modifyKeepsMessagesDistinct();
    void deleteAndRefusedChanges();
    void alertingFollowsItsTransitions_data();
    void alertingFollowsItsTransitions();
    void announcementShowsTheMainWindowAndChimes_data();
    void announcementShowsTheMainWindowAndChimes();
    void daylightSavingKeepsTheWallClock_data();
    void daylightSavingKeepsTheWallClock();
    void remindersDueTogetherComeEarliestFirst();
    void chimeNeverThrowsAnEditAway();
    void keysOfTheWindow();
};

void RemindersTest::initTestCase()
{
    // A zone with daylight saving; the other tests' times are far from its changes.
    qputenv("TZ", "Europe/Berlin");
    tzset();
}

void RemindersTest::loadListsNewestFirst()
{
    ReminderRun run;
    run.addReminder("Old", "2026-01-01 08:00:00", 1);
    run.addReminder("New", "2026-12-24 18:00:00", 0);
    run.addReminder("REMINDERS", "2026-06-01 08:00:00", 0);
    run.addReminder("Odd flag", "2026-06-02 08:00:00", "yes");
    run.addReminder(QVariant(), "2026-06-03 08:00:00", 0);
    RemindersWindow* w = run.open();
    QCOMPARE(w->windowTitle(), QStringLiteral("Reminders"));
    QCOMPARE(childTexts(w), (QStringList{"New", "Odd flag", "Old"}));
    QCOMPARE(w->TreeView1->node("RNew")->imageKey(), QStringLiteral("rem"));
    QCOMPARE(w->TreeView1->node("ROld")->imageKey(), QStringLiteral("dis_rem"));
    QCOMPARE(w->TreeView1->node("ROdd flag")->imageKey(), QStringLiteral("dis_rem"));
    QCOMPARE(w->TreeView1->root()->imageKey(), QStringLiteral("rem"));
    QCOMPARE(w->Text2->text(), QStringLiteral("Message"));
    QVERIFY(w->Label3(2)->text().isEmpty());
    QVERIFY(!w->mnumodify->isEnabled() && !w->Buttons(4)->isEnabled());

    clickNode(w, nodeByText(w, QStringLiteral("New")));
    QCOMPARE(w->Text2->text(), QStringLiteral("New"));
    QCOMPARE(w->Label3(2)->text(), QStringLiteral("2026-12-24 6:00:00 PM"));
    QVERIFY(w->mnumodify->isEnabled() && w->Buttons(5)->isEnabled());
    // The root leaves the display as it was, with Modify and Delete off.
    clickNode(w, w->TreeView1->root());
    QCOMPARE(w->Text2->text(), QStringLiteral("New"));
    QVERIFY(!w->mnudelete->isEnabled());
}

void RemindersTest::saveChecksAndStoresTheDueTime_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("hour");
    QTest::addColumn<QString>("minute");
    QTest::addColumn<QString>("half");
    QTest::addColumn<bool>("paste"); // hour and minute pasted, not typed
    QTest::addColumn<QString>("status");
    QTest::addColumn<int>("focus"); // the box with the focus afterwards, -1 not moved
    QTest::addColumn<QString>("stored");
    const QString fill = QStringLiteral("Fill in the values");
    const QString correct = QStringLiteral("Fill in the correct values");
    QTest::newRow("empty message") << ""
                                   << "9"
                                   << "5"
                                   << "PM" << false << fill << 0 << "";
    QTest::newRow("blank message") << "   "
                                   << "9"
                                   << "5"
                                   << "PM" << false << fill << 0 << "";
    QTest::newRow("pasted apostrophe") << "Bob's day"
                                       << "9"
                                       << "5"
                                       << "PM" << false << "' is not allowed in Message" << -1 << "";
    QTest::newRow("no hour") << "Call"
                             << ""
                             << "5"
                             << "PM" << false << fill << 1 << "";
    QTest::newRow("no minute") << "Call"
                               << "9"
                               << ""
                               << "PM" << false << fill << 2 << "";
    QTest::newRow("hour 0") << "Call"
                            << "0"
                            << "5"
                            << "AM" << false << correct << 1 << "";
    QTest::newRow("hour 13") << "Call"
                             << "13"
                             << "5"
                             << "AM" << false << correct << 1 << "";
    QTest::newRow("minute 60") << "Call"
                               << "9"
                               << "60"
                               << "AM" << false << correct << 2 << "";
    QTest::newRow("pasted letters in the hour") << "Call"
                                                << "9a"
                                                << "5"
                                                << "AM" << true << correct << 1 << "";
    QTest::newRow("pasted letters in the minute") << "Call"
                                                  << "9"
                                                  << "x5"
                                                  << "AM" << true << correct << 2 << "";
    QTest::newRow("taken message") << "Taken"
                                   << "9"
                                   << "5"
                                   << "AM" << false << "This message is already stored" << 0 << "";
    QTest::newRow("the root word") << "REMINDERS"
                                   << "9"
                                   << "5"
                                   << "AM" << false << "This message is already stored" << 0 << "";
    QTest::newRow("taken message in other letters") << "TAKEN"
                                                    << "9"
                                                    << "5"
                                                    << "PM" << false << Resting << -1 << "2026-12-05 21:05:00";
    QTest::newRow("12 AM is midnight") << "Night"
                                       << "12"
                                       << "0"
                                       << "AM" << false << Resting << -1 << "2026-12-05 00:00:00";
    QTest::newRow("12 PM is noon") << "Noon"
                                   << "12"
                                   << "30"
                                   << "PM" << false << Resting << -1 << "2026-12-05 12:30:00";
    QTest::newRow("07 is 7") << "Early"
                             << "07"
                             << "05"
                             << "AM" << false << Resting << -1 << "2026-12-05 07:05:00";
    QTest::newRow("typed letters never get in") << "Typed"
                                                << "1x1"
                                                << "5y9"
                                                << "PM" << false << Resting << -1 << "2026-12-05 23:59:00";
}

void RemindersTest::saveChecksAndStoresTheDueTime()
{
    QFETCH(QString, message);
    QFETCH(QString, hour);
    QFETCH(QString, minute);
    QFETCH(QString, half);
    QFETCH(bool, paste);
    QFETCH(QString, status);
    QFETCH(int, focus);
    QFETCH(QString, stored);
    ReminderRun run;
    run.addReminder("Taken", "2026-12-31 09:00:00");
    RemindersWindow* w = run.open();
    run.mains->Timer1->stop();
    clickButton(w, 3);
    QCOMPARE(w->DTPicker1->date(), Now.date());
    QCOMPARE(w->Combo1->currentText(), QStringLiteral("AM"));
    run.type(QString(), QString(), QString(), half);
    const auto enter = [&](int box, const QString& text) {
        if (paste) {
            QApplication::clipboard()->setText(text);
            w->Text1(box)->paste();
        } else {
            QTest::keyClicks(w->Text1(box), text);
        }
    };
    QApplication::clipboard()->setText(message);
    w->Text1(0)->paste();
    enter(1, hour);
    enter(2, minute);
    w->Combo1->setFocus();
    clickButton(w, 1);

    QCOMPARE(run.message(), status);
    const QStringList rows = run.rows(Catalog::Reminders);
    if (stored.isEmpty()) {
        QCOMPARE(rows.size(), 1);
        QVERIFY(!w->Frame1->isHidden());
        if (focus >= 0)
            QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w->Text1(focus)));
        else
            QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w->Combo1));
        QVERIFY(!run.watching());
        return;
    }
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows.last(), QStringLiteral("%1|%2|0").arg(message.trimmed(), stored));
    // A Save wakes the due check.
    QVERIFY(run.watching());
    QVERIFY(w->Frame1->isHidden());
}

void RemindersTest::modifyShowsTheStoredTime_data()
{
    QTest::addColumn<QVariant>("time");
    QTest::addColumn<QString>("hour");
    QTest::addColumn<QString>("minute");
    QTest::addColumn<QString>("half");
    QTest::addColumn<QDate>("date");
    QTest::newRow("evening") << QVariant("2026-12-05 21:05:00") << "9"
                             << "05"
                             << "PM" << QDate(2026, 12, 5);
    QTest::newRow("midnight") << QVariant("2026-12-06 00:00:00") << "12"
                              << "00"
                              << "AM" << QDate(2026, 12, 6);
    QTest::newRow("noon") << QVariant("2026-12-06 12:00:00") << "12"
                          << "00"
                          << "PM" << QDate(2026, 12, 6);
    QTest::newRow("no value") << QVariant() << ""
                              << ""
                              << "AM" << Now.date();
    QTest::newRow("not a time") << QVariant("next Tuesday") << ""
                                << ""
                                << "AM" << Now.date();
}

void RemindersTest::modifyShowsTheStoredTime()
{
    QFETCH(QVariant, time);
    QFETCH(QString, hour);
    QFETCH(QString, minute);
    QFETCH(QString, half);
    QFETCH(QDate, date);
    ReminderRun run;
    run.addReminder("Dentist", time, 1);
    RemindersWindow* w = run.open();
    clickNode(w, nodeByText(w, QStringLiteral("Dentist")));
    clickButton(w, 4);
    QCOMPARE(w->Text1(0)->text(), QStringLiteral("Dentist"));
    QCOMPARE(w->Text1(1)->text(), hour);
    QCOMPARE(w->Text1(2)->text(), minute);
    QCOMPARE(w->Combo1->currentText(), half);
    QCOMPARE(w->DTPicker1->date(), date);
    if (hour.isEmpty())
        return;
    // Saving it again makes an announced reminder pending, in place.
    clickButton(w, 1);
    QCOMPARE(run.rows(Catalog::Reminders), QStringList{QStringLiteral("Dentist|%1|0").arg(time.toString())});
    QCOMPARE(w->TreeView1->node("RDentist")->imageKey(), QStringLiteral("rem"));
}

void RemindersTest::modifyKeepsMessagesDistinct()
{
    ReminderRun run;
    run.addReminder("First", "2026-12-06 08:00:00");
    run.addReminder("Second", "2026-12-07 08:00:00");
    RemindersWindow* w = run.open();
    clickNode(w, nodeByText(w, QStringLiteral("First")));
    clickButton(w, 4);
    w->Text1(0)->setText(QStringLiteral("Second"));
    clickButton(w, 1);
    QCOMPARE(run.message(), QStringLiteral("This message is already stored"));
    QVERIFY(!w->Frame1->isHidden());
    w->Text1(0)->setText(QStringLiteral("First"));
    clickButton(w, 1);
    QCOMPARE(run.message(), Resting);
    QCOMPARE(run.rows(Catalog::Reminders).size(), 2);
}

void RemindersTest::deleteAndRefusedChanges()
{
    // Refusals of every write are in the reliability suite; here the delete itself.
    ReminderRun run;
    run.addReminder("Keep", "2026-12-06 08:00:00");
    run.addReminder("Drop", "2026-12-07 08:00:00");
    RemindersWindow* w = run.open();
    clickNode(w, nodeByText(w, QStringLiteral("Drop")));
    clickButton(w, 5);
    QCOMPARE(childTexts(w), QStringList{"Keep"});
    QCOMPARE(run.services->sounds, QStringList{run.folder.file(ProgramFiles::DeleteSound)});
}

void RemindersTest::alertingFollowsItsTransitions_data()
{
    QTest::addColumn<QString>("from"); // watching, stopped, announcing, chiming (watching while chiming)
    QTest::addColumn<QString>("event");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("status"); // empty: not looked at
    const QList<std::tuple<const char*, const char*, const char*, const char*>> table = {
            {"watching", "tick, none pending", "stopped", ""},
            {"watching", "tick, pending, none due", "watching", ""},
            {"watching", "tick, one due", "announcing", "You have got a message"},
            {"watching", "tick fails", "watching", "Check if all reminder entries are complete.Restart TROVIX"},
            {"stopped", "Save", "watching", ""},
            {"stopped", "toolbar Quiet", "watching", ""},
            {"announcing", "toolbar Quiet", "watching", ""},
            {"announcing", "menu Quiet", "watching", ""},
            {"announcing", "window closed", "watching", ""},
            {"announcing", "Save", "chiming", ""},
            {"chiming", "tick, one due", "announcing", "You have got a message"},
            {"chiming", "tick, none pending", "announcing", ""},
            {"chiming", "tick fails", "chiming", "Check if all reminder entries are complete.Restart TROVIX"},
            {"chiming", "toolbar Quiet", "watching", ""},
            {"chiming", "menu Quiet", "watching", ""},
            {"chiming", "window closed", "watching", ""},
    };
    for (const auto& [from, event, to, status] : table)
        QTest::newRow(qPrintable(QStringLiteral("%1, %2").arg(from, event)))
                << QString(from) << QString(event) << QString(to) << QString(status);
}

void RemindersTest::alertingFollowsItsTransitions()
{
    QFETCH(QString, from);
    QFETCH(QString, event);
    QFETCH(QString, to);
    QFETCH(QString, status);
    ReminderRun run;
    if (event == QLatin1String("tick, one due"))
        run.addReminder("Due", stamp(Now.addSecs(-60)));
    else if (event == QLatin1String("tick, pending, none due"))
        run.addReminder("Later", stamp(Now.addDays(1)));
    RemindersWindow* w = run.open();
    if (from == QLatin1String("announcing") || from == QLatin1String("chiming"))
        w->Timer1->start();
    if (from == QLatin1String("stopped") || from == QLatin1String("announcing"))
        run.mains->Timer1->stop();
    else
        run.mains->Timer1->start();
    if (event == QLatin1String("tick fails"))
        run.execute(QStringLiteral("drop table reminders"));

    if (event.startsWith(QLatin1String("tick"))) {
        run.tick();
    } else if (event == QLatin1String("Save")) {
        clickButton(w, 3);
        run.type("Saved", "9", "30", "PM");
        clickButton(w, 1);
    } else if (event == QLatin1String("toolbar Quiet")) {
        clickButton(w, 6);
    } else if (event == QLatin1String("menu Quiet")) {
        w->mnuquiet->trigger();
    } else {
        w->close();
    }
    const bool watching = to == QLatin1String("watching") || to == QLatin1String("chiming");
    const bool chiming = to == QLatin1String("announcing") || to == QLatin1String("chiming");
    QCOMPARE(run.watching(), watching);
    QCOMPARE(run.chiming(), chiming);
    if (!status.isEmpty())
        QCOMPARE(run.message(), status);
}

void RemindersTest::announcementShowsTheMainWindowAndChimes_data()
{
    QTest::addColumn<QString>("ending"); // how the user ends the chime
    for (const char* ending : {"toolbar Quiet", "menu Quiet", "window closed", "toolbar Quiet while editing"})
        QTest::newRow(ending) << QString(ending);
}

void RemindersTest::announcementShowsTheMainWindowAndChimes()
{
    QFETCH(QString, ending);
    ReminderRun run;
    run.addReminder("Take the cake out", stamp(Now.addSecs(-5)));
    run.addReminder("Tomorrow", stamp(Now.addDays(1)));
    run.mains->mnuresize->trigger();
    QVERIFY(!run.mains->isVisible());
    QVERIFY(!run.module->reminders.isLoaded());

    run.tick();
    QVERIFY(run.mains->isVisible());
    RemindersWindow* w = run.module->reminders.ifLoaded();
    QVERIFY(w);
    QCOMPARE(run.mains->MDIClient->activeSubWindow(), w);
    QCOMPARE(w->Text2->text(), QStringLiteral("Take the cake out"));
    const QString shown = w->Label3(2)->text();
    QCOMPARE(shown, QStringLiteral("2026-12-05 9:05:02 PM"));
    QCOMPARE(run.message(), Announcement);
    QCOMPARE(run.notifications(), 1);
    QVERIFY(run.rows(Catalog::Reminders).contains(QStringLiteral("Take the cake out|2026-12-05 21:05:02|1")));
    QVERIFY(run.chiming() && !run.watching());

    if (ending == QLatin1String("toolbar Quiet while editing")) {
        // The rebuild waits for the edit, also when the chime ends first.
        clickButton(w, 3);
        w->Timer1_Timer();
        clickButton(w, 6);
        QCOMPARE(w->TreeView1->node("RTake the cake out")->imageKey(), QStringLiteral("rem"));
        clickButton(w, 2);
        QCOMPARE(w->TreeView1->node("RTake the cake out")->imageKey(), QStringLiteral("dis_rem"));
    } else {
        // The first chime rebuilds the list (the reminder now announced) and keeps the display.
        w->Timer1_Timer();
        QCOMPARE(w->TreeView1->node("RTake the cake out")->imageKey(), QStringLiteral("dis_rem"));
        QCOMPARE(w->Text2->text(), QStringLiteral("Take the cake out"));
        QCOMPARE(w->Label3(2)->text(), shown);
        QCOMPARE(run.message(), Resting);
        // Later chimes only sound, until Quiet.
        w->Timer1_Timer();
        w->Timer1_Timer();
        QCOMPARE(run.notifications(), 4);
        if (ending == QLatin1String("toolbar Quiet"))
            clickButton(w, 6);
        else if (ending == QLatin1String("menu Quiet"))
            QTest::keyClick(run.mains, Qt::Key_P, Qt::ControlModifier);
        else
            w->close();
    }
    QVERIFY(!run.chiming() && run.watching());
    // Whichever way the chime ended, the next announcement rebuilds the list again.
    run.services->clock = Now.addDays(1);
    run.tick();
    w = run.module->reminders.ifLoaded();
    w->Timer1_Timer();
    QCOMPARE(w->TreeView1->node("RTomorrow")->imageKey(), QStringLiteral("dis_rem"));
}

void RemindersTest::daylightSavingKeepsTheWallClock_data()
{
    QTest::addColumn<QDate>("day");
    QTest::addColumn<QDateTime>("justBefore"); // the last second before the clock reads 2:30 or later
    QTest::newRow("the hour skipped in spring")
            << QDate(2027, 3, 28) << QDateTime(QDate(2027, 3, 28), QTime(0, 59, 59), Qt::UTC);
    QTest::newRow("the hour repeated in autumn")
            << QDate(2027, 10, 31) << QDateTime(QDate(2027, 10, 31), QTime(0, 29, 59), Qt::UTC);
}

void RemindersTest::daylightSavingKeepsTheWallClock()
{
    QFETCH(QDate, day);
    QFETCH(QDateTime, justBefore);
    ReminderRun run;
    run.services->clock = QDateTime(day, QTime(1, 0));
    RemindersWindow* w = run.open();
    clickButton(w, 3);
    w->DTPicker1->setDate(day);
    run.type("Night shift", "2", "30", "AM");
    clickButton(w, 1);
    const QString typed = day.toString(QStringLiteral("yyyy-MM-dd"));
    QCOMPARE(run.rows(Catalog::Reminders), QStringList{QStringLiteral("Night shift|%1 02:30:00|0").arg(typed)});
    run.tick();
    run.services->clock = justBefore.toLocalTime();
    run.tick();
    QVERIFY(!run.chiming());
    run.services->clock = justBefore.addSecs(1).toLocalTime();
    run.tick();
    QVERIFY(run.chiming());
    QCOMPARE(w->Label3(2)->text(), QStringLiteral("%1 2:30:00 AM").arg(typed));
    clickButton(w, 6);
    clickNode(w, nodeByText(w, QStringLiteral("Night shift")));
    clickButton(w, 4);
    QCOMPARE(w->DTPicker1->date(), day);
    QCOMPARE(w->Text1(1)->text() + w->Text1(2)->text() + w->Combo1->currentText(), QStringLiteral("230AM"));
}

void RemindersTest::remindersDueTogetherComeEarliestFirst()
{
    ReminderRun run;
    run.addReminder("Second", stamp(Now.addSecs(-10)));
    run.addReminder("First", stamp(Now.addDays(-3)));
    run.addReminder("Not yet", stamp(Now.addSecs(1)));
    run.tick();
    RemindersWindow* w = run.module->reminders.ifLoaded();
    QCOMPARE(w->Text2->text(), QStringLiteral("First"));
    // The next one waits for Quiet; then the next tick brings it.
    run.tick();
    QCOMPARE(w->Text2->text(), QStringLiteral("First"));
    clickButton(w, 6);
    run.tick();
    QCOMPARE(w->Text2->text(), QStringLiteral("Second"));
    clickButton(w, 6);
    run.tick();
    QVERIFY(run.watching() && !run.chiming());
    run.services->clock = Now.addSecs(1);
    run.tick();
    QCOMPARE(w->Text2->text(), QStringLiteral("Not yet"));
}

void RemindersTest::chimeNeverThrowsAnEditAway()
{
    ReminderRun run;
    run.addReminder("Due", stamp(Now.addSecs(-1)));
    RemindersWindow* w = run.open();
    clickButton(w, 3);
    run.type("Half typed", "4", "2", "PM");
    run.tick();
    QVERIFY(run.chiming());
    w->Timer1_Timer();
    // Still editing: the list waits, the chime sounds.
    QVERIFY(!w->Frame1->isHidden());
    QCOMPARE(w->Text1(0)->text(), QStringLiteral("Half typed"));
    QCOMPARE(w->Text1(1)->text(), QStringLiteral("4"));
    QVERIFY(!w->alertRefreshed);
    QCOMPARE(run.notifications(), 2);
    clickButton(w, 1);
    QCOMPARE(run.rows(Catalog::Reminders).size(), 2);
    // The edit over, the next chime rebuilds.
    w->Timer1_Timer();
    QVERIFY(w->alertRefreshed);
    QCOMPARE(w->TreeView1->node("RDue")->imageKey(), QStringLiteral("dis_rem"));
}

void RemindersTest::keysOfTheWindow()
{
    ReminderRun run;
    run.addReminder("Due", stamp(Now.addSecs(-1)));
    QTest::keyClick(run.mains, Qt::Key_R, Qt::ControlModifier);
    RemindersWindow* w = run.module->reminders.ifLoaded();
    QVERIFY(w);
    QCOMPARE(run.mains->shownMenus(), w->menus());
    QCOMPARE(w->mnuquiet->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
    QCOMPARE(w->mnuedit->actions().last(), w->mnuquiet);
    run.tick();
    QVERIFY(run.chiming());
    QTest::keyClick(run.mains, Qt::Key_P, Qt::ControlModifier);
    QVERIFY(!run.chiming());
    // Nothing can be typed into the display or the AM/PM box; the clock boxes take digits only.
    QTest::keyClicks(w->Text2, QStringLiteral("typed"));
    QCOMPARE(w->Text2->text(), QStringLiteral("Due"));
    clickButton(w, 3);
    QTest::keyClicks(w->Combo1, QStringLiteral("P"));
    QCOMPARE(w->Combo1->currentText(), QStringLiteral("AM"));
    QTest::keyClicks(w->Text1(0), QStringLiteral("it's"));
    QCOMPARE(w->Text1(0)->text(), QStringLiteral("its"));
    // Ctrl+S with a date half typed in the picker stores nothing: the picker shows the date it holds.
    run.window = w;
    run.type("Dentist", "9", "30");
    w->DTPicker1->setFocus();
    QTest::keyClicks(w->DTPicker1, QStringLiteral("9"));
    QTest::keyClick(w->DTPicker1, Qt::Key_Tab);
    QTest::keyClicks(w->DTPicker1, QStringLiteral("30"));
    QTest::keyClick(w->DTPicker1, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(run.message(), QStringLiteral("Fill in the correct values"));
    QCOMPARE(run.rows(Catalog::Reminders).size(), 1);
    QCOMPARE(w->DTPicker1->text(), w->DTPicker1->date().toString(QStringLiteral("yyyy-MM-dd")));
    // Ctrl+Z is Cancel there too.
    QCOMPARE(QApplication::focusWidget(), w->DTPicker1);
    QTest::keyClick(w->DTPicker1, Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(w->Frame1->isHidden());
    clickButton(w, 7);
    QCOMPARE(run.services->helpRequests.value(0).data, 6);
}

QTEST_MAIN(RemindersTest)
#include "tst_reminders.moc"
