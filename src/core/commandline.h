#pragma once

#include <QStringList>

#include <optional>

namespace trovix::CommandLine {

// Splits a command line into words as a POSIX shell splits them, without running
// a shell: blanks (spaces, tabs, line breaks) separate words; text between single
// quotes is taken as it stands; between double quotes a backslash escapes only
// $ ` " \ and a line break; outside quotes a backslash escapes the next character.
// Nothing is expanded (no variables, patterns or ~). Empty quotes make an empty
// word. Returns nothing when a quote is not closed or the line ends in a lone
// backslash.
std::optional<QStringList> splitWords(const QString& commandLine);

// The words that open a document with an application: the application's command line split into
// words, then the document exactly as it stands, as one more word, so that blanks, quotes or a
// leading dash in its name never become words or options of their own. Nothing when the application's
// command line cannot be split.
std::optional<QStringList> documentCommand(const QString& applicationPath, const QString& document);

// The word written so that splitWords gives it back whole: as it stands when it holds nothing the
// splitting reads (blanks, quotes, backslashes), otherwise between single quotes, a single quote
// inside written as '\''. An empty word becomes ''.
QString quoteWord(const QString& word);

} // namespace trovix::CommandLine
