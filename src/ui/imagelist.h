#pragma once

#include <QIcon>
#include <QList>
#include <QString>

#include <utility>

namespace trovix {

// A window's pictures, addressed by position from 1 or by key, taken from the
// desktop's icon theme where it has them and from the program's own drawings
// otherwise. The default list is the main window's toolbar images.
class ImageList
{
public:
    enum Image { Exit = 1, Reminders, Softwares, Games, Documents, Windows };

    ImageList();
    // The list windows' node images ("sof", "gam", "win", "doc", "rem", "dis_rem")
    // and their toolbar images ("save", "cancel", "new", "modify", "delete", "help",
    // "setpath", "quiet").
    static ImageList listWindowImages();

    QIcon image(int index) const;          // an empty icon outside 1..count
    QIcon image(const QString& key) const; // an empty icon for an unknown key
    int count() const { return int(m_images.size()); }

    static QIcon programIcon();

private:
    explicit ImageList(QList<std::pair<QString, QIcon>> images);

    QList<std::pair<QString, QIcon>> m_images;
};

} // namespace trovix
