// savedriver FOLDER JOURNAL READY [SEED]: stores entries and reminders through the real windows
// without end, until it is killed. Every change is journaled as begun before the window is told to
// store it, and as done once the window shows it stored. READY is made once the windows are up.
// A journal with a change still in flight from an earlier run must be settled (savecheck --settle)
// first: the driver only continues from what is known to be stored.
#include "categories/categorywindow.h"
#include "categories/documents.h"
#include "platform/textbox.h"
#include "reminders/reminders.h"
#include "savejournal.h"
#include "shell/mains.h"
#include "shell/module1.h"
#include "shell/treeview.h"
#include "store/catalog.h"
#include "store/remindertime.h"
#include "windowdriver.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QGroupBox>
#include <QRandomGenerator>
#include <QtTest>

#include <cstdio>
#include <unistd.h>

using namespace trovix;
using namespace trovix::SaveJournal;

namespace {

// Each table stays between these sizes, so every kind of change keeps coming and the lists stay quick.
constexpr int FewestRows = 2;
constexpr int MostRows = 10;
// A driver whose killer has gone stops by itself after this many changes.
constexpr int MostChanges = 1000000;

ChildWindow windowOf(const QString& table)
{
    if (table == Catalog::Softwares)
        return ChildWindow::Softwares;
    if (table == Catalog::Games)
        return ChildWindow::Games;
    if (table == Catalog::Windows)
        return ChildWindow::Windows;
    if (table == Catalog::Documents)
        return ChildWindow::Documents;
    return ChildWindow::Reminders;
}

void type(TextBox* box, const QString& text)
{
    box->clear();
    QTest::keyClicks(box, text);
}

class Driver
{
public:
    Driver(WindowRun& run, QString journal, const Replay& replayed, quint32 seed)
        : m_run(run)
        , m_journal(std::move(journal))
        , m_state(replayed.state)
        , m_lastSeq(replayed.lastSeq)
        , m_random(seed)
    {}

    // One change through its window; false (with the reason on standard error) when the window did
    // not store it.
    bool step();

private:
    Change choose(const QString& table);
    void fill(ListWindow* window, const QString& table, const QString& token);
    void begin(const Change& change);
    bool stored(ListWindow* window, const Change& change) const;
    Node* nodeOf(ListWindow* window, const Change& change) const;

    WindowRun& m_run;
    QString m_journal;
    State m_state;
    int m_lastSeq;
    QRandomGenerator m_random;
};

Change Driver::choose(const QString& table)
{
    Change change;
    change.seq = m_lastSeq + 1;
    change.table = table;
    QStringList held = m_state.tokens.value(table).values();
    held.sort();
    if (table == Catalog::Documents && m_random.bounded(10) == 0) {
        change.op = Op::Application;
        change.oldToken = m_state.application;
        change.newToken = QStringLiteral("t%1").arg(change.seq);
        return change;
    }
    const int dice = m_random.bounded(100);
    if (held.size() < FewestRows || (held.size() < MostRows && dice < 40))
        change.op = Op::New;
    else if (dice < 70)
        change.op = Op::Modify;
    else
        change.op = Op::Delete;
    if (change.op != Op::New)
        change.oldToken = held.at(m_random.bounded(int(held.size())));
    if (change.op != Op::Delete)
        change.newToken = QStringLiteral("t%1").arg(change.seq);
    return change;
}

void Driver::fill(ListWindow* window, const QString& table, const QString& token)
{
    const QStringList row = rowFor(table, token);
    if (auto* reminders = qobject_cast<RemindersWindow*>(window)) {
        const QDateTime due = QDateTime::fromString(row.at(1), Catalog::TimeFormat);
        const ReminderTime::Clock clock = ReminderTime::toClock(due.time());
        type(reminders->Text1(0), row.at(0));
        reminders->DTPicker1->setDate(due.date());
        type(reminders->Text1(1), clock.hour);
        type(reminders->Text1(2), clock.minute);
        reminders->Combo1->setCurrentText(clock.half);
        return;
    }
    auto* category = static_cast<CategoryWindow*>(window);
    for (int i = 0; i < row.size(); ++i)
        type(category->Text1(i), row.at(i));
}

void Driver::begin(const Change& change)
{
    if (!append(m_journal, record(change))) {
        std::fprintf(stderr, "savedriver: the journal %s cannot be written\n", qPrintable(m_journal));
        std::exit(4);
    }
    m_lastSeq = change.seq;
}

Node* Driver::nodeOf(ListWindow* window, const Change& change) const
{
    return nodeByText(window, rowFor(change.table, change.oldToken).value(0));
}

bool Driver::stored(ListWindow* window, const Change& change) const
{
    if (m_run.message() == ListWindow::StoreRefused || !window->Frame1->isHidden())
        return false;
    if (change.op == Op::Application) {
        auto* documents = static_cast<DocumentsWindow*>(window);
        return documents->Frame2->isHidden() && documents->applicationPath == applicationFor(change.newToken);
    }
    const bool oldGone = change.oldToken.isEmpty() || !nodeOf(window, change);
    const bool newThere =
            change.newToken.isEmpty() || nodeByText(window, rowFor(change.table, change.newToken).value(0)) != nullptr;
    return oldGone && newThere;
}

bool Driver::step()
{
    const QString table = tables().at(m_random.bounded(int(tables().size())));
    const Change change = choose(table);
    ListWindow* window = m_run.show(windowOf(table));
    if (!window) {
        std::fprintf(stderr, "savedriver: the %s window did not open\n", qPrintable(table));
        return false;
    }

    switch (change.op) {
    case Op::New:
        clickButton(window, 3);
        fill(window, table, change.newToken);
        begin(change);
        clickButton(window, 1);
        break;
    case Op::Modify:
    case Op::Delete: {
        Node* node = nodeOf(window, change);
        if (!node) {
            std::fprintf(stderr, "savedriver: %s has no node for %s\n", qPrintable(table), qPrintable(change.oldToken));
            return false;
        }
        clickNode(window, node);
        if (change.op == Op::Modify) {
            clickButton(window, 4);
            fill(window, table, change.newToken);
            begin(change);
            clickButton(window, 1);
        } else {
            begin(change);
            clickButton(window, 5);
        }
        break;
    }
    case Op::Application: {
        auto* documents = static_cast<DocumentsWindow*>(window);
        clickButton(window, 6);
        type(documents->Text2, applicationFor(change.newToken));
        begin(change);
        clickButton(window, 6);
        break;
    }
    }

    if (!stored(window, change)) {
        std::fprintf(stderr, "savedriver: the window did not store %s (message line: %s)\n", qPrintable(record(change)),
                     qPrintable(m_run.message()));
        return false;
    }
    if (!append(m_journal, QStringLiteral("done %1").arg(change.seq))) {
        std::fprintf(stderr, "savedriver: the journal %s cannot be written\n", qPrintable(m_journal));
        std::exit(4);
    }
    m_state.apply(change);
    // Let the main window's timers run as they would between a user's clicks.
    QCoreApplication::processEvents();
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() < 3 || args.size() > 4) {
        std::fprintf(stderr, "usage: savedriver FOLDER JOURNAL READY [SEED]\n");
        return 2;
    }
    const QString folder = args.at(0);
    const QString journal = args.at(1);
    const QString ready = args.at(2);
    const quint32 seed = args.size() == 4 ? args.at(3).toUInt() : QRandomGenerator::system()->generate();

    QFile journalFile(journal);
    QByteArray text;
    if (journalFile.exists()) {
        if (!journalFile.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "savedriver: the journal %s cannot be read\n", qPrintable(journal));
            return 2;
        }
        text = journalFile.readAll();
        journalFile.close();
    }
    const Replay replayed = replay(text);
    if (!replayed.problems.isEmpty() || replayed.change || replayed.completeBytes != text.size()) {
        std::fprintf(stderr, "savedriver: the journal must be settled first: %s\n",
                     qPrintable(replayed.problems.isEmpty() ? QStringLiteral("a change is in flight")
                                                            : replayed.problems.join(QStringLiteral("; "))));
        return 2;
    }

    WindowRun run(folder);
    // Nothing the driver stores falls due on this clock, so the due check never changes a row.
    run.services->clock = QDateTime(QDate(2030, 6, 1), QTime(12, 0));
    if (!run.mains) {
        std::fprintf(stderr, "savedriver: the database in %s did not open\n", qPrintable(folder));
        return 2;
    }
    Driver driver(run, journal, replayed, seed);
    std::fprintf(stderr, "savedriver: seed %u, from change %d\n", seed, replayed.lastSeq + 1);
    QFile(ready).open(QIODevice::WriteOnly);

    const pid_t parent = getppid();
    for (int n = 0; n < MostChanges && getppid() == parent; ++n) {
        if (!driver.step())
            return 3;
    }
    return 0;
}
