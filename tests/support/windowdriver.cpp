#include "windowdriver.h"

#include "desktop/windowsystem.h"

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace trovix {

void WindowRun::showMainWindow()
{
    openDatabase();
    WindowSystem::bringToForeground(mainWindow);
    if (!QTest::qWaitForWindowActive(mainWindow))
        qWarning("the main window did not become active");
}

QStringList WindowRun::rows(const QString& table) const
{
    Query rows = session->database().query(QStringLiteral("select * from %1 order by rowid").arg(table));
    QStringList result;
    while (rows.next()) {
        QStringList cells;
        for (int i = 0; i < rows.columnCount(); ++i)
            cells << rows.text(i).value_or(QStringLiteral("\\N"));
        result << cells.join(QLatin1Char('|'));
    }
    return result;
}

void WindowRun::addEntry(const QString& table, const QVariant& name, const QVariant& path)
{
    execute(QStringLiteral("insert into %1 (%2, path) values (?, ?)").arg(table, EntryStore(table).keyColumn()),
            {name, path});
}

TextBox* field(const ListWindow* window, int index)
{
    static const char* const category[] = {"nameEdit", "pathEdit", "descriptionEdit"};
    static const char* const reminders[] = {"messageEdit", "hourEdit", "minuteEdit"};
    const bool reminder = window->objectName() == Catalog::Reminders;
    return window->findChild<TextBox*>(QString::fromLatin1((reminder ? reminders : category)[index]));
}

void clickNode(ListWindow* window, const Node* node)
{
    TreeView* tree = treeOf(window);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->nodeRect(node).center());
}

void doubleClickNode(ListWindow* window, const Node* node)
{
    TreeView* tree = treeOf(window);
    clickNode(window, node);
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, tree->nodeRect(node).center());
}

void doubleClick(QWidget* widget)
{
    QWidget* top = widget->window();
    QTest::mouseDClick(top->windowHandle(), Qt::LeftButton, {}, widget->mapTo(top, widget->rect().center()));
}

void clickButton(ListWindow* window, int position)
{
    auto* toolbar = part<QToolBar>(window, "toolBar");
    QAction* action = toolbarButton(toolbar, position);
    QWidget* button = action ? toolbar->widgetForAction(action) : nullptr;
    if (!button)
        QFAIL("no such toolbar button");
    QTest::mouseClick(button, Qt::LeftButton);
}

void enterText(TextBox* box, const QString& text, Input how)
{
    box->clear();
    box->setFocus();
    if (how == Input::Pasted) {
        QApplication::clipboard()->setText(text);
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        return;
    }
    for (qsizetype i = 0; i < text.size(); ++i) {
        QString one(text.at(i));
        if (text.at(i).isHighSurrogate() && i + 1 < text.size())
            one += text.at(++i);
        QTest::sendKeyEvent(QTest::Press, box, Qt::Key_unknown, one, Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, box, Qt::Key_unknown, one, Qt::NoModifier);
    }
}

void dropOn(QWidget* widget, const QMimeData& data)
{
    // As the window system delivers it: to the widget under the mouse or the nearest parent that takes
    // drops, and to nobody when none below the window does.
    QWidget* target = widget;
    if (auto* area = qobject_cast<QAbstractScrollArea*>(widget))
        target = area->viewport();
    const QPoint global = target->mapToGlobal(target->rect().center());
    while (target && !target->isWindow() && !target->acceptDrops())
        target = target->parentWidget();
    if (!target || !target->acceptDrops())
        return;
    const QPoint at = target->mapFromGlobal(global);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    // Each event only once the one before was accepted.
    QApplication::sendEvent(target, &enter);
    if (enter.isAccepted() && (QApplication::sendEvent(target, &move), move.isAccepted()))
        QApplication::sendEvent(target, &drop);
}

Node* nodeByText(ListWindow* window, const QString& text)
{
    Node* root = treeOf(window)->root();
    if (root && root->text() == text)
        return root;
    return treeOf(window)->childByText(text);
}

QStringList childTexts(ListWindow* window)
{
    QStringList texts;
    for (int i = 0; i < treeOf(window)->childCount(); ++i)
        texts << treeOf(window)->child(i)->text();
    return texts;
}

namespace {

// Raises or lowers the calling thread's power to pass over file permissions.
bool setFileOverride(bool on)
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    if (syscall(SYS_capget, &header, data) != 0)
        return false;
    const unsigned rights = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);
    if (on)
        data[0].effective |= rights & data[0].permitted;
    else
        data[0].effective &= ~rights;
    return syscall(SYS_capset, &header, data) == 0;
}

} // namespace

ReadOnlyFile::ReadOnlyFile(const QString& fileName)
    : m_fileName(fileName)
{
    QFile::setPermissions(fileName, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    if (geteuid() == 0)
        m_droppedRights = setFileOverride(false);
    m_readOnly = !QFile(fileName).open(QIODevice::ReadWrite);
}

ReadOnlyFile::~ReadOnlyFile()
{
    if (m_droppedRights)
        setFileOverride(true);
    QFile::setPermissions(m_fileName, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
}

} // namespace trovix
