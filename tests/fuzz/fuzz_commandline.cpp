// The command lines of the command-line programs and of the documents' application: splitting never
// fails on any text, a split line quoted word by word (as a browsed or dropped file is written into a
// command line) splits back into the same words, and a document is always the one last word, exactly as
// given.
#include "fuzzcheck.h"

#include "core/commandline.h"

using namespace trovix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString input = fuzz::text(data, size);
    fuzz::require(CommandLine::splitWords(CommandLine::quoteWord(input)) == QStringList{input},
                  "a quoted word splits back into itself", input);
    const std::optional<QStringList> words = CommandLine::splitWords(input);
    if (words) {
        QStringList quotedWords;
        for (const QString& word : *words)
            quotedWords.append(CommandLine::quoteWord(word));
        fuzz::require(CommandLine::splitWords(quotedWords.join(QLatin1Char(' '))) == *words,
                      "quoted words split back into themselves", input);
    }

    // The first line of the input is the application, the rest the document.
    const qsizetype lineEnd = input.indexOf(QLatin1Char('\n'));
    const QString application = lineEnd < 0 ? input : input.left(lineEnd);
    const QString document = lineEnd < 0 ? QString() : input.mid(lineEnd + 1);
    const std::optional<QStringList> command = CommandLine::documentCommand(application, document);
    const std::optional<QStringList> applicationWords = CommandLine::splitWords(application.trimmed());
    fuzz::require(command.has_value() == applicationWords.has_value(),
                  "a document command exists exactly when its application splits", input);
    if (command) {
        fuzz::require(command->size() == applicationWords->size() + 1 && command->last() == document,
                      "the document is the one last word, as it stands", input);
    }
    return 0;
}
