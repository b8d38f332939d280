#pragma once

#include "shell/listwindow.h"

#include <QList>
#include <QString>

namespace trovix {

// How a category window starts its selected entry.
enum class LaunchKind {
    Shell,       // the path is opened through the shell, as a file
    CommandLine, // the path is a command line: a program and its arguments
    Application, // the document is handed to the window's application
};

// Everything in which the category windows differ: one row a window.
struct CategoryTraits
{
    ListWindow::Design window;
    QString keyColumn;
    bool hasDescription;     // a third field, the description, and its information line
    QString heading;         // the heading after a load
    QString headingAfterNew; // the heading New shows
    LaunchKind launch;
    QString browseFilter;     // the file dialog's filter for the path box
    QString notFoundText;     // launch error 53
    QString notRunnableText;  // launch error 5
    QString pathWithoutValue; // launch error 94
    QList<Placement> layout;  // the design layout of the window's own elements
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
