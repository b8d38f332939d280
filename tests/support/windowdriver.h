#pragma once

#include "core/catalog.h"
#include "core/database.h"
#include "core/entrystore.h"
#include "core/programfiles.h"
#include "core/reminderscheduler.h"
#include "programrun.h"
#include "shown.h"
#include "ui/categorytraits.h"
#include "ui/documentswindow.h"
#include "ui/mainwindow.h"
#include "ui/reminderswindow.h"
#include "ui/textbox.h"
#include "ui/treeview.h"

#include <QtTest>
#include <QtWidgets>

namespace trovix {

// A widget, action or timer below the window by its object name; the test fails where there is none.
template<typename T = QWidget>
T* part(const QObject* window, const char* name)
{
    T* found = window ? window->findChild<T*>(QString::fromLatin1(name)) : nullptr;
    if (!found)
        qFatal("%s has no %s", window ? qPrintable(window->objectName()) : "nothing", name);
    return found;
}
// The editor's boxes of a list window by position: name, path, description; or message, hour, minute.
TextBox* field(const ListWindow* window, int index);
inline TreeView* treeOf(const ListWindow* window)
{
    return part<TreeView>(window, "tree");
}
// Whether the window's editor (its details frame) stands open.
inline bool editorOpen(const ListWindow* window)
{
    return !part<QGroupBox>(window, "detailsFrame")->isHidden();
}

// A table whose one column, "row", holds the whole row; the test function takes it with fetchRow.
template<typename Row>
void addRows(const QList<std::pair<const char*, Row>>& rows)
{
    QTest::addColumn<Row>("row");
    for (const auto& [tag, row] : rows)
        QTest::newRow(tag) << row;
}
template<typename Row>
Row fetchRow()
{
    QFETCH(Row, row);
    return row;
}

// A run whose main window is on screen and active, driven as a user would:
// mouse clicks on nodes and toolbar buttons, keys, and the rows read back.
struct WindowRun : ProgramRun
{
    WindowRun() { showMainWindow(); }
    // The same on a program folder that is already there.
    explicit WindowRun(const QString& existingFolder)
        : ProgramRun(existingFolder)
    {
        showMainWindow();
    }

    // Shows the child window as its menu item does.
    ListWindow* show(ChildWindow which) { return session->showChild(which), &session->childWindow(which); }
    QString message() const { return mainWindow->message(); }
    QMdiSubWindow* activeWindow() const { return part<QMdiArea>(mainWindow, "mdiArea")->activeSubWindow(); }

    void showMainWindow();
    // Rows of the table in stored order, each cell as text ("\\N" for no value).
    QStringList rows(const QString& table) const;
    // Runs statements on the program's own connection.
    void execute(const QString& sql, const QVariantList& values = {}) { session->database().execute(sql, values); }
    // Stores a row as another program would: an entry by its name and path, a reminder.
    void addEntry(const QString& table, const QVariant& name, const QVariant& path);
    void addReminder(const QVariant& message, const QVariant& time, const QVariant& done = 0)
    {
        execute(QStringLiteral("insert into reminders (message, time, done) values (?, ?, ?)"), {message, time, done});
    }

    // A tick of the due check's timer, which only ticks while the check watches.
    void tick() { return watching() ? session->scheduler().check() : void(); }
    bool watching() const { return session->scheduler().isWatching(); }
    // The announcements sounded.
    int notifications() const { return int(services->sounds.count(folder.file(ProgramFiles::NotifySound))); }
};

// The evening the tests' clock stands at, unless they say otherwise.
inline const QDateTime Evening(QDate(2026, 12, 5), QTime(21, 5, 7));

// The four category windows, for tests that go over each.
struct Kind
{
    const char* tag;
    ChildWindow which;
    const CategoryTraits& (*traits)(); // called late: the traits are made from other files' constants
};

inline const QList<Kind> Kinds = {{"softwares", ChildWindow::Softwares, Categories::softwares},
                                  {"games", ChildWindow::Games, Categories::games},
                                  {"windows", ChildWindow::Windows, Categories::windows},
                                  {"documents", ChildWindow::Documents, Categories::documents}};

inline const Kind& kindOf(ChildWindow which)
{
    return *std::find_if(Kinds.begin(), Kinds.end(), [which](const Kind& k) { return k.which == which; });
}
// The table the window lists, the reminders' included.
inline QString tableOf(ChildWindow which)
{
    return which == ChildWindow::Reminders ? Catalog::Reminders : kindOf(which).traits().kind->table;
}
// Whether the window's entries have a description.
inline bool hasDescription(ChildWindow which)
{
    return which != ChildWindow::Reminders && EntryStore(tableOf(which)).hasDescription();
}

// Clicks the window's node with the left button, as a user does.
void clickNode(ListWindow* window, const Node* node);
void doubleClickNode(ListWindow* window, const Node* node);
// A double click at the widget's centre as the window system sends it: press, release, a press that is the
// double click, release.
void doubleClick(QWidget* widget);
// Clicks the toolbar button at the position (from 1); a disabled button takes no click.
void clickButton(ListWindow* window, int position);
// Puts the text in the box as a user does: typed one character (one code point) a key, as a keyboard
// with an input method sends it, or pasted with Ctrl+V. What was in the box goes first.
enum class Input { Typed, Pasted };
void enterText(TextBox* box, const QString& text, Input how = Input::Typed);
// Drags the data over the widget and drops it there, as a file manager does.
void dropOn(QWidget* widget, const QMimeData& data);
// The node of the tree whose text this is; nullptr when there is none.
Node* nodeByText(ListWindow* window, const QString& text);
// The texts of the root's children, in order.
QStringList childTexts(ListWindow* window);

// The file made read-only, and the test's rights over files reduced to a user's
// while this lives, so that even a run as root meets the refusal.
class ReadOnlyFile
{
public:
    explicit ReadOnlyFile(const QString& fileName);
    ~ReadOnlyFile();
    bool isReadOnly() const { return m_readOnly; }

private:
    QString m_fileName;
    bool m_readOnly = false;
    bool m_droppedRights = false;
};

} // namespace trovix
