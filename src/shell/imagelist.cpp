#include "imagelist.h"

namespace trovix {

namespace {
QIcon themed(const char* themeName, const char* fallback)
{
    return QIcon::fromTheme(QString::fromLatin1(themeName), QIcon(QStringLiteral(":/icons/%1.svg").arg(fallback)));
}
} // namespace

ImageList::ImageList()
    : m_images{themed("application-exit", "exit"),
               themed("appointment-soon", "reminders"),
               themed("application-x-executable", "softwares"),
               themed("applications-games", "games"),
               themed("x-office-document", "documents"),
               themed("utilities-terminal", "windows")}
{}

QIcon ImageList::image(int index) const
{
    return index >= 1 && index <= m_images.size() ? m_images.at(index - 1) : QIcon();
}

QIcon ImageList::programIcon()
{
    return QIcon(QStringLiteral(":/icons/trovix.svg"));
}

} // namespace trovix
