#pragma once

#include "imagelist.h"

#include <QMainWindow>

#include <array>

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;

namespace trovix {

class Session;
class StatusPanel;
class TrayIcon;

// The main window: the frame that holds the list windows, with its menus, toolbar and status bar. The
// status bar's middle panel is the message line every window writes its notices into.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(Session& session);
    ~MainWindow() override;

    // The message line's text at rest.
    static const QString RestingMessage;

    // How the child windows are placed: overlapping, one above the other across the whole width, or side
    // by side.
    enum class Arrangement { Cascade, TileHorizontal, TileVertical };

    // Puts the notification-area icon in place; the main window is then ready to show.
    void load();

    void setMessage(const QString& text);
    QString message() const;
    // Panel 3 tells whether the window stays on top of all others.
    void showOnTop(bool onTop);

    void addChild(QMdiSubWindow* child);
    void arrange(Arrangement arrangement);
    // The menus in the menu bar now: the active child's, or the main window's own.
    QList<QMenu*> shownMenus() const;

    // Shows the window, also from the notification area, and makes it the active one.
    void bringForward();
    // The notification-area icon goes, as when the program ends.
    void removeTrayIcon();

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
    // While a child window is active its menus stand in the menu bar in place of these.
    void showMenusOf(QMdiSubWindow* child);
    void toolbarButtonClicked(int position);
    // Gives the window a rounded outline fitted to its outer size.
    void shapeOutline();

    Session& m_session;
    ImageList m_images;
    QMdiArea* m_mdiArea;
    QToolBar* m_toolBar;
    TrayIcon* m_trayIcon = nullptr;
    std::array<StatusPanel*, 3> m_panels{};
    QList<QMenu*> m_ownMenus;
    QList<QMenu*> m_shownMenus;
};

} // namespace trovix
