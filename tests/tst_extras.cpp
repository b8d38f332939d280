// The tips file, the Tip of the Day and the about box, driven through their real widgets.
#include "extras/about.h"
#include "extras/tip.h"
#include "extras/tipsfile.h"
#include "programrun.h"
#include "shell/mains.h"
#include "shell/module1.h"
#include "store/programfiles.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <unistd.h>

using namespace trovix;

namespace {

enum class Source { File, Missing, Directory };

// Leaves at the name a file of these bytes, nothing, or a folder; false when it could not.
bool place(const QString& fileName, Source source, const QByteArray& bytes = {})
{
    QFile::remove(fileName);
    if (source == Source::Directory)
        return QDir().mkdir(fileName);
    if (source == Source::Missing)
        return !QFile::exists(fileName);
    QFile file(fileName);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

const QString Problem = QStringLiteral("There is some problem with Tip of the Day");

bool titleUnderlined(About* about)
{
    return about->lblTitle->font().underline();
}

} // namespace

Q_DECLARE_METATYPE(Source)

class ExtrasTest : public QObject
{
    Q_OBJECT

private slots:
    void decodesLines_data();
    void decodesLines();
    void readsTheFile_data();
    void readsTheFile();
    void unreadableFileGivesNothing();

    void tipStepsRoundTheFile_data();
    void tipStepsRoundTheFile();
    void keysCloseAndUnloadTheTip_data();
    void keysCloseAndUnloadTheTip();

    void titleUnderlineFlipsEachTick();
    void reopeningAfterOkStartsPlain();
    void keysCloseAndUnloadTheAboutBox_data();
    void keysCloseAndUnloadTheAboutBox();

    void mainWindowActivationClosesBoth();
};

void ExtrasTest::decodesLines_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("three lines in order") << QByteArray("One\nTwo\nThree\n") << QStringList{"One", "Two", "Three"};
    QTest::newRow("one line") << QByteArray("Only\n") << QStringList{"Only"};
    QTest::newRow("empty file") << QByteArray() << QStringList();
    QTest::newRow("a line end alone") << QByteArray("\n") << QStringList{""};
    QTest::newRow("empty lines count") << QByteArray("a\n\n\nb\n") << QStringList{"a", "", "", "b"};
    QTest::newRow("final line without end") << QByteArray("a\nb") << QStringList{"a", "b"};
    QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << QStringList{"a", "b"};
    QTest::newRow("CR LF and LF mixed") << QByteArray("a\r\nb\nc") << QStringList{"a", "b", "c"};
    QTest::newRow("lone CR stays in its line") << QByteArray("a\rb\n\r") << QStringList{"a\rb", "\r"};
    QTest::newRow("UTF-8 accents and emoji") << QByteArray("Caf\xC3\xA9 cr\xC3\xA8me \xF0\x9F\x98\x80\nNa\xC3\xAFve\n")
                                             << QStringList{QStringLiteral(u"Café crème 😀"), QStringLiteral(u"Naïve")};
    QTest::newRow("Latin-1 accents") << QByteArray("Caf\xE9 cr\xE8me\n") << QStringList{QStringLiteral(u"Café crème")};
    QTest::newRow("UTF-8 cut short at the end is Latin-1")
            << QByteArray("abc\xC3") << QStringList{QStringLiteral(u"abc\u00C3")};
    QTest::newRow("encoded surrogate is Latin-1")
            << QByteArray("\xED\xA0\x80") << QStringList{QStringLiteral(u"\u00ED\u00A0\u0080")};
    QTest::newRow("BOM dropped") << QByteArray("\xEF\xBB\xBF"
                                               "First\nSecond\n")
                                 << QStringList{"First", "Second"};
    QTest::newRow("BOM before Latin-1") << QByteArray("\xEF\xBB\xBF"
                                                      "Caf\xE9")
                                        << QStringList{QStringLiteral(u"Café")};
    QTest::newRow("only the first BOM dropped")
            << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBFx") << QStringList{QStringLiteral(u"\uFEFFx")};
}

void ExtrasTest::decodesLines()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    QCOMPARE(TipsFile::decode(bytes), lines);
}

void ExtrasTest::readsTheFile_data()
{
    QTest::addColumn<Source>("source");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("three lines") << Source::File << QByteArray("One\r\nTwo\nThree") << true
                                 << QStringList{"One", "Two", "Three"};
    QTest::newRow("empty file") << Source::File << QByteArray() << true << QStringList();
    QTest::newRow("missing") << Source::Missing << QByteArray() << false << QStringList();
    QTest::newRow("directory") << Source::Directory << QByteArray() << false << QStringList();
}

void ExtrasTest::readsTheFile()
{
    QFETCH(Source, source);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, found);
    QFETCH(QStringList, lines);
    QTemporaryDir dir;
    const QString name = dir.filePath(ProgramFiles::Tips);
    QVERIFY(place(name, source, bytes));
    const std::optional<QStringList> tips = TipsFile::read(name);
    QCOMPARE(tips.has_value(), found);
    if (found)
        QCOMPARE(*tips, lines);
}

void ExtrasTest::unreadableFileGivesNothing()
{
    if (geteuid() == 0)
        QSKIP("the superuser reads every file");
    QTemporaryDir dir;
    const QString name = dir.filePath(ProgramFiles::Tips);
    QVERIFY(place(name, Source::File, "hidden\n"));
    QVERIFY(QFile::setPermissions(name, QFileDevice::WriteOwner));
    QVERIFY(!TipsFile::read(name).has_value());
}

void ExtrasTest::tipStepsRoundTheFile_data()
{
    QTest::addColumn<Source>("source");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("shown"); // at opening, then after each Next Tip
    QTest::newRow("three lines") << Source::File << QByteArray("One\nTwo\nThree\n")
                                 << QStringList{"One", "Two", "Three", "One", "Two"};
    QTest::newRow("one line") << Source::File << QByteArray("Only\n") << QStringList{"Only", "Only", "Only"};
    QTest::newRow("empty file") << Source::File << QByteArray() << QStringList{"", ""};
    QTest::newRow("missing") << Source::Missing << QByteArray() << QStringList{Problem, Problem};
    QTest::newRow("directory") << Source::Directory << QByteArray() << QStringList{Problem, Problem};
}

void ExtrasTest::tipStepsRoundTheFile()
{
    QFETCH(Source, source);
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, shown);
    ProgramRun run;
    QVERIFY(place(run.folder.file(ProgramFiles::Tips), source, bytes));
    run.module->ShowTips();
    Tip* tip = run.module->tip.ifLoaded();
    QVERIFY(tip && tip->isVisible());
    QCOMPARE(tip->lblTipText->text(), shown.first());
    for (qsizetype step = 1; step < shown.size(); ++step) {
        tip->cmdNextTip->click();
        QCOMPARE(tip->lblTipText->text(), shown.at(step));
    }
}

void ExtrasTest::keysCloseAndUnloadTheTip_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("onNextTip"); // the focus on Next Tip must not turn Enter into Next Tip
    QTest::newRow("Enter") << int(Qt::Key_Return) << false;
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << false;
    QTest::newRow("Esc") << int(Qt::Key_Escape) << false;
    QTest::newRow("Enter on Next Tip") << int(Qt::Key_Return) << true;
    QTest::newRow("Esc on Next Tip") << int(Qt::Key_Escape) << true;
}

void ExtrasTest::keysCloseAndUnloadTheTip()
{
    QFETCH(int, key);
    QFETCH(bool, onNextTip);
    ProgramRun run;
    QVERIFY(place(run.folder.file(ProgramFiles::Tips), Source::File, "One\nTwo\n"));
    run.module->ShowTips();
    QPointer<Tip> tip = run.module->tip.ifLoaded();
    QSignalSpy unloaded(tip.data(), &Tip::unloaded);
    QWidget* target = tip;
    if (onNextTip) {
        tip->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(tip));
        tip->cmdNextTip->setFocus();
        QTRY_VERIFY(tip->cmdNextTip->hasFocus());
        target = tip->cmdNextTip;
    }
    QTest::keyClick(target, Qt::Key(key));
    QCOMPARE(unloaded.size(), 1);
    QCOMPARE(tip->lblTipText->text(), QStringLiteral("One"));
    QTRY_VERIFY(!run.module->tip.isLoaded());
    QTRY_VERIFY(tip.isNull());
}

void ExtrasTest::titleUnderlineFlipsEachTick()
{
    ProgramRun run;
    run.module->ShowAbout();
    About* about = run.module->about.ifLoaded();
    QVERIFY(about->windowTitle().startsWith(QStringLiteral("TROVIX 1.0")));
    QCOMPARE(about->Timer1->interval(), 500);
    QVERIFY(about->Timer1->isActive());
    about->Timer1->stop(); // ticks are driven by hand from here
    QVERIFY(!titleUnderlined(about));
    about->Timer1_Timer();
    QVERIFY(titleUnderlined(about));
    about->Timer1_Timer();
    QVERIFY(!titleUnderlined(about));
    about->Timer1->start();
    QTRY_VERIFY_WITH_TIMEOUT(titleUnderlined(about), 2000);
}

void ExtrasTest::reopeningAfterOkStartsPlain()
{
    ProgramRun run;
    run.module->ShowAbout();
    QPointer<About> first = run.module->about.ifLoaded();
    first->Timer1_Timer();
    QVERIFY(titleUnderlined(first));
    QTest::mouseClick(first->cmdOK, Qt::LeftButton);
    QVERIFY(!run.module->about.isLoaded());
    QTRY_VERIFY(first.isNull());
    run.module->ShowAbout();
    About* second = run.module->about.ifLoaded();
    QVERIFY(second && second->isVisible());
    QVERIFY(!titleUnderlined(second));
    QVERIFY(second->Timer1->isActive());
}

void ExtrasTest::keysCloseAndUnloadTheAboutBox_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("Esc") << int(Qt::Key_Escape);
}

void ExtrasTest::keysCloseAndUnloadTheAboutBox()
{
    QFETCH(int, key);
    ProgramRun run;
    run.module->ShowAbout();
    QPointer<About> about = run.module->about.ifLoaded();
    QSignalSpy unloaded(about.data(), &About::unloaded);
    QTest::keyClick(about, Qt::Key(key));
    QCOMPARE(unloaded.size(), 1);
    QTRY_VERIFY(!run.module->about.isLoaded());
    QTRY_VERIFY(about.isNull());
}

void ExtrasTest::mainWindowActivationClosesBoth()
{
    ProgramRun run;
    run.openDatabase();
    run.module->ShowAbout();
    run.module->ShowTips();
    QVERIFY(run.module->about.isLoaded() && run.module->tip.isLoaded());
    run.mains->Form_Activate();
    QTRY_VERIFY(!run.module->about.isLoaded());
    QTRY_VERIFY(!run.module->tip.isLoaded());
}

QTEST_MAIN(ExtrasTest)
#include "tst_extras.moc"
