#pragma once

#include <sqlite3.h>

#include <memory>

namespace trovix {

// A prepared statement that is finalised when it goes out of scope.
struct StatementDeleter
{
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementDeleter>;

} // namespace trovix
