// The real platform services the fakes stand in for: programs and documents started for real,
// command lines split as a shell splits them, sounds, the help viewer and the file dialog.
#include "core/commandline.h"
#include "core/launcher.h"
#include "desktop/filedialog.h"
#include "desktop/helpviewer.h"
#include "desktop/qtservices.h"
#include "desktop/singleinstance.h"
#include "markerscript.h"
#include "windowdriver.h"

#include <QLocalServer>
#include <QLocalSocket>

#include <fcntl.h>
#include <future>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace trovix;

// A start: the words ("~/" stands for the scratch folder); the folder it runs in, under the scratch folder, or the
// refusal; what it came to.
using Program = std::tuple<QStringList, QString, LaunchResult::Outcome>;
// An opening: the file, under the scratch folder; the search path (none: as it is); what it came to; what the
// program or opener wrote: folder, then arguments.
using Opening = std::tuple<QString, QByteArray, LaunchResult::Outcome, QStringList>;

class ServicesTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_scratch;
    QString m_root; // the scratch folder's canonical name
    QString path(const QString& name) const { return m_root + '/' + name; }
    void writeFile(const QString& name, const QByteArray& text, QFile::Permissions permissions)
    {
        QFile file(path(name));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
        QVERIFY(file.setPermissions(permissions));
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true); // the file dialog keeps its state in the settings
        m_root = QFileInfo(m_scratch.path()).canonicalFilePath();
        for (const char* folder : {"a folder", "docs", "empty"})
            QVERIFY(QDir().mkpath(path(QString::fromLatin1(folder))));
        // Each program writes the marker; the same-named ones in the working folder the decoy.
        for (const char* program : {"tools/bin/run", "program/bin/run", "onpath/trovix-test-run", "bob's tools/run"})
            writeMarkerScript(path(QString::fromLatin1(program)), path("marker"));
        for (const char* program : {"cwd/bin/run", "cwd/trovix-test-run"})
            writeMarkerScript(path(QString::fromLatin1(program)), path("decoy"));
        // A stand-in for the desktop's opener, found on the search path.
        writeMarkerScript(path("onpath/xdg-open"), path("marker"));
        const QFile::Permissions plain = QFile::ReadOwner | QFile::WriteOwner;
        writeFile("not executable", "#!/bin/sh\nexit 0\n", plain);
        writeFile("no interpreter", QStringLiteral("touch '%1'\n").arg(path("ran")).toUtf8(), plain | QFile::ExeOwner);
        writeFile("docs/my letter.odt", "", plain);
        writeFile("docs/setup.sh", "#!/bin/sh\nexit 0\n", plain);
        QVERIFY(QDir::setCurrent(path("cwd")));
        qputenv("PATH", QFile::encodeName(path("onpath")) + ':' + qgetenv("PATH"));
    }
    void init() { QFile::remove(path("marker")), QFile::remove(path("decoy")), QFile::remove(path("ran")); }

    void programsStartForReal_data()
    {
        QTest::addColumn<Program>("row");
        using enum LaunchResult::Outcome;
        const auto row = [](const char* tag, const QStringList& words, const char* outcome,
                            LaunchResult::Outcome code = Started) {
            QTest::newRow(tag) << std::tuple{words, QString::fromUtf8(outcome), code};
        };
        row("absolute path, with arguments", {"~/tools/bin/run", "two  words", "", "$HOME *"}, "tools/bin");
        row("relative path, from the program folder", {"bin/run"}, "program/bin");
        row("bare name on the search path, not the working folder", {"trovix-test-run", "-x"}, "program");
        row("missing path", {"~/no such program"}, "was not found.", NotFound);
        row("missing relative path", {"nowhere/run"}, "was not found.", NotFound);
        row("bare name not on the search path", {"trovix-no-such-program"}, "not found on the search path", NotFound);
        row("folder", {"~/a folder"}, "is a folder", NotRunnable);
        row("no execute bit", {"~/not executable"}, "not allowed to be run", NotRunnable);
        row("text without #!", {"~/no interpreter"}, "could not be started", NotRunnable);
        row("no words", {}, "No program", NotRunnable);
    }
    void programsStartForReal()
    {
        auto [words, outcome, code] = fetchRow<Program>();
        words.replaceInStrings(QRegularExpression("^~/"), m_root + '/');
        const LaunchResult result = Launcher::start({words, path("program")});
        QCOMPARE(result.outcome, code);
        if (result.started()) {
            QCOMPARE(waitForMarker(path("marker")), QStringList{path(outcome)} + words.mid(1));
            QVERIFY2(!QFile::exists(path("decoy")), "the program in the working folder ran");
            return;
        }
        // Each cause is told apart, naming the program.
        QVERIFY2(result.reason.contains(outcome) && result.reason.contains(words.value(0)), qPrintable(result.reason));
        // Nothing may have run in its stead, such as a text file handed to a shell.
        QTest::qWait(200);
        QVERIFY(!QFile::exists(path("ran")) && !QFile::exists(path("marker")));
    }

    // Entries of the softwares and games lists: programs run in their folder, the rest opened.
    void launchPath_data()
    {
        QTest::addColumn<Opening>("row");
        using enum LaunchResult::Outcome;
        const auto row = [](const char* tag, const char* file, LaunchResult::Outcome result, const QStringList& written,
                            const char* searchPath = "") {
            QTest::newRow(tag) << std::tuple{QString::fromUtf8(file), QByteArray(searchPath), result, written};
        };
        row("program in a folder with an apostrophe", "bob's tools/run", Started, {"bob's tools"});
        row("document", "docs/my letter.odt", Started, {"docs", "docs/my letter.odt"});
        row("script without the execute bit", "docs/setup.sh", Started, {"docs", "docs/setup.sh"});
        row("missing file", "docs/no such file", NotFound, {});
        row("document without an opener", "docs/my letter.odt", NotRunnable, {}, "empty");
    }
    void launchPath()
    {
        auto [file, searchPath, result, written] = fetchRow<Opening>();
        ProgramFolder programFolder;
        const QByteArray oldPath = qgetenv("PATH");
        if (!searchPath.isEmpty())
            qputenv("PATH", QFile::encodeName(path(QString::fromLatin1(searchPath))));
        const LaunchPlan plan =
                Launcher::plan(LaunchKind::Shell, Entry{1, "entry", path(file), {}}, {}, programFolder.path());
        const LaunchResult got = Launcher::open(std::get<OpenFile>(plan));
        qputenv("PATH", oldPath);
        QCOMPARE(got.outcome, result);
        for (QString& line : written)
            line = path(line);
        if (got.started())
            QCOMPARE(waitForMarker(path("marker")), written);
    }

    void splitsLikeAShell_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<std::optional<QStringList>>("words"); // none: refused, an unfinished line
        const auto row = [](const char* tag, const QString& line, const QStringList& words = {}, bool refused = false) {
            QTest::newRow(tag) << line << (refused ? std::nullopt : std::optional(words));
        };
        row("blanks, tabs and line breaks", " run\t-x \r\n file ", {"run", "-x", "file"});
        row("single quotes", "'a \"b\" \\c $d' e", {"a \"b\" \\c $d", "e"});
        row("double quote escapes", "\"\\$ \\` \\\" \\\\ \\n \\a\"", {"$ ` \" \\ \\n \\a"});
        row("backslash escapes", "a\\ b \\'c\\\" \\\\ \\$x", {"a b", "'c\"", "\\", "$x"});
        row("backslash joins lines", "a\\\nb \"c\\\nd\" \\\n e", {"ab", "cd", "e"});
        row("joined pieces", "a\"b c\"'d' e", {"ab cd", "e"});
        row("empty quotes", "\"\" '' a\"\" \"''\"", {"", "", "a", "''"});
        row("nothing expanded", "$HOME * ~ `ls` $(ls)", {"$HOME", "*", "~", "`ls`", "$(ls)"});
        row("a browsed file quoted", CommandLine::quoteWord("/opt/bob's \"new\" tool"), {"/opt/bob's \"new\" tool"});
        row("blank line", " \t\n ");
        row("single quote left open", "a 'b c", {}, true);
        row("double quote left open", "a \"b\\\"", {}, true);
        row("double quote inside single quotes", "'a\"b", {}, true);
        row("trailing backslash", "a b\\", {}, true);
    }
    void splitsLikeAShell()
    {
        QFETCH(QString, line);
        QFETCH(std::optional<QStringList>, words);
        QCOMPARE(CommandLine::splitWords(line), words);
    }

    void helpOpensAtContentsAndTopics_data()
    {
        QTest::addColumn<std::pair<int, QString>>("row"); // the topic (0: the contents), its anchor (none: no file)
        QTest::newRow("contents") << std::pair{0, QStringLiteral("contents")};
        for (int topic = 2; topic <= 6; ++topic)
            QTest::addRow("topic %d", topic) << std::pair{topic, QString::number(topic)};
        QTest::newRow("missing help file") << std::pair{3, QString()};
    }
    void helpOpensAtContentsAndTopics()
    {
        const auto [topic, anchor] = fetchRow<std::pair<int, QString>>();
        ProgramFolder programFolder;
        const QString helpFile = anchor.isEmpty() ? path("trovix.hlp") : programFolder.file(ProgramFiles::Help);
        QtServices services;
        QWidget owner;
        owner.show();
        services.showHelp(&owner, helpFile, topic ? std::optional(topic) : std::nullopt);
        auto* viewer = owner.findChild<HelpViewer*>();
        QVERIFY(viewer && viewer->isVisible() && viewer->isWindow());
        const QString shown = viewer->browser()->toPlainText();
        if (anchor.isEmpty()) {
            QVERIFY2(shown.contains(helpFile) && shown.contains("missing"), qPrintable(shown));
            return;
        }
        QCOMPARE(viewer->currentAnchor(), anchor);
        // The file holds the topic, and its contents lead there.
        QFile file(helpFile);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(file.readAll());
        QVERIFY(html.contains(QRegularExpression(QStringLiteral("<a\\s+name=\"%1\"").arg(anchor))));
        QVERIFY(anchor == "contents" || html.contains(QStringLiteral("href=\"#%1\"").arg(anchor)));
        // A second request reuses the one viewer.
        services.showHelp(&owner, helpFile, std::nullopt);
        QCOMPARE(owner.findChildren<HelpViewer*>().size(), 1);
        QCOMPARE(viewer->currentAnchor(), "contents");
    }

    // One program per program folder, its lock and socket in the user's own runtime folder: what another user
    // made there first is left alone and never answers for the program, which then runs without the guard.
    void singleInstanceKeepsToTheUsersOwnFiles_data()
    {
        // XDG_RUNTIME_DIR (private, open to others, another user's; or unset); what another user made there first
        // (the lock, the socket, the private folder); what a second start does.
        QTest::addColumn<std::array<QString, 3>>("row");
        for (const std::array<QString, 3>& row : QList<std::array<QString, 3>>{{"private", "", "forwarded"},
                                                                               {"unset", "", "forwarded"},
                                                                               {"open to others", "", "runs too"},
                                                                               {"another user's", "", "runs too"},
                                                                               {"private", "lock", "runs too"},
                                                                               {"private", "socket", "no answer"},
                                                                               {"unset", "private folder", "runs too"}})
            QTest::newRow(qPrintable(row[0] + ' ' + row[1])) << row;
    }
    void singleInstanceKeepsToTheUsersOwnFiles()
    {
        const auto [runtime, planted, second] = fetchRow<std::array<QString, 3>>();
        constexpr uid_t AnotherUser = 65534;
        if (::geteuid() != 0 && (runtime == "another user's" || !planted.isEmpty()))
            QSKIP("only a superuser can make files of another user's");
        QTemporaryDir scratch;
        const QString folder = scratch.filePath("runtime"), temporary = scratch.filePath("tmp");
        QVERIFY(QDir().mkpath(temporary)
                && QDir().mkdir(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        const QByteArray oldRuntime = qgetenv("XDG_RUNTIME_DIR"), oldTemporary = qgetenv("TMPDIR");
        const auto restore =
                qScopeGuard([&] { qputenv("XDG_RUNTIME_DIR", oldRuntime), qputenv("TMPDIR", oldTemporary); });
        qputenv("TMPDIR", QFile::encodeName(temporary));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(folder));
        const QString socket = QFileInfo(SingleInstance(path("program")).socketPath()).fileName();
        const QString own = runtime == "unset" ? temporary + QStringLiteral("/trovix-%1").arg(::geteuid()) : folder;
        const QString name = own + '/' + socket, made = planted == "lock"     ? name + ".lock"
                                                        : planted == "socket" ? name
                                                                              : own;
        if (runtime == "unset")
            qunsetenv("XDG_RUNTIME_DIR");
        QVERIFY(runtime != "open to others" || ::chmod(QFile::encodeName(folder), 0777) == 0);
        QLocalServer impostor;
        QSignalSpy reached(&impostor, &QLocalServer::newConnection);
        QVERIFY(planted != "private folder" || QDir().mkdir(own));
        QVERIFY(planted != "lock" || QFile(made).open(QIODevice::WriteOnly));
        QVERIFY(planted != "socket" || impostor.listen(name));
        QVERIFY(planted.isEmpty() || ::chown(QFile::encodeName(made), AnotherUser, AnotherUser) == 0);
        QVERIFY(runtime != "another user's" || ::chown(QFile::encodeName(folder), AnotherUser, AnotherUser) == 0);

        SingleInstance first(path("program"));
        QSignalSpy forwarded(&first, &SingleInstance::anotherStart);
        QCOMPARE(first.claim(), SingleInstance::Claim::First);
        // A second start asks from elsewhere while this one answers.
        auto secondStart = std::async(std::launch::async, [this] { return SingleInstance(path("program")).claim(); });
        while (secondStart.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready)
            QCoreApplication::processEvents();
        const SingleInstance::Claim claimed = secondStart.get();
        QCOMPARE(claimed == SingleInstance::Claim::Forwarded ? "forwarded"
                 : claimed == SingleInstance::Claim::First   ? "runs too"
                                                             : "no answer",
                 second);
        QCOMPARE(forwarded.size() + reached.size(), second == "forwarded" ? 1 : 0);
        struct stat info = {};
        if (second == "forwarded") { // the user's own, in a folder nobody else may enter
            QCOMPARE(first.socketPath(), name);
            QVERIFY(::lstat(QFile::encodeName(own), &info) == 0 && (info.st_mode & 0777) == 0700);
            QVERIFY(::lstat(QFile::encodeName(name + ".lock"), &info) == 0 && info.st_uid == ::geteuid());
        }
        if (!planted.isEmpty()) // left as it was made
            QVERIFY(::lstat(QFile::encodeName(made), &info) == 0 && info.st_uid == AnotherUser);
    }

    // A later start names the window to show; what else a peer sends is no request, and is never kept past one
    // short line nor waited for long. An older run that knows no names is asked plainly.
    void singleInstanceForwardsTheWindow_data()
    {
        // The later start's window, or the bytes a peer sends instead ("older run": the later start asks one);
        // the window the running program is asked for (none: no request, no answer).
        using Forwarding = std::tuple<QString, QByteArray, std::optional<QString>>;
        const QByteArray ComeForward = "come forward";
        addRows<Forwarding>({
                {"later start naming a window", {"reminders", "", "reminders"}},
                {"older run", {"games", "older run", ""}},
                {"plain request", {"", ComeForward + "\n", ""}},
                {"name of no window",
                 {"", ComeForward + QByteArray(" ../\xff\0x\n", 8), QString::fromUtf8("../\xff\0x", 6)}},
                {"no request", {"", "come forward, please\n", std::nullopt}},
                {"line over the bound", {"", ComeForward + ' ' + QByteArray(100000, 'x') + '\n', std::nullopt}},
                {"no line end", {"", QByteArray(100000, 'x'), std::nullopt}},
                {"silence", {"", "", std::nullopt}},
        });
    }
    void singleInstanceForwardsTheWindow()
    {
        const auto [window, sent, asked] = fetchRow<std::tuple<QString, QByteArray, std::optional<QString>>>();
        QTemporaryDir runtime;
        const QByteArray oldRuntime = qgetenv("XDG_RUNTIME_DIR");
        const auto restore = qScopeGuard([&] { qputenv("XDG_RUNTIME_DIR", oldRuntime); });
        QVERIFY(QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
        SingleInstance first(path("program"));
        QSignalSpy asks(&first, &SingleInstance::anotherStart);
        QLocalServer older; // a run from before windows could be named: it holds the lock and answers plain requests
        QByteArrayList heard;
        const int lock = ::open(QFile::encodeName(first.socketPath() + ".lock"), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        const auto unlock = qScopeGuard([lock] { ::close(lock); });
        if (sent == "older run") {
            QVERIFY(::flock(lock, LOCK_EX) == 0 && older.listen(first.socketPath()));
            connect(&older, &QLocalServer::newConnection, this, [&] {
                QLocalSocket* socket = older.nextPendingConnection();
                QVERIFY(socket->waitForReadyRead(1000) && socket->canReadLine());
                heard << socket->readLine();
                if (heard.last() == "come forward\n")
                    socket->write("done\n");
                socket->disconnectFromServer();
            });
        } else
            QCOMPARE(first.claim(), SingleInstance::Claim::First);
        QByteArray answer;
        if (!window.isEmpty()) {
            auto secondStart = std::async(std::launch::async,
                                          [this, window] { return SingleInstance(path("program")).claim(window); });
            while (secondStart.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready)
                QCoreApplication::processEvents();
            QCOMPARE(secondStart.get(), SingleInstance::Claim::Forwarded);
        } else {
            QLocalSocket peer;
            connect(&peer, &QLocalSocket::readyRead, this, [&] { answer += peer.readAll(); });
            peer.connectToServer(first.socketPath());
            QVERIFY(peer.waitForConnected(1000));
            peer.write(sent);
            // Let go at once, a silent peer within its time.
            QTRY_VERIFY_WITH_TIMEOUT(peer.state() == QLocalSocket::UnconnectedState,
                                     sent.isEmpty() ? 2 * SingleInstance::RequestMs : 1000);
            QCOMPARE(answer, asked ? "done\n" : "");
        }
        if (sent == "older run") {
            QCOMPARE(heard, (QByteArrayList{"come forward games\n", "come forward\n"}));
            return;
        }
        QCOMPARE(asks.size(), asked ? 1 : 0);
        if (asked)
            QCOMPARE(asks.first().first().toString(), *asked);
    }

    void fileDialogChoosesAFile()
    {
        writeFile("run.sh", "", QFile::ReadOwner | QFile::ExeOwner);
        QStringList offered;
        QTimer::singleShot(0, this, [&] {
            QFileDialog* dialog = nullptr;
            QTRY_VERIFY((dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())));
            auto* combo = dialog->findChild<QComboBox*>("fileTypeCombo");
            for (int i = 0; combo && i < combo->count(); ++i)
                offered << combo->itemText(i);
            dialog->setDirectory(m_root);
            if (QWidget* focused = dialog->focusWidget())
                focused->clearFocus(); // selectFile leaves a name box with the focus alone
            dialog->selectFile("run.sh");
            static_cast<QDialog*>(dialog)->accept(); // QFileDialog hides its override
        });
        QCOMPARE(FileDialog::getOpenFileName(nullptr, "Executable Files|*.exe|All Files|*.*"), path("run.sh"));
        QCOMPARE(offered, (QStringList{"Executable Files", "All Files"}));
    }
};

QTEST_MAIN(ServicesTest)
#include "tst_services.moc"
