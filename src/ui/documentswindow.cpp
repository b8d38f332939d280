#include "documentswindow.h"

#include "clicklabel.h"
#include "core/catalog.h"
#include "core/commandline.h"
#include "core/database.h"
#include "desktop/fonts.h"
#include "session.h"
#include "textbox.h"
#include "treeview.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPushButton>

namespace trovix {

namespace {
constexpr int SetApplicationButton = 6;
} // namespace

DocumentsWindow::DocumentsWindow(Session& session)
    : CategoryWindow(session, Categories::documents())
{
    buildApplicationFrame();
    place(this, traits().layout);
    widenToText(this);
}

void DocumentsWindow::buildApplicationFrame()
{
    editMenu()->addSeparator();
    m_setApplicationAction =
            addMenuItem(editMenu(), "setApplicationAction", tr("&Set Application Path"), Qt::CTRL | Qt::Key_P);
    connect(m_setApplicationAction, &QAction::triggered, this, &DocumentsWindow::editApplication);

    m_applicationFrame = new QGroupBox(tr("Set Application Path"), form());
    m_applicationFrame->setObjectName(QStringLiteral("applicationFrame"));
    m_applicationFrame->hide();
    auto* pathLabel = new QLabel(tr("Path"), m_applicationFrame);
    pathLabel->setObjectName(QStringLiteral("applicationPathLabel"));
    pathLabel->setFont(designFont(QStringLiteral("MS Sans Serif"), 8.25, true));
    m_applicationEdit = new TextBox(TextBox::Lines::Many, m_applicationFrame);
    m_applicationEdit->setObjectName(QStringLiteral("applicationEdit"));
    m_applicationEdit->setManualDrop(true);
    connect(m_applicationEdit, &TextBox::dropped, this, &DocumentsWindow::dropOnApplication);
    auto* browseButton = new QPushButton(tr("Browse"), m_applicationFrame);
    browseButton->setObjectName(QStringLiteral("applicationBrowseButton"));
    connect(browseButton, &QPushButton::clicked, this, &DocumentsWindow::browseApplication);
    auto* setLabel = new ClickLabel(tr("SET"), m_applicationFrame);
    setLabel->setObjectName(QStringLiteral("setLabel"));
    setLabel->setFont(designFont(QStringLiteral("MS Sans Serif"), 8.25, true));
    setLabel->setCursor(Qt::PointingHandCursor);
    connect(setLabel, &ClickLabel::clicked, this, &DocumentsWindow::storeApplication);
}

std::optional<Entry> DocumentsWindow::applicationRow() const
{
    return entries().findByName(Catalog::DocumentsApplicationRow);
}

void DocumentsWindow::reload()
{
    CategoryWindow::reload();
    // A missing row, or one whose path has no value, leaves the application as it was.
    m_applicationPath = EntryKinds::documentsApplication(entries(), m_applicationPath);
}

void DocumentsWindow::cancel()
{
    CategoryWindow::cancel();
    m_setApplicationAction->setEnabled(true);
    toolbarAction(SetApplicationButton)->setEnabled(true);
    m_applicationFrame->hide();
}

void DocumentsWindow::enterEditState()
{
    CategoryWindow::enterEditState();
    m_setApplicationAction->setEnabled(false);
    toolbarAction(SetApplicationButton)->setEnabled(false);
}

void DocumentsWindow::toolbarButtonClicked(int position)
{
    if (position == SetApplicationButton)
        editApplication();
    else
        CategoryWindow::toolbarButtonClicked(position);
}

void DocumentsWindow::editApplication()
{
    if (!m_applicationFrame->isHidden()) {
        storeApplication();
        return;
    }
    m_applicationFrame->show();
    newAction()->setEnabled(false);
    modifyAction()->setEnabled(false);
    deleteAction()->setEnabled(false);
    for (int position : {3, 4, 5})
        toolbarAction(position)->setEnabled(false);
    tree()->setEnabled(false);
    // Without the row, or without a value in it, the box keeps what it had.
    if (const std::optional<Entry> row = applicationRow(); row && row->path)
        m_applicationEdit->setText(*row->path);
    m_applicationEdit->setFocus();
}

void DocumentsWindow::storeApplication()
{
    const QString path = m_applicationEdit->text().trimmed();
    const bool stored = storeChange([&] {
        // The application row is delivered with the database; where it is missing it is made, so the
        // setting is kept.
        if (const std::optional<Entry> row = applicationRow())
            store().setPath(database(), row->id, path);
        else
            store().add(database(), Entry{0, Catalog::DocumentsApplicationRow, path, std::nullopt});
    });
    if (stored)
        reload();
}

void DocumentsWindow::browseApplication()
{
    // The program may end while the dialog is open, taking this window with it.
    const QPointer<DocumentsWindow> self(this);
    const QString chosen = session().services().openFileName(this, Categories::executableFilter());
    // The application path is split into words, so a chosen file is quoted where it would split.
    if (self && !chosen.isEmpty())
        m_applicationEdit->setText(CommandLine::quoteWord(chosen));
}

void DocumentsWindow::dropOnApplication(const QMimeData* data)
{
    m_applicationEdit->clear();
    const QString file = firstDroppedFile(data);
    if (!file.isEmpty())
        m_applicationEdit->setText(m_applicationEdit->text() + CommandLine::quoteWord(file));
}

LaunchPlan DocumentsWindow::launchPlan(const Entry& entry) const
{
    return EntryKinds::plan(*traits().kind, entry, m_applicationPath, session().programFolder());
}

} // namespace trovix
