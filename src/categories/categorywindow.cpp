#include "categorywindow.h"

#include "platform/clicklabel.h"
#include "platform/commandline.h"
#include "platform/fonts.h"
#include "platform/runtimeerror.h"
#include "platform/textbox.h"
#include "shell/mains.h"
#include "shell/module1.h"
#include "shell/treeview.h"
#include "store/programfiles.h"

#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>

namespace trovix {

namespace {

const QString FillInTheValues = QStringLiteral("Fill in the values");
const QString NoApostropheInName = QStringLiteral("' is not allowed in Name");
const QString NameAlreadyStored = QStringLiteral("This name already stored");

constexpr int EnterKey = 13;
constexpr int ShellFileNotFound = 2;
constexpr int ShellPathNotFound = 3;
constexpr int ShellSuccessAbove = 32;

// Labels grow to show their whole text, as they were designed to.
void showText(QLabel* label, const QString& text)
{
    label->setText(text);
    const int wanted = label->sizeHint().width();
    if (label->width() < wanted)
        label->resize(wanted, label->height());
}

} // namespace

CategoryWindow::CategoryWindow(Module1& module, const CategoryTraits& traits)
    : ListWindow(module, traits.window)
    , m_traits(traits)
{
    buildElements();
    place(this, m_traits.layout);
    widenToText(this);
}

void CategoryWindow::buildElements()
{
    const QFont fieldFont = designFont(QStringLiteral("MS Sans Serif"), 8.25, true);
    const QFont headingFont = designFont(QStringLiteral("Arial"), 14.25, true);

    Label1 = new ClickLabel(tr("Run"), Form);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(designFont(QStringLiteral("MS Sans Serif"), 18, true));
    QPalette runPalette = Label1->palette();
    runPalette.setColor(QPalette::WindowText, QColor(0, 0, 255));
    Label1->setPalette(runPalette);
    Label1->setCursor(Qt::PointingHandCursor);
    connect(Label1, &ClickLabel::Click, this, &CategoryWindow::Label1_Click);

    if (m_traits.hasDescription) {
        m_heading = makeLabel(Form, QStringLiteral("Label3(0)"), m_traits.heading, headingFont, QColor(0, 128, 0));
        m_descriptionLine = makeLabel(Form, QStringLiteral("Label3(1)"), QString(),
                                      designFont(QStringLiteral("Arial"), 9.75), QColor(192, 0, 0));
    } else {
        m_heading = makeLabel(Form, QStringLiteral("Label3"), m_traits.heading, headingFont, QColor(0, 128, 0));
    }

    const QStringList fieldNames = {tr("Name"), tr("Path"), tr("Description")};
    const int fields = m_traits.hasDescription ? 3 : 2;
    for (int i = 0; i < fields; ++i) {
        m_fieldLabels[i] = makeLabel(Frame1, QStringLiteral("Label2(%1)").arg(i), fieldNames.at(i), fieldFont);
        m_text[i] = new TextBox(i == 0 ? TextBox::Lines::One : TextBox::Lines::Many, Frame1);
        m_text[i]->setObjectName(QStringLiteral("Text1(%1)").arg(i));
    }
    // Names go between apostrophes in every lookup, so an apostrophe cannot be typed into one.
    m_text[0]->setSwallowed([](QChar c) { return c == QLatin1Char('\''); });
    m_text[1]->setManualDrop(true);
    connect(m_text[1], &TextBox::OLEDragDrop, this, [this](const QMimeData* data) { Text1_OLEDragDrop(1, data); });

    Command1 = new QPushButton(tr("Browse"), Frame1);
    Command1->setObjectName(QStringLiteral("Command1"));
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    // In the order the fields are read: name, path with its Browse, then the description.
    QWidget::setTabOrder(m_text[0], m_text[1]);
    QWidget::setTabOrder(m_text[1], Command1);
    if (m_text[2])
        QWidget::setTabOrder(Command1, m_text[2]);

    connect(TreeView1, &TreeView::KeyPress, this, &CategoryWindow::TreeView1_KeyPress);
    connect(TreeView1, &TreeView::DblClick, this, &CategoryWindow::TreeView1_DblClick);
}

TextBox* CategoryWindow::Text1(int index) const
{
    return index >= 0 && index < int(m_text.size()) ? m_text[index] : nullptr;
}

QLabel* CategoryWindow::Label2(int index) const
{
    return index >= 0 && index < int(m_fieldLabels.size()) ? m_fieldLabels[index] : nullptr;
}

void CategoryWindow::Form_Load()
{
    const bool listed = openList();
    TreeView1->clearNodes();
    showText(m_heading, m_traits.heading);
    if (m_descriptionLine)
        m_descriptionLine->clear();
    const Node* root = fillTree([this](const Recordset&) { return m_traits.window.imageKey; });
    TreeView1->setExpanded(root, true);
    mnucancel_Click();
    setEntryCommands(false);
    if (!listed)
        setMessage(ListUnreadable);
}

void CategoryWindow::clearEditor()
{
    for (TextBox* box : m_text) {
        if (box)
            box->clear();
    }
}

void CategoryWindow::showSelectedEntry()
{
    goOn([this] { showText(m_heading, rsEntries.Fields(0).toText()); });
    // A description without a value shows as none, not as the one of the entry shown before.
    if (m_descriptionLine)
        goOn([this] {
            const Value description = rsEntries.Fields(2);
            showText(m_descriptionLine, description.isNull() ? QString() : description.toText());
        });
}

void CategoryWindow::mnunew_Click()
{
    showText(m_heading, m_traits.headingAfterNew);
    if (m_descriptionLine)
        m_descriptionLine->clear();
    clearEditor();
    EnterEditState();
    // No row is current while a new entry is typed.
    goOn([this] { rsEntries.MoveLast(); });
    goOn([this] { rsEntries.MoveNext(); });
    m_text[0]->setFocus();
}

void CategoryWindow::mnumodify_Click()
{
    modifyMode = true;
    for (int i = 0; i < int(m_text.size()); ++i) {
        if (m_text[i])
            goOn([this, i] { m_text[i]->setText(rsEntries.Fields(i).toText()); });
    }
    EnterEditState();
    m_text[0]->setFocus();
}

void CategoryWindow::mnusave_Click()
{
    const QString name = m_text[0]->text().trimmed();
    const QString path = m_text[1]->text().trimmed();
    const QString description = m_text[2] ? m_text[2]->text().trimmed() : QString();
    if (name.isEmpty()) {
        setMessage(FillInTheValues);
        m_text[0]->setFocus();
        return;
    }
    if (name.contains(QLatin1Char('\''))) {
        setMessage(NoApostropheInName);
        return;
    }
    if (path.isEmpty()) {
        setMessage(FillInTheValues);
        m_text[1]->setFocus();
        return;
    }
    // Two entries of one name would need two nodes of one key, and every lookup would find only one.
    if (nameTaken(name)) {
        setMessage(NameAlreadyStored);
        m_text[0]->setFocus();
        return;
    }
    if (!storeChange([&] { writeEntry(name, path, description); }))
        return;
    goOn([this] { rsEntries.Requery(); });
    Form_Load();
}

void CategoryWindow::writeEntry(const QString& name, const QString& path, const QString& description)
{
    if (modifyMode) {
        moveToNode(TreeView1->selectedNode());
        rsEntries.Update(m_traits.keyColumn, name);
    } else {
        rsEntries.AddNew(m_traits.keyColumn, name);
    }
    rsEntries.Update(QStringLiteral("path"), path);
    if (m_traits.hasDescription)
        rsEntries.Update(QStringLiteral("description"), description);
}

void CategoryWindow::RunSelectedEntry()
{
    try {
        if (rootSelected())
            return;
        startEntry();
        setMessage(Mains::RestingMessage);
    } catch (const RuntimeError& error) {
        reportLaunchFailure(error.code());
    }
}

void CategoryWindow::startEntry()
{
    const QString path = rsEntries.Fields(1).toText();
    if (m_traits.launch == LaunchKind::CommandLine) {
        const std::optional<QStringList> words = CommandLine::splitWords(path.trimmed());
        if (!words || words->isEmpty())
            throw RuntimeError(ErrorCode::InvalidCall, QStringLiteral("The command line names no program."));
        module().services().startProgram(*words, module().programFolder());
        return;
    }
    if (path.trimmed().isEmpty())
        throw RuntimeError(ErrorCode::InvalidCall, QStringLiteral("The path is empty."));
    const int result = module().LaunchPath(path);
    if (result <= ShellSuccessAbove) {
        const bool missing = result == ShellFileNotFound || result == ShellPathNotFound;
        throw RuntimeError(missing ? ErrorCode::FileNotFound : ErrorCode::InvalidCall,
                           QStringLiteral("The shell could not open %1 (%2).").arg(path).arg(result));
    }
}

void CategoryWindow::reportLaunchFailure(int code)
{
    if (code == ErrorCode::FileNotFound)
        setMessage(m_traits.notFoundText);
    else if (code == ErrorCode::InvalidCall)
        setMessage(m_traits.notRunnableText);
    else if (code == ErrorCode::InvalidUseOfNull)
        setMessage(m_traits.pathWithoutValue);
}

void CategoryWindow::Command1_Click()
{
    // The program may end while the dialog is open, taking this window with it.
    const QPointer<CategoryWindow> self(this);
    const QString chosen = module().services().openFileName(this, m_traits.browseFilter);
    if (self && !chosen.isEmpty())
        m_text[1]->setText(pathForBox(chosen));
}

// A command line is split into words when it starts, so a file put into it whole is quoted where its
// name would otherwise split; the other windows open their path as one file and take it as it stands.
QString CategoryWindow::pathForBox(const QString& file) const
{
    return m_traits.launch == LaunchKind::CommandLine ? CommandLine::quoteWord(file) : file;
}

void CategoryWindow::Text1_OLEDragDrop(int /*index*/, const QMimeData* data)
{
    TextBox* box = m_text[1];
    box->clear();
    const QString file = firstDroppedFile(data);
    if (!file.isEmpty())
        box->setText(box->text() + pathForBox(file));
}

void CategoryWindow::TreeView1_KeyPress(int keyAscii)
{
    if (keyAscii == EnterKey)
        RunSelectedEntry();
}

void CategoryWindow::TreeView1_DblClick()
{
    RunSelectedEntry();
}

void CategoryWindow::Label1_Click()
{
    RunSelectedEntry();
}

} // namespace trovix
