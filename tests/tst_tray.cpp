// The notification-area icon: its record, the replaced window procedure and
// the icon's pop-up menu.
#include "platform/qtservices.h"
#include "programrun.h"
#include "shell/listwindow.h"
#include "shell/mains.h"
#include "shell/module1.h"
#include "windowdriver.h"

#include <QApplication>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QtTest>

using namespace trovix;

namespace {

// A run with the main window loaded and hidden, its icon in the tray.
struct Run : ProgramRun
{
    Run() { openDatabase(); }

    qintptr send(unsigned message, qintptr lParam) { return services->sendMessage(mains, message, 0, lParam); }
};

// Answers the next pop-up menu as a user would: an item by name, or Esc.
void answerPopup(const QString& itemName, bool* shown)
{
    QTimer::singleShot(50, [itemName, shown] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        *shown = menu != nullptr;
        if (!menu)
            return;
        if (itemName.isEmpty()) {
            QTest::keyClick(menu, Qt::Key_Escape);
            return;
        }
        for (QAction* action : menu->actions()) {
            if (action->objectName() == itemName) {
                menu->setActiveAction(action);
                QTest::keyClick(menu, Qt::Key_Return);
                return;
            }
        }
        menu->close();
    });
}

} // namespace

class TrayTest : public QObject
{
    Q_OBJECT

private slots:
    void recordBytes();
    void tipIsCutAtSixtyFourCharacters_data();
    void tipIsCutAtSixtyFourCharacters();
    void hookIsInstalledOnce();
    void leftPressShowsTheHiddenWindow();
    void rightPressPopsUpTheMenu_data();
    void rightPressPopsUpTheMenu();
    void otherMessagesArePassedOn_data();
    void otherMessagesArePassedOn();
    void realIconTakesThePressesToTheProcedure();
};

void TrayTest::recordBytes()
{
    Run run;
    const QByteArray bytes = run.module->trayIconData.toBytes();
    QCOMPARE(bytes.size(), 88);
    const auto number = [&bytes](int offset) {
        return quint32(quint8(bytes[offset])) | quint32(quint8(bytes[offset + 1])) << 8
               | quint32(quint8(bytes[offset + 2])) << 16 | quint32(quint8(bytes[offset + 3])) << 24;
    };
    QCOMPARE(number(0), 88u);
    QCOMPARE(number(8), run.module->trayIconData.uID);
    QCOMPARE(number(12), 7u);
    QCOMPARE(number(16), 517u);
    QCOMPARE(number(20), number(8)); // the icon's handle is also the id
    QCOMPARE(bytes.mid(24), QByteArray("Trovix 1.0") + '\0' + QByteArray(53, ' '));
}

void TrayTest::tipIsCutAtSixtyFourCharacters_data()
{
    QTest::addColumn<QString>("tip");
    QTest::addColumn<QString>("shown");
    QTest::newRow("short") << "Trovix 1.0"
                           << "Trovix 1.0";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("63") << QString(63, QLatin1Char('x')) << QString(63, QLatin1Char('x'));
    QTest::newRow("64") << QString(64, QLatin1Char('y')) << QString(64, QLatin1Char('y'));
    QTest::newRow("70") << QString(70, QLatin1Char('z')) << QString(64, QLatin1Char('z'));
}

void TrayTest::tipIsCutAtSixtyFourCharacters()
{
    QFETCH(QString, tip);
    QFETCH(QString, shown);
    TrayIconData record;
    record.szTip = TrayIconData::tipField(tip);
    QCOMPARE(record.szTip.size(), 64);
    QCOMPARE(record.tipText(), shown);
}

void TrayTest::hookIsInstalledOnce()
{
    Run run;
    QVERIFY(run.module->isHooked);
    // A second hook would make the module's procedure its own predecessor.
    run.module->HookWindow(run.mains);
    QCOMPARE(run.send(517, 512), 0);
    QCOMPARE(run.services->defaultProcMessages, QList<unsigned>{517});
}

void TrayTest::leftPressShowsTheHiddenWindow()
{
    Run run;
    run.mains->show();
    run.module->MinimizeToTray();
    QVERIFY(!run.mains->isVisible());
    QCOMPARE(run.send(517, 513), -1);
    QVERIFY(run.mains->isVisible());
    // Pressed again while visible: it stays as it is.
    QCOMPARE(run.send(517, 513), -1);
    QVERIFY(run.mains->isVisible());
    QVERIFY(run.services->defaultProcMessages.isEmpty());
}

void TrayTest::rightPressPopsUpTheMenu_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<bool>("visibleAfter");
    QTest::addColumn<int>("ended");
    QTest::addColumn<int>("trayDeletes");
    QTest::newRow("Trovix") << "mnutrovix" << true << 0 << 0;
    QTest::newRow("Esc") << "" << false << 0 << 0;
    QTest::newRow("Exit") << "mnuexit" << false << 1 << 2;
    QTest::newRow("Exit while Browse's dialog is open") << "mnuexit" << false << 1 << 2;
}

void TrayTest::rightPressPopsUpTheMenu()
{
    QFETCH(QString, item);
    QFETCH(bool, visibleAfter);
    QFETCH(int, ended);
    QFETCH(int, trayDeletes);
    Run run;
    bool shown = false;
    if (QByteArray(QTest::currentDataTag()).contains("dialog")) {
        // The file dialog of a list window is open, its own event loop running, when the icon is pressed.
        run.mains->show();
        run.services->dialogForReal = true;
        QPointer<ListWindow> list = run.module->childWindow(ChildWindow::Softwares);
        run.module->ShowChild(ChildWindow::Softwares);
        clickButton(list, 3);
        QTimer::singleShot(300, [&] {
            answerPopup(item, &shown);
            run.send(517, 516);
        });
        QTest::mouseClick(list->findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
        QTRY_VERIFY(list.isNull());
    } else {
        QVERIFY(!run.mains->isVisible()); // loaded, hidden, as in the tray
        answerPopup(item, &shown);
        QCOMPARE(run.send(517, 516), -1);
    }
    QVERIFY(shown);
    QCOMPARE(run.ended->size(), ended);
    QCOMPARE(run.trayDeletes(), trayDeletes);
    if (ended == 0)
        QCOMPARE(run.mains->isVisible(), visibleAfter);
    else
        QVERIFY(!run.module->mains.isLoaded());
}

void TrayTest::otherMessagesArePassedOn_data()
{
    QTest::addColumn<unsigned>("message");
    QTest::addColumn<qintptr>("lParam");
    QTest::newRow("mouse move over the icon") << 517u << qintptr(512);
    QTest::newRow("left release") << 517u << qintptr(514);
    QTest::newRow("left double click") << 517u << qintptr(515);
    QTest::newRow("right release") << 517u << qintptr(517);
    QTest::newRow("another message with a press number") << 15u << qintptr(513);
}

void TrayTest::otherMessagesArePassedOn()
{
    QFETCH(unsigned, message);
    QFETCH(qintptr, lParam);
    Run run;
    QCOMPARE(run.send(message, lParam), 0);
    QCOMPARE(run.services->defaultProcMessages, QList<unsigned>{message});
    QVERIFY(!run.mains->isVisible());
    QCOMPARE(run.ended->size(), 0);
}

void TrayTest::realIconTakesThePressesToTheProcedure()
{
    ProgramFolder folder;
    auto owned = std::make_unique<QtServices>();
    QtServices& services = *owned;
    Module1 module(folder.path(), std::move(owned));
    QSignalSpy ended(&module, &Module1::programEnded);
    module.OpenDatabase();
    Mains* mains = module.mains.get();
    QSystemTrayIcon* icon = services.trayIcon();
    QVERIFY(icon);
    QCOMPARE(icon->toolTip(), QStringLiteral("Trovix 1.0"));
    QVERIFY(!mains->isVisible());
    emit icon->activated(QSystemTrayIcon::Trigger);
    QTRY_VERIFY(mains->isVisible());

    mains->hide();
    bool shown = false;
    answerPopup(QStringLiteral("mnutrovix"), &shown);
    emit icon->activated(QSystemTrayIcon::Context);
    QTRY_VERIFY(shown);
    QVERIFY(mains->isVisible());

    // Exit from the icon's own menu removes the icon it was chosen from.
    shown = false;
    answerPopup(QStringLiteral("mnuexit"), &shown);
    emit icon->activated(QSystemTrayIcon::Context);
    QTRY_COMPARE(ended.size(), 1);
    QVERIFY(shown);
    QVERIFY(!services.trayIcon());
    QVERIFY(!module.mains.isLoaded());
    module.RemoveTrayIcon(); // one more removal is ignored
}

QTEST_MAIN(TrayTest)
#include "tst_tray.moc"
