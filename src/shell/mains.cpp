#include "mains.h"

#include "module1.h"
#include "platform/fonts.h"
#include "platform/twips.h"
#include "platform/windowsystem.h"
#include "statuspanel.h"
#include "store/programfiles.h"

#include <QCloseEvent>
#include <QCursor>
#include <QMdiArea>
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

struct ToolbarButton
{
    const char* caption;
    int image;
};
constexpr std::array<ToolbarButton, 6> ToolbarButtons{{
        {"Game", ImageList::Games},
        {"S/W", ImageList::Softwares},
        {"Win", ImageList::Windows},
        {"Docs", ImageList::Documents},
        {"Rem", ImageList::Reminders},
        {"Exit", ImageList::Exit},
}};

} // namespace

Mains::Mains(Module1& module)
    : m_module(module)
{
    setObjectName(QStringLiteral("mains"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(Caption);
    setWindowIcon(ImageList::programIcon());

    MDIClient = new QMdiArea(this);
    MDIClient->setObjectName(QStringLiteral("MDIClient"));
    MDIClient->setBackground(QColor(128, 128, 128));
    setCentralWidget(MDIClient);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(DueCheckInterval);

    buildMenus();
    buildToolbar();
    buildStatusBar();
    connectHandlers();

    // Wide enough for the six toolbar buttons, which together exceed the design width.
    const int width = std::max(twips::toPixelsX(ClientWidthTwips), Toolbar1->sizeHint().width());
    resize(width, twips::toPixelsY(ClientHeightTwips) + menuBar()->sizeHint().height());
    Timer1->start();
}

QAction* Mains::addItem(QMenu* menu, const char* name, const QString& caption, const QKeySequence& shortcut)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(shortcut);
    return action;
}

QAction* Mains::addSeparator(QMenu* menu, const char* name)
{
    QAction* action = menu->addSeparator();
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

void Mains::buildMenus()
{
    mnuarrange = menuBar()->addMenu(tr("&Arrange"));
    mnuarrange->setObjectName(QStringLiteral("mnuarrange"));
    mnuresize = addItem(mnuarrange, "mnuresize", tr("&Minimize"), Qt::CTRL | Qt::Key_Y);
    sep = addSeparator(mnuarrange, "sep");
    mnuontop = addItem(mnuarrange, "mnuontop", tr("&Always on Top"), Qt::CTRL | Qt::Key_O);
    sep1 = addSeparator(mnuarrange, "sep1");
    mnuexits = addItem(mnuarrange, "mnuexits", tr("&Exit"));

    window = menuBar()->addMenu(tr("&Windows"));
    window->setObjectName(QStringLiteral("window"));
    mnugames = addItem(window, "mnugames", tr("&Games"), Qt::CTRL | Qt::Key_G);
    mnusoftwares = addItem(window, "mnusoftwares", tr("&Softwares"), Qt::CTRL | Qt::Key_T);
    mnuwindows = addItem(window, "mnuwindows", tr("&Windows Softwares"), Qt::CTRL | Qt::Key_W);
    mnudocuments = addItem(window, "mnudocuments", tr("&Documents"), Qt::CTRL | Qt::Key_D);
    mnureminders = addItem(window, "mnureminders", tr("&Reminders"), Qt::CTRL | Qt::Key_R);

    mnusystray = new QMenu(tr("&Systray"), this);
    mnusystray->setObjectName(QStringLiteral("mnusystray"));
    mnutrovix = addItem(mnusystray, "mnutrovix", tr("&Trovix"));
    sep2 = addSeparator(mnusystray, "sep2");
    mnuexit = addItem(mnusystray, "mnuexit", tr("&Exit"));

    mnuabout = menuBar()->addMenu(tr("&Help"));
    mnuabout->setObjectName(QStringLiteral("mnuabout"));
    mnuhelp = addItem(mnuabout, "mnuhelp", tr("&Contents"), Qt::Key_F1);
    mnutip = addItem(mnuabout, "mnutip", tr("&Tip of the Day"), Qt::Key_F2);
    sep3 = addSeparator(mnuabout, "sep3");
    mnuversion = addItem(mnuabout, "mnuversion", tr("&Version"), Qt::Key_F3);
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
    int position = 1;
    for (const ToolbarButton& button : ToolbarButtons) {
        QAction* action = Toolbar1->addAction(ImageList1.image(button.image), QString::fromLatin1(button.caption));
        action->setData(position);
        action->setObjectName(QStringLiteral("Toolbar1_Button%1").arg(position));
        if (auto* toolButton = qobject_cast<QToolButton*>(Toolbar1->widgetForAction(action)))
            toolButton->setFixedSize(buttonSize);
        ++position;
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
        StatusBar1->addWidget(panel, isMessageLine ? 1 : 0);
        m_panels[i] = panel;
        connect(panel, &StatusPanel::clicked, this, [this, i] { StatusBar1_PanelClick(i + 1); });
        connect(panel, &StatusPanel::doubleClicked, this, [this, i] { StatusBar1_PanelDblClick(i + 1); });
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
    m_module.RemoveTrayIcon();
    MDIClient->closeAllSubWindows();
}

void Mains::Toolbar1_ButtonClick(int position)
{
    m_module.services().playSound(m_module.programFile(ProgramFiles::OverSound));
    switch (position) {
    case 6:
        m_module.mains.unload();
        break;
    default:
        // The list windows open from here once they exist.
        break;
    }
}

void Mains::StatusBar1_PanelClick(int index)
{
    if (index == 1)
        m_module.MinimizeToTray();
    else if (index == 3)
        m_module.ToggleOnTop();
}

void Mains::StatusBar1_PanelDblClick(int /*index*/)
{
    // Panel 2 opens the Tip of the Day window once it exists.
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
