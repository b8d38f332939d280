#pragma once

#include <QString>

namespace trovix {

// A single-column search criterion, column='value' or column=number.
struct Criterion
{
    QString column;
    QString value;

    // Reads "name='it''s'" as column name, value "it's". Throws RuntimeError 3001
    // when the text is not one column compared with one value.
    static Criterion parse(const QString& text);
};

// Builds column='value' with every apostrophe of the value doubled.
QString criterion(const QString& column, const QString& value);

} // namespace trovix
