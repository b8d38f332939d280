#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>

class QAction;
class QColor;
class QFont;
class QLabel;
class QMenu;
class QMenuBar;
class QToolBar;
class QWidget;

namespace trovix {

class ImageList;

// Building blocks every window's elements are made of, each named by its design
// name so that it can be found with findChild.

QMenu* addMenu(QMenuBar* bar, const char* name, const QString& caption);
QMenu* addMenu(QWidget* owner, const char* name, const QString& caption);
QAction* addMenuItem(QMenu* menu, const char* name, const QString& caption, const QKeySequence& shortcut = {});
QAction* addMenuSeparator(QMenu* menu, const char* name = "");

// A label that shows its text exactly as it is: what it shows may come from the user or the file, and
// is never read as markup. Without a colour it keeps the palette's.
QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text, const QFont& font, const QColor& colour);
QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text, const QFont& font);

// A toolbar button: its caption and the key of its picture in the window's image list.
struct ToolbarButtonDesign
{
    const char* caption;
    const char* imageKey;
};

// Adds the buttons in order; each is addressed by its position from 1, kept in the action's data.
void addToolbarButtons(QToolBar* toolbar, const ImageList& images, const QList<ToolbarButtonDesign>& buttons);
// The button at a position from 1; nullptr outside the toolbar.
QAction* toolbarButton(const QToolBar* toolbar, int position);

// Where an element stands at design time, in twips, relative to its parent.
struct Placement
{
    const char* element;
    int left, top, width, height;
};

// Places the named elements found below the window; names not found are passed over.
void place(QWidget* window, const QList<Placement>& placements);
// Widens the labels and drop-down boxes below the window that are too narrow for their text: the design
// widths were measured with other fonts, and a cut "AM" reads as another word.
void widenToText(QWidget* window);

} // namespace trovix
