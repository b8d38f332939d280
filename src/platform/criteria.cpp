#include "criteria.h"

#include "runtimeerror.h"

#include <QRegularExpression>

namespace trovix {

Criterion Criterion::parse(const QString& text)
{
    // One identifier, '=', then a quoted text ('' inside stands for one apostrophe) or a whole number.
    static const QRegularExpression pattern(
            QStringLiteral(R"(^\s*([A-Za-z_][A-Za-z0-9_]*)\s*=\s*(?:'((?:[^']|'')*)'|([+-]?[0-9]+))\s*$)"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        throw RuntimeError(ErrorCode::InvalidArgument,
                           QStringLiteral("The search \"%1\" is not one column compared with one value.").arg(text));

    Criterion result;
    result.column = match.captured(1);
    if (match.capturedLength(3) > 0) {
        bool ok = false;
        const qint64 number = match.captured(3).toLongLong(&ok);
        if (!ok)
            throw RuntimeError(ErrorCode::InvalidArgument,
                               QStringLiteral("The number in the search \"%1\" is too large.").arg(text));
        // Stored numbers read back as their plain digits, so compare against those.
        result.value = QString::number(number);
    } else {
        result.value = match.captured(2).replace(QLatin1String("''"), QLatin1String("'"));
    }
    return result;
}

QString criterion(const QString& column, const QString& value)
{
    QString quoted = value;
    quoted.replace(QLatin1Char('\''), QLatin1String("''"));
    return column + QLatin1String("='") + quoted + QLatin1Char('\'');
}

} // namespace trovix
