// Odd text in every way it reaches the program: typed, pasted, dropped, or stored by another program
// before the window loads. Nothing crashes, a Save that reports success stored exactly what the box
// showed (read back byte for byte), every refusal says why, and odd paths start what they name.
#include "categories/documents.h"
#include "markerscript.h"
#include "platform/clicklabel.h"
#include "platform/commandline.h"
#include "platform/connection.h"
#include "platform/textbox.h"
#include "reminders/duecheck.h"
#include "reminders/reminders.h"
#include "shell/mains.h"
#include "shell/module1.h"
#include "shell/treeview.h"
#include "store/catalog.h"
#include "store/programfiles.h"
#include "windowdriver.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QtTest>

#include <sqlite3.h>

#include <atomic>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace trovix;

Q_DECLARE_METATYPE(trovix::ChildWindow)

namespace {

const QString Resting = QStringLiteral("Double Click for Tip of the Day");
const QString FillIn = QStringLiteral("Fill in the values");
const QString FillInCorrect = QStringLiteral("Fill in the correct values");
const QString NotRunnable = QStringLiteral("Not a valid executable file");
const QDateTime Now(QDate(2026, 12, 5), QTime(21, 5, 7));

struct Window
{
    const char* tag;
    ChildWindow which;
    QString table;
    QString key;
    bool description;
};

const QList<Window>& categoryWindows()
{
    static const QList<Window> all = {
            {"softwares", ChildWindow::Softwares, Catalog::Softwares, QStringLiteral("software"), true},
            {"games", ChildWindow::Games, Catalog::Games, QStringLiteral("game"), false},
            {"windows", ChildWindow::Windows, Catalog::Windows, QStringLiteral("window"), false},
            {"documents", ChildWindow::Documents, Catalog::Documents, QStringLiteral("document"), false},
    };
    return all;
}

const Window& windowOf(ChildWindow which)
{
    for (const Window& w : categoryWindows()) {
        if (w.which == which)
            return w;
    }
    static const Window reminders{"reminders", ChildWindow::Reminders, Catalog::Reminders, QStringLiteral("message"),
                                  false};
    return reminders;
}

QString repeated(const QString& piece, int length)
{
    QString text;
    while (text.size() < length)
        text += piece;
    return text.left(length);
}

struct BadRun : WindowRun
{
    BadRun() { services->clock = Now; }

    // The cells of the table's last row as the engine holds them: type and hexadecimal bytes.
    QStringList lastRow(const QString& table) const
    {
        sqlite3* db = module->dbConnection->handle();
        const QByteArray sql = QStringLiteral("select * from %1 order by rowid desc limit 1").arg(table).toUtf8();
        sqlite3_stmt* st = nullptr;
        QStringList cells;
        if (sqlite3_prepare_v2(db, sql.constData(), -1, &st, nullptr) != SQLITE_OK)
            return {QStringLiteral("prepare failed")};
        if (sqlite3_step(st) == SQLITE_ROW) {
            for (int c = 0; c < sqlite3_column_count(st); ++c)
                cells << cellOf(st, c);
        }
        sqlite3_finalize(st);
        return cells;
    }

    static QString cellOf(sqlite3_stmt* st, int c)
    {
        switch (sqlite3_column_type(st, c)) {
        case SQLITE_NULL:
            return QStringLiteral("null");
        case SQLITE_INTEGER:
            return QStringLiteral("integer ") + QString::number(sqlite3_column_int64(st, c));
        case SQLITE_FLOAT:
            return QStringLiteral("real ") + QString::number(sqlite3_column_double(st, c));
        default: {
            const auto* data = static_cast<const char*>(sqlite3_column_blob(st, c));
            const QByteArray bytes(data, sqlite3_column_bytes(st, c));
            return (sqlite3_column_type(st, c) == SQLITE_TEXT ? QStringLiteral("text ") : QStringLiteral("blob "))
                   + QString::fromLatin1(bytes.toHex());
        }
        }
    }

    int count(const QString& table) const { return int(rows(table).size()); }
};

QString text(const QString& value)
{
    return QStringLiteral("text ") + QString::fromLatin1(value.toUtf8().toHex());
}

// Types the text one character (one code point) at a time, as a keyboard with an input method sends it.
void typeText(QWidget* box, const QString& value)
{
    for (qsizetype i = 0; i < value.size(); ++i) {
        QString one(value.at(i));
        if (value.at(i).isHighSurrogate() && i + 1 < value.size())
            one += value.at(++i);
        QTest::sendKeyEvent(QTest::Press, box, Qt::Key_unknown, one, Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, box, Qt::Key_unknown, one, Qt::NoModifier);
    }
}

void pasteText(TextBox* box, const QString& value)
{
    box->setFocus();
    QApplication::clipboard()->setText(value);
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
}

void enter(TextBox* box, const QString& method, const QString& value)
{
    box->clear();
    if (method == QLatin1String("typed"))
        typeText(box, value);
    else
        pasteText(box, value);
}

// A named pipe that nothing may open. A label that read its text as markup would load the image it
// names, and wait for ever on the pipe; a writer waits here instead, lets such a reader go at once
// and counts it.
class Fifo
{
public:
    static const QString& path()
    {
        static const QString name = QDir::temp().filePath(
                QStringLiteral("trovix-badinput-%1.fifo").arg(QCoreApplication::applicationPid()));
        return name;
    }

    Fifo()
    {
        ::unlink(qPrintable(path()));
        if (::mkfifo(qPrintable(path()), 0600) != 0)
            qFatal("cannot make the named pipe %s", qPrintable(path()));
        m_writer = std::thread([this] {
            while (!m_closing) {
                const int fd = ::open(qPrintable(path()), O_WRONLY);
                if (fd >= 0 && !m_closing)
                    ++m_reads;
                if (fd >= 0)
                    ::close(fd);
            }
        });
    }

    ~Fifo()
    {
        m_closing = true;
        const int fd = ::open(qPrintable(path()), O_RDONLY | O_NONBLOCK);
        m_writer.join();
        ::close(fd);
        ::unlink(qPrintable(path()));
    }

    // The readers since the last call.
    int takeReads() { return m_reads.exchange(0); }

private:
    std::atomic<bool> m_closing = false;
    std::atomic<int> m_reads = 0;
    std::thread m_writer;
};

// Every label of the window with text that looks like markup shows the text itself: as wide as its
// characters, not as what markup would make of them.
void verifyShownAsStored(QWidget* window)
{
    for (QLabel* label : window->findChildren<QLabel*>()) {
        const QString shown = label->text();
        if (!shown.contains(QLatin1Char('<')) || shown.contains(QLatin1Char('\n')))
            continue;
        QVERIFY2(label->sizeHint().width() >= label->fontMetrics().horizontalAdvance(shown),
                 qPrintable(label->objectName() + QStringLiteral(" reads ") + shown + QStringLiteral(" as markup")));
    }
}

struct Sample
{
    const char* tag;
    QString text;
    bool typable; // printable text a keyboard can send, one character a key
};

const QList<Sample>& samples()
{
    static const QList<Sample> all = {
            {"apostrophes", QStringLiteral("Bob's 'best' tool"), true},
            {"double quotes", QStringLiteral("The \"quoted\" \"\" one"), true},
            {"quotes of both kinds, SQL-like", QStringLiteral("x'); drop table softwares; -- \"y\""), true},
            {"blanks only", QStringLiteral("     "), true},
            {"blanks around", QStringLiteral("   padded   "), true},
            {"right-to-left", QStringLiteral("שלום עולם مرحبا بالعالم"), true},
            {"direction overrides", QStringLiteral("abc \u202Eevil\u202C.exe \u200F"), true},
            {"combining marks", QStringLiteral("e\u0301cole\u0308 n\u0303a\u0323\u0307"), true},
            {"emoji", QStringLiteral("🚀 launch 👩‍💻 ✔️ 🇳🇴"), true},
            {"percent and backslashes", QStringLiteral("100% C:\\Program Files\\x %s %n \\"), true},
            {"markup", QStringLiteral("<b>bold</b> &lt;x&gt; <i>"), true},
            {"an image of a named pipe", QStringLiteral("<img src=\"%1\">").arg(Fifo::path()), true},
            {"control characters",
             QStringLiteral("a\x01"
                            "b\x07"
                            "c\x1b"
                            "d\x7f"
                            "e\tf"),
             false},
            {"line breaks", QStringLiteral("first\nsecond\r\nthird\rfourth"), false},
            {"10,000 characters", repeated(QStringLiteral("abcdefghij"), 10000), false},
            {"10,000 characters of quotes", repeated(QStringLiteral("it's \"x\" "), 10000), false},
    };
    return all;
}

// What a box holds after the text was entered: typed apostrophes never reach a name or a message,
// a one-line box turns pasted line breaks into blanks, a box of several lines keeps them.
QString boxAfter(bool key, bool oneLine, const QString& method, QString value)
{
    if (method == QLatin1String("typed") && key)
        value.remove(QLatin1Char('\''));
    if (method == QLatin1String("pasted") && oneLine) {
        value.replace(QLatin1String("\r\n"), QLatin1String(" "));
        value.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
    } else if (method == QLatin1String("pasted")) {
        // The editor keeps lines; CR LF and a lone CR end a line as a line feed does.
        value.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    }
    return value;
}

struct Launch
{
    QList<QStringList> programs;
    QStringList shellFiles;
};

} // namespace

class BadInputTest : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { QCOMPARE(m_fifo.takeReads(), 0); }
    void enteredTextIsStoredExactly_data();
    void enteredTextIsStoredExactly();
    void clockBoxesTakeDigitsTypedOrPasted_data();
    void clockBoxesTakeDigitsTypedOrPasted();
    void droppedFilesAndAddresses_data();
    void droppedFilesAndAddresses();
    void rowsStoredOutsideStayUsable_data();
    void rowsStoredOutsideStayUsable();
    void remindersStoredOutsideStayUsable_data();
    void remindersStoredOutsideStayUsable();
    void detailsWithoutValueShowNone();
    void hundredThousandRows_data();
    void hundredThousandRows();
    void oddPathsStartWhatTheyName_data();
    void oddPathsStartWhatTheyName();
    void realProgramsReceiveOddArguments_data();
    void realProgramsReceiveOddArguments();

private:
    Fifo m_fifo;
};

void BadInputTest::enteredTextIsStoredExactly_data()
{
    QTest::addColumn<ChildWindow>("which");
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("method");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("box");     // what the box holds once the text is in
    QTest::addColumn<QString>("message"); // Resting when the Save stores
    QList<std::tuple<Window, int, const char*>> fields;
    for (const Window& w : categoryWindows()) {
        fields << std::tuple{w, 0, "name"} << std::tuple{w, 1, "path"};
        if (w.description)
            fields << std::tuple{w, 2, "description"};
    }
    fields << std::tuple{windowOf(ChildWindow::Reminders), 0, "message"};
    for (const auto& [w, field, fieldName] : fields) {
        const bool reminders = w.which == ChildWindow::Reminders;
        const bool key = field == 0;
        const bool oneLine = key && !reminders;
        for (const Sample& sample : samples()) {
            for (const char* method : {"typed", "pasted"}) {
                if (!sample.typable && QLatin1String(method) == QLatin1String("typed"))
                    continue;
                const QString box = boxAfter(key, oneLine, QString::fromLatin1(method), sample.text);
                const QString stored = box.trimmed();
                QString message = Resting;
                if (field < 2 && stored.isEmpty())
                    message = FillIn;
                else if (key && stored.contains(QLatin1Char('\'')))
                    message = reminders ? QStringLiteral("' is not allowed in Message")
                                        : QStringLiteral("' is not allowed in Name");
                QTest::newRow(qPrintable(QStringLiteral("%1 %2, %3, %4").arg(w.tag, fieldName, sample.tag, method)))
                        << w.which << field << QString::fromLatin1(method) << sample.text << box << message;
            }
        }
    }
}

void BadInputTest::enteredTextIsStoredExactly()
{
    QFETCH(ChildWindow, which);
    QFETCH(int, field);
    QFETCH(QString, method);
    QFETCH(QString, value);
    QFETCH(QString, box);
    QFETCH(QString, message);
    BadRun run;
    const Window& info = windowOf(which);
    const int before = run.count(info.table);
    ListWindow* w = run.show(which);
    clickButton(w, 3);
    QStringList expected;
    if (auto* reminder = qobject_cast<RemindersWindow*>(w)) {
        enter(reminder->Text1(0), method, value);
        QCOMPARE(reminder->Text1(0)->text(), box);
        QTest::keyClicks(reminder->Text1(1), QStringLiteral("9"));
        QTest::keyClicks(reminder->Text1(2), QStringLiteral("30"));
        expected = {text(box.trimmed()), text(QStringLiteral("2026-12-05 09:30:00")), QStringLiteral("integer 0")};
    } else {
        auto* category = static_cast<CategoryWindow*>(w);
        const QStringList plain = {QStringLiteral("Plain"), QStringLiteral("/bin/plain"),
                                   QStringLiteral("plain words")};
        for (int i = 0; i < (info.description ? 3 : 2); ++i) {
            TextBox* b = category->Text1(i);
            if (i == field) {
                enter(b, method, value);
                QCOMPARE(b->text(), box);
                expected << text(box.trimmed());
            } else {
                QTest::keyClicks(b, plain.at(i));
                expected << text(plain.at(i));
            }
        }
    }
    clickButton(w, 1);
    QCOMPARE(run.message(), message);
    if (message != Resting) {
        QCOMPARE(run.count(info.table), before);
        QVERIFY(!w->Frame1->isHidden());
        return;
    }
    QCOMPARE(run.count(info.table), before + 1);
    QCOMPARE(run.lastRow(info.table), expected);
    QVERIFY(w->Frame1->isHidden());
    // The entry is listed under what was stored, and found again by its node.
    const QString name = field == 0 ? box.trimmed() : QStringLiteral("Plain");
    Node* node = nodeByText(w, name);
    QVERIFY(node);
    clickNode(w, node);
    QCOMPARE(w->rsEntries.Fields(field).toText(), field == 0 ? name : box.trimmed());
    verifyShownAsStored(w);
}

void BadInputTest::clockBoxesTakeDigitsTypedOrPasted_data()
{
    QTest::addColumn<QString>("method");
    QTest::addColumn<QString>("hour");
    QTest::addColumn<QString>("minute");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("stored"); // the time stored, when the Save stores
    QTest::newRow("typed digits") << "typed"
                                  << "7"
                                  << "05" << Resting << "2026-12-05 07:05:00";
    QTest::newRow("pasted digits") << "pasted"
                                   << "7"
                                   << "05" << Resting << "2026-12-05 07:05:00";
    QTest::newRow("pasted digits with blanks") << "pasted"
                                               << " 11 "
                                               << " 59 " << Resting << "2026-12-05 11:59:00";
    QTest::newRow("typed letters are not taken") << "typed"
                                                 << "ab"
                                                 << "cd" << FillIn << "";
    QTest::newRow("typed signs and other digits are not taken") << "typed"
                                                                << "-٣"
                                                                << "+½" << FillIn << "";
    QTest::newRow("pasted letters") << "pasted"
                                    << "seven"
                                    << "05" << FillInCorrect << "";
    QTest::newRow("pasted digits of another script") << "pasted"
                                                     << "٣"
                                                     << "05" << FillInCorrect << "";
    QTest::newRow("pasted hour out of range") << "pasted"
                                              << "13"
                                              << "05" << FillInCorrect << "";
    QTest::newRow("pasted negative minute") << "pasted"
                                            << "7"
                                            << "-5" << FillInCorrect << "";
    QTest::newRow("pasted huge number") << "pasted"
                                        << "99999999999999999999"
                                        << "05" << FillInCorrect << "";
    QTest::newRow("pasted line break") << "pasted"
                                       << "7\n"
                                       << "05" << Resting << "2026-12-05 07:05:00";
}

void BadInputTest::clockBoxesTakeDigitsTypedOrPasted()
{
    QFETCH(QString, method);
    QFETCH(QString, hour);
    QFETCH(QString, minute);
    QFETCH(QString, message);
    QFETCH(QString, stored);
    BadRun run;
    auto* w = static_cast<RemindersWindow*>(run.show(ChildWindow::Reminders));
    clickButton(w, 3);
    QTest::keyClicks(w->Text1(0), QStringLiteral("Clock"));
    enter(w->Text1(1), method, hour);
    enter(w->Text1(2), method, minute);
    if (method == QLatin1String("pasted")) {
        // Ctrl+V is a command, not a character the boxes would swallow.
        QCOMPARE(w->Text1(1)->text(), QString(hour).replace(QLatin1Char('\n'), QLatin1Char(' ')));
        QCOMPARE(w->Text1(2)->text(), minute);
    }
    clickButton(w, 1);
    QCOMPARE(run.message(), message);
    if (message == Resting)
        QCOMPARE(run.lastRow(Catalog::Reminders),
                 (QStringList{text(QStringLiteral("Clock")), text(stored), QStringLiteral("integer 0")}));
    else
        QCOMPARE(run.count(Catalog::Reminders), 0);
}

void BadInputTest::droppedFilesAndAddresses_data()
{
    QTest::addColumn<ChildWindow>("which");
    QTest::addColumn<bool>("application"); // dropped on the documents' application box
    QTest::addColumn<QByteArray>("uriList");
    QTest::addColumn<QString>("file"); // the file taken; empty: none
    // Save trims what it stores, so the long name ends in a letter.
    const QString longName =
            QStringLiteral("/tmp/") + repeated(QStringLiteral("long name "), 9990) + QStringLiteral("end");
    const QList<std::tuple<const char*, QByteArray, QString>> drops = {
            {"file with blanks", "file:///tmp/my%20tool", "/tmp/my tool"},
            {"file with an apostrophe", "file:///tmp/bob's%20tool", "/tmp/bob's tool"},
            {"file with double quotes", "file:///tmp/%22q%22%20x", "/tmp/\"q\" x"},
            {"file with a line break", "file:///tmp/line%0Abreak", "/tmp/line\nbreak"},
            {"file with a backslash and a dollar", "file:///tmp/a%5Cb%24HOME", "/tmp/a\\b$HOME"},
            {"file in Hebrew", "file:///tmp/%D7%A9%D7%9C%D7%95%D7%9D", "/tmp/שלום"},
            {"file named with an emoji", "file:///tmp/%F0%9F%9A%80.sh", "/tmp/🚀.sh"},
            {"file with a leading dash", "file:///tmp/-rf", "/tmp/-rf"},
            {"10,000-character file name", QUrl::fromLocalFile(longName).toEncoded(), longName},
            {"file on localhost", "file://localhost/tmp/here", "/tmp/here"},
            {"file on another machine only", "file://server/share/tool", ""},
            {"web address, then a file", "http://example.org/tool\r\nfile:///tmp/b", "/tmp/b"},
            {"web address only", "http://example.org/tool", ""},
            {"sftp address only", "sftp://bob@host/home/bob/tool", ""},
            {"comment line, then a file", "# dropped\r\nfile:///tmp/c\r\n", "/tmp/c"},
            {"empty list", "", ""},
    };
    for (const Window& w : categoryWindows()) {
        for (const auto& [tag, list, file] : drops)
            QTest::newRow(qPrintable(QStringLiteral("%1 path: %2").arg(w.tag, tag)))
                    << w.which << false << list << file;
    }
    for (const auto& [tag, list, file] : drops)
        QTest::newRow(qPrintable(QStringLiteral("documents application: %1").arg(tag)))
                << ChildWindow::Documents << true << list << file;
}

void BadInputTest::droppedFilesAndAddresses()
{
    QFETCH(ChildWindow, which);
    QFETCH(bool, application);
    QFETCH(QByteArray, uriList);
    QFETCH(QString, file);
    BadRun run;
    const Window& info = windowOf(which);
    auto* w = static_cast<CategoryWindow*>(run.show(which));
    auto* documents = qobject_cast<DocumentsWindow*>(w);
    QMimeData data;
    data.setData(QStringLiteral("text/uri-list"), uriList);
    // A command line (the Windows programs' path, the documents' application) gets the file quoted
    // where its name would split; the others take the file as it stands.
    const bool commandLine = application || which == ChildWindow::Windows;
    const QString box = file.isEmpty() ? QString() : commandLine ? CommandLine::quoteWord(file) : file;

    if (application) {
        run.execute(QStringLiteral("insert into documents values ('Letter', '/home/bob/letter.txt')"));
        w->Form_Load();
        clickButton(w, 6);
        dropOn(documents->Text2, data);
        QCOMPARE(documents->Text2->text(), box);
        QTest::mouseClick(documents->Label4, Qt::LeftButton);
        QCOMPARE(run.message(), Resting);
        QCOMPARE(documents->applicationPath, box);
        clickNode(w, nodeByText(w, QStringLiteral("Letter")));
        QTest::mouseClick(w->Label1, Qt::LeftButton);
        if (file.isEmpty()) {
            QCOMPARE(run.message(), QStringLiteral("Check Application Path"));
            QVERIFY(run.services->programStarts.isEmpty());
        } else {
            QCOMPARE(run.services->programStarts.value(0), (QStringList{file, QStringLiteral("/home/bob/letter.txt")}));
        }
        return;
    }

    clickButton(w, 3);
    QTest::keyClicks(w->Text1(0), QStringLiteral("Dropped"));
    w->Text1(1)->setText(QStringLiteral("typed before"));
    dropOn(w->Text1(1), data);
    QCOMPARE(w->Text1(1)->text(), box);
    clickButton(w, 1);
    if (file.isEmpty()) {
        QCOMPARE(run.message(), FillIn);
        return;
    }
    QCOMPARE(run.message(), Resting);
    QCOMPARE(run.lastRow(info.table).mid(0, 2), (QStringList{text(QStringLiteral("Dropped")), text(box.trimmed())}));
    clickNode(w, nodeByText(w, QStringLiteral("Dropped")));
    QTest::mouseClick(w->Label1, Qt::LeftButton);
    if (which == ChildWindow::Windows)
        QCOMPARE(run.services->programStarts.value(0), QStringList{file});
    else if (which == ChildWindow::Documents)
        QCOMPARE(run.services->programStarts.value(0), (QStringList{QStringLiteral("xdg-open"), file}));
    else
        QCOMPARE(run.services->shellRequests.value(0).file, file);
}

void BadInputTest::rowsStoredOutsideStayUsable_data()
{
    QTest::addColumn<ChildWindow>("which");
    QTest::addColumn<int>("column");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("listed");        // the node's text; empty: not listed
    QTest::addColumn<QString>("launchMessage"); // after a start of the entry
    QTest::addColumn<QString>("saveMessage");   // after Modify and Save
    const QVariant null;
    for (const Window& w : categoryWindows()) {
        const auto row = [&](const char* what) {
            return QStringLiteral("%1: %2").arg(QLatin1String(w.tag), QLatin1String(what)).toUtf8();
        };
        const bool commandLine = w.which == ChildWindow::Windows;
        const bool document = w.which == ChildWindow::Documents;
        const QString nullPath = QStringLiteral("Problem in path of the %1")
                                         .arg(w.which == ChildWindow::Softwares ? "Software"
                                              : w.which == ChildWindow::Games   ? "Game"
                                              : commandLine                     ? "Windows Software"
                                                                                : "Document");
        QTest::newRow(row("name NULL").constData()) << w.which << 0 << null << ""
                                                    << ""
                                                    << "";
        QTest::newRow(row("name empty").constData()) << w.which << 0 << QVariant(QStringLiteral("")) << ""
                                                     << ""
                                                     << "";
        QTest::newRow(row("name blanks only").constData()) << w.which << 0 << QVariant(QStringLiteral(" \t ")) << ""
                                                           << ""
                                                           << "";
        QTest::newRow(row("name a number").constData()) << w.which << 0 << QVariant(42) << "42" << Resting << Resting;
        QTest::newRow(row("name a fraction").constData())
                << w.which << 0 << QVariant(2.5) << "2.5" << Resting << Resting;
        QTest::newRow(row("name bytes").constData())
                << w.which << 0 << QVariant(QByteArray("Blob")) << "Blob" << Resting << Resting;
        QTest::newRow(row("name with blanks around").constData())
                << w.which << 0 << QVariant(QStringLiteral("  padded  ")) << "padded" << Resting << Resting;
        QTest::newRow(row("name with an apostrophe").constData()) << w.which << 0 << QVariant(QStringLiteral("Bob's"))
                                                                  << "Bob's" << Resting << "' is not allowed in Name";
        QTest::newRow(row("name with a line break").constData())
                << w.which << 0 << QVariant(QStringLiteral("two\nlines")) << "two\nlines" << Resting << Resting;
        QTest::newRow(row("name markup").constData())
                << w.which << 0 << QVariant(QStringLiteral("<b>B</b> &amp;")) << "<b>B</b> &amp;" << Resting << Resting;
        QTest::newRow(row("name the root word in small letters").constData())
                << w.which << 0 << QVariant(w.table) << w.table << Resting << Resting;
        QTest::newRow(row("path NULL").constData())
                << w.which << 1 << null << "Odd" << (document ? Resting : nullPath) << FillIn;
        QTest::newRow(row("path empty").constData()) << w.which << 1 << QVariant(QStringLiteral("")) << "Odd"
                                                     << (document ? Resting : NotRunnable) << FillIn;
        QTest::newRow(row("path a number").constData()) << w.which << 1 << QVariant(42) << "Odd" << Resting << Resting;
        QTest::newRow(row("path bytes").constData())
                << w.which << 1 << QVariant(QByteArray("/bin/true")) << "Odd" << Resting << Resting;
        QTest::newRow(row("path with an open quote").constData())
                << w.which << 1 << QVariant(QStringLiteral("/opt/bob's tool")) << "Odd"
                << (commandLine ? NotRunnable : Resting) << Resting;
        if (w.description) {
            QTest::newRow(row("description NULL").constData()) << w.which << 2 << null << "Odd" << Resting << Resting;
            QTest::newRow(row("description a number").constData())
                    << w.which << 2 << QVariant(7) << "Odd" << Resting << Resting;
            QTest::newRow(row("description an image of a named pipe").constData())
                    << w.which << 2 << QVariant(QStringLiteral("<img src=\"%1\">").arg(Fifo::path())) << "Odd"
                    << Resting << Resting;
            QTest::newRow(row("description bytes").constData())
                    << w.which << 2 << QVariant(QByteArray("\x01\x02")) << "Odd" << Resting << Resting;
        }
    }
}

void BadInputTest::rowsStoredOutsideStayUsable()
{
    QFETCH(ChildWindow, which);
    QFETCH(int, column);
    QFETCH(QVariant, value);
    QFETCH(QString, listed);
    QFETCH(QString, launchMessage);
    QFETCH(QString, saveMessage);
    BadRun run;
    const Window& info = windowOf(which);
    QVariantList values = {QStringLiteral("Odd"), QStringLiteral("/bin/odd")};
    if (info.description)
        values << QStringLiteral("odd words");
    values[column] = value;
    run.execute(QStringLiteral("insert into %1 values (%2)").arg(info.table, info.description ? "?, ?, ?" : "?, ?"),
                values);
    const QStringList before = run.rows(info.table);
    auto* w = static_cast<CategoryWindow*>(run.show(which));
    QCOMPARE(run.message(), Resting);
    if (listed.isEmpty()) {
        QCOMPARE(w->TreeView1->childCount(), 0);
        return;
    }
    QCOMPARE(childTexts(w), QStringList{listed});
    Node* node = nodeByText(w, listed);
    clickNode(w, node);
    // The heading shows the name as stored, blanks around it included.
    QCOMPARE(w->heading()->text().trimmed(), listed);
    verifyShownAsStored(w);
    QVERIFY(w->mnumodify->isEnabled());

    QTest::mouseClick(w->Label1, Qt::LeftButton);
    QCOMPARE(run.message(), launchMessage);
    // Nothing a start does writes to the file.
    QCOMPARE(run.rows(info.table), before);

    clickButton(w, 4);
    QStringList shown;
    for (int i = 0; i < (info.description ? 3 : 2); ++i)
        shown << w->Text1(i)->text();
    clickButton(w, 2); // Cancel leaves the row as it is
    QCOMPARE(run.rows(info.table), before);
    clickNode(w, nodeByText(w, listed));
    clickButton(w, 4);
    clickButton(w, 1);
    QCOMPARE(run.message(), saveMessage);
    if (saveMessage != Resting) {
        QCOMPARE(run.rows(info.table), before);
        return;
    }
    // What the boxes showed is what is stored now, as text.
    QStringList expected;
    for (const QString& s : shown)
        expected << text(s.trimmed());
    QCOMPARE(run.lastRow(info.table), expected);
}

void BadInputTest::remindersStoredOutsideStayUsable_data()
{
    QTest::addColumn<QVariant>("message");
    QTest::addColumn<QVariant>("time");
    QTest::addColumn<QVariant>("done");
    QTest::addColumn<QString>("listed");
    QTest::addColumn<QString>("shownTime");
    QTest::addColumn<QString>("saveMessage");
    // By the next due check: a reminder stored again by Modify is pending, and due when its time is past.
    QTest::addColumn<bool>("announced");
    const QVariant due = QStringLiteral("2026-12-05 08:00:00");
    QTest::newRow("message a number") << QVariant(42) << due << QVariant(1) << "42"
                                      << "2026-12-05 8:00:00 AM" << Resting << true;
    QTest::newRow("message bytes") << QVariant(QByteArray("Bytes")) << due << QVariant(1) << "Bytes"
                                   << "2026-12-05 8:00:00 AM" << Resting << true;
    QTest::newRow("message NULL, due") << QVariant() << due << QVariant(0) << ""
                                       << ""
                                       << "" << true;
    QTest::newRow("message blanks only, due") << QVariant(QStringLiteral("   ")) << due << QVariant(0) << ""
                                              << ""
                                              << "" << true;
    QTest::newRow("time NULL") << QVariant(QStringLiteral("No time")) << QVariant() << QVariant(0) << "No time"
                               << "" << FillIn << false;
    QTest::newRow("time not a date") << QVariant(QStringLiteral("Words")) << QVariant(QStringLiteral("next tuesday"))
                                     << QVariant(0) << "Words"
                                     << "next tuesday" << FillIn << false;
    QTest::newRow("time out of range, sorting before now")
            << QVariant(QStringLiteral("Bad clock")) << QVariant(QStringLiteral("2026-02-30 25:61:00")) << QVariant(0)
            << "Bad clock"
            << "2026-02-30 25:61:00" << FillIn << true;
    QTest::newRow("message markup") << QVariant(QStringLiteral("<i>x</i> &lt;")) << due << QVariant(1)
                                    << "<i>x</i> &lt;"
                                    << "2026-12-05 8:00:00 AM" << Resting << true;
    QTest::newRow("time an image of a named pipe")
            << QVariant(QStringLiteral("Pipe")) << QVariant(QStringLiteral("<img src=\"%1\">").arg(Fifo::path()))
            << QVariant(0) << "Pipe" << QStringLiteral("<img src=\"%1\">").arg(Fifo::path()) << FillIn << false;
    QTest::newRow("time a number") << QVariant(QStringLiteral("Number")) << QVariant(20261205) << QVariant(0)
                                   << "Number"
                                   << "20261205" << FillIn << false;
    QTest::newRow("time with T and no seconds")
            << QVariant(QStringLiteral("ISO")) << QVariant("2026-12-06T07:30") << QVariant(0) << "ISO"
            << "2026-12-06 7:30:00 AM" << Resting << false;
    QTest::newRow("done text") << QVariant(QStringLiteral("Text flag")) << due << QVariant(QStringLiteral("yes"))
                               << "Text flag"
                               << "2026-12-05 8:00:00 AM" << Resting << true;
    QTest::newRow("done a fraction") << QVariant(QStringLiteral("Half")) << due << QVariant(0.5) << "Half"
                                     << "2026-12-05 8:00:00 AM" << Resting << true;
    QTest::newRow("done negative") << QVariant(QStringLiteral("Minus")) << due << QVariant(-1) << "Minus"
                                   << "2026-12-05 8:00:00 AM" << Resting << true;
    QTest::newRow("done bytes") << QVariant(QStringLiteral("Blob flag")) << due << QVariant(QByteArray("\x00", 1))
                                << "Blob flag"
                                << "2026-12-05 8:00:00 AM" << Resting << true;
}

void BadInputTest::remindersStoredOutsideStayUsable()
{
    QFETCH(QVariant, message);
    QFETCH(QVariant, time);
    QFETCH(QVariant, done);
    QFETCH(QString, listed);
    QFETCH(QString, shownTime);
    QFETCH(QString, saveMessage);
    QFETCH(bool, announced);
    BadRun run;
    run.execute(QStringLiteral("insert into reminders (message, time, done) values (?, ?, ?)"), {message, time, done});
    const QStringList before = run.rows(Catalog::Reminders);
    auto* w = static_cast<RemindersWindow*>(run.show(ChildWindow::Reminders));
    QCOMPARE(run.message(), Resting);
    if (!listed.isEmpty()) {
        QCOMPARE(childTexts(w), QStringList{listed});
        clickNode(w, nodeByText(w, listed));
        QCOMPARE(w->Text2->text(), listed);
        QCOMPARE(w->Label3(2)->text(), shownTime);
        verifyShownAsStored(w);
        clickButton(w, 4);
        clickButton(w, 1);
        QCOMPARE(run.message(), saveMessage);
        if (saveMessage == Resting) {
            // Modify stores the time it showed, and the reminder is pending again.
            const QStringList row = run.lastRow(Catalog::Reminders);
            QCOMPARE(row.value(0), text(listed));
            QCOMPARE(row.value(2), QStringLiteral("integer 0"));
        } else {
            QCOMPARE(run.rows(Catalog::Reminders), before);
            clickButton(w, 2);
        }
    } else {
        QCOMPARE(w->TreeView1->childCount(), 0);
    }
    // The due check reads the same rows without failing.
    run.mains->Timer1->start();
    run.mains->Timer1_Timer();
    if (announced)
        QCOMPARE(run.message(), QString::fromLatin1(DueCheck::AnnouncementText));
    else
        QVERIFY(run.message() != QString::fromLatin1(DueCheck::FailureText));
}

// A row whose description has no value shows no description, not the one of the row shown before.
void BadInputTest::detailsWithoutValueShowNone()
{
    BadRun run;
    run.execute(QStringLiteral("insert into softwares values ('Alpha', '/bin/a', 'first words'), "
                               "('Beta', '/bin/b', NULL)"));
    run.execute(QStringLiteral("insert into reminders values ('Timed', '2026-12-07 08:00:00', 1), "
                               "('Untimed', NULL, 1)"));
    auto* w = static_cast<CategoryWindow*>(run.show(ChildWindow::Softwares));
    clickNode(w, nodeByText(w, QStringLiteral("Alpha")));
    QCOMPARE(w->descriptionLine()->text(), QStringLiteral("first words"));
    clickNode(w, nodeByText(w, QStringLiteral("Beta")));
    QCOMPARE(w->heading()->text(), QStringLiteral("Beta"));
    QCOMPARE(w->descriptionLine()->text(), QString());

    auto* r = static_cast<RemindersWindow*>(run.show(ChildWindow::Reminders));
    clickNode(r, nodeByText(r, QStringLiteral("Timed")));
    QCOMPARE(r->Label3(2)->text(), QStringLiteral("2026-12-07 8:00:00 AM"));
    clickNode(r, nodeByText(r, QStringLiteral("Untimed")));
    QCOMPARE(r->Text2->text(), QStringLiteral("Untimed"));
    QCOMPARE(r->Label3(2)->text(), QString());
}

void BadInputTest::hundredThousandRows_data()
{
    QTest::addColumn<ChildWindow>("which");
    for (const Window& w : categoryWindows())
        QTest::newRow(w.tag) << w.which;
    QTest::newRow("reminders") << ChildWindow::Reminders;
}

void BadInputTest::hundredThousandRows()
{
    QFETCH(ChildWindow, which);
    constexpr int Count = 100000;
    BadRun run;
    const Window& info = windowOf(which);
    const bool reminders = which == ChildWindow::Reminders;
    run.execute(QStringLiteral("BEGIN"));
    if (reminders)
        run.execute(QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n where i < %1) "
                                   "insert into reminders select printf('Reminder %06d', i), "
                                   "printf('2027-01-01 %02d:%02d:00', i / 60 % 24, i % 60), 0 from n")
                            .arg(Count));
    else
        run.execute(QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n where i < %1) "
                                   "insert into %2 (%3, path) select printf('Entry %06d', i), '/bin/e' || i from n")
                            .arg(Count)
                            .arg(info.table, info.key));
    run.execute(QStringLiteral("COMMIT"));
    const int stored = run.count(info.table);

    ListWindow* w = run.show(which);
    QCOMPARE(run.message(), Resting);
    QCOMPARE(w->TreeView1->childCount(), Count);
    const QString last = reminders ? QStringLiteral("Reminder %1").arg(Count) : QStringLiteral("Entry %1").arg(Count);
    Node* node = nodeByText(w, last);
    QVERIFY(node);
    clickNode(w, node);
    clickButton(w, 5);
    QCOMPARE(run.message(), Resting);
    QCOMPARE(run.count(info.table), stored - 1);
    QCOMPARE(w->TreeView1->childCount(), Count - 1);
    QVERIFY(!nodeByText(w, last));

    // One more, typed, among the many; then the due check finds the one that fell due.
    clickButton(w, 3);
    if (auto* r = qobject_cast<RemindersWindow*>(w)) {
        QTest::keyClicks(r->Text1(0), QStringLiteral("Due now"));
        QTest::keyClicks(r->Text1(1), QStringLiteral("9"));
        QTest::keyClicks(r->Text1(2), QStringLiteral("00"));
        r->Combo1->setCurrentText(QStringLiteral("PM"));
    } else {
        auto* c = static_cast<CategoryWindow*>(w);
        QTest::keyClicks(c->Text1(0), QStringLiteral("Zeta \"last\""));
        QTest::keyClicks(c->Text1(1), QStringLiteral("/bin/zeta"));
    }
    clickButton(w, 1);
    QCOMPARE(run.message(), Resting);
    QCOMPARE(run.count(info.table), stored);
    QCOMPARE(w->TreeView1->childCount(), Count);
    if (reminders) {
        run.mains->Timer1_Timer();
        QCOMPARE(run.message(), QString::fromLatin1(DueCheck::AnnouncementText));
        QCOMPARE(run.lastRow(Catalog::Reminders).value(2), QStringLiteral("integer 1"));
    }
}

void BadInputTest::oddPathsStartWhatTheyName_data()
{
    QTest::addColumn<ChildWindow>("which");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("words"); // what the program start is asked for (windows, documents)
    const QList<std::pair<const char*, QString>> paths = {
            {"apostrophe", QStringLiteral("/opt/bob's tool")},
            {"quoted words", QStringLiteral("\"/opt/my tools/run\" --name \"a b\"")},
            {"single-quoted words", QStringLiteral("'/opt/my tools/run' 'it'\\''s'")},
            {"line break", QStringLiteral("/opt/run\n--second-line")},
            {"leading dash", QStringLiteral("-rf /")},
            {"shell syntax", QStringLiteral("/bin/echo $(rm -rf ~); `id` > /tmp/x | cat &")},
            {"Hebrew and emoji", QStringLiteral("/opt/שלום/🚀 run")},
            {"blanks around", QStringLiteral("   /opt/run   ")},
            {"10,000 characters", QStringLiteral("/opt/") + repeated(QStringLiteral("x"), 9995)},
            {"NUL character", QStringLiteral("/opt/run") + QChar(0) + QStringLiteral("/evil")},
    };
    for (const Window& w : categoryWindows()) {
        for (const auto& [tag, path] : paths) {
            QString message = Resting;
            QStringList words;
            if (w.which == ChildWindow::Windows) {
                const std::optional<QStringList> split = CommandLine::splitWords(path.trimmed());
                if (!split || split->isEmpty())
                    message = NotRunnable;
                else
                    words = *split;
            } else if (w.which == ChildWindow::Documents) {
                words = QStringList{QStringLiteral("xdg-open"), path};
            }
            QTest::newRow(qPrintable(QStringLiteral("%1: %2").arg(w.tag, tag))) << w.which << path << message << words;
        }
    }
}

void BadInputTest::oddPathsStartWhatTheyName()
{
    QFETCH(ChildWindow, which);
    QFETCH(QString, path);
    QFETCH(QString, message);
    QFETCH(QStringList, words);
    BadRun run;
    const Window& info = windowOf(which);
    run.execute(QStringLiteral("insert into %1 (%2, path) values ('Odd', ?)").arg(info.table, info.key), {path});
    auto* w = static_cast<CategoryWindow*>(run.show(which));
    doubleClickNode(w, nodeByText(w, QStringLiteral("Odd")));
    QCOMPARE(run.message(), message);
    if (which == ChildWindow::Softwares || which == ChildWindow::Games) {
        // The shell is handed the file exactly as stored (a relative one in the program folder), its folder
        // the part up to the last '/'.
        QCOMPARE(run.services->shellRequests.size(), 1);
        const QString file = run.services->shellRequests.first().file;
        QCOMPARE(file, path.trimmed().startsWith(u'/') ? path : run.folder.path() + u'/' + path);
        QVERIFY(file.trimmed().startsWith(run.services->shellRequests.first().directory));
    } else if (message == Resting) {
        QCOMPARE(run.services->programStarts, QList<QStringList>{words});
    } else {
        QVERIFY(run.services->programStarts.isEmpty());
    }
}

void BadInputTest::realProgramsReceiveOddArguments_data()
{
    QTest::addColumn<ChildWindow>("which");
    QTest::addColumn<QString>("line");      // %1 the script; for documents the application, the document after |
    QTest::addColumn<QStringList>("given"); // the arguments the script receives; none: it must not run
    QTest::addColumn<QString>("message");
    QTest::newRow("windows: quoted script with odd arguments")
            << ChildWindow::Windows << "'%1' \"it's\" '\"q\"' -x '  blanks  ' שלום 🚀"
            << QStringList{"it's", "\"q\"", "-x", "  blanks  ", "שלום", "🚀"} << Resting;
    QTest::newRow("windows: NUL in an argument")
            << ChildWindow::Windows << QStringLiteral("'%1' 'a") + QChar(0) + "b'" << QStringList() << NotRunnable;
    QTest::newRow("windows: NUL in the program")
            << ChildWindow::Windows << QStringLiteral("'%1") + QChar(0) + "x'" << QStringList() << NotRunnable;
    QTest::newRow("documents: document with quotes and a dash")
            << ChildWindow::Documents << "'%1' --view|-x \"a\" b's.txt" << QStringList{"--view", "-x \"a\" b's.txt"}
            << Resting;
    QTest::newRow("documents: NUL in the document")
            << ChildWindow::Documents << QStringLiteral("'%1'|a") + QChar(0) + "b.txt" << QStringList() << NotRunnable;
    QTest::newRow("documents: no application, the document a program")
            << ChildWindow::Documents << "|%1" << QStringList() << NotRunnable;
}

void BadInputTest::realProgramsReceiveOddArguments()
{
    QFETCH(ChildWindow, which);
    QFETCH(QString, line);
    QFETCH(QStringList, given);
    QFETCH(QString, message);
    QTemporaryDir scratch;
    QVERIFY(QDir().mkpath(scratch.filePath(QStringLiteral("my apps"))));
    const QString script = scratch.filePath(QStringLiteral("my apps/record"));
    const QString marker = scratch.filePath(QStringLiteral("marker"));
    writeMarkerScript(script, marker);
    BadRun run;
    run.services->launchForReal = true;
    const QString filled = QString(line).replace(QStringLiteral("%1"), script);
    if (which == ChildWindow::Documents) {
        const QString application = filled.section(QLatin1Char('|'), 0, 0);
        const QString document = filled.section(QLatin1Char('|'), 1);
        run.execute(QStringLiteral("update documents set path = ? where document = 'DOCUMENTS'"), {application});
        run.execute(QStringLiteral("insert into documents values ('Odd', ?)"), {document});
    } else {
        run.execute(QStringLiteral("insert into windows values ('Odd', ?)"), {filled});
    }
    auto* w = static_cast<CategoryWindow*>(run.show(which));
    doubleClickNode(w, nodeByText(w, QStringLiteral("Odd")));
    QCOMPARE(run.message(), message);
    if (given.isEmpty()) {
        QTest::qWait(500);
        QVERIFY2(!QFile::exists(marker), "the program ran");
        return;
    }
    const QStringList written = waitForMarker(marker);
    QVERIFY2(!written.isEmpty(), "the program did not run");
    QCOMPARE(written.mid(1), given);
}

QTEST_MAIN(BadInputTest)
#include "tst_badinput.moc"
