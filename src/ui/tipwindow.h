#pragma once

#include <QDialog>
#include <QStringList>

class QLabel;

namespace trovix {

class Session;

// Tip of the Day: one hint at a time from the tips file in the program folder, in file order, round
// again after the last.
class TipWindow : public QDialog
{
    Q_OBJECT

public:
    explicit TipWindow(Session& session);

    // Reads the tips and shows the first; where the file cannot be read, says so.
    void load();
    void showNextTip();

    // Every way of ending the dialog closes the window, so that it is gone.
    void done(int result) override;

signals:
    void unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    Session& m_session;
    QLabel* m_tipText;
    QStringList m_tips;
    int m_current = 0; // counts from 1; 0 until the first tip is shown
};

} // namespace trovix
