#pragma once

#include "programfolder.h"
#include "recordingservices.h"
#include "ui/session.h"

#include <QPointer>
#include <QSignalSpy>

#include <memory>

namespace trovix {

class MainWindow;

// One run of the program on a throw-away folder, its services recorded.
struct ProgramRun
{
    explicit ProgramRun(ProgramFolder::Content content = ProgramFolder::Content::Everything);
    // A run on a program folder that is already there, and stays.
    explicit ProgramRun(const QString& existingFolder);
    ~ProgramRun();

    // Opens the database, which makes the main window unseen.
    MainWindow* openDatabase();

    ProgramFolder folder;
    RecordingServices* services = nullptr;
    std::unique_ptr<Session> session;
    std::unique_ptr<QSignalSpy> ended; // Session::programEnded
    QPointer<MainWindow> mainWindow;
};

} // namespace trovix
