// The main window and what surrounds it (tray icon, tips, about box, splash), through the real widgets.
#include "desktop/windowsystem.h"
#include "ui/aboutbox.h"
#include "ui/splashwindow.h"
#include "ui/statuspanel.h"
#include "ui/tipwindow.h"
#include "windowdriver.h"

using namespace trovix;

namespace {

// Answers the next pop-up menu as a user would: an item by name, else Esc.
void answerPopup(const QString& itemName, bool* shown)
{
    QTimer::singleShot(50, [itemName, shown] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        *shown = menu != nullptr;
        for (QAction* action : menu ? menu->actions() : QList<QAction*>())
            if (action->objectName() == itemName) {
                menu->setActiveAction(action);
                return QTest::keyClick(menu, Qt::Key_Return);
            }
        if (menu)
            QTest::keyClick(menu, Qt::Key_Escape);
    });
}

// The child window in front of a shown main window, as "<name> in front"; empty where there is none.
QString childInFront(const Session& session)
{
    MainWindow* main = session.mainWindowIfLoaded();
    QMdiSubWindow* child = main ? part<QMdiArea>(main, "mdiArea")->activeSubWindow() : nullptr;
    const bool inFront = child && main->isVisible() && child->isVisible() && !child->isMinimized();
    return inFront ? child->objectName() + " in front" : QString();
}

// A database to open; the ticks; then later starts ("second start NAME"), a click or close (as Alt+F4 sends it);
// the state left.
using SplashRun = std::tuple<bool, int, QString, QString>;
// The window, the element (its object name; empty: the window), the property, the text, the shortcut (pressed, it
// must trigger the item once).
using FixedText = std::tuple<QString, QString, QByteArray, QString, QKeySequence>;

// Gestures one after the other: keys, menu items by name, clicks; the state they leave; the tips file ("missing",
// "folder", "unreadable": so made).
struct Gestures
{
    const char* gestures;
    QString state;
    QByteArray tips = "One\nTwo\n";
};

} // namespace

class DesktopTest : public QObject
{
    Q_OBJECT

private slots:
    void fixedTextsAndShortcuts_data()
    {
        const QKeySequence none;
        QTest::addColumn<FixedText>("row");
        for (const FixedText& row : QList<FixedText>{
                     {"mainWindow", "", "windowTitle", "Marlen's TROVIX", none},
                     {"tray", "", "", "Trovix 1.0", none}, // the icon's tip
                     {"mainWindow", "minimizePanel", "text", "Minimize / Minimize to System Tray", none},
                     {"mainWindow", "messagePanel", "text", "Double Click for Tip of the Day / Messages from TROVIX",
                      none},
                     {"mainWindow", "onTopPanel", "text", "N / A - Always on Top  N - Not on Top", none},
                     {"mainWindow", "arrangeMenu", "title", "&Arrange", none},
                     {"mainWindow", "minimizeAction", "text", "&Minimize", Qt::CTRL | Qt::Key_Y},
                     {"mainWindow", "onTopAction", "text", "&Always on Top", Qt::CTRL | Qt::Key_O},
                     {"mainWindow", "exitAction", "text", "&Exit", none},
                     {"mainWindow", "windowsMenu", "title", "&Windows", none},
                     {"mainWindow", "gamesAction", "text", "&Games", Qt::CTRL | Qt::Key_G},
                     {"mainWindow", "softwaresAction", "text", "&Softwares", Qt::CTRL | Qt::Key_T},
                     {"mainWindow", "windowsAction", "text", "&Windows Softwares", Qt::CTRL | Qt::Key_W},
                     {"mainWindow", "documentsAction", "text", "&Documents", Qt::CTRL | Qt::Key_D},
                     {"mainWindow", "remindersAction", "text", "&Reminders", Qt::CTRL | Qt::Key_R},
                     {"mainWindow", "helpMenu", "title", "&Help", none},
                     {"mainWindow", "contentsAction", "text", "&Contents", Qt::Key_F1},
                     {"mainWindow", "tipAction", "text", "&Tip of the Day", Qt::Key_F2},
                     {"mainWindow", "aboutAction", "text", "&Version", Qt::Key_F3},
                     {"mainWindow", "trayMenu", "title", "&Systray", none},
                     {"mainWindow", "trayShowAction", "text", "&Trovix", none},
                     {"mainWindow", "trayExitAction", "text", "&Exit", none},
                     {"mainWindow", "toolBar", "", "Game S/W Win Docs Rem Exit", none},
                     {"tip", "", "windowTitle", "Tip of the Day", none},
                     {"tip", "headingLabel", "text", "Let me tell you ...", none},
                     {"tip", "nextTipButton", "text", "&Next Tip", none},
                     {"tip", "okButton", "text", "OK", none},
                     {"about", "", "windowTitle", "TROVIX 1.0 by the TROVIX team", none},
                     {"about", "titleLabel", "text", "TROVIX", none},
                     {"about", "versionLabel", "text", "Version 1.0", none},
                     {"about", "disclaimerLabel", "text",
                      "TROVIX is provided as it is, without warranty of any kind. Keep a copy of trovix.mdb, which "
                      "holds all your lists and reminders.",
                      none},
                     {"about", "okButton", "text", "OK", none},
                     {"reminders", "", "windowTitle", "Reminders", none},
                     {"reminders", "messageDisplay", "plainText", "Message", none},
                     {"reminders", "quietAction", "text", "&Quiet", Qt::CTRL | Qt::Key_P},
                     {"reminders", "toolBar", "", "Save Cancel New Modify Delete Quiet Help", none},
             })
            QTest::newRow(qPrintable(QStringList({std::get<0>(row), std::get<1>(row), std::get<2>(row)}).join(' ')))
                    << row;
    }

    void fixedTextsAndShortcuts()
    {
        const auto [window, element, property, text, shortcut] = fetchRow<FixedText>();
        WindowRun run;
        if (window == "tray") { // the icon the program puts there at its start
            QCOMPARE(run.services->trayTips.value(0), text);
            return;
        }
        QWidget* root = run.mainWindow;
        if (window == "tip")
            root = (run.session->showTips(), run.session->tipsIfLoaded());
        else if (window == "about")
            root = (run.session->showAbout(), run.session->aboutIfLoaded());
        else if (window == "reminders")
            root = run.show(ChildWindow::Reminders);
        QObject* target = element.isEmpty() ? root : root->findChild<QObject*>(element);
        QVERIFY(target);
        // What the user reads on the element: a toolbar's buttons, else the property and the tool tip.
        QString shown = target->property(property).toString();
        if (auto* toolbar = qobject_cast<QToolBar*>(target)) {
            QStringList buttons;
            for (QAction* action : toolbar->actions())
                buttons << qobject_cast<QToolButton*>(toolbar->widgetForAction(action))->text();
            shown = buttons.join(' ');
        } else if (auto* widget = qobject_cast<QWidget*>(target); widget && !widget->toolTip().isEmpty())
            shown += " / " + widget->toolTip();
        QCOMPARE(shown, text);
        // The tray's menu stays out of the menu bar.
        QVERIFY(!run.mainWindow->menuBar()->actions().contains(part<QMenu>(run.mainWindow, "trayMenu")->menuAction()));
        if (auto* item = qobject_cast<QAction*>(target)) {
            QCOMPARE(item->shortcut(), shortcut);
            QSignalSpy triggered(item, &QAction::triggered);
            if (!shortcut.isEmpty())
                QTest::keyClick(run.mainWindow, shortcut[0].key(), shortcut[0].keyboardModifiers());
            QCOMPARE(triggered.size(), shortcut.isEmpty() ? 0 : 1);
        }
    }

    void mainWindowGestures_data()
    {
        const QString exit = "ended 0, icon removed, %1 sounds";
        const QString tip = "shown, N inset, tip %1";
        const QString problem = tip.arg("There is some problem with Tip of the Day");
        QTest::addColumn<Gestures>("row");
        int count = 0;
        for (const Gestures& row : QList<Gestures>{
                     {"minimizeAction", "hidden, N inset"},
                     {"minimizePanel", "hidden, N inset"},
                     // The icon's presses, with the item picked from its pop-up menu: a left press shows the window.
                     {"minimizePanel, icon left", "shown, N inset"},
                     {"minimizeAction, icon right trayShowAction", "shown, N inset, pop-up"},
                     {"minimizeAction, icon right Esc", "hidden, N inset, pop-up"},
                     {"minimizeAction, icon right trayExitAction", exit.arg(0)},
                     // Others change nothing: a double click, a middle press, one of no kind.
                     {"minimizeAction, icon double, icon middle, icon unknown", "hidden, N inset"},
                     // Without a tray host nothing could bring a hidden window back: it is minimized instead.
                     {"no tray host, minimizePanel", "minimized, N inset"},
                     {"no tray host, minimizePanel, second start", "shown, N inset"},
                     // A later start naming a list window brings it in front too; a name of no window is passed over.
                     {"no tray host, minimizePanel, second start games", "shown, N inset, games in front"},
                     {"minimizeAction, second start reminders", "shown, N inset, reminders in front"},
                     {"gamesAction, second start documents", "shown, N inset, documents in front"},
                     {"gamesAction, second start Reminders, second start ../windows", "shown, N inset, games in front"},
                     {"second start no such window", "shown, N inset"},
                     {"Ctrl+O", "shown, A inset, on top"},
                     {"Ctrl+O, Ctrl+O", "shown, N raised"},
                     {"onTopPanel, onTopPanel", "shown, N raised"},
                     // A double click switches once.
                     {"onTopPanel double click, onTopPanel double click", "shown, N raised"},
                     {"F1", "shown, N inset, help contents"},
                     {"F2", "shown, N inset, tip One"},
                     {"messagePanel double click", "shown, N inset, tip One"},
                     {"F2, nextTipButton, nextTipButton, nextTipButton", tip.arg("One"),
                      "One\nTwo\nThree\n"}, // round again
                     {"F2, nextTipButton", tip.arg(""), ""},
                     {"F2, nextTipButton, nextTipButton", tip.arg("b"), "a\n\nb"},
                     {"F2, nextTipButton, nextTipButton", tip.arg("c\rd"), "a\r\nb\nc\rd"},
                     {"F2", tip.arg(QStringLiteral(u"é 😀")),
                      "\xEF\xBB\xBF\xC3\xA9 \xF0\x9F\x98\x80\n"},           // UTF-8, a BOM dropped
                     {"F2", tip.arg(QStringLiteral(u"Café")), "Caf\xE9\n"}, // not UTF-8: Latin-1
                     {"F2", problem, "missing"},
                     {"F2", problem, "folder"},
                     {"F2", problem, "unreadable"},
                     {"F2, Enter", "shown, N inset"},
                     // The focus on Next Tip must not turn Enter into Next Tip.
                     {"F2, nextTipButton focused, Return", "shown, N inset"},
                     {"F2, okButton", "shown, N inset"},
                     {"F3, blink", "shown, N inset, about underlined"},
                     {"F3, blink, okButton, F3", "shown, N inset, about"},
                     {"F2, F3, main window activated", "shown, N inset"},
                     {"exitAction", exit.arg(0)},
                     {"toolbar Exit", exit.arg(1)},
                     {"close", exit.arg(0)},
             })
            QTest::newRow(qPrintable(QStringLiteral("%1: %2").arg(++count).arg(row.gestures))) << row;
    }

    void mainWindowGestures()
    {
        const Gestures row = fetchRow<Gestures>();
        WindowRun run;
        QFile tips(run.folder.file(ProgramFiles::Tips));
        tips.remove();
        if (row.tips == "folder")
            QVERIFY(QDir().mkdir(tips.fileName()));
        else if (row.tips != "missing")
            QVERIFY(tips.open(QIODevice::WriteOnly) && tips.write(row.tips) == row.tips.size());
        tips.close();
        // A superuser's rights over files dropped too, while the file is unreadable.
        std::unique_ptr<ReadOnlyFile> rights(row.tips == "unreadable" ? new ReadOnlyFile(tips.fileName()) : nullptr);
        QVERIFY(!rights || tips.setPermissions(QFileDevice::WriteOwner));
        bool popup = false;
        // The icon's presses in the order of QSystemTrayIcon::ActivationReason.
        const QStringList presses = {"unknown", "right", "double", "left", "middle"};
        for (const QString& gesture : QString(row.gestures).split(", ")) {
            TipWindow* tip = run.session->tipsIfLoaded();
            QWidget* dialog = tip ? static_cast<QWidget*>(tip) : run.session->aboutIfLoaded();
            if (gesture == "no tray host")
                run.services->trayAvailable = false;
            else if (auto* panel = run.mainWindow->findChild<StatusPanel*>(gesture.section(' ', 0, 0)))
                gesture.endsWith("double click") ? doubleClick(panel) : QTest::mouseClick(panel, Qt::LeftButton);
            else if (const QStringList words = gesture.split(' '); words.first() == "icon") {
                if (words.size() > 2)
                    answerPopup(words.at(2), &popup);
                emit run.services->trayIcon->activated(QSystemTrayIcon::ActivationReason(presses.indexOf(words.at(1))));
                QTest::qWait(100);
            } else if (gesture.startsWith("second start"))
                run.session->bringForward(childWindowNamed(gesture.mid(QStringLiteral("second start ").size())));
            else if (gesture == "nextTipButton focused") {
                tip->activateWindow();
                QVERIFY(QTest::qWaitForWindowActive(tip));
                part(tip, "nextTipButton")->setFocus();
                QTRY_VERIFY(part(tip, "nextTipButton")->hasFocus());
            } else if (auto* button = dialog ? dialog->findChild<QPushButton*>(gesture) : nullptr)
                QTest::mouseClick(button, Qt::LeftButton);
            else if (gesture == "blink") // every half second
                QTRY_VERIFY_WITH_TIMEOUT(part<QLabel>(run.session->aboutIfLoaded(), "titleLabel")->font().underline(),
                                         2000);
            else if (gesture == "main window activated")
                run.session->closeAboutAndTips();
            else if (auto* toolbar = part<QToolBar>(run.mainWindow, "toolBar"); gesture == "toolbar Exit")
                QTest::mouseClick(toolbar->widgetForAction(toolbar->actions().last()), Qt::LeftButton);
            else if (gesture == "close")
                run.mainWindow->close();
            else if (auto* item = run.mainWindow->findChild<QAction*>(gesture))
                item->trigger();
            else if (const QKeySequence key(gesture); !key.isEmpty()) {
                if (!dialog) { // a shortcut of the main window takes it active
                    run.mainWindow->activateWindow();
                    QVERIFY(QTest::qWaitForWindowActive(run.mainWindow));
                }
                QTest::keyClick(dialog ? (dialog->focusWidget() ? dialog->focusWidget() : dialog) : run.mainWindow,
                                key[0].key(), key[0].keyboardModifiers());
            } else
                QFAIL(qPrintable(gesture));
        }
        QTest::qWait(10); // windows and the icon closed go
        QStringList shown;
        if (run.session->mainWindowIfLoaded()) {
            shown << (run.mainWindow->isMinimized() ? "minimized" : run.mainWindow->isVisible() ? "shown" : "hidden");
            auto* onTop = part<StatusPanel>(run.mainWindow, "onTopPanel");
            shown << onTop->text() + (onTop->bevel() == StatusPanel::Bevel::Inset ? " inset" : " raised");
            if (WindowSystem::isTopmost(run.mainWindow) || run.session->isOnTop())
                shown << "on top";
            for (const RecordingServices::HelpRequest& help : std::as_const(run.services->helpRequests))
                shown << (help.owner == run.mainWindow && help.file == run.folder.file(ProgramFiles::Help)
                                          && !help.topic
                                  ? "help contents"
                                  : "other help");
            if (TipWindow* tip = run.session->tipsIfLoaded())
                shown << "tip " + part<QLabel>(tip, "tipLabel")->text();
            if (AboutBox* about = run.session->aboutIfLoaded())
                shown << (part<QLabel>(about, "titleLabel")->font().underline() ? "about underlined" : "about");
            if (popup)
                shown << "pop-up";
            if (const QString child = childInFront(*run.session); !child.isEmpty())
                shown << child;
        } else {
            shown << QStringLiteral("ended %1, icon %2, %3 sounds")
                             .arg(run.ended->value(0).value(0).toInt())
                             .arg(run.services->trayIcon ? "left" : "removed")
                             .arg(run.services->sounds.size());
        }
        QCOMPARE(shown.join(", "), row.state);
    }

    void splash_data()
    {
        const QString shown = "main window shown, 1 icon", inFront = "main window shown, %1 in front, 1 icon";
        addRows<SplashRun>({
                {"seven ticks", {true, 7, "", shown}},
                {"click before the first tick", {true, 0, "click", shown}},
                {"click after the first tick", {true, 1, "click", shown}},
                {"closed after the first tick", {true, 1, "close", shown}},
                // Later starts while the splash runs (so also the first start's own --window): the window asked for
                // shows in front with the main window; a start naming none or no window changes nothing.
                {"later start, seven ticks", {true, 7, "second start softwares", inFront.arg("softwares")}},
                {"later start, click", {true, 0, "second start reminders, click", inFront.arg("reminders")}},
                {"later starts, closed",
                 {true, 1, "second start games, second start, second start x, close", inFront.arg("games")}},
                // Nothing to show without the database: the program ends.
                {"closed before the first tick", {true, 0, "close", "ended 0, 0 icon"}},
                {"no database", {false, 1, "", "ended 1, 0 icon, failure names the file"}},
        });
    }

    void splash()
    {
        const auto [database, ticks, then, state] = fetchRow<SplashRun>();
        ProgramRun run(database ? ProgramFolder::Content::Everything : ProgramFolder::Content::WithoutDatabase);
        QPointer<SplashWindow> splash = &run.session->splash();
        splash->show(); // its timer runs, and the ticks below come before it ticks
        QStringList gestures = then.split(", ", Qt::SkipEmptyParts);
        while (!gestures.isEmpty() && gestures.first().startsWith("second start"))
            run.session->bringForward(
                    childWindowNamed(gestures.takeFirst().mid(QStringLiteral("second start ").size())));
        for (int tick = 1; tick <= ticks; ++tick) {
            splash->step();
            // The first tick opens the database and loads the main window unseen; the seventh shows it.
            if (database) {
                QVERIFY(run.session->database().isOpen());
                QCOMPARE(run.session->mainWindowIfLoaded()->isVisible(), tick == 7);
            }
        }
        const QPointer<MainWindow> loaded = run.session->mainWindowIfLoaded();
        QCloseEvent close;
        if (gestures.value(0) == "close")
            QApplication::sendEvent(splash->windowHandle(), &close);
        else if (gestures.value(0) == "click") // inside the outline, clear of the letters
            QTest::mouseClick(splash, Qt::LeftButton, {}, QPoint(60, 150));
        QTest::qWait(400); // no tick follows
        QVERIFY(!run.session->splashIfLoaded());
        QVERIFY(!loaded || run.session->mainWindowIfLoaded() == loaded); // not opened again
        QStringList shown;
        if (MainWindow* mainWindow = run.session->mainWindowIfLoaded())
            shown << (mainWindow->isVisible() ? "main window shown" : "main window unseen");
        if (const QString child = childInFront(*run.session); !child.isEmpty())
            shown << child;
        for (const QList<QVariant>& end : std::as_const(*run.ended))
            shown << "ended " + end.value(0).toString();
        shown << QStringLiteral("%1 icon").arg(run.services->trayTips.size());
        for (const QString& failure : std::as_const(run.services->startupFailures))
            shown << (failure.contains(run.folder.file(ProgramFiles::Database)) ? "failure names the file" : failure);
        QCOMPARE(shown.join(", "), state);
    }
};

QTEST_MAIN(DesktopTest)
#include "tst_desktop.moc"
