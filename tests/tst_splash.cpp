// The start-up window, driven through its real widgets.
#include "extras/splash.h"
#include "platform/connection.h"
#include "programrun.h"
#include "shell/mains.h"
#include "shell/module1.h"
#include "store/programfiles.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

using namespace trovix;

namespace {

struct Run : ProgramRun
{
    explicit Run(ProgramFolder::Content content = ProgramFolder::Content::Everything)
        : ProgramRun(content)
    {
        splash = module->splash.get();
        splash->Timer1->stop(); // ticks are driven by hand unless a test wants the real timer
        splash->show();
    }

    QList<int> underlined() const
    {
        QList<int> result;
        for (int i = 0; i < splash->Label1.size(); ++i) {
            if (splash->Label1[i]->font().underline())
                result << i;
        }
        return result;
    }

    QPointer<Splash> splash;
};

// A point on the splash's own surface, inside the outline and clear of the letters.
const QPoint Surface(60, 150);

} // namespace

class SplashTest : public QObject
{
    Q_OBJECT

private slots:
    void lettersSpellTheNameFromTopToBottom();
    void outlineIsThePolygon_data();
    void outlineIsThePolygon();
    void firstTickOpensTheDatabaseAndLoadsTheMainWindowUnseen();
    void underlineStepsDownTheLetters();
    void seventhTickShowsTheMainWindowAndUnloads();
    void realTimerEndsTheSplashInAboutASecond();
    void clickOrCloseEndsTheWait_data();
    void clickOrCloseEndsTheWait();
    void clickOnALetterDoesNothing();
    void failedOpeningEndsTheProgramPlainly();
};

void SplashTest::lettersSpellTheNameFromTopToBottom()
{
    Run run;
    QList<QLabel*> letters = run.splash->Label1.mid(0, 6);
    std::sort(letters.begin(), letters.end(), [](QLabel* a, QLabel* b) { return a->y() < b->y(); });
    QString name;
    for (QLabel* label : letters)
        name += label->text();
    QCOMPARE(name, QStringLiteral("TROVIX"));
    QCOMPARE(run.splash->Label1[6]->text() + run.splash->Label1[8]->text() + run.splash->Label1[7]->text(),
             QStringLiteral("1.0"));
    QVERIFY(run.underlined().isEmpty());
    QCOMPARE(run.splash->splashStep, 1);
}

void SplashTest::outlineIsThePolygon_data()
{
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<bool>("inside");
    QTest::newRow("middle") << QPoint(150, 200) << true;
    QTest::newRow("lower right tail") << QPoint(290, 330) << true;
    QTest::newRow("top left corner") << QPoint(10, 10) << false;
    QTest::newRow("right of the neck") << QPoint(290, 150) << false;
    QTest::newRow("cut corner") << QPoint(60, 60) << false;
}

void SplashTest::outlineIsThePolygon()
{
    QFETCH(QPoint, point);
    QFETCH(bool, inside);
    Run run;
    QCOMPARE(run.splash->mask().contains(point), inside);
}

void SplashTest::firstTickOpensTheDatabaseAndLoadsTheMainWindowUnseen()
{
    Run run;
    QVERIFY(!run.module->mains.isLoaded());
    run.splash->Timer1_Timer();
    QVERIFY(run.module->dbConnection && run.module->dbConnection->isOpen());
    QVERIFY(run.module->mains.isLoaded());
    QVERIFY(!run.module->mains.ifLoaded()->isVisible());
    QCOMPARE(run.services->trayRequests.size(), 1); // the icon is there from the first tick
    QCOMPARE(run.underlined(), QList<int>{5});
    QCOMPARE(run.splash->splashStep, 2);
}

void SplashTest::underlineStepsDownTheLetters()
{
    Run run;
    const QList<QList<int>> expected = {{5}, {0}, {1}, {2}, {3}, {4}};
    for (const QList<int>& underlined : expected) {
        run.splash->Timer1_Timer();
        QCOMPARE(run.underlined(), underlined);
        QVERIFY(!run.module->mains.ifLoaded()->isVisible());
    }
    QCOMPARE(run.splash->splashStep, 7);
}

void SplashTest::seventhTickShowsTheMainWindowAndUnloads()
{
    Run run;
    for (int tick = 1; tick <= 7; ++tick)
        run.splash->Timer1_Timer();
    QVERIFY(run.module->mains.ifLoaded()->isVisible());
    QVERIFY(!run.module->splash.isLoaded());
    QTRY_VERIFY(run.splash.isNull());
    QCOMPARE(run.services->trayRequests.size(), 1);
    QCOMPARE(run.ended->size(), 0);
}

void SplashTest::realTimerEndsTheSplashInAboutASecond()
{
    Run run;
    run.splash->Timer1->start();
    QTRY_VERIFY_WITH_TIMEOUT(run.module->mains.isLoaded() && run.module->mains.ifLoaded()->isVisible(), 10000);
    QTRY_VERIFY(run.splash.isNull());
}

void SplashTest::clickOrCloseEndsTheWait_data()
{
    QTest::addColumn<bool>("ticked");
    QTest::addColumn<bool>("closed"); // by the window manager, not clicked
    QTest::newRow("click before the first tick") << false << false;
    QTest::newRow("click after the first tick") << true << false;
    QTest::newRow("closed before the first tick") << false << true;
    QTest::newRow("closed after the first tick") << true << true;
}

void SplashTest::clickOrCloseEndsTheWait()
{
    QFETCH(bool, ticked);
    QFETCH(bool, closed);
    Run run;
    run.splash->Timer1->start();
    if (ticked)
        run.splash->Timer1_Timer();
    Mains* loaded = run.module->mains.ifLoaded();
    if (closed) {
        QCloseEvent close; // as Alt+F4 sends it through the window
        QApplication::sendEvent(run.splash->windowHandle(), &close);
    } else {
        QTest::mouseClick(run.splash, Qt::LeftButton, {}, Surface);
    }
    QVERIFY(!run.module->splash.isLoaded());
    QTest::qWait(400); // no tick follows
    if (closed && !ticked) {
        // Nothing to show without the database: the program ends.
        QCOMPARE(run.ended->size(), 1);
        QCOMPARE(run.ended->at(0).at(0).toInt(), 0);
        QVERIFY(!run.module->mains.isLoaded());
        QVERIFY(run.services->trayRequests.isEmpty());
        return;
    }
    QVERIFY(run.module->dbConnection && run.module->dbConnection->isOpen());
    QVERIFY(run.module->mains.ifLoaded()->isVisible());
    if (ticked)
        QCOMPARE(run.module->mains.ifLoaded(), loaded); // not opened again
    QCOMPARE(run.services->trayRequests.size(), 1);
    QCOMPARE(run.ended->size(), 0);
}

void SplashTest::clickOnALetterDoesNothing()
{
    Run run;
    QLabel* letter = run.splash->Label1[0];
    QTest::mouseClick(letter, Qt::LeftButton, {}, letter->rect().center());
    QVERIFY(run.module->splash.isLoaded());
    QVERIFY(!run.module->mains.isLoaded());
    QCOMPARE(run.splash->splashStep, 1);
}

void SplashTest::failedOpeningEndsTheProgramPlainly()
{
    Run run(ProgramFolder::Content::WithoutDatabase);
    run.splash->Timer1->start();
    run.splash->Timer1_Timer();
    QCOMPARE(run.services->startupFailures.size(), 1);
    QVERIFY2(run.services->startupFailures[0].contains(run.folder.file(ProgramFiles::Database)),
             qPrintable(run.services->startupFailures[0]));
    QCOMPARE(run.ended->size(), 1);
    QCOMPARE(run.ended->at(0).at(0).toInt(), 1);
    QVERIFY(!run.module->mains.isLoaded());
    QVERIFY(!run.module->splash.isLoaded());
    QTest::qWait(400);
    QCOMPARE(run.services->startupFailures.size(), 1); // no further tick tries again
}

QTEST_MAIN(SplashTest)
#include "tst_splash.moc"
