#pragma once

#include "shell/listwindow.h"

#include <array>

class QComboBox;
class QDateEdit;
class QLabel;
class QTimer;

namespace trovix {

class TextBox;

// The reminders: a message due at a day and time each, newest due time first,
// pending or already announced. The due check announces a reminder here and
// starts the chime, which repeats until the user asks for quiet.
class RemindersWindow : public ListWindow
{
    Q_OBJECT

public:
    explicit RemindersWindow(Module1& module);

    static const ListWindow::Design& windowDesign();

    // 0 the message, 1 the hour, 2 the minute; and their labels "Message", "Date", "Time".
    TextBox* Text1(int index) const;
    QLabel* Label2(int index) const;
    QLabel* Label3(int index) const; // 0 the heading, 2 the due time shown
    TextBox* Text2;                  // the message shown
    QDateEdit* DTPicker1;
    QComboBox* Combo1;
    QLabel* Label1; // ":"
    QLabel* Label4; // "HH:MM"
    QTimer* Timer1; // the chime
    QAction* mnuquiet;

    bool alertRefreshed = false;

    void Form_Load() override;
    void Form_Resize() override;
    void mnunew_Click() override;
    void mnumodify_Click() override;
    void mnusave_Click() override;
    void Toolbar1_ButtonClick(int position) override;
    void mnucancel_Click() override;
    void mnuquiet_Click();
    void Timer1_Timer();
    // The due check announced the reminder of this row: the chime starts, and its first tick shows the
    // reminder announced in the list, also when an earlier announcement is still chiming.
    void startChime(qint64 announcedRow);

protected:
    void showSelectedEntry() override;
    void clearEditor() override;
    void entryDeleted(qint64 row) override;
    void Form_Unload() override;

private:
    void buildElements();
    void fitTimeRow();
    bool isEditing() const;
    // Every way of ending the chime (Quiet button or item, closing the window, deleting the reminder
    // announced) ends here; the list shows the announcement when asked to.
    void endChime(bool rebuildList);
    // The list rebuilt after an announcement, the display kept; during an edit, once the edit ends.
    void refreshAfterAlert();
    // The hour or minute box as a number in range; nothing (with the message and the focus) otherwise.
    std::optional<int> numberIn(int box, int lowest, int highest);

    std::array<TextBox*, 3> m_text{};
    std::array<QLabel*, 3> m_fieldLabels{};
    std::array<QLabel*, 3> m_infoLabels{};
    bool m_refreshWaits = false;
    // The row of the reminder the chime announces.
    std::optional<qint64> m_announcedRow;
};

} // namespace trovix
