#pragma once

#include <QFont>

namespace trovix {

// The design names fonts of another desktop; ask for them by name and let the
// nearest free font stand in where they are missing.
void installFontSubstitutes();

QFont designFont(const QString& family, double pointSize, bool bold = false, bool italic = false);

} // namespace trovix
