#pragma once

#include "categorywindow.h"

class QGroupBox;

namespace trovix {

// The documents window: a category window whose entries are opened by one application the user sets for
// the whole list, kept in the path of the row named after the root word. Setting it is a third state
// beside browsing and editing, with its own frame.
class DocumentsWindow : public CategoryWindow
{
    Q_OBJECT

public:
    explicit DocumentsWindow(Session& session);

    void reload() override;
    // The application documents are opened with.
    const QString& applicationPath() const { return m_applicationPath; }

protected:
    void cancel() override;
    void enterEditState() override;
    void toolbarButtonClicked(int position) override;
    LaunchPlan launchPlan(const Entry& entry) const override;

private:
    void buildApplicationFrame();
    // Opens the frame that sets the application; a second time it stores what the frame holds.
    void editApplication();
    void storeApplication();
    void browseApplication();
    void dropOnApplication(const QMimeData* data);
    // The row holding the application, the first one in list order named exactly so; nothing without one.
    std::optional<Entry> applicationRow() const;

    QString m_applicationPath;
    QGroupBox* m_applicationFrame;
    TextBox* m_applicationEdit;
    QAction* m_setApplicationAction;
};

} // namespace trovix
