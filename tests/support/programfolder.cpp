#include "programfolder.h"

#include "core/catalog.h"
#include "core/programfiles.h"

#include <QFile>

namespace trovix {

ProgramFolder::ProgramFolder(Content content)
{
    const QString resources = QStringLiteral(TROVIX_RESOURCE_DIR);
    const QStringList beside = {
            QStringLiteral("trovix.hlp"),        QStringLiteral("TOTD"),
            QStringLiteral("sounds/notify.wav"), QStringLiteral("sounds/delete.wav"),
            QStringLiteral("sounds/over.wav"),
    };
    for (const QString& name : beside)
        QFile::copy(resources + QLatin1Char('/') + name, file(name.section(QLatin1Char('/'), -1)));
    if (content == Content::Everything)
        Catalog::create(path());
}

ProgramFolder::ProgramFolder(const QString& existing)
    : m_existing(existing)
{
    m_dir.remove(); // only the existing folder is used
}

QString ProgramFolder::file(const QString& name) const
{
    return ProgramFiles::path(path(), name);
}

} // namespace trovix
