#include "commandline.h"

#include <algorithm>

namespace trovix::CommandLine {

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

// The characters a backslash still escapes between double quotes.
bool escapesInDoubleQuotes(QChar c)
{
    return c == u'$' || c == u'`' || c == u'"' || c == u'\\' || c == u'\n';
}

} // namespace

std::optional<QStringList> splitWords(const QString& commandLine)
{
    QStringList words;
    QString word;
    // Quotes start a word even when nothing lands in it, so "" gives an empty word.
    bool inWord = false;
    const qsizetype size = commandLine.size();
    // Every branch moves i forward, so any input ends; surrogates and NULs are copied as they are.
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = commandLine.at(i);
        if (isBlank(c)) {
            if (inWord) {
                words.append(word);
                word.clear();
                inWord = false;
            }
        } else if (c == u'\'') {
            const qsizetype close = commandLine.indexOf(u'\'', i + 1);
            if (close < 0)
                return std::nullopt;
            word += QStringView(commandLine).sliced(i + 1, close - i - 1);
            i = close;
            inWord = true;
        } else if (c == u'"') {
            inWord = true;
            for (++i;; ++i) {
                if (i >= size)
                    return std::nullopt;
                const QChar d = commandLine.at(i);
                if (d == u'"')
                    break;
                if (d == u'\\' && i + 1 < size && escapesInDoubleQuotes(commandLine.at(i + 1))) {
                    ++i;
                    if (commandLine.at(i) != u'\n') // an escaped line break joins lines
                        word += commandLine.at(i);
                    continue;
                }
                word += d;
            }
        } else if (c == u'\\') {
            if (i + 1 >= size)
                return std::nullopt;
            ++i;
            // An escaped line break vanishes without starting a word.
            if (commandLine.at(i) != u'\n') {
                word += commandLine.at(i);
                inWord = true;
            }
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        words.append(word);
    return words;
}

std::optional<QStringList> documentCommand(const QString& applicationPath, const QString& document)
{
    std::optional<QStringList> words = splitWords(applicationPath.trimmed());
    if (words)
        words->append(document);
    return words;
}

QString quoteWord(const QString& word)
{
    const bool plain = !word.isEmpty() && std::none_of(word.begin(), word.end(), [](QChar c) {
        return isBlank(c) || c == u'\'' || c == u'"' || c == u'\\';
    });
    if (plain)
        return word;
    QString quoted = word;
    quoted.replace(QLatin1Char('\''), QLatin1String("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

} // namespace trovix::CommandLine
