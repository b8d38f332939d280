#pragma once

#include "categorytraits.h"
#include "shell/listwindow.h"

#include <array>

class QLabel;
class QMimeData;
class QPushButton;

namespace trovix {

class ClickLabel;
class TextBox;

// A list of things the user starts often: a name, a path and, where the traits
// say so, a description a row. The softwares, games and Windows programs
// windows are this class, each with its own traits.
class CategoryWindow : public ListWindow
{
    Q_OBJECT

public:
    CategoryWindow(Module1& module, const CategoryTraits& traits);

    const CategoryTraits& traits() const { return m_traits; }

    // The boxes of the details frame by index: 0 name, 1 path, 2 description
    // (nullptr where the window has none); the same for their labels "Name", "Path", "Description".
    TextBox* Text1(int index) const;
    QLabel* Label2(int index) const;
    // The heading (Label3(0), or the one Label3) and the description line (Label3(1), or nullptr).
    QLabel* heading() const { return m_heading; }
    QLabel* descriptionLine() const { return m_descriptionLine; }

    ClickLabel* Label1;
    QPushButton* Command1;

    void Form_Load() override;
    void mnunew_Click() override;
    void mnumodify_Click() override;
    void mnusave_Click() override;
    virtual void RunSelectedEntry();
    virtual void Command1_Click();
    void Text1_OLEDragDrop(int index, const QMimeData* data);
    void TreeView1_KeyPress(int keyAscii);
    void TreeView1_DblClick();
    void Label1_Click();

protected:
    void showSelectedEntry() override;
    void clearEditor() override;
    // Starts the current row's path; throws the run-time error that tells why it could not.
    virtual void startEntry();
    // The launch trap: the error's text in the message line, for the three codes it knows.
    void reportLaunchFailure(int code);
    // A browsed or dropped file as the path box takes it.
    QString pathForBox(const QString& file) const;

private:
    void buildElements();
    void writeEntry(const QString& name, const QString& path, const QString& description);

    const CategoryTraits& m_traits;
    std::array<TextBox*, 3> m_text{};
    std::array<QLabel*, 3> m_fieldLabels{};
    QLabel* m_heading = nullptr;
    QLabel* m_descriptionLine = nullptr;
};

} // namespace trovix
