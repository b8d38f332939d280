// The softwares, games, Windows programs and documents windows used as a person uses them.
#include "windowdriver.h"

using namespace trovix;
using namespace trovix::shown;

// The window, the element (empty: the window's caption, root node, heading and Run label), the text it shows.
using Reading = std::tuple<ChildWindow, QString, QString>;
// New or Modify of "Alpha", name, path; Save's message, focus after a refusal, row stored (neither: Cancel).
using Edit = std::tuple<bool, QString, QString, QString, int, QString>;
// A gesture that moves the highlight, and the entry it highlights (empty: the root).
using Gesture = std::pair<QString, QString>;
// A start: the application and path stored, the failure the start meets, the message, the starts asked for.
using Start = std::tuple<QString, QString, LaunchResult::Outcome, QString, QStringList>;
// The documents' application: its row deleted outside, the text typed, how it is stored, what is stored.
using Setting = std::tuple<bool, QString, QString, QString>;
// A box (0 name, 1 path, 2 description, 3 the documents' application), how it is filled, what it holds then.
using Fill = std::tuple<int, QString, QString>;

namespace {

const QString Taken = "This name already stored";

// A test row for each window, named "window: case".
template<typename Add>
void forEachWindow(const QString& what, Add add)
{
    for (const Kind& k : Kinds)
        add(QTest::newRow(qPrintable(QStringLiteral("%1: %2").arg(k.tag, what))) << k.which, k);
}

// Types the text; a line break in it is a press of Enter.
void type(TextBox* box, const QString& text)
{
    box->clear();
    for (const QChar c : text)
        c == u'\n' ? QTest::keyClick(box, Qt::Key_Return) : QTest::keyClick(box, c.toLatin1());
}

// One run with one category window to open.
struct ListRun : WindowRun
{
    explicit ListRun(ChildWindow which)
        : which(which)
    {}

    QStringList entries() const { return rows(traits.kind->table).mid(delivered); }
    CategoryWindow* open() { return static_cast<CategoryWindow*>(show(which)); }

    ChildWindow which;
    const CategoryTraits& traits = kindOf(which).traits();
    int delivered = int(rows(traits.kind->table).size());
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
            {2 * editorOpen(w), "frame"},
            {documents ? 2 * !part<QGroupBox>(documents, "applicationFrame")->isHidden() : 0, "application"},
            {command(part<QAction>(w, "saveAction"), 1), "save"},
            {command(part<QAction>(w, "newAction"), 3), "new"},
            {command(part<QAction>(w, "modifyAction"), 4), "modify"},
            {command(part<QAction>(w, "deleteAction"), 5), "delete"},
            {documents ? command(part<QAction>(documents, "setApplicationAction"), 6) : 0, "set"}};
    QStringList on;
    for (const auto& [count, word] : parts)
        if (count)
            on << (count == 2 ? QString(word) : word + QStringLiteral(" (menu and button differ)"));
    return on.join(' ');
}

// What a user reads on the element: a menu's title, items and keys; a toolbar's captions; a frame's title
// and the captions in it; with no element, the window's caption, root node, heading and Run label.
QString shownText(CategoryWindow* w, const QString& name)
{
    if (name.isEmpty())
        return QStringList{w->windowTitle(), treeOf(w)->root()->text(), part<QLabel>(w, "headingLabel")->text(),
                           part<QLabel>(w, "runLabel")->text()}
                .join(" / ");
    auto* element = w->findChild<QWidget*>(name);
    QStringList parts;
    for (QAction* item : element->actions())
        parts << (item->isSeparator() ? "-" : (item->text() + ' ' + item->shortcut().toString()).trimmed());
    for (QWidget* inside : element->findChildren<QWidget*>())
        if (qobject_cast<QLabel*>(inside) || qobject_cast<QPushButton*>(inside))
            parts << inside->property("text").toString();
    const QString title = element->property("title").toString(); // of a menu or a frame
    return (title.isEmpty() ? QString() : title + QStringLiteral(": ")) + parts.join(", ");
}

} // namespace

class ListsTest : public QObject
{
    Q_OBJECT

private slots:
    void whatTheUserReads_data()
    {
        const auto S = ChildWindow::Softwares, G = ChildWindow::Games, W = ChildWindow::Windows,
                   D = ChildWindow::Documents;
        QTest::addColumn<Reading>("row");
        for (const Reading& row : QList<Reading>{
                     {S, "", "Softwares / SOFTWARES / Softwares / Run"},
                     {G, "", "Games / GAMES / Games / Run"},
                     {W, "", "Windows Softwares / WINDOWS SOFTWARES / Windows Softwares / Run"},
                     {D, "", "Documents / DOCUMENTS / Documents / Run"},
                     {S, "fileMenu",
                      "&File: &Save Ctrl+S, &Cancel Ctrl+Z, -, &Always on Top Ctrl+O, &Minimize Ctrl+Y, -, &Exit "
                      "Ctrl+F4"},
                     {S, "editMenu", "&Edit: &New Ctrl+N, &Modify Ctrl+M, &Delete Ctrl+Q"},
                     {D, "editMenu",
                      "&Edit: &New Ctrl+N, &Modify Ctrl+M, &Delete Ctrl+Q, -, &Set Application Path Ctrl+P"},
                     {S, "othersMenu",
                      "&Others: &Games Ctrl+G, &Windows Softwares Ctrl+W, &Documents Ctrl+D, &Reminders Ctrl+R"},
                     {G, "othersMenu",
                      "&Others: &Softwares Ctrl+T, &Windows Softwares Ctrl+W, &Documents Ctrl+D, &Reminders Ctrl+R"},
                     {W, "othersMenu",
                      "&Others: &Games Ctrl+G, &Softwares Ctrl+T, &Documents Ctrl+D, &Reminder Ctrl+R"},
                     {D, "othersMenu",
                      "&Others: &Games Ctrl+G, &Softwares Ctrl+T, &Windows Softwares Ctrl+W, &Reminders Ctrl+R"},
                     {S, "windowsMenu", "&Windows: &Cascade Ctrl+A"},
                     {S, "helpMenu", "&Help: &Contents F1, &Tip of the Day F2, -, &Version F3"},
                     {S, "toolBar", "Save, Cancel, New, Modify, Delete, Help"},
                     {D, "toolBar", "Save, Cancel, New, Modify, Delete, Set Ap, Help"},
                     {S, "detailsFrame", "Information: Name, Path, Description, Browse"},
                     {G, "detailsFrame", "Information: Name, Path, Browse"},
                     {D, "applicationFrame", "Set Application Path: Path, Browse, SET"},
             })
            QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(kindOf(std::get<0>(row)).tag, std::get<1>(row))))
                    << row;
    }

    void whatTheUserReads()
    {
        const auto [which, element, text] = fetchRow<Reading>();
        ListRun run(which);
        QCOMPARE(shownText(run.open(), element), text);
    }

    void editingStoresOrSaysWhy_data()
    {
        QTest::addColumn<ChildWindow>("which");
        QTest::addColumn<Edit>("row");
        for (const auto& [tag, edit] : QList<std::pair<const char*, Edit>>{
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
             })
            forEachWindow(tag, [&](QTestData& row, const Kind&) { row << edit; });
    }

    // Each step shows in the commands on and where the keys go: an open frame's name box, else the list.
    void editingStoresOrSaysWhy()
    {
        QFETCH(ChildWindow, which);
        const auto [modify, typed, path, message, focus, stored] = fetchRow<Edit>();
        ListRun run(which);
        const QString name = QString(typed).replace("%root", run.traits.window.rootWord);
        for (const QString& entry :
             QStringList{"Existing", "Alpha", "zebra", run.traits.window.rootWord, "  Twin ", "Twin", " "})
            run.addEntry(run.traits.kind->table, entry, "/bin/" + entry.trimmed().toLower());
        CategoryWindow* w = run.open();
        TreeView* tree = treeOf(w);
        // By name; never the root word's row (the documents' application), a blank name, a name twice.
        QCOMPARE(childTexts(w), (QStringList{"Twin", "Alpha", "Existing", "zebra"}));
        QVERIFY(tree->isExpanded(tree->root()) && tree->selectedNode() == tree->root());
        const QStringList before = run.entries();
        // The documents' application can be set whenever no entry is being edited.
        const QString browsing = which == ChildWindow::Documents ? "tree new set" : "tree new";
        QCOMPARE(stateOf(w), browsing);
        clickNode(w, nodeByText(w, "Alpha"));
        QCOMPARE(stateOf(w), QString(browsing).replace("new", "new modify delete"));
        clickButton(w, modify ? 4 : 3);
        QCOMPARE(stateOf(w), "frame save");
        QVERIFY(field(w, 0)->hasFocus());
        QCOMPARE(field(w, 1)->text(), modify ? "/bin/alpha" : QString());
        type(field(w, 0), name);
        type(field(w, 1), path);
        part<QPushButton>(w, "browseButton")->setFocus(); // so that a check that moves the focus is seen moving it
        clickButton(w, focus < 0 && stored.isEmpty() ? 2 : 1);

        QCOMPARE(run.message(), message);
        const QStringList after = run.entries();
        if (focus >= 0) {
            QCOMPARE(after, before);
            QCOMPARE(stateOf(w), "frame save");
            QCOMPARE(field(w, 0)->text() + '|' + field(w, 1)->text(), name + '|' + path); // what was typed stays
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
                 qPrintable(after.join(' ')));
    }

    void modifyingAnEntryAnotherProgramRemoved_data()
    {
        QTest::addColumn<ChildWindow>("which");
        forEachWindow("modified after its row was deleted", [](QTestData&, const Kind&) {});
    }

    // The row goes while its entry is being changed: Save says so, keeps what was typed, stores nothing.
    void modifyingAnEntryAnotherProgramRemoved()
    {
        QFETCH(ChildWindow, which);
        ListRun run(which);
        run.addEntry(run.traits.kind->table, "Alpha", "/bin/alpha");
        CategoryWindow* w = run.open();
        clickNode(w, nodeByText(w, "Alpha"));
        clickButton(w, 4);
        type(field(w, 0), "Beta");
        run.execute(QStringLiteral("delete from %1 where rowid = %2")
                            .arg(run.traits.kind->table)
                            .arg(nodeByText(w, "Alpha")->id()));
        clickButton(w, 1);
        QCOMPARE(run.message(), ListWindow::StoreRefused);
        QCOMPARE(run.entries(), QStringList());
        QCOMPARE(stateOf(w), "frame save");
        QCOMPARE(field(w, 0)->text(), "Beta");
    }

    void selectionGesturesMoveTheCurrentEntry_data()
    {
        QTest::addColumn<ChildWindow>("which");
        QTest::addColumn<Gesture>("row");
        for (const Gesture& gesture : QList<Gesture>{
                     {"click", "Beta"},
                     {"drag from Gamma up to Beta", "Beta"},
                     {"drag from Beta up to the root", ""},
                     {"Down", "Beta"},
                     {"End", "Gamma"},
                     {"PgDown", "Gamma"},
                     {"Home", ""},
                     {"type b", "Beta"},
                     {"Ctrl+click Alpha", "Alpha"},
                     {"program selects Beta", "Beta"},
                     {"right press on Gamma", "Gamma"},
                     {"right press below the rows", "Alpha"},
             }) {
            forEachWindow(gesture.first, [&](QTestData& row, const Kind&) { row << gesture; });
            QTest::newRow(qPrintable("reminders: " + gesture.first)) << ChildWindow::Reminders << gesture;
        }
    }

    // Whatever moves the tree's highlight, the entry shown and the row that Modify, Save, Delete and Run act
    // on are the highlighted one's, in every list window.
    void selectionGesturesMoveTheCurrentEntry()
    {
        QFETCH(ChildWindow, which);
        const auto [gesture, selected] = fetchRow<Gesture>();
        const bool reminders = which == ChildWindow::Reminders;
        WindowRun run;
        const QString table = tableOf(which);
        const QStringList names = {"Alpha", "Beta", "Gamma"};
        // Reminders are listed latest first: the later the name, the earlier the time.
        for (int i = 0; i < 3; ++i)
            reminders ? run.addReminder(names[i], QStringLiteral("2030-01-0%1 10:00:00").arg(3 - i))
                      : run.addEntry(table, names[i], "/opt/" + names[i]);
        if (which == ChildWindow::Softwares)
            run.execute("update softwares set description = ''");
        if (reminders)
            run.addReminder("REMINDERS", "2030-01-05 10:00:00");
        const QStringList stored = run.rows(table);
        ListWindow* w = run.show(which);
        QCOMPARE(childTexts(w), names); // in the list's order, never the root's own word
        TreeView* tree = treeOf(w);
        const auto at = [&](const QString& name) { return tree->nodeRect(nodeByText(w, name)).center(); };
        const bool rightPress = gesture.startsWith("right");
        const auto act = [&] {
            clickNode(w, nodeByText(w, "Alpha"));
            QWidget* view = tree->viewport();
            if (gesture == "click") {
                clickNode(w, nodeByText(w, "Beta"));
            } else if (gesture.startsWith("drag")) {
                const QPoint from = at(gesture.section(' ', 2, 2)),
                             to = at(gesture.endsWith("root") ? tree->root()->text() : gesture.section(' ', -1));
                QTest::mousePress(view, Qt::LeftButton, {}, from);
                QTest::mouseMove(view, (from + to) / 2);
                QTest::mouseMove(view, to);
                QTest::mouseRelease(view, Qt::LeftButton, {}, to);
            } else if (gesture.startsWith("Ctrl+click")) {
                QTest::mouseClick(view, Qt::LeftButton, Qt::ControlModifier, at("Alpha"));
            } else if (gesture.startsWith("program")) {
                tree->selectNode(nodeByText(w, "Beta"));
            } else if (rightPress) {
                const QPoint where =
                        gesture.contains("Gamma") ? at("Gamma") : QPoint(at("Gamma").x(), view->height() - 2);
                QTest::mousePress(view, Qt::RightButton, {}, where);
                QTest::mouseRelease(view, Qt::RightButton, {}, where);
                QTRY_VERIFY(part<QMenu>(w, "editMenu")->isVisible());
            } else {
                QTest::keyClick(tree, QKeySequence(gesture.section(' ', -1))[0].key());
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
        QVERIFY(part<QAction>(w, "modifyAction")->isEnabled() == entry
                && part<QAction>(w, "deleteAction")->isEnabled() == entry);
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
        QCOMPARE(reminders ? part<TextBox>(w, "messageDisplay")->text() : part<QLabel>(w, "headingLabel")->text(),
                 selected);
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

    void runStartsTheEntryOrSaysWhy_data()
    {
        QTest::addColumn<ChildWindow>("which"); // the case names the trigger; the others are the Run label's
        QTest::addColumn<Start>("row");
        const QString path = "  /opt/my tools/run it  ";
        // A path goes to the shell as stored, in its own folder; a command line is trimmed and split as a
        // shell splits it; a document goes to the application as one argument, exactly as stored.
        const auto launched = [=](const Kind& k) {
            return k.traits().kind->launch == LaunchKind::Shell         ? QStringList{path + " in /opt/my tools/"}
                   : k.traits().kind->launch == LaunchKind::CommandLine ? QStringList{"/opt/my | tools/run | it"}
                                                                        : QStringList{"xdg-open | " + path};
        };
        const auto Started = LaunchResult::Outcome::Started;
        for (const auto& [tag, failure, message] : QList<std::tuple<const char*, LaunchResult::Outcome, QString>>{
                     {"double click", Started, Resting},
                     {"Enter", Started, Resting},
                     {"Run", Started, Resting},
                     {"Run double-clicked", Started, Resting},
                     {"on the root", Started, "before"},
                     {"not found", LaunchResult::Outcome::NotFound, ""},
                     {"cannot be opened", LaunchResult::Outcome::NotRunnable, NotRunnable}})
            forEachWindow(tag, [&](QTestData& row, const Kind& k) {
                row << Start{"xdg-open", path, failure, message.isEmpty() ? k.traits().kind->notFoundText : message,
                             message == "before" ? QStringList() : launched(k)};
            });
        // Without an application nothing starts: the document is never run as the program.
        for (const auto& [tag, start] : QList<std::pair<const char*, Start>>{
                     {"quoted application",
                      {"'/opt/my apps/run'", " two  blanks ", Started, Resting, {"/opt/my apps/run |  two  blanks "}}},
                     {"application an open quote", {"'/usr/bin/editor", "/etc/hostname", Started, NotRunnable, {}}},
                     {"no application, no document",
                      {"", "/no/such/letter.txt", Started, "Check Application Path", {}}},
             })
            QTest::newRow(qPrintable(QStringLiteral("documents: %1").arg(tag))) << ChildWindow::Documents << start;
    }

    void runStartsTheEntryOrSaysWhy()
    {
        QFETCH(ChildWindow, which);
        const auto [application, path, failure, message, launches] = fetchRow<Start>();
        ListRun run(which);
        run.addEntry(run.traits.kind->table, "Tool", path);
        run.execute("update documents set path = ? where document = ?",
                    {application, Catalog::DocumentsApplicationRow});
        run.services->outcome = failure;
        CategoryWindow* w = run.open();
        const QString trigger = QString::fromLatin1(QTest::currentDataTag()).section(": ", 1);
        Node* node = trigger == "on the root" ? treeOf(w)->root() : nodeByText(w, "Tool");
        clickNode(w, node);
        run.mainWindow->setMessage("before");
        if (trigger == "double click")
            doubleClickNode(w, node);
        else if (trigger == "Enter")
            QTest::keyClick(treeOf(w), Qt::Key_Return);
        else if (trigger == "Run double-clicked")
            doubleClick(part(w, "runLabel")); // one start, as a click
        else
            QTest::mouseClick(part(w, "runLabel"), Qt::LeftButton);
        QCOMPARE(run.message(), message);
        QCOMPARE(run.services->launches(), launches);
    }

    void browseAndDropFillTheirBox_data()
    {
        QTest::addColumn<ChildWindow>("which");
        QTest::addColumn<Fill>("row");
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
        for (const Kind& k : Kinds)
            for (const auto& [tag, box, how, expected] : rows) {
                if ((box == 2 && !hasDescription(k.which)) || (box == 3 && k.which != ChildWindow::Documents))
                    continue;
                // A command line (the Windows programs' path, the documents' application) gets a file quoted where it
                // would split; the other paths take it as it stands. Only the path boxes take drops.
                const bool quoted = (box == 3 || (box == 1 && k.which == ChildWindow::Windows)) && *expected == '/';
                QTest::newRow(qPrintable(QStringLiteral("%1: %2").arg(k.tag, tag)))
                        << k.which << Fill{box, how, quoted ? QStringLiteral("'%1'").arg(expected) : QString(expected)};
            }
    }

    void browseAndDropFillTheirBox()
    {
        QFETCH(ChildWindow, which);
        const auto [box, how, expected] = fetchRow<Fill>();
        ListRun run(which);
        CategoryWindow* w = run.open();
        TextBox* target = box == 3 ? part<TextBox>(w, "applicationEdit") : field(w, box);
        clickButton(w, box == 3 ? 6 : 3);
        type(target, "typed");
        QMimeData data;
        if (how == "files")
            data.setUrls(
                    {QUrl::fromLocalFile("/tmp/a b"), QUrl::fromLocalFile("/tmp/b"), QUrl::fromLocalFile("/tmp/c")});
        else
            data.setText("/tmp/just text");
        if (how == "chosen" || how == "cancelled") {
            run.services->nextFileNames << (how == "chosen" ? "/opt/chosen tool" : "");
            QTest::mouseClick(part(w, box == 3 ? "applicationBrowseButton" : "browseButton"), Qt::LeftButton);
            // Documents are browsed for among texts; every program among executables.
            QCOMPARE(run.services->dialogFilters.value(0), which == ChildWindow::Documents && box == 1
                                                                   ? "Text Files *.doc,*.txt|*.doc;*.txt|All Files|*.*"
                                                                   : "Executable Files|*.exe|All Files|*.*");
        } else {
            dropOn(target, data);
        }
        QCOMPARE(target->text(), expected);
    }

    void documentsApplicationIsSet_data()
    {
        addRows<Setting>({{"Ctrl+P again, trimmed", {false, "  /usr/bin/mousepad  ", "Ctrl+P", "/usr/bin/mousepad"}},
                          {"SET, the box empty", {false, "", "SET", ""}},
                          {"Cancel keeps the stored one", {false, "/usr/bin/never", "Cancel", "xdg-open"}},
                          {"SET makes a missing row", {true, "/usr/bin/mousepad", "SET", "/usr/bin/mousepad"}}});
    }

    void documentsApplicationIsSet()
    {
        const auto [rowMissing, typed, store, stored] = fetchRow<Setting>();
        ListRun run(ChildWindow::Documents);
        if (rowMissing)
            run.execute("delete from documents");
        run.addEntry(run.traits.kind->table, "Letter", "/home/bob/letter.txt");
        auto* w = static_cast<DocumentsWindow*>(run.open());
        // Ctrl+P opens the frame on the stored application; without a row the box is empty.
        QTest::keyClick(run.mainWindow, Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(stateOf(w), "application set");
        QCOMPARE(part<TextBox>(w, "applicationEdit")->text(), rowMissing ? QString() : "xdg-open");
        type(part<TextBox>(w, "applicationEdit"), typed);
        store == "SET"      ? QTest::mouseClick(part(w, "setLabel"), Qt::LeftButton)
        : store == "Cancel" ? clickButton(w, 2)
                            : QTest::keyClick(run.mainWindow, Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(stateOf(w), "tree new set");
        QVERIFY(run.rows(Catalog::Documents).contains(Catalog::DocumentsApplicationRow + '|' + stored));
        QCOMPARE(w->applicationPath(), stored);
        // Cancelled, the box keeps what was typed until the frame opens again, on what is stored.
        if (store == "Cancel")
            QCOMPARE(part<TextBox>(w, "applicationEdit")->text(), typed);
        clickButton(w, 6);
        QCOMPARE(part<TextBox>(w, "applicationEdit")->text(), stored);
    }

    // The menu bar, the Others keys, Help, the Windows menu, a closed window coming back, idle memory given back.
    void menusFollowTheActiveWindow()
    {
        WindowRun run;
        run.execute("drop table games");
        run.execute("with recursive n(i) as (select 1 union all select i + 1 from n where i < 2000) "
                    "insert into softwares (software, path) select printf('Tool %04d', i), '/bin/t' from n");
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
            shown << qobject_cast<ListWindow*>(run.activeWindow());
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
            help << QStringLiteral("%1 %2").arg(request.owner == run.mainWindow).arg(request.topic.value_or(0));
        QCOMPARE(help, (QStringList{"1 3", "1 2", "1 4", "1 5", "1 0"})); // at the topic; the contents

        // The Windows menu lists the open windows, the active one checked, and shows the one chosen.
        QMenu* windows = part<QMenu>(shown.last(), "windowsMenu");
        QMetaObject::invokeMethod(windows, "aboutToShow");
        QStringList items;
        for (QAction* item : windows->actions())
            items << item->text() + (item->isChecked() ? " *" : QString());
        QCOMPARE(items,
                 (QStringList{"&Cascade", "", "&1 Softwares", "&2 Games", "&3 Windows Softwares", "&4 Documents *"}));
        windows->actions().at(2)->trigger();
        QCOMPARE(run.activeWindow(), shown.first());
        // Cascade puts them one above the other, across the whole width.
        QTest::keyClick(run.mainWindow, Qt::Key_A, Qt::ControlModifier);
        const QRect a = shown.first()->geometry(), b = shown.last()->geometry();
        QVERIFY(a.width() == part<QMdiArea>(run.mainWindow, "mdiArea")->viewport()->width() && b.width() == a.width()
                && !a.intersects(b));
        // Shown again a window only comes forward; closed by its close box or by Exit, it comes back fresh.
        for (const Kind& k : Kinds) {
            QPointer<CategoryWindow> w = static_cast<CategoryWindow*>(run.show(k.which));
            QTest::keyClick(run.mainWindow, Qt::Key_N, Qt::ControlModifier);
            QTest::keyClicks(field(w, 0), "half typed");
            QVERIFY(run.show(k.which) == w.data() && editorOpen(w));
            k.which == ChildWindow::Games || k.which == ChildWindow::Documents
                    ? QTest::keyClick(run.mainWindow, Qt::Key_F4, Qt::ControlModifier)
                    : void(w->close());
            QTRY_VERIFY(!w);
            auto* again = static_cast<CategoryWindow*>(run.show(k.which));
            QVERIFY(!editorOpen(again) && field(again, 0)->text().isEmpty());
        }
        QCOMPARE(treeOf(&run.session->childWindow(ChildWindow::Softwares))->childCount(), 2000);
        // Always on Top and Minimize act on the main window.
        QTest::keyClick(run.mainWindow, Qt::Key_O, Qt::ControlModifier);
        QVERIFY(run.session->isOnTop());
        QCOMPARE(part<QLabel>(run.mainWindow, "onTopPanel")->text(), "A");
        QTest::keyClick(run.mainWindow, Qt::Key_Y, Qt::ControlModifier);
        QVERIFY(!run.mainWindow->isVisible());
        part<QMdiArea>(run.mainWindow, "mdiArea")->closeAllSubWindows();
        QTRY_COMPARE(run.mainWindow->menuBar()->actions(), own);
    }
};

QTEST_MAIN(ListsTest)
#include "tst_lists.moc"
