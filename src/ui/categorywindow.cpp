#include "categorywindow.h"

#include "clicklabel.h"
#include "core/commandline.h"
#include "core/database.h"
#include "desktop/fonts.h"
#include "mainwindow.h"
#include "session.h"
#include "textbox.h"
#include "treeview.h"

#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>

namespace trovix {

namespace {

const QString FillInTheValues = QStringLiteral("Fill in the values");
const QString NoApostropheInName = QStringLiteral("' is not allowed in Name");
const QString NameAlreadyStored = QStringLiteral("This name already stored");

enum Field { Name, Path, Description };

// Labels grow to show their whole text, as they were designed to.
void showText(QLabel* label, const QString& text)
{
    label->setText(text);
    const int wanted = label->sizeHint().width();
    if (label->width() < wanted)
        label->resize(wanted, label->height());
}

} // namespace

CategoryWindow::CategoryWindow(Session& session, const CategoryTraits& traits)
    : ListWindow(session, traits.window)
    , m_traits(traits)
    , m_store(traits.kind->table)
{
    buildElements();
    place(this, m_traits.layout);
    widenToText(this);
}

void CategoryWindow::buildElements()
{
    const QFont fieldFont = designFont(QStringLiteral("MS Sans Serif"), 8.25, true);
    const QFont headingFont = designFont(QStringLiteral("Arial"), 14.25, true);

    m_runLabel = new ClickLabel(tr("Run"), form());
    m_runLabel->setObjectName(QStringLiteral("runLabel"));
    m_runLabel->setFont(designFont(QStringLiteral("MS Sans Serif"), 18, true));
    QPalette runPalette = m_runLabel->palette();
    runPalette.setColor(QPalette::WindowText, QColor(0, 0, 255));
    m_runLabel->setPalette(runPalette);
    m_runLabel->setCursor(Qt::PointingHandCursor);
    connect(m_runLabel, &ClickLabel::clicked, this, &CategoryWindow::startSelectedEntry);

    m_heading = makeLabel(form(), QStringLiteral("headingLabel"), m_traits.heading, headingFont, QColor(0, 128, 0));
    if (m_store.hasDescription())
        m_descriptionLine = makeLabel(form(), QStringLiteral("descriptionLabel"), QString(),
                                      designFont(QStringLiteral("Arial"), 9.75), QColor(192, 0, 0));

    const QStringList fieldNames = {tr("Name"), tr("Path"), tr("Description")};
    const char* const labelNames[] = {"nameLabel", "pathLabel", "descriptionFieldLabel"};
    const char* const editNames[] = {"nameEdit", "pathEdit", "descriptionEdit"};
    const int fields = m_store.hasDescription() ? 3 : 2;
    for (int i = 0; i < fields; ++i) {
        makeLabel(detailsFrame(), QString::fromLatin1(labelNames[i]), fieldNames.at(i), fieldFont);
        m_edits[i] = new TextBox(i == Name ? TextBox::Lines::One : TextBox::Lines::Many, detailsFrame());
        m_edits[i]->setObjectName(QString::fromLatin1(editNames[i]));
    }
    // Names were written between apostrophes in every lookup once, so an apostrophe cannot be typed into one.
    m_edits[Name]->setSwallowed([](QChar c) { return c == QLatin1Char('\''); });
    m_edits[Path]->setManualDrop(true);
    connect(m_edits[Path], &TextBox::dropped, this, &CategoryWindow::dropOnPath);

    m_browseButton = new QPushButton(tr("Browse"), detailsFrame());
    m_browseButton->setObjectName(QStringLiteral("browseButton"));
    connect(m_browseButton, &QPushButton::clicked, this, [this] { browse(); });
    // In the order the fields are read: name, path with its Browse, then the description.
    QWidget::setTabOrder(m_edits[Name], m_edits[Path]);
    QWidget::setTabOrder(m_edits[Path], m_browseButton);
    if (m_edits[Description])
        QWidget::setTabOrder(m_browseButton, m_edits[Description]);

    connect(tree(), &TreeView::returnPressed, this, &CategoryWindow::startSelectedEntry);
    connect(tree(), &TreeView::nodeDoubleClicked, this, &CategoryWindow::startSelectedEntry);
}

bool CategoryWindow::readRows()
{
    try {
        m_entries = m_store.list(database());
        return true;
    } catch (const DatabaseError&) {
        m_entries = EntryList();
        return false;
    }
}

void CategoryWindow::reload()
{
    const bool listed = listRows();
    showHeading(m_traits.heading);
    if (m_descriptionLine)
        m_descriptionLine->clear();
    cancel();
    setEntryCommands(false);
    if (!listed)
        setMessage(ListUnreadable);
}

void CategoryWindow::showHeading(const QString& text)
{
    showText(m_heading, text);
}

void CategoryWindow::clearEditor()
{
    for (TextBox* box : m_edits) {
        if (box)
            box->clear();
    }
}

void CategoryWindow::showSelectedRow()
{
    const std::optional<Entry> entry = m_entries.find(*selectedId());
    if (!entry)
        return;
    if (entry->name)
        showHeading(*entry->name);
    // A description without a value shows as none, not as the one of the entry shown before.
    if (m_descriptionLine)
        showText(m_descriptionLine, entry->description.value_or(QString()));
}

void CategoryWindow::newEntry()
{
    showHeading(m_traits.headingAfterNew);
    if (m_descriptionLine)
        m_descriptionLine->clear();
    clearEditor();
    enterEditState();
    forgetSelectedRow();
    m_edits[Name]->setFocus();
}

void CategoryWindow::modifyEntry()
{
    setModifying(true);
    // A column without a value leaves its box as it was.
    if (const std::optional<Entry> entry = selectedId() ? m_entries.find(*selectedId()) : std::nullopt) {
        const std::optional<QString> values[] = {entry->name, entry->path, entry->description};
        for (int i = 0; i < int(m_edits.size()); ++i) {
            if (m_edits[i] && values[i])
                m_edits[i]->setText(*values[i]);
        }
    }
    enterEditState();
    m_edits[Name]->setFocus();
}

void CategoryWindow::save()
{
    const QString name = m_edits[Name]->text().trimmed();
    const QString path = m_edits[Path]->text().trimmed();
    const QString description = m_edits[Description] ? m_edits[Description]->text().trimmed() : QString();
    if (name.isEmpty()) {
        setMessage(FillInTheValues);
        m_edits[Name]->setFocus();
        return;
    }
    if (name.contains(QLatin1Char('\''))) {
        setMessage(NoApostropheInName);
        return;
    }
    if (path.isEmpty()) {
        setMessage(FillInTheValues);
        m_edits[Path]->setFocus();
        return;
    }
    // Two entries of one name would need two nodes of one key, and every lookup would find only one.
    if (nameTaken(name)) {
        setMessage(NameAlreadyStored);
        m_edits[Name]->setFocus();
        return;
    }
    const bool stored = storeChange([&] {
        Entry entry{0, name, path, description};
        if (isModifying()) {
            entry.id = requireSelectedRow();
            m_store.update(database(), entry);
        } else {
            m_store.add(database(), entry);
        }
    });
    if (stored)
        reload();
}

void CategoryWindow::removeRow(qint64 id)
{
    m_store.remove(database(), id);
}

LaunchPlan CategoryWindow::launchPlan(const Entry& entry) const
{
    return EntryKinds::plan(*m_traits.kind, entry, QString(), session().programFolder());
}

void CategoryWindow::startSelectedEntry()
{
    if (rootSelected() || !selectedId())
        return;
    const std::optional<Entry> entry = m_entries.find(*selectedId());
    if (!entry)
        return;
    const LaunchPlan plan = launchPlan(*entry);
    LaunchResult result;
    if (const auto* file = std::get_if<OpenFile>(&plan))
        result = session().services().open(*file);
    else if (const auto* program = std::get_if<StartProgram>(&plan))
        result = session().services().start(*program);
    else
        result = std::get<LaunchResult>(plan);
    setMessage(result.started() ? MainWindow::RestingMessage : EntryKinds::outcomeText(*m_traits.kind, result.outcome));
}

void CategoryWindow::browse()
{
    // The program may end while the dialog is open, taking this window with it.
    const QPointer<CategoryWindow> self(this);
    const QString chosen = session().services().openFileName(this, m_traits.browseFilter);
    if (self && !chosen.isEmpty())
        m_edits[Path]->setText(pathForBox(chosen));
}

// A command line is split into words when it starts, so a file put into it whole is quoted where its
// name would otherwise split; the other windows open their path as one file and take it as it stands.
QString CategoryWindow::pathForBox(const QString& file) const
{
    return m_traits.kind->launch == LaunchKind::CommandLine ? CommandLine::quoteWord(file) : file;
}

void CategoryWindow::dropOnPath(const QMimeData* data)
{
    TextBox* box = m_edits[Path];
    box->clear();
    const QString file = firstDroppedFile(data);
    if (!file.isEmpty())
        box->setText(box->text() + pathForBox(file));
}

} // namespace trovix
