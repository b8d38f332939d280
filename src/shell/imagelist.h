#pragma once

#include <QIcon>
#include <QList>

namespace trovix {

// The main window's pictures: the program's own icon, and the toolbar images
// addressed by position from 1, taken from the desktop's icon theme where it
// has them and from the program's own drawings otherwise.
class ImageList
{
public:
    enum Image { Exit = 1, Reminders, Softwares, Games, Documents, Windows };

    ImageList();
    QIcon image(int index) const; // an empty icon outside 1..count
    int count() const { return m_images.size(); }

    static QIcon programIcon();

private:
    QList<QIcon> m_images;
};

} // namespace trovix
