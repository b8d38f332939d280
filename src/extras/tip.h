#pragma once

#include <QDialog>
#include <QStringList>

class QLabel;
class QPushButton;

namespace trovix {

class Module1;

// Tip of the Day: one hint at a time from the tips file in the program folder,
// in file order, round again after the last.
class Tip : public QDialog
{
    Q_OBJECT

public:
    explicit Tip(Module1& module);

    QStringList tipList;
    qint32 currentTip = 0; // counts from 1; 0 until the first tip is shown

    QWidget* Picture1;
    QLabel* Label1;
    QLabel* lblTipText;
    QPushButton* cmdNextTip;
    QPushButton* cmdOK;

    void Form_Load();
    // Reads the tips and shows the first; false when the file cannot be read.
    bool LoadTips(const QString& fileName);
    void ShowNextTip();
    void DisplayCurrentTip();
    void cmdNextTip_Click();
    void cmdOK_Click();

    // Every way of ending the dialog closes the window, so that it is unloaded.
    void done(int result) override;

signals:
    void unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    Module1& m_module;
};

} // namespace trovix
