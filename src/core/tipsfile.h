#pragma once

#include <QByteArray>
#include <QStringList>

#include <optional>

// The tips file: plain text, one tip a line.
namespace trovix::TipsFile {

// The lines of the text: UTF-8 where the bytes are valid UTF-8, Latin-1 otherwise; a line ends at
// CR LF or at LF alone. Every line counts, an empty one too; a final line end starts no further line.
// A CR not followed by LF is kept as part of its line. A UTF-8 byte-order mark at the start is dropped.
QStringList decode(const QByteArray& bytes);

// The tips of the file; nothing when it is missing, is a folder, or cannot be read.
std::optional<QStringList> read(const QString& fileName);

} // namespace trovix::TipsFile
