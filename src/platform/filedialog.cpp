#include "filedialog.h"

#include <QFileDialog>

namespace trovix::FileDialog {

QList<FilterChoice> parseFilter(const QString& filter)
{
    Q_UNUSED(filter);
    return {}; // placeholder
}

QString getOpenFileName(QWidget* parent, const QString& filter)
{
    Q_UNUSED(filter);
    return QFileDialog::getOpenFileName(parent); // placeholder
}

} // namespace trovix::FileDialog
