#include "mainwindow.h"

#include "core/programfiles.h"
#include "desktop/fonts.h"
#include "desktop/windowsystem.h"
#include "formelements.h"
#include "listwindow.h"
#include "proportionallayout.h"
#include "session.h"
#include "statuspanel.h"
#include "trayicon.h"
#include "twips.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>

namespace trovix {

const QString MainWindow::RestingMessage = QStringLiteral("Double Click for Tip of the Day");

namespace {

const QString Caption = QStringLiteral("Marlen's TROVIX");
constexpr int ClientWidthTwips = 7050;
constexpr int ClientHeightTwips = 5325;
constexpr int ToolbarButtonWidthTwips = 1429;
constexpr int ToolbarButtonHeightTwips = 582;
constexpr int RoundCorner = 50;

struct PanelDesign
{
    const char* name;
    const char* text;
    const char* toolTip;
    int widthTwips;
};
constexpr std::array<PanelDesign, 3> PanelDesigns{{
        {"minimizePanel", "Minimize", "Minimize to System Tray", 1446},
        {"messagePanel", "Double Click for Tip of the Day", "Messages from TROVIX", 9349},
        {"onTopPanel", "N", "A - Always on Top  N - Not on Top", 1235},
}};
enum Panel { MinimizePanel, MessagePanel, OnTopPanel };

const QList<ToolbarButtonDesign> ToolbarButtons = {
        {"Game", "gam"}, {"S/W", "sof"}, {"Win", "win"}, {"Docs", "doc"}, {"Rem", "rem"}, {"Exit", "exit"},
};

// The child window each of the first five toolbar buttons shows.
constexpr std::array<ChildWindow, 5> ToolbarChildren{ChildWindow::Games, ChildWindow::Softwares, ChildWindow::Windows,
                                                     ChildWindow::Documents, ChildWindow::Reminders};

} // namespace

MainWindow::MainWindow(Session& session)
    : m_session(session)
{
    setObjectName(QStringLiteral("mainWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(Caption);
    setWindowIcon(ImageList::programIcon());
    // No pop-up of the window's own over the toolbar and the menu bar: its tick box would hide the toolbar
    // with no way back.
    setContextMenuPolicy(Qt::NoContextMenu);

    m_mdiArea = new QMdiArea(this);
    m_mdiArea->setObjectName(QStringLiteral("mdiArea"));
    m_mdiArea->setBackground(QColor(128, 128, 128));
    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdiArea);
    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, &MainWindow::showMenusOf);

    buildMenus();
    buildToolbar();
    buildStatusBar();

    // Wide enough for the six toolbar buttons, which together exceed the design width, and tall enough
    // for a list window at its design size between the toolbar and the status bar.
    const int width = std::max(twips::toPixelsX(ClientWidthTwips), m_toolBar->sizeHint().width());
    const int chrome =
            menuBar()->sizeHint().height() + m_toolBar->sizeHint().height() + statusBar()->sizeHint().height();
    const int height =
            std::max(twips::toPixelsY(ClientHeightTwips) + menuBar()->sizeHint().height(),
                     chrome + twips::toPixelsY(ProportionalLayout::DesignHeight) + 2 * m_mdiArea->frameWidth());
    resize(width, height);
}

MainWindow::~MainWindow() = default;

void MainWindow::buildMenus()
{
    QMenu* arrangeMenu = addMenu(menuBar(), "arrangeMenu", tr("&Arrange"));
    QAction* minimize = addMenuItem(arrangeMenu, "minimizeAction", tr("&Minimize"), Qt::CTRL | Qt::Key_Y);
    arrangeMenu->addSeparator();
    QAction* onTop = addMenuItem(arrangeMenu, "onTopAction", tr("&Always on Top"), Qt::CTRL | Qt::Key_O);
    arrangeMenu->addSeparator();
    QAction* exit = addMenuItem(arrangeMenu, "exitAction", tr("&Exit"));
    connect(minimize, &QAction::triggered, &m_session, &Session::minimizeToTray);
    connect(onTop, &QAction::triggered, &m_session, &Session::toggleOnTop);
    connect(exit, &QAction::triggered, this, &MainWindow::close);

    QMenu* windowsMenu = addMenu(menuBar(), "windowsMenu", tr("&Windows"));
    const std::array<std::tuple<const char*, const char*, QKeySequence, ChildWindow>, 5> children{{
            {"gamesAction", "&Games", Qt::CTRL | Qt::Key_G, ChildWindow::Games},
            {"softwaresAction", "&Softwares", Qt::CTRL | Qt::Key_T, ChildWindow::Softwares},
            {"windowsAction", "&Windows Softwares", Qt::CTRL | Qt::Key_W, ChildWindow::Windows},
            {"documentsAction", "&Documents", Qt::CTRL | Qt::Key_D, ChildWindow::Documents},
            {"remindersAction", "&Reminders", Qt::CTRL | Qt::Key_R, ChildWindow::Reminders},
    }};
    for (const auto& [name, caption, shortcut, child] : children) {
        QAction* item = addMenuItem(windowsMenu, name, tr(caption), shortcut);
        connect(item, &QAction::triggered, this, [this, which = child] { m_session.showChild(which); });
    }

    QMenu* helpMenu = addMenu(menuBar(), "helpMenu", tr("&Help"));
    QAction* contents = addMenuItem(helpMenu, "contentsAction", tr("&Contents"), Qt::Key_F1);
    QAction* tip = addMenuItem(helpMenu, "tipAction", tr("&Tip of the Day"), Qt::Key_F2);
    helpMenu->addSeparator();
    QAction* about = addMenuItem(helpMenu, "aboutAction", tr("&Version"), Qt::Key_F3);
    connect(contents, &QAction::triggered, this, [this] { m_session.showHelp(); });
    connect(tip, &QAction::triggered, &m_session, &Session::showTips);
    connect(about, &QAction::triggered, &m_session, &Session::showAbout);

    m_ownMenus = {arrangeMenu, windowsMenu, helpMenu};
    m_shownMenus = m_ownMenus;
}

void MainWindow::buildToolbar()
{
    m_toolBar = addToolBar(tr("Toolbar"));
    m_toolBar->setObjectName(QStringLiteral("toolBar"));
    m_toolBar->setMovable(false);
    m_toolBar->setFloatable(false);
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_toolBar->setIconSize(QSize(16, 16));
    const QSize buttonSize = twips::toPixels(ToolbarButtonWidthTwips, ToolbarButtonHeightTwips);
    addToolbarButtons(m_toolBar, m_images, ToolbarButtons);
    for (QAction* action : m_toolBar->actions()) {
        if (auto* toolButton = qobject_cast<QToolButton*>(m_toolBar->widgetForAction(action)))
            toolButton->setFixedSize(buttonSize);
    }
    connect(m_toolBar, &QToolBar::actionTriggered, this,
            [this](QAction* action) { toolbarButtonClicked(action->data().toInt()); });
}

void MainWindow::buildStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("statusBar"));
    bar->setFont(designFont(QStringLiteral("Comic Sans MS"), 8.25, true));
    bar->setSizeGripEnabled(false);
    for (int i = 0; i < int(PanelDesigns.size()); ++i) {
        const PanelDesign& design = PanelDesigns[size_t(i)];
        auto* panel = new StatusPanel(tr(design.text), tr(design.toolTip), design.widthTwips, bar);
        panel->setObjectName(QString::fromLatin1(design.name));
        // The message line gives way when the window is narrower than the panels.
        const bool isMessageLine = i == MessagePanel;
        if (!isMessageLine)
            panel->setFixedWidth(panel->sizeHint().width());
        // Permanent: a status tip shown in the bar never hides the panels.
        bar->addPermanentWidget(panel, isMessageLine ? 1 : 0);
        m_panels[size_t(i)] = panel;
    }
    connect(m_panels[MinimizePanel], &StatusPanel::clicked, &m_session, &Session::minimizeToTray);
    connect(m_panels[OnTopPanel], &StatusPanel::clicked, &m_session, &Session::toggleOnTop);
    connect(m_panels[MessagePanel], &StatusPanel::doubleClicked, &m_session, &Session::showTips);
}

void MainWindow::load()
{
    m_trayIcon = new TrayIcon(m_session.services(), windowIcon(), this);
    connect(m_trayIcon, &TrayIcon::showRequested, this, &MainWindow::bringForward);
    connect(m_trayIcon, &TrayIcon::exitRequested, this, [this] {
        removeTrayIcon();
        close();
    });
}

void MainWindow::setMessage(const QString& text)
{
    m_panels[MessagePanel]->setText(text);
}

QString MainWindow::message() const
{
    return m_panels[MessagePanel]->text();
}

void MainWindow::showOnTop(bool onTop)
{
    m_panels[OnTopPanel]->setText(onTop ? QStringLiteral("A") : QStringLiteral("N"));
    m_panels[OnTopPanel]->setBevel(onTop ? StatusPanel::Bevel::Inset : StatusPanel::Bevel::Raised);
}

void MainWindow::addChild(QMdiSubWindow* child)
{
    m_mdiArea->addSubWindow(child);
}

void MainWindow::toolbarButtonClicked(int position)
{
    m_session.playSound(ProgramFiles::OverSound);
    if (position >= 1 && position <= int(ToolbarChildren.size()))
        m_session.showChild(ToolbarChildren[size_t(position - 1)]);
    else if (position == int(ToolbarButtons.size()))
        close();
}

void MainWindow::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    // Coming back to the main window closes the about box and the tips.
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        m_session.closeAboutAndTips();
}

void MainWindow::bringForward()
{
    WindowSystem::bringToForeground(this);
}

void MainWindow::removeTrayIcon()
{
    if (!m_trayIcon)
        return;
    // Later: its menu may be the one that asked for it.
    m_trayIcon->hide();
    m_trayIcon->deleteLater();
    m_trayIcon = nullptr;
}

void MainWindow::showMenusOf(QMdiSubWindow* child)
{
    const auto* list = qobject_cast<ListWindow*>(child);
    const QList<QMenu*> wanted = list ? list->menus() : m_ownMenus;
    // The area sends the same window again on every activation of the main window.
    if (wanted == m_shownMenus)
        return;
    menuBar()->clear();
    for (QMenu* menu : wanted)
        menuBar()->addMenu(menu);
    m_shownMenus = wanted;
}

QList<QMenu*> MainWindow::shownMenus() const
{
    return m_shownMenus;
}

void MainWindow::arrange(Arrangement arrangement)
{
    QList<QMdiSubWindow*> children;
    for (QMdiSubWindow* child : m_mdiArea->subWindowList()) {
        if (child->isVisible() && !child->isMinimized())
            children << child;
    }
    if (arrangement == Arrangement::Cascade || children.isEmpty()) {
        m_mdiArea->cascadeSubWindows();
        return;
    }
    const QRect area = m_mdiArea->viewport()->rect();
    const int count = int(children.size());
    for (int i = 0; i < count; ++i) {
        QMdiSubWindow* child = children.at(i);
        if (child->isMaximized())
            child->showNormal();
        if (arrangement == Arrangement::TileVertical) {
            const int width = area.width() / count;
            child->setGeometry(i * width, 0, width, area.height());
        } else {
            const int height = area.height() / count;
            child->setGeometry(0, i * height, area.width(), height);
        }
    }
}

void MainWindow::shapeOutline()
{
    // The window's own area is what can be shaped; the frame belongs to the window manager.
    WindowSystem::setRoundRectRegion(this, width(), height(), RoundCorner, RoundCorner);
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    shapeOutline();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    m_session.closeTips();
    removeTrayIcon();
    m_mdiArea->closeAllSubWindows();
    event->accept();
    emit unloaded();
    m_session.endProgram(0);
}

} // namespace trovix
