// The tips file: any bytes decode to lines without a line feed in them, never more lines than line
// ends plus one, and text that is valid UTF-8 reads back as the same text.
#include "fuzzcheck.h"

#include "core/tipsfile.h"

#include <QUtf8StringView>

using namespace trovix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString input = QString::fromLatin1(bytes);
    const QStringList lines = TipsFile::decode(bytes);
    for (const QString& line : lines)
        fuzz::require(!line.contains(QLatin1Char('\n')), "no line holds a line feed", input);
    fuzz::require(lines.size() <= bytes.count('\n') + 1, "at most one line more than line ends", input);

    // Lines of valid UTF-8 without carriage returns, written with LF endings, read back as themselves.
    const bool plainUtf8 = QUtf8StringView(bytes.data(), bytes.size()).isValidUtf8() && !bytes.contains('\r')
                           && !bytes.startsWith("\xEF\xBB\xBF") && !bytes.contains('\n');
    if (plainUtf8) {
        const QStringList again = TipsFile::decode(bytes + "\n" + bytes + "\n");
        const QString line = QString::fromUtf8(bytes);
        fuzz::require(again == QStringList({line, line}), "UTF-8 lines read back as written", input);
    }
    return 0;
}
