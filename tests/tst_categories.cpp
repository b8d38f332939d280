// The softwares, games and Windows programs windows, driven through their real widgets.
#include "categories/categorywindow.h"
#include "markerscript.h"
#include "platform/clicklabel.h"
#include "platform/connection.h"
#include "platform/runtimeerror.h"
#include "platform/textbox.h"
#include "shell/mains.h"
#include "shell/module1.h"
#include "shell/statuspanel.h"
#include "shell/treeview.h"
#include "store/catalog.h"
#include "store/programfiles.h"
#include "windowdriver.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QToolBar>
#include <QUrl>
#include <QtTest>

using namespace trovix;

Q_DECLARE_METATYPE(trovix::ChildWindow)

namespace {

const QString Resting = QStringLiteral("Double Click for Tip of the Day");

struct Category
{
    const char* tag;
    ChildWindow window;
    const CategoryTraits& traits;
};

const QList<Category>& categories()
{
    static const QList<Category> all = {
            {"softwares", ChildWindow::Softwares, Categories::softwares()},
            {"games", ChildWindow::Games, Categories::games()},
            {"windows", ChildWindow::Windows, Categories::windows()},
            {"documents", ChildWindow::Documents, Categories::documents()},
    };
    return all;
}

const CategoryTraits& traitsOf(ChildWindow window)
{
    for (const Category& c : categories()) {
        if (c.window == window)
            return c.traits;
    }
    return Categories::softwares();
}

// One run with one category window open.
struct CategoryRun : WindowRun
{
    explicit CategoryRun(ChildWindow which)
        : traits(traitsOf(which))
        , which(which)
        , delivered(int(rows(traits.window.table).size()))
    {}

    // The table's rows after the ones delivered with the database.
    QStringList entries() const { return rows(table()).mid(delivered); }

    CategoryWindow* open()
    {
        window = static_cast<CategoryWindow*>(show(which));
        return window;
    }

    // Adds an entry through the window, as a user types it.
    void add(const QString& name, const QString& path, const QString& description = {})
    {
        clickButton(window, 3);
        type(0, name);
        type(1, path);
        if (window->Text1(2))
            type(2, description);
        clickButton(window, 1);
    }

    void type(int box, const QString& text)
    {
        window->Text1(box)->clear();
        QTest::keyClicks(window->Text1(box), text);
    }

    QString table() const { return traits.window.table; }
    QString root() const { return traits.window.rootWord; }
    QString insertRow(const QString& name, const QString& path)
    {
        execute(QStringLiteral("insert into %1 (%2, path) values (?, ?)").arg(table(), traits.keyColumn),
                {name.isNull() ? QVariant() : QVariant(name), path.isNull() ? QVariant() : QVariant(path)});
        return name;
    }

    const CategoryTraits& traits;
    ChildWindow which;
    int delivered;
    CategoryWindow* window = nullptr;
};

void addWindowColumn()
{
    QTest::addColumn<ChildWindow>("which");
}

// A test row for each window, named "window: case".
template<typename Fill>
void forEachWindow(const char* what, Fill fill, bool documentsToo = true)
{
    for (const Category& c : categories()) {
        if (!documentsToo && c.traits.launch == LaunchKind::Application)
            continue;
        fill(QTest::newRow(qPrintable(QStringLiteral("%1: %2").arg(c.tag, what))) << c.window, c);
    }
}

struct Commands
{
    bool tree, frame, save, add, entry;
    friend bool operator==(const Commands&, const Commands&) = default;
};

Commands commandsOf(CategoryWindow* w)
{
    return {w->TreeView1->isEnabled(), !w->Frame1->isHidden(), w->mnusave->isEnabled(), w->mnunew->isEnabled(),
            w->mnumodify->isEnabled() && w->mnudelete->isEnabled()};
}

// A command's menu item and toolbar button are on or off together.
bool buttonsAgreeWithMenus(CategoryWindow* w)
{
    const QList<std::pair<QAction*, int>> pairs = {
            {w->mnusave, 1}, {w->mnunew, 3}, {w->mnumodify, 4}, {w->mnudelete, 5}};
    return std::all_of(pairs.begin(), pairs.end(), [w](const auto& pair) {
        return pair.first->isEnabled() == w->Buttons(pair.second)->isEnabled();
    });
}

char* toString(const Commands& c)
{
    return qstrdup(qPrintable(QStringLiteral("tree %1 frame %2 save %3 new %4 modify/delete %5")
                                      .arg(c.tree)
                                      .arg(c.frame)
                                      .arg(c.save)
                                      .arg(c.add)
                                      .arg(c.entry)));
}

} // namespace

Q_DECLARE_METATYPE(Commands)

class CategoriesTest : public QObject
{
    Q_OBJECT

private slots:
    void loadListsTheRowsUnderTheRoot_data();
    void loadListsTheRowsUnderTheRoot();
    void commandsFollowTheState_data();
    void commandsFollowTheState();
    void saveChecksWhatWasTyped_data();
    void saveChecksWhatWasTyped();
    void modifyKeepsNamesDistinct_data();
    void modifyKeepsNamesDistinct();
    void deletePlaysItsSoundAndReloads_data();
    void deletePlaysItsSoundAndReloads();
    void unreadableListSaysSo_data();
    void unreadableListSaysSo();
    void launchReportsWhatWentWrong_data();
    void launchReportsWhatWentWrong();
    void launchTriggers_data();
    void launchTriggers();
    void launchForReal_data();
    void launchForReal();
    void browseAndDropFillThePathBox_data();
    void browseAndDropFillThePathBox();
    void menusAndHelp_data();
    void menusAndHelp();
    void mainWindowShowsTheActiveChildsMenus();
    void closedWindowComesBackFresh_data();
    void closedWindowComesBackFresh();
    void windowsMenuListsTheOpenWindows();
    void selectionGesturesMoveTheCurrentEntry_data();
    void selectionGesturesMoveTheCurrentEntry();
    void idleProgramGivesBackItsPages();
};

void CategoriesTest::loadListsTheRowsUnderTheRoot_data()
{
    addWindowColumn();
    QTest::addColumn<QStringList>("stored");
    QTest::addColumn<QStringList>("listed");
    forEachWindow("empty table", [](QTestData& row, const Category&) { row << QStringList() << QStringList(); });
    forEachWindow("in name order, root word left out", [](QTestData& row, const Category& c) {
        row << QStringList{"zebra", c.traits.window.rootWord, "Apple", "mango"}
            << QStringList{"Apple", "mango", "zebra"};
    });
    // Rows edited outside: one without a name is not listed; names equal once trimmed are listed once.
    forEachWindow("odd rows", [](QTestData& row, const Category&) {
        row << QStringList{"Bob's tool", QString(), "  Twin ", "Twin", "42", " "}
            << QStringList{"Twin", "42", "Bob's tool"};
    });
}

void CategoriesTest::loadListsTheRowsUnderTheRoot()
{
    QFETCH(ChildWindow, which);
    QFETCH(QStringList, stored);
    QFETCH(QStringList, listed);
    CategoryRun run(which);
    for (const QString& name : stored)
        run.insertRow(name, QStringLiteral("/bin/true"));
    CategoryWindow* w = run.open();

    QCOMPARE(w->windowTitle(), run.traits.window.caption);
    Node* root = w->TreeView1->root();
    QCOMPARE(w->TreeView1->key(root), run.root());
    QCOMPARE(root->text(), run.root());
    QCOMPARE(root->imageKey(), run.traits.window.imageKey);
    QVERIFY(w->TreeView1->isExpanded(root));
    QCOMPARE(w->TreeView1->selectedNode(), root);
    QCOMPARE(childTexts(w), listed);
    for (const QString& name : listed) {
        Node* node = w->TreeView1->node(run.traits.window.keyPrefix + name);
        QVERIFY(node);
        QCOMPARE(node->imageKey(), run.traits.window.imageKey);
    }
    QCOMPARE(w->heading()->text(), run.traits.heading);
    QCOMPARE(run.message(), Resting);
    // The root word's row stays in the table.
    QCOMPARE(run.entries().size(), stored.size());
}

void CategoriesTest::commandsFollowTheState_data()
{
    addWindowColumn();
    QTest::addColumn<QString>("step");
    QTest::addColumn<Commands>("expected");
    const QList<std::pair<const char*, Commands>> steps = {
            {"load", {true, false, false, true, false}},   {"entry", {true, false, false, true, true}},
            {"root", {true, false, false, true, false}},   {"new", {false, true, true, false, false}},
            {"modify", {false, true, true, false, false}}, {"cancel", {true, false, false, true, false}},
            {"save", {true, false, false, true, false}},
    };
    for (const auto& [step, commands] : steps) {
        forEachWindow(step, [step = step, commands = commands](QTestData& row, const Category&) {
            row << QString::fromLatin1(step) << commands;
        });
    }
}

void CategoriesTest::commandsFollowTheState()
{
    QFETCH(ChildWindow, which);
    QFETCH(QString, step);
    QFETCH(Commands, expected);
    CategoryRun run(which);
    run.insertRow(QStringLiteral("Editor"), QStringLiteral("/usr/bin/editor"));
    CategoryWindow* w = run.open();
    Node* entry = nodeByText(w, QStringLiteral("Editor"));

    if (step == QLatin1String("entry") || step == QLatin1String("root") || step == QLatin1String("modify")) {
        clickNode(w, entry);
        if (step == QLatin1String("root"))
            clickNode(w, w->TreeView1->root());
        if (step == QLatin1String("modify"))
            clickButton(w, 4);
    } else if (step == QLatin1String("new") || step == QLatin1String("cancel") || step == QLatin1String("save")) {
        clickNode(w, entry);
        clickButton(w, 3);
        if (step == QLatin1String("cancel"))
            clickButton(w, 2);
        if (step == QLatin1String("save")) {
            run.type(0, QStringLiteral("Viewer"));
            run.type(1, QStringLiteral("/usr/bin/viewer"));
            clickButton(w, 1);
        }
    }
    QCOMPARE(commandsOf(w), expected);
    QVERIFY(buttonsAgreeWithMenus(w));
    QVERIFY(w->Buttons(2)->isEnabled());
    QVERIFY(w->Buttons(int(run.traits.window.toolbar.size()))->isEnabled());
    if (!expected.frame && step != QLatin1String("entry"))
        QCOMPARE(w->TreeView1->selectedNode(), w->TreeView1->root());
    // The keys go where the user goes on: the name box of an open frame, else the list.
    if (step != QLatin1String("load"))
        QVERIFY((expected.frame ? static_cast<QWidget*>(w->Text1(0)) : w->TreeView1)->hasFocus());
    // The editor's boxes are emptied whenever the window returns to browsing.
    if (!expected.frame)
        QVERIFY(w->Text1(0)->text().isEmpty() && w->Text1(1)->text().isEmpty());
}

void CategoriesTest::saveChecksWhatWasTyped_data()
{
    addWindowColumn();
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("focus"); // the box that has the focus afterwards; -1 not moved
    QTest::addColumn<QString>("stored");
    forEachWindow("empty name", [](QTestData& row, const Category&) {
        row << ""
            << "/bin/ed"
            << "Fill in the values" << 0 << "";
    });
    forEachWindow("blank name", [](QTestData& row, const Category&) {
        row << "   "
            << "/bin/ed"
            << "Fill in the values" << 0 << "";
    });
    forEachWindow("empty path", [](QTestData& row, const Category&) {
        row << "Ed"
            << ""
            << "Fill in the values" << 1 << "";
    });
    forEachWindow("blank path", [](QTestData& row, const Category&) {
        row << "Ed"
            << "    "
            << "Fill in the values" << 1 << "";
    });
    forEachWindow("name taken", [](QTestData& row, const Category&) {
        row << "Existing"
            << "/bin/ed"
            << "This name already stored" << 0 << "";
    });
    forEachWindow("name taken, typed with blanks", [](QTestData& row, const Category&) {
        row << "  Existing "
            << "/bin/ed"
            << "This name already stored" << 0 << "";
    });
    forEachWindow("root word", [](QTestData& row, const Category& c) {
        row << c.traits.window.rootWord << "/bin/ed"
            << "This name already stored" << 0 << "";
    });
    forEachWindow("taken name in other letters", [](QTestData& row, const Category&) {
        row << "EXISTING"
            << "/bin/ed" << Resting << -1 << "EXISTING|/bin/ed";
    });
    forEachWindow("blanks trimmed", [](QTestData& row, const Category&) {
        row << "  Ed  "
            << " /bin/ed  " << Resting << -1 << "Ed|/bin/ed";
    });
}

void CategoriesTest::saveChecksWhatWasTyped()
{
    QFETCH(ChildWindow, which);
    QFETCH(QString, name);
    QFETCH(QString, path);
    QFETCH(QString, message);
    QFETCH(int, focus);
    QFETCH(QString, stored);
    CategoryRun run(which);
    run.insertRow(QStringLiteral("Existing"), QStringLiteral("/bin/existing"));
    CategoryWindow* w = run.open();
    const QStringList before = run.entries();

    clickButton(w, 3);
    run.type(0, name);
    run.type(1, path);
    if (focus >= 0)
        w->Command1->setFocus(); // so that a check that moves the focus is seen moving it
    clickButton(w, 1);

    QCOMPARE(run.message(), message);
    const QStringList after = run.entries();
    if (stored.isEmpty()) {
        QCOMPARE(after, before);
        QVERIFY(!w->Frame1->isHidden());
        QCOMPARE(w->Text1(0)->text(), name);
        QCOMPARE(w->Text1(1)->text(), path);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w->Text1(focus)));
    } else {
        QCOMPARE(after.size(), before.size() + 1);
        QVERIFY(after.last().startsWith(stored));
        QVERIFY(w->Frame1->isHidden());
        QVERIFY(nodeByText(w, stored.section(QLatin1Char('|'), 0, 0)));
    }
}

void CategoriesTest::modifyKeepsNamesDistinct_data()
{
    addWindowColumn();
    QTest::addColumn<QString>("newName");
    QTest::addColumn<bool>("accepted");
    forEachWindow("unchanged name", [](QTestData& row, const Category&) { row << "Alpha" << true; });
    forEachWindow("own name in other letters", [](QTestData& row, const Category&) { row << "ALPHA" << true; });
    forEachWindow("a fresh name", [](QTestData& row, const Category&) { row << "Gamma" << true; });
    forEachWindow("another entry's name", [](QTestData& row, const Category&) { row << "Beta" << false; });
    forEachWindow("the root word", [](QTestData& row, const Category& c) { row << c.traits.window.rootWord << false; });
}

void CategoriesTest::modifyKeepsNamesDistinct()
{
    QFETCH(ChildWindow, which);
    QFETCH(QString, newName);
    QFETCH(bool, accepted);
    CategoryRun run(which);
    run.insertRow(QStringLiteral("Alpha"), QStringLiteral("/bin/alpha"));
    run.insertRow(QStringLiteral("Beta"), QStringLiteral("/bin/beta"));
    CategoryWindow* w = run.open();

    clickNode(w, nodeByText(w, QStringLiteral("Alpha")));
    clickButton(w, 4);
    QCOMPARE(w->Text1(0)->text(), QStringLiteral("Alpha"));
    QCOMPARE(w->Text1(1)->text(), QStringLiteral("/bin/alpha"));
    run.type(0, newName);
    run.type(1, QStringLiteral("/bin/changed"));
    clickButton(w, 1);

    const QStringList rows = run.entries();
    if (accepted) {
        // Changed in place: the first row is still the first.
        QVERIFY(rows.first().startsWith(newName + QStringLiteral("|/bin/changed")));
        QCOMPARE(run.message(), Resting);
        QVERIFY(nodeByText(w, newName));
    } else {
        QVERIFY(rows.first().startsWith(QStringLiteral("Alpha|/bin/alpha")));
        QCOMPARE(run.message(), QStringLiteral("This name already stored"));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w->Text1(0)));
        QVERIFY(!w->Frame1->isHidden());
    }
    QCOMPARE(rows.size(), 2);
}

void CategoriesTest::deletePlaysItsSoundAndReloads_data()
{
    addWindowColumn();
    forEachWindow("entry", [](QTestData&, const Category&) {});
}

void CategoriesTest::deletePlaysItsSoundAndReloads()
{
    QFETCH(ChildWindow, which);
    CategoryRun run(which);
    run.insertRow(QStringLiteral("Keep"), QStringLiteral("/bin/keep"));
    run.insertRow(QStringLiteral("Drop"), QStringLiteral("/bin/drop"));
    CategoryWindow* w = run.open();

    // With the root selected Delete does nothing, even through its menu item.
    w->mnudelete_Click();
    QCOMPARE(run.entries().size(), 2);
    QVERIFY(run.services->sounds.isEmpty());

    clickNode(w, nodeByText(w, QStringLiteral("Drop")));
    clickButton(w, 5);
    QCOMPARE(run.entries().size(), 1);
    QVERIFY(run.entries().first().startsWith(QStringLiteral("Keep|/bin/keep")));
    QCOMPARE(run.services->sounds, QStringList{run.folder.file(ProgramFiles::DeleteSound)});
    QCOMPARE(childTexts(w), QStringList{QStringLiteral("Keep")});
    QCOMPARE(w->TreeView1->selectedNode(), w->TreeView1->root());
    QVERIFY(!w->mnudelete->isEnabled());
}

void CategoriesTest::unreadableListSaysSo_data()
{
    addWindowColumn();
    forEachWindow("table gone", [](QTestData&, const Category&) {});
}

void CategoriesTest::unreadableListSaysSo()
{
    QFETCH(ChildWindow, which);
    CategoryRun run(which);
    run.execute(QStringLiteral("drop table %1").arg(run.table()));
    CategoryWindow* w = run.open();
    QCOMPARE(run.message(), ListWindow::ListUnreadable);
    QCOMPARE(w->TreeView1->childCount(), 0);
    QCOMPARE(w->TreeView1->selectedNode(), w->TreeView1->root());
    // Nothing to store into: Save says so and keeps what was typed.
    run.add(QStringLiteral("Tool"), QStringLiteral("/bin/tool"));
    QCOMPARE(run.message(), ListWindow::StoreRefused);
    QCOMPARE(w->Text1(0)->text(), QStringLiteral("Tool"));
}

void CategoriesTest::launchReportsWhatWentWrong_data()
{
    addWindowColumn();
    QTest::addColumn<QVariant>("path");
    QTest::addColumn<int>("shellResult");
    QTest::addColumn<int>("startFailure");
    QTest::addColumn<QString>("message");
    // A document is handed to its application whatever its path holds.
    const auto unlessDocument = [](const Category& c, const QString& text) {
        return c.traits.launch == LaunchKind::Application ? Resting : text;
    };
    forEachWindow("path without a value", [=](QTestData& row, const Category& c) {
        row << QVariant() << 42 << 0 << unlessDocument(c, c.traits.pathWithoutValue);
    });
    forEachWindow("empty path", [=](QTestData& row, const Category& c) {
        row << QVariant(QString("")) << 42 << 0 << unlessDocument(c, "Not a valid executable file");
    });
    forEachWindow("blank path", [=](QTestData& row, const Category& c) {
        row << QVariant(QString("   ")) << 42 << 0 << unlessDocument(c, "Not a valid executable file");
    });
    forEachWindow("not found", [](QTestData& row, const Category& c) {
        row << QVariant(QString("/no/such")) << 2 << ErrorCode::FileNotFound << c.traits.notFoundText;
    });
    forEachWindow("cannot be opened", [](QTestData& row, const Category&) {
        row << QVariant(QString("/etc/motd")) << 31 << ErrorCode::InvalidCall << "Not a valid executable file";
    });
    forEachWindow("started",
                  [](QTestData& row, const Category&) { row << QVariant(QString("/bin/true")) << 42 << 0 << Resting; });
}

void CategoriesTest::launchReportsWhatWentWrong()
{
    QFETCH(ChildWindow, which);
    QFETCH(QVariant, path);
    QFETCH(int, shellResult);
    QFETCH(int, startFailure);
    QFETCH(QString, message);
    CategoryRun run(which);
    run.execute(QStringLiteral("insert into %1 (%2, path) values ('Entry', ?)").arg(run.table(), run.traits.keyColumn),
                {path});
    run.services->shellResult = shellResult;
    run.services->startFailure = startFailure;
    CategoryWindow* w = run.open();
    clickNode(w, nodeByText(w, QStringLiteral("Entry")));
    run.mains->setMessage(QStringLiteral("before"));
    w->RunSelectedEntry();
    QCOMPARE(run.message(), message);
}

void CategoriesTest::launchTriggers_data()
{
    addWindowColumn();
    QTest::addColumn<QString>("trigger");
    QTest::addColumn<bool>("rootSelected");
    for (const char* trigger : {"double click", "Enter", "Run", "Run double-clicked"}) {
        forEachWindow(trigger, [=](QTestData& row, const Category&) { row << QString(trigger) << false; });
        forEachWindow(qPrintable(QStringLiteral("%1 on the root").arg(trigger)),
                      [=](QTestData& row, const Category&) { row << QString(trigger) << true; });
    }
}

void CategoriesTest::launchTriggers()
{
    QFETCH(ChildWindow, which);
    QFETCH(QString, trigger);
    QFETCH(bool, rootSelected);
    CategoryRun run(which);
    run.insertRow(QStringLiteral("Tool"), QStringLiteral("  /opt/my tools/run it  "));
    CategoryWindow* w = run.open();
    Node* node = rootSelected ? w->TreeView1->root() : nodeByText(w, QStringLiteral("Tool"));
    clickNode(w, node);
    run.mains->setMessage(QStringLiteral("before"));
    if (trigger == QLatin1String("double click"))
        doubleClickNode(w, node);
    else if (trigger == QLatin1String("Enter"))
        QTest::keyClick(w->TreeView1, Qt::Key_Return);
    else if (trigger == QLatin1String("Run"))
        QTest::mouseClick(w->Label1, Qt::LeftButton);
    else
        doubleClick(w->Label1); // one start, as a click

    const int launches = int(run.services->shellRequests.size() + run.services->programStarts.size());
    if (rootSelected) {
        QCOMPARE(launches, 0);
        QCOMPARE(run.message(), QStringLiteral("before"));
        return;
    }
    QCOMPARE(launches, 1);
    QCOMPARE(run.message(), Resting);
    if (run.traits.launch == LaunchKind::CommandLine) {
        // A command line is trimmed and split into words, as a shell splits them.
        QCOMPARE(run.services->programStarts.first(), (QStringList{"/opt/my", "tools/run", "it"}));
    } else if (run.traits.launch == LaunchKind::Application) {
        // A document goes to the application as one argument, exactly as stored.
        QCOMPARE(run.services->programStarts.first(), (QStringList{"xdg-open", "  /opt/my tools/run it  "}));
    } else {
        // A path goes to the shell as it is stored, in its own folder.
        QCOMPARE(run.services->shellRequests.first().file, QStringLiteral("  /opt/my tools/run it  "));
        QCOMPARE(run.services->shellRequests.first().directory, QStringLiteral("/opt/my tools/"));
    }
}

void CategoriesTest::launchForReal_data()
{
    // The documents window starts its application, not the path; its own tests start that for real.
    addWindowColumn();
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("message");
    const auto either = [](const Category& c, const QString& commandLine, const QString& shell) {
        return c.traits.launch == LaunchKind::CommandLine ? commandLine : shell;
    };
    const QString notRunnable = QStringLiteral("Not a valid executable file");
    const QString notFound = QStringLiteral("File not found");
    forEachWindow(
            "a program", [](QTestData& row, const Category&) { row << "program" << Resting; }, false);
    forEachWindow(
            "a program in a folder with blanks",
            [=](QTestData& row, const Category& c) { row << "blanks" << either(c, notFound, Resting); }, false);
    forEachWindow(
            "a program with arguments",
            [=](QTestData& row, const Category& c) { row << "arguments" << either(c, Resting, notFound); }, false);
    forEachWindow(
            "a bare name on the search path", [](QTestData& row, const Category&) { row << "bare" << Resting; }, false);
    forEachWindow(
            "a path relative to the program folder",
            [](QTestData& row, const Category&) { row << "relative" << Resting; }, false);
    forEachWindow(
            "a missing file", [=](QTestData& row, const Category&) { row << "missing" << notFound; }, false);
    forEachWindow(
            "a folder", [=](QTestData& row, const Category& c) { row << "folder" << either(c, notRunnable, Resting); },
            false);
    forEachWindow(
            "a text file", [=](QTestData& row, const Category& c) { row << "text" << either(c, notRunnable, Resting); },
            false);
}

void CategoriesTest::launchForReal()
{
    QFETCH(ChildWindow, which);
    QFETCH(QString, what);
    QFETCH(QString, message);
    QTemporaryDir scratch;
    const QString marker = scratch.filePath(QStringLiteral("marker"));
    const QString programs = scratch.filePath(QStringLiteral("programs"));
    const QString blanks = scratch.filePath(QStringLiteral("my programs"));
    for (const QString& folder : {programs, blanks}) {
        QVERIFY(QDir().mkpath(folder));
        writeMarkerScript(folder + QStringLiteral("/run"), marker);
    }
    // The desktop's opener, a stand-in that records what it was given.
    const QString openers = scratch.filePath(QStringLiteral("openers"));
    QVERIFY(QDir().mkpath(openers));
    writeMarkerScript(openers + QStringLiteral("/xdg-open"), marker);
    writeMarkerScript(openers + QStringLiteral("/trovixprobe"), marker);
    // Same-named programs in the process's working folder, which must never be the ones started.
    const QString decoy = scratch.filePath(QStringLiteral("decoy"));
    const QString current = scratch.filePath(QStringLiteral("current"));
    QVERIFY(QDir().mkpath(current + QStringLiteral("/bin")));
    writeMarkerScript(current + QStringLiteral("/trovixprobe"), decoy);
    writeMarkerScript(current + QStringLiteral("/bin/run"), decoy);
    const QString workingFolder = QDir::currentPath();
    QVERIFY(QDir::setCurrent(current));
    const QByteArray searchPath = qgetenv("PATH");
    qputenv("PATH", openers.toUtf8() + ':' + searchPath);
    const auto restore = qScopeGuard([&] {
        qputenv("PATH", searchPath);
        QDir::setCurrent(workingFolder);
    });
    QFile text(scratch.filePath(QStringLiteral("notes.txt")));
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write("just words\n");
    text.close();

    CategoryRun run(which);
    QVERIFY(QDir().mkpath(run.folder.file(QStringLiteral("bin"))));
    writeMarkerScript(run.folder.file(QStringLiteral("bin/run")), marker);

    QString path;
    QStringList expected; // the working folder, then the arguments
    if (what == QLatin1String("bare")) {
        path = QStringLiteral("trovixprobe");
        expected = {run.folder.path()};
    } else if (what == QLatin1String("relative")) {
        path = QStringLiteral("bin/run");
        expected = {run.folder.file(QStringLiteral("bin"))};
    } else if (what == QLatin1String("program")) {
        path = programs + QStringLiteral("/run");
        expected = {programs};
    } else if (what == QLatin1String("blanks")) {
        path = blanks + QStringLiteral("/run");
        expected = {blanks};
    } else if (what == QLatin1String("arguments")) {
        path = QStringLiteral("  %1/run --name 'May \"draft\"' -x  ").arg(programs);
        expected = {programs, "--name", "May \"draft\"", "-x"};
    } else if (what == QLatin1String("missing")) {
        path = scratch.filePath(QStringLiteral("gone"));
    } else if (what == QLatin1String("folder")) {
        path = programs;
        expected = {scratch.path(), programs}; // opened by the desktop's opener
    } else {
        path = text.fileName();
        expected = {scratch.path(), text.fileName()};
    }
    if (message != Resting)
        expected.clear();

    run.services->launchForReal = true;
    run.insertRow(QStringLiteral("Entry"), path);
    CategoryWindow* w = run.open();
    doubleClickNode(w, nodeByText(w, QStringLiteral("Entry")));
    QCOMPARE(run.message(), message);
    if (expected.isEmpty()) {
        QTest::qWait(200);
        QVERIFY(!QFile::exists(marker));
        return;
    }
    const QStringList written = waitForMarker(marker);
    QVERIFY2(!QFile::exists(decoy), "a program in the working folder was started");
    QCOMPARE(written.value(0), QFileInfo(expected.first()).canonicalFilePath());
    QCOMPARE(written.mid(1), expected.mid(1));
}

void CategoriesTest::browseAndDropFillThePathBox_data()
{
    addWindowColumn();
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("box");
    QTest::addColumn<QString>("expected");
    // The Windows programs' path is a command line: a file put into it is quoted where it would split.
    forEachWindow("file chosen", [](QTestData& row, const Category& c) {
        row << "chosen" << 1
            << (c.traits.launch == LaunchKind::CommandLine ? "'/opt/chosen tool'" : "/opt/chosen tool");
    });
    forEachWindow("dialog cancelled", [](QTestData& row, const Category&) { row << "cancelled" << 1 << "typed"; });
    forEachWindow("three files dropped", [](QTestData& row, const Category& c) {
        row << "files" << 1 << (c.traits.launch == LaunchKind::CommandLine ? "'/tmp/a b'" : "/tmp/a b");
    });
    forEachWindow("a web address, then a file",
                  [](QTestData& row, const Category&) { row << "web then file" << 1 << "/tmp/c"; });
    forEachWindow("text dropped", [](QTestData& row, const Category&) { row << "text" << 1 << ""; });
    // Only the path box takes drops.
    forEachWindow("files dropped on the name", [](QTestData& row, const Category&) { row << "files" << 0 << "typed"; });
    forEachWindow("text dropped on the name", [](QTestData& row, const Category&) { row << "text" << 0 << "typed"; });
    forEachWindow("text dropped on the description", [](QTestData& row, const Category& c) {
        row << "text" << (c.traits.hasDescription ? 2 : 0) << "typed";
    });
}

void CategoriesTest::browseAndDropFillThePathBox()
{
    QFETCH(ChildWindow, which);
    QFETCH(QString, how);
    QFETCH(int, box);
    QFETCH(QString, expected);
    CategoryRun run(which);
    CategoryWindow* w = run.open();
    clickButton(w, 3);
    run.type(box, QStringLiteral("typed"));
    if (how == QLatin1String("chosen") || how == QLatin1String("cancelled")) {
        if (how == QLatin1String("chosen"))
            run.services->nextFileNames << QStringLiteral("/opt/chosen tool");
        QTest::mouseClick(w->Command1, Qt::LeftButton);
        QCOMPARE(run.services->dialogRequests.size(), 1);
        QCOMPARE(run.services->dialogRequests.first().filter, run.traits.browseFilter);
    } else {
        QMimeData data;
        if (how == QLatin1String("files"))
            data.setUrls(
                    {QUrl::fromLocalFile("/tmp/a b"), QUrl::fromLocalFile("/tmp/b"), QUrl::fromLocalFile("/tmp/c")});
        else if (how == QLatin1String("web then file"))
            data.setUrls({QUrl("https://example.org/x"), QUrl::fromLocalFile("/tmp/c")});
        else
            data.setText(QStringLiteral("/tmp/just text"));
        dropOn(w->Text1(box), data);
    }
    QCOMPARE(w->Text1(box)->text(), expected);
}

void CategoriesTest::menusAndHelp_data()
{
    addWindowColumn();
    forEachWindow("menus", [](QTestData&, const Category&) {});
}

void CategoriesTest::menusAndHelp()
{
    QFETCH(ChildWindow, which);
    CategoryRun run(which);
    CategoryWindow* w = run.open();
    const QList<std::tuple<const char*, const char*, QKeySequence>> common = {
            {"mnusave", "&Save", QKeySequence(Qt::CTRL | Qt::Key_S)},
            {"mnucancel", "&Cancel", QKeySequence(Qt::CTRL | Qt::Key_Z)},
            {"mnuontop", "&Always on Top", QKeySequence(Qt::CTRL | Qt::Key_O)},
            {"mnuresize", "&Minimize", QKeySequence(Qt::CTRL | Qt::Key_Y)},
            {"mnuexit", "&Exit", QKeySequence(Qt::CTRL | Qt::Key_F4)},
            {"mnunew", "&New", QKeySequence(Qt::CTRL | Qt::Key_N)},
            {"mnumodify", "&Modify", QKeySequence(Qt::CTRL | Qt::Key_M)},
            {"mnudelete", "&Delete", QKeySequence(Qt::CTRL | Qt::Key_Q)},
            {"mnucascade", "&Cascade", QKeySequence(Qt::CTRL | Qt::Key_A)},
            {"mnucontents", "&Contents", QKeySequence(Qt::Key_F1)},
            {"mnutip", "&Tip of the Day", QKeySequence(Qt::Key_F2)},
            {"mnuversion", "&Version", QKeySequence(Qt::Key_F3)},
    };
    for (const auto& [name, caption, shortcut] : common) {
        auto* item = w->findChild<QAction*>(QString::fromLatin1(name));
        QVERIFY2(item, name);
        QCOMPARE(item->text(), QString::fromLatin1(caption));
        QCOMPARE(item->shortcut(), shortcut);
    }
    QStringList others;
    for (QAction* item : w->mnuothers->actions())
        others << item->objectName() + QLatin1Char(' ') + item->text() + QLatin1Char(' ') + item->shortcut().toString();
    QStringList expected;
    for (const OtherWindowItem& item : run.traits.window.others)
        expected << QStringLiteral("%1 %2 %3").arg(item.name, item.caption, item.shortcut.toString());
    QCOMPARE(others, expected);

    QStringList captions;
    for (QAction* button : w->Toolbar1->actions())
        captions << button->text();
    QStringList designed;
    for (const ToolbarButtonDesign& button : run.traits.window.toolbar)
        designed << QString::fromLatin1(button.caption);
    QCOMPARE(captions, designed);
    QCOMPARE(captions.last(), QStringLiteral("Help"));

    clickButton(w, int(captions.size()));
    w->mnucontents->trigger();
    QCOMPARE(run.services->helpRequests.size(), 2);
    QCOMPARE(run.services->helpRequests[0].owner.data(), static_cast<QWidget*>(run.mains));
    QCOMPARE(run.services->helpRequests[0].command, int(HelpCommand::Context));
    QCOMPARE(run.services->helpRequests[0].data, run.traits.window.helpTopic);
    QCOMPARE(run.services->helpRequests[1].command, int(HelpCommand::Finder));

    // Always on Top and Minimize act on the main window.
    w->mnuontop->trigger();
    QVERIFY(run.module->alwaysOnTop);
    QCOMPARE(run.mains->Panels(3)->text(), QStringLiteral("A"));
    w->mnuresize->trigger();
    QVERIFY(!run.mains->isVisible());
}

void CategoriesTest::mainWindowShowsTheActiveChildsMenus()
{
    WindowRun run;
    const auto captions = [&] {
        QStringList titles;
        for (QAction* action : run.mains->menuBar()->actions())
            titles << action->text();
        return titles;
    };
    const QStringList own = {"&Arrange", "&Windows", "&Help"};
    QCOMPARE(captions(), own);

    // The main toolbar's first three buttons show their windows, after the tick.
    auto* toolbar = run.mains->Toolbar1;
    QTest::mouseClick(toolbar->widgetForAction(toolbar->actions().at(2)), Qt::LeftButton);
    QCOMPARE(run.mains->MDIClient->activeSubWindow(), run.module->windows.ifLoaded());
    QCOMPARE(run.services->sounds, QStringList{run.folder.file(ProgramFiles::OverSound)});
    run.module->windows.unload();
    QTRY_COMPARE(captions(), own);

    QTest::keyClick(run.mains, Qt::Key_T, Qt::ControlModifier);
    auto* softwares = run.module->softwares.ifLoaded();
    QVERIFY(softwares && softwares->isVisible());
    QCOMPARE(captions(), (QStringList{"&File", "&Edit", "&Others", "&Windows", "&Help"}));

    // The main window's Ctrl+T is not in the menu bar now, so it does nothing;
    // the softwares window's Ctrl+G opens the games.
    QTest::keyClick(run.mains, Qt::Key_T, Qt::ControlModifier);
    QVERIFY(!run.module->games.isLoaded());
    QTest::keyClick(run.mains, Qt::Key_G, Qt::ControlModifier);
    QVERIFY(run.module->games.isLoaded());
    QCOMPARE(run.mains->MDIClient->activeSubWindow(), run.module->games.ifLoaded());
    QCOMPARE(run.mains->shownMenus(), run.module->games.ifLoaded()->menus());

    // Ctrl+W opens the Windows programs; its menu shows Ctrl+R as "&Reminder".
    QTest::keyClick(run.mains, Qt::Key_W, Qt::ControlModifier);
    QVERIFY(run.module->windows.isLoaded());
    QCOMPARE(run.mains->shownMenus(), run.module->windows.ifLoaded()->menus());

    run.mains->MDIClient->closeAllSubWindows();
    QTRY_COMPARE(captions(), own);
}

void CategoriesTest::closedWindowComesBackFresh_data()
{
    addWindowColumn();
    QTest::addColumn<bool>("viaExit");
    forEachWindow("close box", [](QTestData& row, const Category&) { row << false; });
    forEachWindow("Exit", [](QTestData& row, const Category&) { row << true; });
}

void CategoriesTest::closedWindowComesBackFresh()
{
    QFETCH(ChildWindow, which);
    QFETCH(bool, viaExit);
    CategoryRun run(which);
    QPointer<CategoryWindow> first = run.open();
    QTest::keyClick(run.mains, Qt::Key_N, Qt::ControlModifier);
    QVERIFY(!first->Frame1->isHidden());
    QTest::keyClicks(first->Text1(0), QStringLiteral("half typed"));

    // Showing it again only brings it forward.
    run.module->ShowChild(which);
    QCOMPARE(run.module->childWindow(which), static_cast<ListWindow*>(first));
    QVERIFY(!first->Frame1->isHidden());

    if (viaExit)
        QTest::keyClick(run.mains, Qt::Key_F4, Qt::ControlModifier);
    else
        first->close();
    QTRY_VERIFY(!first);
    auto* again = static_cast<CategoryWindow*>(run.show(which));
    QVERIFY(again->Frame1->isHidden());
    QVERIFY(again->Text1(0)->text().isEmpty());
    QCOMPARE(run.mains->MDIClient->subWindowList().size(), 1);
}

void CategoriesTest::windowsMenuListsTheOpenWindows()
{
    WindowRun run;
    run.show(ChildWindow::Softwares);
    ListWindow* games = run.show(ChildWindow::Games);
    QMetaObject::invokeMethod(games->mnuwindows, "aboutToShow");
    QStringList items;
    for (QAction* item : games->mnuwindows->actions()) {
        if (!item->isSeparator())
            items << item->text() + (item->isChecked() ? QStringLiteral(" *") : QString());
    }
    QCOMPARE(items, (QStringList{"&Cascade", "&1 Softwares", "&2 Games *"}));
    games->mnuwindows->actions().at(2)->trigger();
    QCOMPARE(run.mains->MDIClient->activeSubWindow(), run.module->softwares.ifLoaded());

    games->mnucascade->trigger();
    const QRect a = run.module->softwares.ifLoaded()->geometry();
    const QRect b = games->geometry();
    // One above the other, across the whole width.
    QCOMPARE(a.width(), run.mains->MDIClient->viewport()->width());
    QCOMPARE(b.width(), a.width());
    QVERIFY(!a.intersects(b));
}

void CategoriesTest::selectionGesturesMoveTheCurrentEntry_data()
{
    addWindowColumn();
    QTest::addColumn<QString>("gesture");
    QTest::addColumn<QString>("selected"); // empty: the root
    const QList<std::pair<const char*, const char*>> gestures = {
            {"click", "Beta"},
            {"drag from Gamma up to Beta", "Beta"},
            {"drag from Beta up to the root", ""},
            {"Down", "Beta"},
            {"End", "Gamma"},
            {"PageDown", "Gamma"},
            {"Home", ""},
            {"type b", "Beta"},
            {"Ctrl+click Alpha", "Alpha"},
            {"program selects Beta", "Beta"},
            {"right press on Gamma", "Gamma"},
            {"right press below the rows", "Alpha"},
    };
    for (const auto& [gesture, selected] : gestures) {
        forEachWindow(gesture, [&](QTestData& row, const Category&) { row << QString(gesture) << QString(selected); });
        QTest::newRow(qPrintable(QStringLiteral("reminders: %1").arg(gesture)))
                << ChildWindow::Reminders << QString(gesture) << QString(selected);
    }
}

// Whatever moves the tree's highlight, the entry shown and the row that Modify, Save, Delete and Run act
// on are the highlighted one's, in every list window.
void CategoriesTest::selectionGesturesMoveTheCurrentEntry()
{
    QFETCH(ChildWindow, which);
    QFETCH(QString, gesture);
    QFETCH(QString, selected);
    const bool reminders = which == ChildWindow::Reminders;
    WindowRun run;
    const QString table = reminders ? QStringLiteral("reminders") : traitsOf(which).window.table;
    const QStringList names = {"Alpha", "Beta", "Gamma"};
    for (int i = 0; i < 3; ++i) {
        // Reminders are listed latest first: the later the name, the earlier the time.
        if (reminders)
            run.execute(QStringLiteral("insert into reminders (message, time, done) values (?, ?, 0)"),
                        {names[i], QStringLiteral("2030-01-0%1 10:00:00").arg(3 - i)});
        else
            run.execute(QStringLiteral("insert into %1 (%2, path) values (?, ?)").arg(table, traitsOf(which).keyColumn),
                        {names[i], QStringLiteral("/opt/") + names[i]});
    }
    if (which == ChildWindow::Softwares)
        run.execute(QStringLiteral("update softwares set description = ''"));
    const QStringList stored = run.rows(table);
    ListWindow* w = run.show(which);
    TreeView* tree = w->TreeView1;
    const auto at = [&](const QString& name) { return tree->nodeRect(nodeByText(w, name)).center(); };
    const bool rightPress = gesture.startsWith(QLatin1String("right"));
    const auto act = [&] {
        clickNode(w, nodeByText(w, QStringLiteral("Alpha")));
        QWidget* view = tree->viewport();
        if (gesture == QLatin1String("click")) {
            clickNode(w, nodeByText(w, QStringLiteral("Beta")));
        } else if (gesture.startsWith(QLatin1String("drag"))) {
            const bool fromGamma = gesture.contains(QLatin1String("Gamma"));
            const QPoint from = at(fromGamma ? QStringLiteral("Gamma") : QStringLiteral("Beta"));
            const QPoint to = fromGamma ? at(QStringLiteral("Beta")) : at(tree->root()->text());
            QTest::mousePress(view, Qt::LeftButton, {}, from);
            QTest::mouseMove(view, (from + to) / 2);
            QTest::mouseMove(view, to);
            QTest::mouseRelease(view, Qt::LeftButton, {}, to);
        } else if (gesture == QLatin1String("type b")) {
            QTest::keyClick(tree, Qt::Key_B);
        } else if (gesture.startsWith(QLatin1String("Ctrl+click"))) {
            QTest::mouseClick(view, Qt::LeftButton, Qt::ControlModifier, at(QStringLiteral("Alpha")));
        } else if (gesture.startsWith(QLatin1String("program"))) {
            tree->selectNode(nodeByText(w, QStringLiteral("Beta")));
        } else if (rightPress) {
            const QPoint where = gesture.contains(QLatin1String("Gamma"))
                                         ? at(QStringLiteral("Gamma"))
                                         : QPoint(at(QStringLiteral("Gamma")).x(), view->height() - 2);
            QTest::mousePress(view, Qt::RightButton, {}, where);
            QTest::mouseRelease(view, Qt::RightButton, {}, where);
            QTRY_VERIFY(w->mnuedit->isVisible());
        } else {
            const QMap<QString, Qt::Key> keys = {{"Down", Qt::Key_Down},
                                                 {"End", Qt::Key_End},
                                                 {"PageDown", Qt::Key_PageDown},
                                                 {"Home", Qt::Key_Home}};
            QTest::keyClick(tree, keys.value(gesture));
        }
    };
    // Through the pop-up menu when it stands open, else with the menu bar's keys.
    const auto command = [&](QAction* item, Qt::Key key) {
        if (rightPress) {
            item->trigger();
            w->mnuedit->hide();
        } else {
            QTest::keyClick(run.mains, key, Qt::ControlModifier);
        }
    };

    act();
    const QModelIndexList highlighted = tree->selectionModel()->selectedIndexes();
    QCOMPARE(highlighted.size(), 1);
    QCOMPARE(tree->nodeAt(highlighted.first()), tree->selectedNode());
    const bool entry = !selected.isEmpty();
    QCOMPARE(tree->selectedNode()->text(), entry ? selected : tree->root()->text());
    QCOMPARE(w->mnumodify->isEnabled(), entry);
    QCOMPARE(w->mnudelete->isEnabled(), entry);
    if (!entry) {
        w->mnuedit->hide();
        return;
    }
    QLabel* heading = w->findChild<QLabel*>(QStringLiteral("Label3(0)"));
    if (!heading)
        heading = w->findChild<QLabel*>(QStringLiteral("Label3"));
    const QString shown = reminders ? w->findChild<TextBox*>(QStringLiteral("Text2"))->text() : heading->text();
    QCOMPARE(shown, selected);
    w->mnuedit->hide();

    if (!reminders) {
        QTest::mouseClick(static_cast<CategoryWindow*>(w)->Label1, Qt::LeftButton);
        QStringList launched;
        for (const auto& request : run.services->shellRequests)
            launched << request.file;
        for (const QStringList& words : run.services->programStarts)
            launched << words;
        QVERIFY2(launched.contains(QStringLiteral("/opt/") + selected), qPrintable(launched.join(' ')));
    }

    // Modify shows the highlighted entry, and saving it unchanged stores nothing else.
    act();
    command(w->mnumodify, Qt::Key_M);
    QCOMPARE(w->findChild<TextBox*>(QStringLiteral("Text1(0)"))->text(), selected);
    QTest::keyClick(run.mains, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(run.message(), Resting);
    QCOMPARE(run.rows(table), stored);

    act();
    command(w->mnudelete, Qt::Key_Q);
    QStringList kept = stored;
    kept.removeIf([&](const QString& row) { return row.startsWith(selected + QLatin1Char('|')); });
    QCOMPARE(run.rows(table), kept);
}

// A list read starts the idle wait; when it ends, the connection's decrypted pages are given back, and
// the next load reads them again with nothing lost.
void CategoriesTest::idleProgramGivesBackItsPages()
{
    CategoryRun run(ChildWindow::Softwares);
    for (int i = 0; i < 2000; ++i)
        run.insertRow(QStringLiteral("Tool %1").arg(i, 4, 10, QLatin1Char('0')), QStringLiteral("/bin/tool"));
    CategoryWindow* w = run.open();
    QVERIFY(run.module->idleMemoryTimer().isActive());
    QCOMPARE(run.module->idleMemoryTimer().interval(), Module1::IdleMemoryMs);
    Connection& connection = *run.module->dbConnection;
    const qint64 before = connection.cachedBytes();
    QVERIFY(before > 100000);
    run.module->releaseIdleMemory();
    QVERIFY2(connection.cachedBytes() < before / 10, qPrintable(QString::number(connection.cachedBytes())));
    w->Form_Load();
    QCOMPARE(w->TreeView1->childCount(), 2000);
    QVERIFY(run.module->idleMemoryTimer().isActive());
}

QTEST_MAIN(CategoriesTest)
#include "tst_categories.moc"
