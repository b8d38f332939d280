#pragma once

#include "core/reminderstore.h"
#include "listwindow.h"

#include <array>

class QComboBox;
class QDateEdit;
class QLabel;
class QTimer;

namespace trovix {

class TextBox;

// The reminders: a message due at a day and time each, latest due time first, pending or already
// announced. A reminder that falls due is announced here, and the chime repeats until the user asks for
// quiet.
class RemindersWindow : public ListWindow
{
    Q_OBJECT

public:
    // The notices of an announcement in the message line: the reminder marked done, or its mark refused.
    static const QString AnnouncementNotice;
    static const QString FailureNotice;
    static bool isNotice(const QString& message);

    explicit RemindersWindow(Session& session);

    void reload() override;
    bool isChiming() const;
    // Shows the reminder that fell due in the display and starts the chime; its first tick shows the
    // reminder announced in the list, also when an earlier announcement is still chiming.
    void announce(const Reminder& reminder);
    // What the display shows: the message and the due time.
    QString shownMessage() const;
    QString shownDueTime() const;

public slots:
    // Ends the chime, as the menu's Quiet does.
    void quiet();
    // One tick of the chime: the sound again, and, at its first tick, the list rebuilt.
    void chime();

protected:
    void newEntry() override;
    void modifyEntry() override;
    void save() override;
    void cancel() override;
    void toolbarButtonClicked(int position) override;

    bool readRows() override;
    std::shared_ptr<const RowList> listedRows() const override { return m_reminders.sharedRows(); }
    QString rowImage(int row) const override;
    void removeRow(qint64 id) override;
    void showSelectedRow() override;
    void clearEditor() override;
    void rowDeleted(qint64 id) override;
    void unload() override;
    void layoutElements() override;

private:
    void buildElements();
    void fitTimeRow();
    bool isEditing() const;
    // Every way of ending the chime (Quiet button or item, closing the window, deleting the reminder
    // announced) ends here; the list shows the announcement when asked to.
    void endChime(bool rebuildList);
    // The list rebuilt after an announcement, the display and the notice kept; during an edit, once the
    // edit ends.
    void refreshAfterAnnouncement();
    // The hour or minute box as a number in range; nothing (with the message and the focus) otherwise.
    std::optional<int> numberIn(TextBox* box, int lowest, int highest);

    ReminderList m_reminders;
    QLabel* m_heading;
    TextBox* m_messageDisplay;
    QLabel* m_dueTime;
    TextBox* m_messageEdit;
    TextBox* m_hourEdit;
    TextBox* m_minuteEdit;
    QDateEdit* m_dateEdit;
    QComboBox* m_halfDayBox;
    QLabel* m_fieldLabel; // "Time", whose left edge is the frame's margin
    QLabel* m_clockHint;
    QTimer* m_chimeTimer;
    // The chime's first tick has rebuilt the list for the announcement under way.
    bool m_announcementListed = false;
    bool m_refreshWaits = false;
    // The row of the reminder the chime announces.
    std::optional<qint64> m_announcedRow;
};

} // namespace trovix
