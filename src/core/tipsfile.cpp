#include "tipsfile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QUtf8StringView>

namespace trovix::TipsFile {

namespace {

const QByteArray Utf8Bom("\xEF\xBB\xBF");

QString toText(QByteArrayView bytes)
{
    // The mark is dropped before the encoding is chosen: a file that starts with it but is
    // broken further on still reads as Latin-1, without three stray letters in its first tip.
    if (bytes.startsWith(Utf8Bom))
        bytes = bytes.sliced(Utf8Bom.size());
    if (!QUtf8StringView(bytes.data(), bytes.size()).isValidUtf8())
        return QString::fromLatin1(bytes);
    // Only the one mark above is taken away; a further one is text.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

} // namespace

QStringList decode(const QByteArray& bytes)
{
    const QString text = toText(bytes);
    QStringList lines;
    qsizetype start = 0;
    while (start < text.size()) {
        const qsizetype end = text.indexOf(QLatin1Char('\n'), start);
        if (end < 0) {
            lines.append(text.sliced(start));
            break;
        }
        qsizetype length = end - start;
        if (length > 0 && text.at(end - 1) == QLatin1Char('\r'))
            --length;
        lines.append(text.sliced(start, length));
        start = end + 1;
    }
    return lines;
}

std::optional<QStringList> read(const QString& fileName)
{
    // Only a plain file is opened: a pipe or a device could block the window or never end.
    const QFileInfo info(fileName);
    if (fileName.isEmpty() || !info.isFile())
        return std::nullopt;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return decode(file.readAll());
}

} // namespace trovix::TipsFile
