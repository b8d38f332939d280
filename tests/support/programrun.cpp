#include "programrun.h"

#include "ui/mainwindow.h"

namespace trovix {

namespace {

std::unique_ptr<Session> makeSession(const QString& folder, RecordingServices*& services)
{
    auto owned = std::make_unique<RecordingServices>();
    services = owned.get();
    return std::make_unique<Session>(folder, std::move(owned));
}

} // namespace

ProgramRun::ProgramRun(ProgramFolder::Content content)
    : folder(content)
    , session(makeSession(folder.path(), services))
    , ended(std::make_unique<QSignalSpy>(session.get(), &Session::programEnded))
{}

ProgramRun::ProgramRun(const QString& existingFolder)
    : folder(existingFolder)
    , session(makeSession(folder.path(), services))
    , ended(std::make_unique<QSignalSpy>(session.get(), &Session::programEnded))
{}

ProgramRun::~ProgramRun() = default;

MainWindow* ProgramRun::openDatabase()
{
    session->openDatabase();
    mainWindow = &session->mainWindow();
    return mainWindow;
}

} // namespace trovix
