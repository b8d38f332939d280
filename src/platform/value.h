#pragma once

#include <QVariant>

namespace trovix {

// A database value that may be null. Reading a null as text or number raises
// error 94 (invalid use of a null value), as the handlers expect.
class Value
{
public:
    Value() = default;
    explicit Value(QVariant v)
        : m_value(std::move(v))
    {}

    bool isNull() const { return m_value.isNull(); }
    QString toText() const;   // throws RuntimeError 94 on null
    qint64 toInteger() const; // throws RuntimeError 94 on null, 13 (type mismatch) on non-numbers
    const QVariant& variant() const { return m_value; }

    friend bool operator==(const Value&, const Value&) = default;

private:
    QVariant m_value;
};

// How dates with times are written as text: local time, sortable.
inline const QString DateTimeTextFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

// Whether the variant holds a whole number type (bool included).
bool isWholeNumber(const QVariant& value);

} // namespace trovix
