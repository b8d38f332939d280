#include "value.h"

#include "runtimeerror.h"

#include <cmath>

namespace trovix {

namespace {

[[noreturn]] void nullUsed()
{
    throw RuntimeError(ErrorCode::InvalidUseOfNull, QStringLiteral("A value that is not set was used."));
}

} // namespace

QString Value::toText() const
{
    if (isNull())
        nullUsed();
    return m_value.toString();
}

qint64 Value::toInteger() const
{
    if (isNull())
        nullUsed();
    if (isWholeNumber(m_value))
        return m_value.toLongLong();
    // Text holding a number, and fractions, are read as that whole number, as the handlers expect.
    const QString text = m_value.toString().trimmed();
    bool ok = false;
    const qint64 whole = text.toLongLong(&ok);
    if (ok)
        return whole;
    const double number = text.toDouble(&ok);
    if (ok && std::isfinite(number) && std::abs(number) < 9.2e18)
        return std::llround(number);
    throw RuntimeError(ErrorCode::TypeMismatch, QStringLiteral("\"%1\" is not a number.").arg(text));
}

bool isWholeNumber(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
        return true;
    default:
        return false;
    }
}

} // namespace trovix
