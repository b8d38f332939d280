#pragma once

#include "categorywindow.h"

class QGroupBox;

namespace trovix {

// The documents window: a category window whose entries are opened by one
// application the user sets for the whole list, kept in the path of the row
// named after the root word. Setting it is a third state beside browsing and
// editing, with its own frame.
class DocumentsWindow : public CategoryWindow
{
    Q_OBJECT

public:
    explicit DocumentsWindow(Module1& module);

    QString applicationPath;

    QGroupBox* Frame2;
    TextBox* Text2;
    QPushButton* Command2;
    ClickLabel* Label4;
    QLabel* Label2_2; // "Path" in Frame2, named Label2(2)
    QAction* mnusetpath;

    void Form_Load() override;
    void mnucancel_Click() override;
    void EnterEditState() override;
    void Toolbar1_ButtonClick(int position) override;
    void mnusetpath_Click();
    void Label4_Click();
    void Command2_Click();
    void Text2_OLEDragDrop(const QMimeData* data);

protected:
    void startEntry() override;

private:
    void buildApplicationFrame();
    // Places rsEntries on the application row; false when the table has none.
    bool findApplicationRow();
};

} // namespace trovix
