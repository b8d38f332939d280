#include "reminderswindow.h"

#include "core/catalog.h"
#include "core/database.h"
#include "core/programfiles.h"
#include "core/reminderscheduler.h"
#include "core/remindertime.h"
#include "desktop/fonts.h"
#include "mainwindow.h"
#include "session.h"
#include "textbox.h"
#include "treeview.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QTimer>

namespace trovix {

const QString RemindersWindow::AnnouncementNotice = QStringLiteral("You have got a message");
const QString RemindersWindow::FailureNotice =
        QStringLiteral("Check if all reminder entries are complete.Restart TROVIX");

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
        {"headingLabel", 4260, 120, 1935, 435},  {"messageDisplay", 3480, 720, 3495, 615},
        {"dueTimeLabel", 3480, 1560, 3495, 375}, {"detailsFrame", 3480, 2160, 3495, 1935},
        {"messageLabel", 120, 240, 765, 195},    {"messageEdit", 960, 240, 2415, 645},
        {"dateLabel", 120, 1080, 420, 195},      {"dateEdit", 960, 960, 2415, 375},
        {"timeLabel", 120, 1560, 420, 195},      {"hourEdit", 960, 1440, 375, 285},
        {"colonLabel", 1320, 1440, 210, 285},    {"minuteEdit", 1440, 1440, 375, 285},
        {"halfDayBox", 1920, 1440, 615, 315},    {"clockHintLabel", 2640, 1560, 555, 210},
};

using namespace ProportionalLayout;

// The time row across, each box right after the one before it.
const QList<Statement> TimeRowAcross = {
        relative("colonLabel", Left, {{"hourEdit", Left}, {"hourEdit", Width}}),
        relative("minuteEdit", Left, {{"colonLabel", Left}, {"colonLabel", Width}}),
        relative("minuteEdit", Width, {{"hourEdit", Width}}),
        relative("halfDayBox", Left, {{"minuteEdit", Left}, {"minuteEdit", Width}}, 50),
        relative("clockHintLabel", Left, {{"halfDayBox", Left}, {"halfDayBox", Width}}, 70),
};

// On a change of size: the proportions first, then the time row put together under the date picker.
const QList<Statement> ResizeRules =
        QList<Statement>{
                rule("tree", Width, 2775),
                rule("tree", Height, 4450),
                rule("headingLabel", Left, 4300),
                rule("headingLabel", Top, 240),
                rule("messageDisplay", Left, 3480),
                rule("messageDisplay", Top, 1080),
                rule("messageDisplay", Width, 3500),
                rule("dueTimeLabel", Left, 3480),
                rule("dueTimeLabel", Top, 1720),
                rule("detailsFrame", Width, 3600),
                rule("detailsFrame", Height, 1820),
                rule("detailsFrame", Left, 3400),
                rule("detailsFrame", Top, 2600),
                rule("messageEdit", Width, 2600),
                rule("messageEdit", Height, 640),
                rule("dateEdit", Width, 2580),
                relative("dateEdit", Top, {{"messageEdit", Top}, {"messageEdit", Height}}, 50),
                relative("dateLabel", Top, {{"dateEdit", Top}}, 50),
                relative("timeLabel", Top, {{"dateEdit", Top}, {"dateEdit", Height}}, 70),
                relative("hourEdit", Top, {{"timeLabel", Top}}),
                rule("hourEdit", Width, 375, DesignHeight),
                relative("colonLabel", Top, {{"timeLabel", Top}}),
                relative("minuteEdit", Top, {{"timeLabel", Top}}),
                relative("halfDayBox", Top, {{"timeLabel", Top}}),
                relative("clockHintLabel", Top, {{"timeLabel", Top}}, 70),
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

const ListWindow::Design& windowDesign()
{
    static const ListWindow::Design design{
            Catalog::Reminders,
            Heading,
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
            {{"gamesAction", "&Games", Qt::CTRL | Qt::Key_G, ChildWindow::Games},
             {"softwaresAction", "&Softwares", Qt::CTRL | Qt::Key_T, ChildWindow::Softwares},
             {"windowsAction", "&Windows Softwares", Qt::CTRL | Qt::Key_W, ChildWindow::Windows},
             {"documentsAction", "&Documents", Qt::CTRL | Qt::Key_D, ChildWindow::Documents}},
            ResizeRules,
    };
    return design;
}

} // namespace

bool RemindersWindow::isNotice(const QString& message)
{
    return message == AnnouncementNotice || message == FailureNotice;
}

RemindersWindow::RemindersWindow(Session& session)
    : ListWindow(session, windowDesign())
{
    buildElements();
    place(this, Layout);
    widenToText(this);
}

void RemindersWindow::buildElements()
{
    const QFont fieldFont = designFont(QStringLiteral("MS Sans Serif"), 8.25, true);
    m_heading = makeLabel(form(), QStringLiteral("headingLabel"), Heading,
                          designFont(QStringLiteral("Arial"), 14.25, true), QColor(0, 128, 0));
    m_dueTime = makeLabel(form(), QStringLiteral("dueTimeLabel"), QString(), designFont(QStringLiteral("Arial"), 9.75),
                          QColor(192, 0, 0));
    m_messageDisplay = new TextBox(TextBox::Lines::Many, form());
    m_messageDisplay->setObjectName(QStringLiteral("messageDisplay"));
    m_messageDisplay->setReadOnly(true);
    m_messageDisplay->setText(DisplayAtRest);

    makeLabel(detailsFrame(), QStringLiteral("messageLabel"), tr("Message"), fieldFont);
    makeLabel(detailsFrame(), QStringLiteral("dateLabel"), tr("Date"), fieldFont);
    m_fieldLabel = makeLabel(detailsFrame(), QStringLiteral("timeLabel"), tr("Time"), fieldFont);
    m_messageEdit = new TextBox(TextBox::Lines::Many, detailsFrame());
    m_messageEdit->setObjectName(QStringLiteral("messageEdit"));
    m_messageEdit->setSwallowed([](QChar c) { return c == QLatin1Char('\''); });
    m_hourEdit = new TextBox(TextBox::Lines::One, detailsFrame());
    m_hourEdit->setObjectName(QStringLiteral("hourEdit"));
    m_minuteEdit = new TextBox(TextBox::Lines::One, detailsFrame());
    m_minuteEdit->setObjectName(QStringLiteral("minuteEdit"));
    for (TextBox* clock : {m_hourEdit, m_minuteEdit})
        clock->setSwallowed([](QChar c) { return !(c.isDigit() && c.unicode() < 128) && c != QLatin1Char('\b'); });

    m_dateEdit = new DatePicker(detailsFrame());
    m_dateEdit->setObjectName(QStringLiteral("dateEdit"));
    m_dateEdit->setCalendarPopup(true);
    m_dateEdit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    m_dateEdit->setDate(session().services().now().date());
    QLabel* colon = makeLabel(detailsFrame(), QStringLiteral("colonLabel"), QStringLiteral(":"), fieldFont);
    colon->setAlignment(Qt::AlignCenter);
    m_halfDayBox = new QComboBox(detailsFrame());
    m_halfDayBox->setObjectName(QStringLiteral("halfDayBox"));
    m_halfDayBox->addItems({QStringLiteral("AM"), QStringLiteral("PM")});
    m_halfDayBox->installEventFilter(new CharactersSwallowed(m_halfDayBox));
    m_clockHint = makeLabel(detailsFrame(), QStringLiteral("clockHintLabel"), QStringLiteral("HH:MM"), fieldFont);

    QWidget::setTabOrder(m_messageEdit, m_dateEdit);
    QWidget::setTabOrder(m_dateEdit, m_hourEdit);
    QWidget::setTabOrder(m_hourEdit, m_minuteEdit);
    QWidget::setTabOrder(m_minuteEdit, m_halfDayBox);

    editMenu()->addSeparator();
    QAction* quietAction = addMenuItem(editMenu(), "quietAction", tr("&Quiet"), Qt::CTRL | Qt::Key_P);
    connect(quietAction, &QAction::triggered, this, &RemindersWindow::quiet);

    m_chimeTimer = new QTimer(this);
    m_chimeTimer->setObjectName(QStringLiteral("chimeTimer"));
    m_chimeTimer->setInterval(ChimeInterval);
    connect(m_chimeTimer, &QTimer::timeout, this, &RemindersWindow::chime);
}

bool RemindersWindow::readRows()
{
    try {
        m_reminders = ReminderStore::list(database());
        return true;
    } catch (const DatabaseError&) {
        m_reminders = ReminderList();
        return false;
    }
}

// Pending reminders show "rem"; announced ones, and any whose flag is not a number, "dis_rem".
QString RemindersWindow::rowImage(int row) const
{
    return m_reminders.isPending(row) ? QStringLiteral("rem") : QStringLiteral("dis_rem");
}

void RemindersWindow::reload()
{
    m_refreshWaits = false;
    const bool listed = listRows();
    m_heading->setText(Heading);
    m_dueTime->clear();
    m_messageDisplay->setText(DisplayAtRest);
    newAction()->setEnabled(true);
    setEntryCommands(false);
    toolbarAction(3)->setEnabled(true);
    cancel();
    m_announcementListed = false;
    if (!listed)
        setMessage(ListUnreadable);
}

void RemindersWindow::clearEditor()
{
    for (TextBox* box : {m_messageEdit, m_hourEdit, m_minuteEdit})
        box->clear();
}

void RemindersWindow::showSelectedRow()
{
    const std::optional<Reminder> reminder = m_reminders.find(*selectedId());
    if (!reminder)
        return;
    if (reminder->message)
        m_messageDisplay->setText(*reminder->message);
    m_dueTime->setText(ReminderTime::display(reminder->time));
}

QString RemindersWindow::shownMessage() const
{
    return m_messageDisplay->text();
}

QString RemindersWindow::shownDueTime() const
{
    return m_dueTime->text();
}

void RemindersWindow::newEntry()
{
    m_heading->setText(Heading);
    m_messageDisplay->clear();
    m_dueTime->clear();
    m_messageEdit->clear();
    m_dateEdit->setDate(session().services().now().date());
    m_hourEdit->clear();
    m_minuteEdit->clear();
    m_halfDayBox->setCurrentText(QStringLiteral("AM"));
    enterEditState();
    forgetSelectedRow();
    m_messageEdit->setFocus();
}

void RemindersWindow::modifyEntry()
{
    setModifying(true);
    if (const std::optional<Reminder> reminder = selectedId() ? m_reminders.find(*selectedId()) : std::nullopt) {
        if (reminder->message)
            m_messageEdit->setText(*reminder->message);
        // A time without a value, or one that is not a time, leaves the clock boxes empty.
        if (const std::optional<ReminderTime::Due> due = ReminderTime::read(reminder->time)) {
            const ReminderTime::Clock clock = ReminderTime::toClock(due->time);
            m_hourEdit->setText(clock.hour);
            m_minuteEdit->setText(clock.minute);
            m_dateEdit->setDate(due->date);
            m_halfDayBox->setCurrentText(clock.half);
        }
    }
    enterEditState();
    m_messageEdit->setFocus();
}

std::optional<int> RemindersWindow::numberIn(TextBox* box, int lowest, int highest)
{
    bool isNumber = false;
    const int value = box->text().trimmed().toInt(&isNumber);
    if (isNumber && value >= lowest && value <= highest)
        return value;
    setMessage(FillInTheCorrectValues);
    box->setFocus();
    return std::nullopt;
}

void RemindersWindow::save()
{
    const QString message = m_messageEdit->text().trimmed();
    const auto refuse = [this](const QString& text, TextBox* focus) {
        setMessage(text);
        if (focus)
            focus->setFocus();
    };
    if (message.isEmpty())
        return refuse(FillInTheValues, m_messageEdit);
    if (message.contains(QLatin1Char('\'')))
        return refuse(NoApostropheInMessage, nullptr);
    if (m_hourEdit->text().trimmed().isEmpty())
        return refuse(FillInTheValues, m_hourEdit);
    if (m_minuteEdit->text().trimmed().isEmpty())
        return refuse(FillInTheValues, m_minuteEdit);
    const std::optional<int> hour = numberIn(m_hourEdit, 1, 12);
    if (!hour)
        return;
    const std::optional<int> minute = numberIn(m_minuteEdit, 0, 59);
    if (!minute)
        return;
    // Two reminders of one message would need two nodes of one key.
    if (nameTaken(message))
        return refuse(MessageAlreadyStored, m_messageEdit);
    // A date half typed in the picker (Save while it has the focus) is not the date it holds: it shows
    // that one again, to be saved once seen.
    if (m_dateEdit->text() != m_dateEdit->date().toString(m_dateEdit->displayFormat())) {
        m_dateEdit->setDate(m_dateEdit->date());
        return refuse(FillInTheCorrectValues, nullptr);
    }
    const std::optional<ReminderTime::Due> due =
            ReminderTime::fromClock(m_dateEdit->date(), *hour, *minute, m_halfDayBox->currentText().trimmed());
    if (!due)
        return refuse(FillInTheCorrectValues, m_hourEdit);

    // A mark the due check still owes goes first: what the user saves now comes after it.
    session().scheduler().storeMarks();
    const bool stored = storeChange([&] {
        if (isModifying())
            ReminderStore::update(database(), requireSelectedRow(), message, due->text());
        else
            ReminderStore::add(database(), message, due->text());
    });
    if (!stored)
        return;
    session().scheduler().watch();
    reload();
}

void RemindersWindow::removeRow(qint64 id)
{
    ReminderStore::remove(database(), id);
}

void RemindersWindow::toolbarButtonClicked(int position)
{
    if (position != QuietButton) {
        ListWindow::toolbarButtonClicked(position);
        return;
    }
    endChime(true);
}

void RemindersWindow::quiet()
{
    endChime(true);
}

bool RemindersWindow::isChiming() const
{
    return m_chimeTimer->isActive();
}

void RemindersWindow::announce(const Reminder& reminder)
{
    // A reminder without a message is still a reminder that fell due.
    m_messageDisplay->setText(reminder.message.value_or(QString()));
    m_dueTime->setText(ReminderTime::display(reminder.time));
    m_announcedRow = reminder.id;
    m_announcementListed = false;
    m_chimeTimer->start();
}

void RemindersWindow::endChime(bool rebuildList)
{
    const bool chiming = m_chimeTimer->isActive();
    m_chimeTimer->stop();
    m_announcedRow.reset();
    // The list shows the announced reminder as announced even when the chime ended before it could
    // rebuild the list, and the next announcement rebuilds it again.
    if (chiming && rebuildList && !m_announcementListed)
        refreshAfterAnnouncement();
    m_announcementListed = false;
    session().services().closeNotification();
    // The user has heard the announcement: its notice gives way.
    if (chiming && isNotice(mainWindow().message()))
        setMessage(MainWindow::RestingMessage);
    // Later reminders are still announced.
    session().scheduler().watch();
}

void RemindersWindow::rowDeleted(qint64 id)
{
    // Nothing is left to announce: the chime ends as Quiet ends it.
    if (m_chimeTimer->isActive() && m_announcedRow == id)
        endChime(false);
}

bool RemindersWindow::isEditing() const
{
    return !detailsFrame()->isHidden();
}

void RemindersWindow::refreshAfterAnnouncement()
{
    // What the user is typing is never thrown away for it: the rebuild waits for the edit to end.
    if (isEditing()) {
        m_refreshWaits = true;
        return;
    }
    // The rebuild is no act of the user's: the display and the announcement's notice stay.
    const QString message = m_messageDisplay->text();
    const QString dueTime = m_dueTime->text();
    const QString notice = mainWindow().message();
    reload();
    m_messageDisplay->setText(message);
    m_dueTime->setText(dueTime);
    setMessage(notice);
    // Once the chime has ended, the next announcement needs a rebuild of its own.
    m_announcementListed = m_chimeTimer->isActive();
}

void RemindersWindow::cancel()
{
    ListWindow::cancel();
    if (m_refreshWaits)
        refreshAfterAnnouncement();
}

void RemindersWindow::chime()
{
    // The list is rebuilt once an announcement has marked its reminder done.
    if (!m_announcementListed && !isEditing())
        refreshAfterAnnouncement();
    session().playSound(ProgramFiles::NotifySound);
}

void RemindersWindow::layoutElements()
{
    ListWindow::layoutElements();
    fitTimeRow();
}

// Our fonts are wider than the design's, so the widened "AM"/"PM" box and "HH:MM" can run past the
// frame's right edge. The hour and minute boxes then give up that room, down to what two digits need.
void RemindersWindow::fitTimeRow()
{
    const int margin = m_fieldLabel->x(); // the frame's left margin, kept on the right too
    const int overflow = m_clockHint->x() + m_clockHint->width() - (detailsFrame()->width() - margin);
    if (overflow <= 0)
        return;
    const int digits = m_hourEdit->fontMetrics().horizontalAdvance(QStringLiteral("88")) + 2 * m_hourEdit->frameWidth()
                       + 2 * int(m_hourEdit->document()->documentMargin()) + 4;
    const int width = std::max(digits, m_hourEdit->width() - (overflow + 1) / 2);
    if (width >= m_hourEdit->width())
        return;
    m_hourEdit->resize(width, m_hourEdit->height());
    ProportionalLayout::apply(this, TimeRowAcross);
}

void RemindersWindow::unload()
{
    // Closing the window during an announcement ends the chime; the due check goes on watching.
    if (m_chimeTimer->isActive())
        endChime(false);
}

} // namespace trovix
