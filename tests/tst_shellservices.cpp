// Opening files and starting programs for real, sounds, the help viewer and
// the main window's rounded outline.
#include "markerscript.h"
#include "platform/helpviewer.h"
#include "platform/qtservices.h"
#include "platform/runtimeerror.h"
#include "programfolder.h"
#include "recordingservices.h"
#include "shell/mains.h"
#include "shell/module1.h"
#include "store/programfiles.h"

#include <QFile>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QtTest>

using namespace trovix;

class ShellServicesTest : public QObject
{
    Q_OBJECT

private slots:
    void launchPathOpensInTheFilesFolder_data();
    void launchPathOpensInTheFilesFolder();
    void launchPathOfAnEmptyPathRaisesNine();
    void programsStartForReal_data();
    void programsStartForReal();
    void documentsOpenWithTheDesktopOpener_data();
    void documentsOpenWithTheDesktopOpener();
    void failuresTellNotFoundFromCannotOpen();
    void soundsNeverBlockAndReplaceEachOther();
    void helpOpensAtContentsAndTopics_data();
    void helpOpensAtContentsAndTopics();
    void helpFileHasEveryTopic();
    void missingHelpFileIsSaid();
    void roundedOutlineFitsEverySize_data();
    void roundedOutlineFitsEverySize();

private:
    QTemporaryDir m_scratch;
};

void ShellServicesTest::launchPathOpensInTheFilesFolder_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("folder");
    QTest::newRow("ordinary") << "/opt/tools/tool"
                              << "/opt/tools/";
    QTest::newRow("name repeats in a folder") << "/games/doom/doom"
                                              << "/games/doom/";
    QTest::newRow("name inside a folder name") << "/home/bob/b"
                                               << "/home/bob/";
    QTest::newRow("bare name, started in the program folder") << "tool"
                                                              << "%1";
    QTest::newRow("ends in a separator") << "/opt/tools/"
                                         << "/opt/tools/";
    QTest::newRow("blanks around") << "  /opt/my tools/run me.sh  "
                                   << "/opt/my tools/";
}

void ShellServicesTest::launchPathOpensInTheFilesFolder()
{
    QFETCH(QString, path);
    QFETCH(QString, folder);
    ProgramFolder program;
    auto owned = std::make_unique<RecordingServices>();
    RecordingServices& services = *owned;
    Module1 module(program.path(), std::move(owned));
    services.shellResult = 33;
    QCOMPARE(module.LaunchPath(path), 33);
    QCOMPARE(services.shellRequests.size(), 1);
    const auto& request = services.shellRequests[0];
    QCOMPARE(request.operation, QStringLiteral("Open"));
    QCOMPARE(request.file, path); // as given, untrimmed
    QCOMPARE(request.parameters, QString());
    QCOMPARE(request.directory, QString(folder).replace(QStringLiteral("%1"), program.path()));
    QCOMPARE(request.showCommand, 1);
}

void ShellServicesTest::launchPathOfAnEmptyPathRaisesNine()
{
    ProgramFolder program;
    Module1 module(program.path(), std::make_unique<RecordingServices>());
    try {
        module.LaunchPath(QString());
        QFAIL("an empty path should raise an error");
    } catch (const RuntimeError& e) {
        QCOMPARE(e.code(), ErrorCode::SubscriptOutOfRange);
    }
}

void ShellServicesTest::programsStartForReal_data()
{
    QTest::addColumn<QString>("folder");
    QTest::newRow("plain") << "bin";
    QTest::newRow("blanks") << "my programs/the tool";
    QTest::newRow("name repeats in the folder") << "run/run";
    QTest::newRow("apostrophe") << "bob's tools";
}

void ShellServicesTest::programsStartForReal()
{
    QFETCH(QString, folder);
    const QString dir = m_scratch.path() + QLatin1Char('/') + QString::fromLatin1(QTest::currentDataTag())
                        + QLatin1Char('/') + folder;
    QVERIFY(QDir().mkpath(dir));
    const QString marker = m_scratch.filePath(QStringLiteral("marker-%1").arg(QTest::currentDataTag()));
    const QString program = dir + QStringLiteral("/run");
    writeMarkerScript(program, marker);

    ProgramFolder programFolder;
    Module1 module(programFolder.path(), std::make_unique<QtServices>());
    QVERIFY(module.LaunchPath(program) > 32);
    const QStringList written = waitForMarker(marker);
    QVERIFY2(!written.isEmpty(), "the program did not run");
    QCOMPARE(written.value(0), QFileInfo(dir).canonicalFilePath());
}

void ShellServicesTest::documentsOpenWithTheDesktopOpener_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("directory");
    QTest::newRow("text") << "notes.txt" << false;
    QTest::newRow("blanks") << "my letter to bob.odt" << false;
    QTest::newRow("script without the execute bit") << "setup.sh" << false;
    QTest::newRow("folder") << "photos" << true;
}

void ShellServicesTest::documentsOpenWithTheDesktopOpener()
{
    QFETCH(QString, name);
    QFETCH(bool, directory);
    // A stand-in for the desktop's opener, found on the search path.
    const QString openerDir = m_scratch.filePath(QStringLiteral("opener"));
    QVERIFY(QDir().mkpath(openerDir));
    const QString marker = m_scratch.filePath(QStringLiteral("opened-%1").arg(QTest::currentDataTag()));
    QFile::remove(marker);
    writeMarkerScript(openerDir + QStringLiteral("/xdg-open"), marker);
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", openerDir.toUtf8() + ':' + oldPath);

    const QString docs = m_scratch.filePath(QStringLiteral("docs"));
    QVERIFY(QDir().mkpath(docs));
    const QString document = docs + QLatin1Char('/') + name;
    if (directory) {
        QVERIFY(QDir().mkpath(document));
    } else {
        QFile file(document);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\nexit 0\n");
    }

    ProgramFolder programFolder;
    Module1 module(programFolder.path(), std::make_unique<QtServices>());
    const int result = module.LaunchPath(document);
    qputenv("PATH", oldPath);
    QVERIFY(result > 32);
    const QStringList written = waitForMarker(marker);
    QCOMPARE(written.value(0), QFileInfo(docs).canonicalFilePath());
    QCOMPARE(written.value(1), document);
}

void ShellServicesTest::failuresTellNotFoundFromCannotOpen()
{
    ProgramFolder programFolder;
    Module1 module(programFolder.path(), std::make_unique<QtServices>());
    const int missing = module.LaunchPath(m_scratch.filePath(QStringLiteral("no such program")));
    QVERIFY(missing <= 32);

    // A document with no opener on the search path cannot be opened, which is not "not found".
    const QString document = m_scratch.filePath(QStringLiteral("lonely.txt"));
    QFile file(document);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", m_scratch.filePath(QStringLiteral("empty")).toUtf8());
    const int unopened = module.LaunchPath(document);
    qputenv("PATH", oldPath);
    QVERIFY(unopened <= 32);
    QVERIFY(unopened != missing);
}

void ShellServicesTest::soundsNeverBlockAndReplaceEachOther()
{
    ProgramFolder programFolder;
    QtServices services;
    services.playSound(programFolder.file(ProgramFiles::NotifySound));
    QCOMPARE(services.currentSound(), programFolder.file(ProgramFiles::NotifySound));
    services.playSound(programFolder.file(ProgramFiles::OverSound));
    QCOMPARE(services.currentSound(), programFolder.file(ProgramFiles::OverSound));
    // A missing file beeps instead; the last real sound is untouched.
    services.playSound(programFolder.file(QStringLiteral("missing.wav")));
    QCOMPARE(services.currentSound(), programFolder.file(ProgramFiles::OverSound));
    QTest::qWait(100); // playing goes on in the background, with or without a sound device
}

void ShellServicesTest::helpOpensAtContentsAndTopics_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("data");
    QTest::addColumn<QString>("anchor");
    QTest::newRow("contents") << int(HelpCommand::Finder) << 0 << "contents";
    for (int topic = 2; topic <= 6; ++topic)
        QTest::newRow(qPrintable(QStringLiteral("topic %1").arg(topic)))
                << int(HelpCommand::Context) << topic << QString::number(topic);
}

void ShellServicesTest::helpOpensAtContentsAndTopics()
{
    QFETCH(int, command);
    QFETCH(int, data);
    QFETCH(QString, anchor);
    ProgramFolder programFolder;
    QtServices services;
    QWidget owner;
    owner.show();
    services.winHelp(&owner, programFolder.file(ProgramFiles::Help), command, data);
    auto* viewer = owner.findChild<HelpViewer*>();
    QVERIFY(viewer);
    QVERIFY(viewer->isVisible());
    QVERIFY(viewer->isWindow());
    QCOMPARE(viewer->currentAnchor(), anchor);
    QVERIFY(!viewer->browser()->toPlainText().isEmpty());

    // A second request reuses the one viewer.
    services.winHelp(&owner, programFolder.file(ProgramFiles::Help), HelpCommand::Finder, 0);
    QCOMPARE(owner.findChildren<HelpViewer*>().size(), 1);
    QCOMPARE(viewer->currentAnchor(), QStringLiteral("contents"));
}

void ShellServicesTest::helpFileHasEveryTopic()
{
    QFile file(QStringLiteral(TROVIX_RESOURCE_DIR "/trovix.hlp"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    for (const QString& anchor : {QStringLiteral("contents"), QStringLiteral("2"), QStringLiteral("3"),
                                  QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("6")}) {
        const QRegularExpression pattern(QStringLiteral("<a\\s+name=\"%1\"").arg(anchor));
        QVERIFY2(text.contains(pattern), qPrintable(anchor));
        if (anchor != QLatin1String("contents"))
            QVERIFY2(text.contains(QStringLiteral("href=\"#%1\"").arg(anchor)), "the contents lead to every topic");
    }
}

void ShellServicesTest::missingHelpFileIsSaid()
{
    QtServices services;
    QWidget owner;
    const QString missing = m_scratch.filePath(QStringLiteral("trovix.hlp"));
    services.winHelp(&owner, missing, HelpCommand::Context, 3);
    auto* viewer = owner.findChild<HelpViewer*>();
    QVERIFY(viewer);
    QVERIFY(viewer->browser()->toPlainText().contains(missing));
    QVERIFY(viewer->browser()->toPlainText().contains(QStringLiteral("missing")));
}

void ShellServicesTest::roundedOutlineFitsEverySize_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("design size") << QSize(470, 400);
    QTest::newRow("small") << QSize(240, 200);
    QTest::newRow("odd") << QSize(1001, 333);
}

void ShellServicesTest::roundedOutlineFitsEverySize()
{
    QFETCH(QSize, size);
    ProgramFolder programFolder;
    Module1 module(programFolder.path(), std::make_unique<RecordingServices>());
    module.OpenDatabase();
    Mains* mains = module.mains.get();
    mains->show();
    mains->resize(size);
    QTRY_COMPARE(mains->size(), size);
    const QRegion mask = mains->mask();
    QCOMPARE(mask.boundingRect(), QRect(QPoint(0, 0), size));
    // Corners are cut by a 50-pixel ellipse, the edges between them are whole.
    const int w = size.width(), h = size.height();
    for (const QPoint& corner : {QPoint(1, 1), QPoint(w - 2, 1), QPoint(1, h - 2), QPoint(w - 2, h - 2)})
        QVERIFY2(!mask.contains(corner), qPrintable(QStringLiteral("%1,%2").arg(corner.x()).arg(corner.y())));
    for (const QPoint& inside : {QPoint(w / 2, 0), QPoint(0, h / 2), QPoint(25, 25), QPoint(w - 26, h - 26)})
        QVERIFY2(mask.contains(inside), qPrintable(QStringLiteral("%1,%2").arg(inside.x()).arg(inside.y())));
    QVERIFY(!mask.contains(QPoint(3, 10)));
    QVERIFY(mask.contains(QPoint(25, 1)));
}

QTEST_MAIN(ShellServicesTest)
#include "tst_shellservices.moc"
