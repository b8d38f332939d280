#pragma once

#include <QByteArray>
#include <QIcon>
#include <QPointer>
#include <QWidget>

#include <cstdint>

namespace trovix {

// The notification-area icon record, in its single-byte-character form.
struct TrayIconData
{
    static constexpr std::uint32_t RecordSize = 88;
    static constexpr int TipLength = 64;
    static constexpr std::uint32_t MessageFlag = 1; // the callback message is set
    static constexpr std::uint32_t IconFlag = 2;    // the icon is set
    static constexpr std::uint32_t TipFlag = 4;     // the tip is set

    std::uint32_t cbSize = 0;
    QPointer<QWidget> hWnd;
    std::uint32_t uID = 0;
    std::uint32_t uFlags = 0;
    std::uint32_t uCallbackMessage = 0;
    QIcon hIcon;
    QByteArray szTip; // always TipLength bytes once filled

    // The tip field as stored: the text cut at 64 characters, one NUL, then blanks.
    static QByteArray tipField(const QString& text);
    // The text shown: the field up to its first NUL.
    QString tipText() const;
    // The record as the platform reads it: six 32-bit little-endian numbers
    // (size, window, id, flags, callback message, icon), then the tip field.
    QByteArray toBytes() const;
};

} // namespace trovix
