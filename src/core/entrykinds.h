#pragma once

#include "launcher.h"

#include <QString>

#include <vector>

namespace trovix {

class EntryList;

// What a category list is to everyone who starts its entries: the list's window and the desktop search
// take these from here, so an entry starts the same way, and a refusal reads the same, wherever it starts.
struct EntryKind
{
    QString table;
    QString title;    // the window's caption, and the list's name in a search result
    QString rootWord; // the tree's root; rows of that name are not listed
    QString iconName; // the installed icon of the list
    LaunchKind launch;
    QString notFoundText;     // the entry's file or program is not there
    QString notRunnableText;  // it cannot be started
    QString pathWithoutValue; // the entry has no path
};

namespace EntryKinds {

const EntryKind& softwares();
const EntryKind& games();
const EntryKind& windows();
const EntryKind& documents();
// The four lists in the order the main window names them.
const std::vector<const EntryKind*>& all();
// The kind of a table; nothing for the reminders or an unknown name.
const EntryKind* find(const QString& table);

inline const QString RemindersTitle = QStringLiteral("Reminders");
inline const QString RemindersRootWord = QStringLiteral("REMINDERS");
inline const QString RemindersIcon = QStringLiteral("trovix-reminders");

// What the list's window writes into the message line after a start that failed; empty for a start.
QString outcomeText(const EntryKind& kind, LaunchResult::Outcome outcome);

// The application documents open with: the path of the first row named Catalog::DocumentsApplicationRow,
// when it holds a value; otherwise the one given (the documents window keeps the one it had, and starts
// without any).
QString documentsApplication(const EntryList& documents, const QString& otherwise = QString());

// What starting the entry comes to, as Enter in its window plans it.
LaunchPlan plan(const EntryKind& kind, const Entry& entry, const QString& applicationPath,
                const QString& programFolder);

// Carries the plan out for real: the file opened or the program started, or the plan's refusal.
LaunchResult carryOut(const LaunchPlan& plan);

} // namespace EntryKinds
} // namespace trovix
