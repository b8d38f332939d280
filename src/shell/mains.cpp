#include "mains.h"

#include "extras/about.h"
#include "extras/tip.h"
#include "formelements.h"
#include "listwindow.h"
#include "module1.h"
#include "platform/fonts.h"
#include "platform/twips.h"
#include "platform/windowsystem.h"
#include "reminders/duecheck.h"
#include "statuspanel.h"
#include "store/programfiles.h"

#include <QCloseEvent>
#include <QCursor>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>

namespace trovix {

const QString Mains::RestingMessage = QStringLiteral("Double Click for Tip of the Day");

namespace {

const QString Caption = QStringLiteral("Marlen's TROVIX");
const QString TrayTip = QStringLiteral("Trovix 1.0");
constexpr int DueCheckInterval = 6000;
constexpr int ClientWidthTwips = 7050;
constexpr int ClientHeightTwips = 5325;
constexpr int ChildHeightTwips = 4875; // a list window's design outer height
constexpr int ToolbarButtonWidthTwips = 1429;
constexpr int ToolbarButtonHeightTwips = 582;
constexpr int RoundCorner = 50;

struct PanelDesign
{
    const char* text;
    const char* toolTip;
    int widthTwips;
};
constexpr std::array<PanelDesign, 3> PanelDesigns{{
        {"Minimize", "Minimize to System Tray", 1446},
        {"Double Click for Tip of the Day", "Messages from TROVIX", 9349},
        {"N", "A - Always on Top  N - Not on Top", 1235},
}};

const QList<ToolbarButtonDesign> ToolbarButtons = {
        {"Game", "gam"}, {"S/W", "sof"}, {"Win", "win"}, {"Docs", "doc"}, {"Rem", "rem"}, {"Exit", "exit"},
};

// The child window each of the first five toolbar buttons shows.
constexpr std::array<ChildWindow, 5> ToolbarChildren{ChildWindow::Games, ChildWindow::Softwares, ChildWindow::Windows,
                                                     ChildWindow::Documents, ChildWindow::Reminders};

} // namespace

Mains::Mains(Module1& module)
    : m_module(module)
{
    setObjectName(QStringLiteral("mains"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(Caption);
    setWindowIcon(ImageList::programIcon());
    // No pop-up of the window's own over the toolbar and the menu bar: its tick box would hide the toolbar
    // with no way back.
    setContextMenuPolicy(Qt::NoContextMenu);

    MDIClient = new QMdiArea(this);
    MDIClient->setObjectName(QStringLiteral("MDIClient"));
    MDIClient->setBackground(QColor(128, 128, 128));
    MDIClient->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    MDIClient->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(MDIClient);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(DueCheckInterval);

    buildMenus();
    buildToolbar();
    buildStatusBar();
    connectHandlers();

    // Wide enough for the six toolbar buttons, which together exceed the design width, and tall enough
    // for a list window at its design size between the toolbar and the status bar.
    const int width = std::max(twips::toPixelsX(ClientWidthTwips), Toolbar1->sizeHint().width());
    const int chrome = menuBar()->sizeHint().height() + Toolbar1->sizeHint().height() + StatusBar1->sizeHint().height();
    const int height = std::max(twips::toPixelsY(ClientHeightTwips) + menuBar()->sizeHint().height(),
                                chrome + twips::toPixelsY(ChildHeightTwips) + 2 * MDIClient->frameWidth());
    resize(width, height);
    Timer1->start();
}

void Mains::buildMenus()
{
    mnuarrange = addMenu(menuBar(), "mnuarrange", tr("&Arrange"));
    mnuresize = addMenuItem(mnuarrange, "mnuresize", tr("&Minimize"), Qt::CTRL | Qt::Key_Y);
    sep = addMenuSeparator(mnuarrange, "sep");
    mnuontop = addMenuItem(mnuarrange, "mnuontop", tr("&Always on Top"), Qt::CTRL | Qt::Key_O);
    sep1 = addMenuSeparator(mnuarrange, "sep1");
    mnuexits = addMenuItem(mnuarrange, "mnuexits", tr("&Exit"));

    window = addMenu(menuBar(), "window", tr("&Windows"));
    mnugames = addMenuItem(window, "mnugames", tr("&Games"), Qt::CTRL | Qt::Key_G);
    mnusoftwares = addMenuItem(window, "mnusoftwares", tr("&Softwares"), Qt::CTRL | Qt::Key_T);
    mnuwindows = addMenuItem(window, "mnuwindows", tr("&Windows Softwares"), Qt::CTRL | Qt::Key_W);
    mnudocuments = addMenuItem(window, "mnudocuments", tr("&Documents"), Qt::CTRL | Qt::Key_D);
    mnureminders = addMenuItem(window, "mnureminders", tr("&Reminders"), Qt::CTRL | Qt::Key_R);

    mnusystray = addMenu(this, "mnusystray", tr("&Systray"));
    mnutrovix = addMenuItem(mnusystray, "mnutrovix", tr("&Trovix"));
    sep2 = addMenuSeparator(mnusystray, "sep2");
    mnuexit = addMenuItem(mnusystray, "mnuexit", tr("&Exit"));

    mnuabout = addMenu(menuBar(), "mnuabout", tr("&Help"));
    mnuhelp = addMenuItem(mnuabout, "mnuhelp", tr("&Contents"), Qt::Key_F1);
    mnutip = addMenuItem(mnuabout, "mnutip", tr("&Tip of the Day"), Qt::Key_F2);
    sep3 = addMenuSeparator(mnuabout, "sep3");
    mnuversion = addMenuItem(mnuabout, "mnuversion", tr("&Version"), Qt::Key_F3);

    m_ownMenus = {mnuarrange, window, mnuabout};
    m_shownMenus = m_ownMenus;
}

void Mains::buildToolbar()
{
    Toolbar1 = addToolBar(tr("Toolbar"));
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setMovable(false);
    Toolbar1->setFloatable(false);
    Toolbar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    Toolbar1->setIconSize(QSize(16, 16));
    const QSize buttonSize = twips::toPixels(ToolbarButtonWidthTwips, ToolbarButtonHeightTwips);
    addToolbarButtons(Toolbar1, ImageList1, ToolbarButtons);
    for (QAction* action : Toolbar1->actions()) {
        if (auto* toolButton = qobject_cast<QToolButton*>(Toolbar1->widgetForAction(action)))
            toolButton->setFixedSize(buttonSize);
    }
}

void Mains::buildStatusBar()
{
    StatusBar1 = statusBar();
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setFont(designFont(QStringLiteral("Comic Sans MS"), 8.25, true));
    StatusBar1->setSizeGripEnabled(false);
    for (int i = 0; i < 3; ++i) {
        const PanelDesign& design = PanelDesigns[i];
        auto* panel = new StatusPanel(tr(design.text), tr(design.toolTip), design.widthTwips, StatusBar1);
        panel->setObjectName(QStringLiteral("Panels(%1)").arg(i + 1));
        // The message line gives way when the window is narrower than the panels.
        const bool isMessageLine = i == 1;
        if (!isMessageLine)
            panel->setFixedWidth(panel->sizeHint().width());
        // Permanent: a status tip shown in the bar never hides the panels.
        StatusBar1->addPermanentWidget(panel, isMessageLine ? 1 : 0);
        m_panels[i] = panel;
        connect(panel, &StatusPanel::Click, this, [this, i] { StatusBar1_PanelClick(i + 1); });
        connect(panel, &StatusPanel::DblClick, this, [this, i] { StatusBar1_PanelDblClick(i + 1); });
    }
}

void Mains::connectHandlers()
{
    connect(mnuresize, &QAction::triggered, this, &Mains::mnuresize_Click);
    connect(mnuontop, &QAction::triggered, this, &Mains::mnuontop_Click);
    connect(mnuexits, &QAction::triggered, this, &Mains::mnuexits_Click);
    connect(mnutrovix, &QAction::triggered, this, &Mains::mnutrovix_Click);
    connect(mnuexit, &QAction::triggered, this, &Mains::mnuexit_Click);
    connect(mnuhelp, &QAction::triggered, this, &Mains::mnuhelp_Click);
    connect(Timer1, &QTimer::timeout, this, &Mains::Timer1_Timer);
    connect(mnutip, &QAction::triggered, this, [this] { m_module.ShowTips(); });
    connect(mnuversion, &QAction::triggered, this, [this] { m_module.ShowAbout(); });
    const std::array<std::pair<QAction*, ChildWindow>, 5> childItems{{{mnugames, ChildWindow::Games},
                                                                      {mnusoftwares, ChildWindow::Softwares},
                                                                      {mnuwindows, ChildWindow::Windows},
                                                                      {mnudocuments, ChildWindow::Documents},
                                                                      {mnureminders, ChildWindow::Reminders}}};
    for (const auto& [item, child] : childItems)
        connect(item, &QAction::triggered, this, [this, which = child] { m_module.ShowChild(which); });
    connect(MDIClient, &QMdiArea::subWindowActivated, this, &Mains::showMenusOf);
    connect(Toolbar1, &QToolBar::actionTriggered, this,
            [this](QAction* action) { Toolbar1_ButtonClick(action->data().toInt()); });
}

StatusPanel* Mains::Panels(int index) const
{
    return index >= 1 && index <= 3 ? m_panels[index - 1] : nullptr;
}

void Mains::setMessage(const QString& text)
{
    m_panels[1]->setText(text);
}

QString Mains::message() const
{
    return m_panels[1]->text();
}

void Mains::Form_Load()
{
    m_module.helpFile = m_module.programFile(ProgramFiles::Help);
    m_module.alwaysOnTop = false;
    m_module.HookWindow(this);
    const QIcon icon = windowIcon();
    m_module.AddTrayIcon(this, static_cast<std::uint32_t>(icon.cacheKey()), icon, TrayTip);
}

void Mains::Form_Resize()
{
    CreateRoundRectFromWindow(this);
}

void Mains::Form_Unload()
{
    m_module.tip.unload();
    m_module.RemoveTrayIcon();
    MDIClient->closeAllSubWindows();
}

void Mains::Timer1_Timer()
{
    DueCheck::run(m_module, rsDue);
}

void Mains::Toolbar1_ButtonClick(int position)
{
    m_module.services().playSound(m_module.programFile(ProgramFiles::OverSound));
    if (position >= 1 && position <= int(ToolbarChildren.size()))
        m_module.ShowChild(ToolbarChildren[size_t(position - 1)]);
    else if (position == 6)
        m_module.mains.unload();
}

void Mains::StatusBar1_PanelClick(int index)
{
    if (index == 1)
        m_module.MinimizeToTray();
    else if (index == 3)
        m_module.ToggleOnTop();
}

void Mains::StatusBar1_PanelDblClick(int index)
{
    if (index == 2)
        m_module.ShowTips();
}

void Mains::Form_Activate()
{
    m_module.about.unload();
    m_module.tip.unload();
}

void Mains::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        Form_Activate();
}

void Mains::mnuresize_Click()
{
    m_module.MinimizeToTray();
}

void Mains::mnuontop_Click()
{
    m_module.ToggleOnTop();
}

void Mains::mnuexits_Click()
{
    m_module.mains.unload();
}

void Mains::mnutrovix_Click()
{
    WindowSystem::bringToForeground(this);
}

void Mains::mnuexit_Click()
{
    m_module.RemoveTrayIcon();
    m_module.mains.unload();
}

void Mains::mnuhelp_Click()
{
    m_module.services().winHelp(this, m_module.helpFile, HelpCommand::Finder, 0);
}

void Mains::showMenusOf(QMdiSubWindow* child)
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

QList<QMenu*> Mains::shownMenus() const
{
    return m_shownMenus;
}

void Mains::Arrange(int arrangement)
{
    QList<QMdiSubWindow*> children;
    for (QMdiSubWindow* child : MDIClient->subWindowList()) {
        if (child->isVisible() && !child->isMinimized())
            children << child;
    }
    if (arrangement == Cascade || children.isEmpty()) {
        MDIClient->cascadeSubWindows();
        return;
    }
    const QRect area = MDIClient->viewport()->rect();
    const int count = int(children.size());
    for (int i = 0; i < count; ++i) {
        QMdiSubWindow* child = children.at(i);
        if (child->isMaximized())
            child->showNormal();
        if (arrangement == TileVertical) {
            const int width = area.width() / count;
            child->setGeometry(i * width, 0, width, area.height());
        } else {
            const int height = area.height() / count;
            child->setGeometry(0, i * height, area.width(), height);
        }
    }
}

void Mains::SysTrayMouseEventHandler(const QString& action)
{
    WindowSystem::setForeground(this);
    if (action == QLatin1String("p"))
        mnusystray->exec(QCursor::pos());
    else
        mnutrovix_Click();
}

void Mains::CreateRoundRectFromWindow(QWidget* target)
{
    // The window's own area is what can be shaped; the frame belongs to the window manager.
    const int width = twips::roundHalfEven(twips::fromPixelsX(target->width()) / twips::twipsPerPixelX());
    const int height = twips::roundHalfEven(twips::fromPixelsY(target->height()) / twips::twipsPerPixelY());
    WindowSystem::setRoundRectRegion(target, width, height, RoundCorner, RoundCorner);
}

void Mains::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void Mains::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    event->accept();
    emit unloaded();
    m_module.endProgram(0);
}

} // namespace trovix
