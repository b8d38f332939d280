#include "markerscript.h"

#include <QDir>
#include <QFile>
#include <QtTest>

namespace trovix {

void writeMarkerScript(const QString& fileName, const QString& marker)
{
    QFile script(fileName);
    QVERIFY(QDir().mkpath(QFileInfo(fileName).path()) && script.open(QIODevice::WriteOnly));
    script.write(
            QStringLiteral("#!/bin/sh\n{ pwd; for a; do printf '%s\\n' \"$a\"; done; } > '%1.tmp'\nmv '%1.tmp' '%1'\n")
                    .arg(marker)
                    .toUtf8());
    script.close();
    QVERIFY(script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadUser
                                  | QFile::ExeUser));
}

QStringList waitForMarker(const QString& marker)
{
    QFile file(marker);
    for (int i = 0; i < 100 && !file.exists(); ++i)
        QTest::qWait(50);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    lines.removeLast(); // after the final line break; empty arguments before it are kept
    return lines;
}

} // namespace trovix
