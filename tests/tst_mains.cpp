// The main window, driven through its real widgets.
#include "platform/windowsystem.h"
#include "programrun.h"
#include "shell/mains.h"
#include "shell/module1.h"
#include "shell/statuspanel.h"
#include "store/programfiles.h"
#include "windowdriver.h"

#include <QApplication>
#include <QMenuBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

using namespace trovix;

namespace {

// A run whose database is open and whose main window is shown, as after the splash.
// A run whose main window is shown, as after the splash.
struct Run : ProgramRun
{
    Run()
    {
        openDatabase();
        WindowSystem::bringToForeground(mains);
        QVERIFY(QTest::qWaitForWindowActive(mains));
    }

    QToolButton* toolbarButton(int position) const
    {
        return qobject_cast<QToolButton*>(
                mains->Toolbar1->widgetForAction(mains->Toolbar1->actions().at(position - 1)));
    }
};

} // namespace

class MainsTest : public QObject
{
    Q_OBJECT

private slots:
    void loadPreparesHelpTrayAndHook();
    void statusPanelsAtStart_data();
    void statusPanelsAtStart();
    void menusCarryTheirShortcuts_data();
    void menusCarryTheirShortcuts();
    void toolbarButtonsInOrder();
    void toggleOnTopTwiceReturnsToTheNormalBand_data();
    void toggleOnTopTwiceReturnsToTheNormalBand();
    void minimizeHidesOnlyWhenATrayHostCanBringItBack_data();
    void minimizeHidesOnlyWhenATrayHostCanBringItBack();
    void helpContentsIsOwnedByTheMainWindow();
    void exitPaths_data();
    void exitPaths();
    void messageLineGivesWayInANarrowWindow();
};

void MainsTest::loadPreparesHelpTrayAndHook()
{
    Run run;
    QCOMPARE(run.module->helpFile, run.folder.file(ProgramFiles::Help));
    QVERIFY(!run.module->alwaysOnTop);
    QVERIFY(run.module->isHooked);
    QCOMPARE(run.services->trayRequests.size(), 1);
    const TrayIconData& record = run.services->trayRequests[0].data;
    QCOMPARE(run.services->trayRequests[0].message, TrayMessage::Add);
    QCOMPARE(record.cbSize, 88u);
    QCOMPARE(record.uFlags, 7u);
    QCOMPARE(record.uCallbackMessage, 517u);
    QCOMPARE(record.hWnd.data(), static_cast<QWidget*>(run.mains));
    QCOMPARE(record.szTip, QByteArray("Trovix 1.0") + '\0' + QByteArray(53, ' '));
    QCOMPARE(record.tipText(), QStringLiteral("Trovix 1.0"));
    QCOMPARE(run.mains->windowTitle(), QStringLiteral("Marlen's TROVIX"));
}

void MainsTest::statusPanelsAtStart_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("toolTip");
    QTest::addColumn<int>("widthTwips");
    QTest::newRow("1") << 1 << "Minimize"
                       << "Minimize to System Tray" << 1446;
    QTest::newRow("2") << 2 << "Double Click for Tip of the Day"
                       << "Messages from TROVIX" << 9349;
    QTest::newRow("3") << 3 << "N"
                       << "A - Always on Top  N - Not on Top" << 1235;
}

void MainsTest::statusPanelsAtStart()
{
    QFETCH(int, index);
    QFETCH(QString, text);
    QFETCH(QString, toolTip);
    QFETCH(int, widthTwips);
    Run run;
    StatusPanel* panel = run.mains->findChild<StatusPanel*>(QStringLiteral("Panels(%1)").arg(index));
    QVERIFY(panel);
    QCOMPARE(panel, run.mains->Panels(index));
    QCOMPARE(panel->text(), text);
    QCOMPARE(panel->toolTip(), toolTip);
    QCOMPARE(panel->sizeHint().width(), widthTwips / 15);
    QCOMPARE(panel->bevel(), StatusPanel::Bevel::Inset);
    // A status tip, as a hovered menu item shows one, leaves every panel in view.
    run.mains->StatusBar1->showMessage(QStringLiteral("a status tip"));
    QVERIFY(panel->isVisibleTo(run.mains));
}

void MainsTest::menusCarryTheirShortcuts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QKeySequence>("shortcut");
    const QList<std::tuple<const char*, const char*, QKeySequence>> items = {
            {"mnuresize", "&Minimize", QKeySequence(Qt::CTRL | Qt::Key_Y)},
            {"mnuontop", "&Always on Top", QKeySequence(Qt::CTRL | Qt::Key_O)},
            {"mnuexits", "&Exit", QKeySequence()},
            {"mnugames", "&Games", QKeySequence(Qt::CTRL | Qt::Key_G)},
            {"mnusoftwares", "&Softwares", QKeySequence(Qt::CTRL | Qt::Key_T)},
            {"mnuwindows", "&Windows Softwares", QKeySequence(Qt::CTRL | Qt::Key_W)},
            {"mnudocuments", "&Documents", QKeySequence(Qt::CTRL | Qt::Key_D)},
            {"mnureminders", "&Reminders", QKeySequence(Qt::CTRL | Qt::Key_R)},
            {"mnutrovix", "&Trovix", QKeySequence()},
            {"mnuexit", "&Exit", QKeySequence()},
            {"mnuhelp", "&Contents", QKeySequence(Qt::Key_F1)},
            {"mnutip", "&Tip of the Day", QKeySequence(Qt::Key_F2)},
            {"mnuversion", "&Version", QKeySequence(Qt::Key_F3)},
    };
    for (const auto& [name, caption, shortcut] : items)
        QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(caption) << shortcut;
}

void MainsTest::menusCarryTheirShortcuts()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QKeySequence, shortcut);
    Run run;
    auto* action = run.mains->findChild<QAction*>(name);
    QVERIFY(action);
    QCOMPARE(action->text(), caption);
    QCOMPARE(action->shortcut(), shortcut);
    // The tray's menu stays out of the menu bar.
    const bool inTrayMenu = run.mains->mnusystray->actions().contains(action);
    QCOMPARE(inTrayMenu, name == QLatin1String("mnutrovix") || name == QLatin1String("mnuexit"));
    QVERIFY(!run.mains->menuBar()->actions().contains(run.mains->mnusystray->menuAction()));
}

void MainsTest::toolbarButtonsInOrder()
{
    Run run;
    const QStringList captions = {"Game", "S/W", "Win", "Docs", "Rem", "Exit"};
    QCOMPARE(run.mains->Toolbar1->actions().size(), captions.size());
    for (int position = 1; position <= captions.size(); ++position) {
        QToolButton* button = run.toolbarButton(position);
        QVERIFY(button);
        QCOMPARE(button->text(), captions[position - 1]);
        QVERIFY(!button->icon().isNull());
        QCOMPARE(button->size(), QSize(95, 39)); // 1429 by 582 twips
    }
    // A click plays the toolbar sound first.
    QTest::mouseClick(run.toolbarButton(5), Qt::LeftButton);
    QCOMPARE(run.services->sounds, QStringList{run.folder.file(ProgramFiles::OverSound)});
    QVERIFY(run.mains->isVisible());
    // A right press on the toolbar or the menu bar opens no pop-up that could hide the toolbar.
    for (QWidget* bar : {static_cast<QWidget*>(run.mains->Toolbar1), static_cast<QWidget*>(run.mains->menuBar())}) {
        const QPoint place = bar->mapTo(run.mains, bar->rect().center());
        QTest::mousePress(run.mains->windowHandle(), Qt::RightButton, {}, place);
        const bool popup = QApplication::activePopupWidget();
        QTest::mouseRelease(run.mains->windowHandle(), Qt::RightButton, {}, place);
        QVERIFY2(!popup, bar->metaObject()->className());
        QVERIFY(run.mains->Toolbar1->isVisible());
    }
}

void MainsTest::toggleOnTopTwiceReturnsToTheNormalBand_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Ctrl+O") << "key";
    QTest::newRow("menu item") << "menu";
    QTest::newRow("status panel 3") << "panel";
    QTest::newRow("status panel 3, double clicks") << "double";
}

void MainsTest::toggleOnTopTwiceReturnsToTheNormalBand()
{
    QFETCH(QString, how);
    Run run;
    const auto toggle = [&] {
        if (how == QLatin1String("key")) {
            QVERIFY(QTest::qWaitForWindowActive(run.mains));
            QTest::keyClick(run.mains, Qt::Key_O, Qt::ControlModifier);
        } else if (how == QLatin1String("menu")) {
            run.mains->mnuontop->trigger();
        } else if (how == QLatin1String("panel")) {
            QTest::mouseClick(run.mains->Panels(3), Qt::LeftButton);
        } else {
            doubleClick(run.mains->Panels(3)); // one action, as a click
        }
    };
    StatusPanel* panel3 = run.mains->Panels(3);

    toggle();
    QVERIFY(run.module->alwaysOnTop);
    QVERIFY(WindowSystem::isTopmost(run.mains));
    QVERIFY(run.mains->isVisible());
    QCOMPARE(panel3->text(), QStringLiteral("A"));
    QCOMPARE(panel3->bevel(), StatusPanel::Bevel::Inset);

    toggle();
    QVERIFY(!run.module->alwaysOnTop);
    QVERIFY(!WindowSystem::isTopmost(run.mains));
    QVERIFY(run.mains->isVisible());
    QCOMPARE(panel3->text(), QStringLiteral("N"));
    QCOMPARE(panel3->bevel(), StatusPanel::Bevel::Raised);
}

void MainsTest::minimizeHidesOnlyWhenATrayHostCanBringItBack_data()
{
    QTest::addColumn<bool>("trayHost");
    QTest::addColumn<QString>("how");
    QTest::newRow("tray host, menu") << true << "menu";
    QTest::newRow("tray host, panel 1") << true << "panel";
    QTest::newRow("no tray host, menu") << false << "menu";
    QTest::newRow("no tray host, panel 1") << false << "panel";
}

void MainsTest::minimizeHidesOnlyWhenATrayHostCanBringItBack()
{
    QFETCH(bool, trayHost);
    QFETCH(QString, how);
    Run run;
    run.services->trayAvailable = trayHost;
    if (how == QLatin1String("menu"))
        run.mains->mnuresize->trigger();
    else
        QTest::mouseClick(run.mains->Panels(1), Qt::LeftButton);
    if (trayHost) {
        QVERIFY(!run.mains->isVisible());
    } else {
        QVERIFY(run.mains->isVisible());
        QVERIFY(run.mains->isMinimized());
    }
    QVERIFY(run.module->mains.isLoaded());
    QCOMPARE(run.ended->size(), 0);

    run.mains->mnutrovix_Click();
    QVERIFY(run.mains->isVisible());
    QVERIFY(!run.mains->isMinimized());
}

void MainsTest::helpContentsIsOwnedByTheMainWindow()
{
    Run run;
    run.mains->mnuhelp->trigger();
    QCOMPARE(run.services->helpRequests.size(), 1);
    const auto& request = run.services->helpRequests[0];
    QCOMPARE(request.owner.data(), static_cast<QWidget*>(run.mains));
    QCOMPARE(request.file, run.folder.file(ProgramFiles::Help));
    QCOMPARE(request.command, HelpCommand::Finder);
    QCOMPARE(request.data, 0);
}

void MainsTest::exitPaths_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("trayDeletes");
    QTest::addColumn<int>("sounds");
    QTest::newRow("Arrange, Exit") << "mnuexits" << 1 << 0;
    QTest::newRow("toolbar button 6") << "button" << 1 << 1;
    QTest::newRow("tray menu Exit") << "mnuexit" << 2 << 0;
    QTest::newRow("window closed") << "close" << 1 << 0;
}

void MainsTest::exitPaths()
{
    QFETCH(QString, how);
    QFETCH(int, trayDeletes);
    QFETCH(int, sounds);
    Run run;
    if (how == QLatin1String("button"))
        QTest::mouseClick(run.toolbarButton(6), Qt::LeftButton);
    else if (how == QLatin1String("close"))
        run.mains->close();
    else
        run.mains->findChild<QAction*>(how)->trigger();

    QCOMPARE(run.services->sounds.size(), sounds);
    QCOMPARE(run.trayDeletes(), trayDeletes);
    QCOMPARE(run.ended->size(), 1);
    QCOMPARE(run.ended->at(0).at(0).toInt(), 0);
    QVERIFY(!run.module->mains.isLoaded());
    QTRY_VERIFY(run.mains.isNull());
}

void MainsTest::messageLineGivesWayInANarrowWindow()
{
    Run run;
    // The panels together are wider than the design's window; the first and
    // last keep their widths and stay in view, the message line gives way.
    run.mains->resize(300, 300);
    QTRY_COMPARE(run.mains->width(), 300);
    for (int index : {1, 3}) {
        StatusPanel* panel = run.mains->Panels(index);
        QCOMPARE(panel->width(), panel->sizeHint().width());
        QVERIFY(panel->isVisible());
        QVERIFY(panel->geometry().right() <= run.mains->StatusBar1->width());
    }
}

QTEST_MAIN(MainsTest)
#include "tst_mains.moc"
