#include "platform/connection.h"
#include "platform/criteria.h"
#include "platform/runtimeerror.h"

#include <QTest>

using namespace trovix;

class TestCriteria : public QObject
{
    Q_OBJECT

private slots:
    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("column"); // empty: refused
        QTest::addColumn<QString>("value");
        const auto row = [](const char* text, const char* column = "", const char* value = "") {
            QTest::addRow("[%s]", text) << QString::fromUtf8(text) << QString::fromUtf8(column)
                                        << QString::fromUtf8(value);
        };
        row("  game =  'Go '  ", "game", "Go ");
        row("message='don''t forget'", "message", "don't forget");
        row("path=''", "path", "");
        row("Done = -12", "Done", "-12");
        row("done=007", "done", "7"); // as stored numbers read back
        row("_col_2='x'", "_col_2", "x");
        for (const char* refused : {"", "game=", "game 'x'", "game='x", "game=x'", "game='it's'", "game='x' y",
                                    "game='x' and path='y'", "game='x' or 1=1", "1game='x'", "game<>'x'",
                                    "game like 'x'", "game=\"x\"", "done=1.5", "done=99999999999999999999"})
            row(refused);
        // Whatever a value holds, the criterion built from it reads back as that value.
        for (const char* value : {"Chess", "It's mine", "'quoted'", "O''Brien", "'''", "", "  spaced  ",
                                  "x' and game='y", "a=b; c='d'", "Ærø – 日本語 ✓", "C:\\Games\\x", "two\tcolumns"}) {
            QTest::addRow("built from [%s]", value) << criterion(QStringLiteral("game"), QString::fromUtf8(value))
                                                    << "game" << QString::fromUtf8(value);
        }
    }
    void parse()
    {
        QFETCH(QString, text);
        QFETCH(QString, column);
        QFETCH(QString, value);
        try {
            const Criterion parsed = Criterion::parse(text);
            QCOMPARE(parsed.column, column);
            QCOMPARE(parsed.value, value);
        } catch (const RuntimeError& e) {
            QVERIFY2(column.isEmpty(), qPrintable(e.description()));
            QCOMPARE(e.code(), ErrorCode::InvalidArgument);
        }
    }

    void connectionString_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("dataSource"); // "!": refused
        QTest::addColumn<QString>("password");
        const auto row = [](const char* text, const char* dataSource, const char* password = "") {
            QTest::addRow("[%s]", text) << QString::fromUtf8(text) << QString::fromUtf8(dataSource)
                                        << QString::fromUtf8(password);
        };
        row("Provider=SQLCipher;Data Source=\"/opt/a;b/trovix.mdb\";Database Password=secret", "/opt/a;b/trovix.mdb",
            "secret");
        row("  data source = /a.db ; DATABASE PASSWORD = k ;", "/a.db", "k");
        row("Data Source=\"/say \"\"hi\"\"\"/a.db;Database Password=\" k \"", "/say \"hi\"/a.db", " k ");
        row(";;Database Password=a=b;;User ID=u;Password=p", "", "a=b");
        row("Data Source=/a.db;junk", "!");
        row("Data Source=\"/a.db;Database Password=k", "!");
        // Quoted as the program quotes them, file names and keys read back unchanged.
        for (const char* value : {"/home/ann/a;b", "/home/\"x\"", " /lead", "/trail ", "/a=b", "/home/Zoë/程序"}) {
            const QString quoted = ConnectionString::quoteValue(QString::fromUtf8(value));
            QTest::addRow("quoted [%s]", value) << "Data Source=" + quoted + ";Database Password=" + quoted
                                                << QString::fromUtf8(value) << QString::fromUtf8(value);
        }
    }
    void connectionString()
    {
        QFETCH(QString, text);
        QFETCH(QString, dataSource);
        QFETCH(QString, password);
        try {
            const ConnectionString parts = ConnectionString::parse(text);
            QCOMPARE(parts.dataSource, dataSource);
            QCOMPARE(parts.password, password);
        } catch (const RuntimeError& e) {
            QVERIFY2(dataSource == QLatin1String("!"), qPrintable(e.description()));
            QCOMPARE(e.code(), ErrorCode::InvalidArgument);
        }
    }
};

QTEST_GUILESS_MAIN(TestCriteria)
#include "tst_criteria.moc"
