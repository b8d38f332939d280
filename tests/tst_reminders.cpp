// The reminder journey: set one, change it, delete it, let it fall due on scripted time, quiet it.
#include "windowdriver.h"

#include <ctime>

using namespace trovix;
using namespace trovix::shown;

namespace {

const QString Taken = "This message is already stored";
const auto stamp = [](const QDateTime& time) { return time.toString(Catalog::TimeFormat); };

struct ReminderRun : WindowRun
{
    ReminderRun() { services->clock = Evening; }
    RemindersWindow* open() { return window = static_cast<RemindersWindow*>(show(ChildWindow::Reminders)); }
    // Types a reminder into the open editor, as a user would; AM or PM is picked from its list.
    void type(const QString& message, const QString& hour, const QString& minute, const QString& half = "AM")
    {
        // Rows named "pasted" paste the hour and the minute, the others type them.
        const bool pasted = QByteArray(QTest::currentDataTag()).contains("pasted");
        const QStringList texts = {message, hour, minute};
        for (int box = 0; box < 3; ++box)
            enterText(field(window, box), texts[box], box > 0 && pasted ? Input::Pasted : Input::Typed);
        part<QComboBox>(window, "halfDayBox")->setCurrentText(half);
    }
    QDateEdit* dateEdit() const { return part<QDateEdit>(window, "dateEdit"); }
    // The time in the editor as it reads: hour, colon, minute, AM or PM.
    QString clock() const
    {
        return field(window, 1)->text() + ':' + field(window, 2)->text()
               + part<QComboBox>(window, "halfDayBox")->currentText();
    }
    bool chiming() const { return session->remindersIfLoaded() && session->remindersIfLoaded()->isChiming(); }
    QString icon(const QString& message) const { return treeOf(window)->node("R" + message)->imageKey(); }
    QString shown() const { return window->shownMessage() + ' ' + window->shownDueTime(); }
    RecordingServices::Notification& notice() const { return services->notifications.last(); }

    RemindersWindow* window = nullptr;
};

// Modify (of "Other") or New, the message, a date picked (invalid: as shown), hour, minute, AM or PM; then the
// status, the box with the focus after a refusal (-1: not moved), the due time stored (empty: nothing changed).
using Typed = std::tuple<bool, QString, QDate, QString, QString, QString, QString, int, QString>;
// Before, event, after (watching, stopped, announcing, chiming: watching while chiming), status (empty: unchecked).
using Transition = std::tuple<QString, QString, QString, QString>;

} // namespace

class RemindersTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // A zone with daylight saving; the other tests' times are far from its changes.
        qputenv("TZ", "Europe/Berlin");
        tzset();
    }

    void setOrModify_data()
    {
        // A Modify row is of "Other", stored at midnight: its hour, minute and half are what the editor shows.
        addRows<Typed>({
                {"empty message", {false, "", {}, "9", "5", "PM", FillIn, 0, ""}},
                {"blank message", {false, "   ", {}, "9", "5", "PM", FillIn, 0, ""}},
                {"no hour", {false, "Call", {}, "", "5", "PM", FillIn, 1, ""}},
                {"no minute", {false, "Call", {}, "9", "", "PM", FillIn, 2, ""}},
                {"hour 0", {false, "Call", {}, "0", "5", "AM", FillInCorrect, 1, ""}},
                {"hour 13", {false, "Call", {}, "13", "5", "AM", FillInCorrect, 1, ""}},
                {"minute 60", {false, "Call", {}, "9", "60", "AM", FillInCorrect, 2, ""}},
                {"letters, signs and other digits typed into the clock",
                 {false, "Call", {}, "a-٣", "b+½", "PM", FillIn, 1, ""}},
                {"pasted letters", {false, "Call", {}, "seven", "05", "AM", FillInCorrect, 1, ""}},
                {"pasted digits of another script", {false, "Call", {}, "٣", "05", "AM", FillInCorrect, 1, ""}},
                {"pasted huge number", {false, "Call", {}, "99999999999999999999", "05", "AM", FillInCorrect, 1, ""}},
                {"pasted digits with blanks, a line break",
                 {false, "Call", {}, " 11\n", " 59 ", "AM", Resting, -1, "2026-12-05 11:59:00"}},
                {"taken message", {false, "Taken", {}, "9", "5", "AM", Taken, 0, ""}},
                {"the root's word", {false, "REMINDERS", {}, "9", "5", "AM", Taken, 0, ""}},
                {"taken in other letters", {false, "TAKEN", {}, "9", "5", "PM", Resting, -1, "2026-12-05 21:05:00"}},
                {"12 AM is midnight", {false, "Night", {}, "12", "0", "AM", Resting, -1, "2026-12-05 00:00:00"}},
                {"12 PM is noon", {false, "Noon", {}, "12", "30", "PM", Resting, -1, "2026-12-05 12:30:00"}},
                {"a date picked",
                 {false, "Later", {2027, 2, 28}, "11", "59", "PM", Resting, -1, "2027-02-28 23:59:00"}},
                // Ctrl+S in the picker with a date half typed: it shows the date it holds, to be saved once seen.
                {"a date half typed", {false, "Dentist", {}, "9", "30", "AM", FillInCorrect, -1, ""}},
                {"modified to a taken message", {true, "Taken", {}, "12", "00", "AM", Taken, 0, ""}},
                // Saved as shown, the time is stored as it was, and the announced reminder is pending again.
                {"modified, message kept", {true, "Other", {}, "12", "00", "AM", Resting, -1, "2026-12-30 00:00:00"}},
                {"modified, message changed", {true, "New", {}, "12", "00", "AM", Resting, -1, "2026-12-30 00:00:00"}},
        });
    }

    void setOrModify()
    {
        const auto [modify, message, date, hour, minute, half, status, focus, stored] = fetchRow<Typed>();
        ReminderRun run;
        run.addReminder("Taken", "2026-12-31 09:00:00");
        run.addReminder("Other", "2026-12-30 00:00:00", 1);
        const QStringList before = run.rows(Catalog::Reminders);
        RemindersWindow* w = run.open();
        run.session->scheduler().rest();
        if (modify) {
            clickNode(w, nodeByText(w, "Other"));
            clickButton(w, 4);
            QCOMPARE(run.dateEdit()->date(), QDate(2026, 12, 30));
            QCOMPARE(run.clock(), hour + ':' + minute + half);
        } else {
            clickButton(w, 3);
            QCOMPARE(run.dateEdit()->date().toString() + run.clock(), Evening.date().toString() + ":AM");
            if (date.isValid())
                run.dateEdit()->setDate(date);
        }
        run.type(message, hour, minute, half);
        QWidget* last = part<QComboBox>(w, "halfDayBox");
        if (QByteArray(QTest::currentDataTag()).contains("half typed")) {
            last = run.dateEdit();
            last->setFocus();
            QTest::keyClicks(last, "9\t30");
            QTest::keyClick(last, Qt::Key_S, Qt::ControlModifier);
            QCOMPARE(run.dateEdit()->text(), run.dateEdit()->date().toString("yyyy-MM-dd"));
        } else {
            last->setFocus();
            clickButton(w, 1);
        }
        QCOMPARE(run.message(), status);
        const QStringList rows = run.rows(Catalog::Reminders);
        if (stored.isEmpty()) {
            QCOMPARE(rows, before);
            QCOMPARE(QApplication::focusWidget(), focus >= 0 ? field(w, focus) : last);
            QVERIFY(editorOpen(w) && !run.watching());
            return;
        }
        QCOMPARE(rows.size(), before.size() + (modify ? 0 : 1));
        const QString expected = QStringLiteral("%1|%2|0").arg(message.trimmed(), stored);
        QVERIFY2(rows.contains(expected), qPrintable(rows.join(' ')));
        QCOMPARE(run.icon(message.trimmed()), "rem");
        QVERIFY(!editorOpen(w) && run.watching()); // a Save wakes the due check
    }

    void dueCheckFollowsItsTransitions_data()
    {
        QTest::addColumn<Transition>("row");
        for (const Transition& row : QList<Transition>{
                     {"watching", "tick, none pending", "stopped", ""},
                     {"watching", "tick, one due", "announcing", Announcement},
                     {"watching", "tick, one due, its mark refused", "announcing", Failure},
                     {"watching", "tick fails", "watching", Failure},
                     {"stopped", "Quiet", "watching", ""},
                     {"announcing", "Quiet", "watching", ""},
                     {"announcing", "window closed", "watching", ""},
                     {"chiming", "tick, one due", "announcing", Announcement},
                     {"chiming", "tick, none pending", "announcing", ""},
                     {"chiming", "tick fails", "chiming", Failure},
                     {"chiming", "Quiet", "watching", ""},
                     {"chiming", "window closed", "watching", ""},
                     // Nothing is left to announce once its reminder is gone; another one going ends nothing.
                     {"announcing", "the announced reminder deleted", "watching", Resting},
                     {"announcing", "another reminder deleted", "announcing", Resting},
             })
            QTest::newRow(qPrintable(std::get<0>(row) + ", " + std::get<1>(row))) << row;
    }

    void dueCheckFollowsItsTransitions()
    {
        const auto [from, event, to, status] = fetchRow<Transition>();
        ReminderRun run;
        // The chime comes from an announcement whose first chime has rebuilt the list.
        const bool announced = from == "announcing" || from == "chiming";
        if (announced)
            run.addReminder("Announced", stamp(Evening.addSecs(-600)));
        if (event.startsWith("tick, one due"))
            run.addReminder("Due", stamp(Evening.addSecs(-60)));
        if (event.endsWith("deleted"))
            run.addReminder("Later", stamp(Evening.addDays(1)));
        RemindersWindow* w = run.open();
        if (announced)
            run.tick(), w->chime();
        if (from == "chiming") // as a Save wakes it
            run.session->scheduler().watch();
        if (from == "stopped")
            run.session->scheduler().rest();
        if (event == "tick fails")
            run.execute("drop table reminders");
        if (event.endsWith("refused"))
            run.execute("create trigger r before update on reminders begin select raise(fail, 'no'); end");
        if (event.startsWith("tick"))
            run.tick();
        else if (event == "Quiet")
            clickButton(w, 6);
        else if (event.endsWith("deleted"))
            clickNode(w, nodeByText(w, event.startsWith("the") ? "Announced" : "Later")), clickButton(w, 5);
        else
            w->close();
        QCOMPARE(run.watching(), to == "watching" || to == "chiming");
        QCOMPARE(run.chiming(), to == "announcing" || to == "chiming");
        if (!status.isEmpty())
            QCOMPARE(run.message(), status);
        if (event.startsWith("tick, one due")) // a refused mark is told on the desktop too
            QCOMPARE(run.notice().body.endsWith('\n' + Failure), event.endsWith("refused"));
        if (!run.chiming())
            return;
        // The next chime rebuilds the list, which then shows every reminder as stored; the notice stays.
        run.window->chime();
        if (!status.isEmpty())
            QCOMPARE(run.message(), status);
        for (const QString& stored : event == "tick fails" ? QStringList() : run.rows(Catalog::Reminders))
            QCOMPARE(run.icon(stored.section(u'|', 0, 0)), QString(stored.endsWith("|0") ? "rem" : "dis_rem"));
    }

    void announcementShowsTheMainWindowAndChimes_data()
    {
        QTest::addColumn<QString>("ending"); // how the user ends the chime
        for (const char* ending : {"toolbar Quiet", "Ctrl+P", "window closed", "notification closed"})
            QTest::newRow(ending) << QString(ending);
    }

    void announcementShowsTheMainWindowAndChimes()
    {
        QFETCH(QString, ending);
        ReminderRun run;
        run.addReminder("Second", stamp(Evening.addSecs(-5)));
        run.addReminder("First", stamp(Evening.addDays(-3)));
        part<QAction>(run.mainWindow, "minimizeAction")->trigger();
        QVERIFY(!run.mainWindow->isVisible() && !run.session->remindersIfLoaded());
        // Of two due together the earliest comes first, in the window shown over the main window brought back.
        run.tick();
        QVERIFY(run.mainWindow->isVisible());
        run.window = run.session->remindersIfLoaded();
        QCOMPARE(run.activeWindow(), run.window);
        QCOMPARE(run.shown(), "First 2026-12-02 9:05:07 PM");
        QCOMPARE(run.notice().summary + ' ' + run.notice().body, run.shown());
        QCOMPARE(run.message() + QString::number(run.notifications()), Announcement + "1");
        QVERIFY(run.rows(Catalog::Reminders).contains("First|2026-12-02 21:05:07|1"));
        QVERIFY(run.chiming() && !run.watching());
        // The first chime rebuilds the list (the reminder now announced) and keeps the display; later ones only sound.
        for (int chime = 0; chime < 3; ++chime)
            run.window->chime();
        QCOMPARE(run.icon("First"), "dis_rem");
        QCOMPARE(run.shown(), "First 2026-12-02 9:05:07 PM");
        QCOMPARE(run.message() + QString::number(run.notifications()), Announcement + "4");
        // The notification's action brings the window back from the tray, and the chime goes on.
        part<QAction>(run.mainWindow, "minimizeAction")->trigger();
        run.notice().activated();
        QVERIFY(run.mainWindow->isVisible() && run.chiming());
        QCOMPARE(run.activeWindow(), run.window);
        if (ending == "notification closed")
            run.notice().dismissed();
        else if (ending == "toolbar Quiet")
            clickButton(run.window, 6);
        else if (ending == "Ctrl+P")
            QTest::keyClick(run.mainWindow, Qt::Key_P, Qt::ControlModifier);
        else
            run.window->close();
        QVERIFY(!run.chiming() && run.watching());
        QCOMPARE(run.services->notificationsClosed, 1);
        QCOMPARE(run.message(), Resting); // the notice heard
        // The next tick brings the other one; whichever way the chime ended, its announcement rebuilds the list.
        run.tick();
        run.window = run.session->remindersIfLoaded();
        QCOMPARE(run.window->shownMessage(), "Second");
        run.window->chime();
        QCOMPARE(run.icon("Second"), "dis_rem");
    }

    void daylightSavingKeepsTheWallClock_data()
    {
        // The day, and in UTC the last second before the clock reads 2:30 or later.
        addRows<std::pair<QDate, QTime>>({{"the hour skipped in spring", {{2027, 3, 28}, {0, 59, 59}}},
                                          {"the hour repeated in autumn", {{2027, 10, 31}, {0, 29, 59}}}});
    }

    void daylightSavingKeepsTheWallClock()
    {
        const auto [day, last] = fetchRow<std::pair<QDate, QTime>>();
        const QDateTime justBefore(day, last, Qt::UTC);
        ReminderRun run;
        run.services->clock = QDateTime(day, QTime(1, 0));
        RemindersWindow* w = run.open();
        clickButton(w, 3);
        run.dateEdit()->setDate(day);
        run.type("Night shift", "2", "30", "AM");
        clickButton(w, 1);
        const QString typed = day.toString("yyyy-MM-dd");
        QCOMPARE(run.rows(Catalog::Reminders), QStringList{QStringLiteral("Night shift|%1 02:30:00|0").arg(typed)});
        run.tick();
        run.services->clock = justBefore.toLocalTime();
        run.tick();
        QVERIFY(!run.chiming());
        run.services->clock = justBefore.addSecs(1).toLocalTime();
        run.tick();
        QVERIFY(run.chiming());
        QCOMPARE(w->shownDueTime(), QStringLiteral("%1 2:30:00 AM").arg(typed));
        clickButton(w, 6);
        clickNode(w, nodeByText(w, "Night shift"));
        clickButton(w, 4);
        QCOMPARE(run.dateEdit()->text() + ' ' + run.clock(), typed + " 2:30AM");
    }

    void chimeNeverThrowsAnEditAway_data()
    {
        addRows<bool>({{"edit saved", false}, {"Quiet, then the edit cancelled", true}}); // the chime ended first
    }

    void chimeNeverThrowsAnEditAway()
    {
        const bool quietFirst = fetchRow<bool>();
        ReminderRun run;
        run.addReminder("Due", stamp(Evening.addSecs(-1)));
        RemindersWindow* w = run.open();
        clickButton(w, 3);
        run.type("Half typed", "4", "2", "PM");
        run.tick();
        QVERIFY(run.chiming());
        w->chime();
        // Still editing: the list waits, the chime sounds.
        QCOMPARE(editorOpen(w) ? field(w, 0)->text() + field(w, 1)->text() : QString(), "Half typed4");
        QCOMPARE(run.icon("Due"), "rem");
        QCOMPARE(run.notifications(), 2);
        if (quietFirst)
            clickButton(w, 6);
        clickButton(w, quietFirst ? 2 : 1);
        QCOMPARE(run.rows(Catalog::Reminders).size(), quietFirst ? 1 : 2);
        // Saved, the due check watches again; the chime goes on until Quiet.
        QCOMPARE(run.watching() && run.chiming(), !quietFirst);
        // The edit over, the list shows the reminder announced.
        QCOMPARE(run.icon("Due"), "dis_rem");
    }
};

QTEST_MAIN(RemindersTest)
#include "tst_reminders.moc"
