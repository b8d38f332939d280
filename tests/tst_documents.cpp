// What the documents window adds to a category window: the application that opens every document,
// how it is set, and how a document is handed to it.
#include "categories/documents.h"
#include "markerscript.h"
#include "platform/clicklabel.h"
#include "platform/textbox.h"
#include "shell/mains.h"
#include "shell/module1.h"
#include "shell/treeview.h"
#include "store/catalog.h"
#include "windowdriver.h"

#include <QGroupBox>
#include <QMdiArea>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>
#include <QtTest>

using namespace trovix;

namespace {

const QString Resting = QStringLiteral("Double Click for Tip of the Day");

struct DocumentsRun : WindowRun
{
    DocumentsWindow* open()
    {
        window = static_cast<DocumentsWindow*>(show(ChildWindow::Documents));
        return window;
    }

    void addDocument(const QString& name, const QVariant& path)
    {
        execute(QStringLiteral("insert into documents (document, path) values (?, ?)"), {name, path});
    }

    // Sets the application through the window: open the frame, type, store with the menu item.
    void setApplication(const QString& path)
    {
        window->mnusetpath->trigger();
        window->Text2->clear();
        QTest::keyClicks(window->Text2, path);
        window->mnusetpath->trigger();
    }

    QString storedApplication() const
    {
        for (const QString& row : rows(Catalog::Documents)) {
            if (row.startsWith(QStringLiteral("DOCUMENTS|")))
                return row.section(QLatin1Char('|'), 1);
        }
        return QStringLiteral("(no row)");
    }

    DocumentsWindow* window = nullptr;
};

struct States
{
    bool tree, frame1, frame2, adding, setPath;
    friend bool operator==(const States&, const States&) = default;
};

States statesOf(DocumentsWindow* w)
{
    return {w->TreeView1->isEnabled(), !w->Frame1->isHidden(), !w->Frame2->isHidden(), w->mnunew->isEnabled(),
            w->mnusetpath->isEnabled()};
}

char* toString(const States& s)
{
    return qstrdup(qPrintable(QStringLiteral("tree %1 Frame1 %2 Frame2 %3 new %4 set path %5")
                                      .arg(s.tree)
                                      .arg(s.frame1)
                                      .arg(s.frame2)
                                      .arg(s.adding)
                                      .arg(s.setPath)));
}

} // namespace

Q_DECLARE_METATYPE(States)

class DocumentsTest : public QObject
{
    Q_OBJECT

private slots:
    void statesAndTheirCommands_data();
    void statesAndTheirCommands();
    void applicationReceivesTheDocumentWhole_data();
    void applicationReceivesTheDocumentWhole();
    void launchFailuresSayWhy_data();
    void launchFailuresSayWhy();
    void settingStoresAndCancelKeeps();
    void storedApplicationOutlivesTheWindow();
    void missingApplicationRowIsMade();
    void browseAndDropOnTheApplicationBox();
    void menusOfTheWindow();
};

void DocumentsTest::statesAndTheirCommands_data()
{
    QTest::addColumn<QString>("step");
    QTest::addColumn<States>("expected");
    QTest::newRow("browse") << "browse" << States{true, false, false, true, true};
    QTest::newRow("edit") << "edit" << States{false, true, false, false, false};
    QTest::newRow("setting") << "setting" << States{false, false, true, false, true};
    QTest::newRow("setting, then Cancel") << "cancel" << States{true, false, false, true, true};
}

void DocumentsTest::statesAndTheirCommands()
{
    QFETCH(QString, step);
    QFETCH(States, expected);
    DocumentsRun run;
    DocumentsWindow* w = run.open();
    if (step == QLatin1String("edit"))
        clickButton(w, 3);
    if (step == QLatin1String("setting") || step == QLatin1String("cancel")) {
        clickButton(w, 6);
        QCOMPARE(w->Text2->text(), QStringLiteral("xdg-open"));
    }
    if (step == QLatin1String("cancel"))
        clickButton(w, 2);
    QCOMPARE(statesOf(w), expected);
    QCOMPARE(w->Buttons(6)->isEnabled(), w->mnusetpath->isEnabled());
    QCOMPARE(w->Buttons(3)->isEnabled(), w->mnunew->isEnabled());
    QCOMPARE(w->mnusave->isEnabled(), step == QLatin1String("edit"));
}

void DocumentsTest::applicationReceivesTheDocumentWhole_data()
{
    QTest::addColumn<QString>("application"); // %1 stands for the recording script's folder
    QTest::addColumn<QString>("document");
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("quotes and a leading dash")
            << "%1/record"
            << "/home/bob/May \"draft\" -x.txt" << QStringList{"/home/bob/May \"draft\" -x.txt"};
    QTest::newRow("an option first") << "%1/record"
                                     << "-rf" << QStringList{"-rf"};
    QTest::newRow("blanks kept, inside and around") << "%1/record"
                                                    << "  two  blanks.txt " << QStringList{"  two  blanks.txt "};
    QTest::newRow("application with blanks before and its own argument")
            << "   %1/record --view"
            << "/tmp/a.txt" << QStringList{"--view", "/tmp/a.txt"};
    QTest::newRow("application in a folder with blanks, quoted") << "'%1/my apps/record'"
                                                                 << "/tmp/b.txt" << QStringList{"/tmp/b.txt"};
    QTest::newRow("a document that does not exist") << "%1/record"
                                                    << "/no/such/letter.txt" << QStringList{"/no/such/letter.txt"};
}

void DocumentsTest::applicationReceivesTheDocumentWhole()
{
    QFETCH(QString, application);
    QFETCH(QString, document);
    QFETCH(QStringList, arguments);
    QTemporaryDir scratch;
    const QString marker = scratch.filePath(QStringLiteral("marker"));
    QVERIFY(QDir().mkpath(scratch.filePath(QStringLiteral("my apps"))));
    writeMarkerScript(scratch.filePath(QStringLiteral("record")), marker);
    writeMarkerScript(scratch.filePath(QStringLiteral("my apps/record")), marker);

    DocumentsRun run;
    run.services->launchForReal = true;
    run.addDocument(QStringLiteral("Letter"), document);
    DocumentsWindow* w = run.open();
    run.setApplication(application.arg(scratch.path()));
    doubleClickNode(w, nodeByText(w, QStringLiteral("Letter")));
    QCOMPARE(run.message(), Resting);
    const QStringList written = waitForMarker(marker);
    QVERIFY2(!written.isEmpty(), "the application did not run");
    QCOMPARE(written.mid(1), arguments);
}

void DocumentsTest::launchFailuresSayWhy_data()
{
    QTest::addColumn<QString>("application");
    QTest::addColumn<QString>("document");
    QTest::addColumn<QString>("message");
    QTest::newRow("application not there") << "/no/such/editor"
                                           << "/etc/hostname"
                                           << "Check Application Path";
    QTest::newRow("application not a program") << "/etc/hostname"
                                               << "/etc/hostname"
                                               << "Not a valid executable file";
    QTest::newRow("application an open quote") << "'/usr/bin/editor"
                                               << "/etc/hostname"
                                               << "Not a valid executable file";
    // Without an application nothing starts: the document is never run as the program.
    QTest::newRow("no application, the document there") << ""
                                                        << "/etc/hostname"
                                                        << "Not a valid executable file";
    QTest::newRow("no application, no document") << ""
                                                 << "/no/such/letter.txt"
                                                 << "Check Application Path";
}

void DocumentsTest::launchFailuresSayWhy()
{
    QFETCH(QString, application);
    QFETCH(QString, document);
    QFETCH(QString, message);
    DocumentsRun run;
    run.services->launchForReal = true;
    run.addDocument(QStringLiteral("Letter"), document);
    DocumentsWindow* w = run.open();
    run.setApplication(application);
    QCOMPARE(run.storedApplication(), application);
    clickNode(w, nodeByText(w, QStringLiteral("Letter")));
    QTest::keyClick(w->TreeView1, Qt::Key_Return);
    QCOMPARE(run.message(), message);
}

void DocumentsTest::settingStoresAndCancelKeeps()
{
    DocumentsRun run;
    DocumentsWindow* w = run.open();
    // Cancel leaves without storing; the box keeps what was typed until the frame opens again.
    clickButton(w, 6);
    w->Text2->setText(QStringLiteral("/usr/bin/never"));
    clickButton(w, 2);
    QCOMPARE(run.storedApplication(), QStringLiteral("xdg-open"));
    QCOMPARE(w->Text2->text(), QStringLiteral("/usr/bin/never"));
    QVERIFY(w->Frame2->isHidden());

    // The frame opens on the stored path; the same button again stores the box and reloads.
    clickButton(w, 6);
    QCOMPARE(w->Text2->text(), QStringLiteral("xdg-open"));
    w->Text2->setText(QStringLiteral("  /usr/bin/mousepad  "));
    clickButton(w, 6);
    QCOMPARE(run.storedApplication(), QStringLiteral("/usr/bin/mousepad"));
    QCOMPARE(w->applicationPath, QStringLiteral("/usr/bin/mousepad"));
    QVERIFY(w->Frame2->isHidden());
    QCOMPARE(run.message(), Resting);

    // "SET" stores as well; an empty box stores an empty application.
    clickButton(w, 6);
    w->Text2->clear();
    QTest::mouseClick(w->Label4, Qt::LeftButton);
    QCOMPARE(run.storedApplication(), QString());
    QCOMPARE(w->applicationPath, QString());
}

void DocumentsTest::storedApplicationOutlivesTheWindow()
{
    DocumentsRun run;
    run.addDocument(QStringLiteral("Letter"), QStringLiteral("/home/bob/letter.txt"));
    DocumentsWindow* w = run.open();
    run.setApplication(QStringLiteral("/usr/bin/mousepad"));
    w->close();
    QTRY_VERIFY(!run.module->documents.isLoaded());

    w = run.open();
    QCOMPARE(w->applicationPath, QStringLiteral("/usr/bin/mousepad"));
    clickNode(w, nodeByText(w, QStringLiteral("Letter")));
    QTest::mouseClick(w->Label1, Qt::LeftButton);
    QCOMPARE(run.services->programStarts.value(0), (QStringList{"/usr/bin/mousepad", "/home/bob/letter.txt"}));
    // The application's row is never listed.
    QVERIFY(!w->TreeView1->childByText(QStringLiteral("DOCUMENTS")));
    QCOMPARE(w->TreeView1->childCount(), 1);
}

void DocumentsTest::missingApplicationRowIsMade()
{
    DocumentsRun run;
    run.execute(QStringLiteral("delete from documents"));
    run.addDocument(QStringLiteral("Letter"), QStringLiteral("/home/bob/letter.txt"));
    DocumentsWindow* w = run.open();
    QCOMPARE(w->applicationPath, QString());
    clickButton(w, 6);
    QCOMPARE(w->Text2->text(), QString());
    w->Text2->setText(QStringLiteral("/usr/bin/mousepad"));
    QTest::mouseClick(w->Label4, Qt::LeftButton);
    QCOMPARE(run.storedApplication(), QStringLiteral("/usr/bin/mousepad"));
    QCOMPARE(w->applicationPath, QStringLiteral("/usr/bin/mousepad"));
    QCOMPARE(w->TreeView1->childCount(), 1);
}

void DocumentsTest::browseAndDropOnTheApplicationBox()
{
    DocumentsRun run;
    DocumentsWindow* w = run.open();
    clickButton(w, 6);
    run.services->nextFileNames << QStringLiteral("/usr/bin/mousepad");
    QTest::mouseClick(w->Command2, Qt::LeftButton);
    QCOMPARE(run.services->dialogRequests.value(0).filter, QStringLiteral("Executable Files|*.exe|All Files|*.*"));
    QCOMPARE(w->Text2->text(), QStringLiteral("/usr/bin/mousepad"));
    // Cancelling the dialog changes nothing.
    QTest::mouseClick(w->Command2, Qt::LeftButton);
    QCOMPARE(w->Text2->text(), QStringLiteral("/usr/bin/mousepad"));

    QMimeData files;
    files.setUrls({QUrl::fromLocalFile("/opt/editor"), QUrl::fromLocalFile("/opt/other")});
    dropOn(w->Text2, files);
    QCOMPARE(w->Text2->text(), QStringLiteral("/opt/editor"));
    QMimeData text;
    text.setText(QStringLiteral("just words"));
    dropOn(w->Text2, text);
    QCOMPARE(w->Text2->text(), QString());
}

void DocumentsTest::menusOfTheWindow()
{
    DocumentsRun run;
    // Ctrl+D in the main window opens it.
    QTest::keyClick(run.mains, Qt::Key_D, Qt::ControlModifier);
    auto* w = run.module->documents.ifLoaded();
    QVERIFY(w);
    QCOMPARE(run.mains->MDIClient->activeSubWindow(), w);
    QCOMPARE(w->windowTitle(), QStringLiteral("Documents"));
    const QList<QAction*> edit = w->mnuedit->actions();
    QCOMPARE(edit.size(), 5);
    QVERIFY(edit.at(3)->isSeparator());
    QCOMPARE(edit.at(4), w->mnusetpath);
    QCOMPARE(w->mnusetpath->text(), QStringLiteral("&Set Application Path"));
    QCOMPARE(w->mnusetpath->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
    QCOMPARE(w->Frame2->title(), QStringLiteral("Set Application Path"));
    QCOMPARE(w->Label4->text(), QStringLiteral("SET"));
    // Ctrl+P opens the frame, Ctrl+P again stores it.
    QTest::keyClick(run.mains, Qt::Key_P, Qt::ControlModifier);
    QVERIFY(!w->Frame2->isHidden());
    QTest::keyClick(run.mains, Qt::Key_P, Qt::ControlModifier);
    QVERIFY(w->Frame2->isHidden());
    // Help is button 7, at the window's topic.
    clickButton(w, 7);
    QCOMPARE(run.services->helpRequests.value(0).data, 5);
}

QTEST_MAIN(DocumentsTest)
#include "tst_documents.moc"
