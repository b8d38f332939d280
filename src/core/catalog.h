#pragma once

#include <QString>
#include <QStringList>

#include <vector>

class QTextStream;

namespace trovix {

class Database;

// The database file of a program folder: its five tables, how it is made, checked and dumped.
namespace Catalog {

struct Table
{
    QString name;
    QStringList columns; // column 0 is the key: the entry's name, or a reminder's message
};

const std::vector<Table>& tables();

inline const QString Softwares = QStringLiteral("softwares");
inline const QString Games = QStringLiteral("games");
inline const QString Windows = QStringLiteral("windows");
inline const QString Documents = QStringLiteral("documents");
inline const QString Reminders = QStringLiteral("reminders");

// The documents row whose path names the application that opens documents.
inline const QString DocumentsApplicationRow = QStringLiteral("DOCUMENTS");
inline const QString DefaultDocumentsApplication = QStringLiteral("xdg-open");

// How reminder times are stored: local time as sortable text.
inline const QString TimeFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

// The key of the database file.
inline const QString Key = QStringLiteral("tromvelskadnuprige");

// The database file of the program folder.
QString fileName(const QString& programFolder);
// Opens the folder's database with its key; throws DatabaseError.
void open(Database& database, const QString& programFolder);

// Makes the delivered database in the folder; refuses when the file exists. Throws DatabaseError.
void create(const QString& programFolder);
// What is wrong with the database in the folder; empty when it is sound.
QStringList check(const QString& programFolder);
// Every row of every table in its list's order, one line a row, tab-separated, each table under a
// "# name" heading. Throws DatabaseError.
void dump(const QString& programFolder, QTextStream& out);

} // namespace Catalog
} // namespace trovix
