#pragma once

#include "platform/criteria.h"
#include "platform/value.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <vector>

class QTextStream;

namespace trovix {

class Connection;

// The five tables of the catalog, their columns in order and their listing queries.
namespace Catalog {

struct Table
{
    QString name;
    QStringList columns; // column 0 is the key: the entry's name, or a reminder's message
    QString listingQuery;
};

const std::vector<Table>& tables();
const Table& table(const QString& name); // throws RuntimeError 3265 for an unknown name

inline const QString Softwares = QStringLiteral("softwares");
inline const QString Games = QStringLiteral("games");
inline const QString Windows = QStringLiteral("windows");
inline const QString Documents = QStringLiteral("documents");
inline const QString Reminders = QStringLiteral("reminders");

// The documents row whose path names the application that opens documents.
inline const QString DocumentsApplicationRow = QStringLiteral("DOCUMENTS");
inline const QString DefaultDocumentsApplication = QStringLiteral("xdg-open");
inline const QString DocumentsApplicationCriterion = criterion(QStringLiteral("document"), DocumentsApplicationRow);

// Whether any reminder is pending: the first one tells.
inline const QString PendingRemindersQuery = QStringLiteral("SELECT * from reminders WHERE Done=0 LIMIT 1");
// The reminder due at the given moment and not yet announced that fell due first, leaving out
// the rows passed over (by rowid).
QString dueRemindersQuery(const QDateTime& now, const QList<qint64>& passedOver = {});
// How reminder times are stored: local time as sortable text.
inline const QString& TimeFormat = DateTimeTextFormat;

// The key of the database file.
inline const QString Password = QStringLiteral("tromvelskadnuprige");

// "Provider=...;Data Source=" + folder + "/trovix.mdb;Database Password=...", the file's name quoted
// where it holds a ';', a '"' or blanks at its ends.
QString connectionString(const QString& programFolder);

// Makes the delivered database in the folder; refuses when the file exists.
void create(const QString& programFolder);
// What is wrong with the database in the folder; empty when it is sound.
QStringList check(const QString& programFolder);
// Every row of every table, one line a row, tab-separated, each table under a "# name" heading.
void dump(const QString& programFolder, QTextStream& out);

} // namespace Catalog
} // namespace trovix
