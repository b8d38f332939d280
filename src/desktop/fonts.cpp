#include "fonts.h"

#include <QStringList>

namespace trovix {

void installFontSubstitutes()
{
    QFont::insertSubstitutions(QStringLiteral("Comic Sans MS"),
                               QStringList{QStringLiteral("Comic Neue"), QStringLiteral("Comic Neue Angular"),
                                           QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(QStringLiteral("Arial"),
                               QStringList{QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               QStringList{QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
}

QFont designFont(const QString& family, double pointSize, bool bold, bool italic)
{
    QFont font(family);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

} // namespace trovix
