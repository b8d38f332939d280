// Splitting a command line into words, and starting programs for real.
#include "markerscript.h"
#include "platform/commandline.h"
#include "platform/programstart.h"
#include "platform/runtimeerror.h"

#include <QFile>
#include <QScopeGuard>
#include <QtTest>

using namespace trovix;

namespace {

void writeFile(const QString& fileName, const QByteArray& text, QFile::Permissions permissions)
{
    QFile file(fileName);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
    file.close();
    QVERIFY(file.setPermissions(permissions));
}

} // namespace

class ProgramStartTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void splitsLikeAShell_data();
    void splitsLikeAShell();
    void unfinishedLinesAreRefused_data();
    void unfinishedLinesAreRefused();
    void programsStartForReal_data();
    void programsStartForReal();
    void failuresAreToldApart_data();
    void failuresAreToldApart();

private:
    QString path(const QString& name) const { return m_scratch.filePath(name); }

    QTemporaryDir m_scratch;
};

void ProgramStartTest::initTestCase()
{
    QVERIFY(m_scratch.isValid());
    for (const char* folder : {"tools/bin", "onpath", "cwd/bin", "program/bin", "a folder"})
        QVERIFY(QDir().mkpath(path(QString::fromLatin1(folder))));
    writeFile(path(QStringLiteral("not executable")), "#!/bin/sh\nexit 0\n", QFile::ReadOwner | QFile::WriteOwner);
    writeFile(path(QStringLiteral("no interpreter")), QStringLiteral("touch '%1'\n").arg(path("ran")).toUtf8(),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void ProgramStartTest::splitsLikeAShell_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("words");
    QTest::newRow("plain words") << "run -x file" << QStringList{"run", "-x", "file"};
    QTest::newRow("several blanks") << "  a   b  " << QStringList{"a", "b"};
    QTest::newRow("tabs and line breaks") << "a\tb\nc\r\nd" << QStringList{"a", "b", "c", "d"};
    QTest::newRow("single quotes") << R"('a "b" \c $d' e)" << QStringList{R"(a "b" \c $d)", "e"};
    QTest::newRow("double quote escapes") << R"("\$ \` \" \\ \n \a")" << QStringList{R"($ ` " \ \n \a)"};
    QTest::newRow("line break escaped in double quotes") << "\"a\\\nb\"" << QStringList{"ab"};
    QTest::newRow("backslash escapes") << R"(a\ b \'c\" \\ \$x)" << QStringList{"a b", R"('c")", "\\", "$x"};
    QTest::newRow("backslash joins lines") << "a\\\nb \\\n c" << QStringList{"ab", "c"};
    QTest::newRow("joined pieces") << R"(a"b c"'d' e)" << QStringList{"ab cd", "e"};
    QTest::newRow("empty quotes") << R"("" '' a"" "''")" << QStringList{"", "", "a", "''"};
    QTest::newRow("nothing expanded") << "$HOME * ~ `ls` $(ls) \"$HOME *\""
                                      << QStringList{"$HOME", "*", "~", "`ls`", "$(ls)", "$HOME *"};
    QTest::newRow("empty line") << "" << QStringList{};
    QTest::newRow("blank line") << " \t\n\r " << QStringList{};
    QTest::newRow("escaped line break alone") << "\\\n" << QStringList{};
    QTest::newRow("NUL characters") << QString::fromUtf16(u"a\0b '\0'", 7)
                                    << QStringList{QString::fromUtf16(u"a\0b", 3), QString(QChar(0))};
    QTest::newRow("lone surrogates") << QString::fromUtf16(u"\xd800 '\xdc00'", 5)
                                     << QStringList{QString(QChar(0xd800)), QString(QChar(0xdc00))};
    const QString many = QStringLiteral("ab ").repeated(100000);
    QTest::newRow("long line") << many << many.split(u' ', Qt::SkipEmptyParts);
}

void ProgramStartTest::splitsLikeAShell()
{
    QFETCH(QString, line);
    QFETCH(QStringList, words);
    const std::optional<QStringList> split = CommandLine::splitWords(line);
    QVERIFY(split.has_value());
    QCOMPARE(*split, words);
}

void ProgramStartTest::unfinishedLinesAreRefused_data()
{
    QTest::addColumn<QString>("line");
    QTest::newRow("single quote") << "a 'b c";
    QTest::newRow("double quote") << "a \"b c";
    QTest::newRow("escaped closing double quote") << R"("a\")";
    QTest::newRow("double quote inside single quotes") << R"('a"b)";
    QTest::newRow("trailing backslash") << "a b\\";
    QTest::newRow("lone backslash") << "\\";
    QTest::newRow("backslash at the end in double quotes") << "\"a\\";
    QTest::newRow("long unclosed quote") << QStringLiteral("\"") + QStringLiteral("x ").repeated(100000);
}

void ProgramStartTest::unfinishedLinesAreRefused()
{
    QFETCH(QString, line);
    QVERIFY(!CommandLine::splitWords(line).has_value());
}

void ProgramStartTest::programsStartForReal_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("folder"); // where the program should run, under the scratch folder
    QTest::addColumn<QStringList>("arguments");
    const QStringList tricky{"with blanks  in it", R"(say "hi")", "-x", "", "$HOME *"};
    QTest::newRow("absolute path") << path("tools/bin/run") << "tools/bin" << tricky;
    QTest::newRow("relative path, from the program folder") << "bin/run"
                                                            << "program/bin" << tricky;
    QTest::newRow("path without arguments") << path("tools/bin/run") << "tools/bin" << QStringList{};
    QTest::newRow("bare name on the search path, not the working folder") << "trovix-test-run"
                                                                          << "program" << tricky;
}

void ProgramStartTest::programsStartForReal()
{
    QFETCH(QString, name);
    QFETCH(QString, folder);
    QFETCH(QStringList, arguments);
    const QString marker = path(QStringLiteral("marker-%1").arg(QTest::currentDataTag()));
    for (const char* program : {"tools/bin/run", "program/bin/run", "onpath/trovix-test-run"})
        writeMarkerScript(path(QString::fromLatin1(program)), marker);
    // Same-named programs in the process's working folder, which must not be the ones started.
    const QString decoy = path(QStringLiteral("decoy-%1").arg(QTest::currentDataTag()));
    for (const char* program : {"cwd/bin/run", "cwd/trovix-test-run"})
        writeMarkerScript(path(QString::fromLatin1(program)), decoy);

    const QString oldCurrent = QDir::currentPath();
    const QByteArray oldPath = qgetenv("PATH");
    const auto restore = qScopeGuard([&] {
        QDir::setCurrent(oldCurrent);
        qputenv("PATH", oldPath);
    });
    QVERIFY(QDir::setCurrent(path("cwd")));
    qputenv("PATH", QFile::encodeName(path("onpath")) + ':' + oldPath);

    const qint64 pid = ProgramStart::startDetached(QStringList{name} + arguments, path("program"));
    QVERIFY(pid > 0);
    const QStringList written = waitForMarker(marker);
    QVERIFY2(!written.isEmpty(), "the program did not run");
    QVERIFY2(!QFile::exists(decoy), "the program in the working folder ran");
    QCOMPARE(written.first(), QFileInfo(path(folder)).canonicalFilePath());
    QCOMPARE(written.mid(1), arguments);
}

void ProgramStartTest::failuresAreToldApart_data()
{
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<int>("code");
    QTest::newRow("missing path") << QStringList{path("no such program"), "-x"} << ErrorCode::FileNotFound;
    QTest::newRow("missing relative path") << QStringList{"nowhere/run"} << ErrorCode::FileNotFound;
    QTest::newRow("bare name not on the search path")
            << QStringList{"trovix-no-such-program"} << ErrorCode::FileNotFound;
    QTest::newRow("folder") << QStringList{path("a folder")} << ErrorCode::InvalidCall;
    QTest::newRow("no execute bit") << QStringList{path("not executable")} << ErrorCode::InvalidCall;
    QTest::newRow("text without #!") << QStringList{path("no interpreter")} << ErrorCode::InvalidCall;
    QTest::newRow("no words") << QStringList{} << ErrorCode::InvalidCall;
    QTest::newRow("empty name") << QStringList{"", "-x"} << ErrorCode::InvalidCall;
}

void ProgramStartTest::failuresAreToldApart()
{
    QFETCH(QStringList, words);
    QFETCH(int, code);
    try {
        ProgramStart::startDetached(words, path("program"));
        QFAIL("the start should have failed");
    } catch (const RuntimeError& e) {
        QCOMPARE(e.code(), code);
        if (!words.isEmpty())
            QVERIFY2(e.description().contains(words.first()), qPrintable(e.description()));
    }
    // Nothing may have been run in its stead, such as a text file handed to a shell.
    QTest::qWait(200);
    QVERIFY(!QFile::exists(path("ran")));
}

QTEST_MAIN(ProgramStartTest)
#include "tst_programstart.moc"
