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

    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const;
    bool isValid() const { return m_dir.isValid(); }

private:
    QTemporaryDir m_dir;
};

} // namespace trovix
