#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QWidget;

namespace trovix::FileDialog {

// One choice of a file dialog's filter: what the user reads, and the name patterns.
struct FilterChoice
{
    QString description;
    QStringList patterns;
    friend bool operator==(const FilterChoice&, const FilterChoice&) = default;
};

// Reads "Description|pattern;pattern|Description|pattern" into its choices.
QList<FilterChoice> parseFilter(const QString& filter);

// The modal file-open dialog with the filter's choices, the first one chosen.
// The descriptions are shown as they stand; "*.exe" also shows the files that
// have the execute permission, which is what makes a program here. Returns the
// chosen file's full name, or an empty text when cancelled or when the parent
// was destroyed meanwhile (the dialog goes with it); a caller checks that it is
// still there before it goes on.
QString getOpenFileName(QWidget* parent, const QString& filter);

} // namespace trovix::FileDialog
