#include "listwindow.h"

#include "core/database.h"
#include "core/programfiles.h"
#include "core/rowlist.h"
#include "desktop/fonts.h"
#include "mainwindow.h"
#include "session.h"
#include "treeview.h"
#include "twips.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLayout>
#include <QMdiArea>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

namespace trovix {

const QString ListWindow::StoreRefused = QStringLiteral("The change could not be stored");
const QString ListWindow::ListUnreadable = QStringLiteral("The list could not be read");

namespace {

constexpr int ToolbarWidthTwips = 540;
constexpr int ToolbarHeightTwips = 4185;

const QList<Placement> CommonPlacements = {
        {"toolBar", 0, 0, ToolbarWidthTwips, ToolbarHeightTwips},
        {"tree", 600, 0, 2775, 4095},
};

enum ToolbarButton { SaveButton = 1, CancelButton, NewButton, ModifyButton, DeleteButton };

} // namespace

ListWindow::ListWindow(Session& session, Design design)
    : m_session(session)
    , m_design(std::move(design))
    , m_images(ImageList::listWindowImages())
{
    setObjectName(m_design.name);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(m_design.caption);
    setWindowIcon(m_images.image(m_design.imageKey));

    m_form = new QWidget;
    m_form->setObjectName(QStringLiteral("form"));
    setWidget(m_form);

    m_toolBar = new QToolBar(m_form);
    m_toolBar->setObjectName(QStringLiteral("toolBar"));
    m_toolBar->setOrientation(Qt::Vertical);
    m_toolBar->setMovable(false);
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_toolBar->setIconSize(QSize(16, 16));
    m_toolBar->setFont(designFont(QStringLiteral("MS Sans Serif"), 7));
    addToolbarButtons(m_toolBar, m_images, m_design.toolbar);
    // Every button in the column, seven of them included, within the toolbar's design height.
    m_toolBar->setContentsMargins(0, 0, 0, 0);
    m_toolBar->layout()->setSpacing(0);
    const int buttonHeight = std::min(40, (twips::toPixelsY(ToolbarHeightTwips) - 8) / int(m_design.toolbar.size()));
    for (QAction* action : m_toolBar->actions()) {
        if (auto* button = qobject_cast<QToolButton*>(m_toolBar->widgetForAction(action)))
            button->setFixedSize(twips::toPixelsX(ToolbarWidthTwips) - 2, buttonHeight);
    }
    connect(m_toolBar, &QToolBar::actionTriggered, this,
            [this](QAction* action) { toolbarButtonClicked(action->data().toInt()); });

    m_tree = new TreeView(m_images, m_form);
    m_tree->setObjectName(QStringLiteral("tree"));
    m_tree->setFont(designFont(QStringLiteral("Arial"), 9, true));
    connect(m_tree, &TreeView::nodeSelected, this, &ListWindow::selectNode);
    connect(m_tree, &TreeView::rightReleased, this, &ListWindow::popUpEditMenu);

    m_detailsFrame = new QGroupBox(tr("Information"), m_form);
    m_detailsFrame->setObjectName(QStringLiteral("detailsFrame"));
    m_detailsFrame->hide();

    buildMenus();
    // The window menu's Close answers Ctrl+F4 and Ctrl+W, which are the window's own "&Exit" and
    // "&Windows Softwares"; two owners of one key would leave the key doing nothing.
    if (QMenu* system = systemMenu()) {
        for (QAction* action : system->actions())
            action->setShortcuts({});
    }
    place(this, CommonPlacements);
    resize(twips::toPixels(ProportionalLayout::DesignWidth, ProportionalLayout::DesignHeight));
    mainWindow().addChild(this);
}

ListWindow::~ListWindow() = default;

void ListWindow::buildMenus()
{
    m_fileMenu = addMenu(this, "fileMenu", tr("&File"));
    m_saveAction = addMenuItem(m_fileMenu, "saveAction", tr("&Save"), Qt::CTRL | Qt::Key_S);
    m_cancelAction = addMenuItem(m_fileMenu, "cancelAction", tr("&Cancel"), Qt::CTRL | Qt::Key_Z);
    m_fileMenu->addSeparator();
    QAction* onTop = addMenuItem(m_fileMenu, "onTopAction", tr("&Always on Top"), Qt::CTRL | Qt::Key_O);
    QAction* minimize = addMenuItem(m_fileMenu, "minimizeAction", tr("&Minimize"), Qt::CTRL | Qt::Key_Y);
    m_fileMenu->addSeparator();
    QAction* exit = addMenuItem(m_fileMenu, "exitAction", tr("&Exit"), Qt::CTRL | Qt::Key_F4);

    m_editMenu = addMenu(this, "editMenu", tr("&Edit"));
    m_newAction = addMenuItem(m_editMenu, "newAction", tr("&New"), Qt::CTRL | Qt::Key_N);
    m_modifyAction = addMenuItem(m_editMenu, "modifyAction", tr("&Modify"), Qt::CTRL | Qt::Key_M);
    m_deleteAction = addMenuItem(m_editMenu, "deleteAction", tr("&Delete"), Qt::CTRL | Qt::Key_Q);

    m_othersMenu = addMenu(this, "othersMenu", tr("&Others"));
    for (const OtherWindowItem& item : m_design.others) {
        QAction* action = addMenuItem(m_othersMenu, item.name, tr(item.caption), item.shortcut);
        connect(action, &QAction::triggered, this, [this, target = item.target] { m_session.showChild(target); });
    }

    m_windowsMenu = addMenu(this, "windowsMenu", tr("&Windows"));
    QAction* cascade = addMenuItem(m_windowsMenu, "cascadeAction", tr("&Cascade"), Qt::CTRL | Qt::Key_A);
    connect(m_windowsMenu, &QMenu::aboutToShow, this, &ListWindow::updateWindowsMenu);

    m_helpMenu = addMenu(this, "helpMenu", tr("&Help"));
    QAction* contents = addMenuItem(m_helpMenu, "contentsAction", tr("&Contents"), Qt::Key_F1);
    QAction* tip = addMenuItem(m_helpMenu, "tipAction", tr("&Tip of the Day"), Qt::Key_F2);
    m_helpMenu->addSeparator();
    QAction* about = addMenuItem(m_helpMenu, "aboutAction", tr("&Version"), Qt::Key_F3);

    connect(m_saveAction, &QAction::triggered, this, [this] { save(); });
    connect(m_cancelAction, &QAction::triggered, this, [this] { cancel(); });
    connect(onTop, &QAction::triggered, &m_session, &Session::toggleOnTop);
    connect(minimize, &QAction::triggered, &m_session, &Session::minimizeToTray);
    connect(exit, &QAction::triggered, this, &ListWindow::close);
    connect(m_newAction, &QAction::triggered, this, [this] { newEntry(); });
    connect(m_modifyAction, &QAction::triggered, this, [this] { modifyEntry(); });
    connect(m_deleteAction, &QAction::triggered, this, &ListWindow::deleteSelected);
    connect(cascade, &QAction::triggered, this,
            [this] { mainWindow().arrange(MainWindow::Arrangement::TileHorizontal); });
    connect(contents, &QAction::triggered, this, [this] { m_session.showHelp(); });
    connect(tip, &QAction::triggered, &m_session, &Session::showTips);
    connect(about, &QAction::triggered, &m_session, &Session::showAbout);
}

// The main window's open child windows, after "&Cascade", the active one checked.
void ListWindow::updateWindowsMenu()
{
    qDeleteAll(m_windowListItems);
    m_windowListItems.clear();
    QMdiArea* area = mdiArea();
    const QList<QMdiSubWindow*> children = area->subWindowList();
    if (children.isEmpty())
        return;
    m_windowListItems << m_windowsMenu->addSeparator();
    int number = 1;
    for (QMdiSubWindow* child : children) {
        QAction* item = m_windowsMenu->addAction(QStringLiteral("&%1 %2").arg(number++).arg(child->windowTitle()));
        item->setCheckable(true);
        item->setChecked(child == area->activeSubWindow());
        connect(item, &QAction::triggered, this, [area, target = QPointer<QMdiSubWindow>(child)] {
            if (!target)
                return;
            if (target->isMinimized())
                target->showNormal();
            area->setActiveSubWindow(target);
        });
        m_windowListItems << item;
    }
}

QList<QMenu*> ListWindow::menus() const
{
    return {m_fileMenu, m_editMenu, m_othersMenu, m_windowsMenu, m_helpMenu};
}

QAction* ListWindow::toolbarAction(int position) const
{
    return toolbarButton(m_toolBar, position);
}

void ListWindow::showChild()
{
    if (isMinimized())
        showNormal();
    else
        show();
    mdiArea()->setActiveSubWindow(this);
}

Database& ListWindow::database() const
{
    return m_session.database();
}

MainWindow& ListWindow::mainWindow() const
{
    return m_session.mainWindow();
}

void ListWindow::setMessage(const QString& text) const
{
    mainWindow().setMessage(text);
}

void ListWindow::cancel()
{
    setMessage(MainWindow::RestingMessage);
    m_modifying = false;
    m_tree->setEnabled(true);
    clearEditor();
    // The keys go back to the list, not to whatever widget follows the closed frame.
    const bool wasEditing = m_detailsFrame->isAncestorOf(QApplication::focusWidget());
    m_detailsFrame->hide();
    setBrowseCommands();
    m_tree->selectNode(m_tree->root());
    if (wasEditing)
        m_tree->setFocus();
}

void ListWindow::enterEditState()
{
    m_detailsFrame->show();
    m_tree->setEnabled(false);
    m_saveAction->setEnabled(true);
    m_newAction->setEnabled(false);
    m_modifyAction->setEnabled(false);
    m_deleteAction->setEnabled(false);
    for (int position : {NewButton, ModifyButton, DeleteButton})
        toolbarAction(position)->setEnabled(false);
    toolbarAction(SaveButton)->setEnabled(true);
}

void ListWindow::setBrowseCommands()
{
    m_saveAction->setEnabled(false);
    m_newAction->setEnabled(true);
    toolbarAction(SaveButton)->setEnabled(false);
    toolbarAction(NewButton)->setEnabled(true);
    setEntryCommands(false);
}

void ListWindow::setEntryCommands(bool enabled)
{
    m_modifyAction->setEnabled(enabled);
    m_deleteAction->setEnabled(enabled);
    toolbarAction(ModifyButton)->setEnabled(enabled);
    toolbarAction(DeleteButton)->setEnabled(enabled);
}

void ListWindow::toolbarButtonClicked(int position)
{
    switch (position) {
    case SaveButton:
        save();
        break;
    case CancelButton:
        cancel();
        break;
    case NewButton:
        newEntry();
        break;
    case ModifyButton:
        modifyEntry();
        break;
    case DeleteButton:
        deleteSelected();
        break;
    default:
        // The last button is Help, at the window's own topic.
        if (position == int(m_design.toolbar.size()))
            m_session.showHelp(m_design.helpTopic);
        break;
    }
}

// Every move of the tree's selection comes here, so the entry shown and the row that Modify, Save, Delete
// and Run act on are always the highlighted node's.
void ListWindow::selectNode(Node* node)
{
    if (!node || node == m_tree->root()) {
        setEntryCommands(false);
        return;
    }
    // The rows may not have been read since a refused change; read them and look once more.
    if (!isListed(node->id()))
        readRows();
    if (!isListed(node->id())) {
        // The row went away behind the window's back: no other row may stand in for it.
        m_selectedId.reset();
        setEntryCommands(false);
        return;
    }
    m_selectedId = node->id();
    showSelectedRow();
    setEntryCommands(true);
}

void ListWindow::popUpEditMenu(const QPoint& globalPosition)
{
    m_editMenu->popup(globalPosition);
}

void ListWindow::deleteSelected()
{
    if (rootSelected())
        return;
    qint64 row = 0;
    const bool stored = storeChange([&] {
        row = requireSelectedRow();
        removeRow(row);
    });
    if (!stored)
        return;
    m_session.playSound(ProgramFiles::DeleteSound);
    rowDeleted(row);
    reload();
}

bool ListWindow::listRows()
{
    m_session.listRead();
    const bool listed = readRows();
    m_selectedId.reset();
    Node* root = m_tree->addRoot(m_design.rootWord, m_design.rootWord, m_design.imageKey);
    const std::shared_ptr<const RowList> rows = listedRows();
    // The tree passes over rows without a name and rows named as the root.
    m_tree->beginChildren(m_design.keyPrefix, rows, m_design.rootWord);
    for (int row = 0; row < rows->size(); ++row)
        m_tree->addChild(row, rowImage(row));
    m_tree->endChildren();
    m_tree->setExpanded(root, true);
    return listed;
}

bool ListWindow::isListed(qint64 id) const
{
    return listedRows()->indexOf(id).has_value();
}

bool ListWindow::rootSelected() const
{
    const Node* selected = m_tree->selectedNode();
    return !selected || selected == m_tree->root();
}

bool ListWindow::nameTaken(const QString& name) const
{
    if (name == m_design.rootWord)
        return true;
    const Node* holder = m_tree->childByText(name);
    // A changed entry may keep its own name.
    return holder && !(m_modifying && holder == m_tree->selectedNode());
}

qint64 ListWindow::requireSelectedRow()
{
    const Node* node = m_tree->selectedNode();
    if (!node || node == m_tree->root())
        throw DatabaseError(DatabaseError::Kind::RowGone, QStringLiteral("No row is selected."));
    if (!isListed(node->id()) && !readRows())
        throw DatabaseError(DatabaseError::Kind::Refused, QStringLiteral("The list could not be read."));
    if (!isListed(node->id()))
        throw DatabaseError(DatabaseError::Kind::RowGone, QStringLiteral("The row is no longer in the list."));
    return node->id();
}

bool ListWindow::storeChange(const std::function<void()>& changes)
{
    try {
        database().transaction(changes);
        return true;
    } catch (const DatabaseError&) {
        // What is stored, as it is now; a list that cannot be read keeps what it showed.
        readRows();
        setMessage(StoreRefused);
        return false;
    }
}

void ListWindow::layoutElements()
{
    ProportionalLayout::apply(this, m_design.resize);
}

void ListWindow::resizeEvent(QResizeEvent* event)
{
    QMdiSubWindow::resizeEvent(event);
    layoutElements();
}

// The design layout is where the elements start; the statements take over once the window shows.
void ListWindow::showEvent(QShowEvent* event)
{
    QMdiSubWindow::showEvent(event);
    layoutElements();
}

void ListWindow::closeEvent(QCloseEvent* event)
{
    unload();
    emit unloaded();
    QMdiSubWindow::closeEvent(event);
}

} // namespace trovix
