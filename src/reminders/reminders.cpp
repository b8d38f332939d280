#include "reminders.h"

#include "duecheck.h"
#include "platform/connection.h"
#include "platform/fonts.h"
#include "platform/runtimeerror.h"
#include "platform/textbox.h"
#include "shell/mains.h"
#include "shell/module1.h"
#include "shell/treeview.h"
#include "store/catalog.h"
#include "store/programfiles.h"
#include "store/remindertime.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QTimer>

namespace trovix {

namespace {

const QString Heading = QStringLiteral("Reminders");
const QString DisplayAtRest = QStringLiteral("Message");
const QString FillInTheValues = QStringLiteral("Fill in the values");
const QString FillInTheCorrectValues = QStringLiteral("Fill in the correct values");
const QString NoApostropheInMessage = QStringLiteral("' is not allowed in Message");
const QString MessageAlreadyStored = QStringLiteral("This message is already stored");
constexpr int ChimeInterval = 2000;
constexpr int QuietButton = 6;

const QList<Placement> Layout = {
        {"Label3(0)", 4260, 120, 1935, 435}, {"Text2", 3480, 720, 3495, 615},    {"Label3(2)", 3480, 1560, 3495, 375},
        {"Frame1", 3480, 2160, 3495, 1935},  {"Label2(0)", 120, 240, 765, 195},  {"Text1(0)", 960, 240, 2415, 645},
        {"Label2(1)", 120, 1080, 420, 195},  {"DTPicker1", 960, 960, 2415, 375}, {"Label2(2)", 120, 1560, 420, 195},
        {"Text1(1)", 960, 1440, 375, 285},   {"Label1", 1320, 1440, 210, 285},   {"Text1(2)", 1440, 1440, 375, 285},
        {"Combo1", 1920, 1440, 615, 315},    {"Label4", 2640, 1560, 555, 210},
};

using namespace ProportionalLayout;

// The time row across, each box right after the one before it.
const QList<Statement> TimeRowAcross = {
        relative("Label1", Left, {{"Text1(1)", Left}, {"Text1(1)", Width}}),
        relative("Text1(2)", Left, {{"Label1", Left}, {"Label1", Width}}),
        relative("Text1(2)", Width, {{"Text1(1)", Width}}),
        relative("Combo1", Left, {{"Text1(2)", Left}, {"Text1(2)", Width}}, 50),
        relative("Label4", Left, {{"Combo1", Left}, {"Combo1", Width}}, 70),
};

// On a change of size: the proportions first, then the time row put together under the date picker.
const QList<Statement> ResizeRules =
        QList<Statement>{
                rule("TreeView1", Width, 2775),
                rule("TreeView1", Height, 4450),
                rule("Label3(0)", Left, 4300),
                rule("Label3(0)", Top, 240),
                rule("Text2", Left, 3480),
                rule("Text2", Top, 1080),
                rule("Text2", Width, 3500),
                rule("Label3(2)", Left, 3480),
                rule("Label3(2)", Top, 1720),
                rule("Frame1", Width, 3600),
                rule("Frame1", Height, 1820),
                rule("Frame1", Left, 3400),
                rule("Frame1", Top, 2600),
                rule("Text1(0)", Width, 2600),
                rule("Text1(0)", Height, 640),
                rule("DTPicker1", Width, 2580),
                relative("DTPicker1", Top, {{"Text1(0)", Top}, {"Text1(0)", Height}}, 50),
                relative("Label2(1)", Top, {{"DTPicker1", Top}}, 50),
                relative("Label2(2)", Top, {{"DTPicker1", Top}, {"DTPicker1", Height}}, 70),
                relative("Text1(1)", Top, {{"Label2(2)", Top}}),
                rule("Text1(1)", Width, 375, DesignHeight),
                relative("Label1", Top, {{"Label2(2)", Top}}),
                relative("Text1(2)", Top, {{"Label2(2)", Top}}),
                relative("Combo1", Top, {{"Label2(2)", Top}}),
                relative("Label4", Top, {{"Label2(2)", Top}}, 70),
        }
        + TimeRowAcross;

// "AM" or "PM" can only be picked from the list: typed characters never reach the box.
class CharactersSwallowed : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress && !static_cast<QKeyEvent*>(event)->text().isEmpty()
            && static_cast<QKeyEvent*>(event)->text().front().isPrint())
            return true;
        return QObject::eventFilter(watched, event);
    }
};

// The date picker, whose shortcuts of the window (Ctrl+Z Cancel, ...) come before its own editing keys,
// as in the text boxes.
class DatePicker : public QDateEdit
{
public:
    using QDateEdit::QDateEdit;

protected:
    bool event(QEvent* event) override { return !leavesKeyToWindow(event) && QDateEdit::event(event); }
};

} // namespace

const ListWindow::Design& RemindersWindow::windowDesign()
{
    static const Design design{
            Catalog::Reminders,
            Heading,
            Catalog::Reminders,
            QStringLiteral("REMINDERS"),
            QStringLiteral("rem"),
            QStringLiteral("R"),
            6,
            {{"Save", "save"},
             {"Cancel", "cancel"},
             {"New", "new"},
             {"Modify", "modify"},
             {"Delete", "delete"},
             {"Quiet", "quiet"},
             {"Help", "help"}},
            {{"mnugames", "&Games", Qt::CTRL | Qt::Key_G, ChildWindow::Games},
             {"mnusoftwares", "&Softwares", Qt::CTRL | Qt::Key_T, ChildWindow::Softwares},
             {"mnuwindowssoftwares", "&Windows Softwares", Qt::CTRL | Qt::Key_W, ChildWindow::Windows},
             {"mnudocuments", "&Documents", Qt::CTRL | Qt::Key_D, ChildWindow::Documents}},
            ResizeRules,
    };
    return design;
}

RemindersWindow::RemindersWindow(Module1& module)
    : ListWindow(module, windowDesign())
{
    buildElements();
    place(this, Layout);
    widenToText(this);
}

void RemindersWindow::buildElements()
{
    const QFont fieldFont = designFont(QStringLiteral("MS Sans Serif"), 8.25, true);
    m_infoLabels[0] = makeLabel(Form, QStringLiteral("Label3(0)"), Heading,
                                designFont(QStringLiteral("Arial"), 14.25, true), QColor(0, 128, 0));
    m_infoLabels[2] = makeLabel(Form, QStringLiteral("Label3(2)"), QString(), designFont(QStringLiteral("Arial"), 9.75),
                                QColor(192, 0, 0));
    Text2 = new TextBox(TextBox::Lines::Many, Form);
    Text2->setObjectName(QStringLiteral("Text2"));
    Text2->setReadOnly(true);
    Text2->setText(DisplayAtRest);

    const QStringList labels = {tr("Message"), tr("Date"), tr("Time")};
    for (int i = 0; i < 3; ++i)
        m_fieldLabels[i] = makeLabel(Frame1, QStringLiteral("Label2(%1)").arg(i), labels.at(i), fieldFont);
    m_text[0] = new TextBox(TextBox::Lines::Many, Frame1);
    m_text[0]->setSwallowed([](QChar c) { return c == QLatin1Char('\''); });
    for (int i = 1; i < 3; ++i) {
        m_text[i] = new TextBox(TextBox::Lines::One, Frame1);
        m_text[i]->setSwallowed([](QChar c) { return !(c.isDigit() && c.unicode() < 128) && c != QLatin1Char('\b'); });
    }
    for (int i = 0; i < 3; ++i)
        m_text[i]->setObjectName(QStringLiteral("Text1(%1)").arg(i));

    DTPicker1 = new DatePicker(Frame1);
    DTPicker1->setObjectName(QStringLiteral("DTPicker1"));
    DTPicker1->setCalendarPopup(true);
    DTPicker1->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    DTPicker1->setDate(module().services().now().date());
    Label1 = makeLabel(Frame1, QStringLiteral("Label1"), QStringLiteral(":"), fieldFont);
    Label1->setAlignment(Qt::AlignCenter);
    Combo1 = new QComboBox(Frame1);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->addItems({QStringLiteral("AM"), QStringLiteral("PM")});
    Combo1->installEventFilter(new CharactersSwallowed(Combo1));
    Label4 = makeLabel(Frame1, QStringLiteral("Label4"), QStringLiteral("HH:MM"), fieldFont);

    QWidget::setTabOrder(m_text[0], DTPicker1);
    QWidget::setTabOrder(DTPicker1, m_text[1]);
    QWidget::setTabOrder(m_text[1], m_text[2]);
    QWidget::setTabOrder(m_text[2], Combo1);

    addMenuSeparator(mnuedit);
    mnuquiet = addMenuItem(mnuedit, "mnuquiet", tr("&Quiet"), Qt::CTRL | Qt::Key_P);
    connect(mnuquiet, &QAction::triggered, this, &RemindersWindow::mnuquiet_Click);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(ChimeInterval);
    connect(Timer1, &QTimer::timeout, this, &RemindersWindow::Timer1_Timer);
}

TextBox* RemindersWindow::Text1(int index) const
{
    return index >= 0 && index < 3 ? m_text[index] : nullptr;
}

QLabel* RemindersWindow::Label2(int index) const
{
    return index >= 0 && index < 3 ? m_fieldLabels[index] : nullptr;
}

QLabel* RemindersWindow::Label3(int index) const
{
    return index >= 0 && index < 3 ? m_infoLabels[index] : nullptr;
}

void RemindersWindow::Form_Load()
{
    m_refreshWaits = false;
    const bool listed = openList();
    TreeView1->clearNodes();
    m_infoLabels[0]->setText(Heading);
    m_infoLabels[2]->clear();
    Text2->setText(DisplayAtRest);
    // Pending reminders show "rem"; announced ones, and any whose flag is not a number, "dis_rem".
    const QString pending = QStringLiteral("rem");
    const QString announced = QStringLiteral("dis_rem");
    const Node* root = fillTree([&](const Recordset& rs) {
        const Value done = rs.Fields(2);
        qint64 flag = 1;
        goOn([&] { flag = done.toInteger(); });
        return flag == 0 ? pending : announced;
    });
    TreeView1->setExpanded(root, true);
    mnunew->setEnabled(true);
    setEntryCommands(false);
    Buttons(3)->setEnabled(true);
    mnucancel_Click();
    alertRefreshed = false;
    if (!listed)
        setMessage(ListUnreadable);
}

void RemindersWindow::clearEditor()
{
    for (TextBox* box : m_text)
        box->clear();
}

void RemindersWindow::showSelectedEntry()
{
    goOn([this] { Text2->setText(rsEntries.Fields(0).toText()); });
    goOn([this] { m_infoLabels[2]->setText(ReminderTime::display(rsEntries.Fields(1).variant())); });
}

void RemindersWindow::mnunew_Click()
{
    m_infoLabels[0]->setText(Heading);
    Text2->clear();
    m_infoLabels[2]->clear();
    m_text[0]->clear();
    DTPicker1->setDate(module().services().now().date());
    m_text[1]->clear();
    m_text[2]->clear();
    Combo1->setCurrentText(QStringLiteral("AM"));
    EnterEditState();
    goOn([this] { rsEntries.MoveLast(); });
    goOn([this] { rsEntries.MoveNext(); });
    m_text[0]->setFocus();
}

void RemindersWindow::mnumodify_Click()
{
    modifyMode = true;
    goOn([this] { m_text[0]->setText(rsEntries.Fields(0).toText()); });
    // A time without a value, or one that is not a time, leaves the clock boxes empty.
    goOn([this] {
        const std::optional<ReminderTime::Due> due = ReminderTime::read(rsEntries.Fields(1).variant());
        if (!due)
            return;
        const ReminderTime::Clock clock = ReminderTime::toClock(due->time);
        m_text[1]->setText(clock.hour);
        m_text[2]->setText(clock.minute);
        DTPicker1->setDate(due->date);
        Combo1->setCurrentText(clock.half);
    });
    EnterEditState();
    m_text[0]->setFocus();
}

std::optional<int> RemindersWindow::numberIn(int box, int lowest, int highest)
{
    bool isNumber = false;
    const int value = m_text[box]->text().trimmed().toInt(&isNumber);
    if (isNumber && value >= lowest && value <= highest)
        return value;
    setMessage(FillInTheCorrectValues);
    m_text[box]->setFocus();
    return std::nullopt;
}

void RemindersWindow::mnusave_Click()
{
    const QString message = m_text[0]->text().trimmed();
    const auto refuse = [this](const QString& text, TextBox* focus) {
        setMessage(text);
        if (focus)
            focus->setFocus();
    };
    if (message.isEmpty())
        return refuse(FillInTheValues, m_text[0]);
    if (message.contains(QLatin1Char('\'')))
        return refuse(NoApostropheInMessage, nullptr);
    if (m_text[1]->text().trimmed().isEmpty())
        return refuse(FillInTheValues, m_text[1]);
    if (m_text[2]->text().trimmed().isEmpty())
        return refuse(FillInTheValues, m_text[2]);
    const std::optional<int> hour = numberIn(1, 1, 12);
    if (!hour)
        return;
    const std::optional<int> minute = numberIn(2, 0, 59);
    if (!minute)
        return;
    // Two reminders of one message would need two nodes of one key.
    if (nameTaken(message))
        return refuse(MessageAlreadyStored, m_text[0]);
    // A date half typed in the picker (Save while it has the focus) is not the date it holds: it shows
    // that one again, to be saved once seen.
    if (DTPicker1->text() != DTPicker1->date().toString(DTPicker1->displayFormat())) {
        DTPicker1->setDate(DTPicker1->date());
        return refuse(FillInTheCorrectValues, nullptr);
    }
    const std::optional<ReminderTime::Due> due =
            ReminderTime::fromClock(DTPicker1->date(), *hour, *minute, Combo1->currentText().trimmed());
    if (!due)
        return refuse(FillInTheCorrectValues, m_text[1]);

    // A mark the due check still owes goes first: what the user saves now comes after it.
    DueCheck::storeMarks(module());
    const bool stored = storeChange([&] {
        if (modifyMode) {
            moveToNode(TreeView1->selectedNode());
            rsEntries.Update(QStringLiteral("message"), message);
        } else {
            rsEntries.AddNew(QStringLiteral("message"), message);
        }
        rsEntries.Update(QStringLiteral("time"), due->text());
        rsEntries.Update(QStringLiteral("done"), 0);
    });
    if (!stored)
        return;
    goOn([this] { rsEntries.Requery(); });
    mainWindow().Timer1->start();
    Form_Load();
}

void RemindersWindow::Toolbar1_ButtonClick(int position)
{
    if (position != QuietButton) {
        ListWindow::Toolbar1_ButtonClick(position);
        return;
    }
    endChime(true);
}

void RemindersWindow::mnuquiet_Click()
{
    endChime(true);
}

void RemindersWindow::startChime(qint64 announcedRow)
{
    m_announcedRow = announcedRow;
    alertRefreshed = false;
    Timer1->start();
}

void RemindersWindow::endChime(bool rebuildList)
{
    const bool chiming = Timer1->isActive();
    Timer1->stop();
    m_announcedRow.reset();
    // The list shows the announced reminder as announced even when the chime ended before it could
    // rebuild the list, and the next announcement rebuilds it again.
    if (chiming && rebuildList && !alertRefreshed)
        refreshAfterAlert();
    alertRefreshed = false;
    module().services().closeNotification();
    if (Mains* main = module().mains.ifLoaded()) {
        // The user has heard the announcement: its notice gives way.
        if (chiming && DueCheck::isNotice(main->message()))
            main->setMessage(Mains::RestingMessage);
        // Later reminders are still announced.
        main->Timer1->start();
    }
}

void RemindersWindow::entryDeleted(qint64 row)
{
    // Nothing is left to announce: the chime ends as Quiet ends it.
    if (Timer1->isActive() && m_announcedRow == row)
        endChime(false);
}

bool RemindersWindow::isEditing() const
{
    return !Frame1->isHidden();
}

void RemindersWindow::refreshAfterAlert()
{
    // What the user is typing is never thrown away for it: the rebuild waits for the edit to end.
    if (isEditing()) {
        m_refreshWaits = true;
        return;
    }
    // The rebuild is no act of the user's: the display and the announcement's notice stay.
    const QString message = Text2->text();
    const QString dueTime = m_infoLabels[2]->text();
    const QString notice = mainWindow().message();
    Form_Load();
    Text2->setText(message);
    m_infoLabels[2]->setText(dueTime);
    setMessage(notice);
    // Once the chime has ended, the next announcement needs a rebuild of its own.
    alertRefreshed = Timer1->isActive();
}

void RemindersWindow::mnucancel_Click()
{
    ListWindow::mnucancel_Click();
    if (m_refreshWaits)
        refreshAfterAlert();
}

void RemindersWindow::Timer1_Timer()
{
    // The list is rebuilt once an announcement has marked its reminder done.
    if (!alertRefreshed && !isEditing())
        refreshAfterAlert();
    module().services().playSound(module().programFile(ProgramFiles::NotifySound));
}

void RemindersWindow::Form_Resize()
{
    ListWindow::Form_Resize();
    fitTimeRow();
}

// Our fonts are wider than the design's, so the widened "AM"/"PM" box and "HH:MM" can run past the
// frame's right edge. The hour and minute boxes then give up that room, down to what two digits need.
void RemindersWindow::fitTimeRow()
{
    const int margin = m_fieldLabels[2]->x(); // the frame's left margin, kept on the right too
    const int overflow = Label4->x() + Label4->width() - (Frame1->width() - margin);
    if (overflow <= 0)
        return;
    TextBox* hour = m_text[1];
    const int digits = hour->fontMetrics().horizontalAdvance(QStringLiteral("88")) + 2 * hour->frameWidth()
                       + 2 * int(hour->document()->documentMargin()) + 4;
    const int width = std::max(digits, hour->width() - (overflow + 1) / 2);
    if (width >= hour->width())
        return;
    hour->resize(width, hour->height());
    ProportionalLayout::apply(this, TimeRowAcross);
}

void RemindersWindow::Form_Unload()
{
    // Closing the window during an announcement ends the chime; the due check goes on watching.
    if (Timer1->isActive())
        endChime(false);
}

} // namespace trovix
