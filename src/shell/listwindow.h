#pragma once

#include "formelements.h"
#include "imagelist.h"
#include "platform/recordset.h"
#include "proportionallayout.h"

#include <QMdiSubWindow>

#include <functional>

class QAction;
class QGroupBox;
class QMenu;
class QToolBar;

namespace trovix {

class Mains;
class Module1;
class Node;
class TreeView;
enum class ChildWindow;

// An "&Others" item: it shows another list window.
struct OtherWindowItem
{
    const char* name;
    const char* caption;
    QKeySequence shortcut;
    ChildWindow target;
};

// What the list windows share: a child window of the main window with a tree of
// one root node and one node a row of its table, a column toolbar, the details
// frame that is the editor, the same five menus, the browse and edit states, and
// storing a change as one transaction. Each window adds its own fields.
class ListWindow : public QMdiSubWindow
{
    Q_OBJECT

public:
    struct Design
    {
        QString name; // the window's design name
        QString caption;
        QString table;     // the catalog table it lists
        QString rootWord;  // root node key and text; rows of that name are not listed
        QString imageKey;  // the root's image, and the default image of the entries
        QString keyPrefix; // entry keys are this and the trimmed name
        int helpTopic;
        QList<ToolbarButtonDesign> toolbar;
        QList<OtherWindowItem> others;
        // What a change of the window's size recomputes, in order.
        QList<ProportionalLayout::Statement> resize = {};
    };

    // Texts every list window writes into the message line.
    static const QString StoreRefused;
    static const QString ListUnreadable;

    ListWindow(Module1& module, Design design);
    ~ListWindow() override;

    // The menus the main window shows while this window is the active child.
    QList<QMenu*> menus() const;
    QAction* Buttons(int position) const;
    const Design& design() const { return m_design; }

    // Shows the window in the main window, loaded first if need be, as the active child with the focus.
    void showChild();

    ImageList ImageList1;
    QWidget* Form;
    QToolBar* Toolbar1;
    TreeView* TreeView1;
    QGroupBox* Frame1;

    QMenu* mnufile;
    QAction* mnusave;
    QAction* mnucancel;
    QAction* mnuontop;
    QAction* mnuresize;
    QAction* mnuexit;
    QMenu* mnuedit;
    QAction* mnunew;
    QAction* mnumodify;
    QAction* mnudelete;
    QMenu* mnuothers;
    QMenu* mnuwindows;
    QAction* mnucascade;
    QMenu* mnuhelp;
    QAction* mnucontents;
    QAction* mnutip;
    QAction* mnuversion;

    Recordset rsEntries;
    bool modifyMode = false;

    virtual void Form_Load() = 0;
    // Keeps the elements in proportion to the window's outer size.
    virtual void Form_Resize();
    // The browse state: nothing being edited, the root selected.
    virtual void mnucancel_Click();
    // The edit state: the details frame open, the tree closed to the mouse and keys.
    virtual void EnterEditState();
    virtual void mnunew_Click() = 0;
    virtual void mnumodify_Click() = 0;
    virtual void mnusave_Click() = 0;
    // Deletes the selected entry's row at once, with the delete sound, and reloads.
    void mnudelete_Click();
    virtual void Toolbar1_ButtonClick(int position);
    void TreeView1_NodeClick(Node* node);
    void TreeView1_MouseUp(Qt::MouseButton button, const QPoint& globalPosition);

    void mnuontop_Click();
    void mnuresize_Click();
    void mnuexit_Click();
    void mnucascade_Click();
    void mnucontents_Click();
    void mnutip_Click();
    void mnuversion_Click();

signals:
    void unloaded();

protected:
    Module1& module() const { return m_module; }
    Mains& mainWindow() const;
    void setMessage(const QString& text) const;
    // Opens rsEntries on the window's listing; false (the message line says why) when it cannot be read.
    bool openList();
    // A fresh root node, then one node a row of rsEntries: the trimmed name, keyed by the key prefix and
    // the name, with the image imageOf gives the row. A row without a name, named after the root word,
    // or whose name another row took first is not listed.
    Node* fillTree(const std::function<QString(const Recordset&)>& imageOf);
    // Moves rsEntries to the node's row; throws 3021 when that row is gone.
    void moveToNode(const Node* node);
    bool rootSelected() const;
    // The checks of a name typed for a new or changed entry: whether another node bears it.
    bool nameTaken(const QString& name) const;

    // The commands of the two states, menus and toolbar buttons together.
    void setBrowseCommands();
    void setEntryCommands(bool enabled);

    // Runs the writes as one transaction. When the database refuses them nothing is
    // stored, rsEntries is read again so that it shows what is stored, the window
    // keeps its state and the message line says so; returns false then.
    bool storeChange(const std::function<void()>& writes);

    // The selected entry's details, shown after a node click on it.
    virtual void showSelectedEntry() = 0;
    // Empties the editor's boxes.
    virtual void clearEditor() = 0;
    // The row was deleted through this window.
    virtual void entryDeleted(qint64 /*row*/) {}
    virtual void Form_Unload() {}

    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildMenus();
    void updateWindowsMenu();
    void restoreCurrentRow();

    Module1& m_module;
    Design m_design;
    QList<QAction*> m_windowListItems;
};

} // namespace trovix
