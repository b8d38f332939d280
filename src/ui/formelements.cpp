#include "formelements.h"

#include "imagelist.h"
#include "twips.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

namespace trovix {

QMenu* addMenu(QMenuBar* bar, const char* name, const QString& caption)
{
    QMenu* menu = bar->addMenu(caption);
    menu->setObjectName(QString::fromLatin1(name));
    return menu;
}

QMenu* addMenu(QWidget* owner, const char* name, const QString& caption)
{
    auto* menu = new QMenu(caption, owner);
    menu->setObjectName(QString::fromLatin1(name));
    return menu;
}

QAction* addMenuItem(QMenu* menu, const char* name, const QString& caption, const QKeySequence& shortcut)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(shortcut);
    return action;
}

QAction* addMenuSeparator(QMenu* menu, const char* name)
{
    QAction* action = menu->addSeparator();
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text, const QFont& font, const QColor& colour)
{
    QLabel* label = makeLabel(parent, name, text, font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    return label;
}

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text, const QFont& font)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    label->setFont(font);
    return label;
}

void addToolbarButtons(QToolBar* toolbar, const ImageList& images, const QList<ToolbarButtonDesign>& buttons)
{
    int position = 1;
    for (const ToolbarButtonDesign& button : buttons) {
        QAction* action = toolbar->addAction(images.image(QString::fromLatin1(button.imageKey)),
                                             QString::fromLatin1(button.caption));
        action->setData(position);
        action->setObjectName(QStringLiteral("%1_Button%2").arg(toolbar->objectName()).arg(position));
        ++position;
    }
}

QAction* toolbarButton(const QToolBar* toolbar, int position)
{
    const QList<QAction*> actions = toolbar->actions();
    return position >= 1 && position <= actions.size() ? actions.at(position - 1) : nullptr;
}

void widenToText(QWidget* window)
{
    QList<QWidget*> elements;
    for (QLabel* label : window->findChildren<QLabel*>())
        elements << label;
    for (QComboBox* box : window->findChildren<QComboBox*>())
        elements << box;
    for (QWidget* element : elements) {
        const int wanted = element->sizeHint().width();
        if (element->width() < wanted)
            element->resize(wanted, element->height());
    }
}

void place(QWidget* window, const QList<Placement>& placements)
{
    for (const Placement& p : placements) {
        if (auto* element = window->findChild<QWidget*>(QString::fromLatin1(p.element)))
            element->setGeometry(twips::toPixels(p.left, p.top, p.width, p.height));
    }
}

} // namespace trovix
