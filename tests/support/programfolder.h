#pragma once

#include <QString>
#include <QTemporaryDir>

namespace trovix {

// A throw-away program folder: a fresh delivered database made by the same
// code as the tool's, and the help, sound and tips files beside it.
class ProgramFolder
{
public:
    enum class Content { Everything, WithoutDatabase };

    explicit ProgramFolder(Content content = Content::Everything);
    // A folder that is already there, used as it is and left behind.
    explicit ProgramFolder(const QString& existing);

    QString path() const { return m_existing.isEmpty() ? m_dir.path() : m_existing; }
    QString file(const QString& name) const;

private:
    QTemporaryDir m_dir;
    QString m_existing;
};

} // namespace trovix
