#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace trovix {

class RowList;

// The rows a list window shows, and under which name: each row under its first column trimmed as
// QString::trimmed trims, the first row of each name only, never a row without a name, with a blank one or
// named as the list's root. The window's tree and the desktop's search list the same rows by this.
namespace ListedNames {

// A name as it is listed: a view of the UTF-8 where it is ASCII, otherwise a copy in storage made through
// QString, so that names which read the same give the same bytes.
std::string_view trimmed(std::string_view utf8, std::string& storage);

// Calls listed for each listed row, in order, with the row and its name in UTF-8 (valid during the call).
void forEach(const RowList& rows, std::string_view rootWord,
             const std::function<void(int row, std::string_view name)>& listed);

} // namespace ListedNames
} // namespace trovix
