#include "trayicondata.h"

namespace trovix {

QByteArray TrayIconData::tipField(const QString& text)
{
    QByteArray field = text.toLatin1().left(TipLength);
    if (field.size() < TipLength)
        field.append('\0');
    return field.leftJustified(TipLength, ' ');
}

QString TrayIconData::tipText() const
{
    const qsizetype end = szTip.indexOf('\0');
    return QString::fromLatin1(end < 0 ? szTip : szTip.left(end));
}

QByteArray TrayIconData::toBytes() const
{
    QByteArray bytes;
    const auto append = [&bytes](std::uint32_t value) {
        for (int shift = 0; shift < 32; shift += 8)
            bytes.append(char((value >> shift) & 0xff));
    };
    append(cbSize);
    append(hWnd ? static_cast<std::uint32_t>(hWnd->internalWinId()) : 0);
    append(uID);
    append(uFlags);
    append(uCallbackMessage);
    append(static_cast<std::uint32_t>(hIcon.cacheKey()));
    bytes.append(szTip.leftJustified(TipLength, '\0', true));
    return bytes;
}

} // namespace trovix
