#include "documents.h"

#include "platform/clicklabel.h"
#include "platform/commandline.h"
#include "platform/fonts.h"
#include "platform/runtimeerror.h"
#include "platform/textbox.h"
#include "shell/module1.h"
#include "shell/treeview.h"
#include "store/catalog.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPushButton>

namespace trovix {

namespace {
constexpr int SetApplicationButton = 6;
} // namespace

DocumentsWindow::DocumentsWindow(Module1& module)
    : CategoryWindow(module, Categories::documents())
{
    buildApplicationFrame();
    place(this, traits().layout);
    widenToText(this);
}

void DocumentsWindow::buildApplicationFrame()
{
    addMenuSeparator(mnuedit);
    mnusetpath = addMenuItem(mnuedit, "mnusetpath", tr("&Set Application Path"), Qt::CTRL | Qt::Key_P);
    connect(mnusetpath, &QAction::triggered, this, &DocumentsWindow::mnusetpath_Click);

    Frame2 = new QGroupBox(tr("Set Application Path"), Form);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Frame2->hide();
    Label2_2 = new QLabel(tr("Path"), Frame2);
    Label2_2->setObjectName(QStringLiteral("Label2(2)"));
    Label2_2->setFont(designFont(QStringLiteral("MS Sans Serif"), 8.25, true));
    Text2 = new TextBox(TextBox::Lines::Many, Frame2);
    Text2->setObjectName(QStringLiteral("Text2"));
    Text2->setManualDrop(true);
    connect(Text2, &TextBox::OLEDragDrop, this, &DocumentsWindow::Text2_OLEDragDrop);
    Command2 = new QPushButton(tr("Browse"), Frame2);
    Command2->setObjectName(QStringLiteral("Command2"));
    connect(Command2, &QPushButton::clicked, this, &DocumentsWindow::Command2_Click);
    Label4 = new ClickLabel(tr("SET"), Frame2);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setFont(designFont(QStringLiteral("MS Sans Serif"), 8.25, true));
    Label4->setCursor(Qt::PointingHandCursor);
    connect(Label4, &ClickLabel::Click, this, &DocumentsWindow::Label4_Click);
}

bool DocumentsWindow::findApplicationRow()
{
    rsEntries.MoveFirst();
    rsEntries.Find(Catalog::DocumentsApplicationCriterion, 0, adSearchForward, adBookmarkFirst);
    return !rsEntries.Eof();
}

void DocumentsWindow::Form_Load()
{
    CategoryWindow::Form_Load();
    // A missing row, or one whose path has no value, leaves the application as it was.
    goOn([this] {
        findApplicationRow();
        applicationPath = rsEntries.Fields(1).toText();
    });
    goOn([this] { rsEntries.MoveFirst(); });
}

void DocumentsWindow::mnucancel_Click()
{
    CategoryWindow::mnucancel_Click();
    mnusetpath->setEnabled(true);
    Buttons(SetApplicationButton)->setEnabled(true);
    Frame2->hide();
}

void DocumentsWindow::EnterEditState()
{
    CategoryWindow::EnterEditState();
    mnusetpath->setEnabled(false);
    Buttons(SetApplicationButton)->setEnabled(false);
}

void DocumentsWindow::Toolbar1_ButtonClick(int position)
{
    if (position == SetApplicationButton)
        mnusetpath_Click();
    else
        CategoryWindow::Toolbar1_ButtonClick(position);
}

void DocumentsWindow::mnusetpath_Click()
{
    if (!Frame2->isHidden()) {
        Label4_Click();
        return;
    }
    Frame2->show();
    mnunew->setEnabled(false);
    mnumodify->setEnabled(false);
    mnudelete->setEnabled(false);
    for (int position : {3, 4, 5})
        Buttons(position)->setEnabled(false);
    TreeView1->setEnabled(false);
    // Without the row, or without a value in it, the box keeps what it had.
    goOn([this] {
        if (findApplicationRow())
            Text2->setText(rsEntries.Fields(1).toText());
    });
    Text2->setFocus();
}

void DocumentsWindow::Label4_Click()
{
    const QString path = Text2->text().trimmed();
    const bool stored = storeChange([&] {
        // The application row is delivered with the database; where it is missing it is made, so the
        // setting is kept.
        if (!findApplicationRow())
            rsEntries.AddNew(traits().keyColumn, Catalog::DocumentsApplicationRow);
        rsEntries.Update(QStringLiteral("path"), path);
    });
    if (stored)
        Form_Load();
}

void DocumentsWindow::Command2_Click()
{
    // The program may end while the dialog is open, taking this window with it.
    const QPointer<DocumentsWindow> self(this);
    const QString chosen = module().services().openFileName(this, Categories::executableFilter());
    // The application path is split into words, so a chosen file is quoted where it would split.
    if (self && !chosen.isEmpty())
        Text2->setText(CommandLine::quoteWord(chosen));
}

void DocumentsWindow::Text2_OLEDragDrop(const QMimeData* data)
{
    Text2->clear();
    const QString file = firstDroppedFile(data);
    if (!file.isEmpty())
        Text2->setText(Text2->text() + CommandLine::quoteWord(file));
}

void DocumentsWindow::startEntry()
{
    const Value document = rsEntries.Fields(1);
    const std::optional<QStringList> words =
            CommandLine::documentCommand(applicationPath, document.isNull() ? QString() : document.toText());
    if (!words)
        throw RuntimeError(ErrorCode::InvalidCall, QStringLiteral("The application path has an open quote."));
    // Without an application the document alone would be the program: it is refused as no runnable
    // program, and never started; one that is not there is not found.
    if (words->size() < 2) {
        const QString alone = words->value(0);
        const bool there = !alone.isEmpty() && QFileInfo::exists(QDir(module().programFolder()).filePath(alone));
        throw RuntimeError(there ? ErrorCode::InvalidCall : ErrorCode::FileNotFound,
                           QStringLiteral("No application is set for the documents."));
    }
    module().services().startProgram(*words, module().programFolder());
}

} // namespace trovix
