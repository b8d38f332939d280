#include "programfolder.h"

#include "store/catalog.h"
#include "store/programfiles.h"

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

QString ProgramFolder::file(const QString& name) const
{
    return ProgramFiles::path(path(), name);
}

} // namespace trovix
