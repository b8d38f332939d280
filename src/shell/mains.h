#pragma once

#include "imagelist.h"
#include "platform/recordset.h"
#include "reminders/duecheck.h"

#include <QMainWindow>

#include <array>

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QTimer;
class QToolBar;

namespace trovix {

class Module1;
class StatusPanel;

// The main window: the frame that holds the list windows, with its menus,
// toolbar, status bar and due-check timer.
class Mains : public QMainWindow
{
    Q_OBJECT

public:
    explicit Mains(Module1& module);

    // Texts other windows use.
    static const QString RestingMessage;

    // How Arrange places the child windows.
    enum Arrangement { Cascade = 0, TileHorizontal = 1, TileVertical = 2 };

    QMdiArea* MDIClient;
    QToolBar* Toolbar1;
    ImageList ImageList1;
    QStatusBar* StatusBar1;
    QTimer* Timer1;

    QMenu* mnuarrange;
    QAction* mnuresize;
    QAction* sep;
    QAction* mnuontop;
    QAction* sep1;
    QAction* mnuexits;

    QMenu* window;
    QAction* mnugames;
    QAction* mnusoftwares;
    QAction* mnuwindows;
    QAction* mnudocuments;
    QAction* mnureminders;

    // The notification-area icon's pop-up menu; never in the menu bar.
    QMenu* mnusystray;
    QAction* mnutrovix;
    QAction* sep2;
    QAction* mnuexit;

    QMenu* mnuabout;
    QAction* mnuhelp;
    QAction* mnutip;
    QAction* sep3;
    QAction* mnuversion;

    // Status panel by its position, 1 to 3.
    StatusPanel* Panels(int index) const;
    // The message line every window writes its notices into.
    void setMessage(const QString& text);
    QString message() const;

    // The due check's own recordset, opened afresh on every tick.
    Recordset rsDue;
    // Reminders announced whose done mark is still to be stored.
    QList<DueCheck::UnstoredMark> unstoredMarks;

    void Form_Load();
    // Coming back to the main window closes the about box and the tips.
    void Form_Activate();
    void Form_Resize();
    void Form_Unload();
    void Timer1_Timer();
    void Toolbar1_ButtonClick(int position);
    void StatusBar1_PanelClick(int index);
    void StatusBar1_PanelDblClick(int index);

    void mnuresize_Click();
    void mnuontop_Click();
    void mnuexits_Click();
    void mnutrovix_Click();
    void mnuexit_Click();
    void mnuhelp_Click();

    // Places the child windows: overlapping, one above the other across the whole width, or side by side.
    void Arrange(int arrangement);
    // The menus in the menu bar now: the active child's, or the main window's own.
    QList<QMenu*> shownMenus() const;

    // The notification-area icon's presses: "p" pops up the menu, anything else shows the window.
    void SysTrayMouseEventHandler(const QString& action);
    // Gives the window a rounded outline fitted to its outer size.
    void CreateRoundRectFromWindow(QWidget* target);

signals:
    void unloaded();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void buildToolbar();
    void buildStatusBar();
    void connectHandlers();
    // While a child window is active its menus stand in the menu bar in place of these.
    void showMenusOf(QMdiSubWindow* child);

    Module1& m_module;
    std::array<StatusPanel*, 3> m_panels{};
    QList<QMenu*> m_ownMenus;
    QList<QMenu*> m_shownMenus;
};

} // namespace trovix
