#pragma once

#include "core/entrykinds.h"
#include "listwindow.h"

#include <QList>
#include <QString>

namespace trovix {

// Everything in which the category windows differ: one row a window.
struct CategoryTraits
{
    ListWindow::Design window;
    const EntryKind* kind;   // the table, how an entry starts and what a failed start says
    QString heading;         // the heading after a load
    QString headingAfterNew; // the heading New shows
    QString browseFilter;    // the file dialog's filter for the path box
    QList<Placement> layout; // the design layout of the window's own elements
};

namespace Categories {
const CategoryTraits& softwares();
const CategoryTraits& games();
const CategoryTraits& windows();
const CategoryTraits& documents();
// "Executable Files|*.exe|All Files|*.*", the filter of every Browse for a program.
const QString& executableFilter();
} // namespace Categories

} // namespace trovix
