#include "imagelist.h"

namespace trovix {

namespace {
QIcon themed(const char* themeName, const char* fallback)
{
    return QIcon::fromTheme(QString::fromLatin1(themeName), QIcon(QStringLiteral(":/icons/%1.svg").arg(fallback)));
}
} // namespace

ImageList::ImageList()
    : m_images{{QStringLiteral("exit"), themed("application-exit", "exit")},
               {QStringLiteral("rem"), themed("appointment-soon", "reminders")},
               {QStringLiteral("sof"), themed("application-x-executable", "softwares")},
               {QStringLiteral("gam"), themed("applications-games", "games")},
               {QStringLiteral("doc"), themed("x-office-document", "documents")},
               {QStringLiteral("win"), themed("utilities-terminal", "windows")}}
{}

ImageList::ImageList(QList<std::pair<QString, QIcon>> images)
    : m_images(std::move(images))
{}

ImageList ImageList::listWindowImages()
{
    // Looked up once: every list window shows the same pictures, and a theme lookup is not cheap.
    static const ImageList images({{QStringLiteral("rem"), themed("appointment-soon", "reminders")},
                                   {QStringLiteral("dis_rem"), themed("appointment-missed", "reminders-done")},
                                   {QStringLiteral("sof"), themed("application-x-executable", "softwares")},
                                   {QStringLiteral("gam"), themed("applications-games", "games")},
                                   {QStringLiteral("win"), themed("utilities-terminal", "windows")},
                                   {QStringLiteral("doc"), themed("x-office-document", "documents")},
                                   {QStringLiteral("save"), themed("document-save", "save")},
                                   {QStringLiteral("cancel"), themed("process-stop", "cancel")},
                                   {QStringLiteral("new"), themed("document-new", "new")},
                                   {QStringLiteral("modify"), themed("document-edit", "modify")},
                                   {QStringLiteral("delete"), themed("edit-delete", "delete")},
                                   {QStringLiteral("help"), themed("help-contents", "help")},
                                   {QStringLiteral("setpath"), themed("document-properties", "setpath")},
                                   {QStringLiteral("quiet"), themed("audio-volume-muted", "quiet")}});
    return images;
}

QIcon ImageList::image(int index) const
{
    return index >= 1 && index <= count() ? m_images.at(index - 1).second : QIcon();
}

QIcon ImageList::image(const QString& key) const
{
    for (const auto& [name, icon] : m_images) {
        if (name == key)
            return icon;
    }
    return QIcon();
}

QIcon ImageList::programIcon()
{
    return QIcon(QStringLiteral(":/icons/trovix.svg"));
}

} // namespace trovix
