#include "filedialog.h"

#include <algorithm>

#include <QFileDialog>
#include <QFileSystemModel>
#include <QPointer>
#include <QRegularExpression>
#include <QSortFilterProxyModel>

namespace trovix::FileDialog {

namespace {

const QString ProgramPattern = QStringLiteral("*.exe");

// Decides what the view lists for the chosen filter. The dialog's own name
// filters let every file through, so that programs named without ".exe" reach
// this model at all.
class ChoiceFilterModel : public QSortFilterProxyModel
{
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    void choose(const FilterChoice& choice)
    {
        m_patterns.clear();
        m_programs = false;
        for (const QString& pattern : choice.patterns) {
            if (pattern.compare(ProgramPattern, Qt::CaseInsensitive) == 0)
                m_programs = true;
            // The old "*.*" meant every file, dotted or not.
            const QString wildcard = pattern == QLatin1String("*.*") ? QStringLiteral("*") : pattern;
            m_patterns.append(QRegularExpression::fromWildcard(wildcard, Qt::CaseInsensitive));
        }
        invalidateFilter();
    }

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override
    {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (!files)
            return true;
        const QModelIndex index = files->index(sourceRow, 0, sourceParent);
        QFileInfo info = files->fileInfo(index);
        // A node whose details have not been gathered yet has an empty info.
        if (info.filePath().isEmpty())
            info = QFileInfo(files->filePath(index));
        if (info.isDir())
            return true;
        if (m_programs && info.isExecutable())
            return true;
        const QString name = info.fileName();
        return std::any_of(m_patterns.cbegin(), m_patterns.cend(),
                           [&name](const QRegularExpression& pattern) { return pattern.match(name).hasMatch(); });
    }

private:
    QList<QRegularExpression> m_patterns;
    bool m_programs = false;
};

} // namespace

QList<FilterChoice> parseFilter(const QString& filter)
{
    QList<FilterChoice> choices;
    const QStringList pieces = filter.split(QLatin1Char('|'));
    // A last description without its patterns is left out with the pair loop.
    for (qsizetype i = 0; i + 1 < pieces.size(); i += 2) {
        QStringList patterns;
        for (const QString& pattern : pieces.at(i + 1).split(QLatin1Char(';'))) {
            const QString trimmed = pattern.trimmed();
            if (!trimmed.isEmpty())
                patterns.append(trimmed);
        }
        // A choice that can match nothing would only list folders.
        if (!patterns.isEmpty())
            choices.append({pieces.at(i), patterns});
    }
    return choices;
}

QString getOpenFileName(QWidget* parent, const QString& filter)
{
    const QList<FilterChoice> choices = parseFilter(filter);

    // On the heap and watched: the window under the dialog may go while it is open (the program ends from
    // the tray), and takes the dialog with it; the dialog then answers nothing.
    QPointer<QFileDialog> dialog = new QFileDialog(parent);
    dialog->setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);

    auto* model = new ChoiceFilterModel(dialog);
    dialog->setProxyModel(model);

    if (!choices.isEmpty()) {
        // The bracketed patterns only carry the description through the dialog's
        // parsing; the proxy model does the real matching.
        QStringList nameFilters;
        for (const FilterChoice& choice : choices)
            nameFilters.append(choice.description + QStringLiteral(" (*)"));
        dialog->setNameFilters(nameFilters);
        model->choose(choices.first());
    } else {
        model->choose({QString(), {QStringLiteral("*")}});
    }

    // The signal carries the shown text, which the dialog has simplified.
    QObject::connect(dialog, &QFileDialog::filterSelected, model, [model, &choices](const QString& shown) {
        const auto chosen = std::find_if(choices.cbegin(), choices.cend(), [&shown](const FilterChoice& choice) {
            return choice.description.simplified() == shown;
        });
        if (chosen != choices.cend())
            model->choose(*chosen);
    });

    const bool accepted = dialog->exec() == QDialog::Accepted;
    if (!dialog)
        return {};
    const QStringList files = accepted ? dialog->selectedFiles() : QStringList();
    delete dialog;
    return files.isEmpty() ? QString() : QFileInfo(files.first()).absoluteFilePath();
}

} // namespace trovix::FileDialog
