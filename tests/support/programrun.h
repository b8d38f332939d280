#pragma once

#include "programfolder.h"
#include "recordingservices.h"
#include "shell/module1.h"

#include <QPointer>
#include <QSignalSpy>

#include <memory>

namespace trovix {

class Mains;

// One run of the program on a throw-away folder, its services recorded.
struct ProgramRun
{
    explicit ProgramRun(ProgramFolder::Content content = ProgramFolder::Content::Everything);
    // A run on a program folder that is already there, and stays.
    explicit ProgramRun(const QString& existingFolder);
    ~ProgramRun();

    // Opens the database, which loads the main window unseen.
    Mains* openDatabase();
    // How often the notification-area icon was asked to go.
    int trayDeletes() const;

    ProgramFolder folder;
    RecordingServices* services = nullptr;
    std::unique_ptr<Module1> module;
    std::unique_ptr<QSignalSpy> ended; // Module1::programEnded
    QPointer<Mains> mains;
};

} // namespace trovix
