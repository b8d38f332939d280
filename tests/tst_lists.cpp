// The softwares, games, Windows programs and documents windows used as a person uses them.
#include "core/catalog.h"
#include "core/database.h"
#include "core/entrystore.h"
#include "core/programfiles.h"
#include "shown.h"
#include "ui/clicklabel.h"
#include "ui/documentswindow.h"
#include "ui/mainwindow.h"
#include "ui/statuspanel.h"
#include "ui/textbox.h"
#include "ui/treeview.h"
#include "windowdriver.h"

#include <QtTest>
#include <QtWidgets>

using namespace trovix;
using namespace trovix::shown;

// New or Modify of "Alpha", name, path; Save's message, focus after a refusal, row stored (neither: Cancel).
using Edit = std::tuple<bool, QString, QString, QString, int, QString>;
// A start: the application and path stored, the failure the start meets, the message, the starts asked for.
using Start = std::tuple<QString, QString, LaunchResult::Outcome, QString, QStringList>;
// The documents' application: its row deleted outside, the text typed, how it is stored, what is stored.
using Setting = std::tuple<bool, QString, QString, QString>;
// A box (0 name, 1 path, 2 description, 3 the documents' application), how it is filled, what it holds then.
using Fill = std::tuple<int, QString, QString>;

Q_DECLARE_METATYPE(trovix::ChildWindow)
Q_DECLARE_METATYPE(Edit)
Q_DECLARE_METATYPE(Start)
Q_DECLARE_METATYPE(Setting)
Q_DECLARE_METATYPE(Fill)

namespace {

const QString Taken = QStringLiteral("This name already stored");

// A test row for each window, named "window: case".
template<typename Add>
void forEachWindow(const char* what, Add add)
{
    for (const Kind& k : Kinds)
        add(QTest::newRow(qPrintable(QStringLiteral("%1: %2").arg(k.tag, what))) << k.which, k);
}

// Types the text; a line break in it is a press of Enter.
void type(TextBox* box, const QString& text)
{
    box->clear();
    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            QTest::keyClick(box, Qt::Key_Return);
        QTest::keyClicks(box, lines.at(i));
    }
}

// One run with one category window to open.
struct ListRun : WindowRun
{
    explicit ListRun(ChildWindow which)
        : which(which)
    {}

    QStringList entries() const { return rows(traits.table).mid(delivered); }
    void insertRow(const QString& name, const QString& path)
    {
        execute(QStringLiteral("insert into %1 (%2, path) values (?, ?)").arg(traits.table, EntryStore(traits.table).keyColumn()),
                {name, path});
    }
    CategoryWindow* open() { return static_cast<CategoryWindow*>(show(which)); }

    ChildWindow which;
    const CategoryTraits& traits = kindOf(which).traits();
    int delivered = int(rows(traits.table).size());
};

// What the user can do now: the tree, the open frames, the commands on (a menu item with its button).
QString stateOf(CategoryWindow* w)
{
    auto* documents = qobject_cast<DocumentsWindow*>(w);
    const auto command = [w](QAction* item, int button) {
        return int(item->isEnabled()) + int(toolbarButton(part<QToolBar>(w, "toolBar"), button)->isEnabled());
    };
    const QList<std::pair<int, const char*>> parts = {
            {2 * treeOf(w)->isEnabled(), "tree"},
            {2 * !part<QGroupBox>(w, "detailsFrame")->isHidden(), "frame"},
            {documents ? 2 * !part<QGroupBox>(documents, "applicationFrame")->isHidden() : 0, "application"},
            {command(part<QAction>(w, "saveAction"), 1), "save"},
            {command(part<QAction>(w, "newAction"), 3), "new"},
            {command(part<QAction>(w, "modifyAction"), 4), "modify"},
            {command(part<QAction>(w, "deleteAction"), 5), "delete"},
            {documents ? command(part<QAction>(documents, "setApplicationAction"), 6) : 0, "set"}};
    QStringList on;
    for (const auto& [count, word] : parts) {
        if (count)
            on << (count == 2 ? QString(word) : word + QStringLiteral(" (menu and button differ)"));
    }
    return on.join(QLatin1Char(' '));
}

// What a user reads on the element: a menu's title, items and keys; a toolbar's captions; a frame's title
// and the captions in it; with no element, the window's caption, root node, heading and Run label.
QString shownText(CategoryWindow* w, const QString& name)
{
    if (name.isEmpty())
        return QStringList{w->windowTitle(), treeOf(w)->root()->text(), part<QLabel>(w, "headingLabel")->text(), part<QLabel>(w, "runLabel")->text()}
                .join(" / ");
    auto* element = w->findChild<QWidget*>(name);
    QStringList parts;
    for (QAction* item : element->actions())
        parts << (item->isSeparator() ? QStringLiteral("-")
                                      : (item->text() + ' ' + item->shortcut().toString()).trimmed());
    for (QWidget* inside : element->findChildren<QWidget*>()) {
        if (qobject_cast<QLabel*>(inside) || qobject_cast<QPushButton*>(inside))
            parts << inside->property("text").toString();
    }
    const QString title = element->property("title").toString(); // of a menu or a frame
    return (title.isEmpty() ? QString() : title + QStringLiteral(": ")) + parts.join(QStringLiteral(", "));
}

} // namespace

class ListsTest : public QObject
{
    Q_OBJECT

private slots:
    void whatTheUserReads_data();
    void whatTheUserReads();
    void editingStoresOrSaysWhy_data();
    void editingStoresOrSaysWhy();
    void selectionGesturesMoveTheCurrentEntry_data();
    void selectionGesturesMoveTheCurrentEntry();
    void runStartsTheEntryOrSaysWhy_data();
    void runStartsTheEntryOrSaysWhy();
    void browseAndDropFillTheirBox_data();
    void browseAndDropFillTheirBox();
    void documentsApplicationIsSet_data();
    void documentsApplicationIsSet();
    void menusFollowTheActiveWindow();
};

void ListsTest::whatTheUserReads_data()
{
    QTest::addColumn<ChildWindow>("which");
    QTest::addColumn<QString>("element"); // empty: the window's caption, root node, heading and Run label
    QTest::addColumn<QString>("text");
    const auto S = ChildWindow::Softwares, G = ChildWindow::Games, W = ChildWindow::Windows, D = ChildWindow::Documents;
    const QList<std::tuple<ChildWindow, const char*, const char*>> rows = {
            {S, "", "Softwares / SOFTWARES / Softwares / Run"},
            {G, "", "Games / GAMES / Games / Run"},
            {W, "", "Windows Softwares / WINDOWS SOFTWARES / Windows Softwares / Run"},
            {D, "", "Documents / DOCUMENTS / Documents / Run"},
            {S, "fileMenu",
             "&File: &Save Ctrl+S, &Cancel Ctrl+Z, -, &Always on Top Ctrl+O, &Minimize Ctrl+Y, -, &Exit Ctrl+F4"},
            {S, "editMenu", "&Edit: &New Ctrl+N, &Modify Ctrl+M, &Delete Ctrl+Q"},
            {D, "editMenu", "&Edit: &New Ctrl+N, &Modify Ctrl+M, &Delete Ctrl+Q, -, &Set Application Path Ctrl+P"},
            {S, "othersMenu", "&Others: &Games Ctrl+G, &Windows Softwares Ctrl+W, &Documents Ctrl+D, &Reminders Ctrl+R"},
            {G, "othersMenu",
             "&Others: &Softwares Ctrl+T, &Windows Softwares Ctrl+W, &Documents Ctrl+D, &Reminders Ctrl+R"},
            {W, "othersMenu", "&Others: &Games Ctrl+G, &Softwares Ctrl+T, &Documents Ctrl+D, &Reminder Ctrl+R"},
            {D, "othersMenu", "&Others: &Games Ctrl+G, &Softwares Ctrl+T, &Windows Softwares Ctrl+W, &Reminders Ctrl+R"},
            {S, "windowsMenu", "&Windows: &Cascade Ctrl+A"},
            {S, "helpMenu", "&Help: &Contents F1, &Tip of the Day F2, -, &Version F3"},
            {S, "toolBar", "Save, Cancel, New, Modify, Delete, Help"},
            {D, "toolBar", "Save, Cancel, New, Modify, Delete, Set Ap, Help"},
            {S, "detailsFrame", "Information: Name, Path, Description, Browse"},
            {G, "detailsFrame", "Information: Name, Path, Browse"},
            {D, "applicationFrame", "Set Application Path: Path, Browse, SET"},
    };
    for (const auto& [which, element, text] : rows)
        QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(kindOf(which).tag, element))) << which << element << text;
}

void ListsTest::whatTheUserReads()
{
    QFETCH(ChildWindow, which);
    QFETCH(QString, element);
    QFETCH(QString, text);
    ListRun run(which);
    QCOMPARE(shownText(run.open(), element), text);
}

void ListsTest::editingStoresOrSaysWhy_data()
{
    QTest::addColumn<ChildWindow>("which");
    QTest::addColumn<Edit>("edit");
    const QList<std::pair<const char*, Edit>> rows = {
            {"empty name", {false, "", "/bin/ed", FillIn, 0, ""}},
            {"empty path", {false, "Ed", "", FillIn, 1, ""}},
            {"Enter pressed in the name", {false, "E\nd", "/bin/ed", Resting, -1, "Ed|/bin/ed"}},
            {"name taken, typed with blanks", {false, "  Existing ", "/bin/ed", Taken, 0, ""}},
            {"root word", {false, "%root", "/bin/ed", Taken, 0, ""}},
            {"taken name in other letters", {false, "EXISTING", "/bin/ed", Resting, -1, "EXISTING|/bin/ed"}},
            {"new, cancelled", {false, "Ed", "/bin/ed", Resting, -1, ""}},
            {"modify: unchanged name", {true, "Alpha", "/bin/ed", Resting, -1, "Alpha|/bin/ed"}},
            {"modify: own name in other letters", {true, "ALPHA", "/bin/ed", Resting, -1, "ALPHA|/bin/ed"}},
            {"modify: another entry's name", {true, "Existing", "/bin/ed", Taken, 0, ""}},
            {"modify, cancelled", {true, "Ed", "/bin/ed", Resting, -1, ""}},
    };
    for (const auto& [tag, edit] : rows) {
        forEachWindow(tag, [&](QTestData& row, const Kind&) { row << edit; });
    }
}

// Each step shows in the commands on and where the keys go: an open frame's name box, else the list.
void ListsTest::editingStoresOrSaysWhy()
{
    QFETCH(ChildWindow, which);
    QFETCH(Edit, edit);
    const auto& [modify, typed, path, message, focus, stored] = edit;
    ListRun run(which);
    const QString name = QString(typed).replace("%root", run.traits.window.rootWord);
    for (const QString& entry :
         {QStringLiteral("Existing"), QStringLiteral("Alpha"), QStringLiteral("zebra"), run.traits.window.rootWord,
          QStringLiteral("  Twin "), QStringLiteral("Twin"), QStringLiteral(" ")})
        run.insertRow(entry, QStringLiteral("/bin/") + entry.trimmed().toLower());
    CategoryWindow* w = run.open();
    TreeView* tree = treeOf(w);
    // By name; never the root word's row (the documents' application), a blank name, a name twice.
    QCOMPARE(childTexts(w), (QStringList{"Twin", "Alpha", "Existing", "zebra"}));
    QVERIFY(tree->isExpanded(tree->root()) && tree->selectedNode() == tree->root());
    const QStringList before = run.entries();
    // The documents' application can be set whenever no entry is being edited.
    const QString browsing =
            which == ChildWindow::Documents ? QStringLiteral("tree new set") : QStringLiteral("tree new");
    QCOMPARE(stateOf(w), browsing);
    clickNode(w, nodeByText(w, QStringLiteral("Alpha")));
    QCOMPARE(stateOf(w), QString(browsing).replace(QStringLiteral("new"), QStringLiteral("new modify delete")));
    clickButton(w, modify ? 4 : 3);
    QCOMPARE(stateOf(w), QStringLiteral("frame save"));
    QVERIFY(field(w, 0)->hasFocus());
    QCOMPARE(field(w, 1)->text(), modify ? QStringLiteral("/bin/alpha") : QString());
    type(field(w, 0), name);
    type(field(w, 1), path);
    part<QPushButton>(w, "browseButton")->setFocus(); // so that a check that moves the focus is seen moving it
    clickButton(w, focus < 0 && stored.isEmpty() ? 2 : 1);

    QCOMPARE(run.message(), message);
    const QStringList after = run.entries();
    if (focus >= 0) {
        QCOMPARE(after, before);
        QCOMPARE(stateOf(w), QStringLiteral("frame save"));
        QCOMPARE(field(w, 0)->text(), name);
        QCOMPARE(field(w, 1)->text(), path);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(field(w, focus)));
        return;
    }
    // Back to browsing: the root selected, the boxes emptied, the keys on the list.
    QCOMPARE(stateOf(w), browsing);
    QCOMPARE(tree->selectedNode(), tree->root());
    QVERIFY(field(w, 0)->text().isEmpty() && field(w, 1)->text().isEmpty());
    QVERIFY(tree->hasFocus());
    // A changed entry keeps its row; a new one is the last.
    QCOMPARE(after.size(), before.size() + (modify || stored.isEmpty() ? 0 : 1));
    QVERIFY2(stored.isEmpty() ? after == before : (modify ? after.value(1) : after.last()).startsWith(stored),
             qPrintable(after.join(QLatin1Char(' '))));
}

void ListsTest::selectionGesturesMoveTheCurrentEntry_data()
{
    QTest::addColumn<ChildWindow>("which");
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
        forEachWindow(gesture, [&](QTestData& row, const Kind&) { row << QString(gesture) << QString(selected); });
        QTest::newRow(qPrintable(QStringLiteral("reminders: %1").arg(gesture)))
                << ChildWindow::Reminders << QString(gesture) << QString(selected);
    }
}

// Whatever moves the tree's highlight, the entry shown and the row that Modify, Save, Delete and Run act
// on are the highlighted one's, in every list window.
void ListsTest::selectionGesturesMoveTheCurrentEntry()
{
    QFETCH(ChildWindow, which);
    QFETCH(QString, gesture);
    QFETCH(QString, selected);
    const bool reminders = which == ChildWindow::Reminders;
    WindowRun run;
    const QString table = reminders ? QStringLiteral("reminders") : kindOf(which).traits().table;
    const QStringList names = {"Alpha", "Beta", "Gamma"};
    // Reminders are listed latest first: the later the name, the earlier the time.
    for (int i = 0; i < 3; ++i)
        run.execute(reminders ? QStringLiteral("insert into reminders values (?, ?, 0)")
                              : QStringLiteral("insert into %1 (%2, path) values (?, ?)")
                                        .arg(table, EntryStore(table).keyColumn()),
                    {names[i], reminders ? QStringLiteral("2030-01-0%1 10:00:00").arg(3 - i) : "/opt/" + names[i]});
    if (which == ChildWindow::Softwares)
        run.execute(QStringLiteral("update softwares set description = ''"));
    const QStringList stored = run.rows(table);
    ListWindow* w = run.show(which);
    TreeView* tree = treeOf(w);
    const auto at = [&](const QString& name) { return tree->nodeRect(nodeByText(w, name)).center(); };
    const bool rightPress = gesture.startsWith(QLatin1String("right"));
    const auto act = [&] {
        clickNode(w, nodeByText(w, QStringLiteral("Alpha")));
        QWidget* view = tree->viewport();
        const QMap<QString, Qt::Key> keys = {
                {"Down", Qt::Key_Down}, {"End", Qt::Key_End}, {"PageDown", Qt::Key_PageDown}, {"Home", Qt::Key_Home}};
        if (gesture == QLatin1String("click")) {
            clickNode(w, nodeByText(w, QStringLiteral("Beta")));
        } else if (gesture.startsWith(QLatin1String("drag"))) {
            const bool fromGamma = gesture.contains(QLatin1String("Gamma"));
            const QPoint from = at(fromGamma ? "Gamma" : "Beta"),
                         to = fromGamma ? at("Beta") : at(tree->root()->text());
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
            QTRY_VERIFY(part<QMenu>(w, "editMenu")->isVisible());
        } else {
            QTest::keyClick(tree, keys.value(gesture));
        }
    };
    // Through the pop-up menu when it stands open, else with the menu bar's keys.
    const auto command = [&](QAction* item, Qt::Key key) {
        rightPress ? item->trigger() : QTest::keyClick(run.mainWindow, key, Qt::ControlModifier);
        part<QMenu>(w, "editMenu")->hide();
    };

    act();
    QCOMPARE(tree->selectionModel()->selectedIndexes().size(), 1);
    QCOMPARE(tree->nodeAt(tree->selectionModel()->selectedIndexes().value(0)), tree->selectedNode());
    const bool entry = !selected.isEmpty();
    QCOMPARE(tree->selectedNode()->text(), entry ? selected : tree->root()->text());
    QVERIFY(part<QAction>(w, "modifyAction")->isEnabled() == entry && part<QAction>(w, "deleteAction")->isEnabled() == entry);
    part<QMenu>(w, "editMenu")->hide();
    if (!entry) {
        // With the root selected Delete does nothing, even called past its disabled item.
        QAction* remove = part<QAction>(w, "deleteAction");
        remove->setEnabled(true);
        remove->trigger();
        QCOMPARE(run.rows(table), stored);
        QVERIFY(run.services->sounds.isEmpty());
        return;
    }
    const QString shown = reminders ? part<TextBox>(w, "messageDisplay")->text()
                                    : part<QLabel>(w, "headingLabel")->text();
    QCOMPARE(shown, selected);
    if (!reminders) {
        QTest::mouseClick(part(w, "runLabel"), Qt::LeftButton);
        const QString launched = run.services->launches().join(' ');
        QVERIFY2(launched.contains(QStringLiteral("/opt/") + selected), qPrintable(launched));
    }

    // Modify shows the highlighted entry, and saving it unchanged stores nothing else.
    act();
    command(part<QAction>(w, "modifyAction"), Qt::Key_M);
    QCOMPARE(field(w, 0)->text(), selected);
    QTest::keyClick(run.mainWindow, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(run.message(), Resting);
    QCOMPARE(run.rows(table), stored);

    // Delete takes that row at once, with its sound, and the list is read again.
    act();
    command(part<QAction>(w, "deleteAction"), Qt::Key_Q);
    QCOMPARE(run.rows(table).size(), stored.size() - 1);
    QCOMPARE(run.services->sounds, QStringList{run.folder.file(ProgramFiles::DeleteSound)});
    QVERIFY(!nodeByText(w, selected));
    QCOMPARE(tree->selectedNode(), tree->root());
}

void ListsTest::runStartsTheEntryOrSaysWhy_data()
{
    QTest::addColumn<ChildWindow>("which"); // the case names the trigger; the others are the Run label's
    QTest::addColumn<Start>("start");
    const QString path = QStringLiteral("  /opt/my tools/run it  ");
    // A path goes to the shell as stored, in its own folder; a command line is trimmed and split as a
    // shell splits it; a document goes to the application as one argument, exactly as stored.
    const auto launched = [=](const Kind& k) {
        return k.traits().launch == LaunchKind::Shell         ? QStringList{path + " in /opt/my tools/"}
               : k.traits().launch == LaunchKind::CommandLine ? QStringList{"/opt/my | tools/run | it"}
                                                              : QStringList{"xdg-open | " + path};
    };
    const auto Started = LaunchResult::Outcome::Started;
    const QList<std::tuple<const char*, LaunchResult::Outcome, QString>> rows = {
            {"double click", Started, Resting},
            {"Enter", Started, Resting},
            {"Run", Started, Resting},
            {"Run double-clicked", Started, Resting},
            {"on the root", Started, "before"},
            {"not found", LaunchResult::Outcome::NotFound, ""},
            {"cannot be opened", LaunchResult::Outcome::NotRunnable, NotRunnable}};
    for (const auto& [tag, failure, message] : rows) {
        forEachWindow(tag, [&](QTestData& row, const Kind& k) {
            row << Start{"xdg-open", path, failure, message.isEmpty() ? k.traits().notFoundText : message,
                         message == "before" ? QStringList() : launched(k)};
        });
    }
    // Without an application nothing starts: the document is never run as the program.
    const QList<std::pair<const char*, Start>> documents = {
            {"quoted application",
             {"'/opt/my apps/run'", " two  blanks ", Started, Resting, {"/opt/my apps/run |  two  blanks "}}},
            {"application an open quote", {"'/usr/bin/editor", "/etc/hostname", Started, NotRunnable, {}}},
            {"no application, no document", {"", "/no/such/letter.txt", Started, "Check Application Path", {}}},
    };
    for (const auto& [tag, start] : documents)
        QTest::newRow(qPrintable(QStringLiteral("documents: %1").arg(tag))) << ChildWindow::Documents << start;
}

void ListsTest::runStartsTheEntryOrSaysWhy()
{
    QFETCH(ChildWindow, which);
    QFETCH(Start, start);
    const auto& [application, path, failure, message, launches] = start;
    ListRun run(which);
    run.insertRow(QStringLiteral("Tool"), path);
    run.execute(QStringLiteral("update documents set path = ? where document = ?"),
                {application, Catalog::DocumentsApplicationRow});
    run.services->outcome = failure;
    CategoryWindow* w = run.open();
    const QString trigger = QString::fromLatin1(QTest::currentDataTag()).section(QStringLiteral(": "), 1);
    Node* node = trigger == QLatin1String("on the root") ? treeOf(w)->root() : nodeByText(w, QStringLiteral("Tool"));
    clickNode(w, node);
    run.mainWindow->setMessage(QStringLiteral("before"));
    if (trigger == QLatin1String("double click"))
        doubleClickNode(w, node);
    else if (trigger == QLatin1String("Enter"))
        QTest::keyClick(treeOf(w), Qt::Key_Return);
    else if (trigger == QLatin1String("Run double-clicked"))
        doubleClick(part(w, "runLabel")); // one start, as a click
    else
        QTest::mouseClick(part(w, "runLabel"), Qt::LeftButton);
    QCOMPARE(run.message(), message);
    QCOMPARE(run.services->launches(), launches);
}

void ListsTest::browseAndDropFillTheirBox_data()
{
    QTest::addColumn<ChildWindow>("which");
    QTest::addColumn<Fill>("fill");
    const QList<std::tuple<const char*, int, const char*, const char*>> rows = {
            {"path: file chosen", 1, "chosen", "/opt/chosen tool"},
            {"path: dialog cancelled", 1, "cancelled", "typed"},
            {"path: three files dropped", 1, "files", "/tmp/a b"},
            {"application: three files dropped", 3, "files", "/tmp/a b"},
            {"path: text dropped", 1, "text", ""},
            {"name: files dropped", 0, "files", "typed"},
            {"description: text dropped", 2, "text", "typed"},
            {"application: file chosen", 3, "chosen", "/opt/chosen tool"},
            {"application: dialog cancelled", 3, "cancelled", "typed"}};
    for (const Kind& k : Kinds) {
        for (const auto& [tag, box, how, expected] : rows) {
            if ((box == 2 && !EntryStore(k.traits().table).hasDescription()) || (box == 3 && k.which != ChildWindow::Documents))
                continue;
            // A command line (the Windows programs' path, the documents' application) gets a file quoted where it
            // would split; the other paths take it as it stands. Only the path boxes take drops.
            const bool quoted = (box == 3 || (box == 1 && k.which == ChildWindow::Windows)) && *expected == '/';
            QTest::newRow(qPrintable(QStringLiteral("%1: %2").arg(k.tag, tag)))
                    << k.which << Fill{box, how, quoted ? QStringLiteral("'%1'").arg(expected) : QString(expected)};
        }
    }
}

void ListsTest::browseAndDropFillTheirBox()
{
    QFETCH(ChildWindow, which);
    QFETCH(Fill, fill);
    const auto& [box, how, expected] = fill;
    ListRun run(which);
    CategoryWindow* w = run.open();
    auto* documents = qobject_cast<DocumentsWindow*>(w);
    TextBox* target = box == 3 ? part<TextBox>(documents, "applicationEdit") : field(w, box);
    clickButton(w, box == 3 ? 6 : 3);
    type(target, QStringLiteral("typed"));
    QMimeData data;
    if (how == QLatin1String("files"))
        data.setUrls({QUrl::fromLocalFile("/tmp/a b"), QUrl::fromLocalFile("/tmp/b"), QUrl::fromLocalFile("/tmp/c")});
    else
        data.setText(QStringLiteral("/tmp/just text"));
    if (how == QLatin1String("chosen") || how == QLatin1String("cancelled")) {
        run.services->nextFileNames << (how == QLatin1String("chosen") ? "/opt/chosen tool" : "");
        QTest::mouseClick(box == 3 ? part<QPushButton>(documents, "applicationBrowseButton") : part<QPushButton>(w, "browseButton"), Qt::LeftButton);
        // Documents are browsed for among texts; every program among executables.
        QCOMPARE(run.services->dialogRequests.value(0).filter,
                 which == ChildWindow::Documents && box == 1
                         ? QStringLiteral("Text Files *.doc,*.txt|*.doc;*.txt|All Files|*.*")
                         : QStringLiteral("Executable Files|*.exe|All Files|*.*"));
    } else {
        dropOn(target, data);
    }
    QCOMPARE(target->text(), expected);
}

void ListsTest::documentsApplicationIsSet_data()
{
    QTest::addColumn<Setting>("setting");
    QTest::newRow("Ctrl+P again, trimmed") << Setting{false, "  /usr/bin/mousepad  ", "Ctrl+P", "/usr/bin/mousepad"};
    QTest::newRow("SET, the box empty") << Setting{false, "", "SET", ""};
    QTest::newRow("Cancel keeps the stored one") << Setting{false, "/usr/bin/never", "Cancel", "xdg-open"};
    QTest::newRow("SET makes a missing row") << Setting{true, "/usr/bin/mousepad", "SET", "/usr/bin/mousepad"};
}

void ListsTest::documentsApplicationIsSet()
{
    QFETCH(Setting, setting);
    const auto& [rowMissing, typed, store, stored] = setting;
    ListRun run(ChildWindow::Documents);
    if (rowMissing)
        run.execute(QStringLiteral("delete from documents"));
    run.insertRow(QStringLiteral("Letter"), QStringLiteral("/home/bob/letter.txt"));
    auto* w = static_cast<DocumentsWindow*>(run.open());
    // Ctrl+P opens the frame on the stored application; without a row the box is empty.
    QTest::keyClick(run.mainWindow, Qt::Key_P, Qt::ControlModifier);
    QCOMPARE(stateOf(w), QStringLiteral("application set"));
    QCOMPARE(part<TextBox>(w, "applicationEdit")->text(), rowMissing ? QString() : QStringLiteral("xdg-open"));
    type(part<TextBox>(w, "applicationEdit"), typed);
    store == QLatin1String("SET")      ? QTest::mouseClick(part(w, "setLabel"), Qt::LeftButton)
    : store == QLatin1String("Cancel") ? clickButton(w, 2)
                                       : QTest::keyClick(run.mainWindow, Qt::Key_P, Qt::ControlModifier);
    QCOMPARE(stateOf(w), QStringLiteral("tree new set"));
    QVERIFY(run.rows(Catalog::Documents).contains(Catalog::DocumentsApplicationRow + QLatin1Char('|') + stored));
    QCOMPARE(w->applicationPath(), stored);
    // Cancelled, the box keeps what was typed until the frame opens again, on what is stored.
    if (store == QLatin1String("Cancel"))
        QCOMPARE(part<TextBox>(w, "applicationEdit")->text(), typed);
    clickButton(w, 6);
    QCOMPARE(part<TextBox>(w, "applicationEdit")->text(), stored);
}

// The menu bar, the Others keys, Help, the Windows menu, a closed window coming back, idle memory given back.
void ListsTest::menusFollowTheActiveWindow()
{
    WindowRun run;
    run.execute(QStringLiteral("drop table games"));
    run.execute(
            QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n where i < 2000) "
                           "insert into softwares (software, path) select printf('Tool %04d', i), '/bin/t' from n"));
    const QList<QAction*> own = run.mainWindow->menuBar()->actions();
    QTest::keyClick(run.mainWindow, Qt::Key_T, Qt::ControlModifier);
    // The main window's Ctrl+T is not in the menu bar now, so it does nothing.
    QTest::keyClick(run.mainWindow, Qt::Key_T, Qt::ControlModifier);
    QVERIFY(!run.mainWindow->findChild<ListWindow*>(Catalog::Games));
    // A list read starts the idle wait; at its end the decrypted pages are given back, read again at the next load.
    const qint64 cached = run.session->database().cachedBytes();
    QVERIFY(run.session->idleMemoryTimer().isActive() && cached > 100000);
    run.session->releaseIdleMemory();
    QVERIFY2(run.session->database().cachedBytes() < cached / 10, qPrintable(QString::number(cached)));
    QList<ListWindow*> shown = {&run.session->childWindow(ChildWindow::Softwares)};
    for (const auto& [key, title] : {std::pair{Qt::Key_G, "Games"}, std::pair{Qt::Key_W, "Windows Softwares"},
                                     std::pair{Qt::Key_D, "Documents"}}) {
        QTest::keyClick(run.mainWindow, key, Qt::ControlModifier);
        if (key == Qt::Key_G) // a list that cannot be read says so
            QCOMPARE(run.message(), ListWindow::ListUnreadable);
        shown << qobject_cast<ListWindow*>(part<QMdiArea>(run.mainWindow, "mdiArea")->activeSubWindow());
        QCOMPARE(shown.last() ? shown.last()->windowTitle() : QString(), QString(title));
    }
    QCOMPARE(treeOf(shown[1])->childCount(), 0);
    for (ListWindow* w : shown) {
        w->showChild();
        QCOMPARE(run.mainWindow->shownMenus(), w->menus());
        clickButton(w, int(part<QToolBar>(w, "toolBar")->actions().size()));
    }
    QTest::keyClick(run.mainWindow, Qt::Key_F1);
    QStringList help;
    for (const auto& request : run.services->helpRequests)
        help << QStringLiteral("%1 %2").arg(request.owner == run.mainWindow).arg(request.topic ? *request.topic : 0);
    QCOMPARE(help, (QStringList{"1 3", "1 2", "1 4", "1 5", "1 0"})); // at the topic; the contents

    // The Windows menu lists the open windows, the active one checked, and shows the one chosen.
    QMenu* windows = part<QMenu>(shown.last(), "windowsMenu");
    QMetaObject::invokeMethod(windows, "aboutToShow");
    QStringList items;
    for (QAction* item : windows->actions())
        items << item->text() + (item->isChecked() ? QStringLiteral(" *") : QString());
    QCOMPARE(items,
             (QStringList{"&Cascade", "", "&1 Softwares", "&2 Games", "&3 Windows Softwares", "&4 Documents *"}));
    windows->actions().at(2)->trigger();
    QCOMPARE(part<QMdiArea>(run.mainWindow, "mdiArea")->activeSubWindow(), shown.first());
    // Cascade puts them one above the other, across the whole width.
    QTest::keyClick(run.mainWindow, Qt::Key_A, Qt::ControlModifier);
    const QRect a = shown.first()->geometry(), b = shown.last()->geometry();
    QVERIFY(a.width() == part<QMdiArea>(run.mainWindow, "mdiArea")->viewport()->width() && b.width() == a.width() && !a.intersects(b));
    // Shown again a window only comes forward; closed by its close box or by Exit, it comes back fresh.
    for (const Kind& k : Kinds) {
        QPointer<CategoryWindow> w = static_cast<CategoryWindow*>(run.show(k.which));
        QTest::keyClick(run.mainWindow, Qt::Key_N, Qt::ControlModifier);
        QTest::keyClicks(field(w, 0), QStringLiteral("half typed"));
        QVERIFY(run.show(k.which) == w.data() && !part<QGroupBox>(w, "detailsFrame")->isHidden());
        k.which == ChildWindow::Games || k.which == ChildWindow::Documents
                ? QTest::keyClick(run.mainWindow, Qt::Key_F4, Qt::ControlModifier)
                : void(w->close());
        QTRY_VERIFY(!w);
        auto* again = static_cast<CategoryWindow*>(run.show(k.which));
        QVERIFY(part<QGroupBox>(again, "detailsFrame")->isHidden() && field(again, 0)->text().isEmpty());
    }
    QCOMPARE(treeOf(&run.session->childWindow(ChildWindow::Softwares))->childCount(), 2000);
    // Always on Top and Minimize act on the main window.
    QTest::keyClick(run.mainWindow, Qt::Key_O, Qt::ControlModifier);
    QVERIFY(run.session->isOnTop());
    QCOMPARE(part<QLabel>(run.mainWindow, "onTopPanel")->text(), QStringLiteral("A"));
    QTest::keyClick(run.mainWindow, Qt::Key_Y, Qt::ControlModifier);
    QVERIFY(!run.mainWindow->isVisible());
    part<QMdiArea>(run.mainWindow, "mdiArea")->closeAllSubWindows();
    QTRY_COMPARE(run.mainWindow->menuBar()->actions(), own);
}

QTEST_MAIN(ListsTest)
#include "tst_lists.moc"
