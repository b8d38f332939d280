#pragma once

#include "formelements.h"
#include "imagelist.h"
#include "proportionallayout.h"

#include <QMdiSubWindow>

#include <functional>
#include <memory>
#include <optional>

class QAction;
class QGroupBox;
class QMenu;
class QToolBar;

namespace trovix {

class Database;
class MainWindow;
class Node;
class RowList;
class Session;
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

// What the list windows share: a child window of the main window with a tree of one root node and one node
// a listed row of its table, a column toolbar, the details frame that is the editor, the same five menus,
// the browse and edit states, and storing a change as one transaction. Each window adds its own fields and
// keeps the rows it listed; the highlighted node names the selected row.
class ListWindow : public QMdiSubWindow
{
    Q_OBJECT

public:
    struct Design
    {
        QString name; // the window's object name, its table's
        QString caption;
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

    ListWindow(Session& session, Design design);
    ~ListWindow() override;

    // The menus the main window shows while this window is the active child.
    QList<QMenu*> menus() const;
    const Design& design() const { return m_design; }

    // Shows the window in the main window, as the active child with the focus.
    void showChild();
    // Whether the editor holds a change of the selected row rather than a new one.
    bool isModifying() const { return m_modifying; }
    // Lists the rows afresh and enters the browse state.
    virtual void reload() = 0;
    // The first listing, when the window is made.
    void load() { reload(); }

signals:
    void unloaded();

protected:
    // The browse state: nothing being edited, the root selected.
    virtual void cancel();
    // The edit state: the details frame open, the tree closed to the mouse and keys.
    virtual void enterEditState();
    virtual void newEntry() = 0;
    virtual void modifyEntry() = 0;
    virtual void save() = 0;
    // Deletes the selected row at once, with the delete sound, and reloads.
    void deleteSelected();
    virtual void toolbarButtonClicked(int position);

    // Reads the window's rows afresh; false (nothing listed) when the file cannot be read.
    virtual bool readRows() = 0;
    // The rows read last: their rowids, column 0 the name a node shows.
    virtual std::shared_ptr<const RowList> listedRows() const = 0;
    virtual QString rowImage(int /*row*/) const { return m_design.imageKey; }
    bool isListed(qint64 id) const;
    // Removes the row from the file.
    virtual void removeRow(qint64 id) = 0;
    // The selected row's details, shown when its node is selected.
    virtual void showSelectedRow() = 0;
    // Empties the editor's boxes.
    virtual void clearEditor() = 0;
    // The row was deleted through this window.
    virtual void rowDeleted(qint64 /*id*/) {}
    virtual void unload() {}

    Session& session() const { return m_session; }
    Database& database() const;
    MainWindow& mainWindow() const;
    void setMessage(const QString& text) const;
    // The row of the highlighted node; nothing with the root or no listed row selected.
    std::optional<qint64> selectedId() const { return m_selectedId; }
    // No row is selected while a new one is typed.
    void forgetSelectedRow() { m_selectedId.reset(); }
    // Reads the rows (false: the message line says why, no row listed), then builds the tree: a fresh root
    // node, then one node a row, the trimmed name keyed by the key prefix and the name. A row without a
    // name, named after the root word, or whose name another row took first is not listed.
    bool listRows();
    bool rootSelected() const;
    // Whether another node bears the name typed for a new or changed entry.
    bool nameTaken(const QString& name) const;
    // The selected row, which a change acts on: read afresh once where the window's rows lack it.
    // Throws DatabaseError (RowGone) when it is gone.
    qint64 requireSelectedRow();

    // The commands of the two states, menus and toolbar buttons together.
    void setBrowseCommands();
    void setEntryCommands(bool enabled);
    QAction* toolbarAction(int position) const;

    // Runs the changes as one transaction. When the database refuses them nothing is stored, the rows are
    // read again so that they show what is stored, the window keeps its state and the message line says
    // so; returns false then.
    bool storeChange(const std::function<void()>& changes);

    QWidget* form() const { return m_form; }
    TreeView* tree() const { return m_tree; }
    QGroupBox* detailsFrame() const { return m_detailsFrame; }
    QMenu* editMenu() const { return m_editMenu; }
    QAction* newAction() const { return m_newAction; }
    QAction* modifyAction() const { return m_modifyAction; }
    QAction* deleteAction() const { return m_deleteAction; }
    const ImageList& images() const { return m_images; }
    void setModifying(bool modifying) { m_modifying = modifying; }

    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // Keeps the elements in proportion to the window's outer size.
    virtual void layoutElements();

private:
    void buildMenus();
    void updateWindowsMenu();
    void selectNode(Node* node);
    void popUpEditMenu(const QPoint& globalPosition);

    Session& m_session;
    Design m_design;
    ImageList m_images;
    QWidget* m_form;
    QToolBar* m_toolBar;
    TreeView* m_tree;
    QGroupBox* m_detailsFrame;
    QMenu* m_fileMenu;
    QAction* m_saveAction;
    QAction* m_cancelAction;
    QMenu* m_editMenu;
    QAction* m_newAction;
    QAction* m_modifyAction;
    QAction* m_deleteAction;
    QMenu* m_othersMenu;
    QMenu* m_windowsMenu;
    QMenu* m_helpMenu;
    QList<QAction*> m_windowListItems;
    std::optional<qint64> m_selectedId;
    bool m_modifying = false;
};

} // namespace trovix
