#include "tipsfile.h"

namespace trovix::TipsFile {

QStringList decode(const QByteArray& bytes)
{
    return QString::fromUtf8(bytes).split(QLatin1Char('\n')); // placeholder
}

std::optional<QStringList> read(const QString&)
{
    return std::nullopt; // placeholder
}

} // namespace trovix::TipsFile
