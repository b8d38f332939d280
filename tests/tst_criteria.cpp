#include "platform/connection.h"
#include "platform/criteria.h"
#include "platform/runtimeerror.h"

#include <QTest>

using namespace trovix;

namespace {

template<typename Call>
int errorCodeOf(Call&& call)
{
    try {
        call();
    } catch (const RuntimeError& e) {
        return e.code();
    }
    return 0;
}

} // namespace

class TestCriteria : public QObject
{
    Q_OBJECT

private slots:
    void builtCriterionReadsBack_data();
    void builtCriterionReadsBack();
    void parseAccepts_data();
    void parseAccepts();
    void parseRejects_data();
    void parseRejects();
    void connectionStringParts_data();
    void connectionStringParts();
    void connectionStringRejects_data();
    void connectionStringRejects();
    void quotedValueReadsBack_data();
    void quotedValueReadsBack();
};

void TestCriteria::builtCriterionReadsBack_data()
{
    QTest::addColumn<QString>("value");
    QTest::newRow("plain") << QStringLiteral("Chess");
    QTest::newRow("apostrophe inside") << QStringLiteral("It's mine");
    QTest::newRow("apostrophe first") << QStringLiteral("'quoted");
    QTest::newRow("apostrophe last") << QStringLiteral("quoted'");
    QTest::newRow("two apostrophes together") << QStringLiteral("O''Brien");
    QTest::newRow("only apostrophes") << QStringLiteral("'''");
    QTest::newRow("empty") << QString();
    QTest::newRow("blanks around") << QStringLiteral("  spaced out  ");
    QTest::newRow("only blanks") << QStringLiteral("   ");
    QTest::newRow("equals and semicolon") << QStringLiteral("a=b; c='d'");
    QTest::newRow("criterion look-alike") << QStringLiteral("x' and game='y");
    QTest::newRow("unicode") << QStringLiteral("Ærø – 日本語 ✓");
    QTest::newRow("backslashes") << QStringLiteral(R"(C:\Games\chess.exe)");
    QTest::newRow("line break") << QStringLiteral("two\nlines");
}

void TestCriteria::builtCriterionReadsBack()
{
    QFETCH(QString, value);
    const Criterion parsed = Criterion::parse(criterion(QStringLiteral("game"), value));
    QCOMPARE(parsed.column, QStringLiteral("game"));
    QCOMPARE(parsed.value, value);
}

void TestCriteria::parseAccepts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("value");
    QTest::newRow("quoted") << "software='Editor'"
                            << "software"
                            << "Editor";
    QTest::newRow("blanks everywhere") << "  game =  'Go '  "
                                       << "game"
                                       << "Go ";
    QTest::newRow("doubled apostrophe") << "message='don''t forget'"
                                        << "message"
                                        << "don't forget";
    QTest::newRow("empty value") << "path=''"
                                 << "path"
                                 << "";
    QTest::newRow("number") << "done=0"
                            << "done"
                            << "0";
    QTest::newRow("negative number") << "done = -12"
                                     << "done"
                                     << "-12";
    QTest::newRow("leading zeros") << "done=007"
                                   << "done"
                                   << "7";
    QTest::newRow("underscore and digits") << "_col_2='x'"
                                           << "_col_2"
                                           << "x";
    QTest::newRow("upper-case column") << "Done=1"
                                       << "Done"
                                       << "1";
}

void TestCriteria::parseAccepts()
{
    QFETCH(QString, text);
    QFETCH(QString, column);
    QFETCH(QString, value);
    const Criterion parsed = Criterion::parse(text);
    QCOMPARE(parsed.column, column);
    QCOMPARE(parsed.value, value);
}

void TestCriteria::parseRejects_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << "";
    QTest::newRow("no column") << "='x'";
    QTest::newRow("no value") << "game=";
    QTest::newRow("no equals") << "game 'x'";
    QTest::newRow("closing quote missing") << "game='x";
    QTest::newRow("opening quote missing") << "game=x'";
    QTest::newRow("odd apostrophe inside") << "game='it's'";
    QTest::newRow("trailing text") << "game='x' y";
    QTest::newRow("two conditions") << "game='x' and path='y'";
    QTest::newRow("or") << "game='x' or 1=1";
    QTest::newRow("column starts with digit") << "1game='x'";
    QTest::newRow("column with blank") << "my game='x'";
    QTest::newRow("other operator") << "game<>'x'";
    QTest::newRow("like") << "game like 'x'";
    QTest::newRow("double quotes") << "game=\"x\"";
    QTest::newRow("fraction") << "done=1.5";
    QTest::newRow("number too large") << "done=99999999999999999999";
}

void TestCriteria::parseRejects()
{
    QFETCH(QString, text);
    QCOMPARE(errorCodeOf([&] { Criterion::parse(text); }), ErrorCode::InvalidArgument);
}

void TestCriteria::connectionStringParts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("dataSource");
    QTest::addColumn<QString>("password");
    QTest::newRow("as the program builds it")
            << "Provider=SQLCipher;Data Source=/opt/trovix/trovix.mdb;JET OLEDB:Database Password=secret"
            << "/opt/trovix/trovix.mdb"
            << "secret";
    QTest::newRow("names in any case") << "data source=/a.db;DATABASE PASSWORD=k"
                                       << "/a.db"
                                       << "k";
    QTest::newRow("blanks around names and values") << "  Data Source = /a.db ; Database Password = k ;"
                                                    << "/a.db"
                                                    << "k";
    QTest::newRow("quoted semicolon") << "Data Source=\"/x;y/a.db\";Database Password=k"
                                      << "/x;y/a.db"
                                      << "k";
    QTest::newRow("doubled quote") << "Data Source=\"/say \"\"hi\"\"/a.db\""
                                   << "/say \"hi\"/a.db"
                                   << "";
    QTest::newRow("quoted blanks kept") << "Database Password=\" k \""
                                        << ""
                                        << " k ";
    QTest::newRow("quoted folder then plain file") << "Data Source=\"/x;y\"/a.db;Database Password=k"
                                                   << "/x;y/a.db"
                                                   << "k";
    QTest::newRow("equals inside value") << "Database Password=a=b"
                                         << ""
                                         << "a=b";
    QTest::newRow("empty parts") << ";;Data Source=/a.db;;"
                                 << "/a.db"
                                 << "";
    QTest::newRow("unknown names ignored") << "Provider=x;User ID=u;Password=p;Data Source=/a.db"
                                           << "/a.db"
                                           << "";
}

void TestCriteria::connectionStringParts()
{
    QFETCH(QString, text);
    QFETCH(QString, dataSource);
    QFETCH(QString, password);
    const ConnectionString parts = ConnectionString::parse(text);
    QCOMPARE(parts.dataSource, dataSource);
    QCOMPARE(parts.password, password);
}

void TestCriteria::connectionStringRejects_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("part without value") << "Data Source=/a.db;junk";
    QTest::newRow("quote not closed") << "Data Source=\"/a.db;Database Password=k";
}

void TestCriteria::connectionStringRejects()
{
    QFETCH(QString, text);
    QCOMPARE(errorCodeOf([&] { ConnectionString::parse(text); }), ErrorCode::InvalidArgument);
}

void TestCriteria::quotedValueReadsBack_data()
{
    QTest::addColumn<QString>("value");
    QTest::newRow("plain folder") << QStringLiteral("/home/ann/trovix");
    QTest::newRow("semicolon") << QStringLiteral("/home/ann/a;b");
    QTest::newRow("quote") << QStringLiteral("/home/ann/\"x\"");
    QTest::newRow("leading blank") << QStringLiteral(" /lead");
    QTest::newRow("trailing blank") << QStringLiteral("/trail ");
    QTest::newRow("equals") << QStringLiteral("/a=b");
    QTest::newRow("unicode") << QStringLiteral("/home/Zoë/程序");
}

void TestCriteria::quotedValueReadsBack()
{
    QFETCH(QString, value);
    const QString text = QStringLiteral("Provider=x;Data Source=") + ConnectionString::quoteValue(value)
                         + QStringLiteral(";Database Password=") + ConnectionString::quoteValue(value);
    const ConnectionString parts = ConnectionString::parse(text);
    QCOMPARE(parts.dataSource, value);
    QCOMPARE(parts.password, value);
}

QTEST_GUILESS_MAIN(TestCriteria)
#include "tst_criteria.moc"
