#pragma once

#include "categorytraits.h"
#include "core/entrystore.h"
#include "listwindow.h"

#include <array>

class QLabel;
class QMimeData;
class QPushButton;

namespace trovix {

class ClickLabel;
class TextBox;

// A list of things the user starts often: a name, a path and, where the traits say so, a description a
// row. The softwares, games and Windows programs windows are this class, each with its own traits.
class CategoryWindow : public ListWindow
{
    Q_OBJECT

public:
    CategoryWindow(Session& session, const CategoryTraits& traits);

    const CategoryTraits& traits() const { return m_traits; }
    void reload() override;

protected:
    void newEntry() override;
    void modifyEntry() override;
    void save() override;
    // Starts the selected entry, or says in the message line why it could not.
    void startSelectedEntry();
    // The selected entry's start: what the window opens or starts, or why nothing starts.
    virtual LaunchPlan launchPlan(const Entry& entry) const;
    virtual void browse();

    bool readRows() override;
    std::shared_ptr<const RowList> listedRows() const override { return m_entries.sharedRows(); }
    void removeRow(qint64 id) override;
    void showSelectedRow() override;
    void clearEditor() override;

    const EntryStore& store() const { return m_store; }
    const EntryList& entries() const { return m_entries; }
    // A browsed or dropped file as the path box takes it.
    QString pathForBox(const QString& file) const;

private:
    void buildElements();
    void dropOnPath(const QMimeData* data);
    void showHeading(const QString& text);

    const CategoryTraits& m_traits;
    EntryStore m_store;
    EntryList m_entries;
    ClickLabel* m_runLabel;
    QPushButton* m_browseButton;
    std::array<TextBox*, 3> m_edits{}; // name, path, description (nullptr where the window has none)
    QLabel* m_heading = nullptr;
    QLabel* m_descriptionLine = nullptr;
};

} // namespace trovix
