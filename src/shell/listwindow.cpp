#include "listwindow.h"

#include "mains.h"
#include "module1.h"
#include "platform/connection.h"
#include "platform/fonts.h"
#include "platform/runtimeerror.h"
#include "platform/twips.h"
#include "store/catalog.h"
#include "store/programfiles.h"
#include "treeview.h"

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
// Every list window has the same design outer size.
constexpr int DesignWidthTwips = 7170;
constexpr int DesignHeightTwips = 4875;

constexpr int ToolbarWidthTwips = 540;
constexpr int ToolbarHeightTwips = 4185;

const QList<Placement> CommonPlacements = {
        {"Toolbar1", 0, 0, ToolbarWidthTwips, ToolbarHeightTwips},
        {"TreeView1", 600, 0, 2775, 4095},
};
} // namespace

ListWindow::ListWindow(Module1& module, Design design)
    : ImageList1(ImageList::listWindowImages())
    , m_module(module)
    , m_design(std::move(design))
{
    setObjectName(m_design.name);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(m_design.caption);
    setWindowIcon(ImageList1.image(m_design.imageKey));

    Form = new QWidget;
    Form->setObjectName(QStringLiteral("Form"));
    setWidget(Form);

    Toolbar1 = new QToolBar(Form);
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setOrientation(Qt::Vertical);
    Toolbar1->setMovable(false);
    Toolbar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    Toolbar1->setIconSize(QSize(16, 16));
    Toolbar1->setFont(designFont(QStringLiteral("MS Sans Serif"), 7));
    addToolbarButtons(Toolbar1, ImageList1, m_design.toolbar);
    // Every button in the column, seven of them included, within the toolbar's design height.
    Toolbar1->setContentsMargins(0, 0, 0, 0);
    Toolbar1->layout()->setSpacing(0);
    const int buttonHeight = std::min(40, (twips::toPixelsY(ToolbarHeightTwips) - 8) / int(m_design.toolbar.size()));
    for (QAction* action : Toolbar1->actions()) {
        if (auto* button = qobject_cast<QToolButton*>(Toolbar1->widgetForAction(action)))
            button->setFixedSize(twips::toPixelsX(ToolbarWidthTwips) - 2, buttonHeight);
    }
    connect(Toolbar1, &QToolBar::actionTriggered, this,
            [this](QAction* action) { Toolbar1_ButtonClick(action->data().toInt()); });

    TreeView1 = new TreeView(ImageList1, Form);
    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    TreeView1->setFont(designFont(QStringLiteral("Arial"), 9, true));
    connect(TreeView1, &TreeView::NodeClick, this, &ListWindow::TreeView1_NodeClick);
    connect(TreeView1, &TreeView::MouseUp, this, &ListWindow::TreeView1_MouseUp);

    Frame1 = new QGroupBox(tr("Information"), Form);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->hide();

    buildMenus();
    // The window menu's Close answers Ctrl+F4 and Ctrl+W, which are the window's own "&Exit" and
    // "&Windows Softwares"; two owners of one key would leave the key doing nothing.
    if (QMenu* system = systemMenu()) {
        for (QAction* action : system->actions())
            action->setShortcuts({});
    }
    place(this, CommonPlacements);
    resize(twips::toPixels(DesignWidthTwips, DesignHeightTwips));
    mainWindow().MDIClient->addSubWindow(this);
}

ListWindow::~ListWindow() = default;

void ListWindow::buildMenus()
{
    mnufile = addMenu(this, "mnufile", tr("&File"));
    mnusave = addMenuItem(mnufile, "mnusave", tr("&Save"), Qt::CTRL | Qt::Key_S);
    mnucancel = addMenuItem(mnufile, "mnucancel", tr("&Cancel"), Qt::CTRL | Qt::Key_Z);
    addMenuSeparator(mnufile);
    mnuontop = addMenuItem(mnufile, "mnuontop", tr("&Always on Top"), Qt::CTRL | Qt::Key_O);
    mnuresize = addMenuItem(mnufile, "mnuresize", tr("&Minimize"), Qt::CTRL | Qt::Key_Y);
    addMenuSeparator(mnufile);
    mnuexit = addMenuItem(mnufile, "mnuexit", tr("&Exit"), Qt::CTRL | Qt::Key_F4);

    mnuedit = addMenu(this, "mnuedit", tr("&Edit"));
    mnunew = addMenuItem(mnuedit, "mnunew", tr("&New"), Qt::CTRL | Qt::Key_N);
    mnumodify = addMenuItem(mnuedit, "mnumodify", tr("&Modify"), Qt::CTRL | Qt::Key_M);
    mnudelete = addMenuItem(mnuedit, "mnudelete", tr("&Delete"), Qt::CTRL | Qt::Key_Q);

    mnuothers = addMenu(this, "mnuothers", tr("&Others"));
    for (const OtherWindowItem& item : m_design.others) {
        QAction* action = addMenuItem(mnuothers, item.name, tr(item.caption), item.shortcut);
        const ChildWindow target = item.target;
        connect(action, &QAction::triggered, this, [this, target] { m_module.ShowChild(target); });
    }

    mnuwindows = addMenu(this, "mnuwindows", tr("&Windows"));
    mnucascade = addMenuItem(mnuwindows, "mnucascade", tr("&Cascade"), Qt::CTRL | Qt::Key_A);
    connect(mnuwindows, &QMenu::aboutToShow, this, &ListWindow::updateWindowsMenu);

    mnuhelp = addMenu(this, "mnuhelp", tr("&Help"));
    mnucontents = addMenuItem(mnuhelp, "mnucontents", tr("&Contents"), Qt::Key_F1);
    mnutip = addMenuItem(mnuhelp, "mnutip", tr("&Tip of the Day"), Qt::Key_F2);
    addMenuSeparator(mnuhelp);
    mnuversion = addMenuItem(mnuhelp, "mnuversion", tr("&Version"), Qt::Key_F3);

    connect(mnusave, &QAction::triggered, this, [this] { mnusave_Click(); });
    connect(mnucancel, &QAction::triggered, this, [this] { mnucancel_Click(); });
    connect(mnuontop, &QAction::triggered, this, &ListWindow::mnuontop_Click);
    connect(mnuresize, &QAction::triggered, this, &ListWindow::mnuresize_Click);
    connect(mnuexit, &QAction::triggered, this, &ListWindow::mnuexit_Click);
    connect(mnunew, &QAction::triggered, this, [this] { mnunew_Click(); });
    connect(mnumodify, &QAction::triggered, this, [this] { mnumodify_Click(); });
    connect(mnudelete, &QAction::triggered, this, [this] { mnudelete_Click(); });
    connect(mnucascade, &QAction::triggered, this, &ListWindow::mnucascade_Click);
    connect(mnucontents, &QAction::triggered, this, &ListWindow::mnucontents_Click);
    connect(mnutip, &QAction::triggered, this, &ListWindow::mnutip_Click);
    connect(mnuversion, &QAction::triggered, this, &ListWindow::mnuversion_Click);
}

// The main window's open child windows, after "&Cascade", the active one checked.
void ListWindow::updateWindowsMenu()
{
    qDeleteAll(m_windowListItems);
    m_windowListItems.clear();
    QMdiArea* area = mainWindow().MDIClient;
    const QList<QMdiSubWindow*> children = area->subWindowList();
    if (children.isEmpty())
        return;
    m_windowListItems << mnuwindows->addSeparator();
    int number = 1;
    for (QMdiSubWindow* child : children) {
        QAction* item = mnuwindows->addAction(QStringLiteral("&%1 %2").arg(number++).arg(child->windowTitle()));
        item->setCheckable(true);
        item->setChecked(child == area->activeSubWindow());
        QPointer<QMdiSubWindow> target(child);
        connect(item, &QAction::triggered, this, [area, target] {
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
    return {mnufile, mnuedit, mnuothers, mnuwindows, mnuhelp};
}

QAction* ListWindow::Buttons(int position) const
{
    return toolbarButton(Toolbar1, position);
}

void ListWindow::showChild()
{
    if (isMinimized())
        showNormal();
    else
        show();
    mainWindow().MDIClient->setActiveSubWindow(this);
}

Mains& ListWindow::mainWindow() const
{
    return *m_module.mains.get();
}

void ListWindow::setMessage(const QString& text) const
{
    mainWindow().setMessage(text);
}

void ListWindow::mnucancel_Click()
{
    setMessage(Mains::RestingMessage);
    modifyMode = false;
    TreeView1->setEnabled(true);
    clearEditor();
    // The keys go back to the list, not to whatever widget follows the closed frame.
    const bool wasEditing = Frame1->isAncestorOf(QApplication::focusWidget());
    Frame1->hide();
    setBrowseCommands();
    TreeView1->selectNode(TreeView1->root());
    if (wasEditing)
        TreeView1->setFocus();
}

void ListWindow::EnterEditState()
{
    Frame1->show();
    TreeView1->setEnabled(false);
    mnusave->setEnabled(true);
    mnunew->setEnabled(false);
    mnumodify->setEnabled(false);
    mnudelete->setEnabled(false);
    for (int position : {3, 4, 5})
        Buttons(position)->setEnabled(false);
    Buttons(1)->setEnabled(true);
}

void ListWindow::setBrowseCommands()
{
    mnusave->setEnabled(false);
    mnunew->setEnabled(true);
    Buttons(1)->setEnabled(false);
    Buttons(3)->setEnabled(true);
    setEntryCommands(false);
}

void ListWindow::setEntryCommands(bool enabled)
{
    mnumodify->setEnabled(enabled);
    mnudelete->setEnabled(enabled);
    Buttons(4)->setEnabled(enabled);
    Buttons(5)->setEnabled(enabled);
}

void ListWindow::Toolbar1_ButtonClick(int position)
{
    switch (position) {
    case 1:
        mnusave_Click();
        break;
    case 2:
        mnucancel_Click();
        break;
    case 3:
        mnunew_Click();
        break;
    case 4:
        mnumodify_Click();
        break;
    case 5:
        mnudelete_Click();
        break;
    default:
        // The last button is Help, at the window's own topic.
        if (position == int(m_design.toolbar.size()))
            m_module.services().winHelp(&mainWindow(), m_module.helpFile, HelpCommand::Context, m_design.helpTopic);
        break;
    }
}

// Every move of the tree's selection comes here, so the entry shown and the row that Modify, Save,
// Delete and Run act on are always the highlighted node's.
void ListWindow::TreeView1_NodeClick(Node* node)
{
    if (!node || node == TreeView1->root()) {
        setEntryCommands(false);
        return;
    }
    try {
        moveToNode(node);
    } catch (const RuntimeError&) {
        // The row went away behind the window's back: no other row may stand in for it.
        goOn([this] { rsEntries.MoveLast(); });
        goOn([this] { rsEntries.MoveNext(); });
        setEntryCommands(false);
        return;
    }
    showSelectedEntry();
    setEntryCommands(true);
}

void ListWindow::TreeView1_MouseUp(Qt::MouseButton button, const QPoint& globalPosition)
{
    if (button == Qt::RightButton)
        mnuedit->popup(globalPosition);
}

void ListWindow::mnuontop_Click()
{
    m_module.ToggleOnTop();
}

void ListWindow::mnuresize_Click()
{
    m_module.MinimizeToTray();
}

void ListWindow::mnuexit_Click()
{
    close();
}

void ListWindow::mnucascade_Click()
{
    mainWindow().Arrange(Mains::TileHorizontal);
}

void ListWindow::mnucontents_Click()
{
    m_module.services().winHelp(&mainWindow(), m_module.helpFile, HelpCommand::Finder, 0);
}

void ListWindow::mnutip_Click()
{
    m_module.ShowTips();
}

void ListWindow::mnuversion_Click()
{
    m_module.ShowAbout();
}

void ListWindow::mnudelete_Click()
{
    if (rootSelected())
        return;
    const qint64 row = TreeView1->selectedNode()->bookmark();
    const bool stored = storeChange([this] {
        moveToNode(TreeView1->selectedNode());
        rsEntries.Delete(adAffectCurrent);
        rsEntries.Update();
    });
    if (!stored)
        return;
    m_module.services().playSound(m_module.programFile(ProgramFiles::DeleteSound));
    entryDeleted(row);
    Form_Load();
}

bool ListWindow::openList()
{
    m_module.listRead();
    try {
        rsEntries.Open(Catalog::table(m_design.table).listingQuery, *m_module.dbConnection, adOpenDynamic,
                       adLockOptimistic, adCmdUnspecified);
        return true;
    } catch (const RuntimeError&) {
        return false;
    }
}

Node* ListWindow::fillTree(const std::function<QString(const Recordset&)>& imageOf)
{
    Node* root = TreeView1->addRoot(m_design.rootWord, m_design.rootWord, m_design.imageKey);
    if (!rsEntries.isOpen())
        return root;
    TreeView1->beginChildren(m_design.keyPrefix, rsEntries.RecordCount());
    for (; !rsEntries.Eof(); rsEntries.MoveNext()) {
        const Value name = rsEntries.Fields(0);
        if (name.isNull())
            continue;
        const QString stored = name.toText();
        const QStringView text = QStringView(stored).trimmed();
        if (text.isEmpty() || text == m_design.rootWord)
            continue;
        TreeView1->addChild(text, imageOf(rsEntries), rsEntries.Bookmark());
    }
    TreeView1->endChildren();
    return root;
}

void ListWindow::moveToNode(const Node* node)
{
    try {
        rsEntries.setBookmark(node->bookmark());
    } catch (const RuntimeError&) {
        // The rows may not have been read since a refused change; read them and look once more.
        rsEntries.Requery();
        rsEntries.setBookmark(node->bookmark());
    }
}

bool ListWindow::rootSelected() const
{
    const Node* selected = TreeView1->selectedNode();
    return !selected || selected == TreeView1->root();
}

bool ListWindow::nameTaken(const QString& name) const
{
    if (name == m_design.rootWord)
        return true;
    const Node* holder = TreeView1->childByText(name);
    // A changed entry may keep its own name.
    return holder && !(modifyMode && holder == TreeView1->selectedNode());
}

bool ListWindow::storeChange(const std::function<void()>& writes)
{
    Connection& connection = *m_module.dbConnection;
    try {
        connection.BeginTrans();
        writes();
        connection.CommitTrans();
        return true;
    } catch (const RuntimeError&) {
        goOn([&connection] { connection.RollbackTrans(); });
        restoreCurrentRow();
        setMessage(StoreRefused);
        return false;
    }
}

// After a refused change rsEntries holds what it wrote before the refusal; read
// what is stored and stand where the window expects the current row.
void ListWindow::restoreCurrentRow()
{
    goOn([this] { rsEntries.Requery(); });
    if (!Frame1->isHidden() && !modifyMode) {
        goOn([this] { rsEntries.MoveLast(); });
        goOn([this] { rsEntries.MoveNext(); });
    } else if (!rootSelected()) {
        goOn([this] { moveToNode(TreeView1->selectedNode()); });
    }
}

void ListWindow::Form_Resize()
{
    ProportionalLayout::apply(this, m_design.resize);
}

void ListWindow::resizeEvent(QResizeEvent* event)
{
    QMdiSubWindow::resizeEvent(event);
    Form_Resize();
}

// The design layout is where the elements start; the statements take over once the window shows.
void ListWindow::showEvent(QShowEvent* event)
{
    QMdiSubWindow::showEvent(event);
    Form_Resize();
}

void ListWindow::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    emit unloaded();
    QMdiSubWindow::closeEvent(event);
}

} // namespace trovix
