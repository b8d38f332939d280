// Odd text in every way it reaches the program: typed, pasted, dropped, or stored by another program
// before the window loads. Nothing crashes, a Save that reports success stored exactly what the box
// showed (read back byte for byte), every refusal says why, and odd paths start what they name.
#include "core/commandline.h"
#include "markerscript.h"
#include "oddtext.h"
#include "windowdriver.h"

using namespace trovix;
using namespace trovix::shown;
using namespace trovix::oddtext;

namespace {

const QString Due = "2026-12-05 8:00:00 AM";

// A stored cell as the engine holds it: its type and, for text and bytes, its bytes in hexadecimal.
QString text(const QString& value)
{
    return QStringLiteral("text ") + QString::fromLatin1(value.toUtf8().toHex().toUpper());
}

struct BadRun : WindowRun
{
    BadRun() { services->clock = Evening; }

    QStringList lastRow(const QString& table) const
    {
        QStringList cells;
        for (const Catalog::Table& t : Catalog::tables())
            cells = t.name == table ? t.columns : cells;
        for (QString& column : cells)
            column = QStringLiteral("case typeof(%1) when 'integer' then 'integer ' || %1 "
                                    "when 'null' then 'null' else typeof(%1) || ' ' || hex(%1) end")
                             .arg(column);
        Query last = session->database().query(
                QStringLiteral("select %1 from %2 order by rowid desc limit 1").arg(cells.join(u','), table));
        cells.clear();
        const bool found = last.next();
        for (int i = 0; found && i < last.columnCount(); ++i)
            cells << last.text(i).value_or(QString());
        return cells;
    }
    // A column of the row the window's highlighted node stands for, as text.
    QString selectedCell(ListWindow* window, int column) const
    {
        Query cell =
                session->database().query(QStringLiteral("select * from %1 where rowid = ?").arg(window->objectName()),
                                          {treeOf(window)->selectedNode()->id()});
        return cell.next() ? cell.text(column).value_or(QString()) : QString();
    }
    void insert(ChildWindow which, const QVariantList& values)
    {
        execute(QStringLiteral("insert into %1 values (?%2)")
                        .arg(tableOf(which), QStringLiteral(", ?").repeated(values.size() - 1)),
                values);
    }
};

// Every label of the window with text that looks like markup shows the text itself: as wide as its
// characters, not as what markup would make of them.
void verifyShownAsStored(QWidget* window)
{
    for (QLabel* label : window->findChildren<QLabel*>()) {
        const QString shown = label->text();
        if (!shown.contains('<') || shown.contains('\n'))
            continue;
        QVERIFY2(label->sizeHint().width() >= label->fontMetrics().horizontalAdvance(shown),
                 qPrintable(label->objectName() + QStringLiteral(" reads ") + shown + QStringLiteral(" as markup")));
    }
}

// What a box holds after the text was entered: typed apostrophes never reach a name or a message,
// a one-line box turns pasted line breaks into blanks, a box of several lines keeps them.
QString boxAfter(bool key, bool oneLine, Input how, QString value)
{
    if (how == Input::Typed && key)
        value.remove('\'');
    if (how == Input::Pasted) {
        const QChar lineEnd = oneLine ? ' ' : '\n';
        value.replace("\r\n", QString(lineEnd)).replace('\r', lineEnd);
        value.replace('\n', lineEnd);
    }
    return value;
}

// The window, the box, how the text is entered, the text; what the box holds once the text is in, and the
// message after Save (Resting when it stores).
using Entered = std::tuple<ChildWindow, int, Input, QString, QString, QString>;
// The window, the dropped text/uri-list, the file taken (empty: none).
using Dropped = std::tuple<ChildWindow, QByteArray, QString>;
// The window, the column stored odd and its value; the node's text (empty: not listed), the message after a
// start of the entry and after Modify and Save.
using Stored = std::tuple<ChildWindow, int, QVariant, QString, QString, QString>;
// A reminder stored odd and how it is listed and shown: the time shown, the message after Modify and Save; by
// the next due check a reminder stored again by Modify is pending, and due when its time is past: announced.
struct OddReminder
{
    QVariant message, time, done;
    QString listed, shownTime, saveMessage;
    bool announced;
};
// The window, the stored path (see oddPathsStartWhatTheyName_data), the message; the arguments the script
// receives, when the message is the resting one.
using OddPath = std::tuple<ChildWindow, QString, QString, QStringList>;

} // namespace

class BadInputTest : public QObject
{
    Q_OBJECT

private slots:
    void enteredTextIsStoredExactly_data()
    {
        QTest::addColumn<Entered>("row");
        const char* const fieldNames[] = {"name", "path", "description"};
        QList<std::tuple<const char*, ChildWindow, int>> fields;
        for (const Kind& k : Kinds)
            for (int field = 0; field < (hasDescription(k.which) ? 3 : 2); ++field)
                fields << std::tuple{k.tag, k.which, field};
        fields << std::tuple{"reminders", ChildWindow::Reminders, 0};
        for (const auto& [tag, which, field] : fields) {
            const bool reminders = which == ChildWindow::Reminders;
            const bool key = field == 0;
            for (const auto& [sample, odd, typable] : Samples) {
                for (const Input how : {Input::Typed, Input::Pasted}) {
                    if (!typable && how == Input::Typed)
                        continue;
                    const QString box = boxAfter(key, key && !reminders, how, odd);
                    const QString stored = box.trimmed();
                    QString message = Resting;
                    if (field < 2 && stored.isEmpty())
                        message = FillIn;
                    else if (key && stored.contains('\''))
                        message = reminders ? "' is not allowed in Message" : "' is not allowed in Name";
                    QTest::addRow("%s %s, %s, %s", tag, reminders ? "message" : fieldNames[field], sample,
                                  how == Input::Typed ? "typed" : "pasted")
                            << Entered{which, field, how, odd, box, message};
                }
            }
        }
    }

    void enteredTextIsStoredExactly()
    {
        const auto [which, field, how, value, box, message] = fetchRow<Entered>();
        BadRun run;
        const QString table = tableOf(which);
        const bool reminders = which == ChildWindow::Reminders;
        const qsizetype before = run.rows(table).size();
        ListWindow* w = run.show(which);
        clickButton(w, 3);
        // The other boxes plainly filled; a reminder's message is at nine thirty.
        const QStringList plain =
                reminders ? QStringList{QString(), "9", "30"} : QStringList{"Plain", "/bin/plain", "plain words"};
        QStringList expected;
        for (int i = 0; i < (reminders || hasDescription(which) ? 3 : 2); ++i) {
            TextBox* b = trovix::field(w, i);
            if (i == field) {
                enterText(b, value, how);
                QCOMPARE(b->text(), box);
            } else {
                QTest::keyClicks(b, plain.at(i));
            }
            expected << text(i == field ? box.trimmed() : plain.at(i));
        }
        if (reminders)
            expected = {expected.at(0), text("2026-12-05 09:30:00"), "integer 0"};
        clickButton(w, 1);
        QCOMPARE(run.message(), message);
        QCOMPARE(editorOpen(w), message != Resting);
        QCOMPARE(run.rows(table).size(), before + (message == Resting ? 1 : 0));
        if (message != Resting)
            return;
        QCOMPARE(run.lastRow(table), expected);
        // The entry is listed under what was stored, and found again by its node.
        const QString name = field == 0 ? box.trimmed() : "Plain";
        Node* node = nodeByText(w, name);
        QVERIFY(node);
        clickNode(w, node);
        QCOMPARE(run.selectedCell(w, field), field == 0 ? name : box.trimmed());
        verifyShownAsStored(w);
    }

    void droppedFilesAndAddresses_data()
    {
        QTest::addColumn<Dropped>("row");
        // Save trims what it stores, so the long name ends in a letter.
        const QString longName = QStringLiteral("/tmp/") + repeated("long name ", 9990) + QStringLiteral("end");
        const QList<std::tuple<const char*, QByteArray, QString>> drops = {
                {"file with blanks", "file:///tmp/my%20tool", "/tmp/my tool"},
                {"file with an apostrophe", "file:///tmp/bob's%20tool", "/tmp/bob's tool"},
                {"file with double quotes", "file:///tmp/%22q%22%20x", "/tmp/\"q\" x"},
                {"file with a line break", "file:///tmp/line%0Abreak", "/tmp/line\nbreak"},
                {"file in Hebrew", "file:///tmp/%D7%A9%D7%9C%D7%95%D7%9D", "/tmp/שלום"},
                {"file with a leading dash", "file:///tmp/-rf", "/tmp/-rf"},
                {"10,000-character file name", QUrl::fromLocalFile(longName).toEncoded(), longName},
                {"file on localhost", "file://localhost/tmp/here", "/tmp/here"},
                {"file on another machine only", "file://server/share/tool", ""},
                {"web address, then a file", "http://example.org/tool\r\nfile:///tmp/b", "/tmp/b"},
                {"comment line, then a file", "# dropped\r\nfile:///tmp/c\r\n", "/tmp/c"},
                {"empty list", "", ""},
        };
        for (const Kind& k : Kinds) {
            for (const auto& [tag, list, file] : drops)
                QTest::addRow("%s path: %s", k.tag, tag) << Dropped{k.which, list, file};
        }
    }

    void droppedFilesAndAddresses()
    {
        const auto [which, uriList, file] = fetchRow<Dropped>();
        BadRun run;
        auto* w = static_cast<CategoryWindow*>(run.show(which));
        QMimeData data;
        data.setData("text/uri-list", uriList);
        // The Windows programs' path is a command line: it gets the file quoted where its name would split.
        const bool commandLine = which == ChildWindow::Windows;
        const QString box = file.isEmpty() || !commandLine ? file : CommandLine::quoteWord(file);
        clickButton(w, 3);
        QTest::keyClicks(field(w, 0), "Dropped");
        field(w, 1)->setText("typed before");
        dropOn(field(w, 1), data);
        QCOMPARE(field(w, 1)->text(), box);
        clickButton(w, 1);
        QCOMPARE(run.message(), file.isEmpty() ? FillIn : Resting);
        if (file.isEmpty())
            return;
        QCOMPARE(run.lastRow(tableOf(which)).mid(0, 2), (QStringList{text("Dropped"), text(box.trimmed())}));
        clickNode(w, nodeByText(w, "Dropped"));
        QTest::mouseClick(part(w, "runLabel"), Qt::LeftButton);
        const QString started = commandLine                       ? file
                                : which == ChildWindow::Documents ? QStringLiteral("xdg-open | ") + file
                                                                  : file + QStringLiteral(" in /tmp/");
        QCOMPARE(run.services->launches(), QStringList{started});
    }

    void rowsStoredOutsideStayUsable_data()
    {
        QTest::addColumn<Stored>("row");
        const QString NoPath = "!"; // the window's own text for a path without a value
        const QString Apostrophe = "' is not allowed in Name";
        const struct
        {
            const char* tag;
            int column;
            QVariant value;
            QString listed, launch, save, windowsLaunch;
        } rows[] = {
                {"name NULL", 0, QVariant(), "", "", "", ""},
                {"name empty", 0, QStringLiteral(""), "", "", "", ""},
                {"name blanks only", 0, " \t ", "", "", "", ""},
                {"name a number", 0, 42, "42", Resting, Resting, Resting},
                {"name a fraction", 0, 2.5, "2.5", Resting, Resting, Resting},
                {"name bytes", 0, QByteArray("Blob"), "Blob", Resting, Resting, Resting},
                {"name with blanks around", 0, "  padded  ", "padded", Resting, Resting, Resting},
                {"name with an apostrophe", 0, "Bob's", "Bob's", Resting, Apostrophe, Resting},
                {"name with a line break", 0, "two\nlines", "two\nlines", Resting, Resting, Resting},
                {"name markup", 0, "<b>B</b> &amp;", "<b>B</b> &amp;", Resting, Resting, Resting},
                {"path NULL", 1, QVariant(), "Odd", NoPath, FillIn, NoPath},
                {"path empty", 1, QStringLiteral(""), "Odd", NotRunnable, FillIn, NotRunnable},
                {"path a number", 1, 42, "Odd", Resting, Resting, Resting},
                {"path bytes", 1, QByteArray("/bin/true"), "Odd", Resting, Resting, Resting},
                {"path with an open quote", 1, "/opt/bob's tool", "Odd", Resting, Resting, NotRunnable},
                {"description NULL", 2, QVariant(), "Odd", Resting, Resting, Resting},
                {"description a number", 2, 7, "Odd", Resting, Resting, Resting},
                {"description an image", 2, Image, "Odd", Resting, Resting, Resting},
                {"description bytes", 2, QByteArray("\x01\x02"), "Odd", Resting, Resting, Resting},
        };
        const QStringList nullPath = {"Software", "Game", "Windows Software", "Document"};
        for (int i = 0; i < Kinds.size(); ++i) {
            const Kind& w = Kinds.at(i);
            const QString table = w.traits().kind->table;
            for (const auto& r : rows) {
                if (r.column == 2 && !hasDescription(w.which))
                    continue;
                QString launch = w.which == ChildWindow::Windows ? r.windowsLaunch : r.launch;
                if (w.which == ChildWindow::Documents && r.column == 1 && r.listed == "Odd")
                    launch = Resting; // a document's path goes to its application as it is
                else if (launch == NoPath)
                    launch = QStringLiteral("Problem in path of the %1").arg(nullPath.at(i));
                QTest::addRow("%s: %s", w.tag, r.tag) << Stored{w.which, r.column, r.value, r.listed, launch, r.save};
            }
            // The root's own word, stored as a name, is an entry like any other.
            QTest::addRow("%s: name the root word", w.tag) << Stored{w.which, 0, table, table, Resting, Resting};
        }
    }

    void rowsStoredOutsideStayUsable()
    {
        const auto [which, column, value, listed, launchMessage, saveMessage] = fetchRow<Stored>();
        BadRun run;
        const QString table = tableOf(which);
        QVariantList values = {"Odd", "/bin/odd", "odd words"};
        values = values.mid(0, hasDescription(which) ? 3 : 2);
        values[column] = value;
        // A neighbour with every value, shown first: nothing of it may stay on screen for the odd row.
        run.insert(which, QVariantList{"~Full", "/bin/full", "full words"}.mid(0, values.size()));
        run.insert(which, values);
        const QStringList before = run.rows(table);
        auto* w = static_cast<CategoryWindow*>(run.show(which));
        QCOMPARE(run.message(), Resting);
        QStringList texts = childTexts(w);
        QVERIFY(texts.removeOne("~Full"));
        QCOMPARE(texts, listed.isEmpty() ? QStringList() : QStringList{listed});
        if (listed.isEmpty())
            return;
        clickNode(w, nodeByText(w, "~Full"));
        clickNode(w, nodeByText(w, listed));
        // The heading shows the name as stored, blanks around it included.
        QCOMPARE(part<QLabel>(w, "headingLabel")->text().trimmed(), listed);
        if (hasDescription(which))
            QCOMPARE(part<QLabel>(w, "descriptionLabel")->text(),
                     column == 2 && value.isNull() ? QString() : run.selectedCell(w, 2));
        verifyShownAsStored(w);
        QVERIFY(part<QAction>(w, "modifyAction")->isEnabled());

        QTest::mouseClick(part(w, "runLabel"), Qt::LeftButton);
        QCOMPARE(run.message(), launchMessage);
        QCOMPARE(run.rows(table), before); // nothing a start does writes to the file

        clickButton(w, 4);
        QStringList shown;
        for (int i = 0; i < values.size(); ++i)
            shown << text(field(w, i)->text().trimmed());
        clickButton(w, 2); // Cancel leaves the row as it is
        QCOMPARE(run.rows(table), before);
        clickNode(w, nodeByText(w, listed));
        clickButton(w, 4);
        clickButton(w, 1);
        QCOMPARE(run.message(), saveMessage);
        // What the boxes showed is what is stored now, as text.
        if (saveMessage == Resting)
            QCOMPARE(run.lastRow(table), shown);
        else
            QCOMPARE(run.rows(table), before);
    }

    void remindersStoredOutsideStayUsable_data()
    {
        const QString due = "2026-12-05 08:00:00";
        const QString bad = "2026-02-30 25:61:00";
        addRows<OddReminder>({
                {"message a number", {42, due, 1, "42", Due, Resting, true}},
                {"message NULL, due", {QVariant(), due, 0, "", "", "", true}},
                {"message blanks only, due", {"   ", due, 0, "", "", "", true}},
                {"message markup", {"<i>x</i> &lt;", due, 1, "<i>x</i> &lt;", Due, Resting, true}},
                {"time NULL", {"No time", QVariant(), 0, "No time", "", FillIn, false}},
                {"time not a date", {"Words", "next tuesday", 0, "Words", "next tuesday", FillIn, false}},
                {"time out of range, sorting before now", {"Bad clock", bad, 0, "Bad clock", bad, FillIn, true}},
                {"time an image", {"Pipe", Image, 0, "Pipe", Image, FillIn, false}},
                {"time a number", {"Number", 20261205, 0, "Number", "20261205", FillIn, false}},
                {"time with T and no seconds",
                 {"ISO", "2026-12-06T07:30", 0, "ISO", "2026-12-06 7:30:00 AM", Resting, false}},
                {"done text", {"Text flag", due, "yes", "Text flag", Due, Resting, true}},
                {"done bytes", {"Blob flag", due, QByteArray("\x00", 1), "Blob flag", Due, Resting, true}},
        });
    }

    void remindersStoredOutsideStayUsable()
    {
        const auto [message, time, done, listed, shownTime, saveMessage, announced] = fetchRow<OddReminder>();
        BadRun run;
        run.insert(ChildWindow::Reminders, {message, time, done});
        // A neighbour with every value, shown first: nothing of it may stay on screen for the odd row.
        run.addReminder("~Full", "2027-01-01 10:00:00");
        const QStringList before = run.rows(Catalog::Reminders);
        auto* w = static_cast<RemindersWindow*>(run.show(ChildWindow::Reminders));
        QCOMPARE(run.message(), Resting);
        if (!listed.isEmpty()) {
            clickNode(w, nodeByText(w, "~Full"));
            clickNode(w, nodeByText(w, listed));
            QCOMPARE(w->shownMessage(), listed);
            QCOMPARE(w->shownDueTime(), shownTime);
            verifyShownAsStored(w);
            clickButton(w, 4);
            clickButton(w, 1);
            QCOMPARE(run.message(), saveMessage);
            if (saveMessage == Resting) { // Modify stores the time it showed, and the reminder is pending again
                QCOMPARE(run.lastRow(Catalog::Reminders).value(2), "integer 0");
            } else {
                QCOMPARE(run.rows(Catalog::Reminders), before);
                clickButton(w, 2);
            }
        } else {
            QCOMPARE(childTexts(w), QStringList{"~Full"});
        }
        run.session->scheduler().watch(); // the due check reads the same rows without failing
        run.tick();
        if (announced) // and the desktop told of it, by the message or, without one, by a plain title
            QCOMPARE(run.message() + '|' + run.services->notifications.last().summary,
                     Announcement + '|' + (listed.isEmpty() ? "Reminder" : listed));
        else
            QVERIFY(run.message() != Failure);
    }

    // Stored command lines as another program may leave them, started for real: a script records the arguments
    // it gets; %1 stands for the script, and a document's row is "application|document". The program runs from
    // a working folder that holds programs of the same names, which must never run in their stead: a bare name
    // is a program on the search path, and a relative path is taken from the program folder.
    void oddPathsStartWhatTheyName_data()
    {
        QTest::addColumn<OddPath>("row");
        const auto row = [](const QString& tag, ChildWindow which, const QString& path, const QString& message,
                            const QStringList& words = {}) {
            QTest::newRow(qPrintable(tag)) << OddPath{which, path, message, words};
        };
        const QString nul = QString(QChar(0));
        const ChildWindow windows = ChildWindow::Windows, documents = ChildWindow::Documents;
        for (const Kind& kind : Kinds) {
            // An argument on the Windows programs' command line, the document for the documents' application.
            const QString arguments = kind.which == windows ? " -x" : kind.which == documents ? "|letter.txt" : "";
            const QStringList words = arguments.isEmpty() ? QStringList() : QStringList{arguments.mid(1)};
            row(kind.tag + QStringLiteral(": a bare name on the search path"), kind.which,
                "trovix-test-record" + arguments, Resting, words);
            row(kind.tag + QStringLiteral(": a path relative to the program folder"), kind.which,
                "bin/record" + arguments, Resting, words);
        }
        row("windows: quoted script with odd arguments", windows, "'%1' \"it's\" '\"q\"' -x '  blanks  ' שלום 🚀",
            Resting, {"it's", "\"q\"", "-x", "  blanks  ", "שלום", "🚀"});
        row("windows: NUL in an argument", windows, "'%1' 'a" + nul + "b'", NotRunnable);
        row("windows: NUL in the program", windows, "'%1" + nul + "x'", NotRunnable);
        row("documents: document with quotes and a dash", documents, "'%1' --view|-x \"a\" b's.txt", Resting,
            {"--view", "-x \"a\" b's.txt"});
        row("documents: NUL in the document", documents, "'%1'|a" + nul + "b.txt", NotRunnable);
        row("documents: no application, the document a program", documents, "|%1", NotRunnable);
    }

    void oddPathsStartWhatTheyName()
    {
        auto [which, path, message, words] = fetchRow<OddPath>();
        BadRun run;
        QTemporaryDir scratch;
        const QString script = scratch.filePath("my apps/record"), marker = scratch.filePath("marker"),
                      decoy = scratch.filePath("decoy");
        for (const QString& program :
             {script, scratch.filePath("on path/trovix-test-record"), run.folder.file("bin/record")})
            writeMarkerScript(program, marker);
        for (const char* program : {"working/trovix-test-record", "working/bin/record"})
            writeMarkerScript(scratch.filePath(program), decoy);
        const QString workingFolder = QDir::currentPath();
        const QByteArray searchPath = qgetenv("PATH");
        const auto restore = qScopeGuard([&] { QDir::setCurrent(workingFolder), qputenv("PATH", searchPath); });
        QVERIFY(QDir::setCurrent(scratch.filePath("working")));
        qputenv("PATH", QFile::encodeName(scratch.filePath("on path")) + ':' + searchPath);
        run.services->launchForReal = true;
        path.replace("%1", script);
        if (which == ChildWindow::Documents) {
            run.execute("update documents set path = ? where document = 'DOCUMENTS'", {path.section(u'|', 0, 0)});
            path = path.section(u'|', 1);
        }
        run.addEntry(tableOf(which), "Odd", path);
        auto* w = static_cast<CategoryWindow*>(run.show(which));
        doubleClickNode(w, nodeByText(w, "Odd"));
        QCOMPARE(run.message(), message);
        if (message != Resting) {
            QTest::qWait(500);
            QVERIFY2(!QFile::exists(marker), "the program ran");
            return;
        }
        const QStringList written = waitForMarker(marker);
        QVERIFY2(!written.isEmpty(), "the program did not run");
        QCOMPARE(written.mid(1), words);
        QVERIFY2(!QFile::exists(decoy), "the program of the working folder ran");
    }
};

QTEST_MAIN(BadInputTest)
#include "tst_badinput.moc"
